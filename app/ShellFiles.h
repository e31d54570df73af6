// The shell's five file callbacks over C stdio, handed to the music player at
// start-up. Main thread.
#pragma once

#include <cstdint>

// Opens for reading without text translation; null when the file cannot be opened.
[[nodiscard]] void* fileOpen(const char* name);
int32_t fileClose(void* stream);
// Bytes read, up to byteCount.
[[nodiscard]] int32_t fileRead(void* destination, int32_t byteCount, void* stream);
// Origin 0 start, 1 current, 2 end; 0 on success.
[[nodiscard]] int32_t fileSeek(void* stream, int32_t offset, uint8_t origin);
// The position, -1 on failure or when it does not fit 32 bits.
[[nodiscard]] int32_t fileTell(void* stream);
