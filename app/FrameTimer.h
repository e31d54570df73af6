// Seconds per pass of the game thread, from the platform's performance counter
// or, without one, the millisecond clock. Game thread only (ticked once on the
// main thread at start-up, before the game thread exists).
#pragma once

#include <cstdint>

struct FrameTimer {
    int64_t nowCount;            // reading of the latest tick, native units; 0 before the first
    int64_t frequency;           // counts per second; set only with the performance counter
    uint8_t usesPerformanceCounter;
    int64_t previousCount;
    float elapsedSeconds;        // between the last two readings; 1.0 before the first tick
    float secondsPerCount;

    FrameTimer();
    void tick();
    [[nodiscard]] float elapsed() const { return elapsedSeconds; }
    [[nodiscard]] int64_t lastCount() const { return nowCount; }
};
