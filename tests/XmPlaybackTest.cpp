// A module that goes through the loader plays: the loader hands the song to the
// replayer, and the first rendered block carries the note of row 0.
#include <gtest/gtest.h>

#include <cstdlib>

#include "music/Mixer.h"
#include "music/Replayer.h"
#include "music/SoundDevice.h"
#include "tests/XmTestSupport.h"

namespace {

TEST(XmPlayback, ALoadedSongTicksAndSounds)
{
    xmwriter::Module module = smallModule();
    module.instruments[0].samples[0].pcm = xmwriter::sineCycle(64);
    module.instruments[0].samples[0].sixteenBit = true;
    module.instruments[0].samples[0].loop = xmwriter::Loop::forward;
    module.instruments[0].samples[0].loopLength = 64;
    SongPtr song = loadXmBytes(xmwriter::writeXm(module));
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->tickFunction, &playTick);

    ASSERT_TRUE(setUpRate(44100));
    ASSERT_TRUE(prepareSong(*song));
    renderBlock();
    int32_t loudest = 0;
    for (int32_t i = 0; i < 2 * soundDevice.blockFrames; i++) {
        loudest = std::max(loudest, std::abs(static_cast<int32_t>(soundDevice.outputRing[i])));
    }
    releaseBuffers();
    EXPECT_GT(loudest, 1000);
}

}  // namespace
