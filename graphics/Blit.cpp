// Clipping and row copies between surfaces.
#include "graphics/Blit.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

bool clipBlit(int64_t x, int64_t y, int64_t sourceWidth, int64_t sourceHeight, int64_t targetWidth,
              int64_t targetHeight, BlitArea& area)
{
    const int64_t left = std::max<int64_t>(x, 0);
    const int64_t top = std::max<int64_t>(y, 0);
    const int64_t right = std::min(x + sourceWidth, targetWidth);
    const int64_t bottom = std::min(y + sourceHeight, targetHeight);
    if (right <= left || bottom <= top) {
        return false;
    }
    // Every value now lies within one of the two surfaces, so it fits 32 bits.
    area.targetX = static_cast<int32_t>(left);
    area.targetY = static_cast<int32_t>(top);
    area.sourceX = static_cast<int32_t>(left - x);
    area.sourceY = static_cast<int32_t>(top - y);
    area.width = static_cast<int32_t>(right - left);
    area.height = static_cast<int32_t>(bottom - top);
    return true;
}

void copyArea(const Surface& source, Surface& target, const BlitArea& area)
{
    const size_t rowBytes = static_cast<size_t>(area.width) * sizeof(uint32_t);
    // Copying a surface onto itself lower down must start from the bottom row, or
    // it would read rows it has already overwritten.
    const bool bottomUp = &source == &target && area.targetY > area.sourceY;
    for (int32_t step = 0; step < area.height; step++) {
        const int32_t row = bottomUp ? area.height - 1 - step : step;
        std::memmove(&pixelAt(target, area.targetX, area.targetY + row),
                     &pixelAt(source, area.sourceX, area.sourceY + row), rowBytes);
    }
}
