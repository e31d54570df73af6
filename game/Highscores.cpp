// The highscore table: reading and writing score.dat and putting a finished
// game's result into the table. Game thread (loadHighscores: main thread at start-up).
#include "game/Game.h"

#include <cstdio>
#include <cstring>
#include <iterator>

namespace {

constexpr const char* scoreFilePath = "score.dat";
// Written in full first, then renamed over score.dat: a save that stops half-way
// leaves the old table in place.
constexpr const char* scoreTempPath = "score.dat.tmp";

// One record of score.dat: name, score and level, the numbers as decimal text.
constexpr size_t nameFieldBytes = 26;
constexpr size_t scoreFieldBytes = 6;
constexpr size_t levelFieldBytes = 2;
static_assert(nameFieldBytes + scoreFieldBytes + levelFieldBytes == scoreRecordBytes);
static_assert(sizeof(ScoreEntry::name) == nameFieldBytes);

// The largest score the six-digit field can hold; higher scores are stored as this.
constexpr uint32_t largestStoredScore = 999999;

constexpr double oddRowHomeX = 640.0;     // rows 1, 3, 5, 7, 9 wait off the right edge
constexpr double evenRowHomeX = -300.0;   // rows 2, 4, 6, 8, 10 off the left edge

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// A decimal number as the C library's atoi reads it (blanks, an optional sign, then
// digits up to the first other byte), looking only at the count bytes of the field.
int32_t fieldValue(const char* bytes, size_t count)
{
    size_t at = 0;
    while (at < count && isBlank(bytes[at])) {
        at++;
    }
    bool negative = false;
    if (at < count && (bytes[at] == '+' || bytes[at] == '-')) {
        negative = bytes[at] == '-';
        at++;
    }
    int64_t value = 0;   // at most six digits: no overflow
    while (at < count && bytes[at] >= '0' && bytes[at] <= '9') {
        value = value * 10 + (bytes[at] - '0');
        at++;
    }
    return static_cast<int32_t>(negative ? -value : value);
}

// Reads one field; false when the file gave no byte at all. A short read is
// accepted and counts only the bytes it gave.
bool readField(std::FILE* file, char* bytes, size_t fieldBytes, size_t& gotBytes)
{
    gotBytes = std::fread(bytes, 1, fieldBytes, file);
    return gotBytes > 0;
}

bool readRecord(std::FILE* file, ScoreEntry& row)
{
    size_t got = 0;
    std::memset(row.name, 0, sizeof(row.name));
    if (!readField(file, row.name, nameFieldBytes, got)) {
        return false;
    }
    char number[scoreFieldBytes] = {};
    if (!readField(file, number, scoreFieldBytes, got)) {
        return false;
    }
    row.score = static_cast<uint32_t>(fieldValue(number, got));
    if (!readField(file, number, levelFieldBytes, got)) {
        return false;
    }
    row.level = fieldValue(number, got);
    return true;
}

// The file's bytes for the whole table. The number buffers are zeroed once and
// reused, so a shorter number leaves the previous record's digits behind its zero
// byte: files written this way are byte for byte what the game has always written.
void formatTable(const HighscoreTable& table, char (&out)[highscoreRows * scoreRecordBytes])
{
    char scoreText[scoreFieldBytes + 1] = {};
    char levelText[levelFieldBytes + 1] = {};
    char* at = out;
    for (const ScoreEntry& row : table.rows) {
        uint32_t stored = row.score > largestStoredScore ? largestStoredScore : row.score;
        std::snprintf(scoreText, sizeof(scoreText), "%u", stored);
        std::snprintf(levelText, sizeof(levelText), "%d", row.level);
        std::memcpy(at, row.name, nameFieldBytes);
        std::memcpy(at + nameFieldBytes, scoreText, scoreFieldBytes);
        std::memcpy(at + nameFieldBytes + scoreFieldBytes, levelText, levelFieldBytes);
        at += scoreRecordBytes;
    }
}

// A score.dat that exists but cannot be opened for writing is left alone, as the
// load left it alone; a missing one may be created.
bool scoreFileWritableOrMissing()
{
    if (std::FILE* file = std::fopen(scoreFilePath, "r+b")) {
        std::fclose(file);
        return true;
    }
    if (std::FILE* file = std::fopen(scoreFilePath, "rb")) {
        std::fclose(file);
        return false;
    }
    return true;
}

bool writeWhole(const char* path, const char* bytes, size_t count)
{
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        return false;
    }
    bool written = std::fwrite(bytes, 1, count, file) == count;
    written = std::fflush(file) == 0 && written;
    // fclose reports a failed final write (a full disk) as well.
    written = std::fclose(file) == 0 && written;
    return written;
}

}  // namespace

void setRowPositions(HighscoreTable& table)
{
    for (int32_t i = 0; i < highscoreRows; i++) {
        double home = i % 2 == 0 ? oddRowHomeX : evenRowHomeX;
        table.rows[i].homeX = home;
        table.rows[i].slideX = home;
    }
}

void setDefaultHighscores(HighscoreTable& table)
{
    for (ScoreEntry& row : table.rows) {
        row.score = 0;
        row.level = 0;
        std::memcpy(row.name, "........the zarks........", nameFieldBytes);
    }
}

int32_t Game::loadHighscores()
{
    std::FILE* file = std::fopen(scoreFilePath, "r+b");
    if (file == nullptr) {
        return 0;
    }
    HighscoreTable read = highscores;
    for (ScoreEntry& row : read.rows) {
        if (!readRecord(file, row)) {
            std::fclose(file);
            return 0;
        }
    }
    std::fclose(file);
    highscores = read;
    return 1;
}

void Game::saveHighscores()
{
    if (!scoreFileWritableOrMissing()) {
        return;
    }
    char bytes[highscoreRows * scoreRecordBytes];
    formatTable(highscores, bytes);
    if (!writeWhole(scoreTempPath, bytes, sizeof(bytes)) || std::rename(scoreTempPath, scoreFilePath) != 0) {
        std::remove(scoreTempPath);
    }
}

void Game::enterScore()
{
    nameEntryRow = 0;
    int32_t rank = 0;
    while (rank < highscoreRows && highscores.rows[rank].score >= score) {
        rank++;
    }
    if (rank < highscoreRows) {
        for (int32_t i = highscoreRows - 1; i > rank; i--) {
            highscores.rows[i] = highscores.rows[i - 1];
        }
        ScoreEntry& entry = highscores.rows[rank];
        std::memset(entry.name, ' ', nameFieldBytes - 1);
        entry.name[nameFieldBytes - 1] = '\0';
        entry.score = score;
        entry.level = level;
        nameEntryRow = rank + 1;
        nameCursor = 0;
        setRowPositions(highscores);
    }
    pageTime = 2.0;
    titlePage = 2;
    setState(GameState::title);
}
