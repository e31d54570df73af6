// Reading Windows BMP files: the file and info headers, the palette and the channel
// masks, checked against the data before any pixel is decoded. Any thread; no state.
#include "graphics/Bmp.h"

#include <bit>
#include <cstdio>
#include <filesystem>
#include <new>
#include <system_error>

#include "graphics/BmpFormat.h"

namespace bmp {

bool ByteReader::readU8(uint8_t& value)
{
    if (position >= size) {
        return false;
    }
    value = data[position];
    position += 1;
    return true;
}

bool ByteReader::readU16(uint16_t& value)
{
    if (position > size || size - position < 2) {
        return false;
    }
    value = static_cast<uint16_t>(data[position] | (data[position + 1] << 8));
    position += 2;
    return true;
}

bool ByteReader::readU32(uint32_t& value)
{
    if (position > size || size - position < 4) {
        return false;
    }
    value = static_cast<uint32_t>(data[position]) | (static_cast<uint32_t>(data[position + 1]) << 8) |
            (static_cast<uint32_t>(data[position + 2]) << 16) | (static_cast<uint32_t>(data[position + 3]) << 24);
    position += 4;
    return true;
}

bool ByteReader::readI32(int32_t& value)
{
    uint32_t raw = 0;
    if (!readU32(raw)) {
        return false;
    }
    value = static_cast<int32_t>(raw);
    return true;
}

bool ByteReader::skip(size_t byteCount)
{
    if (position > size || size - position < byteCount) {
        return false;
    }
    position += byteCount;
    return true;
}

namespace {

constexpr uint32_t fileHeaderBytes = 14;
constexpr uint32_t coreHeaderBytes = 12;      // OS/2 1.x: 16-bit sides, 3-byte palette entries
constexpr uint32_t infoHeaderBytes = 40;
constexpr uint32_t v4HeaderBytes = 108;
constexpr uint32_t v5HeaderBytes = 124;
constexpr uint32_t fieldMaskBytes = 12;       // red, green, blue masks after a 40-byte header

// The header fields that matter, whichever header they came from.
struct Header {
    uint32_t headerBytes;
    int64_t width;
    int64_t height;               // negative: top row first
    uint32_t planes;
    uint32_t bitsPerPixel;
    uint32_t compression;
    uint32_t imageBytes;          // 0 when the writer left it out
    uint32_t colourCount;         // 0: as many as the bit count allows
    uint32_t masks[3];            // red, green, blue; valid only with bitfields
};

[[nodiscard]] bool readCoreHeader(ByteReader& reader, Header& header)
{
    uint16_t width = 0;
    uint16_t height = 0;
    uint16_t planes = 0;
    uint16_t bits = 0;
    if (!reader.readU16(width) || !reader.readU16(height) || !reader.readU16(planes) ||
        !reader.readU16(bits)) {
        return false;
    }
    header.width = width;
    header.height = height;
    header.planes = planes;
    header.bitsPerPixel = bits;
    header.compression = static_cast<uint32_t>(Compression::rgb);
    return bits == 1 || bits == 4 || bits == 8 || bits == 24;
}

[[nodiscard]] bool readInfoHeader(ByteReader& reader, Header& header)
{
    int32_t width = 0;
    int32_t height = 0;
    uint16_t planes = 0;
    uint16_t bits = 0;
    uint32_t importantColours = 0;
    int32_t pixelsPerMetre = 0;
    if (!reader.readI32(width) || !reader.readI32(height) || !reader.readU16(planes) ||
        !reader.readU16(bits) || !reader.readU32(header.compression) ||
        !reader.readU32(header.imageBytes) || !reader.readI32(pixelsPerMetre) ||
        !reader.readI32(pixelsPerMetre) || !reader.readU32(header.colourCount) ||
        !reader.readU32(importantColours)) {
        return false;
    }
    header.width = width;
    header.height = height;
    header.planes = planes;
    header.bitsPerPixel = bits;
    // V4 and V5 carry the masks inside the header, a plain info header right after it.
    if (header.compression == static_cast<uint32_t>(Compression::bitfields) || header.headerBytes > infoHeaderBytes) {
        for (uint32_t& mask : header.masks) {
            if (!reader.readU32(mask)) {
                return false;
            }
        }
    }
    return true;
}

[[nodiscard]] bool supportedEncoding(uint32_t compression, uint32_t bits)
{
    switch (compression) {
    case static_cast<uint32_t>(Compression::rgb):
        return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case static_cast<uint32_t>(Compression::rle8):
        return bits == 8;
    case static_cast<uint32_t>(Compression::rle4):
        return bits == 4;
    case static_cast<uint32_t>(Compression::bitfields):
        return bits == 16 || bits == 32;
    default:
        return false;   // JPEG, PNG, alpha bitfields, CMYK and the rest
    }
}

[[nodiscard]] bool checkGeometry(const Header& header, Layout& layout)
{
    const int64_t rows = header.height < 0 ? -header.height : header.height;
    if (header.width <= 0 || header.width > maxSidePixels || rows == 0 || rows > maxSidePixels) {
        return false;
    }
    if (static_cast<uint64_t>(header.width) * static_cast<uint64_t>(rows) > maxPicturePixels) {
        return false;
    }
    const bool rle = header.compression == static_cast<uint32_t>(Compression::rle8) ||
                     header.compression == static_cast<uint32_t>(Compression::rle4);
    if (header.height < 0 && rle) {
        return false;   // RLE rows always run bottom-up
    }
    layout.width = static_cast<int32_t>(header.width);
    layout.height = static_cast<int32_t>(rows);
    layout.topDown = header.height < 0 ? 1 : 0;
    return true;
}

// A mask must be one run of set bits inside the pixel.
[[nodiscard]] bool describeMask(uint32_t mask, uint32_t bitsPerPixel, ChannelMask& channel)
{
    if (mask == 0 || (bitsPerPixel < 32 && (mask >> bitsPerPixel) != 0)) {
        return false;
    }
    const uint32_t shift = static_cast<uint32_t>(std::countr_zero(mask));
    const uint32_t maximum = mask >> shift;
    if ((maximum & (maximum + 1)) != 0) {
        return false;
    }
    channel = {mask, shift, maximum};
    return true;
}

[[nodiscard]] bool readMasks(const Header& header, Layout& layout)
{
    uint32_t masks[3] = {header.masks[0], header.masks[1], header.masks[2]};
    if (header.compression != static_cast<uint32_t>(Compression::bitfields)) {
        // Without bitfields 16 bits are 5-5-5 and 32 bits are 8-8-8 with an unused top byte.
        const bool fiveBits = header.bitsPerPixel == 16;
        masks[0] = fiveBits ? 0x7C00u : 0x00FF0000u;
        masks[1] = fiveBits ? 0x03E0u : 0x0000FF00u;
        masks[2] = fiveBits ? 0x001Fu : 0x000000FFu;
    }
    if ((masks[0] & masks[1]) != 0 || (masks[0] & masks[2]) != 0 || (masks[1] & masks[2]) != 0) {
        return false;
    }
    return describeMask(masks[0], header.bitsPerPixel, layout.red) &&
           describeMask(masks[1], header.bitsPerPixel, layout.green) &&
           describeMask(masks[2], header.bitsPerPixel, layout.blue);
}

// The palette lies between the headers and the pixels. A count given in the header
// must fit there; the implied full count is cut to what fits, as some writers store
// only the colours they use.
[[nodiscard]] bool readPalette(const uint8_t* data, const Header& header, uint64_t paletteStart, Layout& layout)
{
    const uint32_t entryBytes = header.headerBytes == coreHeaderBytes ? 3 : 4;
    const uint32_t fullCount = 1u << header.bitsPerPixel;
    const uint64_t roomEntries = (layout.pixelOffset - paletteStart) / entryBytes;
    uint32_t count = header.colourCount;
    if (count > fullCount || count > roomEntries) {
        return false;
    }
    if (count == 0) {
        count = roomEntries < fullCount ? static_cast<uint32_t>(roomEntries) : fullCount;
    }
    for (uint32_t index = 0; index < count; ++index) {
        const uint8_t* entry = data + paletteStart + static_cast<uint64_t>(index) * entryBytes;
        layout.palette[index] = (static_cast<uint32_t>(entry[2]) << 16) | (static_cast<uint32_t>(entry[1]) << 8) | entry[0];
    }
    layout.paletteCount = count;
    return true;
}

// Uncompressed rows are padded to 4 bytes; the last row's padding may be missing.
[[nodiscard]] bool pixelsFit(const Layout& layout, uint64_t availableBytes)
{
    const uint64_t rowBits = static_cast<uint64_t>(layout.width) * layout.bitsPerPixel;
    const uint64_t rowBytes = (rowBits + 31) / 32 * 4;
    const uint64_t neededBytes = rowBytes * static_cast<uint64_t>(layout.height - 1) + (rowBits + 7) / 8;
    return neededBytes <= availableBytes;
}

// The file header's signature and pixel offset, then whichever info header follows.
[[nodiscard]] bool readHeaders(ByteReader& reader, Header& header, uint32_t& pixelOffset)
{
    uint8_t signature[2] = {0, 0};
    if (!reader.readU8(signature[0]) || !reader.readU8(signature[1]) || signature[0] != 'B' ||
        signature[1] != 'M' || !reader.skip(8) || !reader.readU32(pixelOffset) ||
        !reader.readU32(header.headerBytes)) {
        return false;
    }
    switch (header.headerBytes) {
    case coreHeaderBytes:
        return readCoreHeader(reader, header);
    case infoHeaderBytes:
    case v4HeaderBytes:
    case v5HeaderBytes:
        return readInfoHeader(reader, header);
    default:
        return false;   // OS/2 2.x, V2, V3 and anything unknown
    }
}

}  // namespace

bool readLayout(const uint8_t* data, size_t size, Layout& layout)
{
    ByteReader reader{data, size, 0};
    Header header{};
    if (!readHeaders(reader, header, layout.pixelOffset) || header.planes != 1 ||
        !supportedEncoding(header.compression, header.bitsPerPixel) || !checkGeometry(header, layout)) {
        return false;
    }
    layout.bitsPerPixel = header.bitsPerPixel;
    layout.compression = static_cast<Compression>(header.compression);
    uint64_t paletteStart = uint64_t{fileHeaderBytes} + header.headerBytes;
    if (header.headerBytes == infoHeaderBytes && layout.compression == Compression::bitfields) {
        paletteStart += fieldMaskBytes;
    }
    if (layout.pixelOffset < paletteStart || layout.pixelOffset >= size) {
        return false;
    }
    const uint64_t availableBytes = size - layout.pixelOffset;
    layout.paletteCount = 0;
    if (layout.bitsPerPixel <= 8) {
        if (!readPalette(data, header, paletteStart, layout)) {
            return false;
        }
    } else if (!readMasks(header, layout)) {
        return false;
    }
    if (layout.compression == Compression::rle8 || layout.compression == Compression::rle4) {
        const bool sized = header.imageBytes != 0 && header.imageBytes < availableBytes;
        layout.pixelBytes = sized ? header.imageBytes : availableBytes;
        return true;
    }
    layout.pixelBytes = availableBytes;
    return pixelsFit(layout, availableBytes);
}

}  // namespace bmp

Surface* decodeBmp(const uint8_t* data, size_t size)
{
    if (data == nullptr) {
        return nullptr;
    }
    bmp::Layout layout{};
    if (!bmp::readLayout(data, size, layout)) {
        return nullptr;
    }
    Surface* surface = createSurface(layout.width, layout.height);
    if (surface == nullptr) {
        return nullptr;
    }
    const bool rle = layout.compression == bmp::Compression::rle8 || layout.compression == bmp::Compression::rle4;
    const bool decoded = rle ? bmp::decodeRle(data, layout, *surface) : bmp::decodeUncompressed(data, layout, *surface);
    if (!decoded) {
        destroySurface(surface);
        return nullptr;
    }
    return surface;
}

namespace {

// The largest uncompressed 32-bit picture that fits in 64 MiB, plus the largest headers and palette.
constexpr long maxFileBytes = (64L << 20) + 14 + 124 + 1024;

}  // namespace

Surface* readBmpFile(const char* path)
{
    // Only regular files: opening a FIFO for reading would block until a writer comes.
    std::error_code error;
    if (path == nullptr || !std::filesystem::is_regular_file(path, error)) {
        return nullptr;
    }
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return nullptr;
    }
    long fileBytes = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        fileBytes = std::ftell(file);
    }
    uint8_t* contents = nullptr;
    if (fileBytes > 0 && fileBytes <= maxFileBytes && std::fseek(file, 0, SEEK_SET) == 0) {
        contents = new (std::nothrow) uint8_t[static_cast<size_t>(fileBytes)];
    }
    Surface* surface = nullptr;
    if (contents != nullptr && std::fread(contents, 1, static_cast<size_t>(fileBytes), file) == static_cast<size_t>(fileBytes)) {
        surface = decodeBmp(contents, static_cast<size_t>(fileBytes));
    }
    delete[] contents;
    std::fclose(file);
    return surface;
}
