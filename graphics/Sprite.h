// One live sprite of the Canvas's store: its image, its optional mask and the
// place it was last drawn or put. Owned by the Canvas; game thread.
#pragma once

#include <cstdint>

#include "graphics/Mask.h"
#include "graphics/Surface.h"

struct Sprite {
    Sprite* older;         // towards the oldest record, null at the end
    Sprite* newer;         // towards the newest record, null at the newest
    Surface* image;        // owned
    Mask* mask;            // owned; null until makeMask
    uint32_t width;        // pixels
    uint32_t height;
    int32_t x;             // left edge where last drawn or placed
    int32_t y;             // top edge, same meaning
};
