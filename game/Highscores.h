// The ten best results with the players' names, kept in the Game record and
// stored in score.dat. Game thread only (read once on the main thread at start-up).
#pragma once

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
