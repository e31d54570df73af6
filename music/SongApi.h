// The music player's operations for the application, and its file access
// through the five callbacks the application installs. Main thread.
#pragma once

#include <cstdint>

struct Song;

using FileOpen = void* (*)(const char* name);
using FileClose = int32_t (*)(void* stream);
using FileRead = int32_t (*)(void* destination, int32_t byteCount, void* stream);
using FileSeek = int32_t (*)(void* stream, int32_t offset, uint8_t origin);   // origin 0 start, 1 current, 2 end
using FileTell = int32_t (*)(void* stream);

struct FileCallbacks {
    FileOpen open;
    FileClose close;
    FileRead read;
    FileSeek seek;
    FileTell tell;
};

extern FileCallbacks fileCallbacks;

struct SongFile {
    void* stream;
};

void setFileCallbacks(FileOpen open, FileClose close, FileRead read, FileSeek seek, FileTell tell);
[[nodiscard]] bool fileCallbacksSet();
[[nodiscard]] Song* loadSong(const char* name);
bool freeSong(Song* song);
[[nodiscard]] SongFile* openSongFile(const char* name);
void closeSongFile(SongFile* file);
[[nodiscard]] int32_t readSongFile(void* destination, int32_t byteCount, SongFile* file);
[[nodiscard]] int32_t seekSongFile(SongFile* file, int32_t offset, uint8_t origin);
[[nodiscard]] int32_t tellSongFile(SongFile* file);

// Fills a zeroed Song from an open file; false when the file is refused.
[[nodiscard]] bool loadXm(Song& song, SongFile* file);
