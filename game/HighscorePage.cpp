// The highscore page of the title screen: ten rows sliding in from alternating
// sides, and the typing of a new row's name once that row has arrived. Game thread.
#include "game/Game.h"

#include <cstdio>

namespace {

// x at which the rows wait while the page is shown; rows move 5 pixels per pass.
constexpr double rowWaitX = 165.0;
constexpr double rowStepX = 5.0;
constexpr double firstRowY = 210.0;
constexpr double rowSpacingY = 12.0;

// The name holds 25 characters; once the cursor stands on the last one, further
// characters overwrite it.
constexpr int32_t lastNameColumn = 24;

constexpr uint8_t keyEnter = 13;
constexpr uint8_t keyBackspace = 8;

void slideRow(ScoreEntry& row, int32_t mode)
{
    if (mode == 1) {
        if (row.slideX < rowWaitX) {
            row.slideX += rowStepX;
        } else if (row.slideX > rowWaitX) {
            row.slideX -= rowStepX;
        }
    } else {
        if (row.slideX > row.homeX) {
            row.slideX -= rowStepX;
        } else if (row.slideX < row.homeX) {
            row.slideX += rowStepX;
        }
    }
}

uint32_t spriteOf(const GameObject* entry)
{
    return entry != nullptr ? static_cast<uint32_t>(entry->spriteId) : 0;
}

// Applies the last key pressed to the row being named, once that row has arrived.
// Keys without a glyph (Shift, the arrows, Enter, Backspace) are consumed unwritten.
void typeNameKey(Game& game)
{
    if (game.nameEntryRow < 1 || game.nameEntryRow > highscoreRows) {
        return;
    }
    ScoreEntry& row = game.highscores.rows[game.nameEntryRow - 1];
    if (row.slideX != rowWaitX || game.keyPressed.load() != 1) {
        return;
    }
    const uint8_t key = game.keyChar.load();
    if (key == keyEnter) {
        game.saveHighscores();
        game.nameEntryRow = 0;
        game.fadeLevel = 255.0;
        game.pageTime = 1.0;
    }
    if (key == keyBackspace) {
        if (game.nameCursor > 0) {
            game.nameCursor--;
        }
        row.name[game.nameCursor] = ' ';
    }
    if (game.glyphTable[key] != nullptr) {
        row.name[game.nameCursor] = static_cast<char>(key);
        if (game.nameCursor < lastNameColumn) {
            game.nameCursor++;
        }
    }
    game.keyPressed.store(0);
}

}  // namespace

void Game::drawHighscorePage(int32_t mode)
{
    if (mode == 1) {
        drawText("all time greatest", 250, 170);
        drawText("pos", 160, 190);
        drawText("name", 193, 190);
        drawText("score", 382, 190);
        drawText("level", 428, 190);
    }
    for (int32_t i = 0; i < highscoreRows; i++) {
        ScoreEntry& row = highscores.rows[i];
        // A name read from a hand-made file may lack its zero byte: at most 25 characters.
        char line[64];
        std::snprintf(line, sizeof(line), "%02d  %.25s  %06u  %02d", i + 1, row.name, row.score, row.level);
        slideRow(row, mode);
        drawText(line, row.slideX, firstRowY + rowSpacingY * i);
        // The side borders again, so that the rows pass beneath them.
        canvas->drawSpriteKeyed(spriteOf(borderLeft), 0, 131, 0);
        canvas->drawSpriteKeyed(spriteOf(borderRight), 556, 131, 0);
    }
    if (nameEntryRow != 0) {
        typeNameKey(*this);
    }
}
