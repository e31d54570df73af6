// The generated pictures in the game directory, read back with the game's own BMP
// reader: the sizes the game's layout depends on, the font sheet's cells, the
// debris frames, and magenta exactly where the game expects transparency.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "graphics/Blit.h"
#include "graphics/Bmp.h"
#include "graphics/Surface.h"

namespace {

constexpr uint32_t magenta = 0xFF00FF;

struct SurfaceFree {
    void operator()(Surface* surface) const { destroySurface(surface); }
};
using Picture = std::unique_ptr<Surface, SurfaceFree>;

Picture readPicture(const std::string& name)
{
    const std::string path = std::string(KARVEX_GAME_DIR) + "/gfx/" + name;
    return Picture(readBmpFile(path.c_str()));
}

int64_t magentaPixels(const Surface& picture, int32_t left, int32_t top, int32_t width, int32_t height)
{
    int64_t count = 0;
    for (int32_t y = top; y < top + height; y++) {
        for (int32_t x = left; x < left + width; x++) {
            count += pixelAt(picture, x, y) == magenta ? 1 : 0;
        }
    }
    return count;
}

struct PictureCase {
    const char* name;
    bool keyed;        // drawn colour-keyed by the game
    int32_t width;     // 0: the game takes any size
    int32_t height;
};

// Blocks fill one 32 x 16 grid cell; the background is the whole window; the HUD strips span
// it; the two sheets are cut at fixed cells.
constexpr PictureCase pictureCases[] = {
    {"player_left.bmp", true, 0, 0},        {"player_right.bmp", true, 0, 0},
    {"shot_left.bmp", true, 0, 0},          {"shot_right.bmp", true, 0, 0},
    {"block.bmp", true, 32, 16},            {"block_shot.bmp", true, 32, 16},
    {"block_speed.bmp", true, 32, 16},      {"block_energy.bmp", true, 32, 16},
    {"block_shotspeed.bmp", true, 32, 16},  {"block_noextras.bmp", true, 32, 16},
    {"block_ground.bmp", false, 32, 16},    {"bg.bmp", false, 640, 480},
    {"hud.bmp", false, 640, 0},             {"energy.bmp", false, 0, 0},
    {"lightline.bmp", false, 0, 0},         {"hud_down.bmp", false, 640, 48},
    {"ledlight.bmp", false, 0, 0},          {"gameover.bmp", true, 0, 0},
    {"bubble_white.bmp", true, 0, 0},       {"bubble_blue.bmp", true, 0, 0},
    {"dust.bmp", false, 0, 0},              {"raster.bmp", false, 0, 0},
    {"raster_red.bmp", false, 0, 0},        {"raster_yellow.bmp", false, 0, 0},
    {"raster_green.bmp", false, 0, 0},      {"border_left.bmp", true, 0, 0},
    {"border_right.bmp", true, 0, 0},       {"border_top.bmp", false, 0, 0},
    {"border_bottom.bmp", false, 0, 0},     {"title_top.bmp", false, 640, 0},
    {"title_bottom.bmp", false, 640, 0},    {"anim_stones.bmp", true, 160, 8},
    {"font.bmp", true, 140, 33},
};
static_assert(std::size(pictureCases) == 33);

TEST(GfxFiles, SizesAndTransparencyAreWhatTheGameExpects)
{
    for (const PictureCase& c : pictureCases) {
        SCOPED_TRACE(c.name);
        const Picture picture = readPicture(c.name);
        ASSERT_NE(picture, nullptr);
        if (c.width != 0) {
            EXPECT_EQ(picture->width, c.width);
        }
        if (c.height != 0) {
            EXPECT_EQ(picture->height, c.height);
        }
        const int64_t keyed = magentaPixels(*picture, 0, 0, picture->width, picture->height);
        if (c.keyed) {
            EXPECT_GT(keyed, 0);
            EXPECT_LT(keyed, int64_t{picture->width} * picture->height);
        } else {
            // An opaque picture is drawn as it is: magenta would show as magenta.
            EXPECT_EQ(keyed, 0);
        }
        // A colour a hair away from the key would be drawn as a pink fringe instead of a hole.
        int64_t nearKey = 0;
        for (int32_t y = 0; y < picture->height; y++) {
            for (int32_t x = 0; x < picture->width; x++) {
                const uint32_t p = pixelAt(*picture, x, y);
                const uint32_t r = p >> 16;
                const uint32_t g = (p >> 8) & 0xFF;
                const uint32_t b = p & 0xFF;
                nearKey += (p != magenta && r >= 224 && b >= 224 && g <= 32) ? 1 : 0;
            }
        }
        EXPECT_EQ(nearKey, 0);
    }
}

// The title frame is drawn once and only the panel, the bars and the frame's pieces are drawn
// again: any pixel that neither the frame nor the panel covers would keep whatever the screen
// showed before (the last game's play field).
TEST(GfxFiles, TitleFrameAndPanelCoverTheWholeWindow)
{
    std::vector<uint8_t> covered(640 * 480, 0);
    auto cover = [&covered](const Surface& picture, int32_t left, int32_t top, bool keyed) {
        for (int32_t y = 0; y < picture.height; y++) {
            for (int32_t x = 0; x < picture.width; x++) {
                const int32_t sx = left + x;
                const int32_t sy = top + y;
                if (sx >= 0 && sy >= 0 && sx < 640 && sy < 480 && !(keyed && pixelAt(picture, x, y) == magenta)) {
                    covered[static_cast<size_t>(sy) * 640 + static_cast<size_t>(sx)] = 1;
                }
            }
        }
    };
    struct Placed {
        const char* name;
        int32_t x;
        int32_t y;
        bool keyed;
    };
    constexpr Placed frame[] = {
        {"title_top.bmp", 0, 0, false},      {"title_bottom.bmp", 0, 406, false},
        {"border_left.bmp", 0, 131, true},   {"border_right.bmp", 556, 131, true},
        {"border_top.bmp", 80, 131, false},  {"border_bottom.bmp", 80, 370, false},
    };
    for (const Placed& piece : frame) {
        const Picture picture = readPicture(piece.name);
        ASSERT_NE(picture, nullptr) << piece.name;
        cover(*picture, piece.x, piece.y, piece.keyed);
    }
    Surface panel{nullptr, 548, 217};
    std::vector<uint32_t> panelPixels(548 * 217, 0x3903C3);
    panel.pixels = panelPixels.data();
    cover(panel, 44, 160, false);
    int64_t uncovered = 0;
    for (uint8_t c : covered) {
        uncovered += c == 0 ? 1 : 0;
    }
    EXPECT_EQ(uncovered, 0);
}

// The bars are drawn opaque at x 48 with y from 164 to 356; the panel ends at x 591 and y 376.
TEST(GfxFiles, RasterBarsStayInsideThePanel)
{
    for (const char* name : {"raster.bmp", "raster_red.bmp", "raster_yellow.bmp", "raster_green.bmp"}) {
        SCOPED_TRACE(name);
        const Picture bar = readPicture(name);
        ASSERT_NE(bar, nullptr);
        EXPECT_LE(48 + bar->width, 44 + 548);
        EXPECT_LE(356 + bar->height, 160 + 217);
    }
}

// 20 x 3 cells of 7 x 11: 46 characters, each with ink of its own, then 14 empty cells.
TEST(GfxFiles, FontSheetHasOneGlyphPerCharacterCell)
{
    const Picture font = readPicture("font.bmp");
    ASSERT_NE(font, nullptr);
    constexpr int32_t spaceCell = 40;
    std::vector<std::vector<uint32_t>> glyphs;
    for (int32_t cell = 0; cell < 60; cell++) {
        SCOPED_TRACE(cell);
        const int32_t left = cell % 20 * 7;
        const int32_t top = cell / 20 * 11;
        const int64_t empty = magentaPixels(*font, left, top, 7, 11);
        if (cell >= 46 || cell == spaceCell) {
            EXPECT_EQ(empty, 7 * 11);
            continue;
        }
        EXPECT_LT(empty, 7 * 11);
        std::vector<uint32_t> glyph;
        for (int32_t y = top; y < top + 11; y++) {
            for (int32_t x = left; x < left + 7; x++) {
                glyph.push_back(pixelAt(*font, x, y));
            }
        }
        for (size_t other = 0; other < glyphs.size(); other++) {
            EXPECT_NE(glyph, glyphs[other]) << "same as glyph " << other;
        }
        glyphs.push_back(glyph);
    }
}

// The debris animation steps through twenty 8 x 8 frames side by side.
TEST(GfxFiles, StoneSheetHoldsTwentyDifferentFrames)
{
    const Picture stones = readPicture("anim_stones.bmp");
    ASSERT_NE(stones, nullptr);
    std::vector<uint32_t> previous;
    for (int32_t frame = 0; frame < 20; frame++) {
        SCOPED_TRACE(frame);
        const int64_t empty = magentaPixels(*stones, frame * 8, 0, 8, 8);
        EXPECT_GT(empty, 0);
        EXPECT_LT(empty, 64);
        std::vector<uint32_t> pixels;
        for (int32_t y = 0; y < 8; y++) {
            for (int32_t x = frame * 8; x < frame * 8 + 8; x++) {
                pixels.push_back(pixelAt(*stones, x, y));
            }
        }
        EXPECT_NE(pixels, previous);
        previous = pixels;
    }
}

}  // namespace
