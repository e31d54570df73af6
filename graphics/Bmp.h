// Reading Windows BMP files into surfaces. Any thread; no shared state.
#pragma once

#include <cstddef>
#include <cstdint>

#include "graphics/Surface.h"

// A new surface holding the picture (0x00RRGGBB, top row first), or null for anything
// that is not a readable BMP. Never reads outside data[0, size).
[[nodiscard]] Surface* decodeBmp(const uint8_t* data, size_t size);
// The same for a file on disk; null when it cannot be read.
[[nodiscard]] Surface* readBmpFile(const char* path);
