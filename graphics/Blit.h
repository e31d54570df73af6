// Rectangle clipping and copying between pixel surfaces, shared by the draws
// and the sprite-to-sprite operations. No state; any thread.
#pragma once

#include <cstdint>

#include "graphics/Surface.h"

// The part of a source rectangle that lands inside a target, in both frames.
struct BlitArea {
    int32_t targetX;
    int32_t targetY;
    int32_t sourceX;       // where in the source the visible part starts
    int32_t sourceY;
    int32_t width;         // pixels; both positive when clipBlit returns true
    int32_t height;
};

// Clips a sourceWidth x sourceHeight rectangle placed with its top-left at (x, y)
// to a targetWidth x targetHeight target. False when nothing of it is visible.
[[nodiscard]] bool clipBlit(int64_t x, int64_t y, int64_t sourceWidth, int64_t sourceHeight,
                            int64_t targetWidth, int64_t targetHeight, BlitArea& area);

// Copies the area row by row; source and target may be the same surface.
void copyArea(const Surface& source, Surface& target, const BlitArea& area);

// The pixel at (x, y) of a surface known to contain it.
[[nodiscard]] inline uint32_t& pixelAt(Surface& surface, int32_t x, int32_t y)
{
    return surface.pixels[static_cast<int64_t>(y) * surface.width + x];
}
[[nodiscard]] inline const uint32_t& pixelAt(const Surface& surface, int32_t x, int32_t y)
{
    return surface.pixels[static_cast<int64_t>(y) * surface.width + x];
}
