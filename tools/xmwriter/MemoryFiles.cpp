// The memory-backed file callbacks: each open stream keeps its own copy of the
// file's bytes and position, so a file replaced while open does not move under it.
#include "tools/xmwriter/MemoryFiles.h"

#include <cstring>
#include <map>
#include <utility>

#include "music/SongApi.h"

namespace memoryfiles {

namespace {

struct Stream {
    std::vector<uint8_t> bytes;
    int64_t position;
};

struct Files {
    std::map<std::string, std::vector<uint8_t>> byName;
    int32_t openStreams = 0;
    int32_t opensTried = 0;
    int64_t bytesServed = 0;
};

Files files;

void* open(const char* name)
{
    ++files.opensTried;
    auto found = files.byName.find(name);
    if (found == files.byName.end()) {
        return nullptr;
    }
    ++files.openStreams;
    return new Stream{found->second, 0};
}

int32_t close(void* stream)
{
    --files.openStreams;
    delete static_cast<Stream*>(stream);
    return 0;
}

int32_t read(void* destination, int32_t byteCount, void* stream)
{
    Stream& file = *static_cast<Stream*>(stream);
    int64_t left = static_cast<int64_t>(file.bytes.size()) - file.position;
    int64_t count = byteCount < left ? byteCount : left;
    if (count <= 0) {
        return 0;
    }
    std::memcpy(destination, file.bytes.data() + file.position, static_cast<size_t>(count));
    file.position += count;
    files.bytesServed += count;
    return static_cast<int32_t>(count);
}

// Like stdio: any position from 0 on may be set, even past the end.
int32_t seek(void* stream, int32_t offset, uint8_t origin)
{
    Stream& file = *static_cast<Stream*>(stream);
    int64_t base = origin == 0 ? 0 : (origin == 1 ? file.position : static_cast<int64_t>(file.bytes.size()));
    if (origin > 2 || base + offset < 0) {
        return -1;
    }
    file.position = base + offset;
    return 0;
}

int32_t tell(void* stream)
{
    return static_cast<int32_t>(static_cast<Stream*>(stream)->position);
}

}  // namespace

void install()
{
    setFileCallbacks(open, close, read, seek, tell);
}

void add(const std::string& name, std::vector<uint8_t> bytes)
{
    files.byName[name] = std::move(bytes);
}

void reset()
{
    files.byName.clear();
    files.opensTried = 0;
    files.bytesServed = 0;
}

int32_t openStreams()
{
    return files.openStreams;
}

int32_t opensTried()
{
    return files.opensTried;
}

int64_t bytesServed()
{
    return files.bytesServed;
}

}  // namespace memoryfiles
