#include <gtest/gtest.h>

#include "music/Mixer.h"
#include "music/Song.h"
#include "music/SongApi.h"
#include "music/SoundDevice.h"
#include "platform/headless/Headless.h"

namespace {

void* noOpen(const char*) { return nullptr; }
int32_t noClose(void*) { return 0; }
int32_t noRead(void*, int32_t, void*) { return 0; }
int32_t noSeek(void*, int32_t, uint8_t) { return 0; }
int32_t noTell(void*) { return 0; }

struct SoundDeviceTest : ::testing::Test {
    void SetUp() override { headless::reset(); }
    void TearDown() override
    {
        closeSoundDevice();
        setFileCallbacks(noOpen, noClose, noRead, noSeek, noTell);
        headless::reset();
    }
};

TEST_F(SoundDeviceTest, OpenSetsBlockRingAndRampForTheRate)
{
    setFileCallbacks(noOpen, noClose, noRead, noSeek, noTell);
    struct RateCase {
        int32_t rate;
        int32_t blockFrames;
        int32_t ringFrames;
        int32_t rampLength;
    };
    constexpr RateCase cases[] = {
        {44100, 884, 88400, 128},   // 882 rounded up to a multiple of 4
        {22050, 444, 44400, 64},
        {48000, 960, 96000, 139},
        {11025, 220, 22000, 32},
    };
    for (const RateCase& entry : cases) {
        mixer.voices[5].sample = &emptySample;
        ASSERT_TRUE(openSoundDevice(entry.rate));
        EXPECT_EQ(headless::waveOutRate(), entry.rate);
        EXPECT_EQ(soundDevice.blockFrames, entry.blockFrames);
        EXPECT_EQ(soundDevice.ringFrames, entry.ringFrames);
        EXPECT_EQ(soundDevice.blockCount(), 100);
        EXPECT_EQ(mixer.rampLength, entry.rampLength);
        EXPECT_FLOAT_EQ(mixer.rampReciprocal, 1.0f / static_cast<float>(entry.rampLength));
        for (int32_t index = 0; index < voiceCount; ++index) {
            EXPECT_EQ(mixer.voices[index].index, index);
            EXPECT_EQ(mixer.voices[index].stepInteger, 1u);
            EXPECT_EQ(mixer.voices[index].sample, nullptr);
        }
    }
}

TEST_F(SoundDeviceTest, RefusesWithoutCallbacksOrDevice)
{
    setFileCallbacks(noOpen, noClose, noRead, nullptr, noTell);   // one missing: none are set
    EXPECT_FALSE(openSoundDevice(44100));
    EXPECT_FALSE(headless::waveOutOpen());
    setFileCallbacks(noOpen, noClose, noRead, noSeek, noTell);
    headless::setWaveOutAvailable(false);
    EXPECT_FALSE(openSoundDevice(44100));
    headless::setWaveOutAvailable(true);
    EXPECT_FALSE(openSoundDevice(0));
    EXPECT_FALSE(playSong(nullptr));
    EXPECT_FALSE(stopSong(nullptr));
    Song song{};
    EXPECT_TRUE(stopSong(&song));   // nothing playing: nothing to wait for
}

}  // namespace
