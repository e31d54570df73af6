// The mixer: block rendering with ticks at exact frames, per-voice resampling
// with linear interpolation, volume ramps and loop handling, and the float to
// 16-bit conversion. Rendering thread only (feeder, or playSong's pre-fill).
#include "music/Mixer.h"

#include <cmath>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "music/Song.h"
#include "music/SoundDevice.h"

Mixer mixer{};

namespace {

// The position's top 31 fraction bits scaled to 0..1.
constexpr float fractionScale = 1.0f / 2147483648.0f;
constexpr float fullGain = 255.0f;
// Longer samples are refused: positions are compared as signed 64-bit 32.32 values.
constexpr uint32_t maxPlayableSamples = 1u << 30;

[[nodiscard]] inline float interpolate(const int16_t* data, Fixed32x32 position)
{
    const uint32_t index = static_cast<uint32_t>(position >> 32);
    const uint32_t fraction = static_cast<uint32_t>(position);
    const float first = data[index];
    const float delta = static_cast<float>(data[index + 1] - data[index]);
    return first + delta * static_cast<float>(fraction >> 1) * fractionScale;
}

// The lowest fraction bit is dropped before every step.
[[nodiscard]] inline Fixed32x32 advance(Fixed32x32 position, Fixed32x32 signedStep)
{
    return (position & ~Fixed32x32{1}) + signedStep;
}

#if defined(__SSE2__)
// Steady gains: two frames per iteration, each lane computing exactly what the
// single-frame path computes ((d0 + ((d1 - d0) x f) x 2^-31) x gain, no fused steps).
// After the first step the dropped bit is always the step's own lowest bit, so
// the later steps are one plain addition.
void mixSteady(const int16_t* data, Fixed32x32& position, Fixed32x32 signedStep, float gainLeft,
               float gainRight, float* out, int32_t frameCount)
{
    if (frameCount <= 0) {
        return;
    }
    Fixed32x32 at = position;
    const Fixed32x32 laterStep = signedStep - (signedStep & 1);
    const __m128 gains = _mm_setr_ps(gainLeft, gainRight, gainLeft, gainRight);
    const __m128 scale = _mm_set1_ps(fractionScale);
    // The first frame on its own, so that every later one moves by laterStep.
    const float value = interpolate(data, at);
    at = advance(at, signedStep);
    out[0] += value * gainLeft;
    out[1] += value * gainRight;
    out += 2;
    // Both frames' positions side by side: their top 31 fraction bits become the fractions.
    __m128i positions = _mm_set_epi64x(static_cast<int64_t>(at + laterStep), static_cast<int64_t>(at));
    const __m128i pairStep = _mm_set1_epi64x(static_cast<int64_t>(2 * laterStep));
    const __m128i fractionMask = _mm_set1_epi32(0x7FFFFFFF);
    int32_t frame = 1;
    for (; frame + 2 <= frameCount; frame += 2) {
        const Fixed32x32 first = at;
        const Fixed32x32 second = at + laterStep;
        at = second + laterStep;
        int32_t firstPair = 0;
        int32_t secondPair = 0;
        std::memcpy(&firstPair, data + (first >> 32), sizeof(firstPair));     // d[i] and d[i + 1]
        std::memcpy(&secondPair, data + (second >> 32), sizeof(secondPair));
        const __m128i words = _mm_unpacklo_epi32(_mm_cvtsi32_si128(firstPair), _mm_cvtsi32_si128(secondPair));
        const __m128i values = _mm_srai_epi32(_mm_unpacklo_epi16(words, words), 16);   // a0 a1 b0 b1
        const __m128i base = _mm_shuffle_epi32(values, _MM_SHUFFLE(2, 2, 0, 0));
        const __m128i next = _mm_shuffle_epi32(values, _MM_SHUFFLE(3, 3, 1, 1));
        const __m128i halved = _mm_and_si128(_mm_srli_epi64(positions, 1), fractionMask);
        const __m128i fractions = _mm_shuffle_epi32(halved, _MM_SHUFFLE(2, 2, 0, 0));
        positions = _mm_add_epi64(positions, pairStep);
        const __m128 lean = _mm_mul_ps(_mm_mul_ps(_mm_cvtepi32_ps(_mm_sub_epi32(next, base)), _mm_cvtepi32_ps(fractions)), scale);
        const __m128 sum = _mm_add_ps(_mm_cvtepi32_ps(base), lean);
        _mm_storeu_ps(out, _mm_add_ps(_mm_loadu_ps(out), _mm_mul_ps(sum, gains)));
        out += 4;
    }
    if (frame < frameCount) {
        const float last = interpolate(data, at);
        at += laterStep;
        out[0] += last * gainLeft;
        out[1] += last * gainRight;
    }
    position = at;
}
#else
// Steady gains: two frames per iteration, each computed exactly as the single-frame path.
void mixSteady(const int16_t* data, Fixed32x32& position, Fixed32x32 signedStep, float gainLeft,
               float gainRight, float* out, int32_t frameCount)
{
    Fixed32x32 at = position;
    int32_t frame = 0;
    for (; frame + 2 <= frameCount; frame += 2) {
        const float first = interpolate(data, at);
        at = advance(at, signedStep);
        const float second = interpolate(data, at);
        at = advance(at, signedStep);
        out[0] += first * gainLeft;
        out[1] += first * gainRight;
        out[2] += second * gainLeft;
        out[3] += second * gainRight;
        out += 4;
    }
    if (frame < frameCount) {
        const float value = interpolate(data, at);
        at = advance(at, signedStep);
        out[0] += value * gainLeft;
        out[1] += value * gainRight;
    }
    position = at;
}
#endif

// The position after frameCount steps of a silent piece, without reading the sample:
// after the first step the dropped bit is always the step's own lowest bit.
// Skipping the products adds nothing: a sum of +0.0 and +-0.0 stays what it was.
[[nodiscard]] inline Fixed32x32 advanceSilently(Fixed32x32 position, Fixed32x32 signedStep, int32_t frameCount)
{
    if (frameCount <= 0) {
        return position;
    }
    const Fixed32x32 laterStep = signedStep - (signedStep & 1);
    return (position & ~Fixed32x32{1}) + signedStep + static_cast<Fixed32x32>(frameCount - 1) * laterStep;
}

// Ramping gains: frame by frame, the gains growing after each frame.
void mixRamp(const int16_t* data, Fixed32x32& position, Fixed32x32 signedStep, float& gainLeft,
             float& gainRight, float stepLeft, float stepRight, float* out, int32_t frameCount)
{
    Fixed32x32 at = position;
    float left = gainLeft;
    float right = gainRight;
    for (int32_t frame = 0; frame < frameCount; ++frame) {
        const float value = interpolate(data, at);
        at = advance(at, signedStep);
        out[0] += value * left;
        out[1] += value * right;
        left += stepLeft;
        right += stepRight;
        out += 2;
    }
    position = at;
    gainLeft = left;
    gainRight = right;
}

[[nodiscard]] float rampStep(int32_t difference)
{
    return static_cast<float>(difference) * (1.0f / fullGain) * mixer.rampReciprocal;
}

// A new ramp whenever the targets changed since the last plan, or none runs.
void planRamp(Voice& voice)
{
    if (voice.rampFrames != 0 && voice.targetLeft == voice.lastTargetLeft &&
        voice.targetRight == voice.lastTargetRight) {
        return;
    }
    voice.lastTargetLeft = voice.targetLeft;
    voice.lastTargetRight = voice.targetRight;
    const int32_t differenceLeft = voice.targetLeft - (voice.currentLeft >> 8);
    const int32_t differenceRight = voice.targetRight - (voice.currentRight >> 8);
    voice.rampStepLeft = differenceLeft != 0 ? rampStep(differenceLeft) : 0.0f;
    voice.rampStepRight = differenceRight != 0 ? rampStep(differenceRight) : 0.0f;
    voice.rampFrames = (differenceLeft != 0 || differenceRight != 0) ? mixer.rampLength : 0;
}

void endRampPiece(Voice& voice, float gainLeft, float gainRight, int32_t pieceFrames)
{
    voice.currentLeft = static_cast<Fixed24x8>(std::lrint(gainLeft * fullGain * 256.0f));
    voice.currentRight = static_cast<Fixed24x8>(std::lrint(gainRight * fullGain * 256.0f));
    voice.rampFrames -= pieceFrames;
    if (voice.rampFrames <= 0) {
        voice.rampFrames = 0;
        voice.rampStepLeft = 0.0f;
        voice.rampStepRight = 0.0f;
        voice.currentLeft = voice.targetLeft * fixed24x8One;
        voice.currentRight = voice.targetRight * fixed24x8One;
    }
}

[[nodiscard]] uint32_t loopEnd(const Sample& sample)
{
    return sample.loopStart + sample.loopLength;
}

// Past the playable range in the voice's direction: at or beyond the end going
// forward, below the loop start going backward (the position may have wrapped below 0).
[[nodiscard]] bool outsideRange(const Voice& voice, const Sample& sample, Fixed32x32 position)
{
    if (voice.direction == forward) {
        return position >= joinFixed32x32(loopEnd(sample), 0);
    }
    return static_cast<int64_t>(position - joinFixed32x32(sample.loopStart, 0)) < 0;
}

// Frames until the position reaches or crosses the boundary in its direction,
// given that it lies inside. The count uses the step with 24 fraction bits, then
// is cut to the frames whose reads all stay inside the sample: a step of 256 or
// more, a quotient beyond 32 bits and the lowest fraction bit dropped per frame
// cannot take a read past the data.
[[nodiscard]] uint64_t framesToBoundary(const Voice& voice, const Sample& sample, Fixed32x32 position)
{
    Fixed32x32 step = joinFixed32x32(voice.stepInteger, voice.stepFraction);
    if (step == 0) {
        step = 1;
    }
    const bool goingForward = voice.direction == forward;
    const Fixed32x32 distance = goingForward ? joinFixed32x32(loopEnd(sample), 0) - position
                                             : position - joinFixed32x32(sample.loopStart, 0);
    uint64_t step24 = (static_cast<uint64_t>(voice.stepInteger) << 24) + (voice.stepFraction >> 8);
    if (step24 == 0) {
        step24 = 1;
    }
    const uint64_t scaled = distance >> 8;
    uint64_t frames = scaled / step24 + (scaled % step24 != 0 ? 1 : 0);
    if (frames < 1) {
        frames = 1;
    }
    // Every frame but the last must read inside: forward below the end, backward not
    // below the loop start even with the dropped bit taken off at each step.
    const unsigned __int128 perFrame = goingForward ? step : static_cast<unsigned __int128>(step) + 1;
    while (frames > 1 && static_cast<unsigned __int128>(frames - 1) * perFrame >= distance + (goingForward ? 0 : 1)) {
        frames--;
    }
    return frames;
}

// Brings a position that left the playable range back inside, or stops the voice.
void handleBoundary(Voice& voice, const Sample& sample, Fixed32x32& position)
{
    const Fixed32x32 loopStart = joinFixed32x32(sample.loopStart, 0);
    const Fixed32x32 loopLength = joinFixed32x32(sample.loopLength, 0);
    if (sample.loopKind == loopForward && voice.direction == forward) {
        // The same as taking loopLength off until the position is below the end.
        position -= loopLength;
        if (position >= loopStart + loopLength) {
            position = loopStart + (position - loopStart) % loopLength;
        }
        return;
    }
    if (sample.loopKind == loopPingPong) {
        // Mirrors half a unit below the loop start and the loop end: two
        // reflections are a shift by twice the loop length.
        const int64_t offset = static_cast<int64_t>(position - loopStart);
        const int64_t span = static_cast<int64_t>(2 * loopLength);
        const int64_t folded = offset >= 0 && offset < span ? offset : ((offset % span) + span) % span;
        if (folded < static_cast<int64_t>(loopLength)) {
            position = loopStart + static_cast<uint64_t>(folded);
        } else {
            position = loopStart + static_cast<uint64_t>(span - 1 - folded);
            voice.direction = voice.direction == forward ? backward : forward;
        }
        return;
    }
    voice.sample = nullptr;
    position = 0;
}

[[nodiscard]] bool playable(const Sample& sample)
{
    const uint64_t end = static_cast<uint64_t>(sample.loopStart) + sample.loopLength;
    return sample.data != nullptr && sample.loopLength > 0 && end <= sample.length &&
           end <= maxPlayableSamples;
}

}  // namespace

void resetMixer(int32_t sampleRate)
{
    const int64_t rampLength = static_cast<int64_t>(sampleRate) * 128 / 44100;
    // A rate below 345 Hz would give no ramp at all; one frame keeps the reciprocal finite.
    mixer.rampLength = rampLength > 0 ? static_cast<int32_t>(rampLength) : 1;
    mixer.rampReciprocal = 1.0f / static_cast<float>(mixer.rampLength);
    std::memset(mixer.voices, 0, sizeof(mixer.voices));
    for (int32_t index = 0; index < voiceCount; ++index) {
        mixer.voices[index].index = index;
        mixer.voices[index].stepInteger = 1;
    }
}

void mixVoice(Voice& voice, float* out, int32_t frameCount)
{
    int32_t remaining = frameCount;
    while (remaining > 0 && voice.sample != nullptr) {
        const Sample& sample = *voice.sample;
        Fixed32x32 position = joinFixed32x32(voice.position, voice.fraction);
        if (!playable(sample)) {
            voice.sample = nullptr;
            position = 0;
        } else if (outsideRange(voice, sample, position)) {
            handleBoundary(voice, sample, position);
        } else {
            int32_t pieceFrames = remaining;
            bool reachesBoundary = false;
            const uint64_t boundaryFrames = framesToBoundary(voice, sample, position);
            if (boundaryFrames <= static_cast<uint64_t>(pieceFrames)) {
                pieceFrames = static_cast<int32_t>(boundaryFrames);
                reachesBoundary = true;
            }
            planRamp(voice);
            if (voice.rampFrames > 0 && voice.rampFrames < pieceFrames) {
                pieceFrames = voice.rampFrames;
                reachesBoundary = false;
            }
            const Fixed32x32 step = joinFixed32x32(voice.stepInteger, voice.stepFraction);
            const Fixed32x32 signedStep = voice.direction == forward ? step : ~step + 1;
            if (voice.rampFrames > 0) {
                float gainLeft = static_cast<float>(voice.currentLeft) / (256.0f * fullGain);
                float gainRight = static_cast<float>(voice.currentRight) / (256.0f * fullGain);
                mixRamp(sample.data, position, signedStep, gainLeft, gainRight, voice.rampStepLeft,
                        voice.rampStepRight, out, pieceFrames);
                endRampPiece(voice, gainLeft, gainRight, pieceFrames);
            } else if (voice.targetLeft == 0 && voice.targetRight == 0) {
                position = advanceSilently(position, signedStep, pieceFrames);
            } else {
                mixSteady(sample.data, position, signedStep, static_cast<float>(voice.targetLeft) / fullGain,
                          static_cast<float>(voice.targetRight) / fullGain, out, pieceFrames);
            }
            out += 2 * pieceFrames;
            remaining -= pieceFrames;
            // A piece cut short by rounding leaves the position just inside; the next piece moves on.
            if (reachesBoundary && outsideRange(voice, sample, position)) {
                handleBoundary(voice, sample, position);
            }
        }
        splitFixed32x32(position, voice.position, voice.fraction);
    }
}

void mixVoices(int32_t firstFrame, int32_t frameCount)
{
    if (frameCount <= 0 || soundDevice.mixBuffer == nullptr) {
        return;
    }
    float* out = soundDevice.mixBuffer + 2 * static_cast<int64_t>(firstFrame);
    for (Voice& voice : mixer.voices) {
        if (voice.sample != nullptr) {
            mixVoice(voice, out, frameCount);
        }
    }
}

void convertBlock(int16_t* destination, const float* source, int32_t frameCount)
{
    if (frameCount <= 0 || destination == nullptr || source == nullptr) {
        return;
    }
    int32_t index = 0;
#if defined(__SSE2__)
    // Four values at a time: limited first (NaN becomes the lower limit, as below),
    // then rounded to nearest, ties to even, by the default rounding mode.
    const __m128 lowest = _mm_set1_ps(-32768.0f);
    const __m128 highest = _mm_set1_ps(32767.0f);
    for (; index + 8 <= 2 * frameCount; index += 8) {
        const __m128 first = _mm_min_ps(_mm_max_ps(_mm_loadu_ps(source + index), lowest), highest);
        const __m128 second = _mm_min_ps(_mm_max_ps(_mm_loadu_ps(source + index + 4), lowest), highest);
        const __m128i packed = _mm_packs_epi32(_mm_cvtps_epi32(first), _mm_cvtps_epi32(second));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(destination + index), packed);
    }
#endif
    // Adding and taking away 1.5 x 2^23 rounds to the nearest integer, ties to even.
    constexpr float roundingMagic = 12582912.0f;
    for (; index < 2 * frameCount; ++index) {
        float value = source[index];
        if (!(value >= -32768.0f)) {   // NaN too
            value = -32768.0f;
        } else if (value > 32767.0f) {
            value = 32767.0f;
        }
        value = (value + roundingMagic) - roundingMagic;
        destination[index] = static_cast<int16_t>(value);
    }
}

void renderBlock()
{
    SoundDevice& device = soundDevice;
    const int32_t blockIndex = device.blockIndex.load(std::memory_order_relaxed);
    const int32_t base = blockIndex * device.blockFrames;
    float* mix = device.mixBuffer + 2 * static_cast<int64_t>(base);
    std::memset(mix, 0, sizeof(float) * 2 * static_cast<size_t>(device.blockFrames));
    Song* song = device.currentSong;
    int32_t done = 0;
    int32_t left = song != nullptr ? song->samplesToTick : device.blockFrames;
    while (done < device.blockFrames) {
        if (left <= 0) {
            if (song->tickFunction != nullptr) {
                song->tickFunction(*song);
            }
            // Read after the tick, which may have changed the tempo.
            left = song->samplesPerTick > 0 ? song->samplesPerTick : 1;
        }
        const int32_t pieceFrames = left < device.blockFrames - done ? left : device.blockFrames - done;
        mixVoices(base + done, pieceFrames);
        done += pieceFrames;
        left -= pieceFrames;
    }
    if (song != nullptr) {
        song->samplesToTick = left;
    }
    convertBlock(device.outputRing + 2 * static_cast<int64_t>(base), mix, device.blockFrames);
    const int32_t next = blockIndex + 1;
    device.blockIndex.store(next >= device.blockCount() ? 0 : next, std::memory_order_relaxed);
}
