// The replayer's later ticks: envelopes and fadeout, the running part of the
// volume column and of the effects, then the automatic vibrato and the voice.
// Rendering thread only.
#include <iterator>

#include "music/Replayer.h"

namespace {

constexpr int32_t largestPeriod = 1 << 24;   // far below 100 Hz in both tables: inaudible, and no overflow
constexpr int32_t smallestPortaUpPeriod = 56;

[[nodiscard]] int32_t lastNibble(uint8_t value) { return value & 0x0F; }
[[nodiscard]] int32_t firstNibble(uint8_t value) { return value >> 4; }

void volumeSlide(Channel& channel)
{
    const uint8_t memory = channel.volumeSlideMemory;
    if (firstNibble(memory) != 0) {
        channel.volume = channel.volume + firstNibble(memory) > 64 ? 64 : channel.volume + firstNibble(memory);
    } else {
        channel.volume = channel.volume - lastNibble(memory) < 0 ? 0 : channel.volume - lastNibble(memory);
    }
    channel.updates |= updateVolume;
}

void volumeColumnLaterTick(Channel& channel, uint8_t volumeByte)
{
    const int32_t y = lastNibble(volumeByte);
    switch (firstNibble(volumeByte)) {
    case 0x6:
        channel.volume = channel.volume - y < 0 ? 0 : channel.volume - y;
        channel.updates |= updateVolume;
        break;
    case 0x7:
        channel.volume = channel.volume + y > 64 ? 64 : channel.volume + y;
        channel.updates |= updateVolume;
        break;
    case 0xB:
        channel.vibratoDepth = static_cast<uint8_t>(y);
        vibrato(channel);
        advanceVibrato(channel);
        break;
    case 0xD:
        channel.panning -= y;
        channel.updates |= updatePanning;
        break;
    case 0xE:
        channel.panning += y;
        channel.updates |= updatePanning;
        break;
    case 0xF:
        tonePortamento(channel);
        break;
    default:    // the rest act on the row tick only
        break;
    }
}

void arpeggio(const Song& song, Channel& channel, uint8_t parameter, const Sample& sample)
{
    if (parameter == 0) {
        return;
    }
    const int32_t byTick[3] = {0, firstNibble(parameter), lastNibble(parameter)};
    const int32_t semitones = byTick[song.tick % 3];
    if ((song.flags & 1) != 0) {
        channel.periodDelta = 64 * semitones;
    } else {
        channel.periodDelta = amigaPeriod(channel.realNote + semitones, sample.finetune) -
                              amigaPeriod(channel.realNote, sample.finetune);
    }
    channel.updates |= updateFrequency;
}

// Volume change of the multi retrigger by its mode (upper nibble of R's parameter).
[[nodiscard]] int32_t retriggeredVolume(int32_t volume, int32_t mode)
{
    static constexpr int32_t steps[16] = {0, -1, -2, -4, -8, -16, 0, 0, 0, 1, 2, 4, 8, 16, 0, 0};
    static_assert(std::size(steps) == 16);
    switch (mode) {
    case 6: return volume * 2 / 3;
    case 7: return volume >> 1;
    case 14: return volume * 3 / 2;
    case 15: return volume * 2;
    default: return volume + steps[mode & 0x0F];
    }
}

void multiRetrigger(const Song& song, Channel& channel)
{
    if (channel.retrigInterval == 0 || song.tick % channel.retrigInterval != 0) {
        return;
    }
    if (channel.retrigVolumeMode != 0) {
        const int32_t volume = retriggeredVolume(channel.volume, channel.retrigVolumeMode);
        channel.volume = volume > 64 ? 64 : (volume < 0 ? 0 : volume);
        channel.updates |= updateVolume;
    }
    channel.updates |= updateTrigger;
}

void noteDelayLaterTick(const Song& song, Channel& channel, const Cell& cell, const Sample& sample)
{
    if (song.tick == lastNibble(cell.parameter)) {
        triggerInstrument(channel, sample);
        channel.updates |= updateFrequency;
        channel.period = channel.notePeriod;
        if (cell.volume != 0) {
            volumeColumnRowTick(channel, cell.volume);
        }
        channel.updates |= updateTrigger;
    } else {
        channel.updates &= static_cast<uint8_t>(~(updateFrequency | updateVolume | updatePanning | updateTrigger));
    }
}

void extendedLaterTick(const Song& song, Channel& channel, const Cell& cell, const Sample& sample)
{
    const int32_t y = lastNibble(cell.parameter);
    switch (firstNibble(cell.parameter)) {
    case 0x9:   // retrigger every y ticks
        if (y != 0 && song.tick % y == 0) {
            channel.updates |= updateFrequency | updateVolume | updateTrigger;
        }
        break;
    case 0xC:   // note cut at tick y
        if (song.tick == y) {
            channel.volume = 0;
            channel.updates |= updateVolume;
        }
        break;
    case 0xD:
        noteDelayLaterTick(song, channel, cell, sample);
        break;
    default:
        break;
    }
}

void globalVolumeSlide(Song& song)
{
    const uint8_t memory = song.globalVolumeSlide;
    if (firstNibble(memory) != 0) {
        song.globalVolume = song.globalVolume + firstNibble(memory) > 64 ? 64 : song.globalVolume + firstNibble(memory);
    } else if (lastNibble(memory) != 0) {
        song.globalVolume = song.globalVolume - lastNibble(memory) < 0 ? 0 : song.globalVolume - lastNibble(memory);
    }
}

void panningSlide(Channel& channel)
{
    const uint8_t memory = channel.panningSlideMemory;
    if (firstNibble(memory) != 0) {
        channel.panning = channel.panning + firstNibble(memory) > 255 ? 255 : channel.panning + firstNibble(memory);
    } else if (lastNibble(memory) != 0) {
        channel.panning = channel.panning - lastNibble(memory) < 0 ? 0 : channel.panning - lastNibble(memory);
    }
    channel.updates |= updatePanning;
}

void effectLaterTick(Song& song, Channel& channel, const Cell& cell, const Sample& sample)
{
    switch (cell.effect) {
    case 0x0:
        arpeggio(song, channel, cell.parameter, sample);
        break;
    case 0x1:   // portamento up, floor 56
        channel.period -= 4 * channel.portaUpMemory;
        channel.period = channel.period < smallestPortaUpPeriod ? smallestPortaUpPeriod : channel.period;
        channel.periodDelta = 0;
        channel.updates |= updateFrequency;
        break;
    case 0x2:   // portamento down
        channel.period += 4 * channel.portaDownMemory;
        channel.period = channel.period > largestPeriod ? largestPeriod : channel.period;
        channel.periodDelta = 0;
        channel.updates |= updateFrequency;
        break;
    case 0x3:
        channel.periodDelta = 0;
        tonePortamento(channel);
        break;
    case 0x4:
        vibrato(channel);
        advanceVibrato(channel);
        break;
    case 0x5:
        channel.periodDelta = 0;
        tonePortamento(channel);
        volumeSlide(channel);
        break;
    case 0x6:
        vibrato(channel);
        advanceVibrato(channel);
        volumeSlide(channel);
        break;
    case 0x7:
        tremolo(channel);
        break;
    case 0xA:
        volumeSlide(channel);
        break;
    case 0xE:
        extendedLaterTick(song, channel, cell, sample);
        break;
    case 17:    // H: changes what is heard only where a channel's volume is recomputed
        globalVolumeSlide(song);
        break;
    case 25:    // P
        panningSlide(channel);
        break;
    case 27:    // R
        multiRetrigger(song, channel);
        break;
    case 29:    // T
        tremor(channel);
        break;
    default:
        break;
    }
}

void channelLaterTick(Song& song, Channel& channel, const Cell& cell)
{
    const Selection selection = selectSample(song, channel);
    const Instrument& instrument = *selection.instrument;
    channel.volumeDelta = 0;
    channel.periodDelta = 0;
    channel.updates = 0;
    if ((instrument.volumeType & 1) != 0 && channel.volumeEnvelopeDone == 0) {
        stepEnvelope(channel, instrument, Envelope::volume);
    }
    if ((instrument.panningType & 1) != 0 && channel.panningEnvelopeDone == 0) {
        stepEnvelope(channel, instrument, Envelope::panning);
    }
    if (channel.keyReleased != 0) {
        channel.fadeoutVolume -= instrument.fadeout;
        channel.fadeoutVolume = channel.fadeoutVolume < 0 ? 0 : channel.fadeoutVolume;
        channel.updates |= updateVolume;
    }
    volumeColumnLaterTick(channel, cell.volume);
    effectLaterTick(song, channel, cell, *selection.sample);
    autoVibrato(channel, instrument);
    updateVoice(channel, *selection.sample, song);
}

}  // namespace

void processEffects(Song& song)
{
    // The cells the row tick read, even when a pattern loop has moved the row since.
    const Cell* cells = replayer.rowCells;
    if (cells == nullptr) {
        return;
    }
    const int32_t channels = song.channelCount < 0 ? 0 : (song.channelCount > maxChannels ? maxChannels : song.channelCount);
    for (int32_t index = 0; index < channels; ++index) {
        channelLaterTick(song, replayer.channels[index], cells[index]);
    }
}
