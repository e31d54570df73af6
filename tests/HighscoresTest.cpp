#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "game/Game.h"
#include "platform/headless/Headless.h"

namespace {

using namespace std::string_literals;

std::string readFile(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const char* path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void setName(ScoreEntry& row, const char* name)
{
    std::snprintf(row.name, sizeof(row.name), "%-25s", name);
}

// One record of score.dat as the game writes it: the 25-character name and its zero
// byte, then the score and level fields given in full.
std::string record(const char* name, const std::string& scoreField, const std::string& levelField)
{
    char field[26];
    std::snprintf(field, sizeof(field), "%-25s", name);
    return std::string(field, 26) + scoreField + levelField;
}

bool sameTable(const HighscoreTable& a, const HighscoreTable& b)
{
    for (int32_t i = 0; i < highscoreRows; i++) {
        const ScoreEntry& x = a.rows[i];
        const ScoreEntry& y = b.rows[i];
        if (x.score != y.score || x.level != y.level || std::memcmp(x.name, y.name, sizeof(x.name)) != 0 ||
            x.homeX != y.homeX || x.slideX != y.slideX) {
            return false;
        }
    }
    return true;
}

// Every test runs in a fresh directory of its own, with the game's highscore fields
// as start-up leaves them without a score file; both are put back afterwards.
struct Highscores : ::testing::Test {
    std::filesystem::path previousDir;
    std::filesystem::path dir;

    void SetUp() override
    {
        headless::reset();
        previousDir = std::filesystem::current_path();
        char pattern[] = "/tmp/karvex-scores-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        std::filesystem::current_path(dir);
        setDefaultHighscores(game.highscores);
        setRowPositions(game.highscores);
    }

    void TearDown() override
    {
        std::filesystem::current_path(previousDir);
        std::filesystem::remove_all(dir);
        game.highscores = {};
        game.score = 0;
        game.level = 0;
        game.nameEntryRow = 0;
        game.nameCursor = 0;
        game.pageTime = 0.0;
        game.titlePage = 0;
        game.setState(GameState::none);
        headless::reset();
    }

    void setScores(const uint32_t (&scores)[highscoreRows])
    {
        for (int32_t i = 0; i < highscoreRows; i++) {
            game.highscores.rows[i].score = scores[i];
            game.highscores.rows[i].level = i + 1;
            char name[16];
            std::snprintf(name, sizeof(name), "row %d", i + 1);
            setName(game.highscores.rows[i], name);
        }
    }
};

TEST_F(Highscores, FirstGameOnAFreshInstallationIsSavedByteForByte)
{
    game.score = 250;
    game.level = 3;
    game.enterScore();
    ASSERT_EQ(game.nameEntryRow, 1);
    std::memcpy(game.highscores.rows[0].name, "ann", 3);
    game.saveHighscores();

    std::string file = readFile("score.dat");
    ASSERT_EQ(file.size(), 340u);
    EXPECT_EQ(file.substr(0, 34), record("ann", "250\0\0\0"s, "3\0"s));
    // The next score, 0, leaves the 0 of "250" behind its zero byte.
    EXPECT_EQ(file.substr(34, 34), record("........the zarks........", "0\0000\0\0\0"s, "0\0"s));
    EXPECT_EQ(file.substr(306, 34), file.substr(34, 34));
    EXPECT_FALSE(std::filesystem::exists("score.dat.tmp"));
}

TEST_F(Highscores, ShorterNumbersKeepThePreviousDigitsAndReadBackWhole)
{
    setScores({123456, 50, 250, 0, 0, 0, 0, 0, 0, 0});
    game.highscores.rows[0].level = 12;
    game.highscores.rows[1].level = 7;
    game.highscores.rows[2].level = 7;
    game.highscores.rows[3].level = 12;
    game.saveHighscores();

    std::string file = readFile("score.dat");
    ASSERT_EQ(file.size(), 340u);
    EXPECT_EQ(file.substr(0, 34), record("row 1", "123456", "12"));
    EXPECT_EQ(file.substr(34, 34), record("row 2", "50\000456"s, "7\0"s));
    EXPECT_EQ(file.substr(68, 34), record("row 3", "250\00056"s, "7\0"s));
    EXPECT_EQ(file.substr(102, 34), record("row 4", "0\0000\00056"s, "12"));

    HighscoreTable saved = game.highscores;
    game.highscores = {};
    ASSERT_EQ(game.loadHighscores(), 1);
    for (int32_t i = 0; i < highscoreRows; i++) {
        EXPECT_EQ(game.highscores.rows[i].score, saved.rows[i].score) << "row " << i + 1;
        EXPECT_EQ(game.highscores.rows[i].level, saved.rows[i].level) << "row " << i + 1;
        EXPECT_EQ(std::memcmp(game.highscores.rows[i].name, saved.rows[i].name, 26), 0) << "row " << i + 1;
    }
}

TEST_F(Highscores, ScoresBeyondSixDigitsAreStoredAsTheLargestTheFieldHolds)
{
    // Above 2^31: a signed comparison would rank it below everything.
    game.score = 3000000000u;
    game.level = 40;
    game.enterScore();
    ASSERT_EQ(game.nameEntryRow, 1);
    game.saveHighscores();
    EXPECT_EQ(readFile("score.dat").substr(26, 8), "99999940");
    EXPECT_EQ(game.highscores.rows[0].score, 3000000000u);
}

TEST_F(Highscores, ALastReadThatIsShortButNotEmptyIsAccepted)
{
    setScores({900, 800, 700, 600, 500, 400, 300, 200, 100, 50});
    game.highscores.rows[9].level = 12;
    game.saveHighscores();
    std::string whole = readFile("score.dat");

    writeFile("score.dat", whole.substr(0, 339));
    game.highscores = {};
    ASSERT_EQ(game.loadHighscores(), 1);
    EXPECT_EQ(game.highscores.rows[9].score, 50u);
    EXPECT_EQ(game.highscores.rows[9].level, 1);   // only the "1" of "12" was there

    writeFile("score.dat", whole.substr(0, 338));
    HighscoreTable before = game.highscores;
    game.highscores.rows[9].level = 77;
    before.rows[9].level = 77;
    EXPECT_EQ(game.loadHighscores(), 0);
    EXPECT_TRUE(sameTable(game.highscores, before)) << "a failed load changes nothing";

    std::filesystem::remove("score.dat");
    EXPECT_EQ(game.loadHighscores(), 0);
}

struct FieldCase {
    std::string scoreField;
    std::string levelField;
    uint32_t score;
    int32_t level;
};

// Hand-made files: the numbers read as the C library reads text, never past their field.
const FieldCase fieldCases[] = {
    {"abcdef", "xy", 0, 0},                        // no digits at all
    {"\0\0\0\0\0\0"s, "\0\0"s, 0, 0},              // all zero bytes
    {"  42ab", " 9", 42, 9},                       // blanks first, then digits up to a letter
    {"+77\0\0\0"s, "+3", 77, 3},
    {"999999", "99", 999999, 99},                  // digits to the field's end, not into the next
    {"-5\0\0\0\0"s, "-1", static_cast<uint32_t>(-5), -1},   // a sign is read, as atoi reads it
    {"12 345", "1a", 12, 1},
};

TEST_F(Highscores, NumberFieldsReadLikeTheCLibraryWithinTheirBytes)
{
    for (const FieldCase& field : fieldCases) {
        std::string file;
        for (int32_t i = 0; i < highscoreRows; i++) {
            file += record("x", field.scoreField, field.levelField);
        }
        writeFile("score.dat", file);
        ASSERT_EQ(game.loadHighscores(), 1);
        EXPECT_EQ(game.highscores.rows[0].score, field.score) << field.scoreField;
        EXPECT_EQ(game.highscores.rows[0].level, field.level) << field.levelField;
        EXPECT_EQ(game.highscores.rows[9].score, field.score) << field.scoreField;
    }
}

TEST_F(Highscores, ANameWithoutAZeroByteIsKeptAsItWasRead)
{
    std::string file;
    for (int32_t i = 0; i < highscoreRows; i++) {
        file += std::string(26, 'q') + "1\0\0\0\0\0"s + "2\0"s;
    }
    writeFile("score.dat", file);
    ASSERT_EQ(game.loadHighscores(), 1);
    EXPECT_EQ(std::string(game.highscores.rows[4].name, 26), std::string(26, 'q'));
    EXPECT_EQ(game.highscores.rows[4].score, 1u);
    game.saveHighscores();
    EXPECT_EQ(readFile("score.dat").substr(0, 26), std::string(26, 'q'));
}

TEST_F(Highscores, AScoreFileThatCannotBeWrittenIsNeitherReadNorReplaced)
{
    std::string file;
    for (int32_t i = 0; i < highscoreRows; i++) {
        file += record("kept", "700\0\0\0"s, "5\0"s);
    }
    writeFile("score.dat", file);
    chmod("score.dat", 0444);
    bool linked = false;
    if (std::FILE* writable = std::fopen("score.dat", "r+b")) {
        // Root writes through file modes; a running executable cannot be opened for
        // writing by anyone, so a link to this test program stands in for the file.
        std::fclose(writable);
        std::filesystem::remove("score.dat");
        std::filesystem::create_symlink(std::filesystem::read_symlink("/proc/self/exe"), "score.dat");
        linked = true;
        if (std::FILE* stillWritable = std::fopen("score.dat", "r+b")) {
            std::fclose(stillWritable);
            GTEST_SKIP() << "no file here refuses to be opened for writing";
        }
    }
    const auto unchanged = [&] {
        if (linked) {
            return std::filesystem::is_symlink("score.dat") &&
                   std::filesystem::read_symlink("score.dat") == std::filesystem::read_symlink("/proc/self/exe");
        }
        return readFile("score.dat") == file;
    };

    HighscoreTable defaults = game.highscores;
    EXPECT_EQ(game.loadHighscores(), 0);
    EXPECT_TRUE(sameTable(game.highscores, defaults));

    game.score = 100;
    game.enterScore();
    game.saveHighscores();
    EXPECT_TRUE(unchanged()) << "score.dat was replaced";
    EXPECT_FALSE(std::filesystem::exists("score.dat.tmp"));
}

TEST_F(Highscores, ASaveThatFailsHalfWayLeavesThePreviousFile)
{
    if (!std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full to stand for a full disk";
    }
    setScores({900, 800, 700, 600, 500, 400, 300, 200, 100, 50});
    game.saveHighscores();
    std::string before = readFile("score.dat");
    ASSERT_EQ(before.size(), 340u);

    // Every write into the temporary file now fails as on a full disk.
    std::filesystem::create_symlink("/dev/full", "score.dat.tmp");
    game.score = 1000;
    game.enterScore();
    game.saveHighscores();
    EXPECT_EQ(readFile("score.dat"), before);
    EXPECT_FALSE(std::filesystem::is_symlink("score.dat.tmp")) << "the failed temporary file is removed";
}

TEST_F(Highscores, EnterScoreRanksBelowEqualScoresAndMovesRowsWhole)
{
    setScores({1000, 900, 800, 700, 600, 500, 400, 300, 200, 100});
    game.highscores.rows[3].slideX = 165.0;
    game.score = 800;   // equal to row 3, above row 4
    game.level = 9;
    game.enterScore();

    EXPECT_EQ(game.nameEntryRow, 4);
    EXPECT_EQ(game.nameCursor, 0);
    const ScoreEntry& entry = game.highscores.rows[3];
    EXPECT_EQ(entry.score, 800u);
    EXPECT_EQ(entry.level, 9);
    EXPECT_EQ(std::string(entry.name, 26), std::string(25, ' ') + '\0');
    EXPECT_STREQ(game.highscores.rows[2].name, "row 3                    ");
    EXPECT_STREQ(game.highscores.rows[4].name, "row 4                    ");
    EXPECT_EQ(game.highscores.rows[4].score, 700u);
    EXPECT_EQ(game.highscores.rows[4].level, 4);
    EXPECT_EQ(game.highscores.rows[9].score, 200u);   // the old row 10 is gone
    for (int32_t i = 0; i < highscoreRows; i++) {
        double home = i % 2 == 0 ? 640.0 : -300.0;
        EXPECT_EQ(game.highscores.rows[i].homeX, home);
        EXPECT_EQ(game.highscores.rows[i].slideX, home);
    }
    EXPECT_EQ(game.titlePage, 2);
    EXPECT_EQ(game.pageTime, 2.0);
    EXPECT_EQ(game.currentState(), GameState::title);
}

TEST_F(Highscores, AScoreOfZeroEntersNothingAndShowsTheTable)
{
    game.highscores.rows[0].slideX = 165.0;
    HighscoreTable before = game.highscores;
    game.score = 0;
    game.nameEntryRow = 3;
    game.setState(GameState::enterScore);
    game.enterScore();
    EXPECT_EQ(game.nameEntryRow, 0);
    EXPECT_TRUE(sameTable(game.highscores, before));
    EXPECT_EQ(game.titlePage, 2);
    EXPECT_EQ(game.pageTime, 2.0);
    EXPECT_EQ(game.currentState(), GameState::title);
    EXPECT_FALSE(std::filesystem::exists("score.dat"));
}

}  // namespace
