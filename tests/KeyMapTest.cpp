#include <gtest/gtest.h>

#include "app/App.h"
#include "platform/KeyMap.h"

namespace {

using keymap::modAlt;
using keymap::modCapsLock;
using keymap::modShift;

struct KeyCase {
    int32_t scancode;        // USB HID usage code
    uint32_t modifiers;
    int32_t messageCode;     // what the key-down message carries; 0: none
    int32_t virtualKey;      // what the key state is asked by
};

constexpr KeyCase keyCases[] = {
    {4, 0, 0x41, 0x41},                        // A
    {4, modShift, 0x41, 0x41},                 // Shift+A: still the upper-case code
    {4, modCapsLock, 0x41, 0x41},              // Caps Lock+A
    {29, modShift | modCapsLock, 0x5A, 0x5A},  // Z
    {30, 0, 0x31, 0x31},                       // 1
    {39, 0, 0x30, 0x30},                       // 0
    {31, modShift, 0x32, 0x32},                // Shift+2: no glyph for @, the digit's code
    {89, 0, 0x61, 0x61},                       // keypad 1
    {98, 0, 0x60, 0x60},                       // keypad 0
    {97, modShift, 0x69, 0x69},                // keypad 9
    {88, 0, 13, 13},                           // keypad Enter
    {40, 0, 13, 13},                           // Return
    {42, 0, 8, 8},                             // Backspace
    {44, 0, 0x20, 0x20},                       // Space
    {225, modShift, 0x10, 0x10},               // left Shift
    {229, modShift, 0x10, 0x10},               // right Shift
    {80, 0, 0x25, 0x25},                       // Left
    {82, 0, 0x26, 0x26},                       // Up
    {79, 0, 0x27, 0x27},                       // Right
    {81, 0, 0x28, 0x28},                       // Down
    {58, 0, 0x70, 0x70},                       // F1
    {65, 0, 0x77, 0x77},                       // F8
    {69, 0, 0x7B, 0x7B},                       // F12
    {41, 0, 0x1B, 0x1B},                       // Escape
    {55, 0, '.', 0xBE},                        // the font's punctuation arrives as itself
    {54, 0, ',', 0xBC},
    {45, 0, '-', 0xBD},
    {56, 0, '/', 0xBF},
    {55, modCapsLock, '.', 0xBE},
    {30, modShift, '!', 0x31},
    {56, modShift, '?', 0xBF},
    {51, modShift, ':', 0xBA},
    {39, modShift, ')', 0x30},
    {46, modShift, '+', 0xBB},
    {55, modShift, 0xBE, 0xBE},                // Shift+. is > : no glyph, the key's code
    {51, 0, 0xBA, 0xBA},                       // ; without Shift
    {4, modAlt, 0, 0x41},                      // with Alt held the system keeps the key
    {226, modAlt, 0, 0x12},                    // Alt itself
    {0, 0, 0, 0},                              // no key
    {255, 0, 0, 0},
    {-1, 0, 0, 0},
};

TEST(KeyMap, ScancodesBecomeVirtualKeysAndMessageCodes)
{
    for (const KeyCase& key : keyCases) {
        EXPECT_EQ(keymap::keyMessageCode(key.scancode, key.modifiers), key.messageCode)
            << "scancode " << key.scancode << " modifiers " << key.modifiers;
        EXPECT_EQ(keymap::virtualKeyFromScancode(key.scancode), key.virtualKey) << "scancode " << key.scancode;
    }
}

TEST(KeyMap, ANameCanHoldEveryPunctuationOfTheFont)
{
    struct Typed {
        int32_t scancode;
        uint32_t modifiers;
        char character;
    };
    constexpr Typed typed[] = {
        {55, 0, '.'}, {54, 0, ','}, {45, 0, '-'}, {56, 0, '/'}, {30, modShift, '!'},
        {56, modShift, '?'}, {51, modShift, ':'}, {39, modShift, ')'}, {46, modShift, '+'},
        {4, modShift, 'a'}, {29, modCapsLock, 'z'}, {34, 0, '5'}, {65, 0, 'w'},
    };
    for (const Typed& key : typed) {
        EXPECT_EQ(keyCharFromCode(keymap::keyMessageCode(key.scancode, key.modifiers)),
                  static_cast<uint8_t>(key.character))
            << key.character;
    }
}

}  // namespace
