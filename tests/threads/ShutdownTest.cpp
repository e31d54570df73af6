#include <gtest/gtest.h>

#include <thread>

#include "app/App.h"
#include "game/Game.h"
#include "platform/headless/Headless.h"

namespace {

struct Shutdown : ::testing::Test {
    void SetUp() override
    {
        headless::reset();
        quitRequested = 0;
    }
    void TearDown() override
    {
        quitRequested = 0;
        game.setState(GameState::none);
        headless::reset();
    }
};

TEST_F(Shutdown, LongWaitEndsWhenQuitIsRequested)
{
    std::atomic<bool> returned{false};
    std::thread waiter([&] {
        waitMs(2000000000);   // about 23 days of virtual time
        returned = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    quitRequested = 1;
    waiter.join();
    EXPECT_TRUE(returned);
}

TEST_F(Shutdown, DestroyEndsTheLoopAfterTheGameThread)
{
    game.setState(GameState::paused);
    startGameThread();
    headless::pushMessage(platform::MessageKind::destroy, 0);
    platform::Message message{};
    int32_t handled = 0;
    while (platform::getMessage(message)) {
        windowProc(message);
        handled++;
    }
    EXPECT_EQ(message.kind, platform::MessageKind::quit);
    EXPECT_EQ(message.code, 0);
    EXPECT_EQ(quitRequested.load(), 1);
    stopGameThread();   // returns: the game thread saw quitRequested and ended
    EXPECT_EQ(handled, 1);
}

}  // namespace
