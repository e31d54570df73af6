// The replayer's state for one pattern channel; the player has 32 of them.
// Rendering thread only (the feeder, or playSong's caller while it pre-fills).
#pragma once

#include <cstdint>

struct Voice;

// Changes updateVoice carries out, collected during a tick.
constexpr uint8_t updateFrequency = 1;
constexpr uint8_t updateVolume = 2;
constexpr uint8_t updatePanning = 4;
constexpr uint8_t updateTrigger = 8;    // start the sample anew
constexpr uint8_t updateRewind = 32;    // play position back to 0

// A value with 16 fraction bits (envelopes).
using Fixed16x16 = int32_t;

struct Channel {
    uint8_t note;                      // 0-based, the keymap index
    uint8_t updates;
    Voice* voice;                      // voice c or its twin c + 32
    int32_t period;
    int32_t volume;                    // normally 0..64
    int32_t panning;                   // normally 0..255
    int32_t volumeDelta;               // this tick's tremolo or tremor offset
    int32_t periodDelta;               // this tick's vibrato, arpeggio or automatic vibrato offset
    int32_t volumeEnvelopeTick;
    int32_t volumeEnvelopePoint;       // next point to reach
    Fixed16x16 volumeEnvelopeValue;
    int32_t volumeEnvelopeOutput;      // 0..64
    Fixed16x16 volumeEnvelopeSlope;    // per tick
    uint8_t volumeEnvelopeDone;
    int32_t panningEnvelopeTick;
    int32_t panningEnvelopePoint;
    Fixed16x16 panningEnvelopeValue;
    int32_t panningEnvelopeOutput;     // 0..64, 32 neutral
    Fixed16x16 panningEnvelopeSlope;
    uint8_t panningEnvelopeDone;
    int32_t fadeoutVolume;             // 65536 down to 0 after key off
    int32_t autoVibratoPosition;       // 0..255
    int32_t autoVibratoSweep;          // ticks since the instrument started, up to its sweep
    uint8_t keyReleased;
    uint8_t instrument;                // 0-based
    uint8_t realNote;                  // note + relative note, modulo 256
    int32_t notePeriod;                // period of the last note
    uint8_t lastEffect;                // effect of the previous row
    int32_t sampleOffsetMemory;
    uint8_t portaDownMemory;
    uint8_t portaUpMemory;
    uint8_t extraFineDownMemory;
    uint8_t extraFineUpMemory;
    uint8_t volumeSlideMemory;         // shared by A, 5 and 6
    uint8_t panningSlideMemory;
    uint8_t retrigVolumeMode;
    uint8_t retrigInterval;
    int32_t portaTarget;
    uint8_t portaSpeed;                // shared by 3 and the volume column's portamento
    int8_t vibratoPosition;            // -32..31
    uint8_t vibratoSpeed;
    uint8_t vibratoDepth;
    int8_t tremoloPosition;            // -32..31
    uint8_t tremoloSpeed;
    uint8_t tremoloDepth;
    uint8_t tremorCounter;
    uint8_t tremorOn;                  // sounding ticks of the cycle
    uint8_t tremorOff;                 // silent ticks of the cycle
    int32_t loopStartRow;
    int32_t loopCounter;
    uint8_t waveforms;                 // low nibble vibrato, high nibble tremolo: bits 0-1 shape, bit 2 keep position
    uint8_t fineVolumeSlideMemory;     // shared by EA and EB
    uint8_t finePortaUpMemory;
    uint8_t finePortaDownMemory;
};
