// The game's tune from start-up to the destroy message, through the shell's
// own file callbacks in a scratch working directory.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/App.h"
#include "music/Song.h"
#include "music/SongApi.h"
#include "music/SoundDevice.h"
#include "platform/headless/Headless.h"
#include "tools/xmwriter/XmWriter.h"

namespace {

xmwriter::Module tuneModule()
{
    xmwriter::Module module;
    module.channels = 2;
    xmwriter::Pattern pattern = xmwriter::Pattern::blank(8, 2);
    pattern.at(0, 0) = {49, 1, 0, 0, 0};
    module.patterns = {pattern};
    xmwriter::Instrument instrument;
    xmwriter::Sample sample;
    sample.pcm = xmwriter::sineCycle(32);
    sample.loop = xmwriter::Loop::forward;
    sample.loopLength = 32;
    instrument.samples = {sample};
    module.instruments = {instrument};
    return module;
}

struct MusicLifetime : ::testing::Test {
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::path scratch;

    void SetUp() override
    {
        headless::reset();
        quitRequested = 0;
        scratch = std::filesystem::temp_directory_path() /
                  ("karvex-music-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(scratch);
        std::filesystem::current_path(scratch);
    }
    void TearDown() override
    {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(scratch);
        quitRequested = 0;
        headless::reset();
    }
    // The destroy message: stops and frees the tune, closes the device, posts the quit.
    void destroy()
    {
        windowProc({platform::MessageKind::destroy, 0});
        platform::Message message{};
        EXPECT_TRUE(headless::takeMessage(message));
        EXPECT_EQ(message.kind, platform::MessageKind::quit);
        EXPECT_EQ(music, nullptr);
        EXPECT_FALSE(headless::waveOutOpen());
        EXPECT_EQ(soundDevice.currentSong, nullptr);
        EXPECT_FALSE(soundDevice.feederHandle.joinable());
    }
};

TEST_F(MusicLifetime, TunePlaysFromStartUntilTheWindowIsDestroyed)
{
    ASSERT_TRUE(xmwriter::writeXmFile(tuneModule(), "music.xm"));
    startMusic();
    ASSERT_NE(music, nullptr);
    EXPECT_EQ(soundDevice.currentSong, music);
    EXPECT_TRUE(headless::waveOutPlaying());
    EXPECT_EQ(headless::waveOutRate(), 44100);
    headless::advanceWaveBytes(2 * 884 * 4);
    destroy();
}

TEST_F(MusicLifetime, WithoutTheFileOrTheDeviceTheGameIsSilent)
{
    startMusic();   // no music.xm here
    EXPECT_EQ(music, nullptr);
    EXPECT_FALSE(headless::waveOutPlaying());
    destroy();

    ASSERT_TRUE(xmwriter::writeXmFile(tuneModule(), "music.xm"));
    headless::setWaveOutAvailable(false);
    startMusic();
    EXPECT_EQ(music, nullptr);   // not even loaded without a device
    destroy();
}

}  // namespace
