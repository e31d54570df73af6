// Time for the game: a performance counter at 3,579,545 counts per second (the
// rate the title's raster bars were timed for, whatever the machine's native
// counter), a 32-bit millisecond clock, sleeps to absolute deadlines.
#include <cerrno>
#include <ctime>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

#include "platform/sdl2/SdlPlatform.h"

namespace sdl2 {

namespace {

constexpr int64_t countsPerSecond = 3579545;

int64_t countFromNs(int64_t ns)
{
    return static_cast<int64_t>(static_cast<__int128>(ns) * countsPerSecond / nsPerSecond);
}

// The first nanosecond at which the counter shows the count.
int64_t nsFromCount(int64_t count)
{
    __int128 scaled = static_cast<__int128>(count) * nsPerSecond;
    return static_cast<int64_t>((scaled + countsPerSecond - 1) / countsPerSecond);
}

void sleepUntilNs(int64_t deadlineNs)
{
    timespec deadline{static_cast<time_t>(deadlineNs / nsPerSecond), static_cast<long>(deadlineNs % nsPerSecond)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
    }
}

}  // namespace

int64_t monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * nsPerSecond + now.tv_nsec;
}

}  // namespace sdl2

namespace platform {

bool performanceFrequency(int64_t& countsPerSecond)
{
    countsPerSecond = sdl2::countsPerSecond;
    return true;
}

int64_t performanceCounter()
{
    return sdl2::countFromNs(sdl2::monotonicNs());
}

uint32_t millisecondClock()
{
    return static_cast<uint32_t>(sdl2::monotonicNs() / sdl2::nsPerMs);
}

int64_t timeOfDaySeconds()
{
    return static_cast<int64_t>(std::time(nullptr));
}

void sleepMs(int32_t ms)
{
    if (ms <= 0) {
        std::this_thread::yield();
        return;
    }
    sdl2::sleepUntilNs(sdl2::monotonicNs() + ms * sdl2::nsPerMs);
}

void sleepUntilCount(int64_t count)
{
    const int64_t deadlineNs = sdl2::nsFromCount(count);
    if (deadlineNs > sdl2::monotonicNs()) {
        sdl2::sleepUntilNs(deadlineNs);
    }
}

void raiseThreadPriority()
{
    // Any real-time priority runs ahead of every ordinary thread; the lowest one leaves
    // the system's own real-time threads alone. Without the right, a better nice value.
    sched_param parameters{};
    parameters.sched_priority = sched_get_priority_min(SCHED_RR);
    if (pthread_setschedparam(pthread_self(), SCHED_RR, &parameters) == 0) {
        return;
    }
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), -10);
}

}  // namespace platform
