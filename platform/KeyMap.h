// Physical keys to the game's key codes. Keys arrive as USB HID usage codes
// (the scancodes SDL reports) and leave as Windows virtual-key codes, the
// game's key identifiers. No window system in here, so tests can check it.
#pragma once

#include <cstdint>

namespace keymap {

// Modifier bits of a key press.
constexpr uint32_t modShift = 1u;
constexpr uint32_t modCapsLock = 2u;
constexpr uint32_t modAlt = 4u;

// USB HID usage codes of the keys the platform treats specially.
constexpr int32_t scanReturn = 40;
constexpr int32_t scanF4 = 61;
constexpr int32_t scanKeypadEnter = 88;
constexpr int32_t scanLimit = 256;   // every usage code is below this

// The virtual-key code of a physical key, for the asynchronous key state; 0 for a
// key the game has no code for.
[[nodiscard]] int32_t virtualKeyFromScancode(int32_t scancode);

// The code a key-down message carries: the virtual-key code, except that the
// punctuation of the game's font arrives as its own character (". , - /", and with
// Shift "! ? : ) +"), which virtual-key codes cannot express. 0: no message (keys
// without a code, and every key while Alt is held, which the system keeps for itself).
[[nodiscard]] int32_t keyMessageCode(int32_t scancode, uint32_t modifiers);

}  // namespace keymap
