// Whole paths of the game replayed on the headless platform: passes of the game
// thread with the main thread's messages handled between them, keys chosen per
// pass, a fixed seed and the virtual clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "PlayFixture.h"

namespace {

using namespace playtest;
using platform::vk::down;
using platform::vk::left;
using platform::vk::right;
using platform::vk::shift;
using platform::vk::up;

// One turn of the main thread's message loop and one pass of the game thread.
struct Replay {
    int64_t nextPassCount = platform::performanceCounter();
    int64_t passes = 0;
    std::vector<GameState> states;
    std::vector<int32_t> livesSeen;

    void step()
    {
        platform::Message message{};
        while (headless::takeMessage(message)) {
            windowProc(message);
        }
        game.dispatchPass();
        passes++;
        if (states.empty() || states.back() != game.currentState()) {
            states.push_back(game.currentState());
        }
        if (livesSeen.empty() || livesSeen.back() != game.lives.load()) {
            livesSeen.push_back(game.lives.load());
        }
        paceGameThread(nextPassCount);
    }

    template <typename Done>
    void runUntil(int64_t maxPasses, Done done)
    {
        for (int64_t pass = 0; pass < maxPasses && !done(); pass++) {
            step();
        }
    }
};

// Holds the key that brings the velocity towards one that closes the distance
// without overshooting it.
void steer(double position, double velocity, double wanted, int32_t lessKey, int32_t moreKey)
{
    const double desired = std::clamp(4.0 * (wanted - position), -400.0, 400.0);
    if (velocity < desired - 1.0) {
        headless::setKeyHeld(moreKey, true);
    } else if (velocity > desired + 1.0) {
        headless::setKeyHeld(lessKey, true);
    }
}

// A pilot that goes for the lowest falling block: beside it and shooting while
// the ship blinks and cannot be hurt, right on it afterwards until the ship is lost.
void pilot()
{
    headless::releaseAllKeys();
    const GameObject* target = nullptr;
    for (const GameObject* block = game.fallingBlocks->head; block != nullptr; block = block->next) {
        if (block->dead == 0 && (target == nullptr || block->y > target->y)) {
            target = block;
        }
    }
    if (target == nullptr || game.currentState() != GameState::play) {
        return;
    }
    const ObjectList& ship = *game.player;
    const bool blinking = ship.head->blinking != 0;
    const double besideX = target->x > 320.0 ? target->x - 150.0 : target->x + 120.0;
    steer(ship.x + 20.0, ship.vx, blinking ? besideX : target->x + 16.0, left, right);
    steer(ship.y + 10.0, ship.vy, target->y + 8.0, up, down);
    if (blinking) {
        // Turn towards the block: one press of the key that faces it.
        const int32_t facingBlock = target->x > ship.x ? 0 : 1;
        if (ship.facing != facingBlock) {
            headless::setKeyHeld(left, false);
            headless::setKeyHeld(right, false);
            headless::setKeyHeld(facingBlock == 0 ? right : left, true);
        }
        headless::setKeyHeld(shift, true);
    }
}

// score.dat as the game writes it: ten records of a 26-byte name, the score as
// decimal text in 6 bytes and the level in 2, each number through one reused
// zeroed buffer, so a shorter number leaves the longer one's digits behind it.
std::string scoreFileBytes()
{
    std::string bytes;
    char scoreText[7] = {};
    char levelText[3] = {};
    for (const ScoreEntry& row : game.highscores.rows) {
        bytes.append(row.name, 26);
        std::snprintf(scoreText, sizeof scoreText, "%u", static_cast<unsigned>(row.score));
        bytes.append(scoreText, 6);
        std::snprintf(levelText, sizeof levelText, "%d", row.level);
        bytes.append(levelText, 2);
    }
    return bytes;
}

std::string readFile(const char* path)
{
    std::string bytes;
    if (FILE* file = std::fopen(path, "rb")) {
        char buffer[512];
        size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
            bytes.append(buffer, got);
        }
        std::fclose(file);
    }
    return bytes;
}

struct GameReplay : ::testing::Test {
    void SetUp() override { startGame(); }
    void TearDown() override { stopGame(); }
};

TEST_F(GameReplay, FirstFrameOfANewGame)
{
    Replay replay;
    replay.runUntil(50, [] { return false; });
    headless::setKeyHeld(platform::vk::space, true);
    replay.step();
    headless::releaseAllKeys();
    ASSERT_EQ(game.currentState(), GameState::levelIntro);
    replay.step();   // the intro, ending in play
    ASSERT_EQ(game.currentState(), GameState::play);
    const int64_t presents = headless::presentCount();
    replay.step();
    ASSERT_EQ(headless::presentCount(), presents + 1);
    EXPECT_TRUE(textShownAt("000000", 60, 3));
    EXPECT_TRUE(textShownAt("1:59", 360, 3));
    // Golden: the hash of this frame when the test was written, after the frame
    // was saved with headless::saveWindowBmp and looked at: the empty play field,
    // no ship (the first pass measures the whole intro, 4.1 s, which leaves the
    // blink on an odd unit), the HUD with 000000, 1:59, a full energy bar and
    // three ships. Generated pictures, seed and virtual clock make it the same
    // on every run; a change to the art or to what the first pass draws changes it.
    // Taken again when the logo on the lower HUD lost its stray black edge pixels.
    EXPECT_EQ(headless::windowHash(), 14363316626803612268ull);
}

TEST_F(GameReplay, AWholeGameFromTitleToTitle)
{
    Replay replay;
    replay.runUntil(100, [] { return false; });
    headless::setKeyHeld(platform::vk::space, true);
    replay.step();
    headless::releaseAllKeys();

    // Play until the game is over: at most two minutes of passes.
    for (int64_t pass = 0; pass < 60000 && game.currentState() != GameState::enterScore &&
                           game.currentState() != GameState::title;
         pass++) {
        pilot();
        replay.step();
    }
    headless::releaseAllKeys();
    ASSERT_EQ(game.lives.load(), 0);
    replay.runUntil(10, [] { return game.currentState() == GameState::title; });
    ASSERT_EQ(game.currentState(), GameState::title);
    ASSERT_EQ(game.nameEntryRow, 1);
    const uint32_t finalScore = game.score;
    EXPECT_GT(finalScore, 0u);

    // The new row slides in; then the name is typed and Enter stores it.
    replay.runUntil(400, [] { return game.highscores.rows[0].slideX == 165.0; });
    for (int32_t key : {int32_t{'A'}, int32_t{'C'}, int32_t{'E'}, platform::vk::enter}) {
        headless::pushMessage(platform::MessageKind::keyDown, key);
        replay.runUntil(5, [] { return false; });
    }
    EXPECT_EQ(game.nameEntryRow, 0);
    replay.runUntil(200, [] { return false; });

    const std::vector<GameState> expectedStates = {GameState::title, GameState::levelIntro, GameState::play,
                                                   GameState::enterScore, GameState::title};
    EXPECT_EQ(replay.states, expectedStates);
    EXPECT_EQ(replay.livesSeen, (std::vector<int32_t>{0, 3, 2, 1, 0}));
    EXPECT_EQ(std::string(game.highscores.rows[0].name), "ace                      ");
    EXPECT_EQ(game.highscores.rows[0].score, finalScore);
    EXPECT_EQ(game.highscores.rows[0].level, 1);
    const std::string stored = readFile("score.dat");
    EXPECT_EQ(stored.size(), 340u);
    EXPECT_EQ(stored, scoreFileBytes());
    EXPECT_EQ(std::memcmp(stored.data() + 26, std::to_string(finalScore).c_str(), std::to_string(finalScore).size()), 0);
    // Golden, from the run that wrote this test: the score the pilot made, and
    // the hash of the title screen the run ends
    // on, saved with headless::saveWindowBmp and looked at: the highscore page
    // with "ace", 000475 and level 01 in row 1 and the nine default rows.
    EXPECT_EQ(finalScore, 475u);
    // Taken again when the title logo lost its stray black edge pixels.
    EXPECT_EQ(headless::windowHash(), 15593781891449153405ull);
}

}  // namespace
