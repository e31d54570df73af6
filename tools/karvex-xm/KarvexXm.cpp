// karvex-xm: the command line. info, render and (when built with the SDL
// platform) play.
#include "tools/karvex-xm/KarvexXm.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "music/SongApi.h"

namespace {

constexpr double defaultSeconds = 60.0;
constexpr int32_t defaultRate = 44100;
constexpr double longestSeconds = 24.0 * 3600.0;
constexpr int32_t lowestRate = 8000;
constexpr int32_t highestRate = 384000;

int32_t usage()
{
    std::fprintf(stderr,
                 "usage: karvex-xm info FILE\n"
                 "       karvex-xm render FILE OUT.wav [--seconds N] [--rate HZ]\n"
                 "       karvex-xm play FILE\n"
                 "render writes 16-bit stereo, %g s at %d Hz unless told otherwise (N up to %g, HZ %d to %d)\n",
                 defaultSeconds, defaultRate, longestSeconds, lowestRate, highestRate);
    return exitUsage;
}

[[nodiscard]] bool parseNumber(const char* text, double& value)
{
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == '\0';
}

int32_t render(int argc, char** argv)
{
    if (argc < 4) {
        return usage();
    }
    double seconds = defaultSeconds;
    double rate = defaultRate;
    for (int index = 4; index < argc; index += 2) {
        if (index + 1 >= argc) {
            return usage();
        }
        double* target = std::strcmp(argv[index], "--seconds") == 0 ? &seconds
                         : std::strcmp(argv[index], "--rate") == 0  ? &rate
                                                                    : nullptr;
        if (target == nullptr || !parseNumber(argv[index + 1], *target)) {
            return usage();
        }
    }
    if (!(seconds > 0.0 && seconds <= longestSeconds) || !(rate >= lowestRate && rate <= highestRate) ||
        rate != static_cast<int32_t>(rate)) {
        return usage();
    }
    return renderToWav(argv[2], argv[3], seconds, static_cast<int32_t>(rate));
}

// play lives in karvex-xm-play beside this program, the one part linked with SDL.
int32_t play(const char* path)
{
#ifdef KARVEX_XM_PLAY
    char self[4096] = {};
    const ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 1);
    std::string player = length > 0 ? std::string(self, static_cast<size_t>(length)) : std::string("karvex-xm");
    player = player.substr(0, player.find_last_of('/') + 1) + "karvex-xm-play";
    char* const arguments[] = {player.data(), const_cast<char*>(path), nullptr};
    execv(player.c_str(), arguments);
    std::fprintf(stderr, "karvex-xm: cannot run %s\n", player.c_str());
#else
    (void)path;
    std::fprintf(stderr, "karvex-xm: play needs the SDL platform (build with KARVEX_BUILD_GAME=ON)\n");
#endif
    return exitFailure;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        return usage();
    }
    const char* command = argv[1];
    if (std::strcmp(command, "info") == 0 && argc == 3) {
        return showInfo(argv[2]);
    }
    if (std::strcmp(command, "render") == 0) {
        return render(argc, argv);
    }
    if (std::strcmp(command, "play") == 0 && argc == 3) {
        return play(argv[2]);
    }
    return usage();
}
