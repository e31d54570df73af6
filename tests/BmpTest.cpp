#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "graphics/Bmp.h"
#include "tests/BmpFixtures.h"

namespace {

using bmpfixture::BmpFile;
using bmpfixture::Variant;

const Variant& variantNamed(const std::string& name)
{
    for (const Variant& variant : bmpfixture::variants()) {
        if (name == variant.name) {
            return variant;
        }
    }
    ADD_FAILURE() << "no variant " << name;
    return bmpfixture::variants().front();
}

Surface* decode(const std::vector<uint8_t>& bytes)
{
    return decodeBmp(bytes.data(), bytes.size());
}

// Empty when the surface holds the fixture picture, else the first difference.
std::string pictureMismatch(const Surface* surface, const Variant& variant)
{
    if (surface == nullptr) {
        return "no surface";
    }
    if (surface->width != bmpfixture::pictureWidth || surface->height != bmpfixture::pictureHeight) {
        return "size " + std::to_string(surface->width) + "x" + std::to_string(surface->height);
    }
    for (int32_t y = 0; y < surface->height; ++y) {
        for (int32_t x = 0; x < surface->width; ++x) {
            const uint32_t expected = bmpfixture::expectedPixel(variant.bitsPerPixel, variant.greyReadBack, x, y);
            const uint32_t actual = surface->pixels[y * surface->width + x];
            if (actual != expected) {
                char text[96];
                std::snprintf(text, sizeof text, "pixel (%d, %d) is %06X, not %06X", static_cast<int>(x),
                              static_cast<int>(y), static_cast<unsigned>(actual), static_cast<unsigned>(expected));
                return text;
            }
        }
    }
    return "";
}

TEST(Bmp, EveryVariantReadsThePicture)
{
    for (const Variant& variant : bmpfixture::variants()) {
        Surface* surface = decode(bmpfixture::writeBmp(bmpfixture::fixtureFields(variant)));
        EXPECT_EQ(pictureMismatch(surface, variant), "") << variant.name;
        destroySurface(surface);
    }
}

// A cut-off file is refused; only the last row's padding or the final end-of-bitmap
// (at most 3 bytes) may be missing, and then the picture is the whole one.
TEST(Bmp, TruncatedFilesGiveNullOrTheWholePicture)
{
    for (const Variant& variant : bmpfixture::variants()) {
        const std::vector<uint8_t> bytes = bmpfixture::writeBmp(bmpfixture::fixtureFields(variant));
        for (size_t length = 0; length < bytes.size(); ++length) {
            // A copy of exactly this length, so that ASan sees any read past it.
            const std::vector<uint8_t> prefix(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
            Surface* surface = decode(prefix);
            if (length + 3 < bytes.size()) {
                EXPECT_EQ(surface, nullptr) << variant.name << " cut to " << length;
            } else if (surface != nullptr) {
                EXPECT_EQ(pictureMismatch(surface, variant), "") << variant.name << " cut to " << length;
            }
            destroySurface(surface);
        }
    }
}

void putU32At(std::vector<uint8_t>& bytes, size_t offset, uint32_t value)
{
    for (size_t i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

[[nodiscard]] uint32_t u32At(const std::vector<uint8_t>& bytes, size_t offset)
{
    return bytes[offset] | (bytes[offset + 1] << 8) | (bytes[offset + 2] << 16) | (static_cast<uint32_t>(bytes[offset + 3]) << 24);
}

constexpr size_t pixelOffsetAt = 10;

struct Damage {
    const char* what;
    const char* variant;
    void (*fields)(BmpFile&);                 // applied before writing, when set
    void (*bytes)(std::vector<uint8_t>&);     // applied to the written file, when set
};

const Damage damages[] = {
    {"signature", "info24", nullptr, [](std::vector<uint8_t>& b) { b[1] = 'A'; }},
    {"OS/2 2.x header size", "info24", [](BmpFile& f) { f.headerBytes = 64; }, nullptr},
    {"V3 header size", "info24", [](BmpFile& f) { f.headerBytes = 56; }, nullptr},
    {"header size 0", "info24", nullptr, [](std::vector<uint8_t>& b) { putU32At(b, 14, 0); }},
    {"zero width", "info24", [](BmpFile& f) { f.width = 0; }, nullptr},
    {"negative width", "info24", [](BmpFile& f) { f.width = -9; }, nullptr},
    {"width 16385", "info24", [](BmpFile& f) { f.width = 16385; }, nullptr},
    {"zero height", "info24", [](BmpFile& f) { f.height = 0; }, nullptr},
    {"height 16385", "info24", [](BmpFile& f) { f.height = 16385; }, nullptr},
    {"height -16385", "info24", [](BmpFile& f) { f.height = -16385; }, nullptr},
    {"height INT32_MIN", "info24", [](BmpFile& f) { f.height = INT32_MIN; }, nullptr},
    {"core zero width", "core24", [](BmpFile& f) { f.width = 0; }, nullptr},
    {"core zero height", "core8", [](BmpFile& f) { f.height = 0; }, nullptr},
    {"two planes", "info24", [](BmpFile& f) { f.planes = 2; }, nullptr},
    {"0 bits", "info24", [](BmpFile& f) { f.bitsPerPixel = 0; }, nullptr},
    {"2 bits", "info4", [](BmpFile& f) { f.bitsPerPixel = 2; }, nullptr},
    {"7 bits", "info8", [](BmpFile& f) { f.bitsPerPixel = 7; }, nullptr},
    {"48 bits", "info24", [](BmpFile& f) { f.bitsPerPixel = 48; }, nullptr},
    {"core 16 bits", "core24", [](BmpFile& f) { f.bitsPerPixel = 16; }, nullptr},
    {"core 32 bits", "core24", [](BmpFile& f) { f.bitsPerPixel = 32; }, nullptr},
    {"JPEG", "info24", [](BmpFile& f) { f.compression = 4; }, nullptr},
    {"PNG", "info24", [](BmpFile& f) { f.compression = 5; }, nullptr},
    {"alpha bitfields", "info32FieldsRgba", [](BmpFile& f) { f.compression = 6; }, nullptr},
    {"compression 0xFFFFFFFF", "info24", [](BmpFile& f) { f.compression = 0xFFFFFFFF; }, nullptr},
    {"RLE8 at 4 bits", "infoRle8", [](BmpFile& f) { f.bitsPerPixel = 4; }, nullptr},
    {"RLE4 at 8 bits", "infoRle4", [](BmpFile& f) { f.bitsPerPixel = 8; }, nullptr},
    {"bitfields at 24 bits", "info24", [](BmpFile& f) { f.compression = 3; f.masks = {0xFF0000, 0xFF00, 0xFF}; }, nullptr},
    {"top-down RLE8", "infoRle8", [](BmpFile& f) { f.height = -f.height; }, nullptr},
    {"top-down RLE4", "infoRle4", [](BmpFile& f) { f.height = -f.height; }, nullptr},
    {"pixel offset at the end", "info24", nullptr, [](std::vector<uint8_t>& b) { putU32At(b, pixelOffsetAt, static_cast<uint32_t>(b.size())); }},
    {"pixel offset past the end", "info8", nullptr, [](std::vector<uint8_t>& b) { putU32At(b, pixelOffsetAt, 0xFFFFFFF0); }},
    {"pixel offset in the header", "info24", nullptr, [](std::vector<uint8_t>& b) { putU32At(b, pixelOffsetAt, 20); }},
    {"pixel offset before the masks end", "info16Fields565", nullptr, [](std::vector<uint8_t>& b) { putU32At(b, pixelOffsetAt, 54); }},
    {"pixel array past the end", "info24", [](BmpFile& f) { f.height = 4; }, nullptr},
    {"top-down pixel array past the end", "info8TopDown", [](BmpFile& f) { f.height = -4; }, nullptr},
    {"RLE data before the palette ends", "infoRle8", nullptr, [](std::vector<uint8_t>& b) { putU32At(b, pixelOffsetAt, u32At(b, pixelOffsetAt) - 4); }},
    {"colour count above 256", "info8", [](BmpFile& f) { f.colourCount = 300; }, nullptr},
    {"colour count above 16 at 4 bits", "info4", [](BmpFile& f) { f.colourCount = 17; }, nullptr},
    {"colour count beyond the palette's room", "info8", [](BmpFile& f) { f.colourCount = 7; }, nullptr},
    {"index past the palette", "info8", [](BmpFile& f) { f.colourCount = 5; }, nullptr},
    {"4-bit index past the palette", "info4", [](BmpFile& f) { f.colourCount = 5; }, nullptr},
    {"core index past the trimmed palette", "core4", [](BmpFile& f) { f.palette.resize(5); }, nullptr},
    {"RLE8 run index past the palette", "infoRle8", [](BmpFile& f) { f.pixels = {0x01, 0x06, 0x00, 0x01}; }, nullptr},
    {"RLE4 literal index past the palette", "infoRle4", [](BmpFile& f) { f.pixels = {0x00, 0x03, 0x12, 0x70, 0x00, 0x01}; }, nullptr},
    {"zero mask", "info16Fields565", [](BmpFile& f) { f.masks[1] = 0; }, nullptr},
    {"split mask", "info32FieldsRgba", [](BmpFile& f) { f.masks[0] = 0xF0F00000; }, nullptr},
    {"overlapping masks", "info16Fields565", [](BmpFile& f) { f.masks[1] = 0x0FE0; }, nullptr},
    {"16-bit mask above 16 bits", "info16Fields565", [](BmpFile& f) { f.masks[2] = 0x1F0000; }, nullptr},
    {"V5 zero mask", "v5Fields32Alpha", [](BmpFile& f) { f.masks[2] = 0; }, nullptr},
    // Rows 9 pixels wide are stored as 12 pixels at 8 bits and 16 at 4 bits; runs may
    // spill into that padding but not past it.
    {"RLE8 run past the row", "infoRle8", [](BmpFile& f) { f.pixels = {0x0D, 0x00, 0x00, 0x01}; }, nullptr},
    {"RLE8 runs adding up past the row", "infoRle8", [](BmpFile& f) { f.pixels = {0x07, 0x00, 0x06, 0x00, 0x00, 0x01}; }, nullptr},
    {"RLE4 run past the row", "infoRle4", [](BmpFile& f) { f.pixels = {0x11, 0x11, 0x00, 0x01}; }, nullptr},
    {"RLE8 literals past the row", "infoRle8",
     [](BmpFile& f) { f.pixels = {0x02, 0x00, 0x00, 0x0B, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x01}; }, nullptr},
    {"RLE4 literals past the row", "infoRle4",
     [](BmpFile& f) { f.pixels = {0x00, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x10, 0x00, 0x00, 0x01}; }, nullptr},
    {"RLE delta past the row", "infoRle8", [](BmpFile& f) { f.pixels = {0x00, 0x02, 0x0D, 0x00, 0x00, 0x01}; }, nullptr},
    {"RLE delta past the picture", "infoRle8", [](BmpFile& f) { f.pixels = {0x00, 0x02, 0x00, 0x04, 0x00, 0x01}; }, nullptr},
    {"RLE run above the top row", "infoRle8",
     [](BmpFile& f) { f.pixels = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x01}; }, nullptr},
    {"RLE delta to the top then a run", "infoRle4", [](BmpFile& f) { f.pixels = {0x00, 0x02, 0x00, 0x03, 0x01, 0x00}; }, nullptr},
    {"RLE stream ends in the middle", "infoRle8", [](BmpFile& f) { f.pixels = {0x09, 0x00, 0x00, 0x00, 0x04, 0x01}; }, nullptr},
    {"RLE literals cut short", "infoRle8", [](BmpFile& f) { f.pixels = {0x00, 0x05, 0x01, 0x02}; }, nullptr},
    {"RLE delta cut short", "infoRle8", [](BmpFile& f) { f.pixels = {0x00, 0x02, 0x01}; }, nullptr},
};

TEST(Bmp, DamagedFilesGiveNull)
{
    for (const Damage& damage : damages) {
        BmpFile fields = bmpfixture::fixtureFields(variantNamed(damage.variant));
        if (damage.fields != nullptr) {
            damage.fields(fields);
        }
        std::vector<uint8_t> bytes = bmpfixture::writeBmp(fields);
        if (damage.bytes != nullptr) {
            damage.bytes(bytes);
        }
        Surface* surface = decode(bytes);
        EXPECT_EQ(surface, nullptr) << damage.what;
        destroySurface(surface);
    }
    EXPECT_EQ(decodeBmp(nullptr, 100), nullptr);
}

// 4 x 2 pictures, top row first; 'k' is a pixel the stream never wrote.
struct RleCase {
    const char* what;
    uint32_t compression;
    std::vector<uint8_t> stream;
    const char* expected;
};

TEST(Bmp, RleSkippedPixelsStayBlack)
{
    const RleCase cases[] = {
        {"delta", 1, {0x01, 0x00, 0x00, 0x02, 0x02, 0x01, 0x01, 0x01, 0x00, 0x01}, "kkkg" "rkkk"},
        {"early end of line", 1, {0x01, 0x02, 0x00, 0x00, 0x02, 0x03, 0x00, 0x01}, "mmkk" "bkkk"},
        {"early end of bitmap", 1, {0x04, 0x04, 0x00, 0x01}, "kkkk" "wwww"},
        {"no end of bitmap after the last row", 1, {0x04, 0x04, 0x00, 0x00, 0x04, 0x05}, "yyyy" "wwww"},
        {"RLE4 delta", 2, {0x03, 0x01, 0x00, 0x02, 0x00, 0x01, 0x01, 0x20, 0x00, 0x01}, "kkkb" "rgrk"},
        {"RLE4 delta back to the row start", 2, {0x00, 0x02, 0x04, 0x00, 0x00, 0x00, 0x02, 0x44, 0x00, 0x01}, "wwkk" "kkkk"},
        // 4 pixels at 4 bits are stored in 4 bytes: encoders that encode the padding too
        // write 8 pixels a row; the last 4 are dropped.
        {"RLE4 runs through the row padding", 2, {0x08, 0x12, 0x00, 0x00, 0x05, 0x33, 0x00, 0x03, 0x70, 0x00, 0x00, 0x01}, "mmmm" "gbgb"},
    };
    for (const RleCase& rle : cases) {
        const Variant& variant = variantNamed(rle.compression == 1 ? "infoRle8" : "infoRle4");
        BmpFile fields = bmpfixture::fixtureFields(variant);
        fields.width = 4;
        fields.height = 2;
        fields.pixels = rle.stream;
        Surface* surface = decode(bmpfixture::writeBmp(fields));
        ASSERT_NE(surface, nullptr) << rle.what;
        std::string actual;
        for (int32_t i = 0; i < 8; ++i) {
            switch (surface->pixels[i]) {
            case bmpfixture::red: actual += 'r'; break;
            case bmpfixture::green: actual += 'g'; break;
            case bmpfixture::blue: actual += 'b'; break;
            case bmpfixture::magenta: actual += 'm'; break;
            case bmpfixture::white: actual += 'w'; break;
            case bmpfixture::grey: actual += 'y'; break;
            case 0: actual += 'k'; break;
            default: actual += '?'; break;
            }
        }
        EXPECT_EQ(actual, rle.expected) << rle.what;
        destroySurface(surface);
    }
}

TEST(Bmp, SideAndAreaLimits)
{
    BmpFile wide = bmpfixture::fixtureFields(variantNamed("info24"));
    wide.width = 16384;
    wide.height = 1;
    wide.pixels.assign(16384 * 3, 0x40);
    Surface* surface = decode(bmpfixture::writeBmp(wide));
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->pixels[16383], 0x404040u);
    destroySurface(surface);

    // A few bytes of RLE may ask for at most 4096 x 4096 pixels (64 MiB), in any shape.
    struct Area {
        int32_t width;
        int32_t height;
        bool accepted;
    };
    constexpr Area areas[] = {{4096, 4096, true}, {16384, 1024, true}, {16384, 1025, false}, {4097, 4096, false},
                              {16384, 16384, false}};
    for (const Area& area : areas) {
        BmpFile rle = bmpfixture::fixtureFields(variantNamed("infoRle8"));
        rle.width = area.width;
        rle.height = area.height;
        rle.pixels = {0x00, 0x01};
        Surface* picture = decode(bmpfixture::writeBmp(rle));
        EXPECT_EQ(picture != nullptr, area.accepted) << area.width << " x " << area.height;
        destroySurface(picture);
    }
}

std::filesystem::path scratchDirectory(const char* name)
{
    const std::filesystem::path directory = std::filesystem::path(KARVEX_BINARY_DIR) / "test-scratch" / name;
    std::filesystem::remove_all(directory);
    std::filesystem::create_directories(directory);
    return directory;
}

void writeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    if (!bytes.empty()) {
        EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    }
    std::fclose(file);
}

TEST(Bmp, ReadFile)
{
    const std::filesystem::path directory = scratchDirectory("bmp-read-file");
    const Variant& variant = variantNamed("info8");
    writeFile(directory / "picture.bmp", bmpfixture::writeBmp(bmpfixture::fixtureFields(variant)));
    Surface* surface = readBmpFile((directory / "picture.bmp").c_str());
    EXPECT_EQ(pictureMismatch(surface, variant), "");
    destroySurface(surface);

    EXPECT_EQ(readBmpFile((directory / "missing.bmp").c_str()), nullptr);
    EXPECT_EQ(readBmpFile(directory.c_str()), nullptr);
    EXPECT_EQ(readBmpFile(nullptr), nullptr);
    writeFile(directory / "empty.bmp", {});
    EXPECT_EQ(readBmpFile((directory / "empty.bmp").c_str()), nullptr);
    // A FIFO without a writer must not block the loader.
    ASSERT_EQ(mkfifo((directory / "fifo.bmp").c_str(), 0600), 0);
    EXPECT_EQ(readBmpFile((directory / "fifo.bmp").c_str()), nullptr);

    // A valid header in front of 65 MiB (sparse): refused by size, not read.
    writeFile(directory / "big.bmp", bmpfixture::writeBmp(bmpfixture::fixtureFields(variant)));
    std::filesystem::resize_file(directory / "big.bmp", uint64_t{65} << 20);
    EXPECT_EQ(readBmpFile((directory / "big.bmp").c_str()), nullptr);
    std::filesystem::remove_all(directory);
}

// The fixture picture (or its two-colour form) as a binary PPM for ImageMagick.
std::vector<uint8_t> picturePpm(bool twoColours)
{
    const std::string header = "P6\n" + std::to_string(bmpfixture::pictureWidth) + " " +
                               std::to_string(bmpfixture::pictureHeight) + "\n255\n";
    std::vector<uint8_t> bytes(header.begin(), header.end());
    for (int32_t y = 0; y < bmpfixture::pictureHeight; ++y) {
        for (int32_t x = 0; x < bmpfixture::pictureWidth; ++x) {
            const uint32_t colour = bmpfixture::expectedPixel(twoColours ? 1 : 8, bmpfixture::grey, x, y);
            bytes.push_back(static_cast<uint8_t>(colour >> 16));
            bytes.push_back(static_cast<uint8_t>(colour >> 8));
            bytes.push_back(static_cast<uint8_t>(colour));
        }
    }
    return bytes;
}

struct ConvertCase {
    const char* arguments;     // between the input and the output file
    const char* format;
    bool twoColours;
    int32_t channelTolerance;  // ImageMagick truncates to 5 bits: grey 128 is stored as 15 of 31
};

// What ImageMagick 6.9 writes for each is in the comment.
constexpr ConvertCase convertCases[] = {
    {"", "BMP2", false, 0},                                  // OS/2 core, 24 bits
    {"-type Palette", "BMP2", false, 0},                     // core, 4 bits
    {"-type Palette -compress RLE", "BMP2", false, 0},       // core, 8 bits, full palette
    {"-type Palette", "BMP2", true, 0},                      // core, 1 bit
    {"", "BMP3", false, 0},                                  // 40 bytes, 24 bits
    {"-type Palette", "BMP3", false, 0},                     // 4 bits, 16 colours
    {"-type Palette -compress RLE", "BMP3", false, 0},       // RLE8
    {"-type Palette", "BMP3", true, 0},                      // 1 bit
    {"", "BMP", false, 0},                                   // V5, 24 bits
    {"-type Palette -compress RLE", "BMP", false, 0},        // V5, RLE8
    {"-define bmp:subtype=RGB565", "BMP", false, 8},         // V5, 16-bit bitfields
    {"-define bmp:subtype=RGB555", "BMP", false, 8},
    {"-type TrueColorAlpha", "BMP", false, 0},               // V5, 32-bit bitfields with alpha
};

[[nodiscard]] int32_t channelDistance(uint32_t a, uint32_t b)
{
    int32_t largest = 0;
    for (int32_t shift = 0; shift < 24; shift += 8) {
        const int32_t difference = static_cast<int32_t>((a >> shift) & 0xFFu) - static_cast<int32_t>((b >> shift) & 0xFFu);
        largest = std::max(largest, std::abs(difference));
    }
    return largest;
}

TEST(Bmp, ReadsWhatImageMagickWrites)
{
    if (std::system("convert -version > /dev/null 2>&1") != 0) {
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    }
    const std::filesystem::path directory = scratchDirectory("bmp-imagemagick");
    writeFile(directory / "picture.ppm", picturePpm(false));
    writeFile(directory / "two.ppm", picturePpm(true));
    int32_t caseNumber = 0;
    for (const ConvertCase& convert : convertCases) {
        const std::filesystem::path output = directory / ("case" + std::to_string(caseNumber++) + ".bmp");
        const std::string command = std::string("convert '") + (directory / (convert.twoColours ? "two.ppm" : "picture.ppm")).string() +
                                    "' " + convert.arguments + " " + convert.format + ":'" + output.string() + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        Surface* surface = readBmpFile(output.c_str());
        ASSERT_NE(surface, nullptr) << command;
        ASSERT_EQ(surface->width, bmpfixture::pictureWidth) << command;
        ASSERT_EQ(surface->height, bmpfixture::pictureHeight) << command;
        int32_t worst = 0;
        for (int32_t y = 0; y < bmpfixture::pictureHeight; ++y) {
            for (int32_t x = 0; x < bmpfixture::pictureWidth; ++x) {
                const uint32_t expected = bmpfixture::expectedPixel(convert.twoColours ? 1 : 8, bmpfixture::grey, x, y);
                worst = std::max(worst, channelDistance(surface->pixels[y * bmpfixture::pictureWidth + x], expected));
            }
        }
        EXPECT_LE(worst, convert.channelTolerance) << command;
        destroySurface(surface);
    }
    std::filesystem::remove_all(directory);
}

}  // namespace
