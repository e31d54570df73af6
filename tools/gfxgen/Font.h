// The game's bitmap font: 46 lower-case characters drawn on a 5 x 9 grid inside
// 7 x 11 cells, with a one-pixel dark edge so they read on any background.
#pragma once

#include <cstdint>
#include <string_view>

#include "tools/gfxgen/Image.h"

namespace gfx {

constexpr int32_t glyphCellWidth = 7;
constexpr int32_t glyphCellHeight = 11;
constexpr int32_t fontColumns = 20;
constexpr int32_t fontRows = 3;

// The characters in cell order, row by row; the cells after them stay empty.
constexpr std::string_view fontCharacters = "0123456789abcdefghij"
                                            "klmnopqrstuvwxyz!?.,"
                                            " :/)-+";
static_assert(fontCharacters.size() == 46);

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
