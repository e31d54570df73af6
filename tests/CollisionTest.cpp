#include <gtest/gtest.h>

#include <cstdint>

#include "GraphicsFixture.h"
#include "graphics/Canvas.h"

namespace {

enum class Fill { solid, clear, leftHalf, rightHalf, topHalf, bottomHalf };

struct Placed {
    int32_t width;
    int32_t height;
    Fill fill;
    int32_t x;
    int32_t y;
};

struct CollideCase {
    const char* name;
    Placed a;
    Placed b;
    int32_t result;
};

const CollideCase collideCases[] = {
    {"one pixel overlaps", {10, 10, Fill::solid, 0, 0}, {10, 10, Fill::solid, 9, 9}, 1},
    {"corner touches, empty region", {10, 10, Fill::solid, 0, 0}, {10, 10, Fill::solid, 10, 10}, 0},
    {"side by side", {10, 10, Fill::solid, 0, 0}, {10, 10, Fill::solid, 11, 0}, 0},
    {"b wholly inside a", {20, 20, Fill::solid, 0, 0}, {4, 4, Fill::solid, 8, 8}, 0},
    {"a wholly inside b", {4, 4, Fill::solid, 8, 8}, {20, 20, Fill::solid, 0, 0}, 1},
    // The scan runs on to b's edges, beyond a's image, where a counts as solid.
    {"clear a, scan past its image", {4, 4, Fill::clear, 10, 5}, {20, 20, Fill::solid, 0, 0}, 1},
    {"overlap over b's clear pixels", {10, 10, Fill::solid, 0, 0}, {10, 10, Fill::clear, 5, 5}, 0},
    // Top-right corner inside b: the region covers a's columns 5 to 9.
    {"top-right, solid left half", {10, 10, Fill::leftHalf, -5, 15}, {20, 20, Fill::solid, 0, 0}, 0},
    {"top-right, solid right half", {10, 10, Fill::rightHalf, -5, 15}, {20, 20, Fill::solid, 0, 0}, 1},
    // Bottom-left corner inside b: the region covers a's rows 5 to 9.
    {"bottom-left, solid top half", {10, 10, Fill::topHalf, 15, -5}, {20, 20, Fill::solid, 0, 0}, 0},
    {"bottom-left, solid bottom half", {10, 10, Fill::bottomHalf, 15, -5}, {20, 20, Fill::solid, 0, 0}, 1},
};

bool solid(const Placed& p, int32_t x, int32_t y)
{
    switch (p.fill) {
    case Fill::solid: return true;
    case Fill::clear: return false;
    case Fill::leftHalf: return x < p.width / 2;
    case Fill::rightHalf: return x >= p.width / 2;
    case Fill::topHalf: return y < p.height / 2;
    case Fill::bottomHalf: return y >= p.height / 2;
    }
    return false;
}

TEST_F(CanvasTest, SpritesCollideTestsOnlyTheCornersOfA)
{
    for (const CollideCase& c : collideCases) {
        SCOPED_TRACE(c.name);
        uint32_t ids[2] = {};
        const Placed* placed[2] = {&c.a, &c.b};
        for (int32_t k = 0; k < 2; k++) {
            const Placed& p = *placed[k];
            ids[k] = paintedSprite(p.width, p.height,
                                   [&p](int32_t x, int32_t y) { return solid(p, x, y) ? 0x336699u : magentaPixel; });
            canvas.setSpritePosition(ids[k], p.x, p.y);
        }
        EXPECT_EQ(canvas.spritesCollide(ids[0], ids[1]), c.result);
        canvas.deleteSprite(ids[0]);
        canvas.deleteSprite(ids[1]);
    }
}

TEST_F(CanvasTest, SpritesCollideWithAFreeIdIsNo)
{
    const uint32_t id = solidSprite(4, 4, 0x010101);
    EXPECT_EQ(canvas.spritesCollide(id, id), 1);
    EXPECT_EQ(canvas.spritesCollide(id, 0), 0);
    EXPECT_EQ(canvas.spritesCollide(4000, id), 0);
}

}  // namespace
