// The doubly linked list that holds every collection of the game: sprite
// catalogues, the ship, shots, blocks and particles. Game thread only, apart
// from start-up on the main thread.
#pragma once

#include <cstdint>

struct GameObject {
    GameObject* next;      // towards the oldest node, null at the end
    GameObject* prev;      // null at the head
    int32_t direction;     // shots: 0 right, 1 left; bubbles: sway 0 right, 1 left; debris: 1 backwards
    int32_t dead;          // shots and falling blocks: 1 = remove on the next update
    int32_t blinking;      // ship node: blinks and is immune to blocks
    double blinkTimer;     // ship node: blink units left (5 per second)
    int32_t spriteId;
    int32_t kind;          // catalogue key; block kind 1..7; bubble 1 or 3 (dust image)
    int32_t points;        // falling blocks: score for shooting it
    double life;           // particles: seconds (or units) left
    int32_t tag;           // bubbles: 1 = ambient; debris: animation frame 0..19
    int32_t row;           // falling blocks: grid row held, 0..26
    int32_t column;        // falling blocks: grid column, 0..19
    double speed;          // pixels per second
    double x;
    double y;
    double originX;        // bubbles: centre of the sway
    double originY;        // title raster bars: phase 0..255
    double framePeriod;    // debris: animation timer limit
    double animTimer;      // debris: animation timer
};

struct ObjectList {
    GameObject* lastAdded;
    GameObject* head;
    int32_t facing;        // ship list: 0 right, 1 left
    int32_t count;         // falling-block list: blocks falling, kept by the block code
    double vx;             // ship list: pixels per second
    double vy;
    double x;              // ship list: top-left corner on screen
    double y;

    ObjectList() : lastAdded(nullptr), head(nullptr), facing(0), count(0), vx(0), vy(0), x(0), y(0) {}
    ~ObjectList() { clear(); }
    ObjectList(const ObjectList&) = delete;
    ObjectList& operator=(const ObjectList&) = delete;

    // New zeroed node at the head; 0 when it cannot be allocated (list unchanged).
    [[nodiscard]] int32_t add(int32_t spriteId);
    // Unlinks and frees the node; a walker takes node->next before the call.
    void remove(GameObject* node);
    // spriteId of the newest node of that kind, 0 when there is none.
    [[nodiscard]] int32_t findSprite(int32_t kind) const;
    void clear();
};
