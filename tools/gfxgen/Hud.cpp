// The heads-up display: the top strip (score at x 60, best at 190, clock at 360,
// text at y 3; energy bar at 536..635, y 2..11; light-line rails at y 0 and 14),
// the bottom strip (ships from x 280 at y 440, LEDs from x 496 on y 438 and 458),
// the energy bar, the light line, the LED and the game-over picture.
#include <cmath>

#include "tools/gfxgen/Font.h"
#include "tools/gfxgen/Logo.h"
#include "tools/gfxgen/Pictures.h"

namespace gfx {

namespace {

constexpr int32_t screenWidth = 640;
constexpr int32_t hudHeight = 20;
constexpr int32_t hudDownHeight = 48;
constexpr int32_t ledWidth = 10;
constexpr int32_t ledHeight = 8;

// Dim lettering for the labels, so the numbers are what the eye finds.
TextStyle labelStyle()
{
    return {Rgb{120, 176, 206}, Rgb{76, 126, 168}, Rgb{8, 12, 26}, true};
}

// Brushed steel: a vertical ramp with faint horizontal streaks.
Rgb steelAt(int32_t x, int32_t y, int32_t height, uint32_t seed)
{
    const double t = (y + 0.5) / height;
    Rgb colour = mix(mix(palette::steel, palette::steelDark, 0.25), palette::steelDark, t);
    const double streak = valueNoise(seed, x, y * 8.0, 24.0, 0) - 0.5;
    return scale(colour, 1.0 + 0.12 * streak);
}

// A recess with a dark floor, shadow at the top and left, a light rim at the bottom and right.
void recess(Image& image, int32_t x, int32_t y, int32_t w, int32_t h)
{
    image.fillRect(x, y, w, h, palette::socket);
    for (int32_t i = x - 1; i <= x + w; i++) {
        image.set(i, y - 1, scale(palette::steelDark, 0.6));
        image.set(i, y + h, mix(palette::steelLight, palette::steel, 0.4));
    }
    for (int32_t j = y; j < y + h; j++) {
        image.set(x - 1, j, scale(palette::steelDark, 0.6));
        image.set(x + w, j, mix(palette::steelLight, palette::steel, 0.4));
    }
}

void rivet(Image& image, int32_t x, int32_t y)
{
    image.set(x, y, palette::steelLight);
    image.set(x + 1, y, palette::steel);
    image.set(x, y + 1, palette::steel);
    image.set(x + 1, y + 1, palette::steelDark);
}

void paintTrack(Image& image, int32_t y)
{
    for (int32_t x = 0; x < image.width; x++) {
        image.set(x, y, palette::track);
        image.set(x, y + 1, palette::track);
    }
}

}  // namespace

Image makeHud()
{
    Image hud(screenWidth, hudHeight, palette::steelDark, true);
    for (int32_t y = 0; y < hudHeight; y++) {
        for (int32_t x = 0; x < screenWidth; x++) {
            hud.set(x, y, steelAt(x, y, hudHeight, 0x00D00001u));
        }
    }
    // Lower lip: a highlight, then a dark edge against the water.
    for (int32_t x = 0; x < screenWidth; x++) {
        hud.set(x, 16, mix(palette::steelLight, palette::steel, 0.5));
        hud.set(x, 18, scale(palette::steelDark, 0.8));
        hud.set(x, 19, scale(palette::steelDark, 0.45));
    }
    // Windows for the three numbers (score 6 digits, best 6 digits, clock up to 5 characters).
    recess(hud, 58, 2, 46, 11);
    recess(hud, 188, 2, 46, 11);
    recess(hud, 358, 2, 38, 11);
    drawText(hud, "score", 18, 3, labelStyle());
    drawText(hud, "best", 155, 3, labelStyle());
    drawText(hud, "time", 325, 3, labelStyle());
    drawText(hud, "energy", 488, 3, labelStyle());
    // The energy bar's slot with a tick every 10 units.
    recess(hud, 536, 2, 100, 10);
    for (int32_t tick = 1; tick < 10; tick++) {
        hud.set(536 + tick * 10, 10, Rgb{26, 40, 56});
        hud.set(536 + tick * 10, 11, Rgb{26, 40, 56});
    }
    for (int32_t x : {6, 140, 300, 420}) {
        rivet(hud, x, 6);
    }
    // The rails the two light lines run on, over everything else.
    paintTrack(hud, 0);
    paintTrack(hud, 14);
    return hud;
}

Image makeHudDown()
{
    Image hud(screenWidth, hudDownHeight, palette::steelDark, true);
    for (int32_t y = 0; y < hudDownHeight; y++) {
        for (int32_t x = 0; x < screenWidth; x++) {
            hud.set(x, y, steelAt(x, hudDownHeight - 1 - y, hudDownHeight, 0x00D00002u));
        }
    }
    for (int32_t x = 0; x < screenWidth; x++) {
        hud.set(x, 0, scale(palette::steelDark, 0.45));
        hud.set(x, 1, mix(palette::steelLight, palette::steel, 0.35));
        hud.set(x, hudDownHeight - 1, scale(palette::steelDark, 0.6));
    }
    // Hangar for the spare ships: up to seven, 16 apart from x 280, y 8..31 here.
    recess(hud, 274, 5, 158, 30);
    drawText(hud, "ships", 335, 36, labelStyle());
    // LED sockets: six per row, 13 apart from x 496, on rows 6 and 26.
    for (int32_t row = 0; row < 2; row++) {
        for (int32_t i = 0; i < 6; i++) {
            recess(hud, 496 + 13 * i, 6 + 20 * row, ledWidth, ledHeight);
        }
    }
    drawText(hud, "speed", 452, 4, labelStyle());
    drawText(hud, "fire", 459, 24, labelStyle());
    // The name plate: the title's chrome letters, small.
    static constexpr GradientStop chrome[] = {
        {0.00, Rgb{240, 246, 255}}, {0.47, Rgb{92, 130, 220}}, {0.50, Rgb{26, 22, 70}},
        {0.56, Rgb{120, 70, 60}},   {1.00, Rgb{250, 226, 190}},
    };
    const LogoStyle plate{chrome, 5, Rgb{6, 8, 20}, 1.2, 2, 2, Rgb{8, 10, 22}, true};
    drawLogo(hud, "karvex", 22.0, 13.0, 2.2, 0.22, plate);
    // Vent grilles on both ends.
    for (int32_t slot = 0; slot < 3; slot++) {
        recess(hud, 186 + slot * 24, 16, 18, 3);
        recess(hud, 186 + slot * 24, 26, 18, 3);
    }
    for (int32_t slot = 0; slot < 3; slot++) {
        recess(hud, 590, 12 + slot * 9, 38, 3);
    }
    for (int32_t x : {6, 176, 262, 444, 580, 632}) {
        rivet(hud, x, 8);
        rivet(hud, x, 38);
    }
    return hud;
}

Image makeEnergy()
{
    // Stretched sideways by the game to the energy left, so every column is the same.
    constexpr Rgb bright{140, 255, 200};
    constexpr Rgb body{20, 200, 150};
    constexpr Rgb deep{6, 90, 80};
    Image bar(100, 10, body, true);
    for (int32_t y = 0; y < 10; y++) {
        Rgb colour = y < 3 ? mix(bright, body, y / 3.0) : mix(body, deep, (y - 3) / 6.0);
        if (y == 1) {
            colour = lighten(bright, 0.4);
        }
        for (int32_t x = 0; x < 100; x++) {
            bar.set(x, y, colour);
        }
    }
    return bar;
}

Image makeLightline()
{
    // Drawn opaque on the rails: its ends are the rail's own colour.
    Image line(64, 2, palette::track, true);
    for (int32_t x = 0; x < 64; x++) {
        const double glow = std::pow(std::sin(3.14159265358979 * (x + 0.5) / 64.0), 3.0);
        line.set(x, 0, mix(palette::track, Rgb{200, 250, 255}, glow));
        line.set(x, 1, mix(palette::track, Rgb{90, 200, 230}, glow));
    }
    return line;
}

Image makeLedLight()
{
    Image led(ledWidth, ledHeight, palette::socket, true);
    constexpr Rgb hot{255, 236, 150};
    constexpr Rgb amber{255, 160, 30};
    constexpr Rgb edge{150, 70, 10};
    for (int32_t y = 0; y < ledHeight; y++) {
        for (int32_t x = 0; x < ledWidth; x++) {
            const double dx = (x + 0.5 - ledWidth / 2.0) / (ledWidth / 2.0);
            const double dy = (y + 0.5 - ledHeight / 2.0) / (ledHeight / 2.0);
            const double r = std::sqrt(dx * dx * 0.8 + dy * dy);
            if (r < 1.05) {
                led.set(x, y, mix(mix(hot, amber, smoothStep(0.0, 0.7, r)), edge, smoothStep(0.7, 1.05, r)));
            }
        }
    }
    led.set(3, 2, Rgb{255, 255, 240});
    return led;
}

Image makeGameOver()
{
    constexpr int32_t width = 270;
    constexpr int32_t height = 80;
    static constexpr GradientStop fire[] = {
        {0.00, Rgb{255, 255, 210}}, {0.40, Rgb{255, 196, 60}}, {0.49, Rgb{226, 96, 20}},
        {0.51, Rgb{120, 20, 10}},   {0.62, Rgb{196, 52, 20}},  {1.00, Rgb{255, 172, 80}},
    };
    const LogoStyle style{fire, 6, Rgb{24, 6, 10}, 2.0, 3, 3, Rgb{8, 4, 12}, false};
    Image picture(width, height, Rgb{0, 0, 0}, false);
    constexpr double unit = 3.3;
    constexpr double shear = 0.15;
    const double gameWidth = logoWidth("game", unit, shear);
    const double overWidth = logoWidth("over", unit, shear);
    drawLogo(picture, "game", (width - gameWidth) / 2.0 - 18.0, 4.0, unit, shear, style);
    drawLogo(picture, "over", (width - overWidth) / 2.0 + 18.0, 4.0 + 10.0 * unit + 6.0, unit, shear, style);
    return picture;
}

}  // namespace gfx
