// The game's bitmap font: 46 lower-case characters drawn on a 5 x 9 grid inside
// 7 x 11 cells, with a one-pixel dark edge so they read on any background.
#pragma once

#include <cstdint>
#include <string_view>

#include "graphics/FontSheet.h"
#include "tools/gfxgen/Image.h"

namespace gfx {

constexpr int32_t glyphCellWidth = fontSheet::cellWidth;
constexpr int32_t glyphCellHeight = fontSheet::cellHeight;
constexpr int32_t fontColumns = fontSheet::columns;
constexpr int32_t fontRows = fontSheet::rows;
constexpr std::string_view fontCharacters = fontSheet::characters;

struct TextStyle {
    Rgb inkTop;      // the strokes shade from top to bottom
    Rgb inkBottom;
    Rgb edge;
    bool withEdge;
};

// The light face with the dark edge that font.bmp carries.
[[nodiscard]] TextStyle gameTextStyle();

// True when the character has strokes at column 0..4, row 0..8 of its grid.
[[nodiscard]] bool glyphInk(char character, int32_t column, int32_t row);
[[nodiscard]] bool hasGlyph(char character);

// Draws text with its first cell's top-left at (x, y), 7 pixels per character.
// '_' is drawn too (for names of files); other characters without a glyph leave a gap.
void drawText(Image& image, std::string_view text, int32_t x, int32_t y, const TextStyle& style);

// font.bmp: 140 x 33, the glyphs in their cells on magenta.
[[nodiscard]] Image makeFontSheet();

}  // namespace gfx
