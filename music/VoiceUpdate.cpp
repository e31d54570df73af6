// The one bridge from the replayer to the mixer: a channel's collected
// changes become a note start on a fresh voice, gain targets and a step.
// Rendering thread only.
#include <cmath>

#include "music/Mixer.h"
#include "music/Replayer.h"
#include "music/SoundDevice.h"

namespace {

constexpr int64_t lowestFrequency = 100;     // Hz
constexpr double highestFrequency = 2147483647.0;
constexpr int64_t amigaClock = 14317056;

// A new note starts on the other voice of the pair so the old one can ramp out.
[[nodiscard]] Voice& startOnTwin(Channel& channel)
{
    Voice& current = *channel.voice;
    if (current.sample == nullptr) {
        return current;
    }
    const int32_t twinIndex = current.index < 32 ? current.index + 32 : current.index - 32;
    Voice& twin = mixer.voices[twinIndex & (voiceCount - 1)];
    twin = current;
    twin.index = twinIndex;
    current.volume = 0;
    current.targetLeft = 0;
    current.targetRight = 0;
    channel.voice = &twin;
    return twin;
}

void trigger(Channel& channel, const Sample& sample)
{
    Voice& voice = startOnTwin(channel);
    voice.sample = &sample;
    if (static_cast<uint64_t>(voice.startOffset) >= static_cast<uint64_t>(sample.loopStart) + sample.loopLength) {
        voice.startOffset = 0;
    }
    voice.position = voice.startOffset;
    voice.fraction = 0;
    voice.direction = forward;
    voice.startOffset = 0;
    voice.currentLeft = 0;
    voice.currentRight = 0;
    voice.rampFrames = 0;
}

void applyVolume(const Channel& channel, const Song& song, Voice& voice)
{
    // 64 x 64 x 65536 x 64 x 255 / 2^35 = 127 at full volume.
    const int64_t product = static_cast<int64_t>(channel.volume + channel.volumeDelta) * channel.volumeEnvelopeOutput *
                            channel.fadeoutVolume * song.globalVolume * 255;
    const int32_t volume = static_cast<int32_t>(product / (int64_t{1} << 35));
    voice.volume = volume;
    voice.targetLeft = voice.panning * volume / 255;
    voice.targetRight = (255 - voice.panning) * volume / 255;
}

void applyPanning(const Channel& channel, Voice& voice)
{
    const int32_t distance = channel.panning - 128;
    const int64_t swing = static_cast<int64_t>((128 - (distance < 0 ? -distance : distance)) / 32) *
                          (channel.panningEnvelopeOutput - 32);
    const int64_t panning = channel.panning + swing;
    const int32_t limited = static_cast<int32_t>(panning < 0 ? 0 : (panning > 255 ? 255 : panning));
    voice.panning = limited;
    voice.targetLeft = voice.volume * limited / 255;
    voice.targetRight = (255 - limited) * voice.volume / 255;
}

[[nodiscard]] int64_t frequencyOf(const Channel& channel, const Song& song)
{
    int64_t frequency = 0;
    if ((song.flags & 1) != 0) {
        const double exponent = static_cast<double>(4608 - static_cast<int64_t>(channel.period) + channel.periodDelta) *
                                static_cast<double>(1.0f / 768.0f);
        const double hertz = 8363.0 * std::pow(2.0, exponent);
        frequency = static_cast<int64_t>(hertz < highestFrequency ? hertz : highestFrequency);
    } else {
        frequency = amigaClock / (static_cast<int64_t>(channel.period) + channel.periodDelta);
    }
    return frequency < lowestFrequency ? lowestFrequency : frequency;
}

void applyFrequency(const Channel& channel, const Song& song, Voice& voice)
{
    const int64_t rate = soundDevice.sampleRate > 0 ? soundDevice.sampleRate : 44100;
    const int64_t frequency = frequencyOf(channel, song);
    voice.stepInteger = static_cast<uint32_t>(frequency / rate);
    voice.stepFraction = static_cast<uint32_t>((static_cast<uint64_t>(frequency % rate) << 32) / static_cast<uint64_t>(rate));
}

}  // namespace

void updateVoice(Channel& channel, const Sample& sample, const Song& song)
{
    if (channel.voice == nullptr) {
        return;
    }
    if (static_cast<int64_t>(channel.period) + channel.periodDelta == 0) {
        channel.updates &= static_cast<uint8_t>(~updateFrequency);
    }
    if ((channel.updates & updateTrigger) != 0) {
        trigger(channel, sample);
    }
    Voice& voice = *channel.voice;
    if ((channel.updates & updateVolume) != 0) {
        applyVolume(channel, song, voice);
    }
    if ((channel.updates & updatePanning) != 0) {
        applyPanning(channel, voice);
    }
    if ((channel.updates & updateFrequency) != 0) {
        applyFrequency(channel, song, voice);
    }
    if ((channel.updates & updateRewind) != 0) {
        voice.position = 0;
        voice.fraction = 0;
        voice.startOffset = 0;
    }
}
