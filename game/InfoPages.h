// The fixed texts of the title screen's help, credits and thanks pages, with the
// pen position of each line. Read-only tables; any thread.
#pragma once

#include <cstdint>
#include <span>

struct PageLine {
    const char* text;   // lower case, only characters the font has
    int32_t x;          // pen position in pixels
    int32_t y;
};

// A block image of the help page, by its kind in blockKinds, drawn left of its line.
struct HelpBlock {
    int32_t kind;
    int32_t x;
    int32_t y;
};

[[nodiscard]] std::span<const PageLine> helpPageLines();
[[nodiscard]] std::span<const HelpBlock> helpPageBlocks();
[[nodiscard]] std::span<const PageLine> creditsPageLines();
[[nodiscard]] std::span<const PageLine> thanksPageLines();
