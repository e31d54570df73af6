// Files served from memory through the music player's five file callbacks, so
// that tests and the fuzzer load modules without touching the disk. Main thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace memoryfiles {

// Hands the memory callbacks to the player (setFileCallbacks).
void install();
// Adds or replaces a file.
void add(const std::string& name, std::vector<uint8_t> bytes);
// Forgets every file and the counters; streams still open stay valid until closed.
void reset();

[[nodiscard]] int32_t openStreams();     // opened and not yet closed
[[nodiscard]] int32_t opensTried();      // open calls, found or not
[[nodiscard]] int64_t bytesServed();     // by the read callback since the last reset

}  // namespace memoryfiles
