// Big metallic lettering for the title logo and the game-over picture: bold
// square letters made of polygons, shaded like polished metal, bevelled, with a
// dark outline and a drop shadow.
#pragma once

#include <cstdint>
#include <string_view>

#include "tools/gfxgen/Image.h"

namespace gfx {

// A vertical colour ramp through the letters, t 0 at their top and 1 at their bottom.
struct GradientStop {
    double t;
    Rgb colour;
};

struct LogoStyle {
    const GradientStop* stops;
    int32_t stopCount;
    Rgb outline;
    double outlinePx;     // width of the outline around the letters
    int32_t shadowDx;     // drop shadow offset in pixels
    int32_t shadowDy;
    Rgb shadow;
    bool smoothEdges;     // blend edges into the picture below; off for masked pictures
};

// Width in pixels of the text at the given size (letter height 10 units of unitPx pixels).
[[nodiscard]] double logoWidth(std::string_view text, double unitPx, double shear);

// Draws the lower-case letters of text that have a shape (a e g k m o r v x and space)
// with the top-left of the first letter at (x, y).
void drawLogo(Image& image, std::string_view text, double x, double y, double unitPx, double shear,
              const LogoStyle& style);

[[nodiscard]] Rgb sampleGradient(const GradientStop* stops, int32_t count, double t);

}  // namespace gfx
