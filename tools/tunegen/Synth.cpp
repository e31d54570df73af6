// Waveform and drum synthesis for the tune. Deterministic: no clocks, no
// unseeded randomness, so the module is byte-identical on every build.
#include "tools/tunegen/Synth.h"

#include <cmath>

namespace tunegen {

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double fullScale = 32767.0;

int16_t toPcm(double value)
{
    double scaled = std::round(value * fullScale);
    if (scaled > fullScale) {
        scaled = fullScale;
    }
    if (scaled < -fullScale) {
        scaled = -fullScale;
    }
    return static_cast<int16_t>(scaled);
}

// The SID's noise source: a 23-bit shift register with taps 17 and 22.
struct Lfsr {
    uint32_t bits = 0x7FFFF8;

    double next()
    {
        uint32_t feedback = ((bits >> 22) ^ (bits >> 17)) & 1u;
        bits = ((bits << 1) | feedback) & 0x7FFFFF;
        return static_cast<double>(bits & 0xFFFF) / 32767.5 - 1.0;
    }
};

// Lanczos sigma factor: tames the ringing of a cut-off Fourier series.
double sigma(int32_t k, int32_t harmonics)
{
    double x = pi * k / (harmonics + 1);
    return std::sin(x) / x;
}

// One cycle of a pulse of the given duty at phase t (0..1), DC removed.
double pulseAt(double t, double duty, int32_t harmonics)
{
    double sum = 0.0;
    for (int32_t k = 1; k <= harmonics; k++) {
        double coefficient = 4.0 / (k * pi) * std::sin(k * pi * duty);
        sum += sigma(k, harmonics) * coefficient * std::cos(2.0 * pi * k * (t - duty / 2.0));
    }
    return sum / 2.0;
}

std::vector<int16_t> normalised(const std::vector<double>& values, double amplitude)
{
    double peak = 1e-9;
    for (double value : values) {
        peak = std::fmax(peak, std::fabs(value));
    }
    std::vector<int16_t> pcm;
    pcm.reserve(values.size());
    for (double value : values) {
        pcm.push_back(toPcm(value / peak * amplitude));
    }
    return pcm;
}

}  // namespace

std::vector<int16_t> pulseCycle(double duty, int32_t harmonics, double amplitude)
{
    std::vector<double> values;
    for (int32_t i = 0; i < cycleSamples; i++) {
        values.push_back(pulseAt(static_cast<double>(i) / cycleSamples, duty, harmonics));
    }
    return normalised(values, amplitude);
}

std::vector<int16_t> pulseWidthSweep(int32_t cycles, double wideDuty, double narrowDuty, int32_t harmonics,
                                     double amplitude)
{
    std::vector<double> values;
    for (int32_t cycle = 0; cycle < cycles; cycle++) {
        for (int32_t i = 0; i < cycleSamples; i++) {
            // The width follows a raised cosine across the whole loop, so its end meets its start.
            double position = (cycle * cycleSamples + i) / static_cast<double>(cycles * cycleSamples);
            double swing = 0.5 - 0.5 * std::cos(2.0 * pi * position);
            double duty = wideDuty + (narrowDuty - wideDuty) * swing;
            values.push_back(pulseAt(static_cast<double>(i) / cycleSamples, duty, harmonics));
        }
    }
    return normalised(values, amplitude);
}

std::vector<int16_t> triangleCycle(double amplitude)
{
    std::vector<double> values;
    for (int32_t i = 0; i < cycleSamples; i++) {
        double t = static_cast<double>(i) / cycleSamples;
        values.push_back(t < 0.5 ? 4.0 * t - 1.0 : 3.0 - 4.0 * t);
    }
    return normalised(values, amplitude);
}

std::vector<int16_t> sawCycle(int32_t harmonics, double amplitude)
{
    std::vector<double> values;
    for (int32_t i = 0; i < cycleSamples; i++) {
        double t = static_cast<double>(i) / cycleSamples;
        double sum = 0.0;
        for (int32_t k = 1; k <= harmonics; k++) {
            sum += sigma(k, harmonics) * std::sin(2.0 * pi * k * t) / k;
        }
        values.push_back(sum);
    }
    return normalised(values, amplitude);
}

namespace {

// A sine whose pitch falls from floorHz + sweepHz towards floorHz, fading out.
struct PitchSweep {
    double seconds;
    double floorHz;
    double sweepHz;
    double sweepSeconds;
    double decaySeconds;
    double amplitude;
};

std::vector<int16_t> pitchSweepDrum(const PitchSweep& drum)
{
    const int32_t length = static_cast<int32_t>(drumRateHz * drum.seconds);
    std::vector<double> values;
    double phase = 0.0;
    for (int32_t i = 0; i < length; i++) {
        double t = i / drumRateHz;
        double frequencyHz = drum.floorHz + drum.sweepHz * std::exp(-t / drum.sweepSeconds);
        phase += 2.0 * pi * frequencyHz / drumRateHz;
        double body = std::sin(phase) * std::exp(-t / drum.decaySeconds);
        // A soft attack over the first 1.5 ms keeps the start from clicking.
        double attack = std::fmin(1.0, t / 0.0015);
        values.push_back(body * attack);
    }
    return normalised(values, drum.amplitude);
}

}  // namespace

std::vector<int16_t> kickDrum()
{
    return pitchSweepDrum({0.32, 46.0, 115.0, 0.028, 0.11, 0.82});
}

std::vector<int16_t> snareDrum()
{
    const int32_t length = static_cast<int32_t>(drumRateHz * 0.24);
    std::vector<double> values;
    Lfsr noise;
    double smoothed = 0.0;
    double phase = 0.0;
    for (int32_t i = 0; i < length; i++) {
        double t = i / drumRateHz;
        // A one-pole low-pass takes the fizz off the noise.
        smoothed += 0.45 * (noise.next() - smoothed);
        double frequencyHz = 185.0 + 40.0 * std::exp(-t / 0.01);
        phase += 2.0 * pi * frequencyHz / drumRateHz;
        double tone = std::sin(phase) * std::exp(-t / 0.035);
        double rattle = smoothed * std::exp(-t / 0.055);
        double attack = std::fmin(1.0, t / 0.001);
        values.push_back((0.55 * tone + 0.75 * rattle) * attack);
    }
    return normalised(values, 0.7);
}

std::vector<int16_t> hiHat(double seconds, double decaySeconds, double amplitude)
{
    const int32_t length = static_cast<int32_t>(drumRateHz * seconds);
    std::vector<double> values;
    Lfsr noise;
    double previous = 0.0;
    double smoothed = 0.0;
    for (int32_t i = 0; i < length; i++) {
        double t = i / drumRateHz;
        double white = noise.next();
        // A first difference keeps the top of the noise, a light low-pass its harshest edge off.
        double high = white - previous;
        previous = white;
        smoothed += 0.6 * (high - smoothed);
        double attack = std::fmin(1.0, t / 0.0008);
        values.push_back(smoothed * std::exp(-t / decaySeconds) * attack);
    }
    return normalised(values, amplitude);
}

std::vector<int16_t> tomDrum()
{
    return pitchSweepDrum({0.3, 95.0, 70.0, 0.05, 0.09, 0.75});
}

}  // namespace tunegen
