// The contact sheet: a title screen, a play screen and a game-over screen put
// together from the pictures at the places the game draws them, then every
// picture enlarged with its file name, transparent pixels shown as a checker.
#include "tools/gfxgen/ContactSheet.h"

#include <cmath>
#include <cstring>
#include <string_view>
#include <vector>

#include "tools/gfxgen/Font.h"
#include "tools/gfxgen/Pictures.h"

namespace gfx {

namespace {

constexpr int32_t screenWidth = 640;
constexpr int32_t screenHeight = 480;
constexpr int32_t gap = 24;
constexpr int32_t labelHeight = 16;
constexpr int32_t sheetWidth = 3 * screenWidth + 4 * gap;
constexpr Rgb sheetColour{40, 40, 46};

struct Catalogue {
    std::vector<Image> images;

    [[nodiscard]] const Image& get(std::string_view fileName) const
    {
        for (int32_t i = 0; i < pictureCount(); i++) {
            if (fileName == pictures()[i].fileName) {
                return images[static_cast<size_t>(i)];
            }
        }
        return images[0];
    }
};

// Nearest-pixel scaling, the way the game stretches the energy bar.
Image stretched(const Image& source, int32_t w, int32_t h)
{
    Image result(w, h, Rgb{0, 0, 0}, false);
    for (int32_t y = 0; y < h; y++) {
        for (int32_t x = 0; x < w; x++) {
            const int32_t sx = x * source.width / w;
            const int32_t sy = y * source.height / h;
            if (source.isSolid(sx, sy)) {
                result.set(x, y, source.at(sx, sy));
            }
        }
    }
    return result;
}

void text(Image& image, std::string_view line, int32_t x, int32_t y)
{
    drawText(image, line, x, y, gameTextStyle());
}

Image titleScreen(const Catalogue& art)
{
    Image screen(screenWidth, screenHeight, Rgb{0, 0, 0}, true);
    screen.stamp(art.get("title_top.bmp"), 0, 0);
    screen.stamp(art.get("title_bottom.bmp"), 0, layout::titleBottomY);
    text(screen, "version 1.1", 550, 120);
    screen.fillRect(layout::panelX, layout::panelY, layout::panelWidth, layout::panelHeight, palette::panel);
    static constexpr const char* bars[] = {"raster.bmp", "raster_red.bmp", "raster_yellow.bmp", "raster_green.bmp"};
    for (int32_t bar = 7; bar >= 0; bar--) {
        // The phases some time after start-up: the bars spread over the swing.
        const int32_t phase = (6 * bar + 200) % 256;
        const double y = 260.0 + std::cos(phase * 3.14 / 128) * 3.2 * 30.0;
        screen.stamp(art.get(bars[bar / 2]), layout::rasterX, static_cast<int32_t>(y));
    }
    screen.stamp(art.get("border_left.bmp"), 0, layout::borderY);
    screen.stamp(art.get("border_right.bmp"), layout::borderRightX, layout::borderY);
    screen.stamp(art.get("border_top.bmp"), layout::railX, layout::borderY);
    screen.stamp(art.get("border_bottom.bmp"), layout::railX, layout::railBottomY);
    text(screen, "press space to play", 255, 380);
    text(screen, "karvex symbols:", 70, 180);
    static constexpr const char* blocks[] = {"block.bmp", "block_shot.bmp", "block_speed.bmp",
                                             "block_energy.bmp", "block_shotspeed.bmp", "block_noextras.bmp"};
    static constexpr const char* lines[] = {
        "just a block to destroy...25 points + 1 level-point", "one more shot...50 points",
        "better handling and speed for your ship...50 points", "fill up your energy...50 points",
        "your ship get a faster shot intervall...50 points", "all your extras are lost!...100 points"};
    for (int32_t i = 0; i < 6; i++) {
        screen.stamp(art.get(blocks[i]), 70 + 10 * i, 200 + 20 * i);
        text(screen, lines[i], 110 + 10 * i, 200 + 20 * i);
    }
    text(screen, "in the game press f8 for pause-mode.", 195, 350);
    return screen;
}

void drawHudOn(Image& screen, const Catalogue& art)
{
    screen.stamp(art.get("hud.bmp"), 0, 0);
    screen.stamp(stretched(art.get("energy.bmp"), 72, 10), 536, 2);
    screen.stamp(art.get("lightline.bmp"), 210, 0);
    screen.stamp(art.get("lightline.bmp"), 576 - 210, 14);
    screen.stamp(art.get("hud_down.bmp"), 0, layout::hudDownY);
    text(screen, "001275", 60, 3);
    text(screen, "004890", 190, 3);
    text(screen, "1:07", 360, 3);
    for (int32_t i = 0; i < 3; i++) {
        screen.stamp(art.get("ledlight.bmp"), 496 + 13 * i, 438);
    }
    screen.stamp(art.get("ledlight.bmp"), 496, 458);
    for (int32_t i = 0; i < 4; i++) {
        screen.stamp(art.get("player_left.bmp"), 280 + 16 * i, 440);
    }
}

Image playScreen(const Catalogue& art)
{
    Image screen = art.get("bg.bmp");
    // A pile with a few towers, as the landing grid would leave it.
    static constexpr int32_t pile[20] = {2, 3, 1, 0, 4, 6, 2, 1, 0, 0, 1, 3, 5, 2, 1, 0, 2, 7, 3, 1};
    for (int32_t column = 0; column < 20; column++) {
        for (int32_t row = 0; row < pile[column]; row++) {
            screen.stamp(art.get("block_ground.bmp"), 32 * column, 16 * (26 - row));
        }
    }
    static constexpr const char* falling[] = {"block.bmp", "block_shot.bmp", "block.bmp", "block_speed.bmp",
                                              "block_energy.bmp", "block.bmp", "block_shotspeed.bmp",
                                              "block_noextras.bmp"};
    static constexpr int32_t fallX[] = {1, 3, 6, 8, 10, 13, 15, 18};
    static constexpr int32_t fallY[] = {60, 140, 250, 90, 300, 180, 40, 230};
    for (int32_t i = 0; i < 8; i++) {
        screen.stamp(art.get(falling[i]), 32 * fallX[i], fallY[i]);
    }
    screen.stamp(art.get("player_right.bmp"), 300, 210);
    screen.stamp(art.get("shot_right.bmp"), 360, 230);
    screen.stamp(art.get("shot_right.bmp"), 430, 230);
    for (int32_t i = 0; i < 5; i++) {
        screen.stamp(art.get("dust.bmp"), 296 - 9 * i, 226 + (i % 2));
    }
    const Image& stones = art.get("anim_stones.bmp");
    for (int32_t i = 0; i < 6; i++) {
        Image frame(8, 8, Rgb{0, 0, 0}, false);
        for (int32_t y = 0; y < 8; y++) {
            for (int32_t x = 0; x < 8; x++) {
                if (stones.isSolid(i * 24 % 160 + x, y)) {
                    frame.set(x, y, stones.at(i * 24 % 160 + x, y));
                }
            }
        }
        screen.stamp(frame, 468 + 9 * i, 300 + 7 * (i % 3));
    }
    for (int32_t i = 0; i < 9; i++) {
        screen.stamp(art.get(i % 3 == 0 ? "bubble_blue.bmp" : "bubble_white.bmp"), 470 + 11 * (i % 4) - 3 * i,
                     290 - 13 * i);
    }
    drawHudOn(screen, art);
    return screen;
}

void stampEnlarged(Image& sheet, const Image& picture, int32_t x, int32_t y, int32_t factor)
{
    for (int32_t py = 0; py < picture.height * factor; py++) {
        for (int32_t px = 0; px < picture.width * factor; px++) {
            const int32_t sx = px / factor;
            const int32_t sy = py / factor;
            Rgb colour = picture.at(sx, sy);
            if (!picture.isSolid(sx, sy)) {
                colour = ((px / 6 + py / 6) % 2 == 0) ? Rgb{96, 96, 104} : Rgb{70, 70, 78};
            }
            sheet.set(x + px, y + py, colour);
        }
    }
}

}  // namespace

Image makeContactSheet(int32_t factor)
{
    Catalogue art;
    for (int32_t i = 0; i < pictureCount(); i++) {
        art.images.push_back(pictures()[i].make());
    }
    Image gameOver = playScreen(art);
    gameOver.stamp(art.get("gameover.bmp"), 185, 200);
    const Image screens[] = {titleScreen(art), playScreen(art), gameOver};

    // Lay the pictures out in rows first, to know the height.
    struct Place {
        int32_t x;
        int32_t y;
    };
    std::vector<Place> places;
    int32_t x = gap;
    int32_t y = gap + screenHeight + labelHeight + gap;
    int32_t rowHeight = 0;
    for (const Image& picture : art.images) {
        const int32_t w = picture.width * factor;
        const int32_t h = picture.height * factor + labelHeight;
        if (x + w + gap > sheetWidth && x > gap) {
            x = gap;
            y += rowHeight + gap;
            rowHeight = 0;
        }
        places.push_back({x, y});
        x += (w > 7 * 20 ? w : 7 * 20) + gap;
        rowHeight = h > rowHeight ? h : rowHeight;
    }
    Image sheet(sheetWidth, y + rowHeight + gap, sheetColour, true);
    static constexpr const char* screenNames[] = {"title screen", "play screen", "game over"};
    for (int32_t i = 0; i < 3; i++) {
        const int32_t sx = gap + i * (screenWidth + gap);
        sheet.stamp(screens[i], sx, gap);
        text(sheet, screenNames[i], sx, gap + screenHeight + 3);
    }
    for (size_t i = 0; i < art.images.size(); i++) {
        const Image& picture = art.images[i];
        stampEnlarged(sheet, picture, places[i].x, places[i].y, factor);
        text(sheet, pictures()[i].fileName, places[i].x, places[i].y + picture.height * factor + 3);
    }
    return sheet;
}

}  // namespace gfx
