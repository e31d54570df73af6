// Glyph shapes of the game font and the font sheet. Rows 0 to 6 reach from the
// ascender line to the baseline (lower-case letters use rows 2 to 6), rows 7 and 8
// hold descenders. The zero is slashed so that it never reads as the letter o.
#include "tools/gfxgen/Font.h"

#include <iterator>

namespace gfx {

namespace {

struct GlyphShape {
    char character;
    const char* rows[9];
};

// clang-format off
constexpr GlyphShape glyphShapes[] = {
    {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###.", ".....", "....."}},
    {'1', {"..#..", ".##..", "#.#..", "..#..", "..#..", "..#..", "#####", ".....", "....."}},
    {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####", ".....", "....."}},
    {'3', {"####.", "....#", "....#", ".###.", "....#", "....#", "####.", ".....", "....."}},
    {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#.", ".....", "....."}},
    {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###.", ".....", "....."}},
    {'6', {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###.", ".....", "....."}},
    {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#...", ".....", "....."}},
    {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###.", ".....", "....."}},
    {'9', {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##..", ".....", "....."}},
    {'a', {".....", ".....", ".###.", "....#", ".####", "#...#", ".####", ".....", "....."}},
    {'b', {"#....", "#....", "####.", "#...#", "#...#", "#...#", "####.", ".....", "....."}},
    {'c', {".....", ".....", ".####", "#....", "#....", "#....", ".####", ".....", "....."}},
    {'d', {"....#", "....#", ".####", "#...#", "#...#", "#...#", ".####", ".....", "....."}},
    {'e', {".....", ".....", ".###.", "#...#", "#####", "#....", ".####", ".....", "....."}},
    {'f', {"..##.", ".#...", "####.", ".#...", ".#...", ".#...", ".#...", ".....", "....."}},
    {'g', {".....", ".....", ".####", "#...#", "#...#", "#...#", ".####", "....#", ".###."}},
    {'h', {"#....", "#....", "####.", "#...#", "#...#", "#...#", "#...#", ".....", "....."}},
    {'i', {"..#..", ".....", ".##..", "..#..", "..#..", "..#..", ".###.", ".....", "....."}},
    {'j', {"...#.", ".....", "..##.", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."}},
    {'k', {"#....", "#....", "#..#.", "#.#..", "##...", "#.#..", "#..#.", ".....", "....."}},
    {'l', {".##..", "..#..", "..#..", "..#..", "..#..", "..#..", ".###.", ".....", "....."}},
    {'m', {".....", ".....", "##.#.", "#.#.#", "#.#.#", "#.#.#", "#...#", ".....", "....."}},
    {'n', {".....", ".....", "####.", "#...#", "#...#", "#...#", "#...#", ".....", "....."}},
    {'o', {".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###.", ".....", "....."}},
    {'p', {".....", ".....", "####.", "#...#", "#...#", "#...#", "####.", "#....", "#...."}},
    {'q', {".....", ".....", ".####", "#...#", "#...#", "#...#", ".####", "....#", "....#"}},
    {'r', {".....", ".....", "#.##.", "##..#", "#....", "#....", "#....", ".....", "....."}},
    {'s', {".....", ".....", ".####", "#....", ".###.", "....#", "####.", ".....", "....."}},
    {'t', {".#...", ".#...", "####.", ".#...", ".#...", ".#..#", "..##.", ".....", "....."}},
    {'u', {".....", ".....", "#...#", "#...#", "#...#", "#..##", ".##.#", ".....", "....."}},
    {'v', {".....", ".....", "#...#", "#...#", "#...#", ".#.#.", "..#..", ".....", "....."}},
    {'w', {".....", ".....", "#...#", "#...#", "#.#.#", "#.#.#", ".#.#.", ".....", "....."}},
    {'x', {".....", ".....", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", ".....", "....."}},
    {'y', {".....", ".....", "#...#", "#...#", "#...#", "#...#", ".####", "....#", ".###."}},
    {'z', {".....", ".....", "#####", "...#.", "..#..", ".#...", "#####", ".....", "....."}},
    {'!', {"..#..", "..#..", "..#..", "..#..", "..#..", ".....", "..#..", ".....", "....."}},
    {'?', {".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#..", ".....", "....."}},
    {'.', {".....", ".....", ".....", ".....", ".....", ".##..", ".##..", ".....", "....."}},
    {',', {".....", ".....", ".....", ".....", ".....", ".##..", ".##..", "..#..", ".#..."}},
    {' ', {".....", ".....", ".....", ".....", ".....", ".....", ".....", ".....", "....."}},
    {':', {".....", ".....", ".##..", ".##..", ".....", ".##..", ".##..", ".....", "....."}},
    {'/', {"....#", "....#", "...#.", "..#..", ".#...", "#....", "#....", ".....", "....."}},
    {')', {".#...", "..#..", "...#.", "...#.", "...#.", "..#..", ".#...", ".....", "....."}},
    {'-', {".....", ".....", ".....", ".....", ".###.", ".....", ".....", ".....", "....."}},
    {'+', {".....", ".....", "..#..", "..#..", "#####", "..#..", "..#..", ".....", "....."}},
    // Not in the game's font: file names on the contact sheet.
    {'_', {".....", ".....", ".....", ".....", ".....", ".....", ".....", ".....", "#####"}},
};
// clang-format on
static_assert(std::size(glyphShapes) == 47);

const GlyphShape* findShape(char character)
{
    for (const GlyphShape& shape : glyphShapes) {
        if (shape.character == character) {
            return &shape;
        }
    }
    return nullptr;
}

// One glyph at (x, y): the dark edge around every stroke pixel (eight neighbours), then the strokes.
void drawGlyph(Image& image, char character, int32_t x, int32_t y, const TextStyle& style)
{
    const GlyphShape* shape = findShape(character);
    if (shape == nullptr) {
        return;
    }
    if (style.withEdge) {
        for (int32_t row = -1; row <= 9; row++) {
            for (int32_t column = -1; column <= 5; column++) {
                bool near = false;
                for (int32_t dy = -1; dy <= 1 && !near; dy++) {
                    for (int32_t dx = -1; dx <= 1 && !near; dx++) {
                        near = glyphInk(character, column + dx, row + dy);
                    }
                }
                if (near && !glyphInk(character, column, row)) {
                    image.set(x + 1 + column, y + 1 + row, style.edge);
                }
            }
        }
    }
    for (int32_t row = 0; row < 9; row++) {
        for (int32_t column = 0; column < 5; column++) {
            if (glyphInk(character, column, row)) {
                // Shade over the ascender-to-baseline height; descenders keep the bottom ink.
                const double t = row >= 6 ? 1.0 : row / 6.0;
                image.set(x + 1 + column, y + 1 + row, mix(style.inkTop, style.inkBottom, t));
            }
        }
    }
}

}  // namespace

TextStyle gameTextStyle()
{
    return {Rgb{255, 255, 250}, Rgb{150, 220, 245}, Rgb{12, 18, 44}, true};
}

bool glyphInk(char character, int32_t column, int32_t row)
{
    if (column < 0 || column >= 5 || row < 0 || row >= 9) {
        return false;
    }
    const GlyphShape* shape = findShape(character);
    return shape != nullptr && shape->rows[row][column] == '#';
}

bool hasGlyph(char character)
{
    return fontCharacters.find(character) != std::string_view::npos;
}

void drawText(Image& image, std::string_view text, int32_t x, int32_t y, const TextStyle& style)
{
    for (char character : text) {
        drawGlyph(image, character, x, y, style);
        x += glyphCellWidth;
    }
}

Image makeFontSheet()
{
    Image sheet(glyphCellWidth * fontColumns, glyphCellHeight * fontRows, Rgb{0, 0, 0}, false);
    const TextStyle style = gameTextStyle();
    for (size_t cell = 0; cell < fontCharacters.size(); cell++) {
        const int32_t column = static_cast<int32_t>(cell) % fontColumns;
        const int32_t row = static_cast<int32_t>(cell) / fontColumns;
        drawGlyph(sheet, fontCharacters[cell], column * glyphCellWidth, row * glyphCellHeight, style);
    }
    return sheet;
}

}  // namespace gfx
