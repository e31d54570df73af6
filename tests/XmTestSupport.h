// Helpers of the XM tests: modules built with the writer, loaded from memory.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "music/Song.h"
#include "music/SongApi.h"
#include "tools/xmwriter/MemoryFiles.h"
#include "tools/xmwriter/SongCheck.h"
#include "tools/xmwriter/XmWriter.h"

struct SongDeleter {
    void operator()(Song* song) const { freeSong(song); }
};
using SongPtr = std::unique_ptr<Song, SongDeleter>;

// Loads from memory; a Song that comes back must keep every promise to the player.
inline SongPtr loadXmBytes(std::vector<uint8_t> bytes)
{
    memoryfiles::install();
    memoryfiles::add("test.xm", std::move(bytes));
    SongPtr song(loadSong("test.xm"));
    if (song != nullptr) {
        EXPECT_EQ(brokenPromise(*song), "");
    }
    return song;
}

// A module of one empty pattern and one instrument holding the given samples.
inline xmwriter::Module sampleModule(std::vector<xmwriter::Sample> samples)
{
    xmwriter::Module module;
    module.channels = 1;
    module.patterns = {xmwriter::Pattern::blank(1, 1)};
    xmwriter::Instrument instrument;
    instrument.samples = std::move(samples);
    module.instruments = {instrument};
    return module;
}

// Two channels, one 4-row pattern with a note, one instrument with a short 8-bit sample.
inline xmwriter::Module smallModule()
{
    xmwriter::Module module;
    module.channels = 2;
    module.order = {0};
    xmwriter::Pattern pattern = xmwriter::Pattern::blank(4, 2);
    pattern.at(0, 0) = {49, 1, 0x40, 0, 0};
    module.patterns = {pattern};
    xmwriter::Instrument instrument;
    xmwriter::Sample sample;
    sample.pcm = {0, 256, -256, 512};
    instrument.samples = {sample};
    module.instruments = {instrument};
    return module;
}
