// The XM loader's instruments and samples: headers, envelopes, and the sample
// data decoded from deltas into 16-bit PCM with a guard value behind the loop
// for the mixer's interpolation. Main thread, during loadSong.
#include <cstdlib>
#include <cstring>

#include "music/XmLoad.h"

namespace {

constexpr int32_t instrumentLeadBytes = 29;     // header size, name, type, sample count
constexpr int32_t instrumentFieldBytes = 243;   // ... through the fadeout
constexpr int32_t sampleHeaderBytes = 40;
constexpr int32_t guardValues = 8;              // allocated behind every sample's last value
constexpr uint16_t maxEnvelopeValue = 64;
constexpr uint8_t maxSampleVolume = 64;

// Offsets in the instrument header.
constexpr int32_t sampleCountOffset = 27;
constexpr int32_t keymapOffset = 33;
constexpr int32_t volumeEnvelopeOffset = 129;
constexpr int32_t panningEnvelopeOffset = 177;
constexpr int32_t pointCountsOffset = 225;
constexpr int32_t fadeoutOffset = 239;

constexpr uint8_t envelopeSustainBit = 0x02;
constexpr uint8_t envelopeLoopBit = 0x04;
constexpr uint8_t sampleForwardBit = 0x01;
constexpr uint8_t samplePingPongBit = 0x02;
constexpr uint8_t sample16BitBit = 0x10;

// Sample data the file's end cuts off is silence; a damaged length could ask
// for gigabytes of it, so at most this many values are kept past the end.
constexpr int64_t maxMissingValues = int64_t{1} << 20;

struct SampleHeader {
    uint32_t lengthBytes;
    uint32_t loopStartBytes;
    uint32_t loopLengthBytes;
    uint8_t volume;
    int8_t finetune;
    uint8_t type;
    uint8_t panning;
    int8_t relativeNote;
};

struct Envelope {
    EnvelopePoint* points;   // envelopePointCount of them
    uint8_t& count;
    uint8_t& type;
    uint8_t sustain;
    uint8_t loopStart;
    uint8_t loopEnd;
};

// Keeps every index the replayer follows inside the points in use, and every
// value and slope within what its 16.16 arithmetic holds.
void fitEnvelope(const Envelope& envelope)
{
    if (envelope.count > envelopePointCount) {
        envelope.count = envelopePointCount;
    }
    if (envelope.count < 2) {
        envelope.type = 0;
    }
    if (envelope.sustain >= envelope.count) {
        envelope.type &= static_cast<uint8_t>(~envelopeSustainBit);
    }
    if (envelope.loopStart >= envelope.count || envelope.loopEnd >= envelope.count) {
        envelope.type &= static_cast<uint8_t>(~envelopeLoopBit);
    }
    for (int32_t point = 0; point < envelopePointCount; ++point) {
        EnvelopePoint& here = envelope.points[point];
        if (here.value > maxEnvelopeValue) {
            here.value = maxEnvelopeValue;
        }
        // A point before its predecessor would never be reached, and its slope would run on for ever.
        if (point > 0 && point < envelope.count && here.tick < envelope.points[point - 1].tick) {
            here.tick = envelope.points[point - 1].tick;
        }
    }
}

void readEnvelopePoints(const XmBytes& fields, int32_t offset, EnvelopePoint* points)
{
    for (int32_t point = 0; point < envelopePointCount; ++point) {
        points[point].tick = fields.u16(offset + point * 4);
        points[point].value = fields.u16(offset + point * 4 + 2);
    }
}

void takeInstrumentFields(const XmBytes& fields, Instrument& instrument)
{
    for (int32_t note = 0; note < keymapNotes; ++note) {
        instrument.keymap[note] = fields.u8(keymapOffset + note);
    }
    readEnvelopePoints(fields, volumeEnvelopeOffset, instrument.volumeEnvelope);
    readEnvelopePoints(fields, panningEnvelopeOffset, instrument.panningEnvelope);
    const int32_t at = pointCountsOffset;
    instrument.volumePoints = fields.u8(at);
    instrument.panningPoints = fields.u8(at + 1);
    instrument.volumeSustain = fields.u8(at + 2);
    instrument.volumeLoopStart = fields.u8(at + 3);
    instrument.volumeLoopEnd = fields.u8(at + 4);
    instrument.panningSustain = fields.u8(at + 5);
    instrument.panningLoopStart = fields.u8(at + 6);
    instrument.panningLoopEnd = fields.u8(at + 7);
    instrument.volumeType = fields.u8(at + 8);
    instrument.panningType = fields.u8(at + 9);
    instrument.vibratoType = fields.u8(at + 10);
    instrument.vibratoSweep = fields.u8(at + 11);
    instrument.vibratoDepth = fields.u8(at + 12);
    instrument.vibratoRate = fields.u8(at + 13);
    instrument.fadeout = static_cast<uint16_t>(fields.u16(fadeoutOffset) * 2);
    fitEnvelope({instrument.volumeEnvelope, instrument.volumePoints, instrument.volumeType,
                 instrument.volumeSustain, instrument.volumeLoopStart, instrument.volumeLoopEnd});
    fitEnvelope({instrument.panningEnvelope, instrument.panningPoints, instrument.panningType,
                 instrument.panningSustain, instrument.panningLoopStart, instrument.panningLoopEnd});
}

[[nodiscard]] SampleHeader parseSampleHeader(const uint8_t* raw)
{
    XmBytes bytes{raw, sampleHeaderBytes};
    return {bytes.u32(0), bytes.u32(4), bytes.u32(8), bytes.u8(12), static_cast<int8_t>(bytes.u8(13)),
            bytes.u8(14), bytes.u8(15), static_cast<int8_t>(bytes.u8(16))};
}

[[nodiscard]] bool is16Bit(const SampleHeader& header)
{
    return (header.type & sample16BitBit) != 0;
}

// The loop, in samples, inside [0, length): a loop reaching past the end is cut
// there, one beginning at or past the end is no loop.
void fitLoop(Sample& sample)
{
    if (sample.loopKind != loopNone && sample.loopStart >= sample.length) {
        sample.loopKind = loopNone;
    }
    if (sample.loopKind == loopNone) {
        sample.loopStart = 0;
        sample.loopLength = sample.length;
    } else if (sample.loopLength > sample.length - sample.loopStart) {
        sample.loopLength = sample.length - sample.loopStart;
    }
}

// Fills a Sample from its header and allocates its data; bytesInFile is how much
// of its data the file still holds. False without memory.
[[nodiscard]] bool setUpSample(Sample& sample, const SampleHeader& header, int64_t bytesInFile)
{
    sample.loopKind = loopNone;
    if ((header.type & sampleForwardBit) != 0) {
        sample.loopKind = loopForward;
    }
    if ((header.type & samplePingPongBit) != 0) {
        sample.loopKind = loopPingPong;
    }
    int32_t shift = is16Bit(header) ? 1 : 0;
    sample.length = header.lengthBytes >> shift;
    sample.loopStart = header.loopStartBytes >> shift;
    sample.loopLength = header.loopLengthBytes >> shift;
    if (sample.loopLength == 0) {
        sample.loopKind = loopNone;
    }
    int64_t valuesInFile = bytesInFile >> shift;
    if (sample.length > valuesInFile + maxMissingValues) {
        sample.length = static_cast<uint32_t>(valuesInFile + maxMissingValues);
    }
    fitLoop(sample);
    sample.volume = header.volume > maxSampleVolume ? maxSampleVolume : header.volume;
    sample.finetune = header.finetune;
    sample.panning = header.panning;
    sample.relativeNote = header.relativeNote;
    if (sample.length == 0) {
        return true;
    }
    sample.data = static_cast<int16_t*>(std::calloc(static_cast<size_t>(sample.length) + guardValues, sizeof(int16_t)));
    return sample.data != nullptr;
}

// Deltas of 8-bit values, read as bytes into the front of data: summed modulo
// 256, then spread from the back so that no byte is overwritten before it is used.
void decode8Bit(int16_t* data, int64_t valueCount)
{
    uint8_t* bytes = reinterpret_cast<uint8_t*>(data);
    uint8_t sum = 0;
    for (int64_t index = 0; index < valueCount; ++index) {
        sum = static_cast<uint8_t>(sum + bytes[index]);
        bytes[index] = sum;
    }
    for (int64_t index = valueCount - 1; index >= 0; --index) {
        data[index] = static_cast<int16_t>(static_cast<uint16_t>(bytes[index] << 8));
    }
}

// Little-endian 16-bit deltas in place, summed modulo 65536.
void decode16Bit(int16_t* data, int64_t valueCount)
{
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(data);
    uint16_t sum = 0;
    for (int64_t index = 0; index < valueCount; ++index) {
        uint16_t delta = static_cast<uint16_t>(bytes[index * 2] | (bytes[index * 2 + 1] << 8));
        sum = static_cast<uint16_t>(sum + delta);
        data[index] = static_cast<int16_t>(sum);
    }
}

void writeGuardValue(Sample& sample)
{
    uint32_t end = sample.loopStart + sample.loopLength;
    if (sample.loopKind == loopForward) {
        sample.data[end] = sample.data[sample.loopStart];
    } else if (sample.loopKind == loopPingPong) {
        sample.data[end] = sample.data[end - 1];
    }
}

// Reads all the bytes the header names, so that the next sample stays aligned
// (an odd 16-bit length included); values the file lacks stay 0.
[[nodiscard]] LoadStep readSampleData(XmInput& input, Sample& sample, const SampleHeader& header)
{
    int64_t capacityBytes = sample.length == 0 ? 0 : (static_cast<int64_t>(sample.length) + guardValues) * 2;
    int64_t wanted = header.lengthBytes < capacityBytes ? header.lengthBytes : capacityBytes;
    int64_t got = wanted > 0 ? input.read(sample.data, wanted) : 0;
    int64_t rest = static_cast<int64_t>(header.lengthBytes) - got;
    bool cut = got < wanted || !input.seekTo(input.position + rest);
    if (sample.length == 0) {
        return cut ? LoadStep::cutShort : LoadStep::complete;
    }
    int64_t values = is16Bit(header) ? got / 2 : got;
    if (values > sample.length) {
        values = sample.length;
    }
    if (is16Bit(header)) {
        decode16Bit(sample.data, values);
        // The odd last byte was read only to keep its neighbour aligned; it is no value.
        if ((got & 1) != 0) {
            sample.data[values] = 0;
        }
    } else {
        decode8Bit(sample.data, values);
    }
    writeGuardValue(sample);
    return cut ? LoadStep::cutShort : LoadStep::complete;
}

// The instrument's sample headers, then their data in the same order. Headers
// the file's end cuts off are dropped.
[[nodiscard]] LoadStep readSamples(XmInput& input, Instrument& instrument, int32_t sampleCount)
{
    SampleHeader headers[instrumentSampleSlots];
    int32_t complete = 0;
    uint8_t raw[sampleHeaderBytes];
    while (complete < sampleCount && input.readAll(raw, sampleHeaderBytes)) {
        headers[complete++] = parseSampleHeader(raw);
    }
    instrument.sampleCount = static_cast<uint32_t>(complete);
    int64_t dataOffset = input.position;
    for (int32_t slot = 0; slot < complete; ++slot) {
        Sample* sample = static_cast<Sample*>(std::calloc(1, sizeof(Sample)));
        if (sample == nullptr) {
            return LoadStep::refused;
        }
        instrument.samples[slot] = sample;
        int64_t inFile = input.sizeBytes - dataOffset;
        inFile = inFile < 0 ? 0 : (inFile > headers[slot].lengthBytes ? headers[slot].lengthBytes : inFile);
        if (!setUpSample(*sample, headers[slot], inFile)) {
            return LoadStep::refused;
        }
        dataOffset += headers[slot].lengthBytes;
    }
    LoadStep step = complete < sampleCount ? LoadStep::cutShort : LoadStep::complete;
    for (int32_t slot = 0; slot < complete; ++slot) {
        if (readSampleData(input, *instrument.samples[slot], headers[slot]) == LoadStep::cutShort) {
            step = LoadStep::cutShort;
        }
    }
    return step;
}

// One instrument. Fields past its stated header size read 0; the sample headers
// begin at that size. More than 16 samples cannot be held and refuse the module.
[[nodiscard]] LoadStep readInstrument(XmInput& input, Instrument& instrument)
{
    int64_t start = input.position;
    uint8_t fields[instrumentFieldBytes] = {};
    if (!input.readAll(fields, instrumentLeadBytes)) {
        return LoadStep::cutShort;
    }
    XmBytes lead{fields, instrumentLeadBytes};
    uint32_t headerBytes = lead.u32(0) < instrumentLeadBytes ? instrumentLeadBytes : lead.u32(0);
    uint16_t sampleCount = lead.u16(sampleCountOffset);
    if (sampleCount > instrumentSampleSlots) {
        return LoadStep::refused;
    }
    if (sampleCount == 0) {
        return input.seekTo(start + headerBytes) ? LoadStep::complete : LoadStep::cutShort;
    }
    int32_t fieldBytes = headerBytes < instrumentFieldBytes ? static_cast<int32_t>(headerBytes) : instrumentFieldBytes;
    if (!input.readAll(fields + instrumentLeadBytes, fieldBytes - instrumentLeadBytes) ||
        !input.seekTo(start + headerBytes)) {
        return LoadStep::cutShort;
    }
    takeInstrumentFields(XmBytes{fields, fieldBytes}, instrument);
    return readSamples(input, instrument, sampleCount);
}

}  // namespace

bool allocateInstruments(Song& song, int32_t instrumentCount)
{
    song.instrumentCount = static_cast<int16_t>(instrumentCount);
    if (instrumentCount == 0) {
        return true;
    }
    song.instruments = static_cast<Instrument*>(std::calloc(static_cast<size_t>(instrumentCount), sizeof(Instrument)));
    if (song.instruments == nullptr) {
        song.instrumentCount = 0;
        return false;
    }
    for (int32_t index = 0; index < instrumentCount; ++index) {
        for (Sample*& slot : song.instruments[index].samples) {
            slot = &emptySample;
        }
    }
    return true;
}

LoadStep readInstruments(XmInput& input, Song& song)
{
    for (int32_t index = 0; index < song.instrumentCount; ++index) {
        LoadStep step = readInstrument(input, song.instruments[index]);
        if (step != LoadStep::complete) {
            return step;
        }
    }
    return LoadStep::complete;
}
