// The Canvas's life cycle and its sprite store: the slot table that maps ids to
// records, and the newest-to-oldest list that releaseAll walks.
#include "graphics/Canvas.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <new>

Canvas::Canvas()
    : window(0), backBuffer(nullptr), colourKey(0), lastCreated(nullptr), newest(nullptr),
      oldest(nullptr), slots{}, created(0), width(0), height(0), spriteCount(0),
      fadeColour(colourBlack), backgroundColour(colourWhite)
{
}

Canvas::~Canvas()
{
    releaseAll();
}

int32_t Canvas::create(platform::WindowHandle targetWindow, uint32_t bufferWidth, uint32_t bufferHeight)
{
    if (targetWindow == 0 || bufferWidth == 0 || bufferHeight == 0 || bufferWidth > canvasMaxSide ||
        bufferHeight > canvasMaxSide) {
        return 0;
    }
    // A second create replaces the back buffer instead of leaking the first.
    destroySurface(backBuffer);
    backBuffer = nullptr;
    created = 0;
    window = targetWindow;
    backBuffer = createSurface(static_cast<int32_t>(bufferWidth), static_cast<int32_t>(bufferHeight));
    if (backBuffer == nullptr) {
        return 0;
    }
    // (4, 0, 0): a near-black red, so an undrawn buffer is told apart from black.
    const size_t pixelCount = static_cast<size_t>(bufferWidth) * bufferHeight;
    std::fill(backBuffer->pixels, backBuffer->pixels + pixelCount, pixelFromColour(0x000004));
    width = bufferWidth;
    height = bufferHeight;
    colourKey = colourMagenta;
    created = 1;
    return 1;
}

void Canvas::releaseAll()
{
    Sprite* record = newest;
    while (record != nullptr) {
        Sprite* older = record->older;
        destroySurface(record->image);
        destroyMask(record->mask);
        delete record;
        record = older;
    }
    newest = nullptr;
    oldest = nullptr;
    lastCreated = nullptr;
    std::fill(std::begin(slots), std::end(slots), nullptr);
    spriteCount = 0;
    destroySurface(backBuffer);
    backBuffer = nullptr;
    // Nothing may present the freed buffer.
    created = 0;
}

Sprite* Canvas::sprite(uint32_t id) const
{
    return id < spriteSlotCount ? slots[id] : nullptr;
}

uint32_t Canvas::lowestFreeId() const
{
    for (uint32_t id = 1; id < spriteSlotCount; id++) {
        if (slots[id] == nullptr) {
            return id;
        }
    }
    return 0;
}

uint32_t Canvas::addSprite(Surface* image)
{
    if (spriteCount >= spriteSlotCount) {
        return 0;
    }
    const uint32_t id = lowestFreeId();
    if (id == 0) {
        return 0;
    }
    Sprite* record = new (std::nothrow) Sprite{};
    if (record == nullptr) {
        return 0;
    }
    record->older = newest;
    record->newer = nullptr;
    if (newest != nullptr) {
        newest->newer = record;
    } else {
        oldest = record;
    }
    newest = record;
    lastCreated = record;
    record->image = image;
    record->mask = nullptr;
    record->width = static_cast<uint32_t>(image->width);
    record->height = static_cast<uint32_t>(image->height);
    record->x = 0;
    record->y = 0;
    slots[id] = record;
    spriteCount++;
    return id;
}

uint32_t Canvas::createSprite(uint32_t spriteWidth, uint32_t spriteHeight)
{
    // The image is made before anything is linked, so a failure leaves no trace.
    if (spriteWidth > INT32_MAX || spriteHeight > INT32_MAX || lowestFreeId() == 0) {
        return 0;
    }
    Surface* image = createSurface(static_cast<int32_t>(spriteWidth), static_cast<int32_t>(spriteHeight));
    if (image == nullptr) {
        return 0;
    }
    const uint32_t id = addSprite(image);
    if (id == 0) {
        destroySurface(image);
    }
    return id;
}

void Canvas::unlink(Sprite* record)
{
    if (record->newer != nullptr && record->older != nullptr) {
        record->newer->older = record->older;
        record->older->newer = record->newer;
    } else if (record == newest && record->older != nullptr) {
        newest = record->older;
        newest->newer = nullptr;
    } else if (record == oldest && record->newer != nullptr) {
        oldest = record->newer;
        oldest->older = nullptr;
    } else {
        newest = nullptr;
        oldest = nullptr;
    }
    if (lastCreated == record) {
        lastCreated = nullptr;
    }
}

int32_t Canvas::deleteSprite(uint32_t id)
{
    Sprite* record = sprite(id);
    if (record == nullptr) {
        return 0;
    }
    destroySurface(record->image);
    destroyMask(record->mask);
    unlink(record);
    delete record;
    slots[id] = nullptr;
    spriteCount--;
    return 1;
}

void Canvas::setSpritePosition(uint32_t id, int32_t x, int32_t y)
{
    Sprite* record = sprite(id);
    if (record != nullptr) {
        record->x = x;
        record->y = y;
    }
}
