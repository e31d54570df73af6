// The player's ship (48 x 24, facing right; the left-facing file is its mirror)
// and its shot (12 x 5, flying right). The game fires shots from (+30, +20) and
// puts the exhaust at (0, +20), so the gun pod and the nozzle sit low on the hull.
#include <cmath>

#include "tools/gfxgen/Pictures.h"

namespace gfx {

namespace {

constexpr int32_t shipWidth = 48;
constexpr int32_t shipHeight = 24;

constexpr Rgb hullColour{200, 210, 226};
constexpr Rgb stripeColour{206, 44, 40};
constexpr Rgb finColour{196, 42, 38};
constexpr Rgb podColour{104, 118, 144};
constexpr Rgb glassColour{40, 156, 206};

Rgb lit(Rgb base, double nx, double ny, double nz, double shine)
{
    const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
    nx /= length;
    ny /= length;
    nz /= length;
    const Rgb diffuse = scale(base, 0.38 + 0.85 * lightOn(nx, ny, nz));
    return lighten(diffuse, shine * specularOn(nx, ny, nz, 18.0));
}

// An ellipsoid lying along x; only the part selected by keep() is painted.
template <typename Keep>
void paintEllipsoid(Image& ship, double cx, double cy, double rx, double ry, Rgb base, double shine,
                    Keep keep)
{
    for (int32_t y = 0; y < shipHeight; y++) {
        for (int32_t x = 0; x < shipWidth; x++) {
            const double u = (x + 0.5 - cx) / rx;
            const double v = (y + 0.5 - cy) / ry;
            const double r2 = u * u + v * v;
            if (r2 < 1.0 && keep(x, y)) {
                ship.set(x, y, lit(base, u * 0.6, v, std::sqrt(1.0 - r2), shine));
            }
        }
    }
}

void paintFin(Image& ship)
{
    // Swept back: the leading edge runs from the hull up and back to the tip.
    const Point fin[] = {{3.0, 10.5}, {5.5, 1.0}, {9.5, 1.0}, {17.5, 9.5}};
    for (int32_t y = 0; y < shipHeight; y++) {
        for (int32_t x = 0; x < shipWidth; x++) {
            const double px = x + 0.5;
            const double py = y + 0.5;
            if (!insidePolygon(fin, 4, px, py)) {
                continue;
            }
            // Distance behind the leading edge (9.5, 1) - (17.5, 9.5), in pixels.
            const double behind = ((px - 9.5) * 8.5 - (py - 1.0) * 8.0) / -11.67;
            Rgb colour = mix(lighten(finColour, 0.2), scale(finColour, 0.62), (py - 1.0) / 9.5);
            if (behind < 1.6) {
                colour = lighten(finColour, 0.55);
            } else if (behind < 2.6) {
                colour = lighten(finColour, 0.25);
            }
            ship.set(x, y, colour);
        }
    }
}

// Half the hull's height at column x: round at the tail, drawn out to a point at the nose.
double hullHalfHeight(double px)
{
    const double u = (px - 24.0) / 21.8;
    if (u <= -1.0 || u >= 1.0) {
        return 0.0;
    }
    double h = 6.4 * std::sqrt(1.0 - u * u);
    if (u > 0.0) {
        h *= 1.0 - 0.3 * u;
    }
    return h;
}

void paintHull(Image& ship)
{
    constexpr double cy = 12.0;
    for (int32_t y = 0; y < shipHeight; y++) {
        for (int32_t x = 0; x < shipWidth; x++) {
            const double h = hullHalfHeight(x + 0.5);
            const double dy = y + 0.5 - cy;
            if (h <= 0.0 || std::fabs(dy) >= h) {
                continue;
            }
            const double u = (x + 0.5 - 24.0) / 21.8;
            const double v = dy / h;
            const bool stripe = v > 0.12 && v < 0.5 && x > 4;
            const Rgb base = stripe ? stripeColour : hullColour;
            ship.set(x, y, lit(base, u * 0.45, v, std::sqrt(1.0 - v * v), stripe ? 0.3 : 0.7));
        }
    }
    // Portholes: dark glass with one glint.
    for (int32_t hole = 0; hole < 3; hole++) {
        const int32_t hx = 13 + 5 * hole;
        ship.set(hx, 9, Rgb{16, 36, 58});
        ship.set(hx + 1, 9, Rgb{16, 36, 58});
        ship.set(hx, 10, Rgb{16, 36, 58});
        ship.set(hx + 1, 10, Rgb{110, 200, 230});
    }
}

void paintNozzleAndGun(Image& ship)
{
    // Nozzle at the tail, low: a short bell with the engine's glow in its mouth.
    for (int32_t y = 17; y <= 21; y++) {
        for (int32_t x = 0; x <= 4; x++) {
            const bool rim = y == 17 || y == 21 || x >= 3;
            const Rgb metal = y <= 18 ? Rgb{120, 130, 150} : Rgb{58, 66, 84};
            ship.set(x, y, rim ? metal : mix(Rgb{255, 230, 150}, Rgb{230, 96, 30}, x / 2.0));
        }
    }
    // Gun barrel under the nose, level with where shots leave (+20).
    for (int32_t x = 38; x < shipWidth; x++) {
        ship.set(x, 20, Rgb{168, 178, 196});
        ship.set(x, 21, Rgb{92, 102, 122});
        ship.set(x, 22, Rgb{46, 52, 68});
    }
    ship.set(47, 21, Rgb{255, 222, 140});
}

}  // namespace

Image makePlayerRight()
{
    Image ship(shipWidth, shipHeight, Rgb{0, 0, 0}, false);
    paintFin(ship);
    // Canopy: its lower half disappears into the hull.
    // Keel pod that carries the gun and the engine.
    paintEllipsoid(ship, 24.5, 19.4, 20.5, 2.9, podColour, 0.5, [](int32_t, int32_t) { return true; });
    paintNozzleAndGun(ship);
    paintHull(ship);
    // Canopy: the top of a glass dome sitting on the hull.
    paintEllipsoid(ship, 31.0, 8.0, 7.0, 4.6, glassColour, 1.0, [](int32_t, int32_t y) { return y < 8; });
    ship.set(28, 4, Rgb{255, 255, 255});
    ship.set(29, 4, Rgb{226, 248, 255});
    ship.set(27, 5, Rgb{200, 240, 255});
    darkenSilhouette(ship, 0.45);
    return ship;
}

Image makeShotRight()
{
    constexpr int32_t width = 12;
    constexpr int32_t height = 5;
    Image shot(width, height, Rgb{0, 0, 0}, false);
    constexpr Rgb core{255, 255, 236};
    constexpr Rgb glow{255, 206, 60};
    constexpr Rgb rim{236, 96, 24};
    for (int32_t y = 0; y < height; y++) {
        for (int32_t x = 0; x < width; x++) {
            // A bolt with a round head at the right and a tail that thins out to the left.
            const double px = x + 0.5;
            const double head = 8.8;
            double half = 2.5 * smoothStep(0.0, 7.0, px);
            if (px > head) {
                const double d = (px - head) / 3.2;
                half = d >= 1.0 ? 0.0 : 2.5 * std::sqrt(1.0 - d * d);
            }
            const double dy = std::fabs(y + 0.5 - 2.5);
            if (dy >= half) {
                continue;
            }
            const double centre = 1.0 - dy / half;   // 1 on the axis, 0 at the rim
            const double along = clamp01(px / head);
            Rgb colour = mix(rim, glow, centre);
            colour = mix(colour, core, clamp01(centre * 1.4 - 0.4) * along);
            shot.set(x, y, colour);
        }
    }
    return shot;
}

}  // namespace gfx
