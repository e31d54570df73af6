// The shell's file callbacks: thin wrappers of C stdio with the player's widths.
#include "app/ShellFiles.h"

#include <cstdint>
#include <cstdio>

void* fileOpen(const char* name)
{
    return name != nullptr ? std::fopen(name, "rb") : nullptr;
}

int32_t fileClose(void* stream)
{
    return stream != nullptr ? std::fclose(static_cast<std::FILE*>(stream)) : EOF;
}

int32_t fileRead(void* destination, int32_t byteCount, void* stream)
{
    if (stream == nullptr || destination == nullptr || byteCount <= 0) {
        return 0;
    }
    return static_cast<int32_t>(std::fread(destination, 1, static_cast<size_t>(byteCount), static_cast<std::FILE*>(stream)));
}

int32_t fileSeek(void* stream, int32_t offset, uint8_t origin)
{
    static constexpr int whence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (stream == nullptr || origin > 2) {
        return -1;
    }
    return std::fseek(static_cast<std::FILE*>(stream), offset, whence[origin]);
}

int32_t fileTell(void* stream)
{
    if (stream == nullptr) {
        return -1;
    }
    long position = std::ftell(static_cast<std::FILE*>(stream));
    return position >= 0 && position <= INT32_MAX ? static_cast<int32_t>(position) : -1;
}
