// gfxgen: draws the game's pictures and writes them as 24-bit BMP files.
//   gfxgen DIRECTORY                    the 33 files into DIRECTORY (made if missing)
//   gfxgen --contact-sheet FILE [N]     every picture on one sheet, enlarged N times (3)
// Exit code 1 when a file cannot be written or a picture breaks the colour-key rules.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "tools/gfxgen/ContactSheet.h"
#include "tools/gfxgen/Pictures.h"

namespace {

// An opaque picture must cover every pixel; a masked one must have transparency and
// neither may contain the key colour by accident.
bool checkPicture(const gfx::Picture& picture, const gfx::Image& image)
{
    int32_t transparent = 0;
    for (uint8_t solid : image.solid) {
        transparent += solid == 0 ? 1 : 0;
    }
    if (image.width <= 0 || image.height <= 0) {
        std::fprintf(stderr, "gfxgen: %s is empty\n", picture.fileName);
        return false;
    }
    if (!picture.masked && transparent != 0) {
        std::fprintf(stderr, "gfxgen: %s is drawn opaque but has %d transparent pixels\n", picture.fileName,
                     transparent);
        return false;
    }
    if (picture.masked && transparent == 0) {
        std::fprintf(stderr, "gfxgen: %s is drawn keyed but has no transparent pixel\n", picture.fileName);
        return false;
    }
    const int32_t accidental = gfx::accidentalKeyPixels(image);
    if (accidental != 0) {
        std::fprintf(stderr, "gfxgen: %s has %d opaque pixels in the key colour\n", picture.fileName, accidental);
        return false;
    }
    return true;
}

int writeAll(const std::string& directory)
{
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error) {
        std::fprintf(stderr, "gfxgen: cannot make %s: %s\n", directory.c_str(), error.message().c_str());
        return 1;
    }
    for (int32_t i = 0; i < gfx::pictureCount(); i++) {
        const gfx::Picture& picture = gfx::pictures()[i];
        const gfx::Image image = picture.make();
        if (!checkPicture(picture, image)) {
            return 1;
        }
        const std::string path = directory + "/" + picture.fileName;
        if (!gfx::writeBmp(image, path)) {
            std::fprintf(stderr, "gfxgen: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "--contact-sheet") == 0) {
        const int32_t factor = argc >= 4 ? std::atoi(argv[3]) : 3;
        if (factor < 1 || factor > 8) {
            std::fprintf(stderr, "gfxgen: the enlargement must be 1 to 8\n");
            return 2;
        }
        if (!gfx::writeBmp(gfx::makeContactSheet(factor), argv[2])) {
            std::fprintf(stderr, "gfxgen: cannot write %s\n", argv[2]);
            return 1;
        }
        return 0;
    }
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: gfxgen DIRECTORY | gfxgen --contact-sheet FILE [N]\n");
        return 2;
    }
    return writeAll(argv[1]);
}
