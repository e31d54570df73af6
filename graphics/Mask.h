// A sprite's transparency mask: a snapshot, taken once, of which image pixels
// were the colour key. Kept as the solid spans of each row, so a keyed draw
// copies whole spans and skips the transparent gaps without looking at them.
#pragma once

#include <cstdint>

#include "graphics/Surface.h"

// A run of solid pixels within one row, in pixels from the row's left edge.
struct MaskSpan {
    uint32_t start;
    uint32_t length;
};

struct Mask {
    MaskSpan* spans;       // owned; every row's spans, top row first, left to right
    uint32_t* rowFirst;    // owned; height + 1 entries: row r holds spans [rowFirst[r], rowFirst[r + 1])
    int32_t width;         // pixels
    int32_t height;
};

// The mask of an image: transparent exactly where the pixel (0x00RRGGBB, the top
// byte ignored) equals keyPixel. Null when it cannot be allocated.
[[nodiscard]] Mask* buildMask(const Surface& image, uint32_t keyPixel);
void destroyMask(Mask* mask);
// The mask bit at (x, y): 1 transparent, 0 solid. The point must lie inside the mask.
[[nodiscard]] int32_t maskBit(const Mask& mask, int32_t x, int32_t y);
