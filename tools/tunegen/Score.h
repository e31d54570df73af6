// A small text notation for writing the tune: one token per pattern row.
//   "."      nothing new on this row
//   "-"      key off
//   "A4"     a note (sharps only: "C#5"); octave 4 holds the A of 440 Hz
//   "~A5"    slide to the note (tone portamento) instead of striking it
// Drum lines use letters from the kit (see Tune.cpp).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/xmwriter/XmWriter.h"

namespace tunegen {

constexpr int32_t rowsPerBar = 16;
constexpr int32_t barsPerPattern = 4;
constexpr int32_t patternRows = rowsPerBar * barsPerPattern;

// XM note number of a name such as "A4" or "C#5" (1 = C-0), 0 when it is not a note.
[[nodiscard]] uint8_t noteNumber(const std::string& name);
[[nodiscard]] std::vector<std::string> tokens(const std::string& line);

// Effect numbers as the XM format stores them.
namespace fx {
constexpr uint8_t arpeggio = 0x0;
constexpr uint8_t portaUp = 0x1;
constexpr uint8_t tonePorta = 0x3;
constexpr uint8_t vibrato = 0x4;
constexpr uint8_t setPanning = 0x8;
constexpr uint8_t volumeSlide = 0xA;
constexpr uint8_t setVolume = 0xC;
constexpr uint8_t extended = 0xE;
constexpr uint8_t speed = 0xF;
}  // namespace fx

// The volume column's "set volume" command for v in 0..64.
[[nodiscard]] constexpr uint8_t volumeColumn(int32_t v)
{
    return static_cast<uint8_t>(0x10 + v);
}

struct NoteLine {
    int32_t channel;
    int32_t firstRow;
    uint8_t instrument;
    uint8_t volume;        // volume-column byte for struck notes, 0 for the sample's own
    uint8_t slideSpeed;    // tone portamento speed for "~" notes
};

// Writes the notes of a line into the pattern; returns the rows it covered.
int32_t writeNotes(xmwriter::Pattern& pattern, const NoteLine& line, const std::string& text);

// Sets the effect of every row from firstRow on for count rows, where no effect is set yet.
void fillEffect(xmwriter::Pattern& pattern, int32_t channel, int32_t firstRow, int32_t count, uint8_t effect,
                uint8_t parameter);

}  // namespace tunegen
