// Asset loading: every picture of gfx/ into the Canvas's sprite store, filed in
// the sprite catalogues, plus the sprites made here (title panel, playfield,
// debris frames, font glyphs). Runs once, on the main thread, inside startUp.
#include <iterator>
#include <string_view>

#include "game/Game.h"
#include "graphics/FontSheet.h"

namespace {

struct AssetFile {
    const char* path;
    bool masked;                        // drawn colour-keyed: gets a mask from its magenta
    ObjectList* Game::* catalogue;
    int32_t kind;                       // 0: the node keeps no kind
    GameObject* Game::* entry;          // a Game field that keeps the node, or null
    int32_t Game::* spriteField;        // a Game field that keeps the sprite id, or null
};

// The pictures in loading order. The order is part of the game: findSprite finds the newest
// node of a kind, and block_ground, added last, is the head of blockKinds.
constexpr AssetFile assetFiles[] = {
    {"gfx/player_left.bmp", true, &Game::playerLeftList, 0, nullptr, nullptr},
    {"gfx/player_right.bmp", true, &Game::playerRightList, 0, nullptr, nullptr},
    {"gfx/shot_left.bmp", true, &Game::shotLeftList, 0, nullptr, nullptr},
    {"gfx/shot_right.bmp", true, &Game::shotRightList, 0, nullptr, nullptr},
    {"gfx/block.bmp", true, &Game::blockKinds, 1, nullptr, nullptr},
    {"gfx/block_shot.bmp", true, &Game::blockKinds, 2, nullptr, nullptr},
    {"gfx/block_speed.bmp", true, &Game::blockKinds, 3, nullptr, nullptr},
    {"gfx/block_energy.bmp", true, &Game::blockKinds, 5, nullptr, nullptr},
    {"gfx/block_shotspeed.bmp", true, &Game::blockKinds, 6, nullptr, nullptr},
    {"gfx/block_noextras.bmp", true, &Game::blockKinds, 7, nullptr, nullptr},
    {"gfx/block_ground.bmp", false, &Game::blockKinds, 4, nullptr, nullptr},
    {"gfx/bg.bmp", false, &Game::backgroundList, 0, nullptr, nullptr},
    {"gfx/hud.bmp", false, &Game::hudSprites, 1, nullptr, nullptr},
    {"gfx/energy.bmp", false, &Game::hudSprites, 2, nullptr, nullptr},
    {"gfx/lightline.bmp", false, &Game::hudSprites, 3, nullptr, nullptr},
    {"gfx/hud_down.bmp", false, &Game::hudSprites, 4, nullptr, nullptr},
    {"gfx/ledlight.bmp", false, &Game::hudSprites, 6, nullptr, &Game::ledSprite},
    {"gfx/gameover.bmp", true, &Game::hudSprites, 7, nullptr, nullptr},
    {"gfx/bubble_white.bmp", true, &Game::effectSprites, 1, nullptr, nullptr},
    {"gfx/bubble_blue.bmp", true, &Game::effectSprites, 2, nullptr, nullptr},
    {"gfx/dust.bmp", false, &Game::effectSprites, 3, nullptr, nullptr},
    {"gfx/raster.bmp", false, &Game::effectSprites, 4, nullptr, nullptr},
    {"gfx/raster_red.bmp", false, &Game::effectSprites, 5, nullptr, nullptr},
    {"gfx/raster_yellow.bmp", false, &Game::effectSprites, 6, nullptr, nullptr},
    {"gfx/raster_green.bmp", false, &Game::effectSprites, 7, nullptr, nullptr},
    {"gfx/border_left.bmp", true, &Game::effectSprites, 8, &Game::borderLeft, nullptr},
    {"gfx/border_right.bmp", true, &Game::effectSprites, 9, &Game::borderRight, nullptr},
    {"gfx/border_top.bmp", false, &Game::effectSprites, 10, &Game::borderTop, nullptr},
    {"gfx/border_bottom.bmp", false, &Game::effectSprites, 11, &Game::borderBottom, nullptr},
    {"gfx/title_top.bmp", false, &Game::effectSprites, 12, &Game::titleTop, nullptr},
    {"gfx/title_bottom.bmp", false, &Game::effectSprites, 13, &Game::titleBottom, nullptr},
};
static_assert(std::size(assetFiles) == 31);

constexpr uint32_t panelWidth = 548;
constexpr uint32_t panelHeight = 217;
constexpr int32_t panelKind = 14;

constexpr const char* stoneSheetPath = "gfx/anim_stones.bmp";
constexpr uint32_t stoneSide = 8;   // pixels; the frames stand side by side in one row

constexpr const char* fontSheetPath = "gfx/font.bmp";
constexpr uint32_t glyphWidth = fontSheet::cellWidth;
constexpr uint32_t glyphHeight = fontSheet::cellHeight;
constexpr uint32_t fontColumns = fontSheet::columns;
constexpr uint32_t fontCells = fontSheet::cells;
constexpr std::string_view glyphCharacters = fontSheet::characters;

// Files a new sprite in a catalogue; false when the node cannot be made.
[[nodiscard]] bool file(ObjectList* catalogue, uint32_t spriteId, int32_t kind)
{
    if (catalogue == nullptr || catalogue->add(static_cast<int32_t>(spriteId)) == 0) {
        return false;
    }
    catalogue->head->kind = kind;
    return true;
}

[[nodiscard]] bool loadFile(Game& game, const AssetFile& asset)
{
    const uint32_t id = game.canvas->loadSprite(asset.path);
    if (id == 0) {
        return false;
    }
    if (asset.masked) {
        // A sprite without a mask is simply never drawn keyed; that is no load failure.
        (void)game.canvas->makeMask(id);
    }
    ObjectList* catalogue = game.*asset.catalogue;
    if (!file(catalogue, id, asset.kind)) {
        return false;
    }
    if (asset.entry != nullptr) {
        game.*asset.entry = catalogue->head;
    }
    if (asset.spriteField != nullptr) {
        game.*asset.spriteField = catalogue->findSprite(asset.kind);
    }
    return true;
}

[[nodiscard]] bool makeTitlePanel(Game& game)
{
    const uint32_t id = game.canvas->createSprite(panelWidth, panelHeight);
    if (id == 0) {
        return false;
    }
    game.canvas->fillSprite(id, 57, 3, 195);
    if (!file(game.effectSprites, id, panelKind)) {
        return false;
    }
    game.titlePanel = game.effectSprites->head;
    return true;
}

// The playfield starts as a copy of the background; landed blocks are stamped into it.
[[nodiscard]] bool makePlayfield(Game& game)
{
    if (game.backgroundList == nullptr || game.backgroundList->head == nullptr) {
        return false;
    }
    const uint32_t id = game.canvas->duplicateSprite(static_cast<uint32_t>(game.backgroundList->head->spriteId));
    if (id == 0) {
        return false;
    }
    game.playfieldSprite = static_cast<int32_t>(id);
    return true;
}

[[nodiscard]] bool cutStoneFrames(Game& game)
{
    const uint32_t sheet = game.canvas->loadSprite(stoneSheetPath);
    if (sheet == 0) {
        return false;
    }
    for (uint32_t frame = 0; frame < static_cast<uint32_t>(stoneFrameCount); frame++) {
        const uint32_t id = game.canvas->cutSprite(sheet, stoneSide * frame, 0, stoneSide * frame + stoneSide, stoneSide);
        if (id == 0) {
            return false;
        }
        (void)game.canvas->makeMask(id);
        if (!file(game.stoneFrames, id, static_cast<int32_t>(frame))) {
            return false;
        }
        game.stoneFrame[frame] = game.stoneFrames->head;
    }
    (void)game.canvas->deleteSprite(sheet);
    return true;
}

[[nodiscard]] bool cutFontCells(Game& game)
{
    const uint32_t sheet = game.canvas->loadSprite(fontSheetPath);
    if (sheet == 0) {
        return false;
    }
    for (GameObject*& glyph : game.glyphTable) {
        glyph = nullptr;
    }
    for (uint32_t cell = 0; cell < fontCells; cell++) {
        const uint32_t left = cell % fontColumns * glyphWidth;
        const uint32_t top = cell / fontColumns * glyphHeight;
        const uint32_t id = game.canvas->cutSprite(sheet, left, top, left + glyphWidth, top + glyphHeight);
        if (id == 0) {
            return false;
        }
        (void)game.canvas->makeMask(id);
        if (!file(game.fontGlyphs, id, 0)) {
            return false;
        }
        if (cell < glyphCharacters.size()) {
            game.glyphTable[static_cast<uint8_t>(glyphCharacters[cell])] = game.fontGlyphs->head;
        }
    }
    (void)game.canvas->deleteSprite(sheet);
    return true;
}

}  // namespace

int32_t Game::loadAssets()
{
    if (canvas == nullptr) {
        return 0;
    }
    for (const AssetFile& asset : assetFiles) {
        if (!loadFile(*this, asset)) {
            return 0;
        }
    }
    const bool made = makeTitlePanel(*this) && makePlayfield(*this) && cutStoneFrames(*this) && cutFontCells(*this);
    return made ? 1 : 0;
}
