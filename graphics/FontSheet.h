// The layout of the font sheet gfx/font.bmp: shared by the asset loader, which
// cuts it into glyphs, and the picture generator, which draws it.
#pragma once

#include <cstdint>
#include <string_view>

namespace fontSheet {

constexpr int32_t cellWidth = 7;     // pixels, also the pen's advance
constexpr int32_t cellHeight = 11;
constexpr int32_t columns = 20;
constexpr int32_t rows = 3;
constexpr int32_t cells = columns * rows;

// The characters of the cells, row by row; the last 14 cells carry none.
constexpr std::string_view characters = "0123456789abcdefghij"
                                        "klmnopqrstuvwxyz!?.,"
                                        " :/)-+";
static_assert(characters.size() == 46);

}  // namespace fontSheet
