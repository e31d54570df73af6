// Builds XM modules in memory and writes their bytes: for tests, fuzz seeds and
// the tool that composes the game's tune. Not part of the game. The output is
// deterministic: the same Module always gives the same bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace xmwriter {

constexpr uint8_t keyOff = 97;   // the note byte of a key off, as stored

struct Cell {
    uint8_t note = 0;        // 0 none, 1..96 (1 = C-0), 97 key off
    uint8_t instrument = 0;  // 0 none, 1..128
    uint8_t volume = 0;      // volume-column byte
    uint8_t effect = 0;      // 0..35 (A..Z are 10..35)
    uint8_t parameter = 0;
};

struct Pattern {
    int32_t rows = 64;
    int32_t channels = 0;     // width of cells; columns the module has beyond it are empty
    std::vector<Cell> cells;  // row after row

    [[nodiscard]] static Pattern blank(int32_t rows, int32_t channels);
    Cell& at(int32_t row, int32_t channel) { return cells[static_cast<size_t>(row * channels + channel)]; }
};

struct EnvelopePoint {
    uint16_t tick = 0;
    uint16_t value = 0;       // 0..64
};

struct Envelope {
    std::vector<EnvelopePoint> points;   // at most 12 are stored
    bool on = false;
    bool sustainOn = false;
    bool loopOn = false;
    uint8_t sustain = 0;                 // point indices
    uint8_t loopStart = 0;
    uint8_t loopEnd = 0;
};

enum class Loop : uint8_t { none, forward, pingPong };

struct Sample {
    std::string name;
    std::vector<int16_t> pcm;   // the values; an 8-bit sample stores the high byte of each
    bool sixteenBit = false;
    Loop loop = Loop::none;
    uint32_t loopStart = 0;     // in values
    uint32_t loopLength = 0;
    uint8_t volume = 64;
    int8_t finetune = 0;
    uint8_t panning = 128;
    int8_t relativeNote = 0;
};

struct Instrument {
    std::string name;
    std::vector<Sample> samples;             // at most 16
    std::array<uint8_t, 96> keymap{};        // sample number for each note
    Envelope volumeEnvelope;
    Envelope panningEnvelope;
    uint8_t vibratoType = 0;                 // 0 sine, 1 square, 2 ramp down, 3 ramp up
    uint8_t vibratoSweep = 0;
    uint8_t vibratoDepth = 0;
    uint8_t vibratoRate = 0;
    uint16_t fadeout = 0;                    // as stored; the player takes twice this per tick
};

struct Module {
    std::string name;
    std::string tracker = "Karvex xmwriter";
    uint16_t channels = 4;
    std::vector<uint8_t> order{0};           // pattern of each song position; at most 256
    uint16_t restartPosition = 0;
    bool linearFrequencies = true;
    uint16_t speed = 6;                      // ticks per row
    uint16_t bpm = 125;
    std::vector<Pattern> patterns;
    std::vector<Instrument> instruments;
};

// Where the writer put each structure, for tests that damage a file on purpose.
struct Layout {
    std::vector<size_t> patterns;                      // pattern headers
    std::vector<size_t> instruments;                   // instrument headers
    std::vector<std::vector<size_t>> sampleHeaders;    // per instrument
    std::vector<std::vector<size_t>> sampleData;       // per instrument
};

constexpr size_t headerSizeOffset = 60;      // module header fields, from the file's start
constexpr size_t songLengthOffset = 64;
constexpr size_t restartOffset = 66;
constexpr size_t channelsOffset = 68;
constexpr size_t patternCountOffset = 70;
constexpr size_t instrumentCountOffset = 72;
constexpr size_t speedOffset = 76;
constexpr size_t bpmOffset = 78;
constexpr size_t orderTableOffset = 80;

[[nodiscard]] std::vector<uint8_t> writeXm(const Module& module, Layout* layout = nullptr);
// False when the file cannot be written whole.
[[nodiscard]] bool writeXmFile(const Module& module, const std::string& path);

// Little-endian patches of written bytes.
void put16(std::vector<uint8_t>& bytes, size_t offset, uint16_t value);
void put32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value);

// A single-cycle waveform for quick instruments: length values of a sine at full scale.
[[nodiscard]] std::vector<int16_t> sineCycle(int32_t length);

}  // namespace xmwriter
