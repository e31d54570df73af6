// The XM loader's model of a module, written with the XM writer and read back.
#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>

#include "XmTestSupport.h"

namespace {

using xmwriter::Loop;

struct XmLoader : ::testing::Test {
    void TearDown() override
    {
        memoryfiles::reset();
        setFileCallbacks(nullptr, nullptr, nullptr, nullptr, nullptr);
    }
};

xmwriter::Module richModule()
{
    xmwriter::Module module;
    module.name = "rich";
    module.channels = 3;
    module.order = {1, 0, 1};
    module.restartPosition = 1;
    module.linearFrequencies = false;
    module.speed = 4;
    module.bpm = 140;
    xmwriter::Pattern first = xmwriter::Pattern::blank(2, 3);
    first.at(0, 0) = {1, 1, 0x10, 0x0F, 0x03};      // every field: stored as five plain bytes
    first.at(1, 2) = {xmwriter::keyOff, 0, 0, 0, 0};
    xmwriter::Pattern second = xmwriter::Pattern::blank(3, 3);
    second.at(2, 1) = {96, 2, 0, 0x0E, 0x61};
    module.patterns = {first, second};

    xmwriter::Instrument lead;
    lead.keymap.fill(1);
    lead.keymap[0] = 0;
    lead.volumeEnvelope = {{{0, 64}, {10, 32}, {20, 0}}, true, true, true, 1, 0, 2};
    lead.panningEnvelope = {{{0, 32}, {5, 64}}, true, false, false, 0, 0, 0};
    lead.vibratoType = 2;
    lead.vibratoSweep = 16;
    lead.vibratoDepth = 8;
    lead.vibratoRate = 40;
    lead.fadeout = 0x0400;
    xmwriter::Sample plain;
    plain.pcm = {0, 256, 512, -32768, 32512};
    plain.volume = 48;
    plain.finetune = -16;
    plain.panning = 200;
    plain.relativeNote = -12;
    xmwriter::Sample looped;
    looped.sixteenBit = true;
    looped.pcm = {100, -200, 300, -400, 500, -600};
    looped.loop = Loop::forward;
    looped.loopStart = 1;
    looped.loopLength = 3;
    lead.samples = {plain, looped};
    xmwriter::Instrument bounce;
    xmwriter::Sample pingPong;
    pingPong.pcm = {0, 1280, 2560, 3840};
    pingPong.loop = Loop::pingPong;
    pingPong.loopStart = 1;
    pingPong.loopLength = 2;
    bounce.samples = {pingPong};
    module.instruments = {lead, bounce};
    return module;
}

void expectCell(const Cell& cell, Cell expected, const char* where)
{
    EXPECT_EQ(cell.note, expected.note) << where;
    EXPECT_EQ(cell.instrument, expected.instrument) << where;
    EXPECT_EQ(cell.volume, expected.volume) << where;
    EXPECT_EQ(cell.effect, expected.effect) << where;
    EXPECT_EQ(cell.parameter, expected.parameter) << where;
}

std::vector<int16_t> values(const Sample& sample, uint32_t count)
{
    return std::vector<int16_t>(sample.data, sample.data + count);
}

TEST_F(XmLoader, ReadsEveryFieldTheWriterStored)
{
    SongPtr song = loadXmBytes(xmwriter::writeXm(richModule()));
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->songLength, 3);
    EXPECT_EQ(song->restartPosition, 1);
    EXPECT_EQ(song->channelCount, 3);
    EXPECT_EQ(song->usedPatterns, 2);
    EXPECT_EQ(song->patternCount, 2);
    EXPECT_EQ(song->instrumentCount, 2);
    EXPECT_EQ(song->flags, 0);
    EXPECT_EQ(song->defaultSpeed, 4);
    EXPECT_EQ(song->defaultBpm, 140);
    EXPECT_EQ(song->initialGlobalVolume, 64);
    EXPECT_EQ(song->orderTable[0], 1);
    EXPECT_EQ(song->orderTable[2], 1);

    ASSERT_EQ(song->patterns[0].rows, 2u);
    ASSERT_EQ(song->patterns[1].rows, 3u);
    expectCell(song->patterns[0].cells[0], {1, 1, 0x10, 0x0F, 0x03}, "plain cell");
    expectCell(song->patterns[0].cells[1 * 3 + 2], {noteKeyOff, 0, 0, 0, 0}, "key off");
    expectCell(song->patterns[1].cells[2 * 3 + 1], {96, 2, 0, 0x0E, 0x61}, "packed cell");
    expectCell(song->patterns[1].cells[0], {0, 0, 0, 0, 0}, "empty cell");

    const Instrument& lead = song->instruments[0];
    EXPECT_EQ(lead.sampleCount, 2u);
    EXPECT_EQ(lead.keymap[0], 0);
    EXPECT_EQ(lead.keymap[95], 1);
    EXPECT_EQ(lead.volumePoints, 3);
    EXPECT_EQ(lead.volumeEnvelope[1].tick, 10);
    EXPECT_EQ(lead.volumeEnvelope[1].value, 32);
    EXPECT_EQ(lead.volumeType, 7);
    EXPECT_EQ(lead.volumeSustain, 1);
    EXPECT_EQ(lead.volumeLoopEnd, 2);
    EXPECT_EQ(lead.panningPoints, 2);
    EXPECT_EQ(lead.panningEnvelope[1].value, 64);
    EXPECT_EQ(lead.panningType, 1);
    EXPECT_EQ(lead.vibratoType, 2);
    EXPECT_EQ(lead.vibratoSweep, 16);
    EXPECT_EQ(lead.vibratoDepth, 8);
    EXPECT_EQ(lead.vibratoRate, 40);
    EXPECT_EQ(lead.fadeout, 0x0800);
    for (int32_t slot = 2; slot < instrumentSampleSlots; ++slot) {
        EXPECT_EQ(lead.samples[slot], &emptySample);
    }

    const Sample& plain = *lead.samples[0];
    EXPECT_EQ(plain.length, 5u);
    EXPECT_EQ(plain.loopKind, loopNone);
    EXPECT_EQ(plain.loopStart, 0u);
    EXPECT_EQ(plain.loopLength, 5u);
    EXPECT_EQ(values(plain, 6), (std::vector<int16_t>{0, 256, 512, -32768, 32512, 0}));
    EXPECT_EQ(plain.volume, 48);
    EXPECT_EQ(plain.finetune, -16);
    EXPECT_EQ(plain.panning, 200u);
    EXPECT_EQ(plain.relativeNote, -12);

    const Sample& looped = *lead.samples[1];
    EXPECT_EQ(looped.length, 6u);
    EXPECT_EQ(looped.loopKind, loopForward);
    EXPECT_EQ(looped.loopStart, 1u);
    EXPECT_EQ(looped.loopLength, 3u);
    // The value behind the loop end repeats the loop's first value.
    EXPECT_EQ(values(looped, 6), (std::vector<int16_t>{100, -200, 300, -400, -200, -600}));

    const Sample& pingPong = *song->instruments[1].samples[0];
    EXPECT_EQ(pingPong.loopKind, loopPingPong);
    // Behind a ping-pong loop stands the loop's last value again.
    EXPECT_EQ(values(pingPong, 4), (std::vector<int16_t>{0, 1280, 2560, 2560}));
}

TEST_F(XmLoader, RefusesAnythingButTheExactSignature)
{
    const std::string signatures[] = {
        std::string("Extended Module:_", 17),
        std::string("Extended Module:\0", 17),
        std::string("Extended module: ", 17),
        std::string("Extended Modul", 14),   // the whole file
    };
    for (const std::string& signature : signatures) {
        std::vector<uint8_t> bytes = xmwriter::writeXm(smallModule());
        if (signature.size() < 17) {
            bytes.resize(signature.size());
        }
        std::memcpy(bytes.data(), signature.data(), signature.size());
        EXPECT_EQ(loadXmBytes(bytes), nullptr) << signature;
        EXPECT_EQ(memoryfiles::openStreams(), 0) << "the file was closed";
    }
    EXPECT_NE(loadXmBytes(xmwriter::writeXm(smallModule())), nullptr);
}

TEST_F(XmLoader, EmptyStoredPatternIsFollowedAtOnceByTheNext)
{
    xmwriter::Module module = smallModule();
    xmwriter::Pattern second = xmwriter::Pattern::blank(3, 2);
    second.at(2, 1) = {13, 1, 0, 0, 0};
    module.patterns = {xmwriter::Pattern::blank(5, 2), second};
    module.order = {0, 1};
    xmwriter::Layout layout;
    std::vector<uint8_t> bytes = xmwriter::writeXm(module, &layout);
    ASSERT_EQ(layout.patterns[1], layout.patterns[0] + 9) << "the writer stores no data for it";

    SongPtr song = loadXmBytes(bytes);
    ASSERT_NE(song, nullptr);
    ASSERT_EQ(song->patterns[0].rows, 5u);
    for (uint32_t cell = 0; cell < 5 * 2; ++cell) {
        expectCell(song->patterns[0].cells[cell], {0, 0, 0, 0, 0}, "empty pattern");
    }
    ASSERT_EQ(song->patterns[1].rows, 3u);
    expectCell(song->patterns[1].cells[2 * 2 + 1], {13, 1, 0, 0, 0}, "next pattern");
    EXPECT_EQ(song->instruments[0].samples[0]->length, 4u) << "the instruments follow in place";
}

TEST_F(XmLoader, OrderEntriesPastTheStoredPatternsGetEmptyPatterns)
{
    xmwriter::Module module = smallModule();
    module.order = {0, 3, 0};
    std::vector<uint8_t> bytes = xmwriter::writeXm(module);
    bytes[xmwriter::orderTableOffset + 3] = 200;   // after the song's end: not looked at
    SongPtr song = loadXmBytes(bytes);
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->usedPatterns, 4);
    EXPECT_EQ(song->patternCount, 4);
    EXPECT_EQ(song->patterns[0].rows, 4u);
    for (int32_t number = 1; number < 4; ++number) {
        ASSERT_EQ(song->patterns[number].rows, 64u) << number;
        for (uint32_t cell = 0; cell < 64 * 2; ++cell) {
            ASSERT_EQ(song->patterns[number].cells[cell].note, 0);
        }
    }
}

TEST_F(XmLoader, NoteAndInstrumentBytesOutsideTheirRangesAreCleared)
{
    struct CellCase {
        uint8_t note;
        uint8_t instrument;
        uint8_t expectedNote;
        uint8_t expectedInstrument;
    };
    const CellCase cases[] = {
        {1, 1, 1, 1},        {96, 128, 96, 128},   // the ends of the ranges
        {97, 129, 255, 0},                          // key off; past the instruments a cell can name
        {98, 200, 0, 0},     {254, 255, 0, 0},      // past the keymap's 96 notes
        {255, 0, 255, 0},                           // already the model's key off
    };
    xmwriter::Module module = smallModule();
    module.patterns = {xmwriter::Pattern::blank(static_cast<int32_t>(std::size(cases)), 2)};
    for (size_t row = 0; row < std::size(cases); ++row) {
        module.patterns[0].at(static_cast<int32_t>(row), 1) = {cases[row].note, cases[row].instrument, 0, 0, 0};
    }
    SongPtr song = loadXmBytes(xmwriter::writeXm(module));
    ASSERT_NE(song, nullptr);
    for (size_t row = 0; row < std::size(cases); ++row) {
        const Cell& cell = song->patterns[0].cells[row * 2 + 1];
        EXPECT_EQ(cell.note, cases[row].expectedNote) << "note byte " << int(cases[row].note);
        EXPECT_EQ(cell.instrument, cases[row].expectedInstrument) << "instrument byte " << int(cases[row].instrument);
    }
}

struct SampleCase {
    const char* what;
    uint32_t lengthBytes;      // as stored
    uint32_t loopStartBytes;
    uint32_t loopLengthBytes;
    uint8_t type;              // bits 0-1 loop, bit 4 16-bit
    uint32_t length;           // expected, in values
    uint32_t loopStart;
    uint32_t loopLength;
    uint8_t loopKind;
};

const SampleCase sampleCases[] = {
    {"no loop", 10, 2, 4, 0x00, 10, 0, 10, loopNone},
    {"forward", 10, 2, 4, 0x01, 10, 2, 4, loopForward},
    {"ping-pong", 10, 2, 4, 0x02, 10, 2, 4, loopPingPong},
    {"both loop bits: ping-pong", 10, 2, 4, 0x03, 10, 2, 4, loopPingPong},
    {"loop of length 0: whole sample, no loop", 10, 6, 0, 0x01, 10, 0, 10, loopNone},
    {"16-bit bytes become values", 1000, 200, 400, 0x11, 500, 100, 200, loopForward},
    {"16-bit loop of one byte halves to 0", 1000, 200, 1, 0x11, 500, 0, 500, loopNone},
    {"loop past the end is cut there", 10, 6, 20, 0x01, 10, 6, 4, loopForward},
    {"loop length that wraps 32 bits is cut", 10, 6, 0xFFFFFFFF, 0x02, 10, 6, 4, loopPingPong},
    {"loop starting at the end is none", 10, 10, 4, 0x01, 10, 0, 10, loopNone},
    {"loop starting past the end is none", 10, 4000, 4, 0x02, 10, 0, 10, loopNone},
    {"empty sample with a loop", 0, 0, 4, 0x01, 0, 0, 0, loopNone},
};

TEST_F(XmLoader, SampleLengthsAndLoops)
{
    for (const SampleCase& sampleCase : sampleCases) {
        xmwriter::Sample sample;
        sample.pcm.assign(sampleCase.lengthBytes, 0);   // one byte a value until patched
        xmwriter::Layout layout;
        std::vector<uint8_t> bytes = xmwriter::writeXm(sampleModule({sample}), &layout);
        size_t header = layout.sampleHeaders[0][0];
        xmwriter::put32(bytes, header + 4, sampleCase.loopStartBytes);
        xmwriter::put32(bytes, header + 8, sampleCase.loopLengthBytes);
        bytes[header + 14] = sampleCase.type;

        SongPtr song = loadXmBytes(bytes);
        ASSERT_NE(song, nullptr) << sampleCase.what;
        const Sample& loaded = *song->instruments[0].samples[0];
        EXPECT_EQ(loaded.length, sampleCase.length) << sampleCase.what;
        EXPECT_EQ(loaded.loopStart, sampleCase.loopStart) << sampleCase.what;
        EXPECT_EQ(loaded.loopLength, sampleCase.loopLength) << sampleCase.what;
        EXPECT_EQ(loaded.loopKind, sampleCase.loopKind) << sampleCase.what;
    }
}

TEST_F(XmLoader, EightBitDeltasSumIntoTheHighByte)
{
    xmwriter::Sample sample;
    sample.pcm = {2560, 3840, -1280};
    xmwriter::Layout layout;
    std::vector<uint8_t> bytes = xmwriter::writeXm(sampleModule({sample}), &layout);
    size_t data = layout.sampleData[0][0];
    ASSERT_EQ((std::vector<uint8_t>{bytes[data], bytes[data + 1], bytes[data + 2]}),
              (std::vector<uint8_t>{10, 5, 0xEC})) << "stored as the deltas 10, 5, -20";
    SongPtr song = loadXmBytes(bytes);
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(values(*song->instruments[0].samples[0], 3 + 8),
              (std::vector<int16_t>{2560, 3840, -1280, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(XmLoader, SixteenBitDeltasWrapModulo65536)
{
    xmwriter::Sample sample;
    sample.sixteenBit = true;
    sample.pcm = {32767, -32768, 32767, 0};   // deltas of +1 and -1 across the wrap
    SongPtr song = loadXmBytes(xmwriter::writeXm(sampleModule({sample})));
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(values(*song->instruments[0].samples[0], 5), (std::vector<int16_t>{32767, -32768, 32767, 0, 0}));
}

TEST_F(XmLoader, InstrumentWithoutSamplesUsesTheEmptySample)
{
    xmwriter::Module module = smallModule();
    xmwriter::Instrument hollow;
    hollow.keymap.fill(3);   // stored in its header, but not read without samples
    hollow.volumeEnvelope = {{{0, 64}, {4, 0}}, true, false, false, 0, 0, 0};
    module.instruments = {hollow, module.instruments[0]};
    SongPtr song = loadXmBytes(xmwriter::writeXm(module));
    ASSERT_NE(song, nullptr);
    const Instrument& loaded = song->instruments[0];
    EXPECT_EQ(loaded.sampleCount, 0u);
    for (const Sample* slot : loaded.samples) {
        EXPECT_EQ(slot, &emptySample);
    }
    for (uint8_t entry : loaded.keymap) {
        EXPECT_EQ(entry, 0);
    }
    EXPECT_EQ(loaded.volumeType, 0);
    EXPECT_EQ(song->instruments[1].samples[0]->length, 4u);
}

TEST_F(XmLoader, EnvelopesOfFewerThanTwoPointsAreOff)
{
    xmwriter::Module module = smallModule();
    xmwriter::Instrument& instrument = module.instruments[0];
    instrument.volumeEnvelope = {{{0, 64}}, true, true, true, 0, 0, 0};
    instrument.panningEnvelope = {{}, true, false, false, 0, 0, 0};
    SongPtr song = loadXmBytes(xmwriter::writeXm(module));
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->instruments[0].volumePoints, 1);
    EXPECT_EQ(song->instruments[0].volumeType, 0);
    EXPECT_EQ(song->instruments[0].panningType, 0);
}

}  // namespace
