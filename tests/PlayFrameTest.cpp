#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "PlayFixture.h"

namespace {

using namespace playtest;
using platform::vk::down;
using platform::vk::left;
using platform::vk::right;
using platform::vk::shift;
using platform::vk::up;

struct SteerCase {
    const char* what;
    std::initializer_list<int32_t> keys;
    int32_t windowActive;
    double vx;                // after one pass from rest with acceleration 0.5
    double vy;
    int32_t facing;           // starts facing left
};

const SteerCase steerCases[] = {
    {"right beats left", {right, left}, 1, 0.5, 0.0, 0},
    {"left alone", {left}, 1, -0.5, 0.0, 1},
    {"up beats down", {up, down}, 1, 0.0, -0.5, 1},
    {"down alone", {down}, 1, 0.0, 0.5, 1},
    {"all four", {right, left, up, down}, 1, 0.5, -0.5, 0},
    {"window inactive", {right, down}, 0, 0.0, 0.0, 1},
};

using PlayFrame = PlayTest;

TEST_F(PlayFrame, KeysSteerTheShip)
{
    for (const SteerCase& steer : steerCases) {
        arrangeLevel();
        game.windowActive = steer.windowActive;
        holdOnly(steer.keys);
        pass(2);
        EXPECT_EQ(game.player->vx, steer.vx) << steer.what;
        EXPECT_EQ(game.player->vy, steer.vy) << steer.what;
        EXPECT_EQ(game.player->facing, steer.facing) << steer.what;
        const int32_t expectedImage =
            steer.facing == 0 ? game.playerRightList->head->spriteId : game.playerLeftList->head->spriteId;
        EXPECT_EQ(game.player->head->spriteId, expectedImage) << steer.what;
    }
    game.windowActive = 1;
}

TEST_F(PlayFrame, RightAtTheEdgeGlidesPastAndBouncesBack)
{
    // Moving right at full speed just short of the edge: the last key step carries
    // the ship past 590; from there Right does nothing, the glide and bounce act.
    game.player->x = 589.5;
    game.player->vx = 400.0;
    holdOnly({right});
    pass(2);
    EXPECT_EQ(game.player->vx, -400.0);          // no key step at 400, then turned round
    EXPECT_NEAR(game.player->x, 589.5, 1e-3);    // 0.8 px out, 0.8 px back
    EXPECT_EQ(game.player->facing, 0);

    game.player->x = 592.0;
    game.player->vx = 50.0;
    game.player->facing = 1;
    pass(2);
    EXPECT_EQ(game.player->vx, -49.5);           // glide step, no key step, then the bounce
    EXPECT_NEAR(game.player->x, 592.0, 1e-3);
    EXPECT_EQ(game.player->facing, 1);           // the key did not act
}

TEST_F(PlayFrame, AGlideThatIsNoWholeNumberOfStepsNeverStops)
{
    game.acceleration = 1.5;
    game.player->vx = 1.0;
    const std::vector<double> expected = {-0.5, 1.0, -0.5, 1.0, -0.5, 1.0};
    for (double vx : expected) {
        const int64_t presents = headless::presentCount();
        pass(2);
        EXPECT_EQ(game.player->vx, vx);
        EXPECT_EQ(headless::presentCount(), presents + 1);   // every pass counts as moved
    }
    game.player->vx = 3.0;
    pass(2);
    pass(2);
    EXPECT_EQ(game.player->vx, 0.0);
    const int64_t presents = headless::presentCount();
    pass(2);
    EXPECT_EQ(headless::presentCount(), presents);
}

TEST_F(PlayFrame, OneShotAtATimeAndTheCooldown)
{
    // A creeping glide keeps every pass drawn: a resting ship would freeze the cooldown.
    game.acceleration = 1.5;
    game.player->vx = 1.0;
    game.player->facing = 0;
    holdOnly({shift});
    std::vector<int64_t> fireTimesMs;
    int32_t inFlightBefore = 0;
    for (int32_t step = 0; step < 800; step++) {
        pass(2);
        EXPECT_LE(game.shotsInFlight, 1);
        if (game.shotsInFlight == 1 && inFlightBefore == 0) {
            fireTimesMs.push_back(headless::nowNs() / 1000000);
        }
        inFlightBefore = game.shotsInFlight;
    }
    // The shot leaves the window after 620 ms; the cooldown of 50 at 75 a second
    // runs out after 667 ms, so that decides.
    ASSERT_GE(fireTimesMs.size(), 2u);
    EXPECT_EQ(fireTimesMs[0], 2);
    EXPECT_NEAR(static_cast<double>(fireTimesMs[1] - fireTimesMs[0]), 667.0, 3.0);
}

struct ShotStartCase {
    int32_t facing;
    double x;
    double y;
    int32_t direction;
};

TEST_F(PlayFrame, ShotsStartAtTheGunForEitherFacing)
{
    const ShotStartCase cases[] = {{1, 300.0, 230.0, 1}, {0, 330.0, 230.0, 0}};
    for (const ShotStartCase& start : cases) {
        arrangeLevel();
        game.shots->clear();
        game.shotsInFlight = 0;
        game.player->facing = start.facing;
        holdOnly({shift});
        pass(0);   // no time passes, so the new shot has not moved yet
        ASSERT_EQ(game.shotsInFlight, 1);
        EXPECT_EQ(game.shots->head->x, start.x);
        EXPECT_EQ(game.shots->head->y, start.y);
        EXPECT_EQ(game.shots->head->direction, start.direction);
        EXPECT_EQ(game.shotCooldown, 50.0);
    }
}

TEST_F(PlayFrame, ADestroyedShipIsNotDrawnAndCannotFireButStillSteers)
{
    game.energy = 0.0;
    game.dying = 1;
    game.explosionTimer = 4.0;
    const int32_t rightImage = game.playerRightList->head->spriteId;
    game.canvas->setSpritePosition(rightImage, -1000, -1000);
    holdOnly({right, shift});
    pass(2);
    EXPECT_EQ(game.shotsInFlight, 0);
    EXPECT_GT(game.player->x, 300.0);
    EXPECT_EQ(game.player->head->spriteId, rightImage);
    EXPECT_EQ(spriteOf(rightImage).x, -1000);   // never drawn
}

TEST_F(PlayFrame, ARestingPassDrawsAndCountsDownNothing)
{
    pass(2);   // a drawn pass first, so the frame on screen is complete
    game.player->head->blinking = 1;
    game.player->head->blinkTimer = 20.0;
    game.shotCooldown = 30.0;
    game.explosionTimer = 2.0;
    const double lightLine = game.lightlinePos;
    const uint64_t picture = headless::windowHash();
    const int64_t presents = headless::presentCount();
    for (int32_t step = 0; step < 50; step++) {
        pass(2);
    }
    EXPECT_EQ(headless::presentCount(), presents);
    EXPECT_EQ(headless::windowHash(), picture);
    EXPECT_EQ(game.player->head->blinkTimer, 20.0);
    EXPECT_EQ(game.shotCooldown, 30.0);
    EXPECT_EQ(game.explosionTimer.load(), 2.0);
    EXPECT_EQ(game.lightlinePos, lightLine);
}

struct BlinkCase {
    double timer;        // blink units before the pass
    int64_t passMs;      // 5 units a second
    bool shown;
    bool stillBlinking;
};

TEST_F(PlayFrame, ABlinkingShipShowsWhileItsWholeUnitsAreEven)
{
    const BlinkCase cases[] = {
        {3.1, 200, true, true},     // 2.1: even, shown
        {2.5, 200, false, true},    // 1.5: odd, hidden
        {1.1, 100, true, true},     // 0.6: even, shown
        {0.3, 100, true, false},    // -0.2: shown once more, then no longer blinking
    };
    // The right-facing image: the HUD's life ships use the left one.
    const int32_t image = game.playerRightList->head->spriteId;
    for (const BlinkCase& blink : cases) {
        arrangeLevel();
        game.player->facing = 0;
        game.player->head->spriteId = image;
        game.player->vx = 1.0;   // keeps the pass drawn without moving far
        game.player->head->blinking = 1;
        game.player->head->blinkTimer = blink.timer;
        game.canvas->setSpritePosition(image, -1000, -1000);
        pass(blink.passMs);
        EXPECT_EQ(spriteOf(image).x != -1000, blink.shown) << blink.timer;
        EXPECT_EQ(game.player->head->blinking != 0, blink.stillBlinking) << blink.timer;
    }
}

}  // namespace
