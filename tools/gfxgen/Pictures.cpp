// The list of the game's 33 picture files, in the order the game loads them.
#include "tools/gfxgen/Pictures.h"

#include <iterator>

#include "tools/gfxgen/Font.h"

namespace gfx {

namespace {

const Picture pictureList[] = {
    {"player_left.bmp", [] { return makePlayerRight().mirrored(); }, true},
    {"player_right.bmp", makePlayerRight, true},
    {"shot_left.bmp", [] { return makeShotRight().mirrored(); }, true},
    {"shot_right.bmp", makeShotRight, true},
    {"block.bmp", [] { return makeBlock(1); }, true},
    {"block_shot.bmp", [] { return makeBlock(2); }, true},
    {"block_speed.bmp", [] { return makeBlock(3); }, true},
    {"block_energy.bmp", [] { return makeBlock(5); }, true},
    {"block_shotspeed.bmp", [] { return makeBlock(6); }, true},
    {"block_noextras.bmp", [] { return makeBlock(7); }, true},
    {"block_ground.bmp", [] { return makeBlock(4); }, false},
    {"bg.bmp", makeBackground, false},
    {"hud.bmp", makeHud, false},
    {"energy.bmp", makeEnergy, false},
    {"lightline.bmp", makeLightline, false},
    {"hud_down.bmp", makeHudDown, false},
    {"ledlight.bmp", makeLedLight, false},
    {"gameover.bmp", makeGameOver, true},
    {"bubble_white.bmp", [] { return makeBubble(true); }, true},
    {"bubble_blue.bmp", [] { return makeBubble(false); }, true},
    {"dust.bmp", makeDust, false},
    {"raster.bmp", [] { return makeRaster(0); }, false},
    {"raster_red.bmp", [] { return makeRaster(1); }, false},
    {"raster_yellow.bmp", [] { return makeRaster(2); }, false},
    {"raster_green.bmp", [] { return makeRaster(3); }, false},
    {"border_left.bmp", makeBorderLeft, true},
    {"border_right.bmp", makeBorderRight, true},
    {"border_top.bmp", makeBorderTop, false},
    {"border_bottom.bmp", makeBorderBottom, false},
    {"title_top.bmp", makeTitleTop, false},
    {"title_bottom.bmp", makeTitleBottom, false},
    {"anim_stones.bmp", makeStoneSheet, true},
    {"font.bmp", makeFontSheet, true},
};
static_assert(std::size(pictureList) == 33);

}  // namespace

const Picture* pictures()
{
    return pictureList;
}

int32_t pictureCount()
{
    return static_cast<int32_t>(std::size(pictureList));
}

}  // namespace gfx
