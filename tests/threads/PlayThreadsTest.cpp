#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "../PlayFixture.h"

namespace {

using namespace playtest;

using PlayThreads = PlayTest;

// The main thread's part: hands every queued message to the window procedure
// until the virtual clock has passed the given time or the condition holds.
template <typename Done>
void pumpMessagesUntil(int64_t untilNs, Done done)
{
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (headless::nowNs() < untilNs && !done() && std::chrono::steady_clock::now() < giveUp) {
        platform::Message message{};
        if (headless::takeMessage(message)) {
            windowProc(message);
        } else {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    }
}

TEST_F(PlayThreads, PauseFreezesTheClockUntilF8ComesAgain)
{
    platform::startTimer(mainWindow, 1, 1000);
    game.clockMinutes = 1;
    game.clockSeconds = 30;
    const double lightLine = game.lightlinePos;
    headless::tapKey(platform::vk::f8);
    std::thread gameSide([] { game.playFrame(); });
    pumpMessagesUntil(INT64_MAX, [] { return game.currentState() == GameState::paused; });
    ASSERT_EQ(game.currentState(), GameState::paused);
    const int64_t presents = headless::presentCount();
    // Two seconds of timer messages while the pause runs.
    pumpMessagesUntil(headless::nowNs() + 2000000000ll, [] { return false; });
    EXPECT_EQ(game.clockMinutes.load(), 1);
    EXPECT_EQ(game.clockSeconds.load(), 30);
    EXPECT_EQ(game.currentState(), GameState::paused);
    headless::tapKey(platform::vk::f8);
    gameSide.join();
    EXPECT_EQ(game.currentState(), GameState::play);
    // The pause redrew the HUD, paced: about one turn per 2 ms, not flat out.
    const int64_t turns = headless::presentCount() - presents;
    EXPECT_GT(turns, 700);
    EXPECT_LT(turns, 1100);
    EXPECT_NE(game.lightlinePos, lightLine);
    // The clock goes on after the pause. A tick that fell due in the pause's last
    // 100 ms waits in the queue until now, when the game plays again, so one more
    // second may go: how many depends on how the two threads were scheduled.
    headless::advanceMs(1000);
    pumpMessagesUntil(INT64_MAX, [] { return headless::pendingMessages() == 0; });
    EXPECT_LE(game.clockSeconds.load(), 29);
    EXPECT_GE(game.clockSeconds.load(), 28);
}

TEST_F(PlayThreads, QuitEndsThePause)
{
    headless::tapKey(platform::vk::f8);
    std::thread gameSide([] { game.playFrame(); });
    pumpMessagesUntil(INT64_MAX, [] { return game.currentState() == GameState::paused; });
    quitRequested = 1;
    gameSide.join();
    EXPECT_EQ(game.currentState(), GameState::play);
}

TEST_F(PlayThreads, ClockTicksOnTheMainThreadWhilePlayRunsOnTheGameThread)
{
    // A short level, so that the clock's end and the next intro fall in the run.
    game.clockMinutes = 0;
    game.clockSeconds = 1;
    game.maxFallingBlocks = 8;
    game.player->head->blinking = 1;       // no ship lost to stop the clock
    game.player->head->blinkTimer = 1000.0;
    platform::startTimer(mainWindow, 1, 1000);
    headless::setKeyHeld(platform::vk::up, true);
    headless::setKeyHeld(platform::vk::shift, true);
    startGameThread();
    // The level ends after a second, the intro takes 3.1 s, then two ticks of level 2.
    pumpMessagesUntil(headless::nowNs() + 6500000000ll, [] { return false; });
    quitRequested = 1;
    stopGameThread();
    EXPECT_EQ(game.level, 2);
    EXPECT_EQ(game.currentState(), GameState::play);
    EXPECT_EQ(game.clockMinutes.load(), 1);
    EXPECT_LT(game.clockSeconds.load(), 59);
}

}  // namespace
