// The play pass: keys, the ship's flight and glide, shots, and the order in
// which one frame is moved, tested and drawn. Game thread only.
#include <cstdint>

#include "app/App.h"
#include "game/Game.h"
#include "platform/Platform.h"
#include "play/PlaySteps.h"

namespace {

// The ship's top-left corner stays within these (pixels).
constexpr double shipLeft = 0.0;
constexpr double shipRight = 590.0;
constexpr double shipTop = 20.0;
constexpr double shipBottom = 400.0;
// The keys stop adding speed beyond this (pixels per second).
constexpr double keySpeedLimit = 400.0;
constexpr double shotSpeed = 500.0;         // pixels per second
constexpr double cooldownPerSecond = 75.0;  // shotCooldown units
constexpr double blinkPerSecond = 5.0;      // blinkTimer units

// The exhaust puffs once for every 10 pixels of x the ship crosses.
void emitExhaust(Game& game, double x, double y)
{
    if (static_cast<int32_t>(x) % 10 == 0) {
        game.spawnBubbles(1, x, y, 1, 1);
    }
}

void steerHorizontally(Game& game)
{
    ObjectList& ship = *game.player;
    if (platform::keyDown(platform::vk::right)) {
        if (ship.x < shipRight) {
            if (ship.vx < keySpeedLimit) {
                ship.vx += game.acceleration;
            }
            ship.x += game.frameTime * ship.vx;
            emitExhaust(game, ship.x, ship.y + 20.0);
            ship.head->spriteId = game.playerRightList->head->spriteId;
            ship.facing = 0;
            game.movedX = 1;
        }
    } else if (platform::keyDown(platform::vk::left)) {
        if (ship.x > shipLeft) {
            if (ship.vx > -keySpeedLimit) {
                ship.vx -= game.acceleration;
            }
            ship.x += game.frameTime * ship.vx;
            ship.head->spriteId = game.playerLeftList->head->spriteId;
            emitExhaust(game, ship.x + 45.0, ship.y + 20.0);
            ship.facing = 1;
            game.movedX = 1;
        }
    }
}

void steerVertically(Game& game)
{
    ObjectList& ship = *game.player;
    if (platform::keyDown(platform::vk::up)) {
        if (ship.y > shipTop) {
            if (ship.vy > -keySpeedLimit) {
                ship.vy -= game.acceleration;
            }
            ship.y += game.frameTime * ship.vy;
            game.movedY = 1;
        }
    } else if (platform::keyDown(platform::vk::down)) {
        if (ship.y < shipBottom) {
            if (ship.vy < keySpeedLimit) {
                ship.vy += game.acceleration;
            }
            ship.y += game.frameTime * ship.vy;
            game.movedY = 1;
        }
    }
}

// One acceleration step towards rest. Nothing clamps at zero: a velocity that is
// not a whole number of steps keeps crossing it, and the ship creeps on.
void glideAxis(Game& game, double& velocity, double& position, int32_t& moved)
{
    if (moved != 0 || velocity == 0.0) {
        return;
    }
    if (velocity < 0.0) {
        velocity += game.acceleration;
    } else {
        velocity -= game.acceleration;
    }
    position += game.frameTime * velocity;
    moved = 1;
}

void fire(Game& game)
{
    if (game.windowActive.load(std::memory_order_relaxed) != 1 || !platform::keyDown(platform::vk::shift) ||
        game.shotsInFlight >= game.maxShots || game.shotCooldown > 0.0 || game.energy <= 0.0) {
        return;
    }
    const ObjectList& ship = *game.player;
    const int32_t facingLeft = ship.facing == 1 ? 1 : 0;
    const int32_t sprite = facingLeft ? game.shotLeftList->head->spriteId : game.shotRightList->head->spriteId;
    if (game.shots->add(sprite) == 0) {
        return;
    }
    GameObject& shot = *game.shots->head;
    shot.dead = 0;
    shot.direction = ship.facing;
    shot.x = facingLeft ? ship.x : ship.x + 30.0;
    shot.y = ship.y + 20.0;
    game.shotCooldown = game.shotInterval;
    game.shotsInFlight++;
}

// A ship past an edge turns round and takes one step back in.
void bounce(Game& game)
{
    ObjectList& ship = *game.player;
    if (ship.x > shipRight || ship.x < shipLeft) {
        ship.vx = -ship.vx;
        ship.x += game.frameTime * ship.vx;
    }
    if (ship.y > shipBottom || ship.y < shipTop) {
        ship.vy = -ship.vy;
        ship.y += game.frameTime * ship.vy;
    }
}

void drawShip(Game& game)
{
    GameObject& node = *game.player->head;
    const int32_t x = static_cast<int32_t>(game.player->x);
    const int32_t y = static_cast<int32_t>(game.player->y);
    if (node.blinking != 0) {
        node.blinkTimer -= blinkPerSecond * game.frameTime;
        // Shown while the whole units left are even: 0.2 s on, 0.2 s off.
        if (static_cast<int32_t>(node.blinkTimer) % 2 == 0) {
            game.canvas->drawSpriteKeyed(node.spriteId, x, y, 0);
        }
        if (node.blinkTimer <= 0.0) {
            node.blinking = 0;
        }
    } else if (game.energy > 0.0) {
        game.canvas->drawSpriteKeyed(node.spriteId, x, y, 0);
    }
}

// Touching any block drains energy, once per pass, never while blinking.
void drainEnergy(Game& game, int32_t fallingContact)
{
    const int32_t contact = fallingContact != 0 ? 1 : shipTouchesLandedBlocks(game);
    if (contact != 0 && game.player->head->blinking == 0 && game.energy != 0.0) {
        game.energy -= game.frameTime * game.energyDrain;
    }
}

void moveShots(Game& game)
{
    if (game.shotsInFlight <= 0) {
        return;
    }
    const double step = shotSpeed * game.frameTime;
    GameObject* shot = game.shots->head;
    while (shot != nullptr) {
        GameObject* next = shot->next;
        shot->x += shot->direction == 1 ? -step : step;
        if (shot->x > 640.0 || shot->x < 0.0 || shot->dead == 1) {
            game.shots->remove(shot);
            game.shotsInFlight--;
        } else {
            game.canvas->drawSpriteKeyed(shot->spriteId, static_cast<int32_t>(shot->x),
                                         static_cast<int32_t>(shot->y), 0);
            testShotHits(game, shot);
        }
        shot = next;
    }
}

void countDownTimers(Game& game)
{
    if (game.shotCooldown > 0.0) {
        game.shotCooldown -= cooldownPerSecond * game.frameTime;
    }
    // Only this thread writes the timer; the clock tick on the main thread reads it.
    const double explosion = game.explosionTimer.load(std::memory_order_relaxed);
    if (explosion > 0.0) {
        game.explosionTimer.store(explosion - game.frameTime, std::memory_order_relaxed);
    }
}

bool nothingMoves(const Game& game)
{
    return game.movedX == 0 && game.movedY == 0 && game.shotsInFlight == 0 && game.fallingBlocks->count == 0;
}

}  // namespace

void Game::playFrame()
{
    if (currentState() == GameState::paused) {
        return;
    }
    frameTimer->tick();
    frameTime = frameTimer->elapsed();
    if (windowActive.load(std::memory_order_relaxed) == 1) {
        if (platform::keyDown(platform::vk::f8)) {
            pauseMode();
        }
        steerHorizontally(*this);
        steerVertically(*this);
    }
    glideAxis(*this, player->vx, player->x, movedX);
    glideAxis(*this, player->vy, player->y, movedY);
    fire(*this);
    spawnFallingBlock();
    // A resting frame is left on screen as it is: nothing below runs.
    if (nothingMoves(*this)) {
        return;
    }
    bounce(*this);
    canvas->drawSprite(playfieldSprite, 0, 0, 0);
    drawShip(*this);
    drainEnergy(*this, updateFallingBlocks());
    moveShots(*this);
    if (decideShipFate(*this) != 0) {
        return;
    }
    if (score > bestScore) {
        bestScore = score;
    }
    countDownTimers(*this);
    spawnBubbles(0, 0.0, 0.0, 0, 0);
    updateBubbles();
    updateDebris();
    updateDust();
    drawHud();
    canvas->present();
    movedX = 0;
    movedY = 0;
}
