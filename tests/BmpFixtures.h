// A small BMP writer and one fixture file per variant the reader supports, all of the
// same 9 x 3 picture. Shared by the BMP tests and the fuzz target's seed writer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

namespace bmpfixture {

// The fields of a BMP file as written; the writer works out sizes and offsets.
struct BmpFile {
    uint32_t headerBytes;            // 12 (OS/2 core), 40, 108 (V4) or 124 (V5)
    int32_t width;
    int32_t height;                  // negative: top row first
    uint16_t planes;
    uint16_t bitsPerPixel;
    uint32_t compression;            // 0 none, 1 RLE8, 2 RLE4, 3 bitfields
    uint32_t colourCount;            // the header's count; 0 means all
    std::vector<uint32_t> masks;     // red, green, blue[, alpha]; empty for none
    std::vector<uint32_t> palette;   // 0x00RRGGBB
    std::vector<uint8_t> pixels;     // the pixel array as stored
};

inline void putU16(std::vector<uint8_t>& out, uint32_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

inline void putU32(std::vector<uint8_t>& out, uint32_t value)
{
    putU16(out, value & 0xFFFFu);
    putU16(out, value >> 16);
}

inline std::vector<uint8_t> writeBmp(const BmpFile& file)
{
    const bool core = file.headerBytes == 12;
    const bool masksAfterHeader = file.headerBytes == 40 && !file.masks.empty();
    const size_t paletteBytes = file.palette.size() * (core ? 3 : 4);
    const size_t pixelOffset = 14 + file.headerBytes + (masksAfterHeader ? 12 : 0) + paletteBytes;
    std::vector<uint8_t> out = {'B', 'M'};
    putU32(out, static_cast<uint32_t>(pixelOffset + file.pixels.size()));
    putU32(out, 0);   // reserved
    putU32(out, static_cast<uint32_t>(pixelOffset));
    putU32(out, file.headerBytes);
    if (core) {
        putU16(out, static_cast<uint32_t>(file.width));
        putU16(out, static_cast<uint32_t>(file.height));
        putU16(out, file.planes);
        putU16(out, file.bitsPerPixel);
    } else {
        putU32(out, static_cast<uint32_t>(file.width));
        putU32(out, static_cast<uint32_t>(file.height));
        putU16(out, file.planes);
        putU16(out, file.bitsPerPixel);
        putU32(out, file.compression);
        putU32(out, static_cast<uint32_t>(file.pixels.size()));
        putU32(out, 2835);   // 72 dpi, both ways
        putU32(out, 2835);
        putU32(out, file.colourCount);
        putU32(out, 0);      // important colours
        const size_t maskEnd = out.size() + (masksAfterHeader ? 12 : 16);
        for (uint32_t mask : file.masks) {
            if (out.size() < maskEnd) {
                putU32(out, mask);
            }
        }
        out.resize(14 + file.headerBytes + (masksAfterHeader ? 12 : 0), 0);   // V4/V5 colour space: zeros
    }
    for (uint32_t colour : file.palette) {
        out.push_back(static_cast<uint8_t>(colour));         // blue
        out.push_back(static_cast<uint8_t>(colour >> 8));    // green
        out.push_back(static_cast<uint8_t>(colour >> 16));   // red
        if (!core) {
            out.push_back(0);
        }
    }
    out.insert(out.end(), file.pixels.begin(), file.pixels.end());
    return out;
}

constexpr int32_t pictureWidth = 9;
constexpr int32_t pictureHeight = 3;
constexpr uint32_t red = 0xFF0000;
constexpr uint32_t green = 0x00FF00;
constexpr uint32_t blue = 0x0000FF;
constexpr uint32_t magenta = 0xFF00FF;
constexpr uint32_t white = 0xFFFFFF;
constexpr uint32_t grey = 0x808080;

constexpr uint32_t pictureColours[] = {red, green, blue, magenta, white, grey};
static_assert(std::size(pictureColours) == 6);

// The picture as indices into pictureColours, top row first. Nine pixels wide so that
// every bit count needs row padding and 1-bit rows cross a byte.
constexpr uint8_t pictureIndices[pictureHeight][pictureWidth] = {
    {0, 0, 0, 1, 2, 3, 4, 5, 5},   // R R R G B M W grey grey
    {3, 4, 5, 5, 3, 2, 2, 2, 2},   // M W grey grey M B B B B
    {2, 2, 1, 4, 0, 0, 1, 2, 3},   // B B G W R R G B M
};

// The picture bottom row first as RLE8: runs, absolute runs with and without their
// padding byte, end of line and end of bitmap.
constexpr uint8_t pictureRle8[] = {
    0x02, 0x02, 0x00, 0x04, 0x01, 0x04, 0x00, 0x00, 0x00, 0x03, 0x01, 0x02, 0x03, 0x00, 0x00, 0x00,
    0x01, 0x03, 0x01, 0x04, 0x02, 0x05, 0x01, 0x03, 0x04, 0x02, 0x00, 0x00,
    0x03, 0x00, 0x00, 0x04, 0x01, 0x02, 0x03, 0x04, 0x02, 0x05, 0x00, 0x01,
};

// The same as RLE4: alternating nibble runs, absolute runs of 5 (padded) and 4 nibbles.
constexpr uint8_t pictureRle4[] = {
    0x02, 0x22, 0x00, 0x05, 0x14, 0x00, 0x10, 0x00, 0x02, 0x23, 0x00, 0x00,
    0x02, 0x34, 0x02, 0x55, 0x01, 0x30, 0x04, 0x22, 0x00, 0x00,
    0x03, 0x00, 0x00, 0x04, 0x12, 0x34, 0x02, 0x55, 0x00, 0x01,
};

// The 1-bit variants show the picture's indices modulo 2 in its first two colours.
[[nodiscard]] inline uint32_t expectedPixel(uint16_t bitsPerPixel, uint32_t greyReadBack, int32_t x, int32_t y)
{
    const uint32_t index = pictureIndices[y][x];
    if (bitsPerPixel == 1) {
        return pictureColours[index % 2];
    }
    return pictureColours[index] == grey ? greyReadBack : pictureColours[index];
}

// One supported way of storing the picture.
struct Variant {
    const char* name;
    uint32_t headerBytes;
    uint16_t bitsPerPixel;
    uint32_t compression;
    bool topDown;
    std::vector<uint32_t> masks;   // red, green, blue[, alpha]; empty for the default
    uint32_t greyReadBack;         // grey after the format's rounding
};

inline const std::vector<Variant>& variants()
{
    static const std::vector<Variant> all = {
        {"core1", 12, 1, 0, false, {}, grey},
        {"core4", 12, 4, 0, false, {}, grey},
        {"core8", 12, 8, 0, false, {}, grey},
        {"core24", 12, 24, 0, false, {}, grey},
        {"info1", 40, 1, 0, false, {}, grey},
        {"info4", 40, 4, 0, false, {}, grey},
        {"info8", 40, 8, 0, false, {}, grey},
        {"info8TopDown", 40, 8, 0, true, {}, grey},
        {"info16", 40, 16, 0, false, {}, 0x848484},   // 5-5-5: grey is stored as 16 of 31
        {"info16Fields565", 40, 16, 3, false, {0xF800, 0x07E0, 0x001F}, 0x848284},   // 32 of 63 green
        {"info24", 40, 24, 0, false, {}, grey},
        {"info24TopDown", 40, 24, 0, true, {}, grey},
        {"info32", 40, 32, 0, false, {}, grey},
        {"info32FieldsRgba", 40, 32, 3, false, {0xFF000000, 0x00FF0000, 0x0000FF00}, grey},
        {"info32Fields101010", 40, 32, 3, false, {0x3FF00000, 0x000FFC00, 0x000003FF}, grey},
        {"infoRle8", 40, 8, 1, false, {}, grey},
        {"infoRle4", 40, 4, 2, false, {}, grey},
        {"v4Fields555", 108, 16, 3, false, {0x7C00, 0x03E0, 0x001F, 0}, 0x848484},
        {"v4Bits24TopDown", 108, 24, 0, true, {}, grey},
        {"v5Bits8", 124, 8, 0, false, {}, grey},
        {"v5Fields32Alpha", 124, 32, 3, false, {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}, grey},
        {"v5Rle8", 124, 8, 1, false, {}, grey},
    };
    return all;
}

// A channel value 0..255 in a mask's bits, rounded to the nearest step.
[[nodiscard]] inline uint32_t quantise(uint32_t colour, int32_t channelShift, uint32_t mask)
{
    uint32_t shift = 0;
    while (((mask >> shift) & 1u) == 0) {
        ++shift;
    }
    const uint64_t maximum = mask >> shift;
    const uint64_t value = (colour >> channelShift) & 0xFFu;
    return static_cast<uint32_t>((value * maximum + 127) / 255) << shift;
}

[[nodiscard]] inline std::vector<uint8_t> storedRow(const Variant& variant, const std::vector<uint32_t>& masks, int32_t y)
{
    const uint32_t bits = variant.bitsPerPixel;
    const size_t rowBytes = (pictureWidth * bits + 31) / 32 * 4;
    std::vector<uint8_t> row(rowBytes, 0);
    for (int32_t x = 0; x < pictureWidth; ++x) {
        const uint32_t index = pictureIndices[y][x];
        const uint32_t colour = pictureColours[index];
        if (bits <= 8) {
            const uint32_t value = bits == 1 ? index % 2 : index;
            const uint32_t bitPosition = static_cast<uint32_t>(x) * bits;
            row[bitPosition / 8] |= static_cast<uint8_t>(value << (8 - bits - bitPosition % 8));
            continue;
        }
        uint32_t pixel = colour;   // 24 bits: blue, green, red in byte order
        if (bits != 24) {
            pixel = quantise(colour, 16, masks[0]) | quantise(colour, 8, masks[1]) | quantise(colour, 0, masks[2]);
        }
        for (uint32_t byte = 0; byte < bits / 8; ++byte) {
            row[x * (bits / 8) + byte] = static_cast<uint8_t>(pixel >> (8 * byte));
        }
    }
    return row;
}

// The fixture file's fields; tests damage them before writing.
[[nodiscard]] inline BmpFile fixtureFields(const Variant& variant)
{
    BmpFile file{variant.headerBytes, pictureWidth, variant.topDown ? -pictureHeight : pictureHeight, 1,
                 variant.bitsPerPixel, variant.compression, 0, variant.masks, {}, {}};
    if (variant.bitsPerPixel == 1) {
        file.palette = {pictureColours[0], pictureColours[1]};
    } else if (variant.bitsPerPixel <= 8) {
        file.palette.assign(std::begin(pictureColours), std::end(pictureColours));
        file.colourCount = variant.headerBytes == 12 ? 0 : static_cast<uint32_t>(file.palette.size());
        // No count field in a core header: core8 stores the full palette, core4 only
        // the six colours it uses, as some writers do.
        if (variant.headerBytes == 12 && variant.bitsPerPixel == 8) {
            file.palette.resize(256, 0);
        }
    }
    if (variant.compression == 1) {
        file.pixels.assign(std::begin(pictureRle8), std::end(pictureRle8));
        return file;
    }
    if (variant.compression == 2) {
        file.pixels.assign(std::begin(pictureRle4), std::end(pictureRle4));
        return file;
    }
    std::vector<uint32_t> masks = variant.masks;
    if (masks.empty()) {
        masks = variant.bitsPerPixel == 16 ? std::vector<uint32_t>{0x7C00, 0x03E0, 0x001F}
                                           : std::vector<uint32_t>{0xFF0000, 0x00FF00, 0x0000FF};
    }
    for (int32_t stored = 0; stored < pictureHeight; ++stored) {
        const int32_t y = variant.topDown ? stored : pictureHeight - 1 - stored;
        const std::vector<uint8_t> row = storedRow(variant, masks, y);
        file.pixels.insert(file.pixels.end(), row.begin(), row.end());
    }
    return file;
}

}  // namespace bmpfixture
