// The message loop over SDL2 events: key down, focus, paint, timer and destroy
// messages for the window procedure, one at a time on the main thread; the
// window timers; the asynchronous key state for the game thread.
#include <algorithm>
#include <ctime>

#include "platform/KeyMap.h"
#include "platform/sdl2/SdlPlatform.h"

namespace sdl2 {

Sdl2Platform sdlPlatform;

namespace {

// Windows raises shorter timer periods to this.
constexpr int32_t shortestTimerMs = 10;
// Without a window there are no events to wait for; the loop looks again this often.
constexpr int32_t windowlessWaitMs = 50;

void requestDestroy(MessageLoop& loop)
{
    // The close box, Alt+F4, SIGINT and SIGTERM can all arrive; the game hears it once.
    if (!loop.destroySent) {
        loop.destroySent = true;
        loop.pending.push_back({platform::MessageKind::destroy, 0});
    }
}

void forgetHeldKeys(MessageLoop& loop)
{
    loop.scancodeDown.fill(false);
    loop.keys.releaseAll();
}

uint32_t modifierBits(uint16_t sdlModifiers)
{
    uint32_t bits = 0;
    bits |= (sdlModifiers & KMOD_SHIFT) != 0 ? keymap::modShift : 0;
    bits |= (sdlModifiers & KMOD_CAPS) != 0 ? keymap::modCapsLock : 0;
    bits |= (sdlModifiers & KMOD_ALT) != 0 ? keymap::modAlt : 0;
    return bits;
}

void handleKeyDown(MessageLoop& loop, const SDL_KeyboardEvent& key)
{
    const int32_t scancode = key.keysym.scancode;
    if (scancode < 0 || scancode >= SDL_NUM_SCANCODES) {
        return;
    }
    if (key.repeat == 0 && !loop.scancodeDown[scancode]) {
        loop.scancodeDown[scancode] = true;
        loop.keys.press(keymap::virtualKeyFromScancode(scancode));
    }
    const uint32_t modifiers = modifierBits(key.keysym.mod);
    if ((modifiers & keymap::modAlt) != 0) {
        if (scancode == keymap::scanReturn || scancode == keymap::scanKeypadEnter) {
            if (key.repeat == 0) {
                toggleFullscreen();
            }
            return;
        }
        if (scancode == keymap::scanF4) {
            requestDestroy(loop);
            return;
        }
    }
    int32_t code = keymap::keyMessageCode(scancode, modifiers);
    if (code != 0) {
        loop.pending.push_back({platform::MessageKind::keyDown, code});
    }
}

void handleKeyUp(MessageLoop& loop, const SDL_KeyboardEvent& key)
{
    const int32_t scancode = key.keysym.scancode;
    if (scancode >= 0 && scancode < SDL_NUM_SCANCODES && loop.scancodeDown[scancode]) {
        loop.scancodeDown[scancode] = false;
        loop.keys.release(keymap::virtualKeyFromScancode(scancode));
    }
}

void handleWindowEvent(MessageLoop& loop, const SDL_WindowEvent& window)
{
    switch (window.event) {
    case SDL_WINDOWEVENT_CLOSE:
        requestDestroy(loop);
        break;
    case SDL_WINDOWEVENT_EXPOSED:
        sdlPlatform.screen.showRequested = true;
        loop.pending.push_back({platform::MessageKind::paint, 0});
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        sdlPlatform.screen.showRequested = true;
        loop.pending.push_back({platform::MessageKind::focusGained, 0});
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        // Key releases while another window has the focus never reach us.
        forgetHeldKeys(loop);
        loop.pending.push_back({platform::MessageKind::focusLost, 0});
        break;
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_RESTORED:
        sdlPlatform.screen.showRequested = true;
        break;
    default:
        break;
    }
}

void handleEvent(MessageLoop& loop, const SDL_Event& event)
{
    switch (event.type) {
    case SDL_QUIT:
        requestDestroy(loop);
        break;
    case SDL_WINDOWEVENT:
        handleWindowEvent(loop, event.window);
        break;
    case SDL_KEYDOWN:
        handleKeyDown(loop, event.key);
        break;
    case SDL_KEYUP:
        handleKeyUp(loop, event.key);
        break;
    default:
        // The wake event only ends the wait; the loop then looks at everything again.
        break;
    }
}

// A timer message when one is due; the next due time keeps to the period's grid and
// skips periods the loop missed, as window timers do.
bool takeDueTimer(MessageLoop& loop, int64_t nowNs, platform::Message& message)
{
    std::lock_guard<std::mutex> guard(loop.timerLock);
    for (WindowTimer& timer : loop.timers) {
        if (!timer.running || timer.dueNs > nowNs) {
            continue;
        }
        timer.dueNs += timer.periodNs;
        if (timer.dueNs <= nowNs) {
            timer.dueNs = nowNs + timer.periodNs;
        }
        message = {platform::MessageKind::timer, timer.identifier};
        return true;
    }
    return false;
}

int32_t timerWaitMs(MessageLoop& loop, int64_t nowNs)
{
    std::lock_guard<std::mutex> guard(loop.timerLock);
    int64_t soonestNs = -1;
    for (const WindowTimer& timer : loop.timers) {
        if (timer.running) {
            int64_t waitNs = std::max<int64_t>(timer.dueNs - nowNs, 0);
            soonestNs = soonestNs < 0 ? waitNs : std::min(soonestNs, waitNs);
        }
    }
    return soonestNs < 0 ? -1 : static_cast<int32_t>((soonestNs + nsPerMs - 1) / nsPerMs);
}

int32_t soonerWait(int32_t a, int32_t b)
{
    if (a < 0) {
        return b;
    }
    return b < 0 ? a : std::min(a, b);
}

void sleepWithoutWindow(int32_t waitMs)
{
    int32_t ms = waitMs < 0 ? windowlessWaitMs : std::min(waitMs, windowlessWaitMs);
    timespec duration{ms / 1000, static_cast<long>(ms % 1000) * nsPerMs};
    nanosleep(&duration, nullptr);
}

// Waits until an event arrives, a timer falls due or the next picture may be shown,
// then handles every event that is there.
void waitForEvents(MessageLoop& loop, int64_t nowNs)
{
    Screen& screen = sdlPlatform.screen;
    const int32_t showMs = showWaitMs(nowNs);
    if (showMs < 0) {
        // Nothing to show: the next presented picture has to wake this thread. Re-arm,
        // then look once more; presentPixels marks the picture, then looks at wakePosted,
        // so one of the two sides sees the other.
        screen.wakePosted.store(false);
        if (screen.pictureChanged.load()) {
            return;
        }
    }
    const int32_t waitMs = soonerWait(showMs, timerWaitMs(loop, nowNs));
    if (screen.window == nullptr) {
        sleepWithoutWindow(waitMs);
        return;
    }
    SDL_Event event;
    int32_t got = waitMs < 0 ? SDL_WaitEvent(&event) : SDL_WaitEventTimeout(&event, waitMs);
    while (got != 0) {
        handleEvent(loop, event);
        got = SDL_PollEvent(&event);
    }
}

}  // namespace

void resetMessageLoop()
{
    MessageLoop& loop = sdlPlatform.loop;
    loop.pending.clear();
    loop.destroySent = false;
    loop.quitPosted = false;
    forgetHeldKeys(loop);
    loop.keys.clear();
    {
        std::lock_guard<std::mutex> guard(loop.timerLock);
        loop.timers = {};
    }
    sdlPlatform.signals.quitSignalled.store(false);
}

void wakeMainThread()
{
    SignalWatch& signals = sdlPlatform.signals;
    std::lock_guard<std::mutex> guard(signals.wakeLock);
    if (signals.sdlReady) {
        SDL_Event event{};
        event.type = signals.wakeEventType;
        SDL_PushEvent(&event);
    }
}

}  // namespace sdl2

namespace platform {

bool getMessage(Message& message)
{
    sdl2::MessageLoop& loop = sdl2::sdlPlatform.loop;
    for (;;) {
        if (loop.quitPosted) {
            loop.quitPosted = false;
            message = {MessageKind::quit, loop.quitCode};
            return false;
        }
        if (sdl2::sdlPlatform.signals.quitSignalled.load()) {
            sdl2::requestDestroy(loop);
        }
        if (!loop.pending.empty()) {
            message = loop.pending.front();
            loop.pending.pop_front();
            return true;
        }
        const int64_t nowNs = sdl2::monotonicNs();
        sdl2::showPictureIfDue(nowNs);
        if (sdl2::takeDueTimer(loop, nowNs, message)) {
            return true;
        }
        sdl2::waitForEvents(loop, nowNs);
    }
}

void postQuit(int32_t exitCode)
{
    sdl2::sdlPlatform.loop.quitPosted = true;
    sdl2::sdlPlatform.loop.quitCode = exitCode;
}

void startTimer(WindowHandle, int32_t identifier, int32_t periodMs)
{
    sdl2::MessageLoop& loop = sdl2::sdlPlatform.loop;
    const int64_t periodNs = std::max(periodMs, sdl2::shortestTimerMs) * sdl2::nsPerMs;
    {
        std::lock_guard<std::mutex> guard(loop.timerLock);
        sdl2::WindowTimer* slot = nullptr;
        for (sdl2::WindowTimer& timer : loop.timers) {
            if (timer.running && timer.identifier == identifier) {
                slot = &timer;   // starting a running timer starts its period afresh
                break;
            }
            if (!timer.running && slot == nullptr) {
                slot = &timer;
            }
        }
        if (slot == nullptr) {
            return;
        }
        *slot = sdl2::WindowTimer{identifier, periodNs, sdl2::monotonicNs() + periodNs, true};
    }
    // The main thread may be waiting without a timeout.
    sdl2::wakeMainThread();
}

void stopTimer(WindowHandle, int32_t identifier)
{
    sdl2::MessageLoop& loop = sdl2::sdlPlatform.loop;
    std::lock_guard<std::mutex> guard(loop.timerLock);
    for (sdl2::WindowTimer& timer : loop.timers) {
        if (timer.identifier == identifier) {
            timer.running = false;
        }
    }
}

bool keyDown(int32_t virtualKey)
{
    return sdl2::sdlPlatform.loop.keys.ask(virtualKey);
}

}  // namespace platform
