// karvex-xm-play, run by karvex-xm play: the module through the sound device
// and its feeder thread, the way the game plays its tune, until SIGINT or SIGTERM.
#include <csignal>
#include <cstdio>
#include <cstring>

#include "music/Song.h"
#include "music/SongApi.h"
#include "music/SoundDevice.h"
#include "tools/karvex-xm/KarvexXm.h"

int32_t playLive(const char* path)
{
    // Blocked before any thread starts, so the feeder and the audio thread inherit it
    // and the signal waits for sigwait below.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    Song* song = loadForTool(path);
    if (song == nullptr) {
        return exitFailure;
    }
    if (!openSoundDevice(44100)) {
        std::fprintf(stderr, "karvex-xm: no sound device to play %s\n", path);
        freeSong(song);
        return exitFailure;
    }
    if (!playSong(song)) {
        std::fprintf(stderr, "karvex-xm: cannot start %s\n", path);
        freeSong(song);
        closeSoundDevice();
        return exitFailure;
    }
    std::printf("playing %s; Ctrl+C stops\n", path);
    std::fflush(stdout);
    int received = 0;
    sigwait(&stopSignals, &received);
    freeSong(song);
    closeSoundDevice();
    return 0;
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: karvex-xm play FILE\n");
        return exitUsage;
    }
    return playLive(argv[1]);
}
