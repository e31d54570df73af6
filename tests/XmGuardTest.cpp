// The loader against damaged and odd modules: it refuses only what cannot be
// played, and whatever it hands over keeps every promise to the player (checked
// in loadXmBytes), so that nothing is read or written outside its allocation.
#include <gtest/gtest.h>

#include <functional>

#include "XmTestSupport.h"

namespace {

struct XmGuard : ::testing::Test {
    void TearDown() override
    {
        memoryfiles::reset();
        setFileCallbacks(nullptr, nullptr, nullptr, nullptr, nullptr);
    }
};

using Patch = std::function<void(std::vector<uint8_t>&)>;

Patch put16At(size_t offset, uint16_t value)
{
    return [=](std::vector<uint8_t>& bytes) { xmwriter::put16(bytes, offset, value); };
}

Patch put32At(size_t offset, uint32_t value)
{
    return [=](std::vector<uint8_t>& bytes) { xmwriter::put32(bytes, offset, value); };
}

Patch cutTo(size_t length)
{
    return [=](std::vector<uint8_t>& bytes) { bytes.resize(length); };
}

// One pattern of 4 rows with a note, one instrument with a 4-value sample.
constexpr size_t smallSongLength = 1;

struct HeaderCase {
    const char* what;
    Patch patch;
    bool loads;
    std::function<void(const Song&)> check;
};

TEST_F(XmGuard, ModuleHeader)
{
    const auto none = [](const Song&) {};
    const HeaderCase cases[] = {
        {"song length 0", put16At(xmwriter::songLengthOffset, 0), false, none},
        {"no channels", put16At(xmwriter::channelsOffset, 0), false, none},
        {"33 channels", put16At(xmwriter::channelsOffset, 33), false, none},
        {"channel count read as negative", put16At(xmwriter::channelsOffset, 0x8002), false, none},
        {"cut inside the header fields", cutTo(75), false, none},
        {"cut inside the order entries in use", cutTo(xmwriter::orderTableOffset + smallSongLength - 1), false, none},
        {"cut right after the order entries in use", cutTo(xmwriter::orderTableOffset + smallSongLength), true,
         [](const Song& song) {
             EXPECT_EQ(song.patterns[0].rows, 64u) << "no pattern stored: an empty one";
             EXPECT_EQ(song.instruments[0].sampleCount, 0u) << "no instrument stored: silence";
         }},
        {"song length above 256", put16At(xmwriter::songLengthOffset, 300), true,
         [](const Song& song) { EXPECT_EQ(song.songLength, 256); }},
        {"restart at the song's end", put16At(xmwriter::restartOffset, 1), true,
         [](const Song& song) { EXPECT_EQ(song.restartPosition, 0); }},
        {"header size below its own fields", put32At(xmwriter::headerSizeOffset, 0), true,
         [](const Song& song) { EXPECT_EQ(song.patterns[0].cells[0].note, 49) << "patterns found at 336"; }},
        {"header size past the file", put32At(xmwriter::headerSizeOffset, 0x7FFFFFF0), true,
         [](const Song& song) { EXPECT_EQ(song.patterns[0].cells[0].note, 49); }},
        {"speed 0", put16At(xmwriter::speedOffset, 0), true,
         [](const Song& song) { EXPECT_EQ(song.defaultSpeed, 6); }},
        {"speed above 31", put16At(xmwriter::speedOffset, 40), true,
         [](const Song& song) { EXPECT_EQ(song.defaultSpeed, 31); }},
        {"BPM 0", put16At(xmwriter::bpmOffset, 0), true, [](const Song& song) { EXPECT_EQ(song.defaultBpm, 125); }},
        {"BPM below 32", put16At(xmwriter::bpmOffset, 20), true,
         [](const Song& song) { EXPECT_EQ(song.defaultBpm, 32); }},
        {"BPM read as negative", put16At(xmwriter::bpmOffset, 0x8000), true,
         [](const Song& song) { EXPECT_EQ(song.defaultBpm, 255); }},
    };
    for (const HeaderCase& headerCase : cases) {
        std::vector<uint8_t> bytes = xmwriter::writeXm(smallModule());
        headerCase.patch(bytes);
        SongPtr song = loadXmBytes(bytes);
        ASSERT_EQ(song != nullptr, headerCase.loads) << headerCase.what;
        if (song != nullptr) {
            headerCase.check(*song);
        }
        EXPECT_EQ(memoryfiles::openStreams(), 0) << headerCase.what;
    }
}

TEST_F(XmGuard, ThirtyTwoChannelsLoad)
{
    xmwriter::Module module = smallModule();
    module.channels = 32;
    module.patterns[0] = xmwriter::Pattern::blank(2, 32);
    module.patterns[0].at(1, 31) = {12, 1, 0, 0, 0};
    SongPtr song = loadXmBytes(xmwriter::writeXm(module));
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->patterns[0].cells[63].note, 12);
}

// Two stored patterns, the first with notes in every row, so that a damaged first
// pattern shows whether the second is still found where it is.
xmwriter::Module twoPatterns()
{
    xmwriter::Module module = smallModule();
    xmwriter::Pattern first = xmwriter::Pattern::blank(4, 2);
    for (int32_t row = 0; row < 4; ++row) {
        first.at(row, 0) = {static_cast<uint8_t>(row + 1), 1, 0, 0, 0};
    }
    xmwriter::Pattern second = xmwriter::Pattern::blank(2, 2);
    second.at(1, 1) = {60, 1, 0, 0, 0};
    module.patterns = {first, second};
    module.order = {0, 1};
    return module;
}

struct PatternCase {
    const char* what;
    std::function<void(std::vector<uint8_t>&, const xmwriter::Layout&)> damage;
    uint32_t firstRows;
    int32_t firstNotes;   // rows of the first pattern that keep their note
};

TEST_F(XmGuard, DamagedPatterns)
{
    const PatternCase cases[] = {
        {"0 rows: an empty pattern of 64, its data skipped",
         [](std::vector<uint8_t>& bytes, const xmwriter::Layout& layout) {
             xmwriter::put16(bytes, layout.patterns[0] + 5, 0);
         }, 64, 0},
        {"300 rows: 256 kept, the cells past the data empty",
         [](std::vector<uint8_t>& bytes, const xmwriter::Layout& layout) {
             xmwriter::put16(bytes, layout.patterns[0] + 5, 300);
         }, 256, 4},
        {"packed data cut short: the cells it lacks are empty",
         [](std::vector<uint8_t>& bytes, const xmwriter::Layout& layout) {
             // The last row is 0x83 note instrument + 0x80: drop it whole.
             size_t end = layout.patterns[1];
             bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(end - 4), bytes.begin() + static_cast<std::ptrdiff_t>(end));
             size_t sizeField = layout.patterns[0] + 7;
             xmwriter::put16(bytes, sizeField, static_cast<uint16_t>(bytes[sizeField] - 4));
         }, 4, 3},
        {"packed data longer than its cells: the rest is skipped",
         [](std::vector<uint8_t>& bytes, const xmwriter::Layout& layout) {
             bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(layout.patterns[1]), {0x81, 0x60, 0x99});
             size_t sizeField = layout.patterns[0] + 7;
             xmwriter::put16(bytes, sizeField, static_cast<uint16_t>(bytes[sizeField] + 3));
         }, 4, 4},
        {"header length field is not believed",
         [](std::vector<uint8_t>& bytes, const xmwriter::Layout& layout) {
             xmwriter::put32(bytes, layout.patterns[0], 0xFFFFFFFF);
         }, 4, 4},
    };
    for (const PatternCase& patternCase : cases) {
        xmwriter::Layout layout;
        std::vector<uint8_t> bytes = xmwriter::writeXm(twoPatterns(), &layout);
        patternCase.damage(bytes, layout);
        SongPtr song = loadXmBytes(bytes);
        ASSERT_NE(song, nullptr) << patternCase.what;
        const Pattern& first = song->patterns[0];
        ASSERT_EQ(first.rows, patternCase.firstRows) << patternCase.what;
        for (int32_t row = 0; row < static_cast<int32_t>(first.rows); ++row) {
            uint8_t expected = row < patternCase.firstNotes ? static_cast<uint8_t>(row + 1) : 0;
            EXPECT_EQ(first.cells[row * 2].note, expected) << patternCase.what << ", row " << row;
        }
        ASSERT_EQ(song->patterns[1].rows, 2u) << patternCase.what;
        EXPECT_EQ(song->patterns[1].cells[3].note, 60) << patternCase.what;
        EXPECT_EQ(song->instruments[0].samples[0]->length, 4u) << patternCase.what;
    }
}

TEST_F(XmGuard, PatternsNoOrderEntryCanNameAreSkipped)
{
    xmwriter::Module module = smallModule();
    module.patterns.assign(257, xmwriter::Pattern::blank(1, 2));
    module.patterns[256].at(0, 0) = {1, 1, 0, 0, 0};   // its data must be stepped over
    module.order = {255};
    SongPtr song = loadXmBytes(xmwriter::writeXm(module));
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->patternCount, 256);
    EXPECT_EQ(song->usedPatterns, 256);
    EXPECT_EQ(song->instruments[0].samples[0]->length, 4u);
}

TEST_F(XmGuard, InstrumentsNoCellCanNameAreNotLoaded)
{
    xmwriter::Module module = smallModule();
    module.instruments.resize(130);
    SongPtr song = loadXmBytes(xmwriter::writeXm(module));
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->instrumentCount, 128);
}

TEST_F(XmGuard, MoreThanSixteenSamplesRefuseTheModule)
{
    xmwriter::Sample sample;
    sample.pcm = {1, 2};
    SongPtr full = loadXmBytes(xmwriter::writeXm(sampleModule(std::vector<xmwriter::Sample>(16, sample))));
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(full->instruments[0].sampleCount, 16u);

    xmwriter::Layout layout;
    std::vector<uint8_t> bytes = xmwriter::writeXm(sampleModule(std::vector<xmwriter::Sample>(16, sample)), &layout);
    xmwriter::put16(bytes, layout.instruments[0] + 27, 17);
    EXPECT_EQ(loadXmBytes(bytes), nullptr);
    EXPECT_EQ(memoryfiles::openStreams(), 0);
}

struct EnvelopeCase {
    const char* what;
    std::vector<std::pair<size_t, uint8_t>> bytes;   // offset in the instrument header, value
    uint8_t points;
    uint8_t type;
};

constexpr size_t volumePointsAt = 225;
constexpr size_t volumeSustainAt = 227;
constexpr size_t volumeLoopEndAt = 229;
constexpr size_t volumeTypeAt = 233;

TEST_F(XmGuard, EnvelopeIndicesStayInsideThePoints)
{
    const EnvelopeCase cases[] = {
        {"as written", {}, 4, 7},
        {"13 points: 12", {{volumePointsAt, 13}}, 12, 7},
        {"255 points: 12", {{volumePointsAt, 255}}, 12, 7},
        {"sustain at the count: sustain off", {{volumeSustainAt, 4}}, 4, 5},
        {"loop end past the count: loop off", {{volumeLoopEndAt, 9}}, 4, 3},
        {"loop start and sustain past a cut count", {{volumePointsAt, 2}}, 2, 1},
        {"unknown type bits are kept", {{volumeTypeAt, 0xF1}}, 4, 0xF1},
    };
    for (const EnvelopeCase& envelopeCase : cases) {
        xmwriter::Module module = smallModule();
        module.instruments[0].volumeEnvelope = {{{0, 64}, {4, 32}, {8, 48}, {12, 0}}, true, true, true, 2, 2, 3};
        xmwriter::Layout layout;
        std::vector<uint8_t> bytes = xmwriter::writeXm(module, &layout);
        for (const auto& [offset, value] : envelopeCase.bytes) {
            bytes[layout.instruments[0] + offset] = value;
        }
        SongPtr song = loadXmBytes(bytes);
        ASSERT_NE(song, nullptr) << envelopeCase.what;
        EXPECT_EQ(song->instruments[0].volumePoints, envelopeCase.points) << envelopeCase.what;
        EXPECT_EQ(song->instruments[0].volumeType, envelopeCase.type) << envelopeCase.what;
    }
}

TEST_F(XmGuard, EnvelopeValuesAndTicksStayUsable)
{
    xmwriter::Module module = smallModule();
    // Values past 64 and a point before its predecessor; the stored fadeout doubles in 16 bits.
    module.instruments[0].panningEnvelope = {{{0, 65}, {10, 0xFFFF}, {5, 20}, {20, 30}}, true, false, false, 0, 0, 0};
    module.instruments[0].fadeout = 0x8001;
    SongPtr song = loadXmBytes(xmwriter::writeXm(module));
    ASSERT_NE(song, nullptr);
    const EnvelopePoint* points = song->instruments[0].panningEnvelope;
    EXPECT_EQ(points[0].value, 64);
    EXPECT_EQ(points[1].value, 64);
    EXPECT_EQ(points[2].tick, 10) << "raised to its predecessor's tick";
    EXPECT_EQ(points[2].value, 20);
    EXPECT_EQ(points[3].tick, 20);
    EXPECT_EQ(song->instruments[0].fadeout, 2);
}

// Instrument 0 is given header size h and keeps only h bytes of its header;
// instrument 1 follows with one sample.
std::vector<uint8_t> instrumentHeaderOf(uint32_t headerBytes, bool firstHasSamples)
{
    xmwriter::Module module = smallModule();
    xmwriter::Instrument first = module.instruments[0];
    first.keymap.fill(0);
    first.keymap[10] = 1;
    if (!firstHasSamples) {
        first.samples.clear();
    }
    xmwriter::Instrument second = module.instruments[0];
    second.samples[0].pcm = {768, 1024};
    module.instruments = {first, second};
    xmwriter::Layout layout;
    std::vector<uint8_t> bytes = xmwriter::writeXm(module, &layout);
    size_t start = layout.instruments[0];
    size_t kept = headerBytes < 29 ? 29 : headerBytes;
    bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(start + kept),
                bytes.begin() + static_cast<std::ptrdiff_t>(start + 263));
    xmwriter::put32(bytes, start, headerBytes);
    return bytes;
}

TEST_F(XmGuard, InstrumentHeaderSizes)
{
    struct SizeCase {
        const char* what;
        uint32_t headerBytes;
        bool firstHasSamples;
        uint8_t keymapEntry10;
    };
    const SizeCase cases[] = {
        {"empty instrument, size 0: 29 bytes", 0, false, 0},
        {"empty instrument, size 29", 29, false, 0},
        {"empty instrument, size 33", 33, false, 0},
        {"samples, size 40: the keymap's first notes only", 40, true, 0},
        {"samples, size 50: note 10 of the keymap is stored", 50, true, 1},
        {"samples, size 128: no envelope points stored", 128, true, 1},
    };
    for (const SizeCase& sizeCase : cases) {
        SongPtr song = loadXmBytes(instrumentHeaderOf(sizeCase.headerBytes, sizeCase.firstHasSamples));
        ASSERT_NE(song, nullptr) << sizeCase.what;
        EXPECT_EQ(song->instruments[0].keymap[10], sizeCase.keymapEntry10) << sizeCase.what;
        EXPECT_EQ(song->instruments[0].sampleCount, sizeCase.firstHasSamples ? 1u : 0u) << sizeCase.what;
        ASSERT_EQ(song->instruments[1].sampleCount, 1u) << sizeCase.what;
        EXPECT_EQ(song->instruments[1].samples[0]->data[1], 1024) << sizeCase.what;
    }
}

TEST_F(XmGuard, InstrumentHeaderSizePastTheFileLeavesItEmpty)
{
    xmwriter::Layout layout;
    std::vector<uint8_t> bytes = xmwriter::writeXm(smallModule(), &layout);
    xmwriter::put32(bytes, layout.instruments[0], 0x7FFFFFFF);
    SongPtr song = loadXmBytes(bytes);
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->instruments[0].sampleCount, 0u);
    EXPECT_EQ(song->patterns[0].cells[0].note, 49);
}

TEST_F(XmGuard, OddSixteenBitLengthKeepsTheNextSampleAligned)
{
    xmwriter::Sample odd;
    odd.sixteenBit = true;
    odd.pcm = {1000, 2000, 0x7F00};
    xmwriter::Sample next;
    next.pcm = {256, 512, 768};
    xmwriter::Layout layout;
    std::vector<uint8_t> bytes = xmwriter::writeXm(sampleModule({odd, next}), &layout);
    // Five bytes: two values and one byte of a third.
    bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(layout.sampleData[0][1] - 1));
    xmwriter::put32(bytes, layout.sampleHeaders[0][0], 5);
    SongPtr song = loadXmBytes(bytes);
    ASSERT_NE(song, nullptr);
    const Sample& first = *song->instruments[0].samples[0];
    ASSERT_EQ(first.length, 2u);
    EXPECT_EQ(std::vector<int16_t>(first.data, first.data + 3), (std::vector<int16_t>{1000, 2000, 0}));
    const Sample& second = *song->instruments[0].samples[1];
    EXPECT_EQ(std::vector<int16_t>(second.data, second.data + 3), (std::vector<int16_t>{256, 512, 768}));
}

TEST_F(XmGuard, SampleVolumeAbove64Is64)
{
    xmwriter::Sample loud;
    loud.pcm = {1};
    loud.volume = 200;
    SongPtr song = loadXmBytes(xmwriter::writeXm(sampleModule({loud})));
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->instruments[0].samples[0]->volume, 64);
}

struct CutCase {
    const char* what;
    bool sixteenBit;
    size_t keptBytes;                 // of the sample's data
    std::vector<int16_t> expected;    // its values, then one behind
};

TEST_F(XmGuard, SampleDataCutShortKeepsWhatWasRead)
{
    const CutCase cases[] = {
        {"8-bit, two of five bytes", false, 2, {256, 512, 0, 0, 0, 0}},
        {"8-bit, nothing", false, 0, {0, 0, 0, 0, 0, 0}},
        {"16-bit, two values and a half", true, 5, {256, 512, 0, 0, 0, 0}},
    };
    for (const CutCase& cutCase : cases) {
        xmwriter::Sample sample;
        sample.sixteenBit = cutCase.sixteenBit;
        sample.pcm = {256, 512, 768, 1024, 1280};
        sample.loop = xmwriter::Loop::forward;
        sample.loopStart = 3;
        sample.loopLength = 2;
        xmwriter::Layout layout;
        std::vector<uint8_t> bytes = xmwriter::writeXm(sampleModule({sample}), &layout);
        bytes.resize(layout.sampleData[0][0] + cutCase.keptBytes);
        SongPtr song = loadXmBytes(bytes);
        ASSERT_NE(song, nullptr) << cutCase.what;
        const Sample& loaded = *song->instruments[0].samples[0];
        ASSERT_EQ(loaded.length, 5u) << cutCase.what;
        EXPECT_EQ(loaded.loopKind, loopForward) << cutCase.what;
        EXPECT_EQ(std::vector<int16_t>(loaded.data, loaded.data + 6), cutCase.expected) << cutCase.what;
    }
}

TEST_F(XmGuard, AbsurdSampleLengthIsCutAMillionValuesPastTheFile)
{
    xmwriter::Sample sample;
    sample.pcm = {256, 512};
    sample.loop = xmwriter::Loop::forward;
    sample.loopStart = 0;
    sample.loopLength = 2;
    xmwriter::Layout layout;
    std::vector<uint8_t> bytes = xmwriter::writeXm(sampleModule({sample, sample}), &layout);
    xmwriter::put32(bytes, layout.sampleHeaders[0][0], 0xFFFFFFF0);
    xmwriter::put32(bytes, layout.sampleHeaders[0][0] + 8, 0xFFFFFF00);
    SongPtr song = loadXmBytes(bytes);
    ASSERT_NE(song, nullptr);
    const Sample& huge = *song->instruments[0].samples[0];
    // The file holds its 2 bytes and the 2 of the next sample, read as its own deltas.
    EXPECT_EQ(huge.length, 4u + (1u << 20));
    EXPECT_EQ(huge.loopLength, huge.length);
    EXPECT_EQ(std::vector<int16_t>(huge.data, huge.data + 5), (std::vector<int16_t>{256, 512, 768, 1024, 0}));
    EXPECT_EQ(song->instruments[0].samples[1]->length, 2u) << "its data lies past the file: all zero";
    EXPECT_EQ(song->instruments[0].samples[1]->data[0], 0);
}

// Every prefix of a module that uses each kind of structure: a prefix that holds
// the header and the order entries in use loads, and keeps every promise.
TEST_F(XmGuard, EveryTruncationLoadsWhatItHolds)
{
    xmwriter::Module module = twoPatterns();
    xmwriter::Instrument rich;
    rich.keymap.fill(1);
    rich.volumeEnvelope = {{{0, 64}, {4, 32}, {8, 0}}, true, true, true, 1, 0, 2};
    xmwriter::Sample eight;
    eight.pcm = {256, -256, 512, -512, 768};
    eight.loop = xmwriter::Loop::forward;
    eight.loopStart = 1;
    eight.loopLength = 3;
    xmwriter::Sample sixteen;
    sixteen.sixteenBit = true;
    sixteen.pcm = {1000, -1000, 2000, -2000};
    sixteen.loop = xmwriter::Loop::pingPong;
    sixteen.loopStart = 1;
    sixteen.loopLength = 3;
    rich.samples = {eight, sixteen};
    module.instruments.push_back(rich);
    const std::vector<uint8_t> whole = xmwriter::writeXm(module);
    const size_t headerEnd = xmwriter::orderTableOffset + module.order.size();
    for (size_t length = 0; length <= whole.size(); ++length) {
        SongPtr song = loadXmBytes(std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length)));
        ASSERT_EQ(song != nullptr, length >= headerEnd) << "cut at " << length;
        ASSERT_EQ(memoryfiles::openStreams(), 0);
    }
    SongPtr song = loadXmBytes(whole);
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->instruments[1].samples[1]->data[3], -2000);
}

}  // namespace
