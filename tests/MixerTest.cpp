#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "music/Mixer.h"
#include "music/SoundDevice.h"
#include "tests/MusicFixture.h"

namespace {

using musictest::constantSample;

struct ConvertCase {
    float sum;
    int16_t expected;
};

TEST(ConvertBlock, RoundsHalfToEvenAndSaturates)
{
    constexpr ConvertCase cases[] = {
        {40000.0f, 32767}, {-40000.0f, -32768},   // saturated
        {0.5f, 0}, {1.5f, 2}, {2.5f, 2}, {-0.5f, 0}, {-1.5f, -2},   // ties to even
        {0.49f, 0}, {-2.51f, -3}, {32767.4f, 32767}, {32767.6f, 32767}, {-32768.4f, -32768},
        {-32767.6f, -32768}, {0.0f, 0},
    };
    std::vector<float> source;
    for (const ConvertCase& entry : cases) {
        source.push_back(entry.sum);
    }
    std::vector<int16_t> out(source.size(), 77);
    convertBlock(out.data(), source.data(), static_cast<int32_t>(source.size() / 2));
    for (size_t index = 0; index < source.size(); ++index) {
        EXPECT_EQ(out[index], cases[index].expected) << "sum " << cases[index].sum;
    }
    int16_t untouched[2] = {5, 5};
    convertBlock(untouched, source.data(), 0);
    convertBlock(nullptr, source.data(), 1);
    convertBlock(untouched, nullptr, 1);
    EXPECT_EQ(untouched[0], 5);
}

// A sample long enough that no boundary is met, with values that change every frame.
std::vector<int16_t> noiseSample(int32_t length)
{
    std::vector<int16_t> values(static_cast<size_t>(length) + 8, 0);
    uint32_t state = 12345;
    for (int32_t index = 0; index < length; ++index) {
        state = state * 1103515245u + 12345u;
        values[static_cast<size_t>(index)] = static_cast<int16_t>(state >> 16);
    }
    return values;
}

struct VoiceTest : ::testing::Test {
    void SetUp() override { resetMixer(44100); }
    Voice voiceFor(const Sample& sample, double step, int32_t targetLeft, int32_t targetRight)
    {
        Voice voice{};
        voice.sample = &sample;
        voice.direction = forward;
        voice.stepInteger = static_cast<uint32_t>(step);
        voice.stepFraction = static_cast<uint32_t>((step - std::floor(step)) * 4294967296.0);
        voice.targetLeft = targetLeft;
        voice.targetRight = targetRight;
        return voice;
    }
};

// The mix written as plainly as possible: a ramp from silence over 128 frames, then steady gains.
std::vector<float> referenceMix(const Sample& sample, const Voice& start, int32_t frameCount)
{
    std::vector<float> out(2 * static_cast<size_t>(frameCount), 0.0f);
    const uint64_t step = (uint64_t{start.stepInteger} << 32) | start.stepFraction;
    uint64_t position = uint64_t{start.position} << 32;
    const float rampStepLeft = static_cast<float>(start.targetLeft) * (1.0f / 255.0f) * (1.0f / 128.0f);
    const float rampStepRight = static_cast<float>(start.targetRight) * (1.0f / 255.0f) * (1.0f / 128.0f);
    float left = 0.0f;
    float right = 0.0f;
    for (int32_t frame = 0; frame < frameCount; ++frame) {
        if (frame == 128) {
            left = static_cast<float>(start.targetLeft) / 255.0f;
            right = static_cast<float>(start.targetRight) / 255.0f;
        }
        const uint32_t index = static_cast<uint32_t>(position >> 32);
        const uint32_t fraction = static_cast<uint32_t>(position);
        const float value = static_cast<float>(sample.data[index]) +
                            static_cast<float>(sample.data[index + 1] - sample.data[index]) *
                                static_cast<float>(fraction >> 1) * (1.0f / 2147483648.0f);
        out[2 * static_cast<size_t>(frame)] += value * left;
        out[2 * static_cast<size_t>(frame) + 1] += value * right;
        if (frame < 128) {
            left += rampStepLeft;
            right += rampStepRight;
        }
        position = (position & ~uint64_t{1}) + step;
    }
    return out;
}

// A ramp is one piece; the steady mix after it gives the same bits however the calls cut it.
TEST_F(VoiceTest, MixIsBitIdenticalToAPlainLoop)
{
    std::vector<int16_t> values = noiseSample(4000);
    const Sample sample{values.data(), 4000, 0, 4000, 64, 0, 128, loopNone, 0};
    constexpr int32_t frames = 601;   // odd: the two-frame loop leaves one over
    const Voice start = voiceFor(sample, 0.7312, 200, 90);
    const std::vector<float> expected = referenceMix(sample, start, frames);
    for (int32_t chunk : {frames - 128, 1, 2, 3, 7, 200}) {
        Voice voice = start;
        std::vector<float> out(2 * frames, 0.0f);
        mixVoice(voice, out.data(), 128);
        for (int32_t done = 128; done < frames; done += chunk) {
            mixVoice(voice, out.data() + 2 * done, std::min(chunk, frames - done));
        }
        EXPECT_EQ(std::memcmp(out.data(), expected.data(), out.size() * sizeof(float)), 0) << "pieces of " << chunk;
        EXPECT_EQ(voice.currentLeft, 200 * 256);
        EXPECT_EQ(voice.rampFrames, 0);
    }
}

TEST_F(VoiceTest, RampEndsExactlyAndNewTargetsRestartIt)
{
    const std::vector<int16_t> values = [] {
        std::vector<int16_t> v = constantSample(1000, 1000);
        v.resize(1008, 0);
        return v;
    }();
    const Sample sample{const_cast<int16_t*>(values.data()), 1000, 0, 1000, 64, 0, 128, loopNone, 0};
    Voice voice = voiceFor(sample, 1.0, 255, 0);
    std::vector<float> out(2 * 200, 0.0f);
    mixVoice(voice, out.data(), 64);
    EXPECT_EQ(voice.rampFrames, 64);
    EXPECT_NEAR(voice.currentLeft, 255 * 256 / 2, 2);
    EXPECT_FLOAT_EQ(out[0], 0.0f);   // a note starts from silence
    voice.targetLeft = 0;
    voice.targetRight = 255;
    mixVoice(voice, out.data() + 2 * 64, 1);
    EXPECT_EQ(voice.rampFrames, 127);   // a fresh ramp from the gains reached so far
    EXPECT_EQ(voice.lastTargetLeft, 0);
    EXPECT_NEAR(out[2 * 64], 500.0f, 5.0f);
    mixVoice(voice, out.data() + 2 * 65, 127);
    EXPECT_EQ(voice.rampFrames, 0);
    EXPECT_EQ(voice.currentLeft, 0);
    EXPECT_EQ(voice.currentRight, 255 * 256);
    EXPECT_EQ(voice.rampStepLeft, 0.0f);
    mixVoice(voice, out.data() + 2 * 192, 2);
    EXPECT_EQ(out[2 * 192], 0.0f);
    EXPECT_EQ(out[2 * 192 + 1], 1000.0f);
    for (int32_t frame = 1; frame < 192; ++frame) {   // no step bigger than the ramp allows
        EXPECT_LE(std::fabs(out[2 * frame] - out[2 * (frame - 1)]), 1000.0f / 128.0f + 0.01f) << frame;
    }
}

struct LoopCase {
    const char* name;
    std::vector<int16_t> values;
    uint8_t loopKind;
    uint32_t loopStart;
    uint32_t loopLength;
    double step;
    int32_t direction;
    uint32_t startPosition;
    int32_t frames;
    bool stillPlaying;
    uint32_t position;
    uint32_t fraction;
    int32_t endDirection;
    float lastValue;   // the last frame's left sum at full gain
};

Sample sampleFor(std::vector<int16_t>& values, const LoopCase& entry)
{
    const uint32_t length = static_cast<uint32_t>(values.size());
    values.resize(values.size() + 8, 0);
    uint32_t loopStart = entry.loopStart;
    uint32_t loopLength = entry.loopLength;
    if (entry.loopKind == loopForward) {
        values[loopStart + loopLength] = values[loopStart];
    } else if (entry.loopKind == loopPingPong) {
        values[loopStart + loopLength] = values[loopStart + loopLength - 1];
    } else {
        loopStart = 0;
        loopLength = length;
    }
    return Sample{values.data(), length, loopStart, loopLength, 64, 0, 128, entry.loopKind, 0};
}

TEST_F(VoiceTest, LoopsReflectWrapAndStop)
{
    const LoopCase cases[] = {
        // A loop of one sample plays it for ever; each wrap keeps the fraction (1.25 per frame).
        {"forward loop of length 1", {100, 200, 300, 400}, loopForward, 3, 1, 1.25, forward, 0, 50, true, 3,
         0x80000000u, forward, 400.0f},
        // 4.0 is the loop end exactly: the way back starts at 4 - 2^-32.
        {"ping-pong landing on the end", {10, 20, 30, 40}, loopPingPong, 0, 4, 1.0, forward, 0, 4, true, 3,
         0xFFFFFFFFu, backward, 40.0f},
        {"ping-pong below a loop start of 0", {10, 20, 30, 40}, loopPingPong, 0, 4, 1.0, backward, 1, 2, true, 0,
         0xFFFFFFFFu, forward, 10.0f},
        {"forward loop wraps", {0, 1, 2, 3, 4, 5}, loopForward, 2, 4, 1.0, forward, 0, 7, true, 3, 0, forward, 2.0f},
        {"no loop stops at its end", {5, 5, 5, 5}, loopNone, 0, 0, 1.0, forward, 0, 6, false, 0, 0, forward, 0.0f},
        {"no data stops at once", {}, loopNone, 0, 0, 1.0, forward, 0, 3, false, 0, 0, forward, 0.0f},
        // Steps far beyond the loop: the boundary arithmetic and the reads stay inside.
        {"step of 300 in a short forward loop", {1, 2, 3, 4, 5, 6, 7, 8}, loopForward, 4, 4, 300.0, forward, 0, 9,
         true, 4, 0, forward, 5.0f},
        // Reads at 0, then 4 and 8 - 2^-32 by turns (every step is 37.5 round trips); the
        // fraction bit dropped before the step leaves 2^-32 after the last reflection.
        {"step of 300 in a short ping-pong loop", {1, 2, 3, 4, 5, 6, 7, 8}, loopPingPong, 4, 4, 300.0, forward, 0,
         9, true, 4, 1, forward, 8.0f},
    };
    for (const LoopCase& entry : cases) {
        std::vector<int16_t> values = entry.values;
        const Sample sample = sampleFor(values, entry);
        Voice voice = voiceFor(sample, entry.step, 255, 255);
        voice.currentLeft = 255 * 256;
        voice.currentRight = 255 * 256;
        voice.direction = entry.direction;
        voice.position = entry.startPosition;
        std::vector<float> out(2 * static_cast<size_t>(entry.frames), 0.0f);
        mixVoice(voice, out.data(), entry.frames);
        EXPECT_EQ(voice.sample != nullptr, entry.stillPlaying) << entry.name;
        EXPECT_EQ(voice.position, entry.position) << entry.name;
        EXPECT_EQ(voice.fraction, entry.fraction) << entry.name;
        EXPECT_EQ(voice.direction, entry.endDirection) << entry.name;
        EXPECT_FLOAT_EQ(out[2 * static_cast<size_t>(entry.frames) - 2], entry.lastValue) << entry.name;
    }
}

TEST_F(VoiceTest, SampleWithoutLoopFadesTowardZeroAndAddsNothingAfterItsEnd)
{
    std::vector<int16_t> values = {1000, 1000, 1000, 1000, 0, 0, 0, 0, 0, 0, 0, 0};
    const Sample sample{values.data(), 4, 0, 4, 64, 0, 128, loopNone, 0};
    Voice voice = voiceFor(sample, 0.5, 255, 255);
    voice.currentLeft = voice.currentRight = 255 * 256;
    std::vector<float> out(2 * 12, 0.0f);
    mixVoice(voice, out.data(), 12);
    EXPECT_FLOAT_EQ(out[2 * 6], 1000.0f);   // position 3.0
    EXPECT_FLOAT_EQ(out[2 * 7], 500.0f);    // halfway to the zero behind the end
    EXPECT_FLOAT_EQ(out[2 * 8], 0.0f);
    EXPECT_EQ(voice.sample, nullptr);
}

// Records how many times the tick function ran; on its third call a voice starts sounding.
int32_t tickCalls = 0;
std::vector<int16_t> toneValues;
Sample toneSample{};

void countingTick(Song&)
{
    tickCalls++;
    if (tickCalls == 3) {
        Voice& voice = mixer.voices[0];
        voice.sample = &toneSample;
        voice.direction = forward;
        voice.targetLeft = voice.lastTargetLeft = 255;
        voice.currentLeft = 255 * 256;
    }
}

struct TickCase {
    int32_t samplesPerTick;
    int32_t callsAfterFirstBlock;
    int32_t leftAfterFirstBlock;
    int32_t callsAfterSecondBlock;
    int32_t leftAfterSecondBlock;
    int32_t thirdTickFrame;   // in the ring
};

TEST(RenderBlock, CallsTheTickAtExactFramesAcrossBlocks)
{
    toneValues = constantSample(5000, 100);
    toneValues.resize(5008, 0);
    toneSample = Sample{toneValues.data(), 5000, 0, 5000, 64, 0, 128, loopNone, 0};
    // 882 frames a tick in 884-frame blocks: calls at frames 0 and 882 of the first block, 880 of the second.
    constexpr TickCase cases[] = {
        {882, 2, 880, 3, 878, 884 + 880},
        {884, 1, 0, 2, 0, 884 + 884},
    };
    for (const TickCase& entry : cases) {
        musictest::TestSong test(1, true);
        test.addPattern(1);
        Song& song = test.finish();
        ASSERT_TRUE(setUpRate(44100));
        ASSERT_TRUE(prepareSong(song));
        song.tickFunction = countingTick;
        song.samplesPerTick = entry.samplesPerTick;
        tickCalls = 0;
        renderBlock();
        EXPECT_EQ(tickCalls, entry.callsAfterFirstBlock);
        EXPECT_EQ(song.samplesToTick, entry.leftAfterFirstBlock);
        renderBlock();
        EXPECT_EQ(tickCalls, entry.callsAfterSecondBlock);
        EXPECT_EQ(song.samplesToTick, entry.leftAfterSecondBlock);
        renderBlock();
        EXPECT_EQ(soundDevice.blockIndex.load(), 3);
        // The first frame after the third tick is the first to hear it.
        const int16_t* ring = soundDevice.outputRing;
        EXPECT_EQ(ring[2 * (entry.thirdTickFrame - 1)], 0) << entry.samplesPerTick;
        EXPECT_EQ(ring[2 * entry.thirdTickFrame], 100) << entry.samplesPerTick;
        releaseBuffers();
        soundDevice.currentSong = nullptr;
    }
}

}  // namespace

namespace {

// A silent voice skips the sample reads but must end exactly where a sounding one would.
TEST_F(VoiceTest, SilentVoiceMovesLikeASoundingOne)
{
    std::vector<int16_t> values = noiseSample(300);
    const Sample sample{values.data(), 300, 20, 280, 64, 0, 128, loopPingPong, 0};
    values[300] = values[299];
    for (double step : {0.7312, 1.0, 2.3333333, 17.01}) {
        Voice sounding = voiceFor(sample, step, 3, 5);
        sounding.currentLeft = 3 * 256;
        sounding.currentRight = 5 * 256;
        sounding.fraction = 0x12345677u;   // odd: the first step drops the bit
        Voice silent = sounding;
        silent.targetLeft = silent.targetRight = 0;
        silent.currentLeft = silent.currentRight = 0;
        std::vector<float> out(2 * 5000, 0.0f);
        std::vector<float> nothing(2 * 5000, 0.0f);
        mixVoice(sounding, out.data(), 5000);
        mixVoice(silent, nothing.data(), 5000);
        EXPECT_EQ(silent.position, sounding.position) << step;
        EXPECT_EQ(silent.fraction, sounding.fraction) << step;
        EXPECT_EQ(silent.direction, sounding.direction) << step;
        EXPECT_EQ(nothing, std::vector<float>(2 * 5000, 0.0f));
    }
}

}  // namespace
