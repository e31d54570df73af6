// The sound device's state and the stop protocol shared with the feeder thread.
#include "music/SoundDevice.h"

#include <cstdlib>

#include "platform/Platform.h"

SoundDevice soundDevice{false, 0, 0, 0, 0, nullptr, nullptr, false, nullptr, nullptr, {0}, {0}, {1}, {}};

bool stopSong(Song* song)
{
    if (song == nullptr) {
        return false;
    }
    soundDevice.stopRequested.store(1);
    while (soundDevice.rendering.load() != 0) {
        // The feeder finishes the block it is in; a block takes well under a millisecond.
    }
    if (soundDevice.feederHandle.joinable()) {
        while (soundDevice.feederFinished.load() != 1) {
            platform::sleepMs(50);
        }
        soundDevice.feederHandle.join();
    }
    std::free(soundDevice.mixAllocation);
    soundDevice.mixAllocation = nullptr;
    soundDevice.mixBuffer = nullptr;
    soundDevice.currentSong = nullptr;
    return true;
}
