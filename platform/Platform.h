// The whole seam between the game and the machine: window, messages, keys,
// time, threads and wave output. Two backends implement these names
// (platform/sdl2 for the game, platform/headless for tests); CMake links one.
#pragma once

#include <cstdint>

namespace platform {

// 0 means no window.
using WindowHandle = int32_t;

// Windows virtual-key codes are the game's key identifiers.
namespace vk {
constexpr int32_t backspace = 0x08;
constexpr int32_t enter = 0x0D;
constexpr int32_t shift = 0x10;
constexpr int32_t space = 0x20;
constexpr int32_t left = 0x25;
constexpr int32_t up = 0x26;
constexpr int32_t right = 0x27;
constexpr int32_t down = 0x28;
constexpr int32_t f8 = 0x77;
}  // namespace vk

enum class MessageKind : int32_t {
    none,
    keyDown,      // code = virtual-key code (or a punctuation character)
    timer,        // code = timer identifier
    focusGained,
    focusLost,
    paint,
    destroy,      // the window is being closed (close box, SIGINT, SIGTERM)
    quit,         // posted by postQuit; code = exit code
};

struct Message {
    MessageKind kind;
    int32_t code;
};

// Window and messages. Main thread only unless said otherwise.
[[nodiscard]] WindowHandle createWindow(const char* className, const char* title,
                                        int32_t clientWidth, int32_t clientHeight);
void destroyWindow(WindowHandle window);
// Blocks until the next message; false once the quit message has been taken. The main
// thread waits here, and here the window shows the newest presented picture.
[[nodiscard]] bool getMessage(Message& message);
void postQuit(int32_t exitCode);
// Centred text drawn straight into the window (the loading message), black on a white
// strip; it shows at once and stays until a presented picture covers it.
void drawWindowText(WindowHandle window, const char* text, int32_t left, int32_t top,
                    int32_t right, int32_t bottom);
// Blocks until the player closes the box; the text goes to stderr where no box can be shown.
void messageBox(const char* text, const char* caption);

// Copies a 640x480-style picture into what the window shows, its top-left at (x, y);
// the part of the window it does not cover keeps what it showed. Any thread; returns at once.
// Pixels are 0x00RRGGBB, one uint32_t per pixel, row after row.
void presentPixels(WindowHandle window, const uint32_t* pixels, int32_t width, int32_t height,
                   int32_t x, int32_t y);

// The level clock: timer messages with this identifier every periodMs until stopped.
// Any thread. Stopping a stopped timer does nothing.
void startTimer(WindowHandle window, int32_t identifier, int32_t periodMs);
void stopTimer(WindowHandle window, int32_t identifier);

// Asynchronous key state, for the game thread: true while held, and true once more
// for a key pressed and released since the last time this key was asked about.
[[nodiscard]] bool keyDown(int32_t virtualKey);

// Time. The performance counter runs at counterFrequency() counts per second.
[[nodiscard]] bool performanceFrequency(int64_t& countsPerSecond);
[[nodiscard]] int64_t performanceCounter();
[[nodiscard]] uint32_t millisecondClock();   // wraps after about 49.7 days
[[nodiscard]] int64_t timeOfDaySeconds();
void sleepMs(int32_t ms);
// Sleeps until the performance counter reaches the given count (returns at once if past).
void sleepUntilCount(int64_t count);
// Runs the calling thread ahead of ordinary threads where the system allows it (the music
// feeder); best effort, a refusal is ignored.
void raiseThreadPriority();

// Wave output: 16-bit stereo PCM. Main thread opens and closes; position from any thread.
[[nodiscard]] bool openWaveOut(int32_t framesPerSecond);
// Plays the buffer as an endless loop from frame 0; the buffer must outlive the playback.
[[nodiscard]] bool playLoop(const int16_t* frames, int32_t frameCount);
// Bytes played since playLoop started, as a wrapping 32-bit count (4 bytes per frame).
[[nodiscard]] uint32_t playPositionBytes();
void resetWaveOut();   // stops the loop
void closeWaveOut();

}  // namespace platform
