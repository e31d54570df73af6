// Test hooks of the headless backend: a virtual clock, scripted keys and
// messages, the window picture, recorded message boxes and a wave-out whose
// position the test moves. Only tests include this header.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace headless {

constexpr int32_t windowWidth = 640;
constexpr int32_t windowHeight = 480;
constexpr int64_t counterFrequency = 3579545;

// Back to a fresh state: time 0, no keys, no messages, no window, no timers, wave-out closed.
void reset();

// Virtual time. Sleeps of any thread advance it; nothing else does.
void advanceNs(int64_t ns);
void advanceMs(int64_t ms);
[[nodiscard]] int64_t nowNs();
// Without a performance counter the timer falls back to the millisecond clock.
void setPerformanceCounterAvailable(bool available);
void setMillisecondClock(uint32_t ms);   // jumps the clock (for the wrap case)

// Keys.
void setKeyHeld(int32_t virtualKey, bool held);
void tapKey(int32_t virtualKey);   // pressed and released between two looks
void releaseAllKeys();

// Messages: posted by the test, taken by getMessage or takeMessage.
void pushMessage(platform::MessageKind kind, int32_t code);
[[nodiscard]] bool takeMessage(platform::Message& message);   // false when the queue is empty
[[nodiscard]] int32_t pendingMessages();

// The window.
[[nodiscard]] bool windowOpen();
void failNextWindow();                          // the next createWindow returns 0
[[nodiscard]] const uint32_t* windowPixels();   // 640 x 480, 0x00RRGGBB
[[nodiscard]] uint32_t windowPixel(int32_t x, int32_t y);
[[nodiscard]] uint64_t windowHash();            // FNV-1a over the picture's bytes
[[nodiscard]] int64_t presentCount();
[[nodiscard]] std::string windowText();         // last text drawn by drawWindowText
[[nodiscard]] std::vector<std::string> messageBoxes();   // "caption: text", in order
[[nodiscard]] bool timerRunning(int32_t identifier);
// Writes the window picture as a 24-bit BMP, for looking at; false on failure.
[[nodiscard]] bool saveWindowBmp(const char* path);

// Wave-out.
void setWaveOutAvailable(bool available);
[[nodiscard]] bool waveOutOpen();
[[nodiscard]] bool waveOutPlaying();
[[nodiscard]] int32_t waveOutRate();
[[nodiscard]] const int16_t* waveOutBuffer();
[[nodiscard]] int32_t waveOutFrames();
void advanceWaveBytes(uint32_t bytes);

}  // namespace headless
