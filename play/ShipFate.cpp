// The ship's fate after each drawn pass (destruction, respawn, game over), the
// one-second level clock and the emptying of the field between phases.
// Game thread, except onClockTick, which the main thread runs for each timer
// message; the fields both touch are atomics.
#include <cstdint>

#include "app/App.h"
#include "game/Game.h"
#include "platform/Platform.h"
#include "play/PlaySteps.h"

namespace {

constexpr int32_t clockTimer = 1;
constexpr int32_t clockPeriodMs = 1000;
constexpr double explosionSeconds = 4.0;
constexpr int32_t gameOverWaitMs = 5000;
constexpr int32_t gameOverImageKind = 7;   // in hudSprites
constexpr double respawnX = 300.0;
constexpr double respawnY = 210.0;
constexpr double respawnBlinkUnits = 40.0;

// Rows 1 and 2 taken in every column, by landed blocks or by marks.
bool pileReachesTop(const Game& game)
{
    for (int32_t column = 0; column < gridColumns; column++) {
        if (game.grid[column][1] == 0 || game.grid[column][2] == 0) {
            return false;
        }
    }
    return true;
}

void startClock()
{
    platform::startTimer(mainWindow, clockTimer, clockPeriodMs);
}

void stopClock()
{
    platform::stopTimer(mainWindow, clockTimer);
}

// Dust puffs of the explosion: offset from its centre and speed factor.
struct DustPuff {
    double dx;
    double dy;
    double speedFactor;
};

static constexpr DustPuff explosionDust[] = {
    {0.0, 0.0, 0.1},
    {2.0, -2.0, 5.0},
    {4.0, 4.0, 3.0},
    {-5.0, 0.0, 2.0},
};

void destroyShip(Game& game)
{
    game.lives.store(game.lives.load(std::memory_order_relaxed) - 1, std::memory_order_relaxed);
    stopClock();
    const double centreX = game.player->x + 20.0;
    const double centreY = game.player->y + 20.0;
    game.spawnBubbles(1, centreX, centreY, 30, 0);
    game.spawnDebris(30, centreX, centreY);
    for (const DustPuff& puff : explosionDust) {
        game.spawnDust(centreX + puff.dx, centreY + puff.dy, puff.speedFactor);
    }
    game.explosionTimer.store(explosionSeconds, std::memory_order_relaxed);
    game.dying = 1;
}

}  // namespace

int32_t decideShipFate(Game& record)
{
    const double explosion = record.explosionTimer.load(std::memory_order_relaxed);
    if (pileReachesTop(record) && explosion <= 0.0) {
        record.gameOver();
        return 1;
    }
    if (record.lives.load(std::memory_order_relaxed) == 0 && explosion <= 0.0) {
        record.gameOver();
        return 1;
    }
    if (explosion <= 0.0 && record.dying == 1) {
        record.respawnShip();
        record.explosionTimer.store(0.0, std::memory_order_relaxed);
        startClock();
        record.dying = 0;
    } else if (record.energy <= 0.0 && explosion == 0.0) {
        destroyShip(record);
    }
    return 0;
}

void Game::respawnShip()
{
    clearPlayObjects();
    shotInterval = 50;
    maxShots = 1;
    acceleration = 1.0;
    speedExtras = 0;
    shotSpeedExtras = 0;
    player->facing = 1;
    player->x = respawnX;
    player->y = respawnY;
    player->vx = 0.0;
    player->vy = 0.0;
    for (int32_t column = 0; column < gridColumns; column++) {
        grid[column][0] = 0;
    }
    GameObject& shipNode = *player->head;
    shipNode.spriteId = playerLeftList->head->spriteId;
    fadeInSprite(shipNode.spriteId, respawnX, respawnY);
    shipNode.blinking = 1;
    shipNode.blinkTimer = respawnBlinkUnits;
    energy = 100.0;
}

void Game::onClockTick()
{
    // Only a running level's clock moves: not while paused, not between levels,
    // and not from a tick that arrives after the timer was stopped.
    if (currentState() != GameState::play || explosionTimer.load(std::memory_order_relaxed) > 0.0 ||
        lives.load(std::memory_order_relaxed) == 0) {
        return;
    }
    const int32_t seconds = clockSeconds.load(std::memory_order_relaxed) - 1;
    const int32_t minutes = clockMinutes.load(std::memory_order_relaxed);
    clockSeconds.store(seconds, std::memory_order_relaxed);
    if (minutes <= 0 && seconds <= 0) {
        // The game thread may have opened the pause since the test above; then
        // the level ends with the first tick after the pause.
        int32_t running = static_cast<int32_t>(GameState::play);
        if (state.compare_exchange_strong(running, static_cast<int32_t>(GameState::levelIntro),
                                          std::memory_order_relaxed)) {
            stopClock();
        }
    } else if (seconds == -1) {
        clockMinutes.store(minutes - 1, std::memory_order_relaxed);
        clockSeconds.store(59, std::memory_order_relaxed);
    }
}

void Game::gameOver()
{
    fadeInSprite(hudSprites->findSprite(gameOverImageKind), 185.0, 200.0);
    waitMs(gameOverWaitMs);
    clearPlayObjects();
    slideOut(*this);
    drawTitleFrame();
    drawPanelFrame();
    slideIn(*this);
    // Keys pressed during the sequence are not a name.
    keyPressed.store(0);
    setState(GameState::enterScore);
}

void Game::clearPlayObjects()
{
    stopClock();
    for (GameObject* block = fallingBlocks->head; block != nullptr; block = block->next) {
        // A block that landed in this pass already belongs to the pile: its cell
        // stays marked, as its image stays in the playfield.
        if (block->column >= 0 && block->column < gridColumns && block->row >= 0 && block->row < gridRows &&
            grid[block->column][block->row] == 2) {
            grid[block->column][block->row] = 0;
        }
    }
    fallingBlocks->clear();
    fallingBlocks->count = 0;
    shots->clear();
    shotsInFlight = 0;
    bubbles->clear();
    debris->clear();
    dust->clear();
    ambientBubbles = 0;
}
