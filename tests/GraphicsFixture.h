// Helpers for the graphics tests: a Canvas bound to the headless window and
// sprites painted pixel by pixel.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include "graphics/Blit.h"
#include "graphics/Canvas.h"
#include "platform/headless/Headless.h"

constexpr uint32_t magentaPixel = 0xFF00FF;
constexpr uint32_t untouchedPixel = 0x040000;   // what create fills the back buffer with

// A Canvas of 640 x 480 on a fresh headless window.
struct CanvasTest : ::testing::Test {
    Canvas canvas;

    void SetUp() override
    {
        headless::reset();
        const platform::WindowHandle window = platform::createWindow("Karvex", "test", 640, 480);
        ASSERT_EQ(canvas.create(window, 640, 480), 1);
    }

    void TearDown() override
    {
        canvas.releaseAll();
        headless::reset();
    }

    // A new sprite whose pixel (x, y) is paint(x, y), in memory layout 0x00RRGGBB.
    uint32_t paintedSprite(int32_t width, int32_t height, const std::function<uint32_t(int32_t, int32_t)>& paint)
    {
        const uint32_t id = canvas.createSprite(static_cast<uint32_t>(width), static_cast<uint32_t>(height));
        EXPECT_NE(id, 0u);
        if (id != 0) {
            for (int32_t y = 0; y < height; y++) {
                for (int32_t x = 0; x < width; x++) {
                    pixelAt(*canvas.sprite(id)->image, x, y) = paint(x, y);
                }
            }
        }
        return id;
    }

    uint32_t solidSprite(int32_t width, int32_t height, uint32_t pixel)
    {
        return paintedSprite(width, height, [pixel](int32_t, int32_t) { return pixel; });
    }

    uint32_t back(int32_t x, int32_t y) const { return pixelAt(*canvas.backBuffer, x, y); }

    // Back-buffer pixels that no longer hold what create put there.
    int64_t drawnPixels() const
    {
        int64_t count = 0;
        for (int32_t y = 0; y < canvas.backBuffer->height; y++) {
            for (int32_t x = 0; x < canvas.backBuffer->width; x++) {
                count += back(x, y) != untouchedPixel ? 1 : 0;
            }
        }
        return count;
    }
};
