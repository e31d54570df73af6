// The picture generator's canvas: an RGB image with a transparency flag per
// pixel, a few painting helpers, a seeded random source and the BMP writer.
// Single-threaded tool code; nothing here is shared with the game.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gfx {

// Colour channels as doubles in 0..255 while painting; rounded once when written.
struct Rgb {
    double r;
    double g;
    double b;
};

[[nodiscard]] Rgb mix(Rgb a, Rgb b, double t);            // t 0 gives a, 1 gives b
[[nodiscard]] Rgb scale(Rgb colour, double factor);       // brightness, clamped when written
[[nodiscard]] Rgb lighten(Rgb colour, double towardsWhite);
[[nodiscard]] double clamp01(double value);
[[nodiscard]] double smoothStep(double edge0, double edge1, double value);

// The colour key of the game: pixels written in it are transparent.
constexpr uint8_t keyRed = 255;
constexpr uint8_t keyGreen = 0;
constexpr uint8_t keyBlue = 255;

struct Image {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<Rgb> colour;
    std::vector<uint8_t> solid;   // 1 opaque, 0 transparent (written as magenta)

    Image() = default;
    Image(int32_t w, int32_t h, Rgb fill, bool opaque);

    [[nodiscard]] bool inside(int32_t x, int32_t y) const;
    [[nodiscard]] Rgb at(int32_t x, int32_t y) const;
    [[nodiscard]] bool isSolid(int32_t x, int32_t y) const;   // false outside
    void set(int32_t x, int32_t y, Rgb value);                 // also makes the pixel opaque
    void clear(int32_t x, int32_t y);                          // transparent
    // Blends towards value by coverage 0..1; the pixel keeps its opacity.
    void blend(int32_t x, int32_t y, Rgb value, double coverage);
    void fillRect(int32_t x, int32_t y, int32_t w, int32_t h, Rgb value);
    // Copies the opaque pixels of source with its top-left at (x, y).
    void stamp(const Image& source, int32_t x, int32_t y);
    [[nodiscard]] Image mirrored() const;   // left to right
};

// The 24-bit value a pixel is written as (rounded, clamped, magenta where transparent).
struct Pixel24 {
    uint8_t r;
    uint8_t g;
    uint8_t b;
};
[[nodiscard]] Pixel24 pixel24(const Image& image, int32_t x, int32_t y);

// An uncompressed 24-bit bottom-up BMP; false when the file cannot be written.
[[nodiscard]] bool writeBmp(const Image& image, const std::string& path);

// The number of opaque pixels whose written colour is exactly the key: a fault in the art.
[[nodiscard]] int32_t accidentalKeyPixels(const Image& image);

// A small deterministic random source (xorshift32), so every run writes the same bytes.
struct Random {
    uint32_t state;
    explicit Random(uint32_t seed) : state(seed == 0 ? 0x9E3779B9u : seed) {}
    [[nodiscard]] uint32_t next();
    [[nodiscard]] double unit();                        // 0 <= value < 1
    [[nodiscard]] int32_t below(int32_t bound);         // 0 .. bound-1
    [[nodiscard]] double range(double low, double high);
};

// Painting helpers.
struct Point {
    double x;
    double y;
};
[[nodiscard]] bool insidePolygon(const Point* points, int32_t count, double x, double y);
// Diffuse light on a surface with unit normal (nx, ny, nz), z towards the viewer; the light
// comes from the upper left and a little from the front. 0..1.
[[nodiscard]] double lightOn(double nx, double ny, double nz);
// A highlight for the same light, 0..1; sharpness is the exponent.
[[nodiscard]] double specularOn(double nx, double ny, double nz, double sharpness);
// Opaque pixels with a transparent neighbour (four-way) are scaled by factor: a crisp edge.
void darkenSilhouette(Image& image, double factor);

// Smooth value noise on a lattice of the given cell size, 0..1, tileable in x over width.
[[nodiscard]] double valueNoise(uint32_t seed, double x, double y, double cell, int32_t width);

}  // namespace gfx
