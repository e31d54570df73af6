// Plain 32-bit pixel buffers: the back buffer and every sprite image.
#pragma once

#include <cstdint>

// Pixels row after row, 0x00RRGGBB: the layout the window shows without conversion.
struct Surface {
    uint32_t* pixels;      // owned
    int32_t width;
    int32_t height;
};

// A zero-filled surface, or null when it cannot be allocated or a side is not positive.
[[nodiscard]] Surface* createSurface(int32_t width, int32_t height);
void destroySurface(Surface* surface);
