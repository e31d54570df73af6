#include <gtest/gtest.h>

#include <cmath>

#include "music/Mixer.h"
#include "music/Replayer.h"
#include "music/SoundDevice.h"
#include "tests/MusicFixture.h"

namespace {

TEST(SetTempo, FramesPerTickAt44100)
{
    ASSERT_TRUE(setUpRate(44100));
    Song song{};
    struct TempoCase {
        int32_t bpm;
        int32_t framesPerTick;
    };
    constexpr TempoCase cases[] = {
        {125, 882}, {32, 3445}, {255, 432},
        {0, 432}, {-1, 432},   // unusable tempos (0, above 32767 read as negative) leave the last one
        {33, 3340},
    };
    for (const TempoCase& entry : cases) {
        setTempo(song, entry.bpm);
        EXPECT_EQ(song.samplesPerTick, entry.framesPerTick) << entry.bpm;
    }
    for (int32_t bpm = 32; bpm <= 255; ++bpm) {   // 2.5 x 44100 / bpm, truncated
        setTempo(song, bpm);
        EXPECT_EQ(song.samplesPerTick, 110250 / bpm) << bpm;
    }
}

TEST(Periods, LinearAndAmiga)
{
    Song linear{};
    linear.flags = 1;
    EXPECT_EQ(notePeriodFor(linear, 48, 0), 4608);     // C-4
    EXPECT_EQ(notePeriodFor(linear, 48, -127), 4671);  // the halved finetune truncates toward zero
    struct AmigaCase {
        int32_t note;
        int32_t finetune;
        int32_t period;
    };
    constexpr AmigaCase cases[] = {
        {48, 0, 1712}, {48, 127, 1616}, {48, -128, 1813}, {48, 64, 1664},
        {0, 0, 27392}, {0, -128, 28930},   // no note below 0: the step to note 1 is extended instead
    };
    for (const AmigaCase& entry : cases) {
        EXPECT_EQ(amigaPeriod(entry.note, entry.finetune), entry.period) << entry.note << " " << entry.finetune;
    }
    Song amiga{};
    EXPECT_EQ(notePeriodFor(amiga, 48, 0), 1712);
}

struct VoiceUpdateTest : ::testing::Test {
    Song song{};
    Channel channel{};
    std::vector<int16_t> values = std::vector<int16_t>(108, 1000);
    Sample sample{values.data(), 100, 0, 100, 64, 0, 128, loopNone, 0};

    void SetUp() override
    {
        ASSERT_TRUE(setUpRate(44100));
        resetReplayer(song);
        song.flags = 1;
        song.globalVolume = 64;
        channel.voice = &mixer.voices[0];
        channel.volume = 64;
        channel.panning = 128;
        channel.volumeEnvelopeOutput = 64;
        channel.panningEnvelopeOutput = 32;
        channel.fadeoutVolume = 65536;
    }
};

TEST_F(VoiceUpdateTest, FrequencyBecomesAStep)
{
    struct StepCase {
        bool linear;
        int32_t period;
        int32_t periodDelta;
        uint32_t stepInteger;
        uint32_t stepFraction;
    };
    constexpr StepCase cases[] = {
        {true, 4608, 0, 0, 814485521},     // 8363 Hz
        {true, 4544, 0, 0, 862889121},     // a semitone up: 8860 Hz
        {true, 4608, 64, 0, 862889121},    // the offset raises the pitch in the linear table
        {true, 20000, 0, 0, 9739154},      // below 100 Hz: played at 100 Hz
        {false, 1712, 0, 0, 814388129},    // 14317056 / 1712 = 8362 Hz
        {false, -50, 0, 0, 9739154},       // a negative frequency is played at 100 Hz
        {false, 107, 0, 3, 146476889},     // 133804 Hz: more than one sample a frame
    };
    for (const StepCase& entry : cases) {
        song.flags = entry.linear ? 1 : 0;
        channel.period = entry.period;
        channel.periodDelta = entry.periodDelta;
        channel.updates = updateFrequency;
        updateVoice(channel, sample, song);
        EXPECT_EQ(mixer.voices[0].stepInteger, entry.stepInteger) << entry.period;
        EXPECT_EQ(mixer.voices[0].stepFraction, entry.stepFraction) << entry.period;
    }
    // A period plus offset of 0 leaves the step as it was.
    channel.period = 100;
    channel.periodDelta = -100;
    channel.updates = updateFrequency;
    updateVoice(channel, sample, song);
    EXPECT_EQ(mixer.voices[0].stepInteger, 3u);
    EXPECT_EQ(mixer.voices[0].stepFraction, 146476889u);
}

TEST_F(VoiceUpdateTest, VolumeAndPanningBecomeTargets)
{
    channel.updates = updateVolume | updatePanning;
    updateVoice(channel, sample, song);
    const Voice& voice = mixer.voices[0];
    EXPECT_EQ(voice.volume, 127);
    EXPECT_EQ(voice.panning, 128);
    EXPECT_EQ(voice.targetLeft, 63);    // 128 x 127 / 255
    EXPECT_EQ(voice.targetRight, 63);   // 127 x 127 / 255
    struct PanCase {
        int32_t panning;
        int32_t envelope;
        int32_t voicePanning;
    };
    constexpr PanCase cases[] = {
        {128, 64, 255},   // a centred channel swings by up to 128, limited to 255
        {128, 0, 0},
        {255, 0, 255},    // a hard-panned one is left alone
        {0, 64, 0},
        {192, 48, 224},   // (128 - 64) / 32 x 16
    };
    for (const PanCase& entry : cases) {
        channel.panning = entry.panning;
        channel.panningEnvelopeOutput = entry.envelope;
        channel.updates = updatePanning;
        updateVoice(channel, sample, song);
        EXPECT_EQ(voice.panning, entry.voicePanning) << entry.panning << " " << entry.envelope;
        EXPECT_EQ(voice.targetLeft, 127 * entry.voicePanning / 255);
    }
}

TEST_F(VoiceUpdateTest, NoteStartsOnTheTwinWhileTheOldVoiceSounds)
{
    channel.updates = updateTrigger | updateVolume | updatePanning;
    updateVoice(channel, sample, song);
    EXPECT_EQ(channel.voice, &mixer.voices[0]);   // silent before: the same voice
    EXPECT_EQ(mixer.voices[0].sample, &sample);
    mixer.voices[0].position = 40;
    mixer.voices[0].startOffset = 30;
    channel.updates = updateTrigger | updateVolume;
    updateVoice(channel, sample, song);
    EXPECT_EQ(channel.voice, &mixer.voices[32]);
    const Voice& twin = mixer.voices[32];
    EXPECT_EQ(twin.index, 32);
    EXPECT_EQ(twin.position, 30u);               // the start offset carried over
    EXPECT_EQ(twin.startOffset, 0u);
    EXPECT_EQ(twin.currentLeft, 0);              // ramps in from silence
    EXPECT_EQ(twin.targetLeft, 63);
    const Voice& old = mixer.voices[0];
    EXPECT_EQ(old.sample, &sample);              // still playing, ramping out
    EXPECT_EQ(old.targetLeft, 0);
    EXPECT_EQ(old.targetRight, 0);
    EXPECT_EQ(old.position, 40u);
    channel.updates = updateTrigger;
    updateVoice(channel, sample, song);
    EXPECT_EQ(channel.voice, &mixer.voices[0]);  // and back
    EXPECT_EQ(mixer.voices[0].index, 0);
    // An offset beyond the sample's end starts it at 0.
    channel.voice->startOffset = 100;
    channel.updates = updateTrigger;
    updateVoice(channel, sample, song);
    EXPECT_EQ(channel.voice->position, 0u);
}

}  // namespace
