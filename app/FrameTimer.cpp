// FrameTimer over the platform clocks.
#include "app/FrameTimer.h"

#include "platform/Platform.h"

FrameTimer::FrameTimer()
    : nowCount(0), frequency(0), usesPerformanceCounter(0), previousCount(0),
      elapsedSeconds(1.0f), secondsPerCount(0.0f)
{
    int64_t countsPerSecond = 0;
    if (platform::performanceFrequency(countsPerSecond) && countsPerSecond > 0) {
        usesPerformanceCounter = 1;
        frequency = countsPerSecond;
        previousCount = platform::performanceCounter();
        secondsPerCount = static_cast<float>(1.0 / static_cast<double>(frequency));
    } else {
        usesPerformanceCounter = 0;
        previousCount = static_cast<int64_t>(platform::millisecondClock());
        secondsPerCount = 0.001f;
    }
}

void FrameTimer::tick()
{
    if (usesPerformanceCounter != 0) {
        nowCount = platform::performanceCounter();
    } else {
        nowCount = static_cast<int64_t>(platform::millisecondClock());
    }
    // The millisecond clock wraps every 49.7 days; taking the difference modulo 2^32
    // keeps the one pass that spans the wrap from reporting a negative time.
    int64_t difference = nowCount - previousCount;
    if (usesPerformanceCounter == 0) {
        difference = static_cast<int64_t>(static_cast<uint32_t>(nowCount - previousCount));
    }
    elapsedSeconds = static_cast<float>(static_cast<double>(difference) * secondsPerCount);
    previousCount = nowCount;
}
