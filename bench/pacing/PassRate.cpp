// Runs the game as it is (runApp in the working directory) for a while, then
// ends it with SIGTERM, and prints how many passes the game thread made per
// second and what presenting cost: presentPixels on the game thread, and the
// upload and present of a shown picture on the main thread.
// Usage: karvex-pacing [--seconds N] [--frames] | --sleep
//   --frames  after every pass, also present a changing 640x480 picture, as a
//             screen that draws every pass does.
//   --sleep   no game: how late sleepUntilCount wakes for 2,000 deadlines one pass
//             ahead, and the processor time the sleeping costs.
#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "app/App.h"
#include "game/Game.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Timing {
    Clock::time_point at;
    double ms;
};

std::atomic<int64_t> passes{0};       // written: game; read: reporter
bool presentFrames = false;           // set before any thread starts
std::vector<uint32_t> frame(640 * 480);
std::vector<Timing> presentCalls;     // game thread; read after it ended
std::vector<Timing> shows;            // main thread
Clock::time_point showStarted;        // main thread

double msBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

void drawFrame(int64_t pass)
{
    for (int32_t y = 0; y < 480; y++) {
        for (int32_t x = 0; x < 640; x++) {
            frame[static_cast<size_t>(y) * 640 + x] = static_cast<uint32_t>((x + pass) ^ (y * 3)) & 0xFFFFFF;
        }
    }
}

void printSummary(const char* what, const std::vector<Timing>& timings, Clock::time_point from, Clock::time_point to)
{
    std::vector<double> ms;
    for (const Timing& timing : timings) {
        if (timing.at >= from && timing.at < to) {
            ms.push_back(timing.ms);
        }
    }
    if (ms.empty()) {
        std::printf("%-34s none\n", what);
        return;
    }
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double value : ms) {
        sum += value;
    }
    const double seconds = msBetween(from, to) / 1000.0;
    std::printf("%-34s %8.1f /s   mean %.3f ms   p95 %.3f ms   max %.3f ms\n", what, ms.size() / seconds,
                sum / ms.size(), ms[ms.size() * 95 / 100], ms.back());
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Lateness of sleepUntilCount for deadlines one pass (2 ms) ahead, read on the
// performance counter itself.
int32_t measureSleeps()
{
    constexpr int32_t deadlines = 2000;
    int64_t countsPerSecond = 0;
    if (!platform::performanceFrequency(countsPerSecond)) {
        return 1;
    }
    const int64_t period = countsPerSecond / passesPerSecond;
    std::vector<double> lateUs;
    const double cpuBefore = cpuSeconds();
    const Clock::time_point started = Clock::now();
    for (int32_t i = 0; i < deadlines; i++) {
        // Each deadline one period from now, so that one late wake-up counts once.
        const int64_t deadline = platform::performanceCounter() + period;
        platform::sleepUntilCount(deadline);
        lateUs.push_back(static_cast<double>(platform::performanceCounter() - deadline) * 1e6 / countsPerSecond);
    }
    const double cpu = cpuSeconds() - cpuBefore;
    const double wallSeconds = msBetween(started, Clock::now()) / 1000.0;
    std::sort(lateUs.begin(), lateUs.end());
    double sum = 0;
    for (double value : lateUs) {
        sum += value;
    }
    std::printf("sleepUntilCount, %d deadlines %.3f ms ahead: late by mean %.1f us, median %.1f us, p99 %.1f us, "
                "max %.1f us; processor time %.1f %% of the %.1f s\n",
                deadlines, period * 1e3 / countsPerSecond, sum / deadlines, lateUs[deadlines / 2],
                lateUs[deadlines * 99 / 100], lateUs.back(), cpu * 100 / wallSeconds, wallSeconds);
    return 0;
}

}  // namespace

extern "C" {
int __real_SDL_LockTexture(SDL_Texture* texture, const SDL_Rect* rect, void** pixels, int* pitch);
int __wrap_SDL_LockTexture(SDL_Texture* texture, const SDL_Rect* rect, void** pixels, int* pitch)
{
    showStarted = Clock::now();
    return __real_SDL_LockTexture(texture, rect, pixels, pitch);
}

void __real_SDL_RenderPresent(SDL_Renderer* renderer);
void __wrap_SDL_RenderPresent(SDL_Renderer* renderer)
{
    __real_SDL_RenderPresent(renderer);
    // Only pictures that were uploaded; a repaint of the same picture has no start time.
    if (showStarted != Clock::time_point{}) {
        Clock::time_point now = Clock::now();
        shows.push_back({now, msBetween(showStarted, now)});
        showStarted = Clock::time_point{};
    }
}
}

void __real__ZN8platform13presentPixelsEiPKjiiii(platform::WindowHandle, const uint32_t*, int32_t, int32_t, int32_t,
                                                  int32_t) __asm__("__real__ZN8platform13presentPixelsEiPKjiiii");
extern "C" void __wrap__ZN8platform13presentPixelsEiPKjiiii(platform::WindowHandle window, const uint32_t* pixels,
                                                             int32_t width, int32_t height, int32_t x, int32_t y)
{
    Clock::time_point start = Clock::now();
    __real__ZN8platform13presentPixelsEiPKjiiii(window, pixels, width, height, x, y);
    Clock::time_point end = Clock::now();
    presentCalls.push_back({end, msBetween(start, end)});
}

extern "C" void __real__ZN4Game12dispatchPassEv(Game* self);
extern "C" void __wrap__ZN4Game12dispatchPassEv(Game* self)
{
    __real__ZN4Game12dispatchPassEv(self);
    int64_t pass = passes.fetch_add(1) + 1;
    if (presentFrames) {
        drawFrame(pass);
        platform::presentPixels(mainWindow, frame.data(), 640, 480, 0, 0);
    }
}

int main(int argc, char** argv)
{
    int32_t seconds = 10;
    for (int32_t i = 1; i < argc; i++) {
        if (std::strcmp(argv[i], "--sleep") == 0) {
            return measureSleeps();
        }
        if (std::strcmp(argv[i], "--frames") == 0) {
            presentFrames = true;
        } else if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
            seconds = std::max(1, std::atoi(argv[++i]));
        } else {
            std::fprintf(stderr, "usage: %s [--seconds N] [--frames] | --sleep\n", argv[0]);
            return 2;
        }
    }
    // The reporter must not take the SIGTERM it sends; the platform's watcher does.
    sigset_t quitSignals;
    sigemptyset(&quitSignals);
    sigaddset(&quitSignals, SIGINT);
    sigaddset(&quitSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &quitSignals, nullptr);

    Clock::time_point from;
    Clock::time_point to;
    int64_t passesCounted = 0;
    std::thread reporter([&] {
        std::this_thread::sleep_for(std::chrono::seconds(1));   // past start-up
        from = Clock::now();
        int64_t first = passes.load();
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        to = Clock::now();
        passesCounted = passes.load() - first;
        kill(getpid(), SIGTERM);
    });
    int32_t exitCode = runApp();
    reporter.join();

    const double measured = msBetween(from, to) / 1000.0;
    std::printf("game thread: %lld passes in %.3f s = %.1f passes/s%s\n", static_cast<long long>(passesCounted),
                measured, passesCounted / measured, presentFrames ? " (presenting a frame each pass)" : "");
    printSummary("presentPixels (game thread)", presentCalls, from, to);
    printSummary("picture shown (main thread)", shows, from, to);
    std::printf("runApp returned %d\n", exitCode);
    return exitCode;
}
