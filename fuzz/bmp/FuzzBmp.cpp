// libFuzzer entry for the BMP reader: any bytes in, a surface or null out. A surface
// that comes back is read end to end, so that a wrong size shows up under ASan.
#include <cstddef>
#include <cstdint>

#include "graphics/Bmp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Surface* surface = decodeBmp(data, size);
    if (surface == nullptr) {
        return 0;
    }
    if (surface->width <= 0 || surface->height <= 0) {
        __builtin_trap();
    }
    const size_t pixelCount = static_cast<size_t>(surface->width) * static_cast<size_t>(surface->height);
    for (size_t i = 0; i < pixelCount; ++i) {
        if ((surface->pixels[i] >> 24) != 0) {   // pixels are 0x00RRGGBB
            __builtin_trap();
        }
    }
    destroySurface(surface);
    return 0;
}
