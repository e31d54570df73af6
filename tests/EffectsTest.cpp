// Fixture songs played tick by tick against traces worked out by hand.
#include <gtest/gtest.h>

#include <vector>

#include "music/Mixer.h"
#include "music/Replayer.h"
#include "tests/MusicFixture.h"

namespace {

using musictest::PlayerTest;
using musictest::TestSong;
using Trace = std::vector<int32_t>;

constexpr uint8_t noteC4 = 49;   // realNote 48: linear period 4608
constexpr uint8_t noteD4 = 51;   // linear period 4480
constexpr uint8_t keyOff = 255;

Cell noteCell(uint8_t note, uint8_t instrument, uint8_t effect = 0, uint8_t parameter = 0, uint8_t volume = 0)
{
    return Cell{note, instrument, volume, effect, parameter};
}

Cell effectCell(uint8_t effect, uint8_t parameter, uint8_t volume = 0)
{
    return Cell{0, 0, volume, effect, parameter};
}

// One channel, linear periods, speed 6, one instrument with a long forward loop.
struct EffectTrace : PlayerTest {
    TestSong test{1, true};
    int32_t pattern = test.addPattern(8);
    Channel& channel = replayer.channels[0];

    EffectTrace() { test.addInstrument(musictest::constantSample(1000, 1000), loopForward, 0, 1000, 64); }
    Cell& row(int32_t index) { return test.cell(pattern, index, 0); }
    Song& begin()
    {
        Song& song = test.finish();
        start(song);
        return song;
    }
    Trace run(int32_t ticks, const std::function<int32_t()>& probe) { return trace(test.song, ticks, probe); }
    int32_t voiceIndex() const { return channel.voice->index; }
};

TEST_F(EffectTrace, Arpeggio047PlaysBaseThenFourThenSevenSemitones)
{
    row(0) = noteCell(noteC4, 1, 0x0, 0x47);
    begin();
    EXPECT_EQ(run(6, [&] { return channel.periodDelta; }), (Trace{0, 256, 448, 0, 256, 448}));
    EXPECT_EQ(channel.period, 4608);
}

TEST_F(EffectTrace, ArpeggioOnAmigaPeriodsUsesTheTableDifference)
{
    test.song.flags = 0;
    row(0) = noteCell(noteC4, 1, 0x0, 0x47);
    begin();
    // amigaPeriod of notes 52 and 55 against 1712 (note 48): 1358 and 1142.
    EXPECT_EQ(run(3, [&] { return channel.periodDelta; }), (Trace{0, 1358 - 1712, 1142 - 1712}));
}

TEST_F(EffectTrace, PortamentoUpStopsAt56AndDownHasNoLimit)
{
    test.sampleOf(0).relativeNote = 23;   // note 96 plays realNote 118: period 128
    row(0) = noteCell(96, 1, 0x1, 0xFF);     // 4 x 255 a tick
    row(1) = noteCell(noteC4, 1, 0x2, 0xFF);  // realNote 71: period 3136
    begin();
    EXPECT_EQ(run(12, [&] { return channel.period; }),
              (Trace{128, 56, 56, 56, 56, 56, 3136, 4156, 5176, 6196, 7216, 8236}));
}

TEST_F(EffectTrace, VibratoDepth15ReachesAt116OnSineAndSquare)
{
    row(0) = noteCell(noteC4, 1, 0x4, 0x8F);   // speed 8: positions 0, 0, 8, 16, 24, -32, then -24
    row(1) = effectCell(0xE, 0x42);             // square from here on; the position stays at -24
    row(2) = effectCell(0x4, 0x00);             // positions -24, -24, -16, -8, 0, 8
    begin();
    EXPECT_EQ(run(18, [&] { return channel.periodDelta; }),
              (Trace{0, 0, -84, -116, -84, 0, 0, 0, 0, 0, 0, 0, 116, 116, 116, 116, -116, -116}));
}

TEST_F(EffectTrace, TremoloIsLimitedTo0And64AndItsLastOffsetStays)
{
    test.sampleOf(0).volume = 20;
    row(0) = noteCell(noteC4, 1, 0xE, 0x72);   // square tremolo: depth 15 gives 59
    row(1) = effectCell(0x7, 0x8F);
    row(2) = effectCell(0x8, 0x80);
    begin();
    Trace deltas = run(12, [&] { return channel.volumeDelta; });
    EXPECT_EQ(deltas, (Trace{0, 0, 0, 0, 0, 0, 0, 44, 44, 44, 44, -20}));
    playTick(test.song);
    EXPECT_EQ(channel.volume, 0);   // 20 - 20 kept in the volume
}

TEST_F(EffectTrace, TremorT21SoundsThreeTicksAndRestsTwo)
{
    row(0) = noteCell(noteC4, 1, 29, 0x21);
    row(1) = effectCell(29, 0x00);            // runs on across rows with T
    row(2) = effectCell(0x0, 0x00);           // stands still without T
    row(3) = effectCell(29, 0x00);
    row(4) = noteCell(0, 1, 29, 0x00);        // a new instrument restarts the cycle
    begin();
    EXPECT_EQ(run(30, [&] { return channel.volumeDelta; }),
              (Trace{0, 0, 0, -64, -64, 0,  0, 0, -64, -64, 0, 0,  0, 0, 0, 0, 0, 0,
                     0, -64, -64, 0, 0, 0,  0, 0, 0, -64, -64, 0}));
}

TEST_F(PlayerTest, RetriggerCutAndDelay)
{
    struct Case {
        const char* name;
        Cell first;
        Cell second;
        Trace voices;     // the voice sounding after each tick of the second row
        Trace volumes;
        Trace periods;
    };
    const Case cases[] = {
        {"E93 restarts on tick 3", noteCell(noteC4, 1), effectCell(0xE, 0x93), {0, 0, 0, 32, 32, 32},
         {64, 64, 64, 64, 64, 64}, {4608, 4608, 4608, 4608, 4608, 4608}},
        {"E90 does nothing", noteCell(noteC4, 1), effectCell(0xE, 0x90), {0, 0, 0, 0, 0, 0},
         {64, 64, 64, 64, 64, 64}, {4608, 4608, 4608, 4608, 4608, 4608}},
        {"EC2 cuts on tick 2", noteCell(noteC4, 1), effectCell(0xE, 0xC2), {0, 0, 0, 0, 0, 0},
         {64, 64, 0, 0, 0, 0}, {4608, 4608, 4608, 4608, 4608, 4608}},
        {"EC0 never cuts", noteCell(noteC4, 1), effectCell(0xE, 0xC0), {0, 0, 0, 0, 0, 0},
         {64, 64, 64, 64, 64, 64}, {4608, 4608, 4608, 4608, 4608, 4608}},
        {"ED3 starts the note on tick 3", noteCell(noteC4, 1), noteCell(noteD4, 1, 0xE, 0xD3, 0x30),
         {0, 0, 0, 32, 32, 32}, {64, 64, 64, 32, 32, 32}, {4608, 4608, 4608, 4480, 4480, 4480}},
        {"ED0 never starts it", noteCell(noteC4, 1), noteCell(noteD4, 1, 0xE, 0xD0), {0, 0, 0, 0, 0, 0},
         {64, 64, 64, 64, 64, 64}, {4608, 4608, 4608, 4608, 4608, 4608}},
    };
    for (const Case& entry : cases) {
        TestSong test(1, true);
        const int32_t pattern = test.addPattern(2);
        test.addInstrument(musictest::constantSample(1000, 1000), loopForward, 0, 1000, 64);
        test.cell(pattern, 0, 0) = entry.first;
        test.cell(pattern, 1, 0) = entry.second;
        start(test.finish());
        Channel& channel = replayer.channels[0];
        trace(test.song, 6, [] { return 0; });
        Trace voices;
        Trace volumes;
        Trace periods;
        for (int32_t tick = 0; tick < 6; ++tick) {
            playTick(test.song);
            voices.push_back(channel.voice->index);
            volumes.push_back(channel.volume);
            periods.push_back(channel.period);
        }
        EXPECT_EQ(voices, entry.voices) << entry.name;
        EXPECT_EQ(volumes, entry.volumes) << entry.name;
        EXPECT_EQ(periods, entry.periods) << entry.name;
        releaseBuffers();
    }
}

TEST_F(PlayerTest, MultiRetriggerModes)
{
    struct Case {
        uint8_t parameter;
        int32_t volumeAfter;
        bool volumeUpdated;
    };
    constexpr Case cases[] = {
        {0x03, 40, false},   // mode 0: restarts, no volume update
        {0x83, 40, true},    // mode 8: restarts, volume unchanged but recomputed
        {0x13, 39, true}, {0x53, 24, true}, {0x63, 26, true}, {0x73, 20, true},
        {0xB3, 44, true}, {0xE3, 60, true}, {0xF3, 64, true},   // doubled, limited to 64
    };
    for (const Case& entry : cases) {
        TestSong test(1, true);
        const int32_t pattern = test.addPattern(1);
        test.addInstrument(musictest::constantSample(1000, 1000), loopForward, 0, 1000, 40);
        test.cell(pattern, 0, 0) = noteCell(noteC4, 1, 27, entry.parameter);
        start(test.finish());
        Channel& channel = replayer.channels[0];
        trace(test.song, 3, [] { return 0; });
        EXPECT_EQ(channel.voice->index, 0);
        playTick(test.song);
        EXPECT_EQ(channel.voice->index, 32) << int32_t{entry.parameter};
        EXPECT_EQ(channel.volume, entry.volumeAfter) << int32_t{entry.parameter};
        EXPECT_EQ((channel.updates & updateVolume) != 0, entry.volumeUpdated) << int32_t{entry.parameter};
        releaseBuffers();
    }
}

TEST_F(EffectTrace, VolumeEnvelopeHoldsAtSustainUntilKeyOff)
{
    Instrument& instrument = test.instruments[0];
    const EnvelopePoint points[] = {{0, 64}, {4, 32}, {8, 48}, {12, 0}};
    std::copy(std::begin(points), std::end(points), instrument.volumeEnvelope);
    instrument.volumePoints = 4;
    instrument.volumeSustain = 1;
    instrument.volumeType = 1 | 2;
    instrument.fadeout = 4096;
    row(0) = noteCell(noteC4, 1);
    row(1) = noteCell(keyOff, 0);
    begin();
    Trace fadeouts;
    Trace outputs = run(18, [&] {
        fadeouts.push_back(channel.fadeoutVolume);
        return channel.volumeEnvelopeOutput;
    });
    EXPECT_EQ(outputs, (Trace{64, 56, 48, 40, 32, 32, 32, 36, 40, 44, 48, 36, 24, 12, 0, 0, 0, 0}));
    EXPECT_EQ(fadeouts[5], 65536);
    EXPECT_EQ(fadeouts[6], 65536 - 4096);
    EXPECT_EQ(fadeouts[17], 65536 - 12 * 4096);
}

TEST_F(EffectTrace, VolumeEnvelopeLoopRepeatsAfterKeyOffToo)
{
    Instrument& instrument = test.instruments[0];
    const EnvelopePoint points[] = {{0, 0}, {2, 64}, {4, 32}, {6, 64}};
    std::copy(std::begin(points), std::end(points), instrument.volumeEnvelope);
    instrument.volumePoints = 4;
    instrument.volumeLoopStart = 1;
    instrument.volumeLoopEnd = 3;
    instrument.volumeType = 1 | 4;
    row(0) = noteCell(noteC4, 1);
    row(1) = noteCell(keyOff, 0);
    begin();
    EXPECT_EQ(run(14, [&] { return channel.volumeEnvelopeOutput; }),
              (Trace{0, 32, 64, 48, 32, 48, 64, 48, 32, 48, 64, 48, 32, 48}));
}

TEST_F(EffectTrace, KeyOffWithoutEnvelopeSilencesAtOnce)
{
    row(0) = noteCell(noteC4, 1);
    row(1) = noteCell(keyOff, 0);
    begin();
    EXPECT_EQ(run(8, [&] { return channel.voice->volume; }), (Trace{127, 127, 127, 127, 127, 127, 0, 0}));
}

struct PositionCase {
    const char* name;
    int32_t channel0Effect;
    int32_t channel0Parameter;
    int32_t channel1Effect;
    int32_t channel1Parameter;
    int32_t order;
    int32_t row;
};

TEST_F(PlayerTest, JumpsAndBreaksChooseOrderAndRow)
{
    const PositionCase cases[] = {
        {"B then D: B's order at D's row", 0xB, 2, 0xD, 0x05, 2, 5},
        {"D then B: B's order at row 0", 0xD, 0x05, 0xB, 2, 2, 0},
        {"D64 goes to row 0", 0xD, 0x64, 0, 0, 1, 0},
        {"D9F goes to row 0", 0xD, 0x9F, 0, 0, 1, 0},
        {"a break past a shorter pattern's rows starts it at row 0", 0xD, 0x10, 0, 0, 1, 0},
        {"a jump past the song goes to order 0", 0xB, 9, 0, 0, 0, 0},
    };
    for (const PositionCase& entry : cases) {
        TestSong test(2, true, 1);
        test.addPattern(8);
        test.addPattern(4);
        test.addPattern(8);
        test.cell(0, 0, 0) = effectCell(static_cast<uint8_t>(entry.channel0Effect), static_cast<uint8_t>(entry.channel0Parameter));
        test.cell(0, 0, 1) = effectCell(static_cast<uint8_t>(entry.channel1Effect), static_cast<uint8_t>(entry.channel1Parameter));
        start(test.finish());
        playTick(test.song);
        playTick(test.song);
        EXPECT_EQ(test.song.orderPosition, entry.order) << entry.name;
        EXPECT_EQ(test.song.row, entry.row) << entry.name;
        releaseBuffers();
    }
}

TEST_F(PlayerTest, PatternLoopAndPatternDelay)
{
    struct LoopCase {
        uint8_t loopParameter;
        Trace rows;
    };
    const LoopCase cases[] = {
        {0x61, {0, 1, 2, 0, 1, 2, 3, 0}},          // E61 after E60: twice
        {0x62, {0, 1, 2, 0, 1, 2, 0, 1, 2, 3}},    // E62: three times
    };
    for (const LoopCase& entry : cases) {
        TestSong test(1, true, 1);
        test.addPattern(4);
        test.cell(0, 0, 0) = effectCell(0xE, 0x60);
        test.cell(0, 2, 0) = effectCell(0xE, entry.loopParameter);
        start(test.finish());
        // The row each tick read (the song's row stands at the loop start - 1 after E6x jumps back).
        const auto rowRead = [&] { return static_cast<int32_t>(replayer.rowCells - test.cells[0].data()); };
        EXPECT_EQ(trace(test.song, static_cast<int32_t>(entry.rows.size()), rowRead), entry.rows);
        releaseBuffers();
    }
    // EE2 at speed 3: the row lasts 9 ticks and its note starts once.
    TestSong test(1, true, 3);
    test.addPattern(2);
    test.addInstrument(musictest::constantSample(1000, 1000), loopForward, 0, 1000, 64);
    test.cell(0, 0, 0) = noteCell(noteC4, 1, 0xE, 0xE2);
    start(test.finish());
    Trace voices;
    EXPECT_EQ(trace(test.song, 10, [&] {
                  voices.push_back(replayer.channels[0].voice->index);
                  return test.song.row;
              }),
              (Trace{0, 0, 0, 0, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(voices, (Trace{0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

}  // namespace

namespace {

TEST(Waveforms, ComputedValues)
{
    // |sin(2 q x 0.049087375) x 256| for q = 0..16: the largest is 255.
    const Trace sine = {0, 25, 49, 74, 97, 120, 142, 162, 181, 197, 212, 225, 236, 244, 251, 254, 255};
    for (int32_t position = 0; position <= 16; ++position) {
        EXPECT_EQ(vibratoWave(position, 0), sine[static_cast<size_t>(position)]) << position;
        if (position > 0) {   // mirrored from 17 to 31
            EXPECT_EQ(vibratoWave(32 - position, 0), sine[static_cast<size_t>(position)]) << 32 - position;
        }
        EXPECT_EQ(vibratoWave(-position, 0), sine[static_cast<size_t>(position)]) << -position;
    }
    EXPECT_EQ(vibratoWave(31, 1), 248);   // ramp
    EXPECT_EQ(vibratoWave(-1, 1), 7);
    EXPECT_EQ(vibratoWave(-32, 1), 255);
    EXPECT_EQ(vibratoWave(5, 2), 255);    // square, and control 3 is square too
    EXPECT_EQ(vibratoWave(5, 3), 255);
    struct AutoCase {
        int32_t position;
        int32_t type;
        int32_t value;
    };
    constexpr AutoCase cases[] = {
        {0, 0, 0}, {64, 0, 63}, {192, 0, -63},   // sine, -63..63
        {0, 1, 64}, {127, 1, 64}, {128, 1, -64},  // square
        {0, 2, 0}, {127, 2, -64}, {128, 2, 64}, {255, 2, 0},
        {0, 3, 0}, {128, 3, 64}, {129, 3, -64}, {255, 3, -1},
        {64, 4, 0}, {200, 255, 0},                // no waveform: no automatic vibrato
    };
    for (const AutoCase& entry : cases) {
        EXPECT_EQ(autoVibratoWave(entry.position, entry.type), entry.value) << entry.position << " " << entry.type;
    }
}

TEST_F(PlayerTest, DamagedSongStaysInsideItsTables)
{
    TestSong test(3, false, 2);
    test.addPattern(4);
    Instrument& instrument = test.addInstrument(musictest::constantSample(100, 1000), loopPingPong, 10, 90, 64);
    instrument.vibratoType = 9;
    instrument.vibratoDepth = 15;
    instrument.volumePoints = 200;        // more points than stored
    instrument.volumeType = 7;
    instrument.volumeLoopStart = 40;      // loop and sustain beyond the points
    instrument.volumeLoopEnd = 11;
    instrument.volumeSustain = 90;
    instrument.volumeEnvelope[3].value = 60000;   // far above 64
    instrument.panningPoints = 12;
    instrument.panningType = 1;
    test.cell(0, 0, 0) = noteCell(noteC4, 1, 0x15, 0xFF);
    test.cell(0, 0, 1) = noteCell(120, 1, 0xE, 0x5F);    // a note beyond the keymap
    test.cell(0, 0, 2) = noteCell(noteC4, 100, 0xF, 0);   // an instrument beyond the song's; speed 0
    test.cell(0, 1, 0) = noteCell(1, 1, 0xE, 0x1F);       // fine slides toward huge frequencies
    test.cell(0, 2, 0) = noteCell(0, 0, 0xD, 0x63);       // a break beyond every pattern's rows
    test.cell(0, 3, 1) = noteCell(noteC4, 1, 0xE, 0x64);
    test.song.orderTable[1] = 9;                          // a pattern the song does not have
    test.song.songLength = 2;
    test.song.restartPosition = 7;
    Song& song = test.finish();
    start(song);
    for (int32_t block = 0; block < 400; ++block) {
        renderBlock();
        ASSERT_GE(song.orderPosition, 0);
        ASSERT_LT(song.orderPosition, 2);
        ASSERT_LT(song.row, 4);
        for (const Channel& channel : replayer.channels) {
            ASSERT_GE(channel.volumeEnvelopeOutput, 0);
            ASSERT_LE(channel.volumeEnvelopeOutput, 64);
        }
    }
    EXPECT_EQ(emptySample.finetune, 0);        // E5 leaves the shared empty sample alone
    EXPECT_EQ(mixer.voices[2].sample, nullptr);   // the empty sample stopped at once
}

}  // namespace
