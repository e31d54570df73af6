// The software mixer: resamples the 64 voices into the float twin of the
// output ring, with volume ramps and sample loops, calls the replayer at exact
// tick positions, and converts finished blocks to 16-bit stereo. Runs on one
// thread at a time: the feeder, or the caller of playSong while it pre-fills.
#pragma once

#include <cstdint>

#include "music/Voice.h"

struct Mixer {
    Voice voices[voiceCount];
    int32_t rampLength;            // frames a gain change takes: 128 at 44,100 Hz
    float rampReciprocal;          // 1 / rampLength
};

extern Mixer mixer;

// Sets the ramp constants for the rate and clears every voice (own index, step 1.0).
void resetMixer(int32_t sampleRate);
// Renders ring block soundDevice.blockIndex of soundDevice.currentSong and advances the index.
void renderBlock();
// Adds voices 0..63 into frameCount stereo frames of soundDevice.mixBuffer from firstFrame on.
void mixVoices(int32_t firstFrame, int32_t frameCount);
// Mixes one voice into frameCount stereo frames at out (left, right floats).
void mixVoice(Voice& voice, float* out, int32_t frameCount);
// Floats in 16-bit units to int16: nearest, ties to even, saturated.
void convertBlock(int16_t* destination, const float* source, int32_t frameCount);
