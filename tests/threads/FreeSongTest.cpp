// freeSong against the feeder: nothing is released while a block is being rendered.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "music/Song.h"
#include "music/SongApi.h"
#include "music/SoundDevice.h"

namespace {

TEST(FreeSong, WaitsUntilTheBlockBeingRenderedIsDone)
{
    Song* song = static_cast<Song*>(std::calloc(1, sizeof(Song)));
    ASSERT_NE(song, nullptr);
    soundDevice.currentSong = song;
    soundDevice.rendering.store(1);
    std::atomic<bool> freed{false};
    std::thread stopper([&] {
        EXPECT_TRUE(freeSong(song));
        freed = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FALSE(freed.load()) << "released while rendering";
    soundDevice.rendering.store(0);
    stopper.join();
    EXPECT_TRUE(freed.load());
    EXPECT_EQ(soundDevice.currentSong, nullptr) << "playback stopped";
    soundDevice.stopRequested.store(0);
}

}  // namespace
