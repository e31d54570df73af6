// Text drawn straight into the window picture before the game's own font is
// loaded (the waiting message): a small built-in 5x7 font at twice its size,
// black on a white strip, as a window's default drawing context shows it.
#pragma once

#include <cstdint>

namespace windowtext {

constexpr int32_t glyphScale = 2;
constexpr int32_t cellWidth = 6 * glyphScale;     // pixels per character
constexpr int32_t cellHeight = 8 * glyphScale;    // pixels per line
constexpr uint32_t inkColour = 0x000000;          // 0x00RRGGBB
constexpr uint32_t paperColour = 0xFFFFFF;

[[nodiscard]] int32_t textWidth(const char* text);

// Draws one line horizontally centred in left..right, its top at top, clipped to the
// rectangle and to the picture (width x height pixels, 0x00RRGGBB, row after row).
// Only the strip behind the text changes.
void drawCentred(uint32_t* picture, int32_t width, int32_t height, const char* text, int32_t left,
                 int32_t top, int32_t right, int32_t bottom);

}  // namespace windowtext
