// Bounded reading of an open song file for the XM loader: the file's size is
// learnt once, the position is tracked here, and every read or seek says
// whether the file really held the bytes. Main thread.
#pragma once

#include <cstdint>

struct SongFile;

struct XmInput {
    SongFile* file;       // borrowed
    int64_t position;     // bytes from the file's start
    int64_t sizeBytes;    // the file's length; the largest 32-bit offset when it cannot tell

    // Learns the size and goes to offset 0; false when the file cannot seek there.
    [[nodiscard]] bool start(SongFile* songFile);
    // False, without moving, for an offset beyond the end of the file.
    [[nodiscard]] bool seekTo(int64_t offset);
    [[nodiscard]] int64_t bytesLeft() const { return sizeBytes > position ? sizeBytes - position : 0; }
    // Reads up to byteCount bytes; returns how many arrived (0 at the end of the file).
    [[nodiscard]] int64_t read(void* destination, int64_t byteCount);
    // True only when all byteCount bytes arrived.
    [[nodiscard]] bool readAll(void* destination, int64_t byteCount);
};

// Little-endian fields of a block already read; offsets past the block read 0,
// which is how a header shorter than the fields it would hold is taken.
struct XmBytes {
    const uint8_t* data;   // borrowed
    int32_t sizeBytes;

    [[nodiscard]] uint8_t u8(int32_t offset) const;
    [[nodiscard]] uint16_t u16(int32_t offset) const;
    [[nodiscard]] uint32_t u32(int32_t offset) const;
};
