#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "GraphicsFixture.h"
#include "game/Game.h"
#include "play/ObjectList.h"

namespace {

// The font sheet's characters in cell order; cells 46 to 59 carry none.
constexpr char fontCharacters[] = "0123456789abcdefghijklmnopqrstuvwxyz!?., :/)-+";
static_assert(sizeof(fontCharacters) - 1 == 46);

int32_t cellOf(char character)
{
    return static_cast<int32_t>(std::strchr(fontCharacters, character) - fontCharacters);
}

// A 140 x 33 sheet cut into 60 glyphs as asset loading does it. Each glyph is magenta
// but for its top-left pixel, whose green channel is the cell number + 1.
struct TextTest : CanvasTest {
    ObjectList glyphs;

    void SetUp() override
    {
        CanvasTest::SetUp();
        const uint32_t sheet = paintedSprite(140, 33, [](int32_t x, int32_t y) {
            const uint32_t cell = static_cast<uint32_t>(y / 11 * 20 + x / 7);
            return x % 7 == 0 && y % 11 == 0 ? (cell + 1) << 8 : magentaPixel;
        });
        std::fill(std::begin(game.glyphTable), std::end(game.glyphTable), nullptr);
        for (uint32_t cell = 0; cell < 60; cell++) {
            const uint32_t left = cell % 20 * 7;
            const uint32_t top = cell / 20 * 11;
            const uint32_t glyph = canvas.cutSprite(sheet, left, top, left + 7, top + 11);
            ASSERT_NE(glyph, 0u);
            ASSERT_EQ(canvas.makeMask(glyph), 1);
            ASSERT_EQ(glyphs.add(static_cast<int32_t>(glyph)), 1);
            if (cell < 46) {
                game.glyphTable[static_cast<uint8_t>(fontCharacters[cell])] = glyphs.lastAdded;
            }
        }
        ASSERT_EQ(canvas.deleteSprite(sheet), 1);
        game.canvas = &canvas;
    }

    void TearDown() override
    {
        game.canvas = nullptr;
        glyphs.clear();
        std::fill(std::begin(game.glyphTable), std::end(game.glyphTable), nullptr);
        CanvasTest::TearDown();
    }

    // Where the glyph of a character was last drawn.
    int32_t recordedX(char character) const
    {
        return canvas.sprite(static_cast<uint32_t>(game.glyphTable[static_cast<uint8_t>(character)]->spriteId))->x;
    }

    // The x of every glyph mark in row y of the back buffer.
    std::vector<int32_t> marksInRow(int32_t y) const
    {
        std::vector<int32_t> xs;
        for (int32_t x = 0; x < 640; x++) {
            if (back(x, y) != untouchedPixel) {
                xs.push_back(x);
            }
        }
        return xs;
    }
};

std::vector<int32_t> every7(int32_t first, int32_t count)
{
    std::vector<int32_t> xs;
    for (int32_t k = 0; k < count; k++) {
        xs.push_back(first + 7 * k);
    }
    return xs;
}

struct TextCase {
    const char* text;
    double x;
    std::vector<int32_t> marks;
};

TEST_F(TextTest, DrawsGlyphsSevenApartUntilItMustStop)
{
    const TextCase cases[] = {
        {"press space to play", 255.0, every7(255, 19)},   // the last glyph at 381
        {"Press space", 10.0, {}},                          // no upper case
        {"ab\ncd", 20.9, {20, 27}},                         // a newline ends the text; x truncated
        {"ab\xC3", 0.0, {0, 7}},                            // nor any code past 127
        {"abc", 633.0, {633}},                              // b goes to 640, out of sight, then stop
        {"abcdefghijklmnopqrstuvwxyz0123456789abcdefghij", -300.0, {1, 8, 15}},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.text);
        TearDown();
        SetUp();
        game.drawText(c.text, c.x, 100.7);
        EXPECT_EQ(marksInRow(100), c.marks);
        EXPECT_EQ(drawnPixels(), static_cast<int64_t>(c.marks.size()));
        for (int32_t mark : c.marks) {
            const char character = c.text[(mark - static_cast<int32_t>(c.x)) / 7];
            EXPECT_EQ(back(mark, 100) >> 8, static_cast<uint32_t>(cellOf(character) + 1)) << mark;
        }
    }
}

// Glyphs record where they were drawn, also where nothing of them shows.
TEST_F(TextTest, StopsOnceThePenHasPassed640)
{
    game.drawText("abc", 633.0, 0.0);
    EXPECT_EQ(recordedX('a'), 633);
    EXPECT_EQ(recordedX('b'), 640);
    EXPECT_EQ(recordedX('c'), 0);
    game.drawText("press space to play", 255.0, 0.0);
    EXPECT_EQ(recordedX('y'), 381);
}

TEST_F(TextTest, WhiteFadeColourLeavesTheBufferAlone)
{
    canvas.setFadeColour(colourWhite);
    game.drawText("0123456789", 0.0, 0.0);
    EXPECT_EQ(drawnPixels(), 0);
    EXPECT_EQ(recordedX('9'), 63);
}

}  // namespace
