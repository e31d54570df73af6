#include <gtest/gtest.h>

#include "app/App.h"
#include "game/Game.h"
#include "platform/headless/Headless.h"

namespace {

struct KeyCase {
    int32_t code;
    uint8_t character;
};

// Virtual-key codes arrive as characters: letters lowered, everything else unchanged.
constexpr KeyCase keyCases[] = {
    {0x41, 'a'}, {0x5A, 'z'},         // letters, whatever Shift or Caps Lock say
    {0x30, '0'}, {0x39, '9'},         // top-row digits
    {0x60, '`'}, {0x61, 'a'}, {0x69, 'i'},   // keypad digits
    {0x70, 'p'}, {0x77, 'w'}, {0x7B, '{'},   // F1, F8, F12
    {0x25, '%'}, {0x26, '&'}, {0x27, '\''}, {0x28, '('},   // arrows
    {0x20, ' '}, {0x0D, 13}, {0x08, 8},      // space, Enter, Backspace
    {'.', '.'}, {',', ','}, {'-', '-'}, {'/', '/'},        // punctuation passed on as itself
    {'!', '!'}, {'?', '?'}, {':', ':'}, {')', ')'}, {'+', '+'},
    {0x1A0, 0xA0},                    // only the low 8 bits count
};

TEST(WindowProc, KeyDownStoresTheCharacterThenTheFlag)
{
    for (const KeyCase& key : keyCases) {
        game.keyPressed = 0;
        windowProc({platform::MessageKind::keyDown, key.code});
        EXPECT_EQ(game.keyChar.load(), key.character) << "code " << key.code;
        EXPECT_EQ(game.keyPressed.load(), 1);
    }
    game.keyPressed = 0;
    game.keyChar = 0;
}

TEST(WindowProc, FocusSetsWindowActive)
{
    windowProc({platform::MessageKind::focusLost, 0});
    EXPECT_EQ(game.windowActive.load(), 0);
    windowProc({platform::MessageKind::focusGained, 0});
    EXPECT_EQ(game.windowActive.load(), 1);
}

TEST(Dispatch, StatesWithoutAScreenDoNothing)
{
    headless::reset();
    for (GameState idle : {GameState::none, GameState::paused}) {
        game.setState(idle);
        int64_t presents = headless::presentCount();
        int64_t before = headless::nowNs();
        game.dispatchPass();
        EXPECT_EQ(game.currentState(), idle);
        EXPECT_EQ(headless::presentCount(), presents);
        EXPECT_EQ(headless::nowNs(), before);
    }
    game.setState(GameState::none);
}

TEST(Pacing, PassesKeepToAbsoluteDeadlines)
{
    headless::reset();
    int64_t next = platform::performanceCounter();
    for (int32_t pass = 0; pass < passesPerSecond; pass++) {
        paceGameThread(next);
    }
    // 500 passes take one second of virtual time, whatever each pass took.
    EXPECT_NEAR(static_cast<double>(headless::nowNs()), 1e9, 1e6);
}

TEST(Pacing, AFewLateWakeUpsDoNotCostPasses)
{
    headless::reset();
    int64_t next = platform::performanceCounter();
    for (int32_t pass = 0; pass < passesPerSecond; pass++) {
        if (pass % 100 == 50) {
            headless::advanceMs(6);   // the scheduler woke the thread late
        }
        paceGameThread(next);
    }
    EXPECT_NEAR(static_cast<double>(headless::nowNs()), 1e9, 1e6);
}

TEST(Pacing, ALongPassStartsAfreshInsteadOfCatchingUp)
{
    headless::reset();
    int64_t next = platform::performanceCounter();
    headless::advanceMs(3000);   // a level intro
    paceGameThread(next);
    int64_t afterLongPass = headless::nowNs();
    paceGameThread(next);
    EXPECT_NEAR(static_cast<double>(headless::nowNs() - afterLongPass), 2e6, 1e3);
}

}  // namespace
