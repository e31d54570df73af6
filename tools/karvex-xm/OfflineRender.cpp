// karvex-xm render: the game's renderBlock without a device, block after
// block, into a 16-bit stereo WAV file.
#include <cstdio>

#include "music/Mixer.h"
#include "music/Song.h"
#include "music/SongApi.h"
#include "music/SoundDevice.h"
#include "tools/karvex-xm/KarvexXm.h"

namespace {

constexpr int32_t channels = 2;
constexpr int32_t bytesPerFrame = 4;

void putLittle(unsigned char* at, uint32_t value, int32_t bytes)
{
    for (int32_t index = 0; index < bytes; ++index) {
        at[index] = static_cast<unsigned char>(value >> (8 * index));
    }
}

// The 44-byte RIFF header of 16-bit PCM.
[[nodiscard]] bool writeWavHeader(std::FILE* out, int32_t rate, uint32_t frames)
{
    unsigned char header[44] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
    const uint32_t dataBytes = frames * bytesPerFrame;
    putLittle(header + 4, 36 + dataBytes, 4);
    putLittle(header + 16, 16, 4);
    putLittle(header + 20, 1, 2);                   // PCM
    putLittle(header + 22, channels, 2);
    putLittle(header + 24, static_cast<uint32_t>(rate), 4);
    putLittle(header + 28, static_cast<uint32_t>(rate) * bytesPerFrame, 4);
    putLittle(header + 32, bytesPerFrame, 2);
    putLittle(header + 34, 16, 2);
    header[36] = 'd';
    header[37] = 'a';
    header[38] = 't';
    header[39] = 'a';
    putLittle(header + 40, dataBytes, 4);
    return std::fwrite(header, 1, sizeof(header), out) == sizeof(header);
}

// Renders frames into out; false on a write error.
[[nodiscard]] bool renderFrames(std::FILE* out, uint32_t frames)
{
    uint32_t written = 0;
    while (written < frames) {
        const int32_t block = soundDevice.blockIndex.load();
        renderBlock();
        const uint32_t wanted = frames - written;
        const uint32_t take = wanted < static_cast<uint32_t>(soundDevice.blockFrames) ? wanted : soundDevice.blockFrames;
        const int16_t* start = soundDevice.outputRing + 2 * static_cast<int64_t>(block) * soundDevice.blockFrames;
        if (std::fwrite(start, bytesPerFrame, take, out) != take) {
            return false;
        }
        written += take;
    }
    return true;
}

}  // namespace

int32_t renderToWav(const char* path, const char* outPath, double seconds, int32_t rate)
{
    Song* song = loadForTool(path);
    if (song == nullptr) {
        return exitFailure;
    }
    const uint32_t frames = static_cast<uint32_t>(seconds * rate);
    if (!setUpRate(rate) || !prepareSong(*song)) {
        std::fprintf(stderr, "karvex-xm: no memory to render %s\n", path);
        freeSong(song);
        return exitFailure;
    }
    std::FILE* out = std::fopen(outPath, "wb");
    bool written = out != nullptr && writeWavHeader(out, rate, frames) && renderFrames(out, frames);
    if (out != nullptr) {
        written = std::fclose(out) == 0 && written;
    }
    releaseBuffers();
    freeSong(song);
    if (!written) {
        std::fprintf(stderr, "karvex-xm: cannot write %s\n", outPath);
        return exitFailure;
    }
    return 0;
}

