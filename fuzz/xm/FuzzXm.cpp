// Loads any bytes as a module through memory-backed file callbacks, checks
// what the loader promises the player, and frees the Song.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "music/Song.h"
#include "music/SongApi.h"
#include "tools/xmwriter/MemoryFiles.h"
#include "tools/xmwriter/SongCheck.h"

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
        freeSong(song);
    }
    if (memoryfiles::openStreams() != 0) {
        std::fprintf(stderr, "the module file was left open\n");
        std::abort();
    }
    return 0;
}
