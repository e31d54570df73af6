// BMP pixel data into surfaces: uncompressed rows of every bit count, and RLE8/RLE4
// streams. The layout has been checked against the data; every read here is still
// bounded. Any thread; no state.
#include "graphics/BmpFormat.h"

namespace bmp {

namespace {

[[nodiscard]] uint32_t scaleChannel(uint32_t pixel, const ChannelMask& channel)
{
    const uint64_t value = (pixel & channel.mask) >> channel.shift;
    return static_cast<uint32_t>((value * 255 + channel.maximum / 2) / channel.maximum);
}

[[nodiscard]] uint32_t maskedColour(uint32_t pixel, const Layout& layout)
{
    return (scaleChannel(pixel, layout.red) << 16) | (scaleChannel(pixel, layout.green) << 8) |
           scaleChannel(pixel, layout.blue);
}

[[nodiscard]] bool decodeIndexedRow(const uint8_t* row, const Layout& layout, uint32_t* out)
{
    const uint32_t bits = layout.bitsPerPixel;
    const uint32_t valueMask = (1u << bits) - 1;
    for (int32_t x = 0; x < layout.width; ++x) {
        const uint32_t bitPosition = static_cast<uint32_t>(x) * bits;
        const uint32_t shift = 8 - bits - bitPosition % 8;   // leftmost pixel in the high bits
        const uint32_t index = (row[bitPosition / 8] >> shift) & valueMask;
        if (index >= layout.paletteCount) {
            return false;
        }
        out[x] = layout.palette[index];
    }
    return true;
}

void decodeDirectRow(const uint8_t* row, const Layout& layout, uint32_t* out)
{
    for (int32_t x = 0; x < layout.width; ++x) {
        const uint8_t* p = row + static_cast<size_t>(x) * (layout.bitsPerPixel / 8);
        switch (layout.bitsPerPixel) {
        case 16:
            out[x] = maskedColour(static_cast<uint32_t>(p[0] | (p[1] << 8)), layout);
            break;
        case 24:   // blue, green, red
            out[x] = (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[1]) << 8) | p[0];
            break;
        default:   // 32
            out[x] = maskedColour(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                                      (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24),
                                  layout);
            break;
        }
    }
}

// Where the next RLE pixel goes: x from the left, row counted from the bottom.
// Some encoders (ImageMagick among them) encode whole stored rows, padding included,
// so x may run on to storedWidth; those pixels are dropped.
struct RlePen {
    int32_t x;
    int32_t row;
    int32_t storedWidth;   // pixels in a 4-byte aligned row
};

[[nodiscard]] bool putIndex(const Layout& layout, Surface& surface, RlePen& pen, uint32_t index)
{
    if (pen.x >= layout.width) {
        pen.x += 1;
        return true;
    }
    if (index >= layout.paletteCount) {
        return false;
    }
    const size_t y = static_cast<size_t>(layout.height - 1 - pen.row);
    surface.pixels[y * static_cast<size_t>(layout.width) + static_cast<size_t>(pen.x)] = layout.palette[index];
    pen.x += 1;
    return true;
}

[[nodiscard]] bool penHasRoom(const Layout& layout, const RlePen& pen, uint32_t pixelCount)
{
    return pen.row < layout.height && static_cast<int64_t>(pen.x) + pixelCount <= pen.storedWidth;
}

// Encoded run: one byte repeated (RLE8) or its two nibbles alternating (RLE4).
[[nodiscard]] bool writeRun(const Layout& layout, Surface& surface, RlePen& pen, uint32_t count, uint8_t value)
{
    if (!penHasRoom(layout, pen, count)) {
        return false;
    }
    const bool fourBits = layout.compression == Compression::rle4;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t index = !fourBits ? value : (i % 2 == 0 ? value >> 4 : value & 0x0Fu);
        if (!putIndex(layout, surface, pen, index)) {
            return false;
        }
    }
    return true;
}

// Absolute run: count literal pixels, their bytes padded to an even number.
[[nodiscard]] bool writeLiterals(ByteReader& reader, const Layout& layout, Surface& surface, RlePen& pen,
                                 uint32_t count)
{
    if (!penHasRoom(layout, pen, count)) {
        return false;
    }
    const bool fourBits = layout.compression == Compression::rle4;
    const uint32_t byteCount = fourBits ? (count + 1) / 2 : count;
    uint8_t value = 0;
    for (uint32_t i = 0; i < count; ++i) {
        if (fourBits && i % 2 == 1) {
            if (!putIndex(layout, surface, pen, value & 0x0Fu)) {
                return false;
            }
            continue;
        }
        if (!reader.readU8(value) || !putIndex(layout, surface, pen, fourBits ? value >> 4 : value)) {
            return false;
        }
    }
    return byteCount % 2 == 0 || reader.skip(1);
}

// Data that stops without an end-of-bitmap is whole only if every row was reached.
[[nodiscard]] bool pictureComplete(const Layout& layout, const RlePen& pen)
{
    return pen.row >= layout.height || (pen.row == layout.height - 1 && pen.x >= layout.width);
}

}  // namespace

bool decodeUncompressed(const uint8_t* data, const Layout& layout, Surface& surface)
{
    const uint64_t rowBits = static_cast<uint64_t>(layout.width) * layout.bitsPerPixel;
    const size_t rowBytes = static_cast<size_t>((rowBits + 31) / 32 * 4);
    const uint8_t* pixels = data + layout.pixelOffset;
    for (int32_t stored = 0; stored < layout.height; ++stored) {
        const int32_t y = layout.topDown != 0 ? stored : layout.height - 1 - stored;
        uint32_t* out = surface.pixels + static_cast<size_t>(y) * static_cast<size_t>(layout.width);
        const uint8_t* row = pixels + static_cast<size_t>(stored) * rowBytes;
        if (layout.bitsPerPixel > 8) {
            decodeDirectRow(row, layout, out);
        } else if (!decodeIndexedRow(row, layout, out)) {
            return false;
        }
    }
    return true;
}

// Pixels that the stream skips (delta, early end of line or bitmap) stay black.
bool decodeRle(const uint8_t* data, const Layout& layout, Surface& surface)
{
    ByteReader reader{data + layout.pixelOffset, static_cast<size_t>(layout.pixelBytes), 0};
    const uint32_t rowBits = (static_cast<uint32_t>(layout.width) * layout.bitsPerPixel + 31) / 32 * 32;
    RlePen pen{0, 0, static_cast<int32_t>(rowBits / layout.bitsPerPixel)};
    for (;;) {
        uint8_t count = 0;
        uint8_t value = 0;
        if (!reader.readU8(count) || !reader.readU8(value)) {
            return pictureComplete(layout, pen);
        }
        if (count > 0) {
            if (!writeRun(layout, surface, pen, count, value)) {
                return false;
            }
            continue;
        }
        switch (value) {
        case 0:   // end of line
            pen.x = 0;
            pen.row += 1;
            break;
        case 1:   // end of bitmap
            return true;
        case 2: {   // delta: right and up
            uint8_t right = 0;
            uint8_t up = 0;
            if (!reader.readU8(right) || !reader.readU8(up)) {
                return false;
            }
            pen.x += right;
            pen.row += up;
            if (pen.x > pen.storedWidth) {
                return false;
            }
            break;
        }
        default:
            if (!writeLiterals(reader, layout, surface, pen, value)) {
                return false;
            }
            break;
        }
        if (pen.row > layout.height) {
            return false;
        }
    }
}

}  // namespace bmp
