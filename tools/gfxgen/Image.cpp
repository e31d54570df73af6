// Painting helpers, the random source and the BMP writer of the picture generator.
#include "tools/gfxgen/Image.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace gfx {

double clamp01(double value)
{
    return value < 0.0 ? 0.0 : (value > 1.0 ? 1.0 : value);
}

double smoothStep(double edge0, double edge1, double value)
{
    const double t = clamp01((value - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

Rgb mix(Rgb a, Rgb b, double t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb scale(Rgb colour, double factor)
{
    return {colour.r * factor, colour.g * factor, colour.b * factor};
}

Rgb lighten(Rgb colour, double towardsWhite)
{
    return mix(colour, Rgb{255, 255, 255}, towardsWhite);
}

Image::Image(int32_t w, int32_t h, Rgb fill, bool opaque)
    : width(w), height(h), colour(static_cast<size_t>(w) * static_cast<size_t>(h), fill),
      solid(static_cast<size_t>(w) * static_cast<size_t>(h), opaque ? 1 : 0)
{
}

bool Image::inside(int32_t x, int32_t y) const
{
    return x >= 0 && y >= 0 && x < width && y < height;
}

Rgb Image::at(int32_t x, int32_t y) const
{
    return colour[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
}

bool Image::isSolid(int32_t x, int32_t y) const
{
    return inside(x, y) && solid[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] != 0;
}

void Image::set(int32_t x, int32_t y, Rgb value)
{
    if (!inside(x, y)) {
        return;
    }
    const size_t index = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
    colour[index] = value;
    solid[index] = 1;
}

void Image::clear(int32_t x, int32_t y)
{
    if (inside(x, y)) {
        solid[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] = 0;
    }
}

void Image::blend(int32_t x, int32_t y, Rgb value, double coverage)
{
    if (!inside(x, y)) {
        return;
    }
    const size_t index = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
    colour[index] = mix(colour[index], value, clamp01(coverage));
}

void Image::fillRect(int32_t x, int32_t y, int32_t w, int32_t h, Rgb value)
{
    for (int32_t row = y; row < y + h; row++) {
        for (int32_t column = x; column < x + w; column++) {
            set(column, row, value);
        }
    }
}

void Image::stamp(const Image& source, int32_t x, int32_t y)
{
    for (int32_t row = 0; row < source.height; row++) {
        for (int32_t column = 0; column < source.width; column++) {
            if (source.isSolid(column, row)) {
                set(x + column, y + row, source.at(column, row));
            }
        }
    }
}

Image Image::mirrored() const
{
    Image result(width, height, Rgb{0, 0, 0}, false);
    for (int32_t row = 0; row < height; row++) {
        for (int32_t column = 0; column < width; column++) {
            if (isSolid(column, row)) {
                result.set(width - 1 - column, row, at(column, row));
            }
        }
    }
    return result;
}

namespace {

uint8_t channel(double value)
{
    // A NaN would convert to whatever the compiler likes; the pictures must not depend on it.
    if (std::isnan(value)) {
        std::fprintf(stderr, "gfxgen: a colour channel is not a number\n");
        std::abort();
    }
    const double rounded = std::floor(value + 0.5);
    return static_cast<uint8_t>(rounded < 0.0 ? 0.0 : (rounded > 255.0 ? 255.0 : rounded));
}

void putLe16(std::vector<uint8_t>& out, uint32_t value)
{
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

void putLe32(std::vector<uint8_t>& out, uint32_t value)
{
    putLe16(out, value & 0xFFFF);
    putLe16(out, value >> 16);
}

}  // namespace

Pixel24 pixel24(const Image& image, int32_t x, int32_t y)
{
    if (!image.isSolid(x, y)) {
        return {keyRed, keyGreen, keyBlue};
    }
    const Rgb c = image.at(x, y);
    return {channel(c.r), channel(c.g), channel(c.b)};
}

int32_t accidentalKeyPixels(const Image& image)
{
    int32_t count = 0;
    for (int32_t y = 0; y < image.height; y++) {
        for (int32_t x = 0; x < image.width; x++) {
            const Pixel24 p = pixel24(image, x, y);
            if (image.isSolid(x, y) && p.r == keyRed && p.g == keyGreen && p.b == keyBlue) {
                count++;
            }
        }
    }
    return count;
}

bool writeBmp(const Image& image, const std::string& path)
{
    constexpr uint32_t headerBytes = 14 + 40;
    const uint32_t rowBytes = (static_cast<uint32_t>(image.width) * 3 + 3) & ~3u;
    const uint32_t pixelBytes = rowBytes * static_cast<uint32_t>(image.height);
    std::vector<uint8_t> out;
    out.reserve(headerBytes + pixelBytes);
    // File header.
    out.push_back('B');
    out.push_back('M');
    putLe32(out, headerBytes + pixelBytes);
    putLe32(out, 0);
    putLe32(out, headerBytes);
    // Info header: positive height, rows bottom-up; 2835 pixels per metre is 72 dpi.
    putLe32(out, 40);
    putLe32(out, static_cast<uint32_t>(image.width));
    putLe32(out, static_cast<uint32_t>(image.height));
    putLe16(out, 1);
    putLe16(out, 24);
    putLe32(out, 0);
    putLe32(out, pixelBytes);
    putLe32(out, 2835);
    putLe32(out, 2835);
    putLe32(out, 0);
    putLe32(out, 0);
    for (int32_t y = image.height - 1; y >= 0; y--) {
        for (int32_t x = 0; x < image.width; x++) {
            const Pixel24 p = pixel24(image, x, y);
            out.push_back(p.b);
            out.push_back(p.g);
            out.push_back(p.r);
        }
        for (uint32_t pad = static_cast<uint32_t>(image.width) * 3; pad < rowBytes; pad++) {
            out.push_back(0);
        }
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}

uint32_t Random::next()
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

double Random::unit()
{
    return static_cast<double>(next() >> 8) / 16777216.0;
}

int32_t Random::below(int32_t bound)
{
    return bound <= 0 ? 0 : static_cast<int32_t>(next() % static_cast<uint32_t>(bound));
}

double Random::range(double low, double high)
{
    return low + (high - low) * unit();
}

bool insidePolygon(const Point* points, int32_t count, double x, double y)
{
    bool inside = false;
    for (int32_t i = 0, j = count - 1; i < count; j = i++) {
        const Point a = points[i];
        const Point b = points[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) {
            inside = !inside;
        }
    }
    return inside;
}

namespace {

// Normalised (-0.45, -0.65, 0.61): from the upper left, a little in front.
constexpr double lightX = -0.4500;
constexpr double lightY = -0.6500;
constexpr double lightZ = 0.6124;

}  // namespace

double lightOn(double nx, double ny, double nz)
{
    const double d = nx * lightX + ny * lightY + nz * lightZ;
    return d < 0.0 ? 0.0 : d;
}

double specularOn(double nx, double ny, double nz, double sharpness)
{
    // Half vector between the light and the viewer (0, 0, 1).
    double hx = lightX;
    double hy = lightY;
    double hz = lightZ + 1.0;
    const double length = std::sqrt(hx * hx + hy * hy + hz * hz);
    hx /= length;
    hy /= length;
    hz /= length;
    const double d = nx * hx + ny * hy + nz * hz;
    return d <= 0.0 ? 0.0 : std::pow(d, sharpness);
}

void darkenSilhouette(Image& image, double factor)
{
    std::vector<uint8_t> edge(image.solid.size(), 0);
    for (int32_t y = 0; y < image.height; y++) {
        for (int32_t x = 0; x < image.width; x++) {
            if (image.isSolid(x, y) && (!image.isSolid(x - 1, y) || !image.isSolid(x + 1, y) ||
                                        !image.isSolid(x, y - 1) || !image.isSolid(x, y + 1))) {
                edge[static_cast<size_t>(y) * static_cast<size_t>(image.width) + static_cast<size_t>(x)] = 1;
            }
        }
    }
    for (int32_t y = 0; y < image.height; y++) {
        for (int32_t x = 0; x < image.width; x++) {
            if (edge[static_cast<size_t>(y) * static_cast<size_t>(image.width) + static_cast<size_t>(x)] != 0) {
                image.set(x, y, scale(image.at(x, y), factor));
            }
        }
    }
}

namespace {

double latticeValue(uint32_t seed, int32_t x, int32_t y)
{
    uint32_t h = seed ^ (static_cast<uint32_t>(x) * 0x8DA6B343u) ^ (static_cast<uint32_t>(y) * 0xD8163841u);
    h ^= h >> 13;
    h *= 0x5BD1E995u;
    h ^= h >> 15;
    return static_cast<double>(h & 0xFFFFFF) / 16777215.0;
}

}  // namespace

double valueNoise(uint32_t seed, double x, double y, double cell, int32_t width)
{
    const double fx = x / cell;
    const double fy = y / cell;
    const int32_t x0 = static_cast<int32_t>(std::floor(fx));
    const int32_t y0 = static_cast<int32_t>(std::floor(fy));
    const double tx = smoothStep(0.0, 1.0, fx - x0);
    const double ty = smoothStep(0.0, 1.0, fy - y0);
    const int32_t wrap = width > 0 ? static_cast<int32_t>(std::ceil(width / cell)) : 0;
    auto column = [wrap](int32_t c) { return wrap > 0 ? ((c % wrap) + wrap) % wrap : c; };
    const double a = latticeValue(seed, column(x0), y0);
    const double b = latticeValue(seed, column(x0 + 1), y0);
    const double c = latticeValue(seed, column(x0), y0 + 1);
    const double d = latticeValue(seed, column(x0 + 1), y0 + 1);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

}  // namespace gfx
