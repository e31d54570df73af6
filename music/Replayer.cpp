// The replayer's row tick: the order table and rows, notes and instruments,
// the volume column and the row-tick part of the effects, periods and tempo.
// Rendering thread only.
#include "music/Replayer.h"

#include <cmath>
#include <cstring>

#include "music/Mixer.h"
#include "music/SoundDevice.h"

Replayer replayer{};

namespace {

constexpr int32_t orderTableEntries = 256;
constexpr int32_t largestBreakRow = 63;
constexpr uint8_t effectToneportamento = 3;
constexpr uint8_t effectTonePortamentoVolumeSlide = 5;
constexpr uint8_t effectTremolo = 7;
constexpr uint8_t effectKeyOff = 20;

// Set once effect B has been seen in this row: a later D keeps B's order.
struct RowContext {
    bool jumped;
};

// A channel's values before its row, for the note delay.
struct Remembered {
    int32_t volume;
    int32_t period;
    int32_t panning;
};

[[nodiscard]] int32_t lastNibble(uint8_t value) { return value & 0x0F; }
[[nodiscard]] int32_t firstNibble(uint8_t value) { return value >> 4; }

// Order positions stay inside the table even for a song length of 0 or above 256.
[[nodiscard]] int32_t usableSongLength(const Song& song)
{
    if (song.songLength < 1) {
        return 1;
    }
    return song.songLength > orderTableEntries ? orderTableEntries : song.songLength;
}

[[nodiscard]] const Pattern* patternAt(const Song& song, int32_t orderPosition)
{
    if (song.patterns == nullptr || orderPosition < 0 || orderPosition >= orderTableEntries) {
        return nullptr;
    }
    const int32_t number = song.orderTable[orderPosition];
    return number < song.patternCount ? &song.patterns[number] : nullptr;
}

[[nodiscard]] int64_t rowsAt(const Song& song, int32_t orderPosition)
{
    const Pattern* pattern = patternAt(song, orderPosition);
    return pattern != nullptr ? pattern->rows : 0;
}

[[nodiscard]] int32_t channelsInUse(const Song& song)
{
    if (song.channelCount < 0) {
        return 0;
    }
    return song.channelCount > maxChannels ? maxChannels : song.channelCount;
}

[[nodiscard]] int32_t clampVolume(int32_t volume)
{
    return volume < 0 ? 0 : (volume > 64 ? 64 : volume);
}

void extendedRowTick(Song& song, Channel& channel, const Cell& cell, Sample& sample, const Remembered& before)
{
    const int32_t y = lastNibble(cell.parameter);
    switch (firstNibble(cell.parameter)) {
    case 0x1:   // fine portamento up
        if (y != 0) {
            channel.finePortaUpMemory = static_cast<uint8_t>(y);
        }
        channel.period -= 4 * channel.finePortaUpMemory;
        break;
    case 0x2:   // fine portamento down
        if (y != 0) {
            channel.finePortaDownMemory = static_cast<uint8_t>(y);
        }
        channel.period += 4 * channel.finePortaDownMemory;
        break;
    case 0x4:   // vibrato control
        channel.waveforms = static_cast<uint8_t>((channel.waveforms & 0xF0) | y);
        break;
    case 0x5:   // set finetune: stays in the song's sample; the shared empty one is left alone
        if (&sample != &emptySample) {
            sample.finetune = static_cast<int8_t>(y);
        }
        break;
    case 0x6:   // pattern loop
        if (y == 0) {
            channel.loopStartRow = song.row;
        } else {
            channel.loopCounter = channel.loopCounter == 0 ? y : channel.loopCounter - 1;
            if (channel.loopCounter != 0) {
                song.row = channel.loopStartRow - 1;
            }
        }
        break;
    case 0x7:   // tremolo control
        channel.waveforms = static_cast<uint8_t>((channel.waveforms & 0x0F) | (y << 4));
        break;
    case 0x8:   // set panning
        channel.panning = 16 * y;
        channel.updates |= updatePanning;
        break;
    case 0xA:   // fine volume slide up
        if (y != 0) {
            channel.fineVolumeSlideMemory = static_cast<uint8_t>(y);
        }
        channel.volume = clampVolume(channel.volume + channel.fineVolumeSlideMemory);
        channel.updates |= updateVolume;
        break;
    case 0xB:   // fine volume slide down
        if (y != 0) {
            channel.fineVolumeSlideMemory = static_cast<uint8_t>(y);
        }
        channel.volume = clampVolume(channel.volume - channel.fineVolumeSlideMemory);
        channel.updates |= updateVolume;
        break;
    case 0xD:   // note delay: the row's changes wait for tick y
        channel.volume = before.volume;
        channel.period = before.period;
        channel.panning = before.panning;
        channel.updates &= static_cast<uint8_t>(~(updateFrequency | updateVolume | updatePanning | updateTrigger));
        break;
    case 0xE:   // pattern delay
        song.patternDelayTicks = song.speed * y;
        break;
    default:    // E0, E3, E9, EC, EF: nothing on the row tick
        break;
    }
}

void sampleOffsetRowTick(Channel& channel, uint8_t parameter, const Sample& sample)
{
    if (parameter != 0) {
        channel.sampleOffsetMemory = parameter;
    }
    const uint32_t offset = static_cast<uint32_t>(channel.sampleOffsetMemory) * 256;
    if (static_cast<uint64_t>(offset) < static_cast<uint64_t>(sample.loopStart) + sample.loopLength) {
        channel.voice->startOffset = offset;
    } else {
        channel.updates &= static_cast<uint8_t>(~updateTrigger);
        channel.updates |= updateRewind;
    }
}

void breakRowTick(Song& song, const Cell& cell, const RowContext& row)
{
    const int32_t target = 10 * firstNibble(cell.parameter) + lastNibble(cell.parameter);
    song.nextRow = target > largestBreakRow ? 0 : target;
    if (!row.jumped) {
        const int32_t next = song.orderPosition + 1;
        song.nextOrder = next >= usableSongLength(song) ? 0 : next;
    }
}

void effectRowTick(Song& song, Channel& channel, const Cell& cell, const Selection& selection,
                   const Remembered& before, RowContext& row)
{
    const uint8_t p = cell.parameter;
    const int32_t x = firstNibble(p);
    const int32_t y = lastNibble(p);
    switch (cell.effect) {
    case 0x1:   // portamento up
        if (p != 0) {
            channel.portaUpMemory = p;
        }
        break;
    case 0x2:   // portamento down
        if (p != 0) {
            channel.portaDownMemory = p;
        }
        break;
    case 0x3:   // tone portamento: slides from here on, no restart
        if (p != 0) {
            channel.portaSpeed = p;
        }
        channel.portaTarget = channel.notePeriod;
        channel.updates &= static_cast<uint8_t>(~(updateFrequency | updateTrigger));
        break;
    case 0x4:   // vibrato
        if (x != 0) {
            channel.vibratoSpeed = static_cast<uint8_t>(x);
        }
        if (y != 0) {
            channel.vibratoDepth = static_cast<uint8_t>(y);
        }
        vibrato(channel);
        break;
    case 0x5:   // tone portamento and volume slide
        channel.portaTarget = channel.notePeriod;
        if (p != 0) {
            channel.volumeSlideMemory = p;
        }
        channel.updates &= static_cast<uint8_t>(~(updateFrequency | updateTrigger));
        break;
    case 0x6:   // vibrato and volume slide
        if (p != 0) {
            channel.volumeSlideMemory = p;
        }
        vibrato(channel);
        break;
    case 0x7:   // tremolo
        if (x != 0) {
            channel.tremoloSpeed = static_cast<uint8_t>(x);
        }
        if (y != 0) {
            channel.tremoloDepth = static_cast<uint8_t>(y);
        }
        break;
    case 0x8:   // set panning
        channel.panning = p;
        channel.updates |= updatePanning;
        break;
    case 0x9:   // sample offset
        sampleOffsetRowTick(channel, p, *selection.sample);
        break;
    case 0xA:   // volume slide
        if (p != 0) {
            channel.volumeSlideMemory = p;
        }
        break;
    case 0xB: {  // position jump
        song.nextRow = 0;
        song.nextOrder = p >= usableSongLength(song) ? 0 : p;
        row.jumped = true;
        break;
    }
    case 0xC:   // set volume, not limited to 64
        channel.volume = p;
        channel.updates |= updateVolume;
        break;
    case 0xD:   // pattern break
        breakRowTick(song, cell, row);
        break;
    case 0xE:
        extendedRowTick(song, channel, cell, *selection.sample, before);
        break;
    case 0xF:   // speed below 32, tempo from 32 on
        if (p < 32) {
            song.speed = p;
        } else {
            setTempo(song, p);
        }
        break;
    case 16:    // G: global volume
        song.globalVolume = p > 64 ? 64 : p;
        channel.updates |= updateVolume;
        break;
    case 17:    // H: global volume slide
        if (p != 0) {
            song.globalVolumeSlide = p;
        }
        break;
    case 21:    // L: volume envelope position
        if ((selection.instrument->volumeType & 1) != 0) {
            setVolumeEnvelopePosition(channel, *selection.instrument, p);
        }
        break;
    case 25:    // P: panning slide
        if (p != 0) {
            channel.panningSlideMemory = p;
            channel.updates |= updatePanning;
        }
        break;
    case 27:    // R: multi retrigger
        if (p != 0) {
            channel.retrigVolumeMode = static_cast<uint8_t>(x);
            channel.retrigInterval = static_cast<uint8_t>(y);
        }
        break;
    case 29:    // T: tremor, one step on the row tick too
        if (p != 0) {
            channel.tremorOn = static_cast<uint8_t>(x + 1);
            channel.tremorOff = static_cast<uint8_t>(y + 1);
        }
        tremor(channel);
        break;
    case 33:    // X: extra fine portamento
        if (x == 1) {
            if (y != 0) {
                channel.extraFineUpMemory = static_cast<uint8_t>(y);
            }
            channel.period -= channel.extraFineUpMemory;
        } else if (x == 2) {
            if (y != 0) {
                channel.extraFineDownMemory = static_cast<uint8_t>(y);
            }
            channel.period += channel.extraFineDownMemory;
        }
        break;
    default:    // 0 arpeggio, K (key off, taken earlier) and every effect without a row-tick part
        break;
    }
}

void envelopesRowTick(Channel& channel, const Instrument& instrument)
{
    if ((instrument.volumeType & 1) != 0) {
        if (channel.volumeEnvelopeDone == 0) {
            stepEnvelope(channel, instrument, Envelope::volume);
        }
    } else if (channel.keyReleased != 0) {
        channel.volumeEnvelopeOutput = 0;   // key off cuts an instrument without volume envelope
    }
    if ((instrument.panningType & 1) != 0 && channel.panningEnvelopeDone == 0) {
        stepEnvelope(channel, instrument, Envelope::panning);
    }
}

void channelRowTick(Song& song, Channel& channel, const Cell& cell, RowContext& row)
{
    const bool portamento = cell.effect == effectToneportamento || cell.effect == effectTonePortamentoVolumeSlide;
    const bool hasNote = cell.note != 0 && cell.note != noteKeyOff;
    if (cell.instrument != 0 && !portamento) {
        channel.instrument = static_cast<uint8_t>(cell.instrument - 1);
    }
    if (hasNote && !portamento) {
        channel.note = static_cast<uint8_t>(cell.note - 1);
    }
    const Selection selection = selectSample(song, channel);
    const Remembered before{channel.volume, channel.period, channel.panning};
    // The last tremolo offset stays in the volume.
    if (channel.lastEffect == effectTremolo && cell.effect != effectTremolo) {
        channel.volume = before.volume + channel.volumeDelta;
    }
    channel.lastEffect = cell.effect;
    channel.volumeDelta = 0;
    channel.updates = 0;
    if (hasNote) {
        channel.realNote = static_cast<uint8_t>(selection.sample->relativeNote + cell.note - 1);
        channel.notePeriod = notePeriodFor(song, channel.realNote, selection.sample->finetune);
        if (!portamento) {
            channel.period = channel.notePeriod;
        }
        channel.updates = updateTrigger;
    }
    channel.periodDelta = 0;
    channel.updates |= updateFrequency | updateVolume;
    if (cell.instrument != 0) {
        triggerInstrument(channel, *selection.sample);
    }
    if (cell.volume != 0) {
        volumeColumnRowTick(channel, cell.volume);
    }
    if (cell.note == noteKeyOff || cell.effect == effectKeyOff) {
        channel.keyReleased = 1;
    }
    envelopesRowTick(channel, *selection.instrument);
    if (channel.keyReleased != 0) {
        channel.fadeoutVolume -= selection.instrument->fadeout;
        channel.fadeoutVolume = channel.fadeoutVolume < 0 ? 0 : channel.fadeoutVolume;
        channel.updates |= updateVolume;
    }
    effectRowTick(song, channel, cell, selection, before, row);
    autoVibrato(channel, *selection.instrument);
    updateVoice(channel, *selection.sample, song);
}

// After the row tick: the following row, or the next order entry once the pattern ends.
void planNextRow(Song& song)
{
    if (song.nextRow != -1) {
        return;
    }
    song.nextRow = song.row + 1;
    if (song.nextRow >= rowsAt(song, song.orderPosition)) {
        int32_t next = song.orderPosition + 1;
        if (next >= usableSongLength(song)) {
            next = song.restartPosition >= 0 && song.restartPosition < usableSongLength(song) ? song.restartPosition : 0;
        }
        song.nextOrder = next;
        song.nextRow = 0;
    }
}

}  // namespace

void resetReplayer(const Song& song)
{
    (void)song;
    std::memset(replayer.channels, 0, sizeof(replayer.channels));
    for (int32_t index = 0; index < maxChannels; ++index) {
        replayer.channels[index].voice = &mixer.voices[index];
    }
    replayer.rowCells = nullptr;
}

Selection selectSample(const Song& song, const Channel& channel)
{
    if (song.instruments == nullptr || channel.instrument >= song.instrumentCount) {
        return {&emptyInstrument, &emptySample};
    }
    Instrument& instrument = song.instruments[channel.instrument];
    Sample* sample = &emptySample;
    if (channel.note < keymapNotes) {
        const uint8_t slot = instrument.keymap[channel.note];
        if (slot < instrumentSampleSlots && instrument.samples[slot] != nullptr) {
            sample = instrument.samples[slot];
        }
    }
    return {&instrument, sample};
}

void playTick(Song& song)
{
    if (song.tick == 0) {
        if (song.nextOrder >= 0) {
            song.orderPosition = song.nextOrder;
        }
        if (song.nextRow >= 0) {
            song.row = song.nextRow;
        }
        if (song.orderPosition >= usableSongLength(song)) {
            song.orderPosition = 0;
        }
        // A break into a shorter pattern starts it at its first row.
        if (song.row < 0 || song.row >= rowsAt(song, song.orderPosition)) {
            song.row = 0;
        }
        processRow(song);
        planNextRow(song);
    } else {
        processEffects(song);
    }
    song.tick++;
    if (song.tick >= song.speed + song.patternDelayTicks) {
        song.tick = 0;
        song.patternDelayTicks = 0;
    }
}

void processRow(Song& song)
{
    song.nextOrder = -1;
    song.nextRow = -1;
    replayer.rowCells = nullptr;
    const Pattern* pattern = patternAt(song, song.orderPosition);
    if (pattern == nullptr || pattern->cells == nullptr || song.row < 0 || static_cast<int64_t>(song.row) >= static_cast<int64_t>(pattern->rows)) {
        return;
    }
    const int32_t channels = channelsInUse(song);
    const Cell* cells = pattern->cells + static_cast<int64_t>(song.row) * song.channelCount;
    replayer.rowCells = cells;
    RowContext row{false};
    for (int32_t index = 0; index < channels; ++index) {
        channelRowTick(song, replayer.channels[index], cells[index], row);
    }
}

void volumeColumnRowTick(Channel& channel, uint8_t volumeByte)
{
    const int32_t y = lastNibble(volumeByte);
    switch (firstNibble(volumeByte)) {
    case 0x1: case 0x2: case 0x3: case 0x4:
        channel.volume = volumeByte - 16;
        channel.updates |= updateVolume;
        break;
    case 0x5:   // 0x50 is volume 64; 0x51 to 0x5F do nothing
        if (volumeByte == 0x50) {
            channel.volume = 64;
            channel.updates |= updateVolume;
        }
        break;
    case 0x6: case 0x8:   // volume slide down; 0x6 goes on over the later ticks
        channel.volume = channel.volume - y < 0 ? 0 : channel.volume - y;
        channel.updates |= updateVolume;
        break;
    case 0x7: case 0x9:   // volume slide up; 0x7 goes on over the later ticks
        channel.volume = channel.volume + y > 64 ? 64 : channel.volume + y;
        channel.updates |= updateVolume;
        break;
    case 0xA:
        channel.vibratoSpeed = static_cast<uint8_t>(y);
        break;
    case 0xB:
        channel.vibratoDepth = static_cast<uint8_t>(y);
        break;
    case 0xC:
        channel.panning = 16 * y;
        channel.updates |= updatePanning;
        break;
    case 0xD:
        channel.panning -= y;
        channel.updates |= updatePanning;
        break;
    case 0xE:
        channel.panning += y;
        channel.updates |= updatePanning;
        break;
    case 0xF:   // tone portamento; the note is not restarted
        if (y != 0) {
            channel.portaSpeed = static_cast<uint8_t>(16 * y);
        }
        channel.portaTarget = channel.notePeriod;
        channel.updates &= static_cast<uint8_t>(~updateTrigger);
        break;
    default:    // 0x01 to 0x0F
        break;
    }
}

void triggerInstrument(Channel& channel, const Sample& sample)
{
    channel.volume = sample.volume;
    channel.panning = static_cast<int32_t>(sample.panning);
    channel.volumeEnvelopeOutput = 64;
    channel.volumeEnvelopePoint = 0;
    channel.volumeEnvelopeTick = 0;
    channel.volumeEnvelopeSlope = 0;
    channel.volumeEnvelopeDone = 0;
    channel.panningEnvelopeOutput = 32;
    channel.panningEnvelopePoint = 0;
    channel.panningEnvelopeTick = 0;
    channel.panningEnvelopeSlope = 0;
    channel.panningEnvelopeDone = 0;
    channel.keyReleased = 0;
    channel.fadeoutVolume = 65536;
    channel.autoVibratoSweep = 0;
    channel.autoVibratoPosition = 0;
    channel.tremorCounter = 0;
    if ((channel.waveforms & 0x0F) < 4) {
        channel.vibratoPosition = 0;
    }
    if ((channel.waveforms >> 4) < 4) {
        channel.tremoloPosition = 0;
    }
    channel.updates |= updateVolume | updatePanning;
}

int32_t notePeriodFor(const Song& song, int32_t realNote, int32_t finetune)
{
    if ((song.flags & 1) != 0) {
        return 7680 - 64 * realNote - finetune / 2;
    }
    return amigaPeriod(realNote, finetune);
}

namespace {

// The period of a note without finetune: 13.375 x 2^((132 - k) / 12), truncated.
[[nodiscard]] int32_t semitonePeriod(int32_t note)
{
    const double exponent = static_cast<double>(132 - note) * static_cast<double>(1.0f / 12.0f);
    return static_cast<int32_t>(std::trunc(13.375 * std::pow(2.0, exponent)));
}

}  // namespace

int32_t amigaPeriod(int32_t note, int32_t finetune)
{
    const int32_t period = semitonePeriod(note);
    if (finetune < 0 && note != 0) {
        return period + ((period - semitonePeriod(note - 1)) * -finetune) / -128;
    }
    return period + ((period - semitonePeriod(note + 1)) * finetune) / -128;
}

void setTempo(Song& song, int32_t bpm)
{
    if (bpm <= 0 || bpm > 32767) {
        return;
    }
    const double framesPerTick = 1000.0 / (bpm * static_cast<double>(0.4f)) * soundDevice.sampleRate *
                                 static_cast<double>(0.001f);
    const int32_t frames = static_cast<int32_t>(std::trunc(framesPerTick));
    // Very high tempos at very low rates would give no frame at all; the mixer needs one.
    song.samplesPerTick = frames > 0 ? frames : 1;
}
