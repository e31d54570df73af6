// Loads any bytes as a module through memory-backed file callbacks, checks
// what the loader promises the player, plays a few hundred ticks of it at a
// low rate, and frees the Song.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "music/Mixer.h"
#include "music/Replayer.h"
#include "music/Song.h"
#include "music/SongApi.h"
#include "music/SoundDevice.h"
#include "tools/xmwriter/MemoryFiles.h"
#include "tools/xmwriter/SongCheck.h"

namespace {

// At 8,000 Hz a block is 160 frames: cheap, and still ticks of every length.
constexpr int32_t fuzzRate = 8000;
constexpr int32_t fuzzTicks = 300;
constexpr int32_t fuzzMostBlocks = 3000;
int32_t ticksPlayed = 0;

void countedTick(Song& song)
{
    ticksPlayed++;
    playTick(song);
}

// Plays a few hundred ticks through the mixer, as the feeder would.
void playSome(Song& song)
{
    if (!setUpRate(fuzzRate) || !prepareSong(song)) {
        return;
    }
    song.tickFunction = countedTick;
    ticksPlayed = 0;
    for (int32_t block = 0; block < fuzzMostBlocks && ticksPlayed < fuzzTicks; ++block) {
        renderBlock();
    }
    releaseBuffers();
    soundDevice.currentSong = nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    memoryfiles::install();
    memoryfiles::add("fuzz.xm", std::vector<uint8_t>(data, data + size));
    Song* song = loadSong("fuzz.xm");
    if (song != nullptr) {
        std::string broken = brokenPromise(*song);
        if (!broken.empty()) {
            std::fprintf(stderr, "loaded song breaks a promise: %s\n", broken.c_str());
            std::abort();
        }
        playSome(*song);
        freeSong(song);
    }
    if (memoryfiles::openStreams() != 0) {
        std::fprintf(stderr, "the module file was left open\n");
        std::abort();
    }
    return 0;
}
