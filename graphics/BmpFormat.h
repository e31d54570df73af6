// The BMP reader's inside: a bounded little-endian cursor, the picture's layout as
// read from its headers, and the pixel decoders. Used only by graphics/Bmp*.cpp.
#pragma once

#include <cstddef>
#include <cstdint>

#include "graphics/Surface.h"

namespace bmp {

// Reads little-endian fields one at a time; every read fails (and leaves the value
// alone) when the field would pass the end of the data.
struct ByteReader {
    const uint8_t* data;
    size_t size;
    size_t position;

    [[nodiscard]] bool readU8(uint8_t& value);
    [[nodiscard]] bool readU16(uint16_t& value);
    [[nodiscard]] bool readU32(uint32_t& value);
    [[nodiscard]] bool readI32(int32_t& value);
    [[nodiscard]] bool skip(size_t byteCount);
};

// The compression field's values that we read.
enum class Compression : uint32_t {
    rgb = 0,
    rle8 = 1,
    rle4 = 2,
    bitfields = 3,
};

// One colour channel of a 16- or 32-bit pixel: (pixel & mask) >> shift runs 0..maximum.
struct ChannelMask {
    uint32_t mask;
    uint32_t shift;
    uint32_t maximum;
};

constexpr int32_t maxSidePixels = 16384;
// 4096 x 4096, the largest back buffer: 64 MiB of surface. Without it a few bytes of
// RLE could ask for 16384 x 16384 pixels, 1 GiB.
constexpr uint64_t maxPicturePixels = uint64_t{16} << 20;

// Everything the pixel decoders need, checked against the data before decoding.
struct Layout {
    int32_t width;                // 1..maxSidePixels
    int32_t height;               // 1..maxSidePixels, whatever the row order
    uint32_t topDown;             // 1: first stored row is the top one
    uint32_t bitsPerPixel;        // 1, 4, 8, 16, 24 or 32
    Compression compression;
    uint32_t pixelOffset;         // bytes from the start of the file
    uint64_t pixelBytes;          // bytes of pixel data from pixelOffset (never past the data)
    uint32_t paletteCount;        // entries in palette, 0 above 8 bits
    uint32_t palette[256];        // 0x00RRGGBB
    ChannelMask red;              // 16 and 32 bits only
    ChannelMask green;
    ChannelMask blue;
};

// Fills layout from the file and info headers; false for anything we do not read.
[[nodiscard]] bool readLayout(const uint8_t* data, size_t size, Layout& layout);

// Decode into a zero-filled surface of the layout's size; false on damaged pixel data.
[[nodiscard]] bool decodeUncompressed(const uint8_t* data, const Layout& layout, Surface& surface);
[[nodiscard]] bool decodeRle(const uint8_t* data, const Layout& layout, Surface& surface);

}  // namespace bmp
