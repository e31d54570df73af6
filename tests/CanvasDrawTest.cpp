#include <gtest/gtest.h>

#include <cstdint>

#include "GraphicsFixture.h"
#include "graphics/Canvas.h"
#include "platform/headless/Headless.h"

namespace {

// Pixel (x, y) of the 20 x 4 clipping sprite: every pixel different.
uint32_t clipPixel(int32_t x, int32_t y)
{
    return 0x100000u + static_cast<uint32_t>(y) * 0x100u + static_cast<uint32_t>(x);
}

struct ClipCase {
    int32_t x;
    int32_t y;
    int64_t drawn;          // back-buffer pixels changed
    int32_t backX;          // one back-buffer pixel and the sprite pixel expected there
    int32_t backY;
    int32_t spriteX;
    int32_t spriteY;
};

constexpr ClipCase clipCases[] = {
    {-10, 0, 40, 0, 0, 10, 0},      // columns 10 onward from the left edge
    {-10, 0, 40, 9, 3, 19, 3},
    {630, 100, 40, 639, 103, 9, 3},
    {5, -3, 20, 5, 0, 0, 3},        // only the last row shows
    {0, 478, 40, 0, 479, 0, 1},
    {-10, -2, 20, 0, 0, 10, 2},
    {640, 0, 0, 0, 0, 0, 0},        // starts on the right edge: nothing visible
    {641, 0, 0, 0, 0, 0, 0},        // past it: stops before drawing
    {0, 481, 0, 0, 0, 0, 0},
};

TEST_F(CanvasTest, OpaqueAndKeyedDrawsClipOnEverySide)
{
    for (int32_t keyed = 0; keyed <= 1; keyed++) {
        for (const ClipCase& c : clipCases) {
            SCOPED_TRACE(::testing::Message() << (keyed ? "keyed" : "opaque") << " at " << c.x << ", " << c.y);
            const uint32_t id = paintedSprite(20, 4, clipPixel);
            if (keyed == 1) {
                ASSERT_EQ(canvas.makeMask(id), 1);
                canvas.drawSpriteKeyed(id, c.x, c.y, 0);
            } else {
                canvas.drawSprite(id, c.x, c.y, 0);
            }
            EXPECT_EQ(drawnPixels(), c.drawn);
            if (c.drawn > 0) {
                EXPECT_EQ(back(c.backX, c.backY), clipPixel(c.spriteX, c.spriteY));
            }
            EXPECT_EQ(canvas.sprite(id)->x, c.x);
            EXPECT_EQ(canvas.sprite(id)->y, c.y);
            // Undo the draw for the next case.
            const uint32_t blank = solidSprite(640, 480, untouchedPixel);
            canvas.drawSprite(blank, 0, 0, 0);
            canvas.deleteSprite(blank);
            canvas.deleteSprite(id);
        }
    }
}

// A 6 x 1 sprite whose columns 2 and 3 are magenta, drawn keyed across an edge:
// the clip cuts a solid run in the middle.
TEST_F(CanvasTest, KeyedDrawLeavesTransparentPixelsAndClipsRuns)
{
    const uint32_t id = paintedSprite(6, 1, [](int32_t x, int32_t) {
        return x == 2 || x == 3 ? magentaPixel : 0x200000u + static_cast<uint32_t>(x);
    });
    ASSERT_EQ(canvas.makeMask(id), 1);
    canvas.drawSpriteKeyed(id, -1, 0, 0);
    EXPECT_EQ(back(0, 0), 0x200001u);
    EXPECT_EQ(back(1, 0), untouchedPixel);
    EXPECT_EQ(back(2, 0), untouchedPixel);
    EXPECT_EQ(back(3, 0), 0x200004u);
    EXPECT_EQ(back(4, 0), 0x200005u);
    EXPECT_EQ(drawnPixels(), 3);

    canvas.drawSpriteKeyed(id, 637, 10, 0);
    EXPECT_EQ(back(637, 10), 0x200000u);
    EXPECT_EQ(back(638, 10), 0x200001u);
    EXPECT_EQ(back(639, 10), untouchedPixel);
    EXPECT_EQ(drawnPixels(), 5);
}

struct FadeCase {
    Colour fade;              // red in the low byte
    uint32_t expected;        // 0x00RRGGBB
};

// Back buffer D = (0x80, 0x00, 0xFF), sprite S = (0x12, 0xFF, 0x7F).
constexpr FadeCase fadeCases[] = {
    {colourBlack, 0x12FF7F},   // S
    {colourWhite, 0x8000FF},   // D: the sprite leaves no trace
    {0x808080, 0x927FFF},      // high bit of D, low seven bits of S
    {0x0000FF, 0x80FF7F},      // only red is kept from D
};

TEST_F(CanvasTest, KeyedDrawMixesWithTheFadeColour)
{
    const uint32_t under = solidSprite(2, 1, 0x8000FF);
    const uint32_t id = paintedSprite(2, 1, [](int32_t x, int32_t) { return x == 0 ? 0x12FF7Fu : magentaPixel; });
    ASSERT_EQ(canvas.makeMask(id), 1);
    for (const FadeCase& c : fadeCases) {
        canvas.drawSprite(under, 50, 60, 0);
        EXPECT_EQ(canvas.setFadeColour(c.fade), colourBlack);
        canvas.drawSpriteKeyed(id, 50, 60, 0);
        EXPECT_EQ(canvas.setFadeColour(colourBlack), c.fade);
        EXPECT_EQ(back(50, 60), c.expected) << std::hex << c.fade;
        EXPECT_EQ(back(51, 60), 0x8000FFu);
    }
}

TEST_F(CanvasTest, KeyedDrawNeedsAMaskAndTheMaskIsASnapshot)
{
    const uint32_t id = solidSprite(3, 3, 0x123456);
    canvas.setSpritePosition(id, 3, 4);
    canvas.drawSpriteKeyed(id, 10, 10, 1);
    EXPECT_EQ(drawnPixels(), 0);
    EXPECT_EQ(canvas.sprite(id)->x, 3);
    EXPECT_EQ(canvas.sprite(id)->y, 4);
    EXPECT_EQ(headless::presentCount(), 0);

    pixelAt(*canvas.sprite(id)->image, 1, 1) = magentaPixel;
    EXPECT_EQ(canvas.makeMask(id), 1);
    EXPECT_EQ(canvas.makeMask(id), 0);
    EXPECT_EQ(maskBit(*canvas.sprite(id)->mask, 1, 1), 1);
    EXPECT_EQ(maskBit(*canvas.sprite(id)->mask, 2, 1), 0);
    // Painting the image magenta afterwards does not make it transparent.
    canvas.fillSprite(id, 255, 0, 255);
    canvas.drawSpriteKeyed(id, 10, 10, 0);
    EXPECT_EQ(back(10, 10), magentaPixel);
    EXPECT_EQ(back(11, 11), untouchedPixel);
    EXPECT_EQ(drawnPixels(), 8);
}

TEST_F(CanvasTest, ShowNowCopiesTheDrawnRectangleToTheWindow)
{
    const uint32_t opaque = solidSprite(20, 4, 0x0A0B0C);
    canvas.drawSprite(opaque, 100, 50, 0);
    EXPECT_EQ(headless::windowPixel(100, 50), 0u);
    canvas.drawSprite(opaque, 100, 50, 1);
    EXPECT_EQ(headless::windowPixel(100, 50), 0x0A0B0Cu);
    EXPECT_EQ(headless::windowPixel(119, 53), 0x0A0B0Cu);
    EXPECT_EQ(headless::windowPixel(120, 53), 0u);
    EXPECT_EQ(headless::windowPixel(100, 54), 0u);

    // The keyed copy takes the whole rectangle, the back buffer showing through.
    const uint32_t keyed = paintedSprite(2, 1, [](int32_t x, int32_t) { return x == 0 ? 0x0D0D0Du : magentaPixel; });
    ASSERT_EQ(canvas.makeMask(keyed), 1);
    canvas.drawSpriteKeyed(keyed, -1, 200, 1);
    EXPECT_EQ(headless::windowPixel(0, 200), untouchedPixel);
    canvas.drawSpriteKeyed(keyed, 300, 200, 1);
    EXPECT_EQ(headless::windowPixel(300, 200), 0x0D0D0Du);
    EXPECT_EQ(headless::windowPixel(301, 200), untouchedPixel);

    // Stretched draws show only for exactly 1.
    canvas.drawSpriteStretched(opaque, 400, 300, 10, 10, 2);
    EXPECT_EQ(headless::windowPixel(400, 300), 0u);
    canvas.drawSpriteStretched(opaque, 400, 300, 10, 10, 1);
    EXPECT_EQ(headless::windowPixel(409, 309), 0x0A0B0Cu);
    EXPECT_EQ(headless::windowPixel(410, 309), 0u);
}

struct StretchCase {
    const char* name;
    int32_t sourceWidth;
    int32_t sourceHeight;
    uint32_t source[5];       // row after row
    int32_t x;
    int32_t width;
    int32_t height;
    int64_t drawn;
    uint32_t firstRow[5];     // back buffer from (max(x, 0), 0) on
};

// Shrinking ANDs the source pixels that meet on one target pixel: 5 -> 2 takes [0, 2) and [2, 5).
const StretchCase stretchCases[] = {
    {"shrink across", 5, 1, {0xF0, 0x3C, 0xFF, 0x0F, 0x33}, 0, 2, 1, 2, {0x30, 0x03}},
    {"shrink down", 1, 4, {0xF0, 0x3C, 0xFF, 0x0F}, 0, 1, 2, 2, {0x30}},
    {"enlarge", 2, 1, {0x111111, 0x222222}, 0, 5, 2, 10, {0x111111, 0x111111, 0x111111, 0x222222, 0x222222}},
    {"clipped left", 2, 1, {0x111111, 0x222222}, -2, 4, 1, 2, {0x222222, 0x222222}},
};

TEST_F(CanvasTest, StretchedDrawScalesAndAndsWhenShrinking)
{
    for (const StretchCase& c : stretchCases) {
        SCOPED_TRACE(c.name);
        CanvasTest::TearDown();
        CanvasTest::SetUp();
        const uint32_t id = paintedSprite(c.sourceWidth, c.sourceHeight,
                                          [&c](int32_t x, int32_t y) { return c.source[y * c.sourceWidth + x]; });
        EXPECT_EQ(canvas.drawSpriteStretched(id, c.x, 0, c.width, c.height, 0), 1);
        EXPECT_EQ(drawnPixels(), c.drawn);
        const int32_t visibleWidth = c.x < 0 ? c.width + c.x : c.width;
        for (int32_t column = 0; column < visibleWidth; column++) {
            EXPECT_EQ(back(column, 0), c.firstRow[column]) << "column " << column;
        }
        if (c.height == 2 && c.sourceHeight == 1) {
            EXPECT_EQ(back(visibleWidth - 1, 1), c.firstRow[visibleWidth - 1]);
        }
        EXPECT_EQ(canvas.sprite(id)->x, 0);
    }
}

TEST_F(CanvasTest, StretchedDrawOfNothing)
{
    const uint32_t id = solidSprite(4, 4, 0x777777);
    canvas.setSpritePosition(id, 9, 9);
    EXPECT_EQ(canvas.drawSpriteStretched(id, 10, 10, 0, 10, 1), 1);
    EXPECT_EQ(canvas.drawSpriteStretched(id, 10, 10, 10, 0, 0), 1);
    EXPECT_EQ(canvas.drawSpriteStretched(id, 10, 10, -5, 10, 0), 1);
    EXPECT_EQ(canvas.drawSpriteStretched(id + 1, 10, 10, 10, 10, 0), 0);
    EXPECT_EQ(drawnPixels(), 0);
    EXPECT_EQ(canvas.sprite(id)->x, 9);
}

TEST_F(CanvasTest, PresentAtKeepsTheUncoveredPartOfTheWindow)
{
    Canvas fresh;
    fresh.present();
    fresh.presentAt(3, 3);
    EXPECT_EQ(headless::presentCount(), 0);

    const uint32_t first = solidSprite(640, 480, 0x0000AA);
    const uint32_t second = solidSprite(640, 480, 0x00BB00);
    canvas.drawSprite(first, 0, 0, 0);
    canvas.present();
    canvas.drawSprite(second, 0, 0, 0);
    canvas.presentAt(0, 100);
    EXPECT_EQ(headless::windowPixel(639, 99), 0x0000AAu);
    EXPECT_EQ(headless::windowPixel(0, 100), 0x00BB00u);
    EXPECT_EQ(headless::windowPixel(639, 479), 0x00BB00u);
    canvas.presentAt(-639, 0);
    EXPECT_EQ(headless::windowPixel(0, 0), 0x00BB00u);
    EXPECT_EQ(headless::windowPixel(1, 0), 0x0000AAu);
}

// Pixel (x, y) of a 10 x 6 source: every pixel different.
uint32_t sheetPixel(int32_t x, int32_t y)
{
    return 0x400000u + static_cast<uint32_t>(y) * 16u + static_cast<uint32_t>(x);
}

struct CutCase {
    uint32_t left;
    uint32_t top;
    uint32_t right;
    uint32_t bottom;
    uint32_t width;           // of the cut; 0: refused
    uint32_t height;
};

constexpr CutCase cutCases[] = {
    {7, 1, 20, 3, 3, 2},               // right lowered to the source's edge
    {0, 0, 10, 6, 10, 6},
    {0, 4, 2, 0xFFFFFFFFu, 2, 2},      // bottom lowered
    {3, 0, 3, 6, 0, 0},                // empty
    {5, 4, 2, 6, 0, 0},                // right left of left
    {0, 5, 4, 5, 0, 0},
    {12, 0, 20, 6, 0, 0},              // wholly right of the source
    {0, 6, 4, 9, 0, 0},                // wholly below it
};

TEST_F(CanvasTest, CutSpriteCopiesTheRectangleInsideTheSource)
{
    const uint32_t sheet = paintedSprite(10, 6, sheetPixel);
    ASSERT_EQ(canvas.makeMask(sheet), 1);
    for (const CutCase& c : cutCases) {
        SCOPED_TRACE(::testing::Message() << c.left << ", " << c.top << ", " << c.right << ", " << c.bottom);
        const uint32_t countBefore = canvas.spriteCount;
        const uint32_t id = canvas.cutSprite(sheet, c.left, c.top, c.right, c.bottom);
        if (c.width == 0) {
            EXPECT_EQ(id, 0u);
            EXPECT_EQ(canvas.spriteCount, countBefore);
            continue;
        }
        ASSERT_NE(id, 0u);
        const Sprite& cut = *canvas.sprite(id);
        EXPECT_EQ(cut.width, c.width);
        EXPECT_EQ(cut.height, c.height);
        EXPECT_EQ(cut.mask, nullptr);
        for (uint32_t y = 0; y < c.height; y++) {
            for (uint32_t x = 0; x < c.width; x++) {
                ASSERT_EQ(pixelAt(*cut.image, static_cast<int32_t>(x), static_cast<int32_t>(y)),
                          sheetPixel(static_cast<int32_t>(c.left + x), static_cast<int32_t>(c.top + y)));
            }
        }
        canvas.deleteSprite(id);
    }
    EXPECT_EQ(canvas.cutSprite(sheet + 1, 0, 0, 2, 2), 0u);
}

TEST_F(CanvasTest, CopiesBetweenSprites)
{
    const uint32_t target = solidSprite(3, 2, 0x0F0F0F);
    const uint32_t source = paintedSprite(2, 3, sheetPixel);
    EXPECT_EQ(canvas.copySprite(target, source), 1);
    const Surface& t = *canvas.sprite(target)->image;
    EXPECT_EQ(pixelAt(t, 0, 0), sheetPixel(0, 0));
    EXPECT_EQ(pixelAt(t, 1, 1), sheetPixel(1, 1));
    EXPECT_EQ(pixelAt(t, 2, 0), 0x0F0F0Fu);   // the source is narrower

    const uint32_t small = solidSprite(4, 4, 0x0F0F0F);
    EXPECT_EQ(canvas.copySpriteAt(small, source, -1, 3), 1);
    const Surface& s = *canvas.sprite(small)->image;
    EXPECT_EQ(pixelAt(s, 0, 3), sheetPixel(1, 0));
    EXPECT_EQ(pixelAt(s, 1, 3), 0x0F0F0Fu);
    EXPECT_EQ(pixelAt(s, 0, 2), 0x0F0F0Fu);
    EXPECT_EQ(canvas.copySpriteAt(small, source, 4, 0), 1);

    // A sprite copied onto itself one row lower reads rows it has not yet written.
    const uint32_t column = paintedSprite(1, 3, sheetPixel);
    EXPECT_EQ(canvas.copySpriteAt(column, column, 0, 1), 1);
    const Surface& c = *canvas.sprite(column)->image;
    EXPECT_EQ(pixelAt(c, 0, 0), sheetPixel(0, 0));
    EXPECT_EQ(pixelAt(c, 0, 1), sheetPixel(0, 0));
    EXPECT_EQ(pixelAt(c, 0, 2), sheetPixel(0, 1));

    const uint32_t freeId = 2000;
    EXPECT_EQ(canvas.copySprite(target, freeId), 0);
    EXPECT_EQ(canvas.copySprite(freeId, source), 0);
    EXPECT_EQ(canvas.copySpriteAt(freeId, source, 0, 0), 0);
    EXPECT_EQ(canvas.copySpriteAt(target, 0, 0, 0), 0);
}

TEST_F(CanvasTest, DuplicateAndFill)
{
    const uint32_t source = paintedSprite(3, 2, sheetPixel);
    ASSERT_EQ(canvas.makeMask(source), 1);
    const uint32_t copy = canvas.duplicateSprite(source);
    ASSERT_NE(copy, 0u);
    EXPECT_EQ(canvas.sprite(copy)->mask, nullptr);
    EXPECT_EQ(canvas.sprite(copy)->width, 3u);
    EXPECT_EQ(pixelAt(*canvas.sprite(copy)->image, 2, 1), sheetPixel(2, 1));
    EXPECT_EQ(canvas.duplicateSprite(0), 0u);

    // Each channel keeps its low 8 bits.
    canvas.fillSprite(copy, 0x1FF, -1, 0x102);
    EXPECT_EQ(pixelAt(*canvas.sprite(copy)->image, 0, 0), 0xFFFF02u);
    EXPECT_EQ(pixelAt(*canvas.sprite(copy)->image, 2, 1), 0xFFFF02u);
    canvas.fillSprite(1999, 1, 2, 3);
}

}  // namespace
