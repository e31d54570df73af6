// The sound device: the platform's looping wave output, the ring it plays,
// pre-filling it at playSong, and the feeder thread that renders each block
// the device has finished. Main thread, except the feeder's own functions.
#include "music/SoundDevice.h"

#include <cstdlib>
#include <cstring>

#include "music/Mixer.h"
#include "music/Replayer.h"
#include "music/Song.h"
#include "music/SongApi.h"
#include "platform/Platform.h"

SoundDevice soundDevice{false, 0, 0, 0, {0}, nullptr, nullptr, false, nullptr, nullptr, {0}, {0}, {1}, {}};

namespace {

constexpr int32_t bytesPerFrame = 4;     // 16-bit left and right
constexpr int32_t mixAlignment = 16;
constexpr int32_t mixSlackBytes = 256;
// The tempo a song starts with when its own cannot be used.
constexpr int32_t fallbackBpm = 125;

// The device plays the ring from its first frame, so its byte count gives the block it is in.
[[nodiscard]] int32_t blockBeingPlayed()
{
    const uint32_t frames = platform::playPositionBytes() / bytesPerFrame;
    const SoundDevice& device = soundDevice;
    return static_cast<int32_t>(frames % static_cast<uint32_t>(device.ringFrames)) / device.blockFrames;
}

void feederThread()
{
    platform::raiseThreadPriority();
    // feederFinished was cleared by playSong before this thread started.
    while (soundDevice.stopRequested.load() == 0) {
        renderFinishedBlocks();
        platform::sleepMs(feederSleepMs);
    }
    soundDevice.feederFinished.store(1);
}

// The device stops reading the ring when it is reset; only then is the ring
// unprepared and released. Order: reset, unprepare, release.
void releaseRing()
{
    SoundDevice& device = soundDevice;
    if (device.outputPrepared) {
        platform::resetWaveOut();
        device.outputPrepared = false;
    }
    std::free(device.outputRing);
    device.outputRing = nullptr;
}

void releaseMixBuffer()
{
    std::free(soundDevice.mixAllocation);
    soundDevice.mixAllocation = nullptr;
    soundDevice.mixBuffer = nullptr;
}

void resetSongToStart(Song& song)
{
    song.globalVolume = song.initialGlobalVolume;
    song.globalVolumeSlide = 0;
    song.nextOrder = -1;
    song.nextRow = -1;
    song.speed = song.defaultSpeed;
    song.row = 0;
    song.orderPosition = 0;
    song.samplesToTick = 0;
    song.tick = 0;
    song.patternDelayTicks = 0;
    setTempo(song, fallbackBpm);
    setTempo(song, song.defaultBpm);
}

[[nodiscard]] bool allocateBuffers()
{
    SoundDevice& device = soundDevice;
    const size_t ringBytes = static_cast<size_t>(device.ringFrames) * bytesPerFrame;
    device.outputRing = static_cast<int16_t*>(std::calloc(ringBytes, 1));
    const size_t mixBytes = static_cast<size_t>(device.ringFrames) * 2 * sizeof(float) + mixSlackBytes;
    device.mixAllocation = std::calloc(mixBytes, 1);
    if (device.outputRing == nullptr || device.mixAllocation == nullptr) {
        releaseRing();
        releaseMixBuffer();
        return false;
    }
    const uintptr_t start = reinterpret_cast<uintptr_t>(device.mixAllocation);
    const uintptr_t aligned = (start + mixAlignment - 1) & ~static_cast<uintptr_t>(mixAlignment - 1);
    device.mixBuffer = reinterpret_cast<float*>(aligned);
    return true;
}

}  // namespace

bool setUpRate(int32_t rate)
{
    if (rate <= 0) {
        return false;
    }
    SoundDevice& device = soundDevice;
    device.sampleRate = rate;
    const int64_t blockFrames = ((static_cast<int64_t>(rate) * blockMs) / 1000 + 3) & ~int64_t{3};
    device.blockFrames = static_cast<int32_t>(blockFrames);
    device.ringFrames = static_cast<int32_t>((1000 / blockMs) * blockFrames * 2);
    resetMixer(rate);
    return true;
}

bool openSoundDevice(int32_t rate)
{
    if (!fileCallbacksSet()) {
        return false;
    }
    closeSoundDevice();
    if (rate <= 0 || !platform::openWaveOut(rate)) {
        return false;
    }
    soundDevice.waveOutOpen = true;
    return setUpRate(rate);
}

void closeSoundDevice()
{
    SoundDevice& device = soundDevice;
    // A feeder still writing into the ring would outlive it.
    if (device.currentSong != nullptr) {
        stopSong(device.currentSong);
    }
    if (device.waveOutOpen) {
        platform::resetWaveOut();
        device.outputPrepared = false;
        platform::closeWaveOut();
        device.waveOutOpen = false;
    }
    releaseBuffers();
}

bool prepareSong(Song& song)
{
    SoundDevice& device = soundDevice;
    if (device.blockFrames <= 0) {
        return false;
    }
    releaseRing();
    resetSongToStart(song);
    resetMixer(device.sampleRate);
    resetReplayer(song);
    if (!allocateBuffers()) {
        device.currentSong = nullptr;
        return false;
    }
    device.currentSong = &song;
    device.blockIndex.store(0);
    return true;
}

void releaseBuffers()
{
    releaseRing();
    releaseMixBuffer();
}

bool playSong(Song* song)
{
    if (song == nullptr) {
        return false;
    }
    stopSong(song);
    if (!prepareSong(*song)) {
        return false;
    }
    SoundDevice& device = soundDevice;
    do {
        renderBlock();
    } while (device.blockIndex.load() != 0);
    // A refused buffer is not detected: the position stays 0 and the feeder renders nothing.
    device.outputPrepared = platform::playLoop(device.outputRing, device.ringFrames);
    device.stopRequested.store(0);
    device.feederFinished.store(0);
    device.feederHandle = std::thread(feederThread);
    return true;
}

bool stopSong(Song* song)
{
    if (song == nullptr) {
        return false;
    }
    SoundDevice& device = soundDevice;
    device.stopRequested.store(1);
    while (device.rendering.load() != 0) {
        // The feeder finishes the block it is in; a block takes well under a millisecond.
        std::this_thread::yield();
    }
    if (device.feederHandle.joinable()) {
        while (device.feederFinished.load() != 1) {
            platform::sleepMs(stopPollMs);
        }
        device.feederHandle.join();
    }
    releaseMixBuffer();
    // The ring stays with the device, which goes on looping it until a reset.
    device.currentSong = nullptr;
    return true;
}

void renderFinishedBlocks()
{
    SoundDevice& device = soundDevice;
    const int32_t playing = blockBeingPlayed();
    while (device.blockIndex.load() != playing) {
        device.rendering.store(1);
        renderBlock();
        device.rendering.store(0);
    }
}
