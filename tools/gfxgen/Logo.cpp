// Letter shapes of the logo face and their rendering: coverage by supersampling,
// outline and shadow by growing the coverage, a bevel from the nearest edge.
#include "tools/gfxgen/Logo.h"

#include <cmath>
#include <iterator>
#include <vector>

namespace gfx {

namespace {

constexpr double letterHeight = 10.0;
constexpr double letterGap = 1.3;
constexpr int32_t maxPoints = 16;

struct Shape {
    int32_t count;
    Point points[maxPoints];
};

struct LetterShape {
    char character;
    double width;
    Shape body[2];   // union
    int32_t bodyCount;
    Shape hole;      // cut out of the body; count 0 for none
};

// Units: the letter is 10 high; strokes are about 2.8 wide; outer corners are cut at 45 degrees.
// clang-format off
const LetterShape letterShapes[] = {
    {'k', 9.4, {{4, {{0, 0}, {2.8, 0}, {2.8, 10}, {0, 10}}},
                {7, {{2.8, 3.6}, {6.1, 0}, {9.4, 0}, {5.3, 4.6}, {9.6, 10}, {6.3, 10}, {2.8, 6.6}}}},
               2, {0, {}}},
    {'a', 9.0, {{10, {{0, 10}, {0, 2.2}, {2.2, 0}, {6.8, 0}, {9, 2.2}, {9, 10}, {6.2, 10}, {6.2, 7.2},
                      {2.8, 7.2}, {2.8, 10}}}}, 1,
               {4, {{2.8, 2.7}, {6.2, 2.7}, {6.2, 4.7}, {2.8, 4.7}}}},
    {'r', 9.2, {{11, {{0, 0}, {6.8, 0}, {9, 2.2}, {9, 4.6}, {7.4, 6.1}, {9.3, 10}, {6.2, 10},
                      {4.6, 6.7}, {2.8, 6.7}, {2.8, 10}, {0, 10}}}}, 1,
               {4, {{2.8, 2.7}, {6.2, 2.7}, {6.2, 4.2}, {2.8, 4.2}}}},
    {'v', 10.0, {{7, {{0, 0}, {2.9, 0}, {5, 6.2}, {7.1, 0}, {10, 0}, {6.6, 10}, {3.4, 10}}}}, 1, {0, {}}},
    {'e', 8.6, {{14, {{0, 2.2}, {2.2, 0}, {8.6, 0}, {8.6, 2.6}, {2.8, 2.6}, {2.8, 3.8}, {7.4, 3.8},
                      {7.4, 6.2}, {2.8, 6.2}, {2.8, 7.4}, {8.6, 7.4}, {8.6, 10}, {2.2, 10}, {0, 7.8}}}}, 1,
               {0, {}}},
    {'x', 10.0, {{4, {{0, 0}, {3.1, 0}, {10, 10}, {6.9, 10}}}, {4, {{6.9, 0}, {10, 0}, {3.1, 10}, {0, 10}}}},
               2, {0, {}}},
    {'g', 9.0, {{15, {{2.2, 0}, {9, 0}, {9, 2.6}, {2.8, 2.6}, {2.8, 7.4}, {6.2, 7.4}, {6.2, 6.4},
                      {4.4, 6.4}, {4.4, 4.0}, {9, 4.0}, {9, 7.8}, {6.8, 10}, {2.2, 10}, {0, 7.8},
                      {0, 2.2}}}}, 1, {0, {}}},
    {'m', 12.0, {{14, {{0, 10}, {0, 2.2}, {2.2, 0}, {9.8, 0}, {12, 2.2}, {12, 10}, {9.2, 10}, {9.2, 2.7},
                       {7.4, 2.7}, {7.4, 10}, {4.6, 10}, {4.6, 2.7}, {2.8, 2.7}, {2.8, 10}}}}, 1, {0, {}}},
    {'o', 9.0, {{8, {{0, 2.2}, {2.2, 0}, {6.8, 0}, {9, 2.2}, {9, 7.8}, {6.8, 10}, {2.2, 10}, {0, 7.8}}}}, 1,
               {4, {{2.8, 2.7}, {6.2, 2.7}, {6.2, 7.3}, {2.8, 7.3}}}},
    {' ', 4.0, {}, 0, {0, {}}},
};
// clang-format on

const LetterShape* findLetter(char character)
{
    for (const LetterShape& letter : letterShapes) {
        if (letter.character == character) {
            return &letter;
        }
    }
    return nullptr;
}

bool insideLetter(const LetterShape& letter, double ux, double uy)
{
    if (letter.hole.count > 0 && insidePolygon(letter.hole.points, letter.hole.count, ux, uy)) {
        return false;
    }
    for (int32_t i = 0; i < letter.bodyCount; i++) {
        if (insidePolygon(letter.body[i].points, letter.body[i].count, ux, uy)) {
            return true;
        }
    }
    return false;
}

// Coverage of the text over a pixel grid; the grid starts at (originX, originY).
struct CoverageMap {
    int32_t width;
    int32_t height;
    std::vector<double> value;

    [[nodiscard]] double at(int32_t x, int32_t y) const
    {
        if (x < 0 || y < 0 || x >= width || y >= height) {
            return 0.0;
        }
        return value[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
};

bool insideText(std::string_view text, double ux, double uy, double shear)
{
    if (uy < 0.0 || uy >= letterHeight) {
        return false;
    }
    // Undo the slant: the letters lean to the right towards their top.
    ux -= shear * (letterHeight - uy);
    double left = 0.0;
    for (char character : text) {
        const LetterShape* letter = findLetter(character);
        if (letter == nullptr) {
            continue;
        }
        if (ux >= left && ux < left + letter->width && insideLetter(*letter, ux - left, uy)) {
            return true;
        }
        left += letter->width + letterGap;
    }
    return false;
}

CoverageMap coverText(std::string_view text, int32_t width, int32_t height, double offsetX, double offsetY,
                      double unitPx, double shear)
{
    constexpr int32_t samples = 4;
    CoverageMap map{width, height, std::vector<double>(static_cast<size_t>(width) * static_cast<size_t>(height))};
    for (int32_t y = 0; y < height; y++) {
        for (int32_t x = 0; x < width; x++) {
            int32_t hits = 0;
            for (int32_t sy = 0; sy < samples; sy++) {
                for (int32_t sx = 0; sx < samples; sx++) {
                    const double px = x + (sx + 0.5) / samples - offsetX;
                    const double py = y + (sy + 0.5) / samples - offsetY;
                    hits += insideText(text, px / unitPx, py / unitPx, shear) ? 1 : 0;
                }
            }
            map.value[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
                static_cast<double>(hits) / (samples * samples);
        }
    }
    return map;
}

// The coverage grown by radius pixels: the outline's shape.
CoverageMap grow(const CoverageMap& map, double radius)
{
    CoverageMap grown{map.width, map.height, map.value};
    const int32_t reach = static_cast<int32_t>(std::ceil(radius));
    for (int32_t y = 0; y < map.height; y++) {
        for (int32_t x = 0; x < map.width; x++) {
            double best = 0.0;
            for (int32_t dy = -reach; dy <= reach; dy++) {
                for (int32_t dx = -reach; dx <= reach; dx++) {
                    const double d = std::sqrt(static_cast<double>(dx * dx + dy * dy));
                    const double weight = clamp01(radius + 0.5 - d);
                    best = std::fmax(best, map.at(x + dx, y + dy) * weight);
                }
            }
            grown.value[static_cast<size_t>(y) * static_cast<size_t>(map.width) + static_cast<size_t>(x)] = best;
        }
    }
    return grown;
}

// Bevel: brighter where the nearest edge faces the light (upper left), darker where it faces away.
double bevelFactor(const CoverageMap& map, int32_t x, int32_t y)
{
    constexpr int32_t reach = 3;
    double nearest = 99.0;
    double nx = 0.0;
    double ny = 0.0;
    for (int32_t dy = -reach; dy <= reach; dy++) {
        for (int32_t dx = -reach; dx <= reach; dx++) {
            // The pixel itself has no direction: a thinly covered pixel would divide 0 by 0.
            if ((dx != 0 || dy != 0) && map.at(x + dx, y + dy) < 0.5) {
                const double d = std::sqrt(static_cast<double>(dx * dx + dy * dy));
                if (d < nearest) {
                    nearest = d;
                    nx = dx / d;
                    ny = dy / d;
                }
            }
        }
    }
    if (nearest > reach) {
        return 1.0;
    }
    const double facing = -(nx + ny) * 0.7071;   // 1 when the edge faces the upper left
    const double strength = 1.0 - (nearest - 1.0) / reach;
    return 1.0 + 0.55 * facing * strength;
}

void paint(Image& image, int32_t x, int32_t y, Rgb colour, double coverage, bool smooth)
{
    if (smooth) {
        image.blend(x, y, colour, coverage);
    } else if (coverage >= 0.5) {
        image.set(x, y, colour);
    }
}

}  // namespace

Rgb sampleGradient(const GradientStop* stops, int32_t count, double t)
{
    if (t <= stops[0].t) {
        return stops[0].colour;
    }
    for (int32_t i = 1; i < count; i++) {
        if (t <= stops[i].t) {
            return mix(stops[i - 1].colour, stops[i].colour, (t - stops[i - 1].t) / (stops[i].t - stops[i - 1].t));
        }
    }
    return stops[count - 1].colour;
}

double logoWidth(std::string_view text, double unitPx, double shear)
{
    double width = 0.0;
    for (char character : text) {
        const LetterShape* letter = findLetter(character);
        if (letter != nullptr) {
            width += letter->width + letterGap;
        }
    }
    return (width - letterGap + shear * letterHeight) * unitPx;
}

void drawLogo(Image& image, std::string_view text, double x, double y, double unitPx, double shear,
              const LogoStyle& style)
{
    const int32_t margin = static_cast<int32_t>(std::ceil(style.outlinePx)) + 2;
    const int32_t left = static_cast<int32_t>(std::floor(x)) - margin;
    const int32_t top = static_cast<int32_t>(std::floor(y)) - margin;
    const int32_t width = static_cast<int32_t>(std::ceil(logoWidth(text, unitPx, shear))) + 2 * margin +
                          std::abs(style.shadowDx);
    const int32_t height = static_cast<int32_t>(std::ceil(letterHeight * unitPx)) + 2 * margin +
                           std::abs(style.shadowDy);
    const CoverageMap fill = coverText(text, width, height, x - left, y - top, unitPx, shear);
    const CoverageMap outline = grow(fill, style.outlinePx);
    for (int32_t py = 0; py < height; py++) {
        for (int32_t px = 0; px < width; px++) {
            const double shadow = outline.at(px - style.shadowDx, py - style.shadowDy);
            paint(image, left + px, top + py, style.shadow, shadow * 0.85, style.smoothEdges);
            paint(image, left + px, top + py, style.outline, outline.at(px, py), style.smoothEdges);
            const double coverage = fill.at(px, py);
            if (coverage <= 0.0) {
                continue;
            }
            const double t = clamp01((top + py + 0.5 - y) / (letterHeight * unitPx));
            const Rgb base = sampleGradient(style.stops, style.stopCount, t);
            const double bevel = bevelFactor(fill, px, py);
            const Rgb colour = bevel >= 1.0 ? lighten(base, bevel - 1.0) : scale(base, bevel);
            paint(image, left + px, top + py, colour, coverage, style.smoothEdges);
        }
    }
}

}  // namespace gfx
