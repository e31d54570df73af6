#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "music/Mixer.h"
#include "music/SongApi.h"
#include "music/SoundDevice.h"
#include "platform/headless/Headless.h"
#include "tests/MusicFixture.h"

namespace {

void* noOpen(const char*) { return nullptr; }
int32_t noClose(void*) { return 0; }
int32_t noRead(void*, int32_t, void*) { return 0; }
int32_t noSeek(void*, int32_t, uint8_t) { return 0; }
int32_t noTell(void*) { return 0; }

// A song that sounds from its first row: a looping tone with an arpeggio, so every block differs.
struct ToneSong {
    musictest::TestSong test{2, true};
    ToneSong()
    {
        std::vector<int16_t> wave(64);
        for (size_t index = 0; index < wave.size(); ++index) {
            wave[index] = static_cast<int16_t>(index < 32 ? 8000 : -8000);
        }
        test.addInstrument(wave, loopForward, 0, 64, 64);
        const int32_t pattern = test.addPattern(16);
        test.cell(pattern, 0, 0) = Cell{49, 1, 0, 0x0, 0x37};
        test.cell(pattern, 8, 1) = Cell{56, 1, 0, 0xA, 0x02};
        test.finish();
    }
};

bool waitForBlockIndex(int32_t wanted)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (soundDevice.blockIndex.load() != wanted) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

struct SoundDeviceThreads : ::testing::Test {
    void SetUp() override
    {
        headless::reset();
        setFileCallbacks(noOpen, noClose, noRead, noSeek, noTell);
    }
    void TearDown() override
    {
        closeSoundDevice();
        headless::reset();
    }
};

TEST_F(SoundDeviceThreads, FeederRendersTheBlocksTheDeviceFinished)
{
    ToneSong tone;
    Song& song = tone.test.song;
    ASSERT_TRUE(openSoundDevice(44100));
    ASSERT_TRUE(playSong(&song));
    EXPECT_TRUE(headless::waveOutPlaying());
    EXPECT_EQ(headless::waveOutFrames(), 88400);
    // The device finishes three blocks at once, as after a late wake-up.
    headless::advanceWaveBytes(3 * 884 * 4);
    ASSERT_TRUE(waitForBlockIndex(3));
    EXPECT_TRUE(stopSong(&song));
    EXPECT_TRUE(stopSong(&song));   // nothing left to wait for or release
    EXPECT_EQ(soundDevice.mixBuffer, nullptr);
    ASSERT_NE(soundDevice.outputRing, nullptr);   // still looped by the device
    const std::vector<int16_t> live(soundDevice.outputRing, soundDevice.outputRing + 2 * 88400);

    // The same song rendered 103 blocks in a row puts blocks 100 to 102 where the feeder put them.
    ASSERT_TRUE(prepareSong(song));
    for (int32_t block = 0; block < 103; ++block) {
        renderBlock();
    }
    EXPECT_EQ(std::memcmp(live.data(), soundDevice.outputRing, live.size() * sizeof(int16_t)), 0);
    bool sounds = false;
    for (int16_t value : live) {
        sounds = sounds || value != 0;
    }
    EXPECT_TRUE(sounds);
    releaseBuffers();
    soundDevice.currentSong = nullptr;
}

TEST_F(SoundDeviceThreads, StopRightAfterTheStartAndCloseWhilePlaying)
{
    ToneSong tone;
    Song& song = tone.test.song;
    ASSERT_TRUE(openSoundDevice(44100));
    for (int32_t round = 0; round < 3; ++round) {
        ASSERT_TRUE(playSong(&song));
        EXPECT_TRUE(stopSong(&song));
        EXPECT_EQ(soundDevice.feederFinished.load(), 1);
    }
    ASSERT_TRUE(playSong(&song));
    headless::advanceWaveBytes(884 * 4);
    closeSoundDevice();   // stops the feeder before the ring goes
    EXPECT_FALSE(headless::waveOutOpen());
    EXPECT_EQ(soundDevice.outputRing, nullptr);
    EXPECT_EQ(soundDevice.currentSong, nullptr);
}

}  // namespace
