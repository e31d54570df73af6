// The replayer: walks the song tick by tick, applies rows, effects and
// envelopes to the 32 channels and hands each channel's state to its voice.
// Runs inside renderBlock: on the feeder, or on playSong's caller while it pre-fills.
#pragma once

#include <cstdint>

#include "music/Channel.h"
#include "music/Song.h"

struct Replayer {
    Channel channels[maxChannels];
    const Cell* rowCells;          // the row the last row tick read; the later ticks act on it; null: none
};

extern Replayer replayer;

// Every channel cleared and linked to its own voice; no row read yet.
void resetReplayer(const Song& song);

// The Song's tickFunction.
void playTick(Song& song);
void processRow(Song& song);
void processEffects(Song& song);
// Ignores a tempo of 0 or above 32767 (read as negative).
void setTempo(Song& song, int32_t bpm);
// Periods: the linear table or the Amiga one, by the song's flags.
[[nodiscard]] int32_t notePeriodFor(const Song& song, int32_t realNote, int32_t finetune);
[[nodiscard]] int32_t amigaPeriod(int32_t note, int32_t finetune);
void triggerInstrument(Channel& channel, const Sample& sample);

// The instrument and sample a channel plays: emptyInstrument and emptySample
// stand in when its numbers lead nowhere.
struct Selection {
    Instrument* instrument;
    Sample* sample;
};
[[nodiscard]] Selection selectSample(const Song& song, const Channel& channel);

// Shared by the row tick and the later ticks.
enum class Envelope { volume, panning };
void stepEnvelope(Channel& channel, const Instrument& instrument, Envelope which);
void setVolumeEnvelopePosition(Channel& channel, const Instrument& instrument, int32_t tick);
void vibrato(Channel& channel);
void advanceVibrato(Channel& channel);
void tremolo(Channel& channel);
void tonePortamento(Channel& channel);
void tremor(Channel& channel);
void autoVibrato(Channel& channel, const Instrument& instrument);
void volumeColumnRowTick(Channel& channel, uint8_t volumeByte);
[[nodiscard]] int32_t vibratoWave(int32_t position, int32_t shape);
[[nodiscard]] int32_t autoVibratoWave(int32_t position, int32_t type);

void updateVoice(Channel& channel, const Sample& sample, const Song& song);
