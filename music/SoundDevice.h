// The wave output, its looping ring of 20 ms blocks, and the feeder thread
// that re-renders each block once the device has played it. Opened, started,
// stopped and closed on the main thread; rendered on the feeder thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

struct Song;

constexpr int32_t blockMs = 20;
constexpr int32_t configuredRingMs = 1000;

struct SoundDevice {
    bool waveOutOpen;              // the platform device is open
    int32_t sampleRate;
    int32_t blockFrames;           // rate x 20 / 1000, rounded up to a multiple of 4
    int32_t ringFrames;            // 100 blocks, not 50: the ring holds twice the configured length
    int32_t blockIndex;            // next block to render
    Song* currentSong;             // borrowed
    int16_t* outputRing;           // ringFrames x (left, right); owned, kept while the device loops it
    bool outputPrepared;           // the ring has been handed to the device
    float* mixBuffer;              // 16-byte aligned start inside mixAllocation
    void* mixAllocation;
    std::atomic<uint8_t> stopRequested;    // written: main; read: feeder
    std::atomic<uint8_t> rendering;        // written: feeder; read: main
    std::atomic<uint8_t> feederFinished;   // written: feeder, main (before the start); read: main
    std::thread feederHandle;

    [[nodiscard]] int32_t blockCount() const { return blockFrames > 0 ? ringFrames / blockFrames : 0; }
};

extern SoundDevice soundDevice;

[[nodiscard]] bool openSoundDevice(int32_t rate);
void closeSoundDevice();
[[nodiscard]] bool playSong(Song* song);
bool stopSong(Song* song);
