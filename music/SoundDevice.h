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
constexpr int32_t feederSleepMs = 5;
constexpr int32_t stopPollMs = 50;

struct SoundDevice {
    bool waveOutOpen;              // the platform device is open
    int32_t sampleRate;            // frames per second
    int32_t blockFrames;           // rate x 20 / 1000, rounded up to a multiple of 4
    int32_t ringFrames;            // 100 blocks, not 50: the ring holds twice the configured length
    std::atomic<int32_t> blockIndex;   // next block to render; written: feeder (main while pre-filling); read: main once stopped
    Song* currentSong;             // borrowed
    int16_t* outputRing;           // ringFrames x (left, right); owned; released only once the device let go of it
    bool outputPrepared;           // the device holds the ring (from playLoop until a reset)
    float* mixBuffer;              // 16-byte aligned start inside mixAllocation
    void* mixAllocation;
    std::atomic<uint8_t> stopRequested;    // written: main; read: feeder
    std::atomic<uint8_t> rendering;        // written: feeder; read: main
    std::atomic<uint8_t> feederFinished;   // written: feeder, main (before the start); read: main
    std::thread feederHandle;

    [[nodiscard]] int32_t blockCount() const { return blockFrames > 0 ? ringFrames / blockFrames : 0; }
};

extern SoundDevice soundDevice;

// Main thread.
[[nodiscard]] bool openSoundDevice(int32_t rate);
void closeSoundDevice();
[[nodiscard]] bool playSong(Song* song);
bool stopSong(Song* song);

// The block and ring sizes and the mixer's constants for a rate, without a device.
[[nodiscard]] bool setUpRate(int32_t rate);
// Resets the song and the whole player to the song's start and allocates the
// ring and the mix buffer; false (nothing kept) when a buffer cannot be had.
// playSong and the offline renderer start here.
[[nodiscard]] bool prepareSong(Song& song);
// Releases the ring and the mix buffer of a song rendered without a device.
void releaseBuffers();
// One feeder cycle: renders every block the device has finished since the last look.
void renderFinishedBlocks();
