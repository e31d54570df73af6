// The asynchronous key state the game thread reads: a key is down while held,
// and once more after a press that was released before anyone asked, so that a
// tap shorter than one pass is never lost. The window thread presses and
// releases; the game thread asks. Lock-free.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

struct KeyState {
    static constexpr int32_t keyCount = 256;   // virtual-key codes 0..255

    // Physical keys held per code (both Shift keys share one); written: main; read: game.
    std::array<std::atomic<uint8_t>, keyCount> heldCount{};
    // Set by a press; cleared by the game thread's next look; written: main and game.
    std::array<std::atomic<uint8_t>, keyCount> pressedSinceAsked{};

    // Main thread: one call per physical transition (not per auto-repeat).
    void press(int32_t virtualKey);
    void release(int32_t virtualKey);
    // Forgets every held key (focus lost); taps not yet asked about stay.
    void releaseAll();
    // Forgets everything.
    void clear();

    // Game thread.
    [[nodiscard]] bool ask(int32_t virtualKey);
    [[nodiscard]] bool held(int32_t virtualKey) const;
};
