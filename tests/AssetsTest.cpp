// Asset loading through start-up: every catalogue filled from the generated
// pictures, and every missing picture ending the program with both messages.
// Each test runs in a directory of its own holding a copy of the gfx files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/App.h"
#include "game/Game.h"
#include "graphics/Blit.h"
#include "graphics/Bmp.h"
#include "platform/headless/Headless.h"

namespace {

struct SurfaceFree {
    void operator()(Surface* surface) const { destroySurface(surface); }
};
using Picture = std::unique_ptr<Surface, SurfaceFree>;

// Puts back what start-up sets, so the next test starts from a constructed record.
void resetGame()
{
    game.shutDown();
    game.initialised = 0;
    std::fill(std::begin(game.glyphTable), std::end(game.glyphTable), nullptr);
    std::fill(std::begin(game.stoneFrame), std::end(game.stoneFrame), nullptr);
    game.borderLeft = game.borderRight = game.borderTop = game.borderBottom = nullptr;
    game.titleTop = game.titleBottom = game.titlePanel = nullptr;
    game.ledSprite = 0;
    game.playfieldSprite = 0;
    game.highscores = {};
    game.bestScore = 0;
    game.lightlinePos = 0.0;
    game.barStepCount = 0.0;
    game.pageTime = 0.0;
    game.titlePage = 0;
    game.fadeLevel = 0.0;
    game.titleFrameDrawn = 0;
    game.windowActive = 0;
    game.setState(GameState::none);
    mainWindow = 0;
}

struct Assets : ::testing::Test {
    std::filesystem::path previousDir;
    std::filesystem::path dir;

    void SetUp() override
    {
        headless::reset();
        previousDir = std::filesystem::current_path();
        char pattern[] = "/tmp/karvex-assets-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        std::filesystem::copy(std::filesystem::path(KARVEX_GAME_DIR) / "gfx", dir / "gfx");
        std::filesystem::current_path(dir);
    }

    void TearDown() override
    {
        resetGame();
        std::filesystem::current_path(previousDir);
        std::filesystem::remove_all(dir);
        headless::reset();
    }

    // The pixels of a sprite, row by row.
    [[nodiscard]] static std::vector<uint32_t> pixels(int32_t spriteId)
    {
        const Sprite* sprite = game.canvas->sprite(static_cast<uint32_t>(spriteId));
        if (sprite == nullptr) {
            return {};
        }
        const Surface& image = *sprite->image;
        return std::vector<uint32_t>(image.pixels, image.pixels + size_t(image.width) * size_t(image.height));
    }

    // A part of a picture file, row by row.
    [[nodiscard]] static std::vector<uint32_t> filePixels(const char* path, int32_t left, int32_t top, int32_t width,
                                                          int32_t height)
    {
        const Picture picture(readBmpFile(path));
        std::vector<uint32_t> result;
        if (picture == nullptr) {
            return result;
        }
        for (int32_t y = top; y < top + height; y++) {
            for (int32_t x = left; x < left + width; x++) {
                result.push_back(pixelAt(*picture, x, y));
            }
        }
        return result;
    }
};

struct MissingCase {
    const char* file;
    uint32_t spritesMade;   // sprites in the store when loading stops
};

// In loading order: each file is loaded after every one above it, so the store holds exactly
// those; the debris frames and the panel and playfield come before the font.
constexpr MissingCase missingCases[] = {
    {"player_left.bmp", 0},      {"player_right.bmp", 1},    {"shot_left.bmp", 2},
    {"shot_right.bmp", 3},       {"block.bmp", 4},           {"block_shot.bmp", 5},
    {"block_speed.bmp", 6},      {"block_energy.bmp", 7},    {"block_shotspeed.bmp", 8},
    {"block_noextras.bmp", 9},   {"block_ground.bmp", 10},   {"bg.bmp", 11},
    {"hud.bmp", 12},             {"energy.bmp", 13},         {"lightline.bmp", 14},
    {"hud_down.bmp", 15},        {"ledlight.bmp", 16},       {"gameover.bmp", 17},
    {"bubble_white.bmp", 18},    {"bubble_blue.bmp", 19},    {"dust.bmp", 20},
    {"raster.bmp", 21},          {"raster_red.bmp", 22},     {"raster_yellow.bmp", 23},
    {"raster_green.bmp", 24},    {"border_left.bmp", 25},    {"border_right.bmp", 26},
    {"border_top.bmp", 27},      {"border_bottom.bmp", 28},  {"title_top.bmp", 29},
    {"title_bottom.bmp", 30},    {"anim_stones.bmp", 33},    {"font.bmp", 53},
};
static_assert(std::size(missingCases) == 33);

TEST_F(Assets, AnyMissingPictureShowsBothMessagesAndEndsTheProgram)
{
    const std::vector<std::string> expectedBoxes = {"Error: Graphics load-error!",
                                                    "Error: there is a problem. cant init the game."};
    for (const MissingCase& c : missingCases) {
        SCOPED_TRACE(c.file);
        const std::filesystem::path path = dir / "gfx" / c.file;
        const std::filesystem::path away = dir / c.file;
        std::filesystem::rename(path, away);
        EXPECT_EQ(runApp(), 0);
        EXPECT_EQ(headless::messageBoxes(), expectedBoxes);
        EXPECT_FALSE(headless::windowOpen());
        ASSERT_NE(game.canvas, nullptr);
        EXPECT_EQ(game.canvas->spriteCount, c.spritesMade);
        EXPECT_EQ(game.initialised, 0);
        resetGame();
        headless::reset();
        std::filesystem::rename(away, path);
    }
}

struct LoadedAssets : Assets {
    void SetUp() override
    {
        Assets::SetUp();
        mainWindow = platform::createWindow("Karvex", "test", 640, 480);
        ASSERT_EQ(game.startUp(), 1);
    }
};

TEST_F(LoadedAssets, StoreHoldsTheLoadedAndMadeSprites)
{
    // 31 pictures, the panel, the playfield, 20 debris frames, 60 glyphs; both sheets deleted.
    EXPECT_EQ(game.canvas->spriteCount, 113u);
    EXPECT_TRUE(headless::messageBoxes().empty());

    // The landed block is the newest node of blockKinds and has no mask: it is stamped opaque.
    const int32_t ground = game.blockKinds->findSprite(4);
    EXPECT_EQ(ground, game.blockKinds->head->spriteId);
    EXPECT_EQ(pixels(ground), filePixels("gfx/block_ground.bmp", 0, 0, 32, 16));
    EXPECT_EQ(game.canvas->sprite(static_cast<uint32_t>(ground))->mask, nullptr);
    EXPECT_NE(game.canvas->sprite(static_cast<uint32_t>(game.blockKinds->findSprite(1)))->mask, nullptr);
    EXPECT_EQ(game.blockKinds->findSprite(8), 0);

    EXPECT_EQ(game.hudSprites->findSprite(5), 0);
    EXPECT_NE(game.ledSprite, 0);
    EXPECT_EQ(game.ledSprite, game.hudSprites->findSprite(6));

    const int32_t panel = game.titlePanel->spriteId;
    EXPECT_EQ(game.titlePanel->kind, 14);
    EXPECT_EQ(pixels(panel), std::vector<uint32_t>(548 * 217, 0x3903C3));
    EXPECT_EQ(game.borderBottom->spriteId, game.effectSprites->findSprite(11));
    EXPECT_EQ(game.titleTop->spriteId, game.effectSprites->findSprite(12));
}

TEST_F(LoadedAssets, PlayfieldStartsAsACopyOfTheBackground)
{
    const int32_t background = game.backgroundList->head->spriteId;
    ASSERT_NE(game.playfieldSprite, 0);
    EXPECT_NE(game.playfieldSprite, background);
    EXPECT_EQ(pixels(game.playfieldSprite), pixels(background));
    EXPECT_EQ(pixels(background), filePixels("gfx/bg.bmp", 0, 0, 640, 480));
}

TEST_F(LoadedAssets, DebrisFramesAreCutInOrder)
{
    for (int32_t frame = 0; frame < stoneFrameCount; frame++) {
        SCOPED_TRACE(frame);
        ASSERT_NE(game.stoneFrame[frame], nullptr);
        EXPECT_EQ(game.stoneFrame[frame]->kind, frame);
        EXPECT_EQ(pixels(game.stoneFrame[frame]->spriteId), filePixels("gfx/anim_stones.bmp", 8 * frame, 0, 8, 8));
        EXPECT_NE(game.canvas->sprite(static_cast<uint32_t>(game.stoneFrame[frame]->spriteId))->mask, nullptr);
    }
}

TEST_F(LoadedAssets, GlyphTableHoldsExactlyTheFontsCharacters)
{
    constexpr char characters[] = "0123456789abcdefghijklmnopqrstuvwxyz!?., :/)-+";
    int32_t entries = 0;
    for (int32_t code = 0; code < 256; code++) {
        const char* at = code == 0 ? nullptr : std::strchr(characters, code);
        const GameObject* glyph = game.glyphTable[code];
        if (at == nullptr) {
            EXPECT_EQ(glyph, nullptr) << "code " << code;
            continue;
        }
        entries++;
        ASSERT_NE(glyph, nullptr) << "code " << code;
        const int32_t cell = static_cast<int32_t>(at - characters);
        EXPECT_EQ(pixels(glyph->spriteId), filePixels("gfx/font.bmp", cell % 20 * 7, cell / 20 * 11, 7, 11))
            << "code " << code;
    }
    EXPECT_EQ(entries, 46);
    int32_t cells = 0;
    for (const GameObject* node = game.fontGlyphs->head; node != nullptr; node = node->next) {
        cells++;
    }
    EXPECT_EQ(cells, 60);
}

TEST_F(LoadedAssets, ShipFacesRightAndTheTitleBarsArePhased)
{
    ASSERT_NE(game.player->head, nullptr);
    EXPECT_EQ(game.player->head->next, nullptr);
    EXPECT_EQ(game.player->head->spriteId, game.playerRightList->head->spriteId);

    // Walked from the head: bar 7 (green) first, bar 0 (plain) last.
    int32_t bar = 7;
    for (const GameObject* node = game.titleBars->head; node != nullptr; node = node->next, bar--) {
        ASSERT_GE(bar, 0);
        EXPECT_EQ(node->spriteId, game.effectSprites->findSprite(4 + bar / 2)) << "bar " << bar;
        EXPECT_EQ(node->originY, 6.0 * bar);
    }
    EXPECT_EQ(bar, -1);
}

}  // namespace
