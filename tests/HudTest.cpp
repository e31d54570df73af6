#include <gtest/gtest.h>

#include <vector>

#include "PlayFixture.h"

namespace {

using namespace playtest;

using Hud = PlayTest;

void drawAndShow()
{
    game.drawHud();
    game.canvas->present();
}

TEST_F(Hud, ScoresAndClockAsText)
{
    game.score = 123;
    game.bestScore = 4567;
    game.clockMinutes = 1;
    game.clockSeconds = 5;
    drawAndShow();
    EXPECT_TRUE(textShownAt("000123", 60, 3));
    EXPECT_TRUE(textShownAt("004567", 190, 3));
    EXPECT_TRUE(textShownAt("1:05", 360, 3));
    EXPECT_FALSE(textShownAt("123", 60, 3));
}

TEST_F(Hud, TheEnergyBarFollowsTheEnergyAndNeverShowsBelowZero)
{
    auto barRow = [] {
        std::vector<uint32_t> row;
        for (int32_t x = 536; x < 640; x++) {
            row.push_back(headless::windowPixel(x, 6));
        }
        return row;
    };
    game.energy = 100.0;
    drawAndShow();
    const std::vector<uint32_t> full = barRow();
    game.energy = -3.5;
    drawAndShow();
    EXPECT_EQ(game.energy, 0.0);
    const std::vector<uint32_t> empty = barRow();
    game.energy = 50.7;
    drawAndShow();
    const std::vector<uint32_t> half = barRow();
    // The image is stretched to the width, so only where the bar ends is exact.
    int32_t fullDiffers = 0;
    int32_t halfDiffers = 0;
    for (size_t i = 0; i < full.size(); i++) {
        fullDiffers += full[i] != empty[i] ? 1 : 0;
        if (i < 50) {
            halfDiffers += half[i] != empty[i] ? 1 : 0;
        } else {
            EXPECT_EQ(half[i], empty[i]) << "x " << 536 + i;
        }
    }
    EXPECT_GE(fullDiffers, 90);
    EXPECT_GE(halfDiffers, 45);
}

struct RowCase {
    int32_t count;
    int32_t lastX;
};

TEST_F(Hud, LifeShipsAndExtraLights)
{
    const int32_t lifeShip = game.playerLeftList->head->spriteId;
    const RowCase lifeCases[] = {{7, 376}, {3, 312}, {1, 280}, {0, -1000}};
    for (const RowCase& lives : lifeCases) {
        game.lives = lives.count;
        game.canvas->setSpritePosition(lifeShip, -1000, -1000);
        drawAndShow();
        EXPECT_EQ(spriteOf(lifeShip).x, lives.lastX) << lives.count;
        if (lives.count > 0) {
            EXPECT_EQ(spriteOf(lifeShip).y, 440);
            EXPECT_TRUE(shownAt(lifeShip, lives.lastX, 440));
        }
    }

    game.speedExtras = 6;
    game.shotSpeedExtras = 0;
    drawAndShow();
    EXPECT_EQ(spriteOf(game.ledSprite).x, 561);
    EXPECT_EQ(spriteOf(game.ledSprite).y, 438);
    EXPECT_TRUE(shownAt(game.ledSprite, 496, 438));
    EXPECT_TRUE(shownAt(game.ledSprite, 561, 438));
    EXPECT_FALSE(shownAt(game.ledSprite, 574, 438));
    EXPECT_FALSE(shownAt(game.ledSprite, 496, 458));

    game.speedExtras = 0;
    game.shotSpeedExtras = 2;
    drawAndShow();
    EXPECT_EQ(spriteOf(game.ledSprite).x, 509);
    EXPECT_EQ(spriteOf(game.ledSprite).y, 458);
    EXPECT_FALSE(shownAt(game.ledSprite, 496, 438));
}

TEST_F(Hud, TheLightLineMovesOnEveryDrawAndWraps)
{
    game.lightlinePos = 640.0;
    game.frameTime = 0.5f;
    game.drawHud();
    EXPECT_EQ(game.lightlinePos, 610.0);
    game.drawHud();
    EXPECT_EQ(game.lightlinePos, 580.0);
    game.lightlinePos = -40.0;
    game.drawHud();   // -70 is drawn, then it starts again at the right
    EXPECT_EQ(game.lightlinePos, 640.0);
}

TEST_F(Hud, NoPauseOnceTheClockHasEndedTheLevel)
{
    // The clock's tick on the main thread ended the level during this pass; a
    // pause opened now would put play back and lose the level's end.
    game.setState(GameState::levelIntro);
    const int64_t before = headless::nowNs();
    game.pauseMode();
    EXPECT_EQ(game.currentState(), GameState::levelIntro);
    EXPECT_EQ(headless::nowNs(), before);
}

TEST_F(Hud, HoldingF8KeepsTogglingThePause)
{
    headless::setKeyHeld(platform::vk::f8, true);
    const int64_t before = headless::nowNs();
    pass(2);
    // Opened, 200 ms, closed at once by the held key, 100 ms: the pass goes on.
    EXPECT_EQ(game.currentState(), GameState::play);
    EXPECT_EQ(headless::nowNs() - before, 302 * 1000000ll);
}

}  // namespace
