// The pixel-exact overlap test of two sprites at their recorded positions.
// Game thread.
#include "graphics/Blit.h"
#include "graphics/Canvas.h"

namespace {

// A sprite's rectangle at its recorded position, in 64 bits so sums cannot overflow.
struct Placed {
    const Surface* image;
    int64_t x;
    int64_t y;
    int64_t width;
    int64_t height;
};

Placed placed(const Sprite& record)
{
    return {record.image, record.x, record.y, record.width, record.height};
}

// Both edges count as inside.
bool inside(const Placed& b, int64_t px, int64_t py)
{
    return b.x <= px && px <= b.x + b.width && b.y <= py && py <= b.y + b.height;
}

// Where to scan: size of the region and its top-left in each sprite's image.
struct ScanRegion {
    int64_t width;
    int64_t height;
    int64_t aX;
    int64_t aY;
    int64_t bX;
    int64_t bY;
};

// Only a's corners are tried against b, in this order; false when none lies inside b.
bool pickRegion(const Placed& a, const Placed& b, ScanRegion& region)
{
    if (inside(b, a.x, a.y)) {
        region = {b.x + b.width - a.x, b.y + b.height - a.y, 0, 0, a.x - b.x, a.y - b.y};
    } else if (inside(b, a.x + a.width, a.y + a.height)) {
        region = {a.x + a.width - b.x, a.y + a.height - b.y, b.x - a.x, b.y - a.y, 0, 0};
    } else if (inside(b, a.x + a.width, a.y)) {
        region = {a.x + a.width - b.x, b.y + b.height - a.y, b.x - a.x, 0, 0, a.y - b.y};
    } else if (inside(b, a.x, a.y + a.height)) {
        region = {b.x + b.width - a.x, a.y + a.height - b.y, 0, b.y - a.y, a.x - b.x, 0};
    } else {
        return false;
    }
    return true;
}

// A point outside the image is never the key: it counts as solid.
bool solidAt(const Surface& image, int64_t x, int64_t y, uint32_t keyPixel)
{
    if (x < 0 || y < 0 || x >= image.width || y >= image.height) {
        return true;
    }
    return (pixelAt(image, static_cast<int32_t>(x), static_cast<int32_t>(y)) & 0xFFFFFFu) != keyPixel;
}

}  // namespace

int32_t Canvas::spritesCollide(uint32_t idA, uint32_t idB) const
{
    const Sprite* recordA = sprite(idA);
    const Sprite* recordB = sprite(idB);
    if (recordA == nullptr || recordB == nullptr) {
        return 0;
    }
    const Placed a = placed(*recordA);
    const Placed b = placed(*recordB);
    ScanRegion region{};
    if (!pickRegion(a, b, region)) {
        return 0;
    }
    const uint32_t keyPixel = pixelFromColour(colourKey);
    for (int64_t i = 0; i < region.width; i++) {
        for (int64_t j = 0; j < region.height; j++) {
            if (solidAt(*a.image, region.aX + i, region.aY + j, keyPixel) &&
                solidAt(*b.image, region.bX + i, region.bY + j, keyPixel)) {
                return 1;
            }
        }
    }
    return 0;
}
