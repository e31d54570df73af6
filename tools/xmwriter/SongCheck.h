// What the loader promises the player about every Song it hands over, checked
// by walking the whole model: for tests and the fuzzer. Main thread.
#pragma once

#include <string>

struct Song;

// Empty when every promise holds, else the first one broken. Reads the last cell
// of every pattern and the last value allocated for every sample, so that a
// sanitizer sees an allocation smaller than the model says.
[[nodiscard]] std::string brokenPromise(const Song& song);
