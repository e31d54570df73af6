// The block pictures, 32 x 16 each (one cell of the landing grid). The plain
// block is sandstone; an extra is dark glass in its own colour with a bright
// symbol; the landed block is the darker, fully opaque stone of the pile.
#include <cmath>

#include "tools/gfxgen/Pictures.h"

namespace gfx {

namespace {

constexpr int32_t blockWidth = 32;
constexpr int32_t blockHeight = 16;

// Bevelled slab: 2 pixels of light on the top and left, shadow on the bottom and right,
// a grain of noise on the face. Masked blocks lose their four corner pixels.
Image slab(Rgb face, uint32_t seed, double grain, bool roundCorners)
{
    Image block(blockWidth, blockHeight, face, true);
    Random random(seed);
    for (int32_t y = 0; y < blockHeight; y++) {
        for (int32_t x = 0; x < blockWidth; x++) {
            const double noise = valueNoise(seed, x, y * 2.0, 3.0, 0) - 0.5;
            Rgb colour = scale(face, 1.0 + grain * noise + grain * 0.5 * (random.unit() - 0.5));
            const int32_t fromRight = blockWidth - 1 - x;
            const int32_t fromBottom = blockHeight - 1 - y;
            if (y == 0 || x == 0) {
                colour = lighten(face, 0.45);
            } else if (fromBottom == 0 || fromRight == 0) {
                colour = scale(face, 0.42);
            } else if (y == 1 || x == 1) {
                colour = lighten(face, 0.22);
            } else if (fromBottom == 1 || fromRight == 1) {
                colour = scale(face, 0.66);
            }
            block.set(x, y, colour);
        }
    }
    if (roundCorners) {
        block.clear(0, 0);
        block.clear(blockWidth - 1, 0);
        block.clear(0, blockHeight - 1);
        block.clear(blockWidth - 1, blockHeight - 1);
    } else {
        block.set(blockWidth - 1, 0, face);
        block.set(0, blockHeight - 1, face);
    }
    return block;
}

// Draws a symbol given as rows of '#' (ink), 'o' (ink shade) and '.' centred on the block,
// with a one-pixel dark halo so it stands out of the glass.
void symbol(Image& block, const char* const* rows, int32_t rowCount, Rgb ink, Rgb shade, Rgb halo)
{
    int32_t width = 0;
    while (rows[0][width] != '\0') {
        width++;
    }
    const int32_t left = (blockWidth - width) / 2;
    const int32_t top = (blockHeight - rowCount) / 2;
    auto inked = [&](int32_t x, int32_t y) {
        return x >= 0 && y >= 0 && x < width && y < rowCount && rows[y][x] != '.';
    };
    for (int32_t y = -1; y <= rowCount; y++) {
        for (int32_t x = -1; x <= width; x++) {
            if (!inked(x, y) && (inked(x - 1, y) || inked(x + 1, y) || inked(x, y - 1) || inked(x, y + 1))) {
                block.blend(left + x, top + y, halo, 0.7);
            }
        }
    }
    for (int32_t y = 0; y < rowCount; y++) {
        for (int32_t x = 0; x < width; x++) {
            if (inked(x, y)) {
                const double t = static_cast<double>(y) / (rowCount - 1);
                const Rgb colour = rows[y][x] == 'o' ? shade : mix(lighten(ink, 0.55), ink, t);
                block.set(left + x, top + y, colour);
            }
        }
    }
}

// One more shot: a plus and a bullet.
constexpr const char* oneMoreShot[] = {
    "........................",
    "..#.........#######.....",
    "..#.........##########..",
    "#####.......###########.",
    "..#.........##########..",
    "..#.........#######.....",
    "........................",
};
// Speed: three chevrons.
constexpr const char* speedChevrons[] = {
    "##....##....##....",
    ".##....##....##...",
    "..##....##....##..",
    "...##....##....##.",
    "..##....##....##..",
    ".##....##....##...",
    "##....##....##....",
};
// Energy: a battery with its charge.
constexpr const char* battery[] = {
    "################..",
    "#..............#..",
    "#.ooo.ooo.ooo..###",
    "#.ooo.ooo.ooo..###",
    "#.ooo.ooo.ooo..###",
    "#..............#..",
    "################..",
};
// Faster shots: a bullet with speed lines behind it.
constexpr const char* fastShot[] = {
    "..........#######.....",
    "####......##########..",
    "..........###########.",
    "#######...###########.",
    "..........###########.",
    "####......##########..",
    "..........#######.....",
};
// Loss of extras: a skull.
constexpr const char* skull[] = {
    "..######..",
    ".########.",
    "##..##..##",
    "##..##..##",
    "####..####",
    ".########.",
    "..#.##.#..",
    "..######..",
};

struct ExtraLook {
    int32_t kind;
    Rgb glass;
    Rgb ink;
    const char* const* rows;
    int32_t rowCount;
};

constexpr ExtraLook extraLooks[] = {
    {2, Rgb{120, 30, 34}, Rgb{255, 110, 90}, oneMoreShot, 7},
    {3, Rgb{28, 56, 140}, Rgb{120, 200, 255}, speedChevrons, 7},
    {5, Rgb{20, 104, 52}, Rgb{120, 255, 130}, battery, 7},
    {6, Rgb{128, 96, 16}, Rgb{255, 226, 80}, fastShot, 7},
    {7, Rgb{64, 30, 96}, Rgb{236, 226, 255}, skull, 8},
};

Image extraBlock(const ExtraLook& look)
{
    Image block = slab(look.glass, 0x5EED0000u + static_cast<uint32_t>(look.kind), 0.10, true);
    // A gold rim tells every extra apart from the plain sandstone at a glance.
    constexpr Rgb gold{230, 186, 70};
    for (int32_t x = 1; x < blockWidth - 1; x++) {
        block.set(x, 0, lighten(gold, 0.4));
        block.set(x, blockHeight - 1, scale(gold, 0.55));
    }
    for (int32_t y = 1; y < blockHeight - 1; y++) {
        block.set(0, y, lighten(gold, 0.25));
        block.set(blockWidth - 1, y, scale(gold, 0.6));
    }
    symbol(block, look.rows, look.rowCount, look.ink, scale(look.ink, 0.75), scale(look.glass, 0.3));
    return block;
}

}  // namespace

Image makeBlock(int32_t kind)
{
    if (kind == 1) {
        return slab(palette::sand, 0xB10C0001u, 0.16, true);
    }
    if (kind == 4) {
        return slab(Rgb{104, 88, 70}, 0xB10C0004u, 0.22, false);
    }
    for (const ExtraLook& look : extraLooks) {
        if (look.kind == kind) {
            return extraBlock(look);
        }
    }
    return Image();
}

}  // namespace gfx
