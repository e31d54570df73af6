// State shared by the files of the SDL2 backend: the window and the picture it
// shows, the message loop's queue and timers, the key state, the signal watch.
// Only platform/sdl2 includes this header.
#pragma once

#include <SDL.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <pthread.h>
#include <vector>

#include "platform/KeyState.h"
#include "platform/Platform.h"

namespace sdl2 {

constexpr int32_t clientWidth = 640;
constexpr int32_t clientHeight = 480;
constexpr int32_t timerSlots = 8;
constexpr int64_t nsPerSecond = 1000000000;
constexpr int64_t nsPerMs = 1000000;

struct WindowTimer {
    int32_t identifier;
    int64_t periodNs;
    int64_t dueNs;       // monotonic clock
    bool running;
};

// The window and the picture it shows. SDL video calls: main thread only.
struct Screen {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    bool fullscreen = false;
    int64_t refreshPeriodNs = nsPerSecond / 60;
    int64_t nextShowNs = 0;       // the earliest time the next picture may be shown
    bool showRequested = false;   // expose, focus or mode change: show again even if unchanged

    // The picture the window shows, 640 x 480, 0x00RRGGBB. Written: game (presentPixels),
    // main (drawWindowText); read: main (show). Guarded by pictureLock.
    std::mutex pictureLock;
    std::vector<uint32_t> picture = std::vector<uint32_t>(clientWidth * clientHeight, 0);
    std::atomic<bool> pictureChanged{false};   // written: game, main; read: main
    // The main thread may be blocked without a timeout and needs a wake event for the next
    // picture; cleared by main before it blocks, set by the presenter that sends the event.
    std::atomic<bool> wakePosted{false};       // written: game, main
};

// The message loop. Main thread only unless said otherwise.
struct MessageLoop {
    std::deque<platform::Message> pending;
    bool destroySent = false;
    bool quitPosted = false;
    int32_t quitCode = 0;
    std::array<bool, SDL_NUM_SCANCODES> scancodeDown{};   // physical keys seen down
    KeyState keys;                                      // written: main; read: game

    // Written: any thread (startTimer, stopTimer); read: main. Guarded by timerLock.
    std::mutex timerLock;
    std::array<WindowTimer, timerSlots> timers{};
};

// SIGINT and SIGTERM are blocked in every thread and taken by one watcher thread.
struct SignalWatch {
    pthread_t thread{};
    bool started = false;                        // main thread
    std::atomic<bool> stopping{false};           // written: main; read: watcher
    std::atomic<bool> quitSignalled{false};      // written: watcher; read: main
    std::atomic<bool> messageBoxOpen{false};     // written: main; read: watcher
    // Guards sdlReady so the watcher never pushes an event while SDL starts or stops.
    std::mutex wakeLock;
    bool sdlReady = false;
    uint32_t wakeEventType = 0;   // SDL user event that only wakes the main thread
};

// The wave-out device and the loop it plays.
struct WaveOut {
    SDL_AudioDeviceID device = 0;           // main thread
    // Written by the main thread under the device lock; read by the audio callback.
    const int16_t* frames = nullptr;
    int32_t frameCount = 0;
    int32_t cursorFrame = 0;                // audio callback (reset under the device lock)
    std::atomic<uint32_t> playedBytes{0};   // written: audio callback, main (reset); read: any thread
};

struct Sdl2Platform {
    Screen screen;
    MessageLoop loop;
    SignalWatch signals;
    WaveOut wave;
};

extern Sdl2Platform sdlPlatform;

// The monotonic clock in nanoseconds.
[[nodiscard]] int64_t monotonicNs();

// Wakes the main thread out of its wait for events. Any thread.
void wakeMainThread();

// Window side, main thread.
void showPictureIfDue(int64_t nowNs);
void toggleFullscreen();
[[nodiscard]] int32_t showWaitMs(int64_t nowNs);   // -1: nothing to show

// A new window starts with no messages, keys, timers or quit pending. Main thread.
void resetMessageLoop();

// Signals.
void startSignalWatch();
void stopSignalWatch();

// Quits SDL once neither the window nor the wave-out uses it.
void quitSdlIfUnused();

}  // namespace sdl2
