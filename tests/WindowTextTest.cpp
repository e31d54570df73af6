#include <gtest/gtest.h>

#include <vector>

#include "platform/Platform.h"
#include "platform/WindowText.h"
#include "platform/headless/Headless.h"

namespace {

constexpr char waitingText[] = " *** Please stand by while loading datas *** ";

struct WindowTextTest : ::testing::Test {
    void SetUp() override { headless::reset(); }
    void TearDown() override { headless::reset(); }
};

// The waiting text: black on a white strip centred in (0,220)-(640,240), the rest of
// the window untouched (still black).
TEST_F(WindowTextTest, WaitingTextIsCentredInItsBand)
{
    platform::drawWindowText(1, waitingText, 0, 220, 640, 240);
    const int32_t width = windowtext::textWidth(waitingText);
    ASSERT_EQ(width, 45 * windowtext::cellWidth);
    const int32_t left = (640 - width) / 2;
    int32_t ink = 0;
    for (int32_t y = 0; y < headless::windowHeight; y++) {
        for (int32_t x = 0; x < headless::windowWidth; x++) {
            uint32_t pixel = headless::windowPixel(x, y);
            bool inStrip = x >= left && x < left + width && y >= 220 && y < 220 + windowtext::cellHeight;
            if (!inStrip) {
                ASSERT_EQ(pixel, 0u) << x << "," << y;
                continue;
            }
            ASSERT_TRUE(pixel == windowtext::inkColour || pixel == windowtext::paperColour) << x << "," << y;
            ink += pixel == windowtext::inkColour ? 1 : 0;
        }
    }
    // Three stars each side and 33 other non-blank glyphs, a few dozen pixels each.
    EXPECT_GT(ink, 39 * 20);
    EXPECT_LT(ink, width * windowtext::cellHeight / 2);
}

TEST_F(WindowTextTest, FirstFrameCoversTheText)
{
    platform::drawWindowText(1, waitingText, 0, 220, 640, 240);
    std::vector<uint32_t> frame(640 * 480, 0x123456);
    platform::presentPixels(1, frame.data(), 640, 480, 0, 0);
    EXPECT_EQ(headless::windowPixel(320, 228), 0x123456u);
    EXPECT_EQ(headless::windowText(), waitingText);
}

TEST_F(WindowTextTest, TextWiderThanItsRectangleIsClippedToIt)
{
    std::vector<uint32_t> picture(100 * 40, 0xABCDEF);
    windowtext::drawCentred(picture.data(), 100, 40, "a line far too long for twenty pixels", 40, 10, 60, 14);
    for (int32_t y = 0; y < 40; y++) {
        for (int32_t x = 0; x < 100; x++) {
            bool inside = x >= 40 && x < 60 && y >= 10 && y < 14;
            EXPECT_EQ(picture[y * 100 + x] != 0xABCDEF, inside) << x << "," << y;
        }
    }
    windowtext::drawCentred(picture.data(), 100, 40, nullptr, 0, 0, 100, 40);
    windowtext::drawCentred(picture.data(), 100, 40, "off the picture", -500, -500, -400, -480);
    EXPECT_EQ(picture[0], 0xABCDEFu);
}

}  // namespace
