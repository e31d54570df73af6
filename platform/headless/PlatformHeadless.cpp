// The headless twin of the platform: everything the game asks of the machine,
// kept in memory and moved only by the test (virtual time, scripted keys,
// posted messages). Safe to call from several threads.
#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <vector>

#include "platform/KeyState.h"
#include "platform/Platform.h"
#include "platform/WindowText.h"
#include "platform/headless/Headless.h"

namespace {

constexpr int32_t timerSlots = 8;

struct TimerSlot {
    int32_t identifier;
    int64_t periodNs;
    int64_t dueNs;
    bool running;
};

struct HeadlessState {
    std::mutex lock;
    std::condition_variable messageArrived;
    int64_t nowNs = 0;
    bool counterAvailable = true;
    int64_t millisecondOffset = 0;
    KeyState keys;   // written: the test's threads; read: game
    std::deque<platform::Message> messages;
    bool quitTaken = false;
    bool windowOpen = false;
    bool failNextWindow = false;
    std::vector<uint32_t> picture = std::vector<uint32_t>(headless::windowWidth * headless::windowHeight, 0);
    int64_t presents = 0;
    std::string windowText;
    std::vector<std::string> boxes;
    std::array<TimerSlot, timerSlots> timers{};
    bool waveAvailable = true;
    bool waveOpen = false;
    bool wavePlaying = false;
    int32_t waveRate = 0;
    const int16_t* waveFrames = nullptr;
    int32_t waveFrameCount = 0;
    uint32_t wavePositionBytes = 0;
};

HeadlessState& state()
{
    static HeadlessState instance;
    return instance;
}

// Queues the timer messages that fall due up to the current virtual time. Lock held.
void fireTimersLocked(HeadlessState& s)
{
    for (TimerSlot& timer : s.timers) {
        while (timer.running && timer.dueNs <= s.nowNs) {
            s.messages.push_back({platform::MessageKind::timer, timer.identifier});
            timer.dueNs += timer.periodNs;
        }
    }
    s.messageArrived.notify_all();
}

void advanceLocked(HeadlessState& s, int64_t ns)
{
    if (ns > 0) {
        s.nowNs += ns;
    }
    fireTimersLocked(s);
}

int64_t counterFromNs(int64_t ns)
{
    return static_cast<int64_t>(static_cast<__int128>(ns) * headless::counterFrequency / 1000000000);
}

int64_t nsFromCounter(int64_t count)
{
    // Rounded up, so that sleeping until a count always reaches it.
    __int128 scaled = static_cast<__int128>(count) * 1000000000;
    return static_cast<int64_t>((scaled + headless::counterFrequency - 1) / headless::counterFrequency);
}

}  // namespace

namespace platform {

WindowHandle createWindow(const char*, const char*, int32_t, int32_t)
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    if (s.failNextWindow) {
        s.failNextWindow = false;
        return 0;
    }
    s.windowOpen = true;
    return 1;
}

void destroyWindow(WindowHandle)
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    s.windowOpen = false;
}

bool getMessage(Message& message)
{
    HeadlessState& s = state();
    std::unique_lock<std::mutex> guard(s.lock);
    s.messageArrived.wait(guard, [&] { return !s.messages.empty(); });
    message = s.messages.front();
    s.messages.pop_front();
    return message.kind != MessageKind::quit;
}

void postQuit(int32_t exitCode)
{
    headless::pushMessage(MessageKind::quit, exitCode);
}

void drawWindowText(WindowHandle, const char* text, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    s.windowText = text != nullptr ? text : "";
    windowtext::drawCentred(s.picture.data(), headless::windowWidth, headless::windowHeight, text, left, top, right,
                            bottom);
}

void messageBox(const char* text, const char* caption)
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    s.boxes.push_back(std::string(caption != nullptr ? caption : "") + ": " + (text != nullptr ? text : ""));
}

void presentPixels(WindowHandle, const uint32_t* pixels, int32_t width, int32_t height, int32_t x,
                   int32_t y)
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    s.presents++;
    if (pixels == nullptr) {
        return;
    }
    for (int32_t row = 0; row < height; row++) {
        int32_t targetY = y + row;
        if (targetY < 0 || targetY >= headless::windowHeight) {
            continue;
        }
        for (int32_t column = 0; column < width; column++) {
            int32_t targetX = x + column;
            if (targetX < 0 || targetX >= headless::windowWidth) {
                continue;
            }
            s.picture[static_cast<size_t>(targetY) * headless::windowWidth + targetX] =
                pixels[static_cast<size_t>(row) * width + column];
        }
    }
}

void startTimer(WindowHandle, int32_t identifier, int32_t periodMs)
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    TimerSlot* free = nullptr;
    for (TimerSlot& timer : s.timers) {
        if (timer.running && timer.identifier == identifier) {
            free = &timer;
            break;
        }
        if (!timer.running && free == nullptr) {
            free = &timer;
        }
    }
    if (free == nullptr) {
        return;
    }
    // Window timers raise shorter periods to 10 ms, as the SDL backend does.
    const int64_t periodNs = std::max(periodMs, 10) * int64_t{1000000};
    *free = TimerSlot{identifier, periodNs, s.nowNs + periodNs, true};
}

void stopTimer(WindowHandle, int32_t identifier)
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    for (TimerSlot& timer : s.timers) {
        if (timer.identifier == identifier) {
            timer.running = false;
        }
    }
}

bool keyDown(int32_t virtualKey)
{
    return state().keys.ask(virtualKey);
}

bool performanceFrequency(int64_t& countsPerSecond)
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    if (!s.counterAvailable) {
        return false;
    }
    countsPerSecond = headless::counterFrequency;
    return true;
}

int64_t performanceCounter()
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    return counterFromNs(s.nowNs);
}

uint32_t millisecondClock()
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    return static_cast<uint32_t>(s.nowNs / 1000000 + s.millisecondOffset);
}

int64_t timeOfDaySeconds()
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.nowNs / 1000000000;
}

void sleepMs(int32_t ms)
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    advanceLocked(s, ms * int64_t{1000000});
}

void sleepUntilCount(int64_t count)
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    int64_t targetNs = nsFromCounter(count);
    advanceLocked(s, targetNs - s.nowNs);
}

void raiseThreadPriority() {}

bool openWaveOut(int32_t framesPerSecond)
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    if (!s.waveAvailable || framesPerSecond <= 0) {
        return false;
    }
    s.waveOpen = true;
    s.wavePlaying = false;
    s.waveRate = framesPerSecond;
    s.wavePositionBytes = 0;
    return true;
}

bool playLoop(const int16_t* frames, int32_t frameCount)
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    if (!s.waveOpen || frames == nullptr || frameCount <= 0) {
        return false;
    }
    s.waveFrames = frames;
    s.waveFrameCount = frameCount;
    s.wavePositionBytes = 0;
    s.wavePlaying = true;
    return true;
}

uint32_t playPositionBytes()
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.wavePlaying ? s.wavePositionBytes : 0;
}

void resetWaveOut()
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    s.wavePlaying = false;
    s.waveFrames = nullptr;
    s.waveFrameCount = 0;
}

void closeWaveOut()
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    s.waveOpen = false;
    s.wavePlaying = false;
    s.waveFrames = nullptr;
    s.waveFrameCount = 0;
}

}  // namespace platform

namespace headless {

void reset()
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    s.nowNs = 0;
    s.counterAvailable = true;
    s.millisecondOffset = 0;
    s.keys.clear();
    s.messages.clear();
    s.windowOpen = false;
    s.failNextWindow = false;
    std::fill(s.picture.begin(), s.picture.end(), 0u);
    s.presents = 0;
    s.windowText.clear();
    s.boxes.clear();
    s.timers = {};
    s.waveAvailable = true;
    s.waveOpen = false;
    s.wavePlaying = false;
    s.waveRate = 0;
    s.waveFrames = nullptr;
    s.waveFrameCount = 0;
    s.wavePositionBytes = 0;
}

void advanceNs(int64_t ns)
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    advanceLocked(s, ns);
}

void advanceMs(int64_t ms)
{
    advanceNs(ms * 1000000);
}

int64_t nowNs()
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.nowNs;
}

void setPerformanceCounterAvailable(bool available)
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    s.counterAvailable = available;
}

void setMillisecondClock(uint32_t ms)
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    s.millisecondOffset = static_cast<int64_t>(ms) - s.nowNs / 1000000;
}

void setKeyHeld(int32_t virtualKey, bool held)
{
    KeyState& keys = state().keys;
    if (held && !keys.held(virtualKey)) {
        keys.press(virtualKey);
    }
    while (!held && keys.held(virtualKey)) {
        keys.release(virtualKey);
    }
}

void tapKey(int32_t virtualKey)
{
    state().keys.press(virtualKey);
    state().keys.release(virtualKey);
}

void releaseAllKeys()
{
    state().keys.clear();
}

void pushMessage(platform::MessageKind kind, int32_t code)
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    s.messages.push_back({kind, code});
    s.messageArrived.notify_all();
}

bool takeMessage(platform::Message& message)
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    if (s.messages.empty()) {
        return false;
    }
    message = s.messages.front();
    s.messages.pop_front();
    return true;
}

int32_t pendingMessages()
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    return static_cast<int32_t>(s.messages.size());
}

bool windowOpen()
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.windowOpen;
}

void failNextWindow()
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    s.failNextWindow = true;
}

const uint32_t* windowPixels()
{
    return state().picture.data();
}

uint32_t windowPixel(int32_t x, int32_t y)
{
    if (x < 0 || y < 0 || x >= windowWidth || y >= windowHeight) {
        return 0;
    }
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.picture[static_cast<size_t>(y) * windowWidth + x];
}

uint64_t windowHash()
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    uint64_t hash = 14695981039346656037ull;
    for (uint32_t pixel : s.picture) {
        for (int32_t byte = 0; byte < 4; byte++) {
            hash ^= (pixel >> (8 * byte)) & 0xFFu;
            hash *= 1099511628211ull;
        }
    }
    return hash;
}

int64_t presentCount()
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.presents;
}

std::string windowText()
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.windowText;
}

std::vector<std::string> messageBoxes()
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.boxes;
}

bool timerRunning(int32_t identifier)
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    for (const TimerSlot& timer : s.timers) {
        if (timer.running && timer.identifier == identifier) {
            return true;
        }
    }
    return false;
}

bool saveWindowBmp(const char* path)
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        return false;
    }
    const uint32_t rowBytes = windowWidth * 3;
    const uint32_t dataBytes = rowBytes * windowHeight;
    uint8_t header[54] = {'B', 'M'};
    auto put32 = [&](int32_t offset, uint32_t value) {
        for (int32_t i = 0; i < 4; i++) {
            header[offset + i] = static_cast<uint8_t>(value >> (8 * i));
        }
    };
    put32(2, 54 + dataBytes);
    put32(10, 54);
    put32(14, 40);
    put32(18, windowWidth);
    put32(22, windowHeight);
    header[26] = 1;
    header[28] = 24;
    put32(34, dataBytes);
    bool ok = std::fwrite(header, 1, sizeof header, file) == sizeof header;
    std::vector<uint8_t> row(rowBytes);
    for (int32_t y = windowHeight - 1; y >= 0 && ok; y--) {
        for (int32_t x = 0; x < windowWidth; x++) {
            uint32_t pixel = s.picture[static_cast<size_t>(y) * windowWidth + x];
            row[x * 3 + 0] = static_cast<uint8_t>(pixel);
            row[x * 3 + 1] = static_cast<uint8_t>(pixel >> 8);
            row[x * 3 + 2] = static_cast<uint8_t>(pixel >> 16);
        }
        ok = std::fwrite(row.data(), 1, rowBytes, file) == rowBytes;
    }
    return std::fclose(file) == 0 && ok;
}

void setWaveOutAvailable(bool available)
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    s.waveAvailable = available;
}

bool waveOutOpen()
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.waveOpen;
}

bool waveOutPlaying()
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.wavePlaying;
}

int32_t waveOutRate()
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.waveRate;
}

const int16_t* waveOutBuffer()
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.waveFrames;
}

int32_t waveOutFrames()
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.waveFrameCount;
}

void advanceWaveBytes(uint32_t bytes)
{
    HeadlessState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    if (s.wavePlaying) {
        s.wavePositionBytes += bytes;
    }
}

}  // namespace headless
