// Writes the BMP fuzz seeds: the test fixture of every supported variant, plus RLE
// streams with deltas. Usage: fuzz_bmp_seed_writer DIRECTORY
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "tests/BmpFixtures.h"

namespace {

[[nodiscard]] bool writeSeed(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

// 4 x 2 pictures whose streams move the pen with deltas and early line ends.
[[nodiscard]] std::vector<uint8_t> deltaSeed(const char* variantName, std::vector<uint8_t> stream)
{
    for (const bmpfixture::Variant& variant : bmpfixture::variants()) {
        if (std::string(variant.name) == variantName) {
            bmpfixture::BmpFile fields = bmpfixture::fixtureFields(variant);
            fields.width = 4;
            fields.height = 2;
            fields.pixels = std::move(stream);
            return bmpfixture::writeBmp(fields);
        }
    }
    return {};
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
        return 2;
    }
    const std::filesystem::path directory = argv[1];
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    bool written = !error;
    for (const bmpfixture::Variant& variant : bmpfixture::variants()) {
        written = written && writeSeed(directory / (std::string(variant.name) + ".bmp"),
                                       bmpfixture::writeBmp(bmpfixture::fixtureFields(variant)));
    }
    written = written && writeSeed(directory / "rle8Delta.bmp",
                                   deltaSeed("infoRle8", {0x01, 0x00, 0x00, 0x02, 0x02, 0x00, 0x01, 0x01, 0x00, 0x00, 0x02, 0x03, 0x00, 0x01}));
    written = written && writeSeed(directory / "rle4Delta.bmp",
                                   deltaSeed("infoRle4", {0x00, 0x03, 0x12, 0x30, 0x00, 0x02, 0x00, 0x01, 0x01, 0x40, 0x00, 0x01}));
    if (!written) {
        std::fprintf(stderr, "%s: cannot write the seeds into %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
