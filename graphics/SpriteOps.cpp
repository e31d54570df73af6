// Sprite-to-sprite operations: copies, cuts, duplicates, fills, masks, and the
// fade colour of keyed draws. Game thread (and the main thread at start-up).
#include <algorithm>
#include <cstddef>

#include "graphics/Blit.h"
#include "graphics/Canvas.h"

int32_t Canvas::copySprite(uint32_t targetId, uint32_t sourceId)
{
    Sprite* target = sprite(targetId);
    const Sprite* source = sprite(sourceId);
    if (target == nullptr || source == nullptr || target->image == nullptr || source->image == nullptr) {
        return 0;
    }
    const int32_t copyWidth = std::min(source->image->width, target->image->width);
    const int32_t copyHeight = std::min(source->image->height, target->image->height);
    copyArea(*source->image, *target->image, {0, 0, 0, 0, copyWidth, copyHeight});
    return 1;
}

int32_t Canvas::copySpriteAt(uint32_t targetId, uint32_t sourceId, int32_t x, int32_t y)
{
    Sprite* target = sprite(targetId);
    const Sprite* source = sprite(sourceId);
    if (target == nullptr || source == nullptr || target->image == nullptr || source->image == nullptr) {
        return 0;
    }
    BlitArea area{};
    if (clipBlit(x, y, source->width, source->height, target->width, target->height, area)) {
        copyArea(*source->image, *target->image, area);
    }
    return 1;
}

uint32_t Canvas::cutSprite(uint32_t sourceId, uint32_t left, uint32_t top, uint32_t right, uint32_t bottom)
{
    const Sprite* source = sprite(sourceId);
    if (source == nullptr || source->image == nullptr || right <= left || bottom <= top) {
        return 0;
    }
    right = std::min(right, source->width);
    bottom = std::min(bottom, source->height);
    if (right <= left || bottom <= top) {
        return 0;
    }
    const uint32_t id = createSprite(right - left, bottom - top);
    if (id == 0) {
        return 0;
    }
    Surface& cut = *sprite(id)->image;
    copyArea(*source->image, cut,
             {0, 0, static_cast<int32_t>(left), static_cast<int32_t>(top), cut.width, cut.height});
    return id;
}

uint32_t Canvas::duplicateSprite(uint32_t sourceId)
{
    const Sprite* source = sprite(sourceId);
    if (source == nullptr || source->image == nullptr) {
        return 0;
    }
    const uint32_t id = createSprite(source->width, source->height);
    if (id != 0) {
        copySprite(id, sourceId);
    }
    return id;
}

void Canvas::fillSprite(uint32_t id, int32_t red, int32_t green, int32_t blue)
{
    Sprite* record = sprite(id);
    if (record == nullptr || record->image == nullptr) {
        return;
    }
    const uint32_t pixel = (static_cast<uint32_t>(red & 0xFF) << 16) |
                           (static_cast<uint32_t>(green & 0xFF) << 8) | static_cast<uint32_t>(blue & 0xFF);
    Surface& image = *record->image;
    std::fill(image.pixels, image.pixels + static_cast<size_t>(image.width) * image.height, pixel);
}

int32_t Canvas::makeMask(uint32_t id)
{
    Sprite* record = sprite(id);
    if (record == nullptr || record->image == nullptr || record->mask != nullptr) {
        return 0;
    }
    // Magenta whatever colourKey holds: a sprite may be masked before create.
    record->mask = buildMask(*record->image, pixelFromColour(colourMagenta));
    return record->mask != nullptr ? 1 : 0;
}

Colour Canvas::setFadeColour(Colour colour)
{
    const Colour previous = fadeColour;
    fadeColour = colour;
    return previous;
}
