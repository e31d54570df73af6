// The XM loader's steps, shared by its two source files (header and patterns;
// instruments and samples). Main thread, during loadSong.
#pragma once

#include <cstdint>

#include "music/Song.h"
#include "music/XmInput.h"

// How far one step of the loader got.
enum class LoadStep : uint8_t {
    complete,   // read in full; the next structure follows
    cutShort,   // the file ended inside it: what was read is kept, nothing after it is read
    refused,    // the module cannot be played, or memory ran out
};

// Allocates the instrument array with every sample slot on emptySample; false without memory.
[[nodiscard]] bool allocateInstruments(Song& song, int32_t instrumentCount);
// Reads the instrument count that allocateInstruments was given, from the current position.
[[nodiscard]] LoadStep readInstruments(XmInput& input, Song& song);
