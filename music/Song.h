// An XM module in memory with its playback state: Song, Pattern, Cell,
// Instrument, EnvelopePoint and Sample. Loaded on the main thread; the
// playback fields are touched only by the thread that renders (the feeder).
#pragma once

#include <cstdint>

struct Song;

using TickFunction = void (*)(Song& song);

struct Cell {
    uint8_t note;          // 0 none, 1..96 (1 = C-0), 255 key off
    uint8_t instrument;    // 0 none, 1..128
    uint8_t volume;        // volume-column byte as in the file
    uint8_t effect;        // 0..35 (A..Z are 10..35)
    uint8_t parameter;
};

struct Pattern {
    uint32_t rows;
    Cell* cells;           // rows x channelCount, row after row; owned
};

struct EnvelopePoint {
    uint16_t tick;
    uint16_t value;
};

constexpr int32_t envelopePointCount = 12;
constexpr int32_t instrumentSampleSlots = 16;
constexpr int32_t keymapNotes = 96;
constexpr uint8_t noteKeyOff = 255;
constexpr int32_t maxInstruments = 128;   // a cell's instrument byte reaches no further
constexpr int32_t orderTableSize = 256;   // also the longest song
constexpr int32_t maxPatternRows = 256;

struct Sample {
    int16_t* data;         // length + 8 values, guard values behind the end; owned; null when length is 0
    uint32_t length;       // samples
    uint32_t loopStart;
    uint32_t loopLength;   // without a loop: loopStart 0 and loopLength == length
    uint8_t volume;        // 0..64
    int8_t finetune;
    uint32_t panning;      // 0..255
    uint8_t loopKind;      // 1 none, 2 forward, 4 ping-pong
    int8_t relativeNote;
};

constexpr uint8_t loopNone = 1;
constexpr uint8_t loopForward = 2;
constexpr uint8_t loopPingPong = 4;

struct Instrument {
    uint32_t sampleCount;                          // 0..16
    Sample* samples[instrumentSampleSlots];        // below sampleCount owned, the rest emptySample
    uint8_t keymap[keymapNotes];
    EnvelopePoint volumeEnvelope[envelopePointCount];
    EnvelopePoint panningEnvelope[envelopePointCount];
    uint8_t volumePoints;
    uint8_t panningPoints;
    uint8_t volumeSustain;
    uint8_t volumeLoopStart;
    uint8_t volumeLoopEnd;
    uint8_t panningSustain;
    uint8_t panningLoopStart;
    uint8_t panningLoopEnd;
    uint8_t volumeType;    // bit 0 on, bit 1 sustain, bit 2 loop
    uint8_t panningType;
    uint8_t vibratoType;
    uint8_t vibratoSweep;
    uint8_t vibratoDepth;
    uint8_t vibratoRate;
    uint16_t fadeout;      // taken from 65536 per tick after key off: twice the file's value
};

constexpr int32_t maxChannels = 32;

struct Song {
    Pattern* patterns;             // patternCount of them; owned
    Instrument* instruments;       // instrumentCount of them; owned
    int32_t samplesToTick;         // output frames left until the next tick
    int32_t samplesPerTick;
    int16_t songLength;            // 1..256 order entries
    int16_t restartPosition;       // below songLength
    int16_t channelCount;          // 1..32
    int32_t usedPatterns;
    int32_t patternCount;
    int16_t instrumentCount;
    uint16_t flags;                // bit 0: linear frequency table
    int16_t defaultSpeed;
    int16_t defaultBpm;
    uint8_t orderTable[orderTableSize];
    uint8_t initialGlobalVolume;
    int32_t globalVolume;          // 0..64
    uint8_t globalVolumeSlide;
    int32_t tick;                  // 0 is the row tick
    int32_t speed;                 // ticks per row
    int32_t row;
    int32_t orderPosition;
    int32_t patternDelayTicks;
    int32_t nextRow;               // -1 none
    int32_t nextOrder;             // -1 none
    TickFunction tickFunction;
};

// Shared all-zero records, owned by no Song.
extern Instrument emptyInstrument;
extern Sample emptySample;
