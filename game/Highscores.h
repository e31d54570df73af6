// The ten best results with the players' names, kept in the Game record and
// stored in score.dat. Game thread only (read once on the main thread at start-up).
#pragma once

#include <cstddef>
#include <cstdint>

struct ScoreEntry {
    uint32_t score;
    int32_t level;
    char name[26];         // 25 characters and a zero byte for every name the game makes
    double homeX;          // 640 (odd rows) or -300 (even rows): where the row slides from and to
    double slideX;         // the row's x on the highscore page
};

constexpr int32_t highscoreRows = 10;

struct HighscoreTable {
    ScoreEntry rows[highscoreRows];   // best first
};

// One record of score.dat: 26 bytes of name, 6 of score and 2 of level as decimal text.
constexpr size_t scoreRecordBytes = 34;

// Every row: score 0, level 0, "........the zarks........".
void setDefaultHighscores(HighscoreTable& table);
// Every row's homeX and slideX to its side: 640 for rows 1, 3, 5, 7, 9, -300 for the others.
void setRowPositions(HighscoreTable& table);
