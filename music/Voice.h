// One playing sample of the mixer. 64 of them: channel k of the replayer plays
// through voice k or its twin k + 32. Written by the replayer's updateVoice and
// by the mixer, both on the rendering thread (the feeder, or playSong's caller).
#pragma once

#include <cstdint>

struct Sample;

// A 32.32 play position or step: integer samples and 2^-32 fractions joined.
using Fixed32x32 = uint64_t;
// A gain on the 0..255 scale with 8 fractional bits.
using Fixed24x8 = int32_t;
constexpr int32_t fixed24x8One = 256;

constexpr int32_t voiceCount = 64;
constexpr int32_t forward = 1;
constexpr int32_t backward = 2;   // ping-pong on its way back

struct Voice {
    int32_t index;                 // 0..63, its own place in the table
    int32_t volume;                // 0..255 scale; a channel at full volume gives 127
    int32_t panning;               // 0 right .. 255 left
    uint32_t startOffset;          // sample index where the next trigger starts
    const Sample* sample;          // null: silent
    int32_t targetLeft;            // volume x panning / 255
    int32_t targetRight;           // volume x (255 - panning) / 255
    uint32_t position;             // sample index
    uint32_t fraction;             // 2^-32 units
    uint32_t stepFraction;         // 2^-32 units
    uint32_t stepInteger;          // samples per output frame
    int32_t direction;             // forward or backward
    int32_t lastTargetLeft;        // targets the running ramp was planned for
    int32_t lastTargetRight;
    Fixed24x8 currentLeft;         // gain reached
    Fixed24x8 currentRight;
    float rampStepLeft;            // gain change per frame, in units of full gain
    float rampStepRight;
    int32_t rampFrames;            // frames left in the running ramp; 0 none
};

[[nodiscard]] inline Fixed32x32 joinFixed32x32(uint32_t integer, uint32_t fraction)
{
    return (static_cast<uint64_t>(integer) << 32) | fraction;
}

inline void splitFixed32x32(Fixed32x32 value, uint32_t& integer, uint32_t& fraction)
{
    integer = static_cast<uint32_t>(value >> 32);
    fraction = static_cast<uint32_t>(value);
}
