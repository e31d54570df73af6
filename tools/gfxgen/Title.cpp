// The title screen's frame around the blue panel at (44, 160), 548 x 217:
// pillars at (0, 131) and (556, 131), drawn keyed, transparent only over the
// panel; rails at (80, 131) and (80, 370), the lower one holding the prompt
// (y 380); the logo on the title top and a chessboard floor on the title bottom.
// Also the four raster bars, drawn opaque at x 48, 544 wide.
#include <cmath>

#include "tools/gfxgen/Font.h"
#include "tools/gfxgen/Logo.h"
#include "tools/gfxgen/Pictures.h"

namespace gfx {

namespace {

constexpr int32_t pillarWidth = 84;
constexpr int32_t pillarHeight = 275;   // y 131..405, down to the title bottom
constexpr int32_t railWidth = 476;      // x 80..555, between the pillars
constexpr int32_t topRailHeight = 33;   // y 131..163: 4 rows over the panel's top
constexpr int32_t bottomRailHeight = 36;   // y 370..405: 7 rows over the panel's bottom
constexpr int32_t rasterWidth = 544;
constexpr int32_t rasterHeight = 11;

// Lilac metal in the spirit of the home computer's light blue frame.
constexpr Rgb metalDark{26, 18, 70};
constexpr Rgb metalMid{96, 84, 178};
constexpr Rgb metalLight{186, 176, 250};
constexpr Rgb metalShine{236, 232, 255};

// A rounded bar seen across: dark at both edges, a bright band a third of the way in.
Rgb barShade(double t)
{
    static constexpr GradientStop stops[] = {
        {0.00, metalDark}, {0.08, metalMid}, {0.28, metalShine}, {0.42, metalLight},
        {0.75, metalMid},  {0.94, Rgb{50, 40, 120}}, {1.00, metalDark},
    };
    return sampleGradient(stops, 7, t);
}

// The rails' face, by row: the same look continues into the pillars' corner arms.
Rgb topRailAt(int32_t row)
{
    if (row >= topRailHeight - 4) {
        // Lip over the panel's top edge: it throws a shadow onto the panel.
        static constexpr Rgb lip[] = {metalLight, metalMid, Rgb{48, 36, 120}, Rgb{14, 6, 48}};
        return lip[row - (topRailHeight - 4)];
    }
    return barShade((row + 0.5) / (topRailHeight - 4));
}

Rgb bottomRailAt(int32_t row)
{
    if (row < 7) {
        // Lip under the panel's bottom edge: lit from above.
        static constexpr Rgb lip[] = {metalShine, metalLight, metalLight, metalMid,
                                      metalMid,   Rgb{70, 58, 150}, Rgb{40, 30, 104}};
        return lip[row];
    }
    return barShade((row - 7 + 0.5) / (bottomRailHeight - 7));
}

void lamp(Image& image, int32_t x, int32_t y, Rgb colour)
{
    image.set(x, y, lighten(colour, 0.6));
    image.set(x + 1, y, colour);
    image.set(x, y + 1, colour);
    image.set(x + 1, y + 1, scale(colour, 0.6));
}

// The square plate where a pillar meets a rail.
void cornerPlate(Image& image, int32_t x, int32_t y, int32_t size)
{
    for (int32_t j = 0; j < size; j++) {
        for (int32_t i = 0; i < size; i++) {
            Rgb colour = mix(metalLight, metalMid, (i + j) / (2.0 * size));
            if (i == 0 || j == 0) {
                colour = metalShine;
            } else if (i == size - 1 || j == size - 1) {
                colour = metalDark;
            } else if (i == 1 || j == 1) {
                colour = lighten(metalLight, 0.2);
            } else if (i == size - 2 || j == size - 2) {
                colour = Rgb{56, 44, 130};
            }
            image.set(x + i, y + j, colour);
        }
    }
    for (int32_t bolt : {4, size - 6}) {
        lamp(image, x + bolt, y + 4, metalDark);
        lamp(image, x + bolt, y + size - 6, metalDark);
    }
}

// One pillar. bodyLeft..bodyRight is the column, lipLeft the 4-pixel lip over the panel's side,
// armLeft..armRight the part that is open over the panel between the two arms.
struct PillarShape {
    int32_t bodyLeft;
    int32_t bodyRight;
    int32_t lipLeft;
    bool litLip;        // the right pillar's lip faces the light
    int32_t openLeft;
    int32_t openRight;
};

Image makePillar(const PillarShape& shape)
{
    Image pillar(pillarWidth, pillarHeight, metalMid, true);
    const int32_t armBottom = pillarHeight - bottomRailHeight;
    for (int32_t y = 0; y < pillarHeight; y++) {
        for (int32_t x = 0; x < pillarWidth; x++) {
            const bool inArm = y < topRailHeight || y >= armBottom;
            if (!inArm && x >= shape.openLeft && x <= shape.openRight) {
                pillar.clear(x, y);
                continue;
            }
            Rgb colour = metalMid;
            if (y < topRailHeight) {
                colour = topRailAt(y);
            } else if (y >= armBottom) {
                colour = bottomRailAt(y - armBottom);
            }
            if (!inArm && x >= shape.bodyLeft && x <= shape.bodyRight) {
                const double t = (x - shape.bodyLeft + 0.5) / (shape.bodyRight - shape.bodyLeft + 1);
                colour = barShade(t);
                // Rings around the column every 40 pixels.
                const int32_t ring = (y - topRailHeight) % 40;
                if (ring == 0) {
                    colour = scale(colour, 0.45);
                } else if (ring == 1 || ring == 2) {
                    colour = lighten(colour, 0.25);
                }
            }
            if (!inArm && x >= shape.lipLeft && x < shape.lipLeft + 4) {
                static constexpr Rgb shadowLip[] = {metalShine, metalMid, Rgb{50, 40, 120}, Rgb{14, 6, 48}};
                static constexpr Rgb litLip[] = {metalShine, metalLight, metalMid, Rgb{40, 30, 104}};
                const int32_t i = x - shape.lipLeft;
                colour = shape.litLip ? litLip[i] : shadowLip[i];
            }
            pillar.set(x, y, colour);
        }
    }
    const int32_t plateLeft = shape.bodyLeft + (shape.bodyRight - shape.bodyLeft + 1 - topRailHeight) / 2;
    cornerPlate(pillar, plateLeft, 0, topRailHeight);
    cornerPlate(pillar, plateLeft, armBottom, bottomRailHeight);
    return pillar;
}

}  // namespace

Image makeBorderLeft()
{
    // Column x 0..43, lip 44..47 over the panel, open from 48 up to where the rail starts.
    return makePillar({0, 43, 44, false, 48, pillarWidth - 1});
}

Image makeBorderRight()
{
    // At x 556: open 556..587, lip 588..591 over the panel's right edge, column 592..639.
    return makePillar({36, pillarWidth - 1, 32, true, 0, 31});
}

Image makeBorderTop()
{
    Image rail(railWidth, topRailHeight, metalMid, true);
    for (int32_t y = 0; y < topRailHeight; y++) {
        for (int32_t x = 0; x < railWidth; x++) {
            rail.set(x, y, topRailAt(y));
        }
    }
    // A row of small lamps along the groove.
    static constexpr Rgb lamps[] = {Rgb{255, 90, 80}, Rgb{255, 220, 90}, Rgb{110, 240, 120}, Rgb{110, 200, 255}};
    for (int32_t i = 0; i < 24; i++) {
        lamp(rail, 12 + i * 20, 12, lamps[i % 4]);
    }
    return rail;
}

Image makeBorderBottom()
{
    Image rail(railWidth, bottomRailHeight, metalMid, true);
    for (int32_t y = 0; y < bottomRailHeight; y++) {
        for (int32_t x = 0; x < railWidth; x++) {
            rail.set(x, y, bottomRailAt(y));
        }
    }
    // The slot the prompt is written into (x 220..419, y 378..392 on screen).
    constexpr int32_t slotLeft = 140;
    constexpr int32_t slotWidth = 200;
    for (int32_t y = 8; y <= 22; y++) {
        for (int32_t x = slotLeft; x < slotLeft + slotWidth; x++) {
            const bool edgeTop = y == 8;
            const bool edgeBottom = y == 22;
            const bool edgeSide = x == slotLeft || x == slotLeft + slotWidth - 1;
            Rgb colour = mix(Rgb{10, 4, 40}, Rgb{24, 12, 76}, (y - 8) / 14.0);
            if (edgeTop) {
                colour = metalDark;
            } else if (edgeBottom || edgeSide) {
                colour = metalLight;
            }
            rail.set(x, y, colour);
        }
    }
    for (int32_t x : {40, 80, 120, 356, 396, 436}) {
        lamp(rail, x, 14, Rgb{110, 200, 255});
    }
    return rail;
}

Image makeRaster(int32_t colourIndex)
{
    // Peak colours of the four bars; each fades to near black at its top and bottom.
    static constexpr Rgb peaks[] = {Rgb{255, 255, 255}, Rgb{255, 80, 60}, Rgb{255, 224, 40}, Rgb{80, 240, 90}};
    static constexpr Rgb bodies[] = {Rgb{150, 150, 160}, Rgb{190, 20, 20}, Rgb{200, 130, 0}, Rgb{20, 150, 40}};
    static constexpr Rgb ends[] = {Rgb{34, 34, 44}, Rgb{50, 0, 8}, Rgb{60, 30, 0}, Rgb{0, 40, 12}};
    Image bar(rasterWidth, rasterHeight, ends[colourIndex], true);
    for (int32_t y = 0; y < rasterHeight; y++) {
        const double d = std::fabs(y - (rasterHeight - 1) / 2.0) / ((rasterHeight - 1) / 2.0);   // 0 centre, 1 edge
        Rgb colour = d < 0.5 ? mix(peaks[colourIndex], bodies[colourIndex], d / 0.5)
                             : mix(bodies[colourIndex], ends[colourIndex], (d - 0.5) / 0.5);
        if (d < 0.01) {
            colour = lighten(peaks[colourIndex], 0.5);
        }
        for (int32_t x = 0; x < rasterWidth; x++) {
            bar.set(x, y, colour);
        }
    }
    return bar;
}

}  // namespace gfx
