// Wave output over SDL2 audio: the default device, 16-bit stereo, playing one
// buffer in an endless loop. The audio callback copies from the buffer at its
// own cursor and counts the bytes it has handed out (the play position).
#include <algorithm>
#include <cstring>

#include "platform/sdl2/SdlPlatform.h"

namespace sdl2 {

namespace {

constexpr int32_t deviceFrames = 1024;   // a power of two keeps SDL's dummy driver in real time
constexpr int32_t bytesPerFrame = 4;     // 16-bit stereo

void fillFromLoop(void*, Uint8* stream, int byteCount)
{
    WaveOut& waveOut = sdlPlatform.wave;
    if (waveOut.frames == nullptr || waveOut.frameCount <= 0) {
        std::memset(stream, 0, static_cast<size_t>(byteCount));
        return;
    }
    int32_t framesWanted = byteCount / bytesPerFrame;
    Uint8* target = stream;
    while (framesWanted > 0) {
        int32_t run = std::min(framesWanted, waveOut.frameCount - waveOut.cursorFrame);
        std::memcpy(target, waveOut.frames + static_cast<size_t>(waveOut.cursorFrame) * 2,
                    static_cast<size_t>(run) * bytesPerFrame);
        target += static_cast<size_t>(run) * bytesPerFrame;
        framesWanted -= run;
        waveOut.cursorFrame += run;
        if (waveOut.cursorFrame >= waveOut.frameCount) {
            waveOut.cursorFrame = 0;
        }
    }
    const uint32_t played = waveOut.playedBytes.load(std::memory_order_relaxed);
    waveOut.playedBytes.store(played + static_cast<uint32_t>(byteCount), std::memory_order_relaxed);
}

// Stops the loop; the device stays open and silent.
void stopLoop()
{
    WaveOut& waveOut = sdlPlatform.wave;
    if (waveOut.device == 0) {
        return;
    }
    SDL_PauseAudioDevice(waveOut.device, 1);
    SDL_LockAudioDevice(waveOut.device);
    waveOut.frames = nullptr;
    waveOut.frameCount = 0;
    waveOut.cursorFrame = 0;
    waveOut.playedBytes.store(0);
    SDL_UnlockAudioDevice(waveOut.device);
}

}  // namespace

void quitSdlIfUnused()
{
    if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) {
        SDL_Quit();
    }
}

}  // namespace sdl2

namespace platform {

bool openWaveOut(int32_t framesPerSecond)
{
    closeWaveOut();
    if (framesPerSecond <= 0 || SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return false;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = framesPerSecond;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = sdl2::deviceFrames;
    wanted.callback = sdl2::fillFromLoop;
    SDL_AudioSpec obtained{};
    // No changes allowed: SDL converts to whatever the device takes.
    sdl2::sdlPlatform.wave.device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (sdl2::sdlPlatform.wave.device == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        sdl2::quitSdlIfUnused();
        return false;
    }
    return true;
}

bool playLoop(const int16_t* frames, int32_t frameCount)
{
    if (sdl2::sdlPlatform.wave.device == 0 || frames == nullptr || frameCount <= 0) {
        return false;
    }
    sdl2::stopLoop();
    SDL_LockAudioDevice(sdl2::sdlPlatform.wave.device);
    sdl2::sdlPlatform.wave.frames = frames;
    sdl2::sdlPlatform.wave.frameCount = frameCount;
    SDL_UnlockAudioDevice(sdl2::sdlPlatform.wave.device);
    SDL_PauseAudioDevice(sdl2::sdlPlatform.wave.device, 0);
    return true;
}

uint32_t playPositionBytes()
{
    return sdl2::sdlPlatform.wave.playedBytes.load(std::memory_order_relaxed);
}

void resetWaveOut()
{
    sdl2::stopLoop();
}

void closeWaveOut()
{
    if (sdl2::sdlPlatform.wave.device == 0) {
        return;
    }
    sdl2::stopLoop();
    SDL_CloseAudioDevice(sdl2::sdlPlatform.wave.device);
    sdl2::sdlPlatform.wave.device = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    sdl2::quitSdlIfUnused();
}

}  // namespace platform
