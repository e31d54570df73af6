// Sprites from BMP files. Game thread, or the main thread during start-up.
#include "graphics/Bmp.h"
#include "graphics/Canvas.h"

uint32_t Canvas::loadSprite(const char* path)
{
    Surface* picture = readBmpFile(path);
    if (picture == nullptr) {
        return 0;
    }
    // The picture itself becomes the image: no second surface to fill and throw away.
    const uint32_t id = addSprite(picture);
    if (id == 0) {
        destroySurface(picture);
    }
    return id;
}
