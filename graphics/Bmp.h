// Reading Windows BMP files into surfaces. Any thread; no shared state.
#pragma once

#include <cstddef>
#include <cstdint>

#include "graphics/Surface.h"

// A new surface holding the picture (0x00RRGGBB, top row first), or null for anything
// that is not a readable BMP. Never reads outside data[0, size).
// Reads OS/2 core, Windows info, V4 and V5 headers; 1, 4 and 8 bits with a palette,
// 16 and 32 bits (default or bitfield masks), 24 bits, RLE8 and RLE4 (pixels an RLE
// stream skips are black). At most 16384 pixels a side and 4096 x 4096 in all.
[[nodiscard]] Surface* decodeBmp(const uint8_t* data, size_t size);
// The same for a file on disk; null when it cannot be read.
[[nodiscard]] Surface* readBmpFile(const char* path);
