// The program's spine: the window, the message loop and window procedure on
// the main thread, the game thread, and the order of shutdown.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/Platform.h"

struct Song;

// The game thread runs at most this many passes a second, sleeping to absolute
// deadlines instead of spinning a core. The per-pass rules (acceleration, slides,
// spawn chances) were made for a flat-out loop; a fixed rate makes them the same
// on every machine.
constexpr int32_t passesPerSecond = 500;

extern platform::WindowHandle mainWindow;   // written once at start-up (main); read by any thread
extern std::atomic<int32_t> quitRequested;  // written: main (destroy); read: game
extern Song* music;                          // main thread only

// Sleeps about ms milliseconds, ending early once quitRequested is set. Game thread.
void waitMs(int32_t ms);
// Sleeps until it is time for the next pass, given the deadline of this one. Game thread.
void paceGameThread(int64_t& nextPassCount);

// Key down → keyChar: the low 8 bits, letters A to Z lowered.
[[nodiscard]] uint8_t keyCharFromCode(int32_t code);

// Entry step 4: the shell's file callbacks to the player, the device at 44,100 Hz,
// then "music.xm" started; every failure leaves the game silent. Main thread.
void startMusic();

void windowProc(const platform::Message& message);
void gameThread();

// Starts the game thread; stopGameThread waits for it to end.
void startGameThread();
void stopGameThread();

// The entry point's steps; returns the exit code (always 0).
[[nodiscard]] int32_t runApp();
