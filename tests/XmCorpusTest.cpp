// Real-world modules from Debian's game-data packages (fetched by
// tools/xm-corpus/fetch.sh into build/xm-corpus): each must load, and agree with
// a plain reading of its header written here, independent of the loader.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/ShellFiles.h"
#include "music/Song.h"
#include "music/SongApi.h"

namespace {

struct SampleFacts {
    uint32_t lengthBytes;
    uint8_t type;
    int16_t lastValue;   // the sum of all deltas, in the 16-bit scale
};

// The last value of delta-coded data: every delta summed in the data's own width.
int16_t lastDecodedValue(const std::vector<uint8_t>& bytes, size_t at, const SampleFacts& sample)
{
    uint16_t sum = 0;
    if ((sample.type & 0x10) != 0) {
        for (size_t index = 0; index + 1 < sample.lengthBytes; index += 2) {
            sum = static_cast<uint16_t>(sum + (bytes.at(at + index) | (bytes.at(at + index + 1) << 8)));
        }
        return static_cast<int16_t>(sum);
    }
    for (size_t index = 0; index < sample.lengthBytes; ++index) {
        sum = static_cast<uint16_t>(sum + bytes.at(at + index));
    }
    return static_cast<int16_t>(static_cast<uint16_t>((sum & 0xFF) << 8));
}

struct ModuleFacts {
    uint16_t songLength;
    uint16_t channels;
    uint16_t patterns;
    uint16_t instruments;
    std::vector<uint8_t> order;
    std::vector<uint16_t> rows;
    std::vector<std::vector<SampleFacts>> samples;
    size_t endOffset;
};

uint32_t le(const std::vector<uint8_t>& bytes, size_t offset, int32_t width)
{
    uint32_t value = 0;
    for (int32_t index = width - 1; index >= 0; --index) {
        value = (value << 8) | bytes.at(offset + static_cast<size_t>(index));
    }
    return value;
}

ModuleFacts readFacts(const std::vector<uint8_t>& bytes)
{
    ModuleFacts facts{};
    facts.songLength = static_cast<uint16_t>(le(bytes, 64, 2));
    facts.channels = static_cast<uint16_t>(le(bytes, 68, 2));
    facts.patterns = static_cast<uint16_t>(le(bytes, 70, 2));
    facts.instruments = static_cast<uint16_t>(le(bytes, 72, 2));
    facts.order.assign(bytes.begin() + 80, bytes.begin() + 80 + facts.songLength);
    size_t at = 60 + le(bytes, 60, 4);
    for (uint16_t pattern = 0; pattern < facts.patterns; ++pattern) {
        facts.rows.push_back(static_cast<uint16_t>(le(bytes, at + 5, 2)));
        at += le(bytes, at, 4) + le(bytes, at + 7, 2);
    }
    for (uint16_t instrument = 0; instrument < facts.instruments; ++instrument) {
        uint16_t count = static_cast<uint16_t>(le(bytes, at + 27, 2));
        at += le(bytes, at, 4);
        std::vector<SampleFacts> samples;
        for (uint16_t sample = 0; sample < count; ++sample) {
            samples.push_back({le(bytes, at, 4), bytes.at(at + 14), 0});
            at += 40;
        }
        for (SampleFacts& sample : samples) {
            sample.lastValue = lastDecodedValue(bytes, at, sample);
            at += sample.lengthBytes;
        }
        facts.samples.push_back(samples);
    }
    facts.endOffset = at;
    return facts;
}

std::vector<uint8_t> fileBytes(const std::filesystem::path& path)
{
    std::vector<uint8_t> bytes(std::filesystem::file_size(path));
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file != nullptr) {
        bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
        std::fclose(file);
    }
    return bytes;
}

void expectMatches(const Song& song, const ModuleFacts& facts, const std::string& name)
{
    EXPECT_EQ(song.songLength, facts.songLength) << name;
    EXPECT_EQ(song.channelCount, facts.channels) << name;
    EXPECT_EQ(song.instrumentCount, facts.instruments) << name;
    EXPECT_GE(song.patternCount, facts.patterns) << name;
    EXPECT_TRUE(std::equal(facts.order.begin(), facts.order.end(), song.orderTable)) << name;
    for (size_t pattern = 0; pattern < facts.rows.size(); ++pattern) {
        EXPECT_EQ(song.patterns[pattern].rows, facts.rows[pattern]) << name << " pattern " << pattern;
    }
    for (size_t index = 0; index < facts.samples.size(); ++index) {
        const Instrument& instrument = song.instruments[index];
        ASSERT_EQ(instrument.sampleCount, facts.samples[index].size()) << name << " instrument " << index;
        for (size_t slot = 0; slot < facts.samples[index].size(); ++slot) {
            const SampleFacts& sample = facts.samples[index][slot];
            uint32_t length = (sample.type & 0x10) != 0 ? sample.lengthBytes / 2 : sample.lengthBytes;
            const Sample& loaded = *instrument.samples[slot];
            EXPECT_EQ(loaded.length, length) << name << " instrument " << index << " sample " << slot;
            EXPECT_LE(loaded.loopStart + loaded.loopLength, loaded.length) << name;
            ASSERT_EQ(loaded.data == nullptr, length == 0) << name;
            // A loop that ends early has its guard value written over the values behind it.
            if (length != 0 && loaded.loopStart + loaded.loopLength == length) {
                EXPECT_EQ(loaded.data[length - 1], sample.lastValue) << name << " instrument " << index;
            }
        }
    }
}

TEST(XmCorpus, EveryModuleLoadsAndMatchesItsHeader)
{
    const std::filesystem::path folder = std::filesystem::path(KARVEX_SOURCE_DIR) / "build" / "xm-corpus";
    if (!std::filesystem::is_directory(folder)) {
        GTEST_SKIP() << "no corpus in " << folder << " (tools/xm-corpus/fetch.sh makes it)";
    }
    std::vector<std::filesystem::path> modules;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        modules.push_back(entry.path());
    }
    std::sort(modules.begin(), modules.end());
    ASSERT_FALSE(modules.empty());
    setFileCallbacks(fileOpen, fileClose, fileRead, fileSeek, fileTell);
    for (const std::filesystem::path& path : modules) {
        std::vector<uint8_t> bytes = fileBytes(path);
        ModuleFacts facts = readFacts(bytes);
        EXPECT_EQ(facts.endOffset, bytes.size()) << path << ": the plain reading lost its way";
        Song* song = loadSong(path.c_str());
        ASSERT_NE(song, nullptr) << path;
        expectMatches(*song, facts, path.filename().string());
        freeSong(song);
    }
    setFileCallbacks(nullptr, nullptr, nullptr, nullptr, nullptr);
}

}  // namespace
