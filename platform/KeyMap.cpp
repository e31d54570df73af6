// The key table: USB HID usage code → Windows virtual-key code (US key positions).
#include "platform/KeyMap.h"

#include <array>
#include <iterator>

namespace keymap {

namespace {

struct KeyRange {
    int32_t firstScancode;
    int32_t lastScancode;
    int32_t firstVirtualKey;   // the range maps in order
};

constexpr KeyRange keyRanges[] = {
    {4, 29, 0x41},      // A..Z
    {30, 38, 0x31},     // 1..9
    {39, 39, 0x30},     // 0
    {40, 40, 0x0D},     // Return
    {41, 41, 0x1B},     // Escape
    {42, 42, 0x08},     // Backspace
    {43, 43, 0x09},     // Tab
    {44, 44, 0x20},     // Space
    {45, 45, 0xBD},     // - _
    {46, 46, 0xBB},     // = +
    {47, 47, 0xDB},     // [ {
    {48, 48, 0xDD},     // ] }
    {49, 50, 0xDC},     // \ | and the ISO # key
    {51, 51, 0xBA},     // ; :
    {52, 52, 0xDE},     // ' "
    {53, 53, 0xC0},     // ` ~
    {54, 54, 0xBC},     // , <
    {55, 55, 0xBE},     // . >
    {56, 56, 0xBF},     // / ?
    {57, 57, 0x14},     // Caps Lock
    {58, 69, 0x70},     // F1..F12
    {70, 70, 0x2C},     // Print Screen
    {71, 71, 0x91},     // Scroll Lock
    {72, 72, 0x13},     // Pause
    {73, 73, 0x2D},     // Insert
    {74, 74, 0x24},     // Home
    {75, 75, 0x21},     // Page Up
    {76, 76, 0x2E},     // Delete
    {77, 77, 0x23},     // End
    {78, 78, 0x22},     // Page Down
    {79, 79, 0x27},     // Right
    {80, 80, 0x25},     // Left
    {81, 81, 0x28},     // Down
    {82, 82, 0x26},     // Up
    {83, 83, 0x90},     // Num Lock
    {84, 84, 0x6F},     // keypad /
    {85, 85, 0x6A},     // keypad *
    {86, 86, 0x6D},     // keypad -
    {87, 87, 0x6B},     // keypad +
    {88, 88, 0x0D},     // keypad Enter
    {89, 97, 0x61},     // keypad 1..9
    {98, 98, 0x60},     // keypad 0
    {99, 99, 0x6E},     // keypad .
    {100, 100, 0xE2},   // the ISO key beside left Shift
    {101, 101, 0x5D},   // Application (menu)
    {104, 115, 0x7C},   // F13..F24
    {224, 224, 0x11},   // left Ctrl
    {225, 225, 0x10},   // left Shift
    {226, 226, 0x12},   // left Alt
    {227, 227, 0x5B},   // left Windows
    {228, 228, 0x11},   // right Ctrl
    {229, 229, 0x10},   // right Shift
    {230, 230, 0x12},   // right Alt
    {231, 231, 0x5C},   // right Windows
};
static_assert(std::size(keyRanges) == 54);

struct CharacterKey {
    int32_t scancode;
    char plain;     // 0: the virtual-key code instead
    char shifted;   // 0: the virtual-key code instead
};

// The punctuation of the game's font, at its US key positions.
constexpr CharacterKey characterKeys[] = {
    {30, 0, '!'},     // 1
    {39, 0, ')'},     // 0
    {45, '-', 0},     // -
    {46, 0, '+'},     // =
    {51, 0, ':'},     // ;
    {54, ',', 0},     // ,
    {55, '.', 0},     // .
    {56, '/', '?'},   // /
};
static_assert(std::size(characterKeys) == 8);

}  // namespace

int32_t virtualKeyFromScancode(int32_t scancode)
{
    for (const KeyRange& range : keyRanges) {
        if (scancode >= range.firstScancode && scancode <= range.lastScancode) {
            return range.firstVirtualKey + (scancode - range.firstScancode);
        }
    }
    return 0;
}

int32_t keyMessageCode(int32_t scancode, uint32_t modifiers)
{
    if ((modifiers & modAlt) != 0) {
        return 0;
    }
    const bool shift = (modifiers & modShift) != 0;
    for (const CharacterKey& key : characterKeys) {
        if (key.scancode != scancode) {
            continue;
        }
        char character = shift ? key.shifted : key.plain;
        if (character != 0) {
            return character;
        }
    }
    // Letters are their upper-case codes whatever Shift and Caps Lock say.
    return virtualKeyFromScancode(scancode);
}

}  // namespace keymap
