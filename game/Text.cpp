// Lines of text in the bitmap font, glyph by glyph through the keyed draw, so
// text follows the fade colour. Game thread.
#include <cstdint>

#include "game/Game.h"

namespace {

constexpr double glyphAdvance = 7.0;    // pixels, the width of a font cell
constexpr double lineEnd = 640.0;       // the window's width, whatever the Canvas's size

// Truncates toward zero, holding values beyond 32 bits at the nearest end.
int32_t truncatePixel(double value)
{
    if (!(value > static_cast<double>(INT32_MIN))) {
        return INT32_MIN;
    }
    if (value >= static_cast<double>(INT32_MAX)) {
        return INT32_MAX;
    }
    return static_cast<int32_t>(value);
}

}  // namespace

void Game::drawText(const char* text, double x, double y)
{
    if (text == nullptr || canvas == nullptr) {
        return;
    }
    // The terminating zero has no glyph either, so the end of the string ends the line.
    for (const char* next = text;; next++) {
        const GameObject* glyph = glyphTable[static_cast<uint8_t>(*next)];
        if (glyph == nullptr) {
            return;
        }
        canvas->drawSpriteKeyed(static_cast<uint32_t>(glyph->spriteId), truncatePixel(x), truncatePixel(y), 0);
        x += glyphAdvance;
        if (x > lineEnd) {
            return;
        }
    }
}
