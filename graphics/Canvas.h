// The graphics object: a back buffer bound to the game window and a store of
// up to 2047 sprites with optional one-bit masks. Game thread (the main thread
// during start-up, before the game thread exists); nothing here is locked.
#pragma once

#include <cstdint>

#include "graphics/Sprite.h"
#include "graphics/Surface.h"
#include "platform/Platform.h"

// Colours travel as 0x00BBGGRR: red in the low byte. Pixels in memory are 0x00RRGGBB,
// the layout the window shows without conversion.
using Colour = uint32_t;
constexpr Colour colourMagenta = 0xFF00FF;
constexpr Colour colourBlack = 0x000000;
constexpr Colour colourWhite = 0xFFFFFF;

// The same colour as a pixel in memory: red and blue change places.
[[nodiscard]] constexpr uint32_t pixelFromColour(Colour colour)
{
    return ((colour & 0xFFu) << 16) | (colour & 0xFF00u) | ((colour >> 16) & 0xFFu);
}

constexpr uint32_t spriteSlotCount = 2048;      // ids 1..2047; 0 means no sprite
constexpr uint32_t canvasMaxSide = 4096;        // pixels, either side of the back buffer

struct Canvas {
    platform::WindowHandle window;
    Surface* backBuffer;               // owned; null before create and after releaseAll
    Colour colourKey;                  // magenta once created
    Sprite* lastCreated;               // the record most recently made by createSprite
    Sprite* newest;                    // head of the list of live sprites
    Sprite* oldest;                    // its tail
    Sprite* slots[spriteSlotCount];    // by id; null: the id is free; slot 0 stays null
    int32_t created;                   // 1 after a successful create
    uint32_t width;                    // back buffer, pixels
    uint32_t height;
    uint32_t spriteCount;
    Colour fadeColour;                 // black unless a caller sets it; used by keyed draws
    Colour backgroundColour;           // white, never changed

    Canvas();
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // Sprite store (graphics/Canvas.cpp, graphics/CanvasLoad.cpp).
    [[nodiscard]] int32_t create(platform::WindowHandle window, uint32_t width, uint32_t height);
    void releaseAll();
    [[nodiscard]] uint32_t loadSprite(const char* path);
    [[nodiscard]] uint32_t createSprite(uint32_t width, uint32_t height);
    int32_t deleteSprite(uint32_t id);
    void setSpritePosition(uint32_t id, int32_t x, int32_t y);

    // Drawing into the back buffer and the window (graphics/Draw.cpp).
    void drawSprite(uint32_t id, int32_t x, int32_t y, int32_t showNow);
    void drawSpriteKeyed(uint32_t id, int32_t x, int32_t y, int32_t showNow);
    int32_t drawSpriteStretched(uint32_t id, int32_t x, int32_t y, int32_t width, int32_t height,
                                int32_t showNow);
    void present();
    void presentAt(int32_t x, int32_t y);

    // Sprite to sprite (graphics/SpriteOps.cpp).
    int32_t copySprite(uint32_t targetId, uint32_t sourceId);
    int32_t copySpriteAt(uint32_t targetId, uint32_t sourceId, int32_t x, int32_t y);
    [[nodiscard]] uint32_t cutSprite(uint32_t sourceId, uint32_t left, uint32_t top, uint32_t right,
                                     uint32_t bottom);
    [[nodiscard]] uint32_t duplicateSprite(uint32_t sourceId);
    void fillSprite(uint32_t id, int32_t red, int32_t green, int32_t blue);
    int32_t makeMask(uint32_t id);
    Colour setFadeColour(Colour colour);

    // Pixel-exact overlap at the recorded positions (graphics/Collision.cpp).
    [[nodiscard]] int32_t spritesCollide(uint32_t a, uint32_t b) const;

    // The live sprite of an id, or null (also for 0 and ids past the slot table).
    [[nodiscard]] Sprite* sprite(uint32_t id) const;

private:
    // Enters a sprite owning the given image; 0 (image not taken) when the store is full
    // or the record cannot be allocated.
    [[nodiscard]] uint32_t addSprite(Surface* image);
    [[nodiscard]] uint32_t lowestFreeId() const;
    void unlink(Sprite* record);
    // Copies a rectangle of the back buffer to the window at the same place.
    void showRectangle(int32_t x, int32_t y, int64_t rectWidth, int64_t rectHeight) const;
};
