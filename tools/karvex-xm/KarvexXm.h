// The karvex-xm tool's commands. Each returns the process's exit status.
#pragma once

#include <cstdint>

struct Song;

constexpr int32_t exitFailure = 1;
constexpr int32_t exitUsage = 2;

// Loads a module through the shell's file callbacks; prints one line naming the file when it cannot.
[[nodiscard]] Song* loadForTool(const char* path);

[[nodiscard]] int32_t showInfo(const char* path);
[[nodiscard]] int32_t renderToWav(const char* path, const char* outPath, double seconds, int32_t rate);
// karvex-xm-play's work: through the sound device until SIGINT or SIGTERM.
[[nodiscard]] int32_t playLive(const char* path);
