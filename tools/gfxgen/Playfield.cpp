// The play field, 640 x 480: deep blue-green water, soft light rays from the
// surface, floating specks, distant rocks and a sandy floor. Kept dark and low
// in contrast so that blocks, shots and the ship stand out against it.
#include <cmath>

#include "tools/gfxgen/Pictures.h"

namespace gfx {

namespace {

constexpr int32_t width = 640;
constexpr int32_t height = 480;
constexpr uint32_t seed = 0x0CEA0001u;

Rgb water(int32_t y)
{
    // Lighter near the surface, deepest just above the floor.
    const double t = smoothStep(0.0, 430.0, y);
    return mix(palette::waterTop, palette::waterDeep, std::pow(t, 0.8));
}

// Brightening of the light rays: beams of different widths fanning out from a point above
// the upper left, each fading with depth and shimmering along its length.
struct Ray {
    double angle;       // radians from straight down, positive to the right
    double halfWidth;   // radians
    double strength;
};

constexpr Ray rays[] = {
    {-0.30, 0.022, 0.7}, {-0.17, 0.012, 0.5}, {-0.05, 0.030, 1.0}, {0.08, 0.015, 0.6},
    {0.19, 0.040, 0.8},  {0.33, 0.018, 0.55}, {0.45, 0.028, 0.7}, {0.60, 0.014, 0.4},
};

double rayLight(double x, double y)
{
    constexpr double sourceX = 170.0;
    constexpr double sourceY = -300.0;
    const double angle = std::atan2(x - sourceX, y - sourceY);
    double light = 0.0;
    for (const Ray& ray : rays) {
        const double d = (angle - ray.angle) / ray.halfWidth;
        light += ray.strength * std::exp(-d * d);
    }
    const double fade = 1.0 - smoothStep(30.0, 440.0, y);
    const double shimmer = 0.6 + 0.4 * valueNoise(seed + 7, angle * 900.0, y, 50.0, 0);
    return clamp01(light) * fade * shimmer;
}

// Height of the sea floor's surface at column x (y of the sand line).
double floorLine(double x)
{
    return 404.0 + 7.0 * valueNoise(seed + 11, x, 0.0, 70.0, 0) + 3.0 * valueNoise(seed + 12, x, 0.0, 17.0, 0);
}

// Distant rock shapes: a ragged ridge, only a shade darker than the water.
double ridgeLine(double x)
{
    return 340.0 + 40.0 * valueNoise(seed + 21, x, 0.0, 110.0, 0) + 14.0 * valueNoise(seed + 22, x, 0.0, 29.0, 0);
}

void paintWater(Image& field)
{
    for (int32_t y = 0; y < height; y++) {
        for (int32_t x = 0; x < width; x++) {
            Rgb colour = water(y);
            colour = lighten(colour, 0.1 * rayLight(x, y));
            // Soft caustic blotches near the surface.
            const double caustic = valueNoise(seed + 3, x, y * 1.6, 18.0, 0);
            colour = lighten(colour, 0.035 * smoothStep(0.6, 1.0, caustic) * (1.0 - smoothStep(20.0, 200.0, y)));
            if (y > ridgeLine(x)) {
                const double depth = smoothStep(0.0, 60.0, y - ridgeLine(x));
                colour = mix(colour, Rgb{10, 30, 44}, 0.35 + 0.2 * depth);
            }
            field.set(x, y, colour);
        }
    }
}

void paintFloor(Image& field)
{
    constexpr Rgb sandLight{88, 96, 80};
    constexpr Rgb sandDark{40, 52, 52};
    for (int32_t y = 0; y < height; y++) {
        for (int32_t x = 0; x < width; x++) {
            const double line = floorLine(x);
            if (y < line) {
                continue;
            }
            const double below = y - line;
            const double ripple = 0.5 + 0.5 * std::sin(x * 0.21 + below * 0.9 + 3.0 * valueNoise(seed + 31, x, y, 12.0, 0));
            Rgb colour = mix(sandLight, sandDark, smoothStep(0.0, 30.0, below));
            colour = scale(colour, 0.92 + 0.1 * ripple);
            if (below < 1.0) {
                colour = lighten(colour, 0.12);
            }
            field.set(x, y, colour);
        }
    }
}

// Pebbles on the sand and specks drifting in the water.
void paintSpecks(Image& field)
{
    Random random(seed + 41);
    for (int32_t i = 0; i < 70; i++) {
        const int32_t x = random.below(width - 4);
        const int32_t y = static_cast<int32_t>(floorLine(x)) + 3 + random.below(24);
        const Rgb stone = scale(Rgb{92, 96, 84}, random.range(0.6, 1.0));
        field.set(x, y, lighten(stone, 0.15));
        field.set(x + 1, y, stone);
        field.set(x, y + 1, scale(stone, 0.8));
        field.set(x + 1, y + 1, scale(stone, 0.6));
    }
    for (int32_t i = 0; i < 260; i++) {
        const int32_t x = random.below(width);
        const int32_t y = 20 + random.below(380);
        field.blend(x, y, Rgb{150, 200, 196}, random.range(0.12, 0.3));
    }
}

// Swaying weed: thin dark stalks rising from the floor.
void paintWeed(Image& field)
{
    Random random(seed + 51);
    for (int32_t plant = 0; plant < 16; plant++) {
        const double rootX = 12.0 + plant * 40.0 + random.range(-10.0, 10.0);
        const int32_t stalks = 2 + random.below(3);
        for (int32_t s = 0; s < stalks; s++) {
            const double baseX = rootX + s * 3.0;
            const double length = random.range(22.0, 60.0);
            const double phase = random.range(0.0, 6.28);
            const double root = floorLine(baseX) + 4.0;
            for (double t = 0.0; t < length; t += 0.5) {
                const double x = baseX + 4.0 * std::sin(phase + t * 0.12) * (t / length);
                const double y = root - t;
                const double thickness = 1.6 * (1.0 - t / length) + 0.6;
                for (double dx = -thickness; dx <= thickness; dx += 1.0) {
                    field.blend(static_cast<int32_t>(x + dx), static_cast<int32_t>(y), Rgb{14, 52, 44}, 0.55);
                }
            }
        }
    }
}

}  // namespace

Image makeBackground()
{
    Image field(width, height, palette::waterDeep, true);
    paintWater(field);
    paintWeed(field);
    paintFloor(field);
    paintSpecks(field);
    return field;
}

}  // namespace gfx
