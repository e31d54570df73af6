// The game's tune as the build writes it: the loader takes it, and a render of
// the whole song and its first repeat stays clear of clipping at a comfortable
// loudness.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "app/ShellFiles.h"
#include "music/Mixer.h"
#include "music/Song.h"
#include "music/SongApi.h"
#include "music/SoundDevice.h"

namespace {

constexpr int32_t rateHz = 44100;
// The song runs 2:41 before it loops; render past the loop point.
constexpr double renderSeconds = 175.0;

struct Levels {
    double peakDbfs;
    double rmsDbfs;
    int64_t frames;
};

double dbfs(double amplitude)
{
    return 20.0 * std::log10(amplitude / 32768.0);
}

Levels renderLevels(Song& song)
{
    Levels levels{-200.0, -200.0, 0};
    if (!setUpRate(rateHz) || !prepareSong(song)) {
        return levels;
    }
    int32_t peak = 0;
    double sumOfSquares = 0.0;
    const int64_t wanted = static_cast<int64_t>(renderSeconds * rateHz);
    while (levels.frames < wanted) {
        const int32_t block = soundDevice.blockIndex;
        renderBlock();
        const int16_t* samples = soundDevice.outputRing + 2 * static_cast<int64_t>(block) * soundDevice.blockFrames;
        for (int32_t i = 0; i < 2 * soundDevice.blockFrames; i++) {
            peak = std::max(peak, std::abs(static_cast<int32_t>(samples[i])));
            sumOfSquares += static_cast<double>(samples[i]) * samples[i];
        }
        levels.frames += soundDevice.blockFrames;
    }
    releaseBuffers();
    levels.peakDbfs = dbfs(peak);
    levels.rmsDbfs = dbfs(std::sqrt(sumOfSquares / (2.0 * static_cast<double>(levels.frames))));
    return levels;
}

TEST(Tune, LoadsAndPlaysBelowClippingAtAComfortableLoudness)
{
    setFileCallbacks(fileOpen, fileClose, fileRead, fileSeek, fileTell);
    const std::string path = std::string(KARVEX_GAME_DIR) + "/music.xm";
    Song* song = loadSong(path.c_str());
    ASSERT_NE(song, nullptr) << path << " is written by the build (target tune)";
    EXPECT_EQ(song->channelCount, 8);
    EXPECT_LT(song->restartPosition, song->songLength);

    const Levels levels = renderLevels(*song);
    freeSong(song);
    ASSERT_GT(levels.frames, 0);
    EXPECT_LT(levels.peakDbfs, -1.0);
    EXPECT_GT(levels.rmsDbfs, -20.0);
    EXPECT_LT(levels.rmsDbfs, -12.0);
    std::printf("tune: peak %.2f dBFS, RMS %.2f dBFS over %.0f s\n", levels.peakDbfs, levels.rmsDbfs, renderSeconds);
}

}  // namespace
