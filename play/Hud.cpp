// The heads-up display over the top and bottom of the play field, and the
// pause that freezes play until F8 comes again. Game thread only.
#include <cstdint>
#include <cstdio>

#include "app/App.h"
#include "game/Game.h"
#include "platform/Platform.h"

namespace {

enum HudKind : int32_t {
    hudTop = 1,
    energyBar = 2,
    lightLine = 3,
    hudBottom = 4,
};

constexpr double lightLineSpeed = 60.0;   // pixels per second, right to left
constexpr int32_t pauseOpenWaitMs = 200;  // lets the F8 press that opened the pause end
constexpr int32_t pauseCloseWaitMs = 100;

void drawCounters(Game& game)
{
    char text[32];
    std::snprintf(text, sizeof text, "%06u", static_cast<unsigned>(game.score));
    game.drawText(text, 60.0, 3.0);
    std::snprintf(text, sizeof text, "%06u", static_cast<unsigned>(game.bestScore));
    game.drawText(text, 190.0, 3.0);
    std::snprintf(text, sizeof text, "%d:%02d", game.clockMinutes.load(std::memory_order_relaxed),
                  game.clockSeconds.load(std::memory_order_relaxed));
    game.drawText(text, 360.0, 3.0);
}

void drawLightsAndLives(Game& game)
{
    Canvas& canvas = *game.canvas;
    for (int32_t i = 0; i < game.speedExtras; i++) {
        canvas.drawSprite(game.ledSprite, 496 + 13 * i, 438, 0);
    }
    for (int32_t i = 0; i < game.shotSpeedExtras; i++) {
        canvas.drawSprite(game.ledSprite, 496 + 13 * i, 458, 0);
    }
    const int32_t lifeShip = game.playerLeftList->head->spriteId;
    const int32_t lives = game.lives.load(std::memory_order_relaxed);
    for (int32_t i = 0; i < lives; i++) {
        canvas.drawSpriteKeyed(lifeShip, 280 + 16 * i, 440, 0);
    }
}

}  // namespace

void Game::drawHud()
{
    Canvas& screen = *canvas;
    lightlinePos -= lightLineSpeed * frameTime;
    screen.drawSprite(hudSprites->findSprite(hudTop), 0, 0, 0);
    if (energy < 0.0) {
        energy = 0.0;
    }
    screen.drawSpriteStretched(hudSprites->findSprite(energyBar), 536, 2, static_cast<int32_t>(energy), 10, 0);
    const int32_t line = hudSprites->findSprite(lightLine);
    const int32_t lineX = static_cast<int32_t>(lightlinePos);
    screen.drawSprite(line, lineX, 0, 0);
    screen.drawSprite(line, 576 - lineX, 14, 0);
    if (lightlinePos < -64.0) {
        lightlinePos = 640.0;
    }
    screen.drawSprite(hudSprites->findSprite(hudBottom), 0, 432, 0);
    drawCounters(*this);
    drawLightsAndLives(*this);
}

void Game::pauseMode()
{
    // Opened only from a running level: a clock tick may have ended it during this pass.
    int32_t running = static_cast<int32_t>(GameState::play);
    if (!state.compare_exchange_strong(running, static_cast<int32_t>(GameState::paused),
                                       std::memory_order_relaxed)) {
        return;
    }
    drawText("pause mode", 290.0, 225.0);
    waitMs(pauseOpenWaitMs);
    // Paced like a play pass, so that a pause does not keep a core busy.
    int64_t nextTurnCount = platform::performanceCounter();
    while (quitRequested.load() == 0 &&
           !(windowActive.load(std::memory_order_relaxed) == 1 && platform::keyDown(platform::vk::f8))) {
        frameTimer->tick();
        frameTime = frameTimer->elapsed();
        drawHud();
        canvas->present();
        paceGameThread(nextTurnCount);
    }
    waitMs(pauseCloseWaitMs);
    setState(GameState::play);
}
