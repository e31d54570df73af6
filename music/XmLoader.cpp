// The XM loader: signature, module header, order table and patterns; the
// instruments follow in XmInstruments.cpp. Whatever the file says, nothing is
// read or written outside what was allocated for it. Main thread.
#include <cstdlib>
#include <cstring>

#include "music/Replayer.h"
#include "music/SongApi.h"
#include "music/XmLoad.h"

namespace {

constexpr char signature[] = "Extended Module: ";
constexpr int32_t signatureBytes = 17;
static_assert(sizeof(signature) == signatureBytes + 1);

constexpr int32_t headerOffset = 60;          // the header size field; sizes count from here
constexpr int32_t headerFieldBytes = 20;      // size, lengths, counts, flags, tempo
constexpr int32_t standardHeaderBytes = headerFieldBytes + orderTableSize;
constexpr int32_t patternHeaderBytes = 9;     // the stored header length is not believed
constexpr int32_t emptyPatternRows = 64;
constexpr uint8_t fileKeyOff = 97;

// Tempo ranges of the tracker: speed 1..31 ticks a row, 32..255 BPM.
constexpr int16_t defaultTicksPerRow = 6;
constexpr int16_t maxTicksPerRow = 31;
constexpr int16_t defaultBeatsPerMinute = 125;
constexpr int16_t minBeatsPerMinute = 32;
constexpr int16_t maxBeatsPerMinute = 255;

struct ModuleHeader {
    uint16_t storedPatterns;
    uint16_t storedInstruments;
};

[[nodiscard]] bool hasSignature(XmInput& input)
{
    char bytes[signatureBytes];
    return input.readAll(bytes, signatureBytes) && std::memcmp(bytes, signature, signatureBytes) == 0;
}

[[nodiscard]] int16_t ticksPerRow(uint16_t fileValue)
{
    if (fileValue == 0) {
        return defaultTicksPerRow;
    }
    return fileValue > maxTicksPerRow ? maxTicksPerRow : static_cast<int16_t>(fileValue);
}

[[nodiscard]] int16_t beatsPerMinute(uint16_t fileValue)
{
    if (fileValue == 0) {
        return defaultBeatsPerMinute;
    }
    if (fileValue < minBeatsPerMinute) {
        return minBeatsPerMinute;
    }
    return fileValue > maxBeatsPerMinute ? maxBeatsPerMinute : static_cast<int16_t>(fileValue);
}

// Takes the header fields into the Song. Refuses what cannot be played: a header
// cut before the order entries in use, a song of no positions, no channels or
// more than the 32 the replayer has.
[[nodiscard]] LoadStep readModuleHeader(XmInput& input, Song& song, ModuleHeader& header)
{
    uint8_t fields[standardHeaderBytes] = {};
    if (!input.seekTo(headerOffset)) {
        return LoadStep::refused;
    }
    int64_t got = input.read(fields, standardHeaderBytes);
    XmBytes bytes{fields, static_cast<int32_t>(got)};
    uint16_t songLength = bytes.u16(4);
    uint16_t channels = bytes.u16(8);
    if (got < headerFieldBytes || songLength == 0 || channels == 0 || channels > maxChannels) {
        return LoadStep::refused;
    }
    if (songLength > orderTableSize) {
        songLength = orderTableSize;
    }
    if (got < headerFieldBytes + songLength) {
        return LoadStep::refused;
    }
    uint16_t restart = bytes.u16(6);
    song.songLength = static_cast<int16_t>(songLength);
    song.restartPosition = static_cast<int16_t>(restart < songLength ? restart : 0);
    song.channelCount = static_cast<int16_t>(channels);
    header.storedPatterns = bytes.u16(10);
    header.storedInstruments = bytes.u16(12);
    song.flags = bytes.u16(14);
    song.defaultSpeed = ticksPerRow(bytes.u16(16));
    song.defaultBpm = beatsPerMinute(bytes.u16(18));
    std::memcpy(song.orderTable, fields + headerFieldBytes, orderTableSize);

    // A header size too small for its own fields or reaching past the file is a
    // damaged field; the tracker always writes the standard size.
    int64_t patternsOffset = headerOffset + static_cast<int64_t>(bytes.u32(0));
    if (bytes.u32(0) < headerFieldBytes || patternsOffset > input.sizeBytes) {
        patternsOffset = headerOffset + standardHeaderBytes;
    }
    return input.seekTo(patternsOffset) ? LoadStep::complete : LoadStep::cutShort;
}

[[nodiscard]] int32_t usedPatternCount(const Song& song)
{
    int32_t highest = -1;
    for (int32_t position = 0; position < song.songLength; ++position) {
        if (song.orderTable[position] > highest) {
            highest = song.orderTable[position];
        }
    }
    return highest + 1;
}

// Packed cells read from a block; bytes past its end read 0, so a stream cut
// short leaves the fields it lacks empty.
struct PackedCells {
    const uint8_t* data;
    int32_t sizeBytes;
    int32_t at;

    [[nodiscard]] bool exhausted() const { return at >= sizeBytes; }
    [[nodiscard]] uint8_t next() { return at < sizeBytes ? data[at++] : 0; }
};

void decodeCell(PackedCells& packed, Cell& cell)
{
    uint8_t first = packed.next();
    if ((first & 0x80) != 0) {
        cell.note = (first & 0x01) != 0 ? packed.next() : 0;
        cell.instrument = (first & 0x02) != 0 ? packed.next() : 0;
        cell.volume = (first & 0x04) != 0 ? packed.next() : 0;
        cell.effect = (first & 0x08) != 0 ? packed.next() : 0;
        cell.parameter = (first & 0x10) != 0 ? packed.next() : 0;
    } else {
        cell.note = first;
        cell.instrument = packed.next();
        cell.volume = packed.next();
        cell.effect = packed.next();
        cell.parameter = packed.next();
    }
    if (cell.note == fileKeyOff) {
        cell.note = noteKeyOff;
    } else if (cell.note > fileKeyOff && cell.note != noteKeyOff) {
        cell.note = 0;   // beyond the keymap's 96 notes
    }
    if (cell.instrument > maxInstruments) {
        cell.instrument = 0;
    }
}

[[nodiscard]] bool allocateCells(Pattern& pattern, uint32_t rows, int32_t channels)
{
    pattern.cells = static_cast<Cell*>(std::calloc(static_cast<size_t>(rows) * channels, sizeof(Cell)));
    pattern.rows = pattern.cells != nullptr ? rows : 0;
    return pattern.cells != nullptr;
}

[[nodiscard]] LoadStep skipBytes(XmInput& input, int64_t byteCount)
{
    if (input.seekTo(input.position + byteCount)) {
        return LoadStep::complete;
    }
    (void)input.seekTo(input.sizeBytes);
    return LoadStep::cutShort;
}

// One stored pattern; a target of null skips it (pattern numbers past 255 are
// never played). The packed size bounds the decoding, and the next pattern
// begins right after the packed data whatever its cells used.
[[nodiscard]] LoadStep readPattern(XmInput& input, int32_t channels, Pattern* target)
{
    uint8_t head[patternHeaderBytes];
    if (!input.readAll(head, patternHeaderBytes)) {
        return LoadStep::cutShort;
    }
    XmBytes bytes{head, patternHeaderBytes};
    uint32_t rows = bytes.u16(5);
    uint16_t packedBytes = bytes.u16(7);
    if (target == nullptr) {
        return skipBytes(input, packedBytes);
    }
    // 0 rows would leave the replayer no row to stand on: it plays as an empty pattern.
    if (rows == 0) {
        if (!allocateCells(*target, emptyPatternRows, channels)) {
            return LoadStep::refused;
        }
        return skipBytes(input, packedBytes);
    }
    if (rows > maxPatternRows) {
        rows = maxPatternRows;
    }
    if (!allocateCells(*target, rows, channels)) {
        return LoadStep::refused;
    }
    uint8_t packedData[UINT16_MAX];
    int64_t got = input.read(packedData, packedBytes);
    PackedCells packed{packedData, static_cast<int32_t>(got), 0};
    int64_t cellCount = static_cast<int64_t>(rows) * channels;
    for (int64_t cell = 0; cell < cellCount && !packed.exhausted(); ++cell) {
        decodeCell(packed, target->cells[cell]);
    }
    return got < packedBytes ? LoadStep::cutShort : LoadStep::complete;
}

// Stored patterns in file order, then an empty 64-row pattern for every number
// that has none: named by the order table but not stored, or cut off by the file's end.
[[nodiscard]] LoadStep readPatterns(XmInput& input, Song& song, uint16_t storedPatterns, LoadStep headerStep)
{
    song.usedPatterns = usedPatternCount(song);
    int32_t keptStored = storedPatterns < orderTableSize ? storedPatterns : orderTableSize;
    song.patternCount = song.usedPatterns > keptStored ? song.usedPatterns : keptStored;
    song.patterns = static_cast<Pattern*>(std::calloc(static_cast<size_t>(song.patternCount), sizeof(Pattern)));
    if (song.patterns == nullptr) {
        return LoadStep::refused;
    }
    LoadStep step = headerStep;
    for (int32_t number = 0; number < storedPatterns && step == LoadStep::complete; ++number) {
        Pattern* target = number < keptStored ? &song.patterns[number] : nullptr;
        step = readPattern(input, song.channelCount, target);
    }
    if (step == LoadStep::refused) {
        return step;
    }
    for (int32_t number = 0; number < song.patternCount; ++number) {
        if (song.patterns[number].cells == nullptr &&
            !allocateCells(song.patterns[number], emptyPatternRows, song.channelCount)) {
            return LoadStep::refused;
        }
    }
    return step;
}

}  // namespace

bool loadXm(Song& song, SongFile* file)
{
    XmInput input{};
    if (file == nullptr || !input.start(file) || !hasSignature(input)) {
        return false;
    }
    song.tickFunction = playTick;
    song.initialGlobalVolume = 64;
    ModuleHeader header{};
    LoadStep step = readModuleHeader(input, song, header);
    if (step == LoadStep::refused) {
        return false;
    }
    step = readPatterns(input, song, header.storedPatterns, step);
    if (step == LoadStep::refused) {
        return false;
    }
    int32_t instruments = header.storedInstruments < maxInstruments ? header.storedInstruments : maxInstruments;
    if (!allocateInstruments(song, instruments)) {
        return false;
    }
    // After a cut the instruments stay empty: they sound as silence.
    return step == LoadStep::cutShort || readInstruments(input, song) != LoadStep::refused;
}
