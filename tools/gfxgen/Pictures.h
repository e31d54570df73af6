// Every picture of the game, each made by one function, and the list that ties
// them to their file names. Pictures drawn colour-keyed by the game are "masked":
// their transparent pixels are written as magenta; the others are fully opaque.
#pragma once

#include <cstdint>

#include "tools/gfxgen/Image.h"

namespace gfx {

// Colours shared by several pictures.
namespace palette {
constexpr Rgb panel{57, 3, 195};           // the title panel, made by the game itself
constexpr Rgb waterTop{30, 92, 104};
constexpr Rgb waterDeep{8, 34, 52};
constexpr Rgb steelDark{22, 30, 48};
constexpr Rgb steel{70, 86, 112};
constexpr Rgb steelLight{150, 168, 196};
constexpr Rgb socket{6, 10, 20};           // recess behind the HUD's LEDs and texts
constexpr Rgb track{18, 40, 58};           // the rails the light lines run on
constexpr Rgb sand{198, 160, 104};
}  // namespace palette

// Ship and shots (Ship.cpp).
[[nodiscard]] Image makePlayerRight();
[[nodiscard]] Image makeShotRight();

// Blocks (Blocks.cpp): kind 1 plain, 2 one more shot, 3 speed, 5 energy,
// 6 faster shots, 7 loss of extras, 4 the landed block.
[[nodiscard]] Image makeBlock(int32_t kind);

// Play field, HUD and game over (Playfield.cpp, Hud.cpp).
[[nodiscard]] Image makeBackground();
[[nodiscard]] Image makeHud();
[[nodiscard]] Image makeHudDown();
[[nodiscard]] Image makeEnergy();
[[nodiscard]] Image makeLightline();
[[nodiscard]] Image makeLedLight();
[[nodiscard]] Image makeGameOver();

// Particles (Particles.cpp).
[[nodiscard]] Image makeBubble(bool white);
[[nodiscard]] Image makeDust();
[[nodiscard]] Image makeStoneSheet();

// Title screen (Title.cpp).
[[nodiscard]] Image makeRaster(int32_t colourIndex);   // 0 grey-white, 1 red, 2 yellow, 3 green
[[nodiscard]] Image makeBorderLeft();
[[nodiscard]] Image makeBorderRight();
[[nodiscard]] Image makeBorderTop();
[[nodiscard]] Image makeBorderBottom();
[[nodiscard]] Image makeTitleTop();
[[nodiscard]] Image makeTitleBottom();

struct Picture {
    const char* fileName;
    Image (*make)();
    bool masked;
};

// The 33 files in the order the game loads them.
[[nodiscard]] const Picture* pictures();
[[nodiscard]] int32_t pictureCount();

// Where the title screen and the play screen put things, shared with the previews.
namespace layout {
constexpr int32_t panelX = 44;
constexpr int32_t panelY = 160;
constexpr int32_t panelWidth = 548;
constexpr int32_t panelHeight = 217;
constexpr int32_t borderY = 131;
constexpr int32_t borderRightX = 556;
constexpr int32_t railX = 80;
constexpr int32_t railBottomY = 370;
constexpr int32_t titleBottomY = 406;
constexpr int32_t rasterX = 48;
constexpr int32_t hudDownY = 432;
}  // namespace layout

}  // namespace gfx
