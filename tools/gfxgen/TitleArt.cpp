// The title's top (640 x 131: night sky, the chrome logo mirrored in rippling
// water, a calm corner at (550, 120) for the version text) and bottom (640 x 74:
// a chessboard floor running to the horizon, with a footer line).
#include <cmath>
#include <string_view>

#include "tools/gfxgen/Font.h"
#include "tools/gfxgen/Logo.h"
#include "tools/gfxgen/Pictures.h"

namespace gfx {

namespace {

constexpr int32_t width = 640;
constexpr int32_t topHeight = 131;
constexpr int32_t bottomHeight = 74;

constexpr GradientStop chrome[] = {
    {0.00, Rgb{255, 255, 255}}, {0.20, Rgb{214, 236, 255}}, {0.47, Rgb{92, 130, 220}},
    {0.50, Rgb{26, 22, 70}},    {0.56, Rgb{120, 70, 60}},   {0.80, Rgb{224, 170, 120}},
    {1.00, Rgb{255, 240, 210}},
};

void sky(Image& image, Rgb top, Rgb bottom, uint32_t seed, int32_t starCount)
{
    for (int32_t y = 0; y < image.height; y++) {
        const Rgb colour = mix(top, bottom, static_cast<double>(y) / (image.height - 1));
        for (int32_t x = 0; x < image.width; x++) {
            image.set(x, y, colour);
        }
    }
    Random random(seed);
    for (int32_t i = 0; i < starCount; i++) {
        const int32_t x = random.below(image.width);
        const int32_t y = random.below(image.height);
        const double brightness = random.range(0.25, 1.0);
        image.blend(x, y, Rgb{230, 236, 255}, brightness);
        if (brightness > 0.9) {
            // The brightest few twinkle with a small cross.
            for (int32_t d : {-1, 1}) {
                image.blend(x + d, y, Rgb{160, 170, 255}, 0.45);
                image.blend(x, y + d, Rgb{160, 170, 255}, 0.45);
            }
        }
    }
}

// A thin line of all hues, fading out at both ends: a copper line of the old machines.
void copperLine(Image& image, int32_t y, int32_t left, int32_t right)
{
    for (int32_t x = left; x < right; x++) {
        const double t = static_cast<double>(x - left) / (right - left);
        const double hue = t * 6.0;
        const Rgb colour{127.5 + 127.5 * std::cos(hue), 127.5 + 127.5 * std::cos(hue - 2.094),
                         127.5 + 127.5 * std::cos(hue + 2.094)};
        const double fade = std::sin(3.14159265358979 * t);
        image.blend(x, y, colour, 0.9 * fade);
        image.blend(x, y + 1, colour, 0.4 * fade);
    }
}

// The logo's reflection: rows copied upside down, squashed, shifted by ripples and darkened.
void reflect(Image& image, int32_t mirrorY, int32_t depth, int32_t left, int32_t right)
{
    const Image source = image;
    for (int32_t row = 0; row < depth; row++) {
        const int32_t from = mirrorY - 1 - row * 2;
        const int32_t shift = static_cast<int32_t>(std::lround(2.0 * std::sin(row * 1.3)));
        const double strength = 0.55 * (1.0 - static_cast<double>(row) / depth);
        for (int32_t x = left; x < right; x++) {
            const int32_t sx = x + shift;
            if (from < 0 || sx < 0 || sx >= width) {
                continue;
            }
            const Rgb tinted = mix(source.at(sx, from), Rgb{20, 40, 120}, 0.45);
            image.blend(x, mirrorY + row, tinted, strength);
        }
    }
}

}  // namespace

Image makeTitleTop()
{
    Image top(width, topHeight, Rgb{0, 0, 0}, true);
    sky(top, Rgb{0, 0, 6}, Rgb{16, 6, 48}, 0x7171E001u, 130);
    copperLine(top, 14, 40, 600);
    constexpr double unit = 6.4;
    constexpr double shear = 0.22;
    const double logoX = (width - logoWidth("karvex", unit, shear)) / 2.0;
    const LogoStyle style{chrome, 7, Rgb{6, 4, 24}, 2.5, 4, 4, Rgb{0, 0, 0}, true};
    drawLogo(top, "karvex", logoX, 24.0, unit, shear, style);
    constexpr int32_t waterLine = 98;
    copperLine(top, waterLine - 2, 60, 580);
    reflect(top, waterLine, 16, 80, 560);
    // Bottom edge where the frame begins.
    for (int32_t x = 0; x < width; x++) {
        top.set(x, topHeight - 2, Rgb{40, 30, 100});
        top.set(x, topHeight - 1, Rgb{12, 6, 40});
    }
    return top;
}

Image makeTitleBottom()
{
    Image bottom(width, bottomHeight, Rgb{0, 0, 0}, true);
    sky(bottom, Rgb{16, 6, 48}, Rgb{0, 0, 6}, 0x7171E002u, 30);
    // Chessboard floor from the horizon at row 6 to the bottom edge, seen in perspective.
    constexpr double horizon = 6.0;
    constexpr Rgb squareA{70, 40, 170};
    constexpr Rgb squareB{16, 10, 60};
    for (int32_t y = static_cast<int32_t>(horizon) + 1; y < bottomHeight; y++) {
        const double depth = 300.0 / (y - horizon);   // distance to the floor at this row
        const double fog = smoothStep(20.0, 110.0, depth);
        for (int32_t x = 0; x < width; x++) {
            const double floorX = (x - width / 2.0 + 0.5) * depth / 300.0;
            const bool light = (static_cast<int32_t>(std::floor(floorX)) +
                                static_cast<int32_t>(std::floor(depth))) % 2 != 0;
            const Rgb colour = light ? squareA : squareB;
            bottom.set(x, y, mix(colour, Rgb{30, 14, 80}, fog));
        }
    }
    copperLine(bottom, static_cast<int32_t>(horizon), 0, width);
    // Footer: a dark band with the line of text.
    for (int32_t y = 46; y < 66; y++) {
        for (int32_t x = 0; x < width; x++) {
            bottom.blend(x, y, Rgb{4, 2, 16}, 0.7 - 0.04 * std::fabs(y - 55.5));
        }
    }
    constexpr std::string_view footer = "greetings to every pilot under the waves";
    const int32_t footerWidth = static_cast<int32_t>(footer.size()) * glyphCellWidth;
    drawText(bottom, footer, (width - footerWidth) / 2, 50, gameTextStyle());
    // Top edge where the frame ends.
    for (int32_t x = 0; x < width; x++) {
        bottom.set(x, 0, Rgb{12, 6, 40});
        bottom.set(x, 1, Rgb{40, 30, 100});
    }
    return bottom;
}

}  // namespace gfx
