// SIGINT and SIGTERM close the game as the close box does: one watcher thread
// takes them (they are blocked in every other thread) and wakes the message loop,
// which sends the one destroy message. Started with the window, before any other
// thread exists, so that every later thread inherits the blocked signals.
#include <csignal>
#include <cstdio>
#include <unistd.h>

#include "platform/sdl2/SdlPlatform.h"

namespace sdl2 {

namespace {

sigset_t quitSignals()
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    return signals;
}

void* watchSignals(void*)
{
    SignalWatch& watch = sdlPlatform.signals;
    const sigset_t signals = quitSignals();
    for (;;) {
        int received = 0;
        if (sigwait(&signals, &received) != 0) {
            continue;
        }
        if (watch.stopping.load()) {
            return nullptr;
        }
        const bool again = watch.quitSignalled.exchange(true);
        // A start-up error box blocks the main thread with nothing left to do after it
        // but return 0, and cannot be closed from here; a second signal means the
        // shutdown the first one started hangs. Either way, end the program now.
        if (again || watch.messageBoxOpen.load()) {
            std::fflush(nullptr);
            _exit(0);
        }
        wakeMainThread();
    }
}

}  // namespace

void startSignalWatch()
{
    SignalWatch& watch = sdlPlatform.signals;
    if (watch.started) {
        return;
    }
    const sigset_t signals = quitSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    watch.stopping.store(false);
    if (pthread_create(&watch.thread, nullptr, watchSignals, nullptr) == 0) {
        watch.started = true;
    } else {
        pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
    }
}

void stopSignalWatch()
{
    SignalWatch& watch = sdlPlatform.signals;
    if (!watch.started) {
        return;
    }
    watch.stopping.store(true);
    pthread_kill(watch.thread, SIGTERM);
    pthread_join(watch.thread, nullptr);
    watch.started = false;
}

}  // namespace sdl2
