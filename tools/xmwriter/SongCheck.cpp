// The loader's promises: counts within the replayer's tables, every order entry
// naming an allocated pattern, every pattern with at least one row, envelope
// indices inside the points in use, loops inside their samples, data for every
// sample that has a length with zeros behind it, and shared empty records
// where nothing is owned.
#include "tools/xmwriter/SongCheck.h"

#include "music/Song.h"

namespace {

std::string checkHeader(const Song& song)
{
    if (song.channelCount < 1 || song.channelCount > maxChannels) {
        return "channel count " + std::to_string(song.channelCount);
    }
    if (song.songLength < 1 || song.songLength > orderTableSize) {
        return "song length " + std::to_string(song.songLength);
    }
    if (song.restartPosition < 0 || song.restartPosition >= song.songLength) {
        return "restart position " + std::to_string(song.restartPosition);
    }
    if (song.instrumentCount < 0 || song.instrumentCount > maxInstruments ||
        (song.instrumentCount > 0 && song.instruments == nullptr)) {
        return "instrument count " + std::to_string(song.instrumentCount);
    }
    if (song.patternCount < song.usedPatterns || song.patterns == nullptr) {
        return "pattern count " + std::to_string(song.patternCount);
    }
    for (int32_t position = 0; position < song.songLength; ++position) {
        if (song.orderTable[position] >= song.usedPatterns) {
            return "order entry " + std::to_string(position);
        }
    }
    return {};
}

std::string checkPatterns(const Song& song)
{
    for (int32_t number = 0; number < song.patternCount; ++number) {
        const Pattern& pattern = song.patterns[number];
        if (pattern.rows < 1 || pattern.rows > maxPatternRows || pattern.cells == nullptr) {
            return "pattern " + std::to_string(number) + " rows " + std::to_string(pattern.rows);
        }
        for (uint32_t cell = 0; cell < pattern.rows * static_cast<uint32_t>(song.channelCount); ++cell) {
            const Cell& here = pattern.cells[cell];
            if ((here.note > keymapNotes && here.note != noteKeyOff) || here.instrument > maxInstruments) {
                return "pattern " + std::to_string(number) + " cell " + std::to_string(cell);
            }
        }
    }
    return {};
}

std::string checkEnvelope(const EnvelopePoint* points, uint8_t count, uint8_t type, uint8_t sustain,
                          uint8_t loopStart, uint8_t loopEnd)
{
    if (count > envelopePointCount || (type != 0 && count < 2)) {
        return "envelope point count " + std::to_string(count);
    }
    if ((type & 2) != 0 && sustain >= count) {
        return "envelope sustain " + std::to_string(sustain);
    }
    if ((type & 4) != 0 && (loopStart >= count || loopEnd >= count)) {
        return "envelope loop";
    }
    for (int32_t point = 0; point < envelopePointCount; ++point) {
        if (points[point].value > 64 || (point > 0 && point < count && points[point].tick < points[point - 1].tick)) {
            return "envelope point " + std::to_string(point);
        }
    }
    return {};
}

std::string checkSample(const Sample& sample)
{
    if (sample.loopKind != loopNone && sample.loopKind != loopForward && sample.loopKind != loopPingPong) {
        return "loop kind " + std::to_string(sample.loopKind);
    }
    if (sample.loopStart > sample.length || sample.loopLength > sample.length - sample.loopStart ||
        (sample.length > 0 && sample.loopLength == 0)) {
        return "loop " + std::to_string(sample.loopStart) + "+" + std::to_string(sample.loopLength) + " of " +
               std::to_string(sample.length);
    }
    if ((sample.length == 0) != (sample.data == nullptr) || sample.volume > 64) {
        return "sample data or volume";
    }
    if (sample.data == nullptr) {
        return {};
    }
    // Behind the last value stand zeros, but for the guard value right behind a loop's end.
    uint32_t end = sample.loopStart + sample.loopLength;
    for (uint32_t index = sample.length; index < sample.length + 8; ++index) {
        if (sample.data[index] != 0 && !(index == end && sample.loopKind != loopNone)) {
            return "value " + std::to_string(index) + " behind the end";
        }
    }
    return {};
}

std::string checkInstrument(const Instrument& instrument)
{
    if (instrument.sampleCount > static_cast<uint32_t>(instrumentSampleSlots)) {
        return "sample count " + std::to_string(instrument.sampleCount);
    }
    for (uint32_t slot = 0; slot < static_cast<uint32_t>(instrumentSampleSlots); ++slot) {
        const Sample* sample = instrument.samples[slot];
        bool owned = slot < instrument.sampleCount;
        if (sample == nullptr || (owned == (sample == &emptySample))) {
            return "sample slot " + std::to_string(slot);
        }
        if (!owned) {
            continue;
        }
        std::string broken = checkSample(*sample);
        if (!broken.empty()) {
            return "sample " + std::to_string(slot) + ": " + broken;
        }
    }
    std::string broken = checkEnvelope(instrument.volumeEnvelope, instrument.volumePoints, instrument.volumeType,
                                       instrument.volumeSustain, instrument.volumeLoopStart, instrument.volumeLoopEnd);
    if (broken.empty()) {
        broken = checkEnvelope(instrument.panningEnvelope, instrument.panningPoints, instrument.panningType,
                               instrument.panningSustain, instrument.panningLoopStart, instrument.panningLoopEnd);
    }
    return broken;
}

}  // namespace

std::string brokenPromise(const Song& song)
{
    if (emptySample.data != nullptr || emptySample.length != 0 || emptySample.loopLength != 0 ||
        emptyInstrument.sampleCount != 0) {
        return "the shared empty records were written to";
    }
    std::string broken = checkHeader(song);
    if (broken.empty()) {
        broken = checkPatterns(song);
    }
    for (int32_t index = 0; broken.empty() && index < song.instrumentCount; ++index) {
        broken = checkInstrument(song.instruments[index]);
        if (!broken.empty()) {
            broken = "instrument " + std::to_string(index) + ": " + broken;
        }
    }
    return broken;
}
