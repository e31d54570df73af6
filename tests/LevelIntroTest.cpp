#include <gtest/gtest.h>

#include "PlayFixture.h"
#include "play/PlaySteps.h"

namespace {

using namespace playtest;

using LevelIntro = PlayTest;

struct IntroCase {
    int32_t levelBefore;
    int32_t level;
    int32_t lives;            // from 3
    double energyDrain;       // from 50
    int32_t clockMinutes;
    int32_t clockSeconds;
    int32_t maxFallingBlocks;
};

const IntroCase introCases[] = {
    {0, 1, 3, 50.0, 1, 59, 5},
    {5, 6, 3, 50.0, 1, 59, 8},
    {9, 10, 4, 50.0, 1, 40, 10},
    {19, 20, 4, 60.0, 1, 59, 15},
    {24, 25, 3, 60.0, 1, 20, 17},
    {39, 40, 4, 55.0, 1, 59, 25},
    {99, 1, 3, 50.0, 1, 59, 5},   // after 99 the game starts over at level 1
};

TEST_F(LevelIntro, LevelValuesBonusesAndTheClock)
{
    for (const IntroCase& intro : introCases) {
        arrangeLevel();
        game.level = intro.levelBefore;
        game.score = 4321;
        game.player->x = 10.0;
        game.player->vx = 200.0;
        game.player->facing = 0;
        game.grid[4][26] = 1;
        game.energy = 12.0;
        game.shotsInFlight = 0;
        game.setState(GameState::levelIntro);
        const int64_t startNs = headless::nowNs();
        game.levelIntro();

        EXPECT_EQ(game.level, intro.level) << intro.levelBefore;
        EXPECT_EQ(game.lives.load(), intro.lives) << intro.levelBefore;
        EXPECT_EQ(game.energyDrain, intro.energyDrain) << intro.levelBefore;
        EXPECT_EQ(game.clockMinutes.load(), intro.clockMinutes) << intro.levelBefore;
        EXPECT_EQ(game.clockSeconds.load(), intro.clockSeconds) << intro.levelBefore;
        EXPECT_EQ(game.maxFallingBlocks, intro.maxFallingBlocks) << intro.levelBefore;
        EXPECT_EQ(game.score, 4321u);
        EXPECT_EQ(game.energy, 100.0);
        EXPECT_EQ(game.grid[4][26], 0);
        EXPECT_EQ(game.player->x, 300.0);
        EXPECT_EQ(game.player->y, 210.0);
        EXPECT_EQ(game.player->vx, 0.0);
        EXPECT_EQ(game.player->facing, 1);
        EXPECT_EQ(game.player->head->spriteId, game.playerLeftList->head->spriteId);
        EXPECT_EQ(game.player->head->blinking, 1);
        EXPECT_EQ(game.player->head->blinkTimer, 40.0);
        EXPECT_EQ(game.movedX, 1);
        EXPECT_EQ(game.currentState(), GameState::play);
        EXPECT_TRUE(headless::timerRunning(1));
        // Three seconds of texts, then 127 fade steps of a millisecond.
        EXPECT_GE(headless::nowNs() - startNs, 3127 * 1000000ll);
        EXPECT_LT(headless::nowNs() - startNs, 3300 * 1000000ll);
    }
}

struct TextCase {
    int32_t level;
    const char* title;
    bool faster;
    bool newLife;
};

TEST_F(LevelIntro, TextsByLevel)
{
    const TextCase cases[] = {
        {1, "its time for level 1 now!", false, false},
        {6, "its time for level 6 now!", true, false},
        {10, "its time for level 10 now!", true, true},
        {40, "its time for level 40 now!", false, false},
    };
    for (const TextCase& text : cases) {
        game.level = text.level;
        game.canvas->drawSprite(game.playfieldSprite, 0, 0, 0);
        drawIntroTexts(game);
        game.canvas->present();
        EXPECT_TRUE(textShownAt(text.title, 240, 220)) << text.level;
        EXPECT_EQ(textShownAt("lets play a little faster, ok?", 225, 240), text.faster) << text.level;
        EXPECT_EQ(textShownAt("you get a new life !", 255, 260), text.newLife) << text.level;
    }
}

TEST_F(LevelIntro, ANewGameForgetsThePreviousOne)
{
    game.lives = 1;
    game.score = 999;
    game.bestScore = 5000;
    game.level = 33;
    game.energyDrain = 85.0;
    game.shotInterval = 14;
    game.maxShots = 7;
    game.acceleration = 3.5;
    game.maxFallingBlocks = 21;
    game.dying = 1;
    game.explosionTimer = 2.5;
    game.ambientBubbles = 2;
    game.speedExtras = 6;
    game.shotSpeedExtras = 6;
    for (ScoreEntry& row : game.highscores.rows) {
        row.slideX = 165.0;
    }
    const int64_t presents = headless::presentCount();
    game.startNewGame();

    EXPECT_EQ(game.lives.load(), 3);
    EXPECT_EQ(game.score, 0u);
    EXPECT_EQ(game.bestScore, 5000u);   // the best since start-up stays
    EXPECT_EQ(game.level, 0);
    EXPECT_EQ(game.energyDrain, 50.0);
    EXPECT_EQ(game.shotInterval, 50);
    EXPECT_EQ(game.maxShots, 1);
    EXPECT_EQ(game.acceleration, 0.5);
    EXPECT_EQ(game.maxFallingBlocks, 5);
    EXPECT_EQ(game.dying, 0);
    EXPECT_EQ(game.explosionTimer.load(), 0.0);
    EXPECT_EQ(game.ambientBubbles, 0);
    EXPECT_EQ(game.speedExtras, 0);
    EXPECT_EQ(game.shotSpeedExtras, 0);
    for (const ScoreEntry& row : game.highscores.rows) {
        EXPECT_EQ(row.slideX, row.homeX);
    }
    EXPECT_EQ(game.currentState(), GameState::levelIntro);
    // 480 offsets out and 480 in, a millisecond apart.
    EXPECT_EQ(headless::presentCount() - presents, 960);
    EXPECT_NEAR(static_cast<double>(headless::nowNs()), 960e6, 20e6);
    // The new picture stands one row low: window row 1 shows the back buffer's row 0.
    const Sprite& playfield = spriteOf(game.playfieldSprite);
    EXPECT_EQ(headless::windowPixel(5, 200), playfield.image->pixels[199 * playfield.image->width + 5]);
}

}  // namespace
