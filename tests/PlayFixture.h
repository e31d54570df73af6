// A started game with the generated pictures, on the headless platform, put into
// a known play state. Each test gets a fresh start-up and leaves nothing behind.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "app/App.h"
#include "game/Game.h"
#include "platform/headless/Headless.h"

namespace playtest {

constexpr uint32_t fixedSeed = 20240611;

// Fields that outlive a start-up in the static record, back to what a
// freshly constructed record holds.
inline void clearPlayFields()
{
    game.movedX = 0;
    game.movedY = 0;
    game.dying = 0;
    for (auto& column : game.grid) {
        for (uint8_t& cell : column) {
            cell = 0;
        }
    }
    game.shotsInFlight = 0;
    game.lives = 0;
    game.energy = 0.0;
    game.level = 0;
    game.energyDrain = 0.0;
    game.clockMinutes = 0;
    game.clockSeconds = 0;
    game.shotInterval = 0;
    game.explosionTimer = 0.0;
    game.ambientBubbles = 0;
    game.speedExtras = 0;
    game.shotSpeedExtras = 0;
    game.score = 0;
    game.bestScore = 0;
    game.shotCooldown = 0.0;
    game.maxShots = 0;
    game.maxFallingBlocks = 0;
    game.acceleration = 0.0;
    game.keyPressed = 0;
    game.keyChar = 0;
    game.frameTime = 0.0f;
}

// A fresh working directory that sees the generated pictures but no score.dat.
inline std::string& workDir()
{
    static std::string path;
    return path;
}

inline void enterWorkDir()
{
    char pattern[] = "/tmp/karvex-play-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    workDir() = pattern;
    std::error_code error;
    std::filesystem::create_directory_symlink(std::string(KARVEX_GAME_DIR) + "/gfx", workDir() + "/gfx", error);
    ASSERT_FALSE(error) << error.message();
    ASSERT_EQ(chdir(workDir().c_str()), 0);
}

inline void leaveWorkDir()
{
    if (!workDir().empty()) {
        EXPECT_EQ(chdir("/"), 0);
        std::error_code error;
        std::filesystem::remove_all(workDir(), error);
        workDir().clear();
    }
}

inline void startGame()
{
    headless::reset();
    quitRequested = 0;
    enterWorkDir();
    mainWindow = platform::createWindow("Karvex", "Karvex", 640, 480);
    clearPlayFields();
    ASSERT_EQ(game.startUp(), 1);
    std::srand(fixedSeed);
}

inline void stopGame()
{
    game.shutDown();
    game.initialised = 0;
    clearPlayFields();
    game.setState(GameState::none);
    quitRequested = 0;
    platform::destroyWindow(mainWindow);
    mainWindow = 0;
    headless::reset();
    leaveWorkDir();
}

// Level 1 as the intro leaves it, without its waits: ship at rest at (300, 210)
// facing left, not blinking, full energy, new-game extras, empty field, the
// level clock stopped.
// No block starts unless a test raises maxFallingBlocks.
inline void arrangeLevel()
{
    game.clearPlayObjects();
    game.dying = 0;
    game.explosionTimer = 0.0;
    game.shotCooldown = 0.0;
    game.score = 0;
    game.speedExtras = 0;
    game.shotSpeedExtras = 0;
    for (auto& column : game.grid) {
        for (uint8_t& cell : column) {
            cell = 0;
        }
    }
    game.lives = 3;
    game.level = 1;
    game.energy = 100.0;
    game.energyDrain = 50.0;
    game.shotInterval = 50;
    game.maxShots = 1;
    game.acceleration = 0.5;
    game.maxFallingBlocks = 0;
    game.clockMinutes = 1;
    game.clockSeconds = 59;
    ObjectList& ship = *game.player;
    ship.facing = 1;
    ship.x = 300.0;
    ship.y = 210.0;
    ship.vx = 0.0;
    ship.vy = 0.0;
    ship.head->spriteId = game.playerLeftList->head->spriteId;
    ship.head->blinking = 0;
    ship.head->blinkTimer = 0.0;
    game.canvas->copySprite(game.playfieldSprite, game.backgroundList->head->spriteId);
    game.frameTimer->tick();
    game.setState(GameState::play);
}

// One play pass after ms milliseconds of virtual time (0: a pass of no time).
inline void pass(int64_t ms)
{
    headless::advanceMs(ms);
    game.playFrame();
}

inline void holdOnly(std::initializer_list<int32_t> keys)
{
    headless::releaseAllKeys();
    for (int32_t key : keys) {
        headless::setKeyHeld(key, true);
    }
}

inline const Sprite& spriteOf(int32_t id)
{
    return *game.canvas->sprite(static_cast<uint32_t>(id));
}

// Every solid pixel of the sprite is on screen with its top-left at (x, y).
inline bool shownAt(int32_t id, int32_t x, int32_t y)
{
    const Sprite& sprite = spriteOf(id);
    int32_t solid = 0;
    for (int32_t row = 0; row < static_cast<int32_t>(sprite.height); row++) {
        for (int32_t column = 0; column < static_cast<int32_t>(sprite.width); column++) {
            uint32_t pixel = sprite.image->pixels[row * sprite.image->width + column];
            if (sprite.mask != nullptr && maskBit(*sprite.mask, column, row) != 0) {
                continue;
            }
            if (headless::windowPixel(x + column, y + row) != pixel) {
                return false;
            }
            solid++;
        }
    }
    return solid > 0;
}

// The glyphs of a text stand on screen from (x, y) on, 7 pixels apart.
inline bool textShownAt(const char* text, int32_t x, int32_t y)
{
    for (int32_t i = 0; text[i] != 0; i++) {
        if (text[i] == ' ') {
            continue;   // no solid pixel to look for
        }
        const GameObject* glyph = game.glyphTable[static_cast<uint8_t>(text[i])];
        if (glyph == nullptr || !shownAt(glyph->spriteId, x + 7 * i, y)) {
            return false;
        }
    }
    return true;
}

struct PlayTest : ::testing::Test {
    void SetUp() override
    {
        startGame();
        arrangeLevel();
    }
    void TearDown() override { stopGame(); }
};

}  // namespace playtest
