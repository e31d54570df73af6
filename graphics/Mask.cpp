// Building masks from images and reading single bits back.
#include "graphics/Mask.h"

#include <cstddef>
#include <new>

namespace {

bool isKey(uint32_t pixel, uint32_t keyPixel)
{
    return (pixel & 0xFFFFFFu) == keyPixel;
}

// Walks the solid spans of one image row, calling emit(start, length) for each.
template <typename Emit>
void forEachSolidSpan(const uint32_t* row, int32_t width, uint32_t keyPixel, Emit emit)
{
    int32_t x = 0;
    while (x < width) {
        while (x < width && isKey(row[x], keyPixel)) {
            x++;
        }
        const int32_t start = x;
        while (x < width && !isKey(row[x], keyPixel)) {
            x++;
        }
        if (x > start) {
            emit(static_cast<uint32_t>(start), static_cast<uint32_t>(x - start));
        }
    }
}

}  // namespace

Mask* buildMask(const Surface& image, uint32_t keyPixel)
{
    keyPixel &= 0xFFFFFFu;
    const size_t rowCount = static_cast<size_t>(image.height);
    uint32_t* rowFirst = new (std::nothrow) uint32_t[rowCount + 1];
    if (rowFirst == nullptr) {
        return nullptr;
    }
    // First pass counts the spans so the second can fill one exact array.
    uint32_t spanCount = 0;
    for (int32_t y = 0; y < image.height; y++) {
        rowFirst[y] = spanCount;
        forEachSolidSpan(image.pixels + static_cast<size_t>(y) * image.width, image.width, keyPixel,
                         [&](uint32_t, uint32_t) { spanCount++; });
    }
    rowFirst[rowCount] = spanCount;

    MaskSpan* spans = new (std::nothrow) MaskSpan[spanCount];
    Mask* mask = new (std::nothrow) Mask{spans, rowFirst, image.width, image.height};
    if (spans == nullptr || mask == nullptr) {
        delete[] spans;
        delete[] rowFirst;
        delete mask;
        return nullptr;
    }
    uint32_t next = 0;
    for (int32_t y = 0; y < image.height; y++) {
        forEachSolidSpan(image.pixels + static_cast<size_t>(y) * image.width, image.width, keyPixel,
                         [&](uint32_t start, uint32_t length) { spans[next++] = {start, length}; });
    }
    return mask;
}

void destroyMask(Mask* mask)
{
    if (mask != nullptr) {
        delete[] mask->spans;
        delete[] mask->rowFirst;
        delete mask;
    }
}

int32_t maskBit(const Mask& mask, int32_t x, int32_t y)
{
    const uint32_t column = static_cast<uint32_t>(x);
    for (uint32_t s = mask.rowFirst[y]; s < mask.rowFirst[y + 1]; s++) {
        if (column >= mask.spans[s].start && column - mask.spans[s].start < mask.spans[s].length) {
            return 0;
        }
    }
    return 1;
}
