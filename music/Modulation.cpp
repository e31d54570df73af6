// What the row tick and the later ticks share: envelopes, vibrato, tremolo,
// tone portamento, tremor, the automatic vibrato and their waveforms.
// Rendering thread only.
#include <cmath>

#include "music/Replayer.h"

namespace {

constexpr int32_t envelopeTop = 64;
constexpr Fixed16x16 envelopeTopFixed = envelopeTop << 16;

// Envelope point values above 64 (only a damaged file has them) are read as 64.
[[nodiscard]] int32_t pointValue(const EnvelopePoint& point)
{
    return point.value > envelopeTop ? envelopeTop : point.value;
}

[[nodiscard]] Fixed16x16 clampEnvelopeValue(int64_t value)
{
    return static_cast<Fixed16x16>(value < 0 ? 0 : (value > envelopeTopFixed ? envelopeTopFixed : value));
}

[[nodiscard]] Fixed16x16 slopeBetween(const EnvelopePoint& from, const EnvelopePoint& to)
{
    const int32_t ticks = to.tick - from.tick;
    if (ticks == 0) {
        return 0;
    }
    return (pointValue(to) * 65536 - pointValue(from) * 65536) / ticks;
}

// One envelope of an instrument with the six channel fields that follow it.
struct EnvelopeView {
    const EnvelopePoint* points;
    int32_t count;                 // at most the 12 points stored
    int32_t sustain;
    int32_t loopStart;
    int32_t loopEnd;
    uint8_t type;
    uint8_t flag;                  // the update flag the envelope raises
    int32_t& tick;
    int32_t& point;
    Fixed16x16& value;
    int32_t& output;
    Fixed16x16& slope;
    uint8_t& done;
};

[[nodiscard]] int32_t usablePoints(uint8_t count)
{
    return count > envelopePointCount ? envelopePointCount : count;
}

[[nodiscard]] EnvelopeView viewOf(Channel& channel, const Instrument& instrument, Envelope which)
{
    if (which == Envelope::volume) {
        return {instrument.volumeEnvelope, usablePoints(instrument.volumePoints), instrument.volumeSustain,
                instrument.volumeLoopStart, instrument.volumeLoopEnd, instrument.volumeType, updateVolume,
                channel.volumeEnvelopeTick, channel.volumeEnvelopePoint, channel.volumeEnvelopeValue,
                channel.volumeEnvelopeOutput, channel.volumeEnvelopeSlope, channel.volumeEnvelopeDone};
    }
    return {instrument.panningEnvelope, usablePoints(instrument.panningPoints), instrument.panningSustain,
            instrument.panningLoopStart, instrument.panningLoopEnd, instrument.panningType, updatePanning,
            channel.panningEnvelopeTick, channel.panningEnvelopePoint, channel.panningEnvelopeValue,
            channel.panningEnvelopeOutput, channel.panningEnvelopeSlope, channel.panningEnvelopeDone};
}

// Reaching point i: the loop jump, the end, the sustain hold, or the slope to the next point.
// False when the envelope holds and the tick does not advance.
[[nodiscard]] bool reachPoint(EnvelopeView& envelope, Channel& channel)
{
    int32_t index = envelope.point;
    if ((envelope.type & 4) != 0 && index == envelope.loopEnd && envelope.loopStart < envelope.count) {
        index = envelope.loopStart;
        envelope.point = index;
        envelope.tick = envelope.points[index].tick;
    }
    if (index == envelope.count - 1) {
        envelope.output = pointValue(envelope.points[index]);
        envelope.done = 1;
        channel.updates |= envelope.flag;
        return false;
    }
    if ((envelope.type & 2) != 0 && index == envelope.sustain && channel.keyReleased == 0) {
        envelope.output = pointValue(envelope.points[index]);
        channel.updates |= envelope.flag;
        return false;
    }
    envelope.slope = slopeBetween(envelope.points[index], envelope.points[index + 1]);
    envelope.value = pointValue(envelope.points[index]) * 65536;
    envelope.point = index + 1;
    return true;
}

// Tremolo and vibrato magnitude at a position -32..31: 0 sine, 1 ramp, 2 square.
[[nodiscard]] int32_t waveValue(int32_t position, int32_t shape)
{
    switch (shape) {
    case 1:
        return position >= 0 ? 8 * position : 255 - 8 * (position + 32);
    case 2:
        return 255;
    default:
        return static_cast<int32_t>(std::fabs(std::sin(2 * position * 0.049087375) * 256));
    }
}

}  // namespace

void stepEnvelope(Channel& channel, const Instrument& instrument, Envelope which)
{
    EnvelopeView envelope = viewOf(channel, instrument, which);
    if (envelope.point >= 0 && envelope.point < envelope.count) {
        if (envelope.tick != envelope.points[envelope.point].tick) {
            envelope.value = clampEnvelopeValue(static_cast<int64_t>(envelope.value) + envelope.slope);
        } else if (!reachPoint(envelope, channel)) {
            return;
        }
    }
    envelope.output = envelope.value >> 16;
    envelope.tick++;
    channel.updates |= envelope.flag;
}

void setVolumeEnvelopePosition(Channel& channel, const Instrument& instrument, int32_t tick)
{
    const int32_t count = usablePoints(instrument.volumePoints);
    if (count < 1) {
        return;
    }
    const EnvelopePoint* points = instrument.volumeEnvelope;
    for (int32_t index = 0; index + 1 < count; ++index) {
        if (tick <= points[index + 1].tick) {
            const Fixed16x16 slope = slopeBetween(points[index], points[index + 1]);
            channel.volumeEnvelopeDone = 0;
            channel.volumeEnvelopeTick = tick;
            channel.volumeEnvelopeSlope = slope;
            channel.volumeEnvelopePoint = index + 1;
            channel.volumeEnvelopeValue = clampEnvelopeValue(
                static_cast<int64_t>(pointValue(points[index])) * 65536 +
                static_cast<int64_t>(tick - points[index].tick) * slope);
            channel.volumeEnvelopeOutput = channel.volumeEnvelopeValue >> 16;
            return;
        }
    }
    channel.volumeEnvelopeOutput = pointValue(points[count - 1]);
    channel.volumeEnvelopeDone = 1;
}

int32_t vibratoWave(int32_t position, int32_t control)
{
    // Vibrato control: 0 sine, 1 ramp, 2 and 3 square.
    const int32_t shape = control & 3;
    return waveValue(position, shape == 3 ? 2 : shape);
}

namespace {

[[nodiscard]] int32_t tremoloWave(int32_t position, int32_t control)
{
    // Tremolo control: 0 and 3 sine, 1 ramp, 2 square.
    const int32_t shape = control & 3;
    return waveValue(position, shape == 3 ? 0 : shape);
}

[[nodiscard]] int8_t advancedPosition(int8_t position, uint8_t speed)
{
    int32_t next = position + speed;
    if (next > 31) {
        next -= 64;
    }
    return static_cast<int8_t>(next);
}

}  // namespace

void vibrato(Channel& channel)
{
    const int32_t position = channel.vibratoPosition;
    const int32_t wave = vibratoWave(position, channel.waveforms & 0x0F);
    const int32_t delta = ((channel.vibratoDepth * wave) >> 5) & ~3;   // a multiple of 4, at most 116
    channel.periodDelta = position >= 0 ? -delta : delta;
    channel.updates |= updateFrequency;
}

void advanceVibrato(Channel& channel)
{
    channel.vibratoPosition = advancedPosition(channel.vibratoPosition, channel.vibratoSpeed);
}

void tremolo(Channel& channel)
{
    const int32_t position = channel.tremoloPosition;
    int32_t delta = (channel.tremoloDepth * tremoloWave(position, channel.waveforms >> 4)) >> 6;
    if (position < 0) {
        if (channel.volume - delta < 0) {
            delta = channel.volume;
        }
        channel.volumeDelta = -delta;
    } else {
        channel.volumeDelta = channel.volume + delta > 64 ? 64 - channel.volume : delta;
    }
    channel.tremoloPosition = advancedPosition(channel.tremoloPosition, channel.tremoloSpeed);
    channel.updates |= updateVolume;
}

void tonePortamento(Channel& channel)
{
    const int32_t speed = 4 * channel.portaSpeed;
    if (channel.period < channel.portaTarget) {
        channel.period = channel.period + speed > channel.portaTarget ? channel.portaTarget : channel.period + speed;
    } else if (channel.period > channel.portaTarget) {
        channel.period = channel.period - speed < channel.portaTarget ? channel.portaTarget : channel.period - speed;
    }
    channel.updates |= updateFrequency;
}

void tremor(Channel& channel)
{
    if (channel.tremorCounter >= channel.tremorOn) {
        channel.volumeDelta = -channel.volume;
    }
    channel.tremorCounter++;
    if (channel.tremorCounter == channel.tremorOn + channel.tremorOff) {
        channel.tremorCounter = 0;
    }
    channel.updates |= updateVolume;
}

int32_t autoVibratoWave(int32_t position, int32_t type)
{
    switch (type) {
    case 0:
        return static_cast<int32_t>(std::trunc(std::sin(position * static_cast<double>(static_cast<float>(M_PI / 128))) * 64));
    case 1:
        return position < 128 ? 64 : -64;
    case 2:
        return (128 - ((position + 128) % 256)) >> 1;
    case 3:
        return (128 - ((384 - position) % 256)) >> 1;
    default:    // no waveform: no automatic vibrato
        return 0;
    }
}

void autoVibrato(Channel& channel, const Instrument& instrument)
{
    int32_t value = instrument.vibratoDepth * autoVibratoWave(channel.autoVibratoPosition, instrument.vibratoType);
    if (instrument.vibratoSweep != 0) {
        value = (channel.autoVibratoSweep * value) / instrument.vibratoSweep;
    }
    channel.periodDelta += value >> 6;
    if (channel.autoVibratoSweep < instrument.vibratoSweep) {
        channel.autoVibratoSweep++;
    }
    channel.autoVibratoPosition += instrument.vibratoRate;
    if (channel.autoVibratoPosition > 255) {
        channel.autoVibratoPosition -= 256;
    }
    channel.updates |= updateFrequency;
}
