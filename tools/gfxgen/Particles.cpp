// Small things that float and fall: two bubbles (rings with a glint, hollow so
// the water shows through), the dust puff (drawn opaque by the game, so a soft
// square) and the twenty frames of a tumbling stone, 8 x 8 each, in one row.
#include <cmath>

#include "tools/gfxgen/Pictures.h"

namespace gfx {

Image makeBubble(bool white)
{
    const int32_t size = white ? 8 : 6;
    const Rgb ring = white ? Rgb{214, 240, 246} : Rgb{110, 178, 226};
    const Rgb shade = white ? Rgb{120, 176, 190} : Rgb{58, 110, 160};
    Image bubble(size, size, Rgb{0, 0, 0}, false);
    const double centre = size / 2.0;
    const double outer = size / 2.0;
    const double inner = outer - 1.35;
    for (int32_t y = 0; y < size; y++) {
        for (int32_t x = 0; x < size; x++) {
            const double dx = x + 0.5 - centre;
            const double dy = y + 0.5 - centre;
            const double r = std::sqrt(dx * dx + dy * dy);
            if (r < outer && r >= inner) {
                // Bright on the upper left, darker on the lower right.
                const double t = clamp01(0.5 + (dx + dy) / (2.0 * outer));
                bubble.set(x, y, mix(ring, shade, t));
            }
        }
    }
    // The glint inside the ring.
    bubble.set(size / 2 - 2, size / 2 - 2, Rgb{255, 255, 255});
    if (white) {
        bubble.set(size / 2 - 1, size / 2 - 2, Rgb{236, 250, 255});
    }
    return bubble;
}

Image makeDust()
{
    // Silt: lighter in the middle, corners close to the water so the square reads round.
    constexpr Rgb corner{52, 88, 96};
    constexpr Rgb side{96, 132, 136};
    constexpr Rgb middle{150, 176, 172};
    Image dust(4, 4, side, true);
    dust.set(0, 0, corner);
    dust.set(3, 0, corner);
    dust.set(0, 3, corner);
    dust.set(3, 3, corner);
    dust.set(1, 1, middle);
    dust.set(2, 1, lighten(middle, 0.15));
    dust.set(1, 2, middle);
    dust.set(2, 2, scale(middle, 0.9));
    return dust;
}

namespace {

constexpr int32_t frameSize = 8;
constexpr int32_t frameCount = 20;
constexpr double pi = 3.14159265358979323846;

// The stone's outline in its own coordinates (pixels from its centre), as a radius per angle.
double stoneRadius(double angle)
{
    return 3.45 + 0.42 * std::cos(3.0 * angle + 0.6) + 0.22 * std::sin(5.0 * angle + 1.9);
}

// The stone is cut into facets: a flat top and five sides around it. Each side leans out
// in its own direction, which turns with the stone while the light stays where it is.
void paintStoneFrame(Image& sheet, int32_t frame)
{
    constexpr Rgb stone{180, 140, 92};
    constexpr int32_t sides = 5;
    const double turn = frame * 2.0 * pi / frameCount;
    for (int32_t y = 0; y < frameSize; y++) {
        for (int32_t x = 0; x < frameSize; x++) {
            const double dx = x + 0.5 - 4.0;
            const double dy = y + 0.5 - 4.0;
            const double r = std::sqrt(dx * dx + dy * dy);
            const double local = std::atan2(dy, dx) - turn;
            const double edge = stoneRadius(local);
            if (r >= edge) {
                continue;
            }
            double nx = 0.0;
            double ny = 0.0;
            double nz = 1.0;
            if (r > 0.45 * edge) {
                const double sector = std::floor((local + 4.0 * pi) / (2.0 * pi / sides));
                const double facing = (sector + 0.5) * (2.0 * pi / sides) + turn + 0.4 * std::sin(sector * 2.3);
                nx = 0.75 * std::cos(facing);
                ny = 0.75 * std::sin(facing);
                nz = 0.66;
            }
            const double shade = 0.3 + 0.85 * lightOn(nx, ny, nz);
            sheet.set(frame * frameSize + x, y, scale(stone, shade));
        }
    }
}

}  // namespace

Image makeStoneSheet()
{
    Image sheet(frameSize * frameCount, frameSize, Rgb{0, 0, 0}, false);
    for (int32_t frame = 0; frame < frameCount; frame++) {
        paintStoneFrame(sheet, frame);
    }
    return sheet;
}

}  // namespace gfx
