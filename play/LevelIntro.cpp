// Into play: a new game's values and its slide from the title screen, the
// level intro with its bonuses and texts, and the fade-in of a sprite over the
// play field. Game thread only; every wait here ends early on quit.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "app/App.h"
#include "game/Game.h"
#include "platform/Platform.h"
#include "play/PlaySteps.h"

namespace {

constexpr int32_t slideRows = 480;
constexpr int32_t introWaitMs = 3000;
constexpr double shipStartX = 300.0;
constexpr double shipStartY = 210.0;
constexpr double introBlinkUnits = 40.0;   // eight seconds at five units a second

// What reaching a level grants, beyond the level's own clock of 1:59.
struct LevelBonus {
    int32_t level;
    int32_t extraLives;
    double extraDrain;        // energy per second
    int32_t clockMinutes;     // 0: the usual 1:59
    int32_t clockSeconds;
};

static constexpr LevelBonus levelBonuses[] = {
    {10, 1, 0.0, 1, 40},
    {20, 1, 10.0, 0, 0},
    {25, 0, 10.0, 1, 20},
    {30, 1, 10.0, 0, 0},
    {35, 0, 10.0, 0, 0},
    {40, 1, 5.0, 0, 0},
};
static_assert(std::size(levelBonuses) == 6);

void applyLevelBonus(Game& game)
{
    for (const LevelBonus& bonus : levelBonuses) {
        if (bonus.level != game.level) {
            continue;
        }
        game.lives.store(game.lives.load(std::memory_order_relaxed) + bonus.extraLives,
                         std::memory_order_relaxed);
        game.energyDrain += bonus.extraDrain;
        if (bonus.clockMinutes != 0) {
            game.clockMinutes.store(bonus.clockMinutes, std::memory_order_relaxed);
            game.clockSeconds.store(bonus.clockSeconds, std::memory_order_relaxed);
        }
    }
}


void resetShipAndField(Game& game)
{
    ObjectList& ship = *game.player;
    ship.facing = 1;
    ship.x = shipStartX;
    ship.y = shipStartY;
    ship.vx = 0.0;
    ship.vy = 0.0;
    game.fallingBlocks->count = 0;
    for (auto& column : game.grid) {
        for (uint8_t& cell : column) {
            cell = 0;
        }
    }
}

// The background without any stamped block, drawn as the whole back buffer.
void restorePlayfield(Game& game)
{
    game.canvas->copySprite(game.playfieldSprite, game.backgroundList->head->spriteId);
    game.canvas->drawSprite(game.playfieldSprite, 0, 0, 0);
}

void setNewGameValues(Game& game)
{
    game.lives.store(3, std::memory_order_relaxed);
    game.score = 0;
    game.level = 0;
    game.energyDrain = 50.0;
    game.shotInterval = 50;
    game.maxShots = 1;
    game.acceleration = 0.5;
    game.maxFallingBlocks = 5;
    game.dying = 0;
    game.explosionTimer.store(0.0, std::memory_order_relaxed);
    game.ambientBubbles = 0;
    game.speedExtras = 0;
    game.shotSpeedExtras = 0;
}

}  // namespace

void drawIntroTexts(Game& record)
{
    char line[48];
    std::snprintf(line, sizeof line, "its time for level %d now!", record.level);
    record.drawText(line, 240.0, 220.0);
    const int32_t level = record.level;
    if (level == 6 || level == 10 || level == 15 || level == 20 || level == 25 || level == 30) {
        record.drawText("lets play a little faster, ok?", 225.0, 240.0);
    }
    if (level == 10 || level == 20 || level == 30) {
        record.drawText("you get a new life !", 255.0, 260.0);
    }
}

void slideOut(Game& record)
{
    for (int32_t offset = 0; offset < slideRows; offset++) {
        record.canvas->presentAt(0, offset);
        waitMs(1);
    }
}

void slideIn(Game& record)
{
    for (int32_t offset = slideRows; offset >= 1; offset--) {
        record.canvas->presentAt(0, offset);
        waitMs(1);
    }
}

void Game::startNewGame()
{
    setNewGameValues(*this);
    for (ScoreEntry& row : highscores.rows) {
        row.slideX = row.homeX;
    }
    slideOut(*this);
    restorePlayfield(*this);
    drawHud();
    slideIn(*this);
    setState(GameState::levelIntro);
}

void Game::levelIntro()
{
    resetShipAndField(*this);
    restorePlayfield(*this);
    clockMinutes.store(1, std::memory_order_relaxed);
    clockSeconds.store(59, std::memory_order_relaxed);
    level++;
    if (level > 99) {
        level = 1;
    }
    applyLevelBonus(*this);
    energy = 100.0;
    shotsInFlight = 0;
    shotCooldown = 0.0;
    maxFallingBlocks = level / 2 + 5;
    GameObject& shipNode = *player->head;
    shipNode.blinking = 1;
    shipNode.blinkTimer = introBlinkUnits;
    std::srand(static_cast<unsigned>(platform::timeOfDaySeconds()));
    drawHud();
    drawIntroTexts(*this);
    canvas->present();
    waitMs(introWaitMs);
    shipNode.spriteId = playerLeftList->head->spriteId;
    fadeInSprite(shipNode.spriteId, player->x, player->y);
    platform::startTimer(mainWindow, 1, 1000);
    movedX = 1;
    setState(GameState::play);
}

void Game::fadeInSprite(int32_t spriteId, double x, double y)
{
    canvas->drawSprite(playfieldSprite, 0, 0, 0);
    drawHud();
    const int32_t drawX = static_cast<int32_t>(x);
    const int32_t drawY = static_cast<int32_t>(y);
    // Each grey keeps the back buffer's bits that are set in it, so the sprite
    // builds up bit plane by bit plane from the lowest bits.
    for (int32_t grey = 254; grey >= 2; grey -= 2) {
        const Colour fade = static_cast<Colour>(grey) | static_cast<Colour>(grey) << 8 |
                            static_cast<Colour>(grey) << 16;
        const Colour previous = canvas->setFadeColour(fade);
        canvas->drawSpriteKeyed(spriteId, drawX, drawY, 0);
        canvas->present();
        canvas->setFadeColour(previous);
        waitMs(1);
    }
}
