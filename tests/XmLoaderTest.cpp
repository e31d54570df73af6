// The XM loader's model of a module, written with the XM writer and read back.
#include <gtest/gtest.h>

#include <cstring>
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

}  // namespace
