// karvex-xm info: what the loader made of a module, as the player sees it.
#include <cstdio>

#include "music/Song.h"
#include "music/SongApi.h"
#include "tools/karvex-xm/KarvexXm.h"

namespace {

const char* loopName(uint8_t loopKind)
{
    switch (loopKind) {
    case loopForward: return "forward";
    case loopPingPong: return "ping-pong";
    default: return "none";
    }
}

void showEnvelope(const char* name, const EnvelopePoint* points, uint8_t count, uint8_t type, uint8_t sustain,
                  uint8_t loopStart, uint8_t loopEnd)
{
    if ((type & 1) == 0) {
        return;
    }
    std::printf("    %s envelope: %u points", name, unsigned{count});
    if ((type & 2) != 0) {
        std::printf(", sustain %u", unsigned{sustain});
    }
    if ((type & 4) != 0) {
        std::printf(", loop %u-%u", unsigned{loopStart}, unsigned{loopEnd});
    }
    std::printf(":");
    for (int32_t index = 0; index < count && index < envelopePointCount; ++index) {
        std::printf(" (%u,%u)", unsigned{points[index].tick}, unsigned{points[index].value});
    }
    std::printf("\n");
}

void showInstrument(const Instrument& instrument, int32_t number)
{
    std::printf("instrument %d: %u samples, fadeout %u", number, instrument.sampleCount, unsigned{instrument.fadeout});
    if (instrument.vibratoDepth != 0) {
        std::printf(", auto-vibrato type %u sweep %u depth %u rate %u", unsigned{instrument.vibratoType},
                    unsigned{instrument.vibratoSweep}, unsigned{instrument.vibratoDepth}, unsigned{instrument.vibratoRate});
    }
    std::printf("\n");
    showEnvelope("volume", instrument.volumeEnvelope, instrument.volumePoints, instrument.volumeType,
                 instrument.volumeSustain, instrument.volumeLoopStart, instrument.volumeLoopEnd);
    showEnvelope("panning", instrument.panningEnvelope, instrument.panningPoints, instrument.panningType,
                 instrument.panningSustain, instrument.panningLoopStart, instrument.panningLoopEnd);
    for (uint32_t slot = 0; slot < instrument.sampleCount && slot < instrumentSampleSlots; ++slot) {
        const Sample& sample = *instrument.samples[slot];
        std::printf("    sample %u: %u samples, loop %s %u+%u, volume %u, finetune %d, panning %u, relative note %d\n",
                    slot, sample.length, loopName(sample.loopKind), sample.loopStart, sample.loopLength,
                    unsigned{sample.volume}, int32_t{sample.finetune}, sample.panning, int32_t{sample.relativeNote});
    }
}

void showPatterns(const Song& song)
{
    std::printf("patterns: %d (%d named by the order table)\n", song.patternCount, song.usedPatterns);
    for (int32_t index = 0; index < song.patternCount; ++index) {
        std::printf("%s%u", index % 16 == 0 ? "  rows:" : " ", song.patterns[index].rows);
        if (index % 16 == 15 || index + 1 == song.patternCount) {
            std::printf("\n");
        }
    }
}

}  // namespace

int32_t showInfo(const char* path)
{
    Song* song = loadForTool(path);
    if (song == nullptr) {
        return exitFailure;
    }
    std::printf("file: %s\n", path);
    std::printf("song length %d, restart at %d, %d channels, %s periods, speed %d, %d BPM\n", song->songLength,
                song->restartPosition, song->channelCount, (song->flags & 1) != 0 ? "linear" : "Amiga",
                song->defaultSpeed, song->defaultBpm);
    std::printf("order:");
    for (int32_t position = 0; position < song->songLength && position < 256; ++position) {
        std::printf(" %u", unsigned{song->orderTable[position]});
    }
    std::printf("\n");
    showPatterns(*song);
    std::printf("instruments: %d\n", song->instrumentCount);
    for (int32_t index = 0; index < song->instrumentCount; ++index) {
        showInstrument(song->instruments[index], index + 1);
    }
    freeSong(song);
    return 0;
}
