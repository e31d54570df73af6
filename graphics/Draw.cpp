// Draws into the back buffer (opaque, through the mask, stretched) and copies
// of the back buffer to the window. Game thread; present also from the main thread.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>

#include "graphics/Blit.h"
#include "graphics/Canvas.h"

namespace {

// Lone pixels are common along the edges of shapes; for them a call to memcpy
// costs more than the pixel.
inline void copyRun(uint32_t* target, const uint32_t* source, uint32_t count)
{
    if (count == 1) {
        *target = *source;
    } else {
        std::memcpy(target, source, count * sizeof(uint32_t));
    }
}

// Bits set in the fade colour keep the back buffer's, the rest come from the sprite.
inline void fadeRun(uint32_t* target, const uint32_t* source, uint32_t count, uint32_t fadePixel)
{
    for (uint32_t k = 0; k < count; k++) {
        target[k] = (target[k] & fadePixel) | (source[k] & ~fadePixel);
    }
}

// With a black fade colour (the usual case) the sprite's pixels are copied as they are.
inline void writeRun(uint32_t* target, const uint32_t* source, uint32_t count, uint32_t fadePixel)
{
    if (fadePixel == 0) {
        copyRun(target, source, count);
    } else {
        fadeRun(target, source, count, fadePixel);
    }
}

// Writes the solid spans of one sprite row that fall inside [clipLeft, clipRight)
// of the sprite. target[k] lies under sprite column clipLeft + k.
void drawSolidSpans(const Mask& mask, int32_t row, const uint32_t* source, uint32_t* target,
                    uint32_t clipLeft, uint32_t clipRight, uint32_t fadePixel)
{
    const MaskSpan* span = mask.spans + mask.rowFirst[row];
    const MaskSpan* end = mask.spans + mask.rowFirst[row + 1];
    if (clipLeft == 0 && clipRight == static_cast<uint32_t>(mask.width)) {
        // The whole row is visible: no span needs cutting.
        for (; span != end; span++) {
            writeRun(target + span->start, source + span->start, span->length, fadePixel);
        }
        return;
    }
    for (; span != end && span->start < clipRight; span++) {
        const uint32_t from = std::max(span->start, clipLeft);
        const uint32_t to = std::min(span->start + span->length, clipRight);
        if (from >= to) {
            continue;
        }
        writeRun(target + (from - clipLeft), source + from, to - from, fadePixel);
    }
}

// The first source index, and one past the last, of the pixels that land on target
// index t when size source pixels are scaled to scaled ones. Shrinking hands each
// source pixel to exactly one target pixel; enlarging repeats them.
void sourceRange(int64_t t, int64_t size, int64_t scaled, int32_t& first, int32_t& end)
{
    const int64_t from = t * size / scaled;
    const int64_t to = std::max(from + 1, (t + 1) * size / scaled);
    first = static_cast<int32_t>(from);
    end = static_cast<int32_t>(to);
}

// AND of the source block; pixels that shrink together keep only the bits they share.
uint32_t andOfBlock(const Surface& image, int32_t left, int32_t right, int32_t top, int32_t bottom)
{
    uint32_t value = 0xFFFFFFFFu;
    for (int32_t y = top; y < bottom; y++) {
        for (int32_t x = left; x < right; x++) {
            value &= pixelAt(image, x, y);
        }
    }
    return value;
}

void stretchInto(const Surface& image, Surface& target, const BlitArea& area, int64_t scaledWidth,
                 int64_t scaledHeight)
{
    for (int32_t row = 0; row < area.height; row++) {
        int32_t top = 0;
        int32_t bottom = 0;
        sourceRange(area.sourceY + row, image.height, scaledHeight, top, bottom);
        uint32_t* out = &pixelAt(target, area.targetX, area.targetY + row);
        for (int32_t column = 0; column < area.width; column++) {
            int32_t left = 0;
            int32_t right = 0;
            sourceRange(area.sourceX + column, image.width, scaledWidth, left, right);
            out[column] = andOfBlock(image, left, right, top, bottom);
        }
    }
}

}  // namespace

void Canvas::drawSprite(uint32_t id, int32_t x, int32_t y, int32_t showNow)
{
    Sprite* record = sprite(id);
    if (record == nullptr) {
        return;
    }
    record->x = x;
    record->y = y;
    if (static_cast<int64_t>(x) > width || static_cast<int64_t>(y) > height || backBuffer == nullptr) {
        return;
    }
    BlitArea area{};
    if (clipBlit(x, y, record->width, record->height, width, height, area)) {
        copyArea(*record->image, *backBuffer, area);
    }
    if (showNow != 0) {
        showRectangle(x, y, record->width, record->height);
    }
}

void Canvas::drawSpriteKeyed(uint32_t id, int32_t x, int32_t y, int32_t showNow)
{
    Sprite* record = sprite(id);
    if (record == nullptr || record->image == nullptr || record->mask == nullptr) {
        return;
    }
    BlitArea area{};
    if (backBuffer != nullptr && clipBlit(x, y, record->width, record->height, width, height, area)) {
        const uint32_t fadePixel = pixelFromColour(fadeColour);
        const uint32_t clipLeft = static_cast<uint32_t>(area.sourceX);
        const uint32_t clipRight = clipLeft + static_cast<uint32_t>(area.width);
        for (int32_t row = 0; row < area.height; row++) {
            const int32_t sourceRow = area.sourceY + row;
            drawSolidSpans(*record->mask, sourceRow, &pixelAt(*record->image, 0, sourceRow),
                           &pixelAt(*backBuffer, area.targetX, area.targetY + row), clipLeft,
                           clipRight, fadePixel);
        }
    }
    record->x = x;
    record->y = y;
    if (showNow != 0) {
        showRectangle(x, y, record->width, record->height);
    }
}

int32_t Canvas::drawSpriteStretched(uint32_t id, int32_t x, int32_t y, int32_t scaledWidth,
                                    int32_t scaledHeight, int32_t showNow)
{
    Sprite* record = sprite(id);
    if (record == nullptr) {
        return 0;
    }
    // A negative size draws nothing, like 0.
    if (scaledWidth <= 0 || scaledHeight <= 0) {
        return 1;
    }
    BlitArea area{};
    if (backBuffer != nullptr && clipBlit(x, y, scaledWidth, scaledHeight, width, height, area)) {
        stretchInto(*record->image, *backBuffer, area, scaledWidth, scaledHeight);
    }
    if (showNow == 1) {
        showRectangle(x, y, scaledWidth, scaledHeight);
    }
    return 1;
}

void Canvas::present()
{
    presentAt(0, 0);
}

void Canvas::presentAt(int32_t x, int32_t y)
{
    if (created == 1) {
        platform::presentPixels(window, backBuffer->pixels, backBuffer->width, backBuffer->height, x, y);
    }
}

void Canvas::showRectangle(int32_t x, int32_t y, int64_t rectWidth, int64_t rectHeight) const
{
    BlitArea area{};
    if (created != 1 || !clipBlit(x, y, rectWidth, rectHeight, width, height, area)) {
        return;
    }
    Surface part{new (std::nothrow) uint32_t[static_cast<size_t>(area.width) * area.height], area.width,
                 area.height};
    if (part.pixels == nullptr) {
        return;
    }
    copyArea(*backBuffer, part, {0, 0, area.targetX, area.targetY, area.width, area.height});
    platform::presentPixels(window, part.pixels, part.width, part.height, area.targetX, area.targetY);
    delete[] part.pixels;
}
