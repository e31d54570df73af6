// Allocation of pixel buffers, without throwing.
#include "graphics/Surface.h"

#include <cstddef>
#include <new>

Surface* createSurface(int32_t width, int32_t height)
{
    if (width <= 0 || height <= 0) {
        return nullptr;
    }
    Surface* surface = new (std::nothrow) Surface{nullptr, width, height};
    if (surface == nullptr) {
        return nullptr;
    }
    const size_t pixelCount = static_cast<size_t>(width) * static_cast<size_t>(height);
    surface->pixels = new (std::nothrow) uint32_t[pixelCount]();
    if (surface->pixels == nullptr) {
        delete surface;
        return nullptr;
    }
    return surface;
}

void destroySurface(Surface* surface)
{
    if (surface != nullptr) {
        delete[] surface->pixels;
        delete surface;
    }
}
