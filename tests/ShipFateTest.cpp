#include <gtest/gtest.h>

#include "PlayFixture.h"

namespace {

using namespace playtest;

using ShipFate = PlayTest;

int32_t countOf(const ObjectList& list)
{
    int32_t count = 0;
    for (const GameObject* node = list.head; node != nullptr; node = node->next) {
        count++;
    }
    return count;
}

// Passes with a creeping ship, so that every one is drawn, until the state
// leaves play or the explosion is over.
void creepUntilRespawnOrEnd()
{
    game.acceleration = 1.5;
    game.player->vx = 1.0;
    for (int32_t step = 0; step < 1000 && game.dying == 1 && game.currentState() == GameState::play; step++) {
        if (game.player->vx == 0.0) {
            game.player->vx = 1.0;
        }
        pass(10);
    }
}

struct ClockCase {
    int32_t minutes, seconds;
    int32_t ticks;
    int32_t minutesAfter, secondsAfter;
    bool levelEnds;
};

const ClockCase clockCases[] = {
    {1, 2, 1, 1, 1, false},
    {1, 2, 2, 1, 0, false},
    {1, 2, 3, 0, 59, false},
    {0, 1, 1, 0, 0, true},      // the tick after 0:01 ends the level; 0:00 is never drawn
    {1, 59, 118, 0, 1, false},
    {1, 59, 119, 0, 0, true},
    {1, 40, 99, 0, 1, false},
    {1, 40, 100, 0, 0, true},
    {1, 20, 80, 0, 0, true},
};

TEST_F(ShipFate, TheLevelClockCountsDownToTheNextLevel)
{
    for (const ClockCase& clock : clockCases) {
        game.setState(GameState::play);
        game.clockMinutes = clock.minutes;
        game.clockSeconds = clock.seconds;
        platform::startTimer(mainWindow, 1, 1000);
        for (int32_t tick = 0; tick < clock.ticks; tick++) {
            game.onClockTick();
        }
        EXPECT_EQ(game.clockMinutes.load(), clock.minutesAfter) << clock.minutes << ":" << clock.seconds;
        EXPECT_EQ(game.clockSeconds.load(), clock.secondsAfter) << clock.minutes << ":" << clock.seconds;
        EXPECT_EQ(game.currentState(), clock.levelEnds ? GameState::levelIntro : GameState::play);
        EXPECT_EQ(headless::timerRunning(1), !clock.levelEnds);
    }
}

TEST_F(ShipFate, TicksChangeNothingWhilePausedExplodingOrOver)
{
    struct Idle {
        GameState state;
        double explosion;
        int32_t lives;
    };
    for (const Idle& idle : {Idle{GameState::paused, 0.0, 3}, Idle{GameState::play, 2.0, 3},
                             Idle{GameState::play, 0.0, 0}, Idle{GameState::title, 0.0, 3}}) {
        game.setState(idle.state);
        game.explosionTimer = idle.explosion;
        game.lives = idle.lives;
        game.clockMinutes = 0;
        game.clockSeconds = 1;
        game.onClockTick();
        EXPECT_EQ(game.clockSeconds.load(), 1);
        EXPECT_EQ(game.currentState(), idle.state);
    }
}

struct EnergyCase {
    double energy;
    bool destroyed;
};

TEST_F(ShipFate, EnergyAtOrBelowZeroDestroysTheShip)
{
    for (const EnergyCase& energy : {EnergyCase{0.0, true}, EnergyCase{-0.5, true}, EnergyCase{0.01, false}}) {
        arrangeLevel();
        platform::startTimer(mainWindow, 1, 1000);
        game.energy = energy.energy;
        game.player->vx = -2.0;   // a moving ship, so that the pass is drawn
        pass(2);
        EXPECT_EQ(game.dying, energy.destroyed ? 1 : 0) << energy.energy;
        EXPECT_EQ(game.lives.load(), energy.destroyed ? 2 : 3) << energy.energy;
        EXPECT_EQ(headless::timerRunning(1), !energy.destroyed) << energy.energy;
        if (energy.destroyed) {
            // Four seconds, less the first pass's time, which already counts down.
            EXPECT_NEAR(game.explosionTimer.load(), 4.0 - 0.002, 1e-6);
            EXPECT_GE(countOf(*game.debris), 30);
            EXPECT_GE(countOf(*game.bubbles), 30);
            EXPECT_EQ(countOf(*game.dust), 12);
        }
    }
}

TEST_F(ShipFate, AfterTheExplosionTheShipComesBackWithoutExtras)
{
    game.grid[5][26] = 1;       // the pile stays
    game.grid[2][0] = 2;        // a mark in the top row goes
    game.grid[12][3] = 2;
    GameObject* block = nullptr;
    ASSERT_EQ(game.fallingBlocks->add(game.blockKinds->findSprite(1)), 1);
    block = game.fallingBlocks->head;
    block->column = 12;
    block->row = 3;
    block->x = 384.0;
    block->y = 50.0;
    block->speed = 48.0;
    game.fallingBlocks->count = 1;
    game.maxShots = 4;
    game.speedExtras = 3;
    game.shotSpeedExtras = 2;
    game.shotInterval = 38;
    game.energy = 0.0;
    game.player->x = 100.0;
    game.player->facing = 0;
    pass(2);
    ASSERT_EQ(game.dying, 1);
    creepUntilRespawnOrEnd();

    EXPECT_EQ(game.dying, 0);
    EXPECT_EQ(game.currentState(), GameState::play);
    EXPECT_EQ(game.lives.load(), 2);
    EXPECT_EQ(game.explosionTimer.load(), 0.0);
    EXPECT_TRUE(headless::timerRunning(1));
    EXPECT_EQ(game.energy, 100.0);
    EXPECT_EQ(game.maxShots, 1);
    EXPECT_EQ(game.speedExtras, 0);
    EXPECT_EQ(game.shotSpeedExtras, 0);
    EXPECT_EQ(game.shotInterval, 50);
    EXPECT_EQ(game.acceleration, 1.0);
    EXPECT_EQ(game.player->x, 300.0);
    EXPECT_EQ(game.player->y, 210.0);
    EXPECT_EQ(game.player->facing, 1);
    EXPECT_EQ(game.player->head->blinking, 1);
    EXPECT_EQ(game.player->head->blinkTimer, 40.0);
    EXPECT_EQ(game.fallingBlocks->count, 0);
    EXPECT_EQ(game.fallingBlocks->head, nullptr);
    EXPECT_EQ(game.debris->head, nullptr);
    EXPECT_EQ(game.grid[5][26], 1);
    EXPECT_EQ(game.grid[2][0], 0);
    EXPECT_EQ(game.grid[12][3], 0);
}

TEST_F(ShipFate, TheLastLifeEndsTheGame)
{
    game.lives = 1;
    game.score = 777;
    game.energy = 0.0;
    game.player->vx = -2.0;
    pass(2);
    ASSERT_EQ(game.lives.load(), 0);
    game.keyPressed = 1;
    const int64_t before = headless::nowNs();
    creepUntilRespawnOrEnd();
    EXPECT_EQ(game.currentState(), GameState::enterScore);
    EXPECT_EQ(game.keyPressed.load(), 0);
    EXPECT_EQ(game.score, 777u);
    EXPECT_FALSE(headless::timerRunning(1));
    EXPECT_EQ(game.debris->head, nullptr);
    // Four seconds of explosion, then the fade and five seconds of the game-over picture.
    EXPECT_GT(headless::nowNs() - before, 9000 * 1000000ll);
}

struct PileCase {
    const char* what;
    int32_t freeColumn;   // -1: none
    int32_t freeRow;
    int32_t heldColumn;   // rows 1 and 2 held by falling blocks, not landed; -1: none
    double explosion;
    bool over;
};

TEST_F(ShipFate, APileUpToRowOneEverywhereEndsTheGame)
{
    const PileCase cases[] = {
        {"full", -1, 0, -1, 0.0, true},
        {"held marks count too", -1, 0, 4, 0.0, true},
        {"one free cell in row 1", 7, 1, -1, 0.0, false},
        {"one free cell in row 2", 19, 2, -1, 0.0, false},
        {"full while exploding", -1, 0, -1, 2.0, false},
    };
    for (const PileCase& pile : cases) {
        arrangeLevel();
        for (int32_t column = 0; column < gridColumns; column++) {
            for (int32_t row = 1; row <= 2; row++) {
                game.grid[column][row] = column == pile.heldColumn ? 2 : 1;
            }
        }
        if (pile.freeColumn >= 0) {
            game.grid[pile.freeColumn][pile.freeRow] = 0;
        }
        game.explosionTimer = pile.explosion;
        game.dying = pile.explosion > 0.0 ? 1 : 0;
        game.player->vx = -2.0;
        pass(2);
        EXPECT_EQ(game.currentState(), pile.over ? GameState::enterScore : GameState::play) << pile.what;
    }
}

TEST_F(ShipFate, ClearingKeepsThePileAndEmptiesWhatFalls)
{
    ASSERT_EQ(game.fallingBlocks->add(game.blockKinds->findSprite(1)), 1);
    GameObject& falling = *game.fallingBlocks->head;
    falling.column = 3;
    falling.row = 10;
    game.grid[3][10] = 2;
    ASSERT_EQ(game.fallingBlocks->add(game.blockKinds->findSprite(1)), 1);
    GameObject& landed = *game.fallingBlocks->head;   // landed in this pass, not yet removed
    landed.column = 6;
    landed.row = 26;
    landed.dead = 1;
    game.grid[6][26] = 1;
    game.fallingBlocks->count = 2;
    game.spawnBubbles(1, 100.0, 100.0, 3, 0);
    game.spawnDebris(4, 100.0, 100.0);
    game.spawnDust(100.0, 100.0, 1.0);
    game.ambientBubbles = 1;
    platform::startTimer(mainWindow, 1, 1000);
    game.clearPlayObjects();
    EXPECT_EQ(game.grid[3][10], 0);
    EXPECT_EQ(game.grid[6][26], 1);
    EXPECT_EQ(game.fallingBlocks->count, 0);
    EXPECT_EQ(game.fallingBlocks->head, nullptr);
    EXPECT_EQ(game.bubbles->head, nullptr);
    EXPECT_EQ(game.debris->head, nullptr);
    EXPECT_EQ(game.dust->head, nullptr);
    EXPECT_EQ(game.ambientBubbles, 0);
    EXPECT_FALSE(headless::timerRunning(1));
}

}  // namespace
