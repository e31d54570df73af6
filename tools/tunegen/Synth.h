// The tune's instruments, synthesised the way a SID chip sounds: band-limited
// pulse waves (one of them sweeping its width), a triangle bass, a soft
// sawtooth, and drums made of pitch sweeps and LFSR noise.
#pragma once

#include <cstdint>
#include <vector>

namespace tunegen {

// Values of one waveform cycle; cycleSamples per cycle.
constexpr int32_t cycleSamples = 64;

// The rate drums are rendered at: played on C-5 an XM sample runs at 2 x 8363 Hz.
constexpr double drumRateHz = 16726.0;

// Amplitudes are fractions of full scale (32767).
[[nodiscard]] std::vector<int16_t> pulseCycle(double duty, int32_t harmonics, double amplitude);
// cycles cycles whose width swings from wideDuty to narrowDuty and back: loops seamlessly.
[[nodiscard]] std::vector<int16_t> pulseWidthSweep(int32_t cycles, double wideDuty, double narrowDuty,
                                                   int32_t harmonics, double amplitude);
[[nodiscard]] std::vector<int16_t> triangleCycle(double amplitude);
[[nodiscard]] std::vector<int16_t> sawCycle(int32_t harmonics, double amplitude);

[[nodiscard]] std::vector<int16_t> kickDrum();
[[nodiscard]] std::vector<int16_t> snareDrum();
[[nodiscard]] std::vector<int16_t> hiHat(double seconds, double decaySeconds, double amplitude);
[[nodiscard]] std::vector<int16_t> tomDrum();

}  // namespace tunegen
