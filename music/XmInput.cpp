// Reads through the song-file wrappers, never past what the file holds.
#include "music/XmInput.h"

#include <cstdint>

#include "music/SongApi.h"

namespace {

constexpr uint8_t seekFromStart = 0;
constexpr uint8_t seekFromEnd = 2;
constexpr int64_t largestOffset = INT32_MAX;
// One callback read never asks for more than this, so counts fit the 32-bit interface.
constexpr int64_t readChunkBytes = 1 << 20;

}  // namespace

bool XmInput::start(SongFile* songFile)
{
    file = songFile;
    position = 0;
    sizeBytes = largestOffset;
    if (seekSongFile(file, 0, seekFromEnd) == 0) {
        int32_t end = tellSongFile(file);
        if (end >= 0) {
            sizeBytes = end;
        }
    }
    return seekSongFile(file, 0, seekFromStart) == 0;
}

bool XmInput::seekTo(int64_t offset)
{
    if (offset < 0 || offset > sizeBytes) {
        return false;
    }
    if (seekSongFile(file, static_cast<int32_t>(offset), seekFromStart) != 0) {
        return false;
    }
    position = offset;
    return true;
}

int64_t XmInput::read(void* destination, int64_t byteCount)
{
    uint8_t* out = static_cast<uint8_t*>(destination);
    int64_t total = 0;
    while (total < byteCount) {
        int64_t wanted = byteCount - total < readChunkBytes ? byteCount - total : readChunkBytes;
        int32_t got = readSongFile(out + total, static_cast<int32_t>(wanted), file);
        if (got <= 0) {
            break;
        }
        // A callback that claims more than it was asked for is not believed.
        total += got < wanted ? got : wanted;
        if (got < wanted) {
            break;
        }
    }
    position += total;
    return total;
}

bool XmInput::readAll(void* destination, int64_t byteCount)
{
    return read(destination, byteCount) == byteCount;
}

uint8_t XmBytes::u8(int32_t offset) const
{
    return offset >= 0 && offset < sizeBytes ? data[offset] : 0;
}

uint16_t XmBytes::u16(int32_t offset) const
{
    return static_cast<uint16_t>(u8(offset) | (u8(offset + 1) << 8));
}

uint32_t XmBytes::u32(int32_t offset) const
{
    return static_cast<uint32_t>(u16(offset)) | (static_cast<uint32_t>(u16(offset + 2)) << 16);
}
