// The graphics object: a back buffer bound to the game window and a store of
// up to 2047 sprites with optional one-bit masks. Drawn into by the game
// thread; presented from the main thread's paint handler as well.
#pragma once

#include <cstdint>

#include "graphics/Surface.h"
#include "platform/Platform.h"

// Colours travel as 0x00BBGGRR: red in the low byte. Pixels in memory are 0x00RRGGBB,
// the layout the window shows without conversion.
using Colour = uint32_t;
constexpr Colour colourMagenta = 0xFF00FF;

// A one-bit mask: 1 marks a transparent pixel.
struct Mask {
    uint8_t* bits;         // one byte per pixel, 0 or 1
    int32_t width;
    int32_t height;
};

struct Sprite {
    Sprite* older;
    Sprite* newer;
    Surface* image;
    Mask* mask;            // none until makeMask
    uint32_t width;
    uint32_t height;
    int32_t x;             // where last drawn or placed
    int32_t y;
};

constexpr uint32_t spriteSlotCount = 2048;   // ids 1..2047; 0 means no sprite

struct Canvas {
    platform::WindowHandle window;
    Surface* backBuffer;
    Colour colourKey;
    Sprite* lastCreated;
    Sprite* newest;
    Sprite* oldest;
    Sprite* slots[spriteSlotCount];
    int32_t created;
    uint32_t width;
    uint32_t height;
    uint32_t spriteCount;
    Colour fadeColour;         // black unless a caller sets it; used by keyed draws
    Colour backgroundColour;   // white, never changed

    Canvas();
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // Sprite store.
    [[nodiscard]] int32_t create(platform::WindowHandle window, uint32_t width, uint32_t height);
    void releaseAll();
    [[nodiscard]] uint32_t loadSprite(const char* path);
    [[nodiscard]] uint32_t createSprite(uint32_t width, uint32_t height);
    int32_t deleteSprite(uint32_t id);
    void setSpritePosition(uint32_t id, int32_t x, int32_t y);

    // Drawing.
    void drawSprite(uint32_t id, int32_t x, int32_t y, int32_t showNow);
    void drawSpriteKeyed(uint32_t id, int32_t x, int32_t y, int32_t showNow);
    int32_t drawSpriteStretched(uint32_t id, int32_t x, int32_t y, int32_t width, int32_t height,
                                int32_t showNow);
    void present();
    void presentAt(int32_t x, int32_t y);
    int32_t copySprite(uint32_t targetId, uint32_t sourceId);
    int32_t copySpriteAt(uint32_t targetId, uint32_t sourceId, int32_t x, int32_t y);
    [[nodiscard]] uint32_t cutSprite(uint32_t sourceId, uint32_t left, uint32_t top, uint32_t right,
                                     uint32_t bottom);
    [[nodiscard]] uint32_t duplicateSprite(uint32_t sourceId);
    void fillSprite(uint32_t id, int32_t red, int32_t green, int32_t blue);
    int32_t makeMask(uint32_t id);
    [[nodiscard]] int32_t spritesCollide(uint32_t a, uint32_t b) const;
    Colour setFadeColour(Colour colour);

    // The live sprite of an id, or null.
    [[nodiscard]] Sprite* sprite(uint32_t id) const;
};
