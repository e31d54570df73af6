// The music player's file access through the application's five callbacks,
// and the life of a Song: load, free. Main thread.
#include "music/SongApi.h"

#include <cstdlib>

#include "music/Song.h"
#include "music/SoundDevice.h"

FileCallbacks fileCallbacks{nullptr, nullptr, nullptr, nullptr, nullptr};

namespace {

// Releases everything a Song owns, whatever state a failed load left it in.
// Playback must not be rendering from it.
void releaseSong(Song* song)
{
    if (song->instruments != nullptr) {
        for (int32_t index = 0; index < song->instrumentCount; ++index) {
            Instrument& instrument = song->instruments[index];
            for (uint32_t slot = 0; slot < instrument.sampleCount && slot < instrumentSampleSlots; ++slot) {
                Sample* sample = instrument.samples[slot];
                if (sample != nullptr && sample != &emptySample) {
                    std::free(sample->data);
                    std::free(sample);
                }
            }
        }
        std::free(song->instruments);
    }
    if (song->patterns != nullptr) {
        for (int32_t index = 0; index < song->patternCount; ++index) {
            std::free(song->patterns[index].cells);
        }
        std::free(song->patterns);
    }
    std::free(song);
}

}  // namespace

void setFileCallbacks(FileOpen open, FileClose close, FileRead read, FileSeek seek, FileTell tell)
{
    if (open == nullptr || close == nullptr || read == nullptr || seek == nullptr || tell == nullptr) {
        fileCallbacks = {nullptr, nullptr, nullptr, nullptr, nullptr};
        return;
    }
    fileCallbacks = {open, close, read, seek, tell};
}

bool fileCallbacksSet()
{
    return fileCallbacks.open != nullptr && fileCallbacks.close != nullptr && fileCallbacks.read != nullptr &&
           fileCallbacks.seek != nullptr && fileCallbacks.tell != nullptr;
}

Song* loadSong(const char* name)
{
    if (!fileCallbacksSet() || name == nullptr) {
        return nullptr;
    }
    Song* song = static_cast<Song*>(std::calloc(1, sizeof(Song)));
    if (song == nullptr) {
        return nullptr;
    }
    SongFile* file = openSongFile(name);
    if (file == nullptr) {
        std::free(song);
        return nullptr;
    }
    bool loaded = loadXm(*song, file);
    closeSongFile(file);
    if (!loaded) {
        // Never handed out, so never played: a running tune goes on.
        releaseSong(song);
        return nullptr;
    }
    return song;
}

bool freeSong(Song* song)
{
    if (song == nullptr) {
        return false;
    }
    while (soundDevice.rendering.load() != 0) {
        // The feeder finishes the block it is in; a block takes well under a millisecond.
    }
    stopSong(song);
    releaseSong(song);
    return true;
}

SongFile* openSongFile(const char* name)
{
    if (fileCallbacks.open == nullptr) {
        return nullptr;
    }
    SongFile* file = static_cast<SongFile*>(std::calloc(1, sizeof(SongFile)));
    if (file == nullptr) {
        return nullptr;
    }
    file->stream = fileCallbacks.open(name);
    if (file->stream == nullptr) {
        std::free(file);
        return nullptr;
    }
    return file;
}

void closeSongFile(SongFile* file)
{
    if (file == nullptr) {
        return;
    }
    if (fileCallbacks.close != nullptr) {
        fileCallbacks.close(file->stream);
    }
    std::free(file);
}

int32_t readSongFile(void* destination, int32_t byteCount, SongFile* file)
{
    if (file == nullptr || fileCallbacks.read == nullptr) {
        return 0;
    }
    return fileCallbacks.read(destination, byteCount, file->stream);
}

int32_t seekSongFile(SongFile* file, int32_t offset, uint8_t origin)
{
    if (file == nullptr) {
        return 0;
    }
    // Callbacks replaced while a file is open: a failure, not a silent success.
    return fileCallbacks.seek != nullptr ? fileCallbacks.seek(file->stream, offset, origin) : -1;
}

int32_t tellSongFile(SongFile* file)
{
    if (file == nullptr) {
        return 0;
    }
    return fileCallbacks.tell != nullptr ? fileCallbacks.tell(file->stream) : -1;
}
