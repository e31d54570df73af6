// Steps of the play pass that one play file supplies to another: the block and
// shot tests, the ship's fate and the slide transitions. Game thread only.
#pragma once

#include <cstdint>

struct Game;
struct GameObject;

// The sprite that stands for every landed block: stamped into the playfield
// image and placed at a block's position for each collision test.
[[nodiscard]] int32_t landedBlockSprite(const Game& record);

// 1 when the ship's sprite touches a landed block (rows 1 to 26), else 0.
[[nodiscard]] int32_t shipTouchesLandedBlocks(Game& record);

// Hit tests of one shot against the falling blocks, then the landed ones.
void testShotHits(Game& record, GameObject* shot);

// Game over, loss of a life or respawn after a drawn pass's motion;
// 1 when the game ended and the pass must stop.
[[nodiscard]] int32_t decideShipFate(Game& record);

// The level intro's lines for the current level, drawn into the back buffer.
void drawIntroTexts(Game& record);

// The whole back buffer moved down out of the window, one row per millisecond.
void slideOut(Game& record);
// The back buffer rising into the window from below; ends one row low.
void slideIn(Game& record);
