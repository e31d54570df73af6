// The song API's file access: the five callbacks, the wrappers, loading and
// freeing, and the shell's stdio callbacks.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "XmTestSupport.h"
#include "app/ShellFiles.h"

namespace {

struct SongApi : ::testing::Test {
    void TearDown() override
    {
        memoryfiles::reset();
        setFileCallbacks(nullptr, nullptr, nullptr, nullptr, nullptr);
    }
};

int32_t callbackCalls = 0;

void* countedOpen(const char*) { ++callbackCalls; return nullptr; }
int32_t countedClose(void*) { ++callbackCalls; return 0; }
int32_t countedRead(void*, int32_t, void*) { ++callbackCalls; return 0; }
int32_t countedSeek(void*, int32_t, uint8_t) { ++callbackCalls; return 0; }
int32_t countedTell(void*) { ++callbackCalls; return 0; }

TEST_F(SongApi, OneMissingCallbackLeavesNoFileAccess)
{
    for (int32_t missing = 0; missing < 5; ++missing) {
        setFileCallbacks(countedOpen, countedClose, countedRead, countedSeek, countedTell);
        ASSERT_TRUE(fileCallbacksSet());
        setFileCallbacks(missing == 0 ? nullptr : countedOpen, missing == 1 ? nullptr : countedClose,
                         missing == 2 ? nullptr : countedRead, missing == 3 ? nullptr : countedSeek,
                         missing == 4 ? nullptr : countedTell);
        EXPECT_FALSE(fileCallbacksSet()) << "missing " << missing;
        EXPECT_EQ(fileCallbacks.open, nullptr);
        EXPECT_EQ(fileCallbacks.tell, nullptr);
        callbackCalls = 0;
        EXPECT_EQ(loadSong("music.xm"), nullptr);
        EXPECT_EQ(openSongFile("music.xm"), nullptr);
        EXPECT_EQ(callbackCalls, 0);
    }
}

TEST_F(SongApi, WrappersWithoutAFileCallNothing)
{
    setFileCallbacks(countedOpen, countedClose, countedRead, countedSeek, countedTell);
    callbackCalls = 0;
    uint8_t byte = 0;
    EXPECT_EQ(readSongFile(&byte, 1, nullptr), 0);
    EXPECT_EQ(seekSongFile(nullptr, 10, 0), 0);
    EXPECT_EQ(tellSongFile(nullptr), 0);
    closeSongFile(nullptr);
    EXPECT_EQ(callbackCalls, 0);
    EXPECT_FALSE(freeSong(nullptr));
}

TEST_F(SongApi, MissingFileGivesNoSongAndNothingOpen)
{
    memoryfiles::install();
    EXPECT_EQ(loadSong("nowhere.xm"), nullptr);
    EXPECT_EQ(memoryfiles::opensTried(), 1);
    EXPECT_EQ(memoryfiles::openStreams(), 0);
}

TEST_F(SongApi, LoadedSongIsClosedAndFreed)
{
    SongPtr song = loadXmBytes(xmwriter::writeXm(smallModule()));
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(memoryfiles::openStreams(), 0);
    EXPECT_TRUE(freeSong(song.release()));
}

TEST_F(SongApi, ShellCallbacksReadARealFile)
{
    const std::filesystem::path path = std::filesystem::path(KARVEX_BINARY_DIR) / "song-api-test.xm";
    std::vector<uint8_t> bytes = xmwriter::writeXm(smallModule());
    ASSERT_TRUE(xmwriter::writeXmFile(smallModule(), path.string()));

    void* stream = fileOpen(path.c_str());
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(fileSeek(stream, 0, 2), 0);
    EXPECT_EQ(fileTell(stream), static_cast<int32_t>(bytes.size()));
    EXPECT_EQ(fileSeek(stream, -4, 1), 0);
    uint8_t tail[8] = {};
    EXPECT_EQ(fileRead(tail, 8, stream), 4);
    EXPECT_EQ(tail[3], bytes.back());
    EXPECT_NE(fileSeek(stream, 0, 3), 0) << "no such origin";
    EXPECT_EQ(fileRead(tail, 0, stream), 0);
    EXPECT_EQ(fileClose(stream), 0);
    EXPECT_EQ(fileOpen((path.string() + ".missing").c_str()), nullptr);

    setFileCallbacks(fileOpen, fileClose, fileRead, fileSeek, fileTell);
    SongPtr song(loadSong(path.c_str()));
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->channelCount, 2);
    EXPECT_EQ(song->instruments[0].samples[0]->data[1], 256);
    std::filesystem::remove(path);
}

}  // namespace
