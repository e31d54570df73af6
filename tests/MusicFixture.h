// Songs built in memory for the mixer and replayer tests, and a player set up
// at 44,100 Hz without a device. Tests only.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "music/Mixer.h"
#include "music/Replayer.h"
#include "music/Song.h"
#include "music/SoundDevice.h"

namespace musictest {

// A song whose parts live in vectors; the Song's pointers lead into them.
struct TestSong {
    Song song{};
    std::vector<Pattern> patterns;
    std::vector<std::vector<Cell>> cells;
    std::vector<Instrument> instruments;
    std::vector<std::unique_ptr<Sample>> samples;
    std::vector<std::vector<int16_t>> sampleData;

    TestSong(int32_t channelCount, bool linear, int32_t speed = 6, int32_t bpm = 125)
    {
        song.channelCount = static_cast<int16_t>(channelCount);
        song.flags = linear ? 1 : 0;
        song.defaultSpeed = static_cast<int16_t>(speed);
        song.defaultBpm = static_cast<int16_t>(bpm);
        song.initialGlobalVolume = 64;
        song.tickFunction = playTick;
    }

    // Appends a pattern and names it at the next order position.
    int32_t addPattern(int32_t rows)
    {
        cells.emplace_back(static_cast<size_t>(rows * song.channelCount), Cell{});
        patterns.push_back(Pattern{static_cast<uint32_t>(rows), nullptr});
        const int32_t number = static_cast<int32_t>(patterns.size()) - 1;
        song.orderTable[song.songLength] = static_cast<uint8_t>(number);
        song.songLength++;
        return number;
    }

    Cell& cell(int32_t pattern, int32_t row, int32_t channel)
    {
        return cells[pattern][static_cast<size_t>(row * song.channelCount + channel)];
    }

    // An instrument with one sample on every note; values as given, loop as given.
    Instrument& addInstrument(std::vector<int16_t> values, uint8_t loopKind = loopNone, uint32_t loopStart = 0,
                              uint32_t loopLength = 0, uint8_t volume = 64, uint32_t panning = 128)
    {
        auto sample = std::make_unique<Sample>();
        const uint32_t length = static_cast<uint32_t>(values.size());
        values.resize(values.size() + 8, 0);
        if (loopKind == loopNone) {
            loopStart = 0;
            loopLength = length;
        } else if (loopKind == loopForward) {
            values[loopStart + loopLength] = values[loopStart];
        } else {
            values[loopStart + loopLength] = values[loopStart + loopLength - 1];
        }
        sampleData.push_back(std::move(values));
        *sample = Sample{sampleData.back().data(), length, loopStart, loopLength, volume, 0, panning, loopKind, 0};
        Instrument instrument{};
        instrument.sampleCount = 1;
        instrument.samples[0] = sample.get();
        for (int32_t slot = 1; slot < instrumentSampleSlots; ++slot) {
            instrument.samples[slot] = &emptySample;
        }
        samples.push_back(std::move(sample));
        instruments.push_back(instrument);
        return instruments.back();
    }

    Sample& sampleOf(int32_t instrument) { return *instruments[instrument].samples[0]; }

    // Points the Song at the vectors; call after the last add.
    Song& finish()
    {
        for (size_t index = 0; index < patterns.size(); ++index) {
            patterns[index].cells = cells[index].data();
        }
        song.patterns = patterns.data();
        song.patternCount = static_cast<int32_t>(patterns.size());
        song.usedPatterns = song.patternCount;
        song.instruments = instruments.empty() ? nullptr : instruments.data();
        song.instrumentCount = static_cast<int16_t>(instruments.size());
        return song;
    }
};

// The player at 44,100 Hz with a song at its start, no device; released afterwards.
struct PlayerTest : ::testing::Test {
    void start(Song& song)
    {
        ASSERT_TRUE(setUpRate(44100));
        ASSERT_TRUE(prepareSong(song));
    }
    void TearDown() override
    {
        releaseBuffers();
        soundDevice.currentSong = nullptr;
    }
    // Runs count ticks and gathers what the probe reads after each.
    std::vector<int32_t> trace(Song& song, int32_t count, const std::function<int32_t()>& probe)
    {
        std::vector<int32_t> values;
        for (int32_t tick = 0; tick < count; ++tick) {
            playTick(song);
            values.push_back(probe());
        }
        return values;
    }
};

inline std::vector<int16_t> constantSample(int32_t length, int16_t value)
{
    return std::vector<int16_t>(static_cast<size_t>(length), value);
}

}  // namespace musictest
