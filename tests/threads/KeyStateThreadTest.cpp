#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/KeyState.h"
#include "platform/Platform.h"

namespace {

// The window thread taps Space; the game thread looks now and then. Every tap must be
// seen, however short, and no tap may be seen twice.
TEST(KeyStateThreads, EveryTapReachesTheGameThread)
{
    constexpr int32_t taps = 200;
    KeyState keys;
    std::atomic<int32_t> seen{0};
    std::atomic<bool> gaveUp{false};
    std::thread game([&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (seen.load() < taps && std::chrono::steady_clock::now() < deadline) {
            if (keys.ask(platform::vk::space)) {
                seen.fetch_add(1);
            }
            std::this_thread::yield();
        }
        gaveUp = seen.load() < taps;
    });
    for (int32_t tap = 0; tap < taps; tap++) {
        keys.press(platform::vk::space);
        keys.release(platform::vk::space);
        // The next tap only once this one was seen, so that none can merge with it.
        while (seen.load() <= tap && !gaveUp.load()) {
            std::this_thread::yield();
        }
    }
    game.join();
    EXPECT_FALSE(gaveUp.load());
    EXPECT_EQ(seen.load(), taps);
    EXPECT_FALSE(keys.ask(platform::vk::space));
}

}  // namespace
