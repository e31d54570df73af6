// Decoration that moves over the play field without touching anything:
// bubbles (and the ship's exhaust), tumbling stone debris, sinking dust.
// Spawned and updated in drawn play passes. Game thread only.
#include <cstdint>
#include <cstdlib>

#include "game/Game.h"

namespace {

enum EffectKind : int32_t {
    whiteBubble = 1,
    blueBubble = 2,
    dustImage = 3,
};

constexpr int32_t bubbleKind = 1;
constexpr int32_t exhaustKind = 3;       // drawn with the dust image, opaque
constexpr double swayPixels = 10.0;      // either side of originX
constexpr double ambientLife = 30000.0;  // ends at the top of the window instead
constexpr double animUnitsPerSecond = 75.0;
constexpr double debrisFramePeriod = 3.0;

void addAmbientBubble(Game& game)
{
    const int32_t image = std::rand() % 2 != 0 ? whiteBubble : blueBubble;
    if (game.bubbles->add(game.effectSprites->findSprite(image)) == 0) {
        return;
    }
    GameObject& bubble = *game.bubbles->head;
    bubble.x = std::rand() % 600 + 20;
    bubble.y = 480 - std::rand() % 40;
    bubble.originX = bubble.x;
    bubble.speed = (std::rand() % 3 + 1) * 60.0;
    bubble.life = ambientLife;
    bubble.kind = bubbleKind;
    bubble.tag = 1;
    bubble.direction = 0;
    game.ambientBubbles++;
}

void spawnAmbient(Game& game)
{
    // At most one group rises at a time.
    if (game.ambientBubbles >= 1 || std::rand() % 800 != 15) {
        return;
    }
    const int32_t count = std::rand() % 4;
    for (int32_t i = 0; i < count; i++) {
        addAmbientBubble(game);
    }
}

void sway(GameObject& bubble, double distance)
{
    if (bubble.direction == 1) {
        bubble.x -= distance;
        if (bubble.originX - bubble.x > swayPixels) {
            bubble.direction = 0;
        }
    } else {
        bubble.x += distance;
        if (bubble.x - bubble.originX > swayPixels) {
            bubble.direction = 1;
        }
    }
}

// One frame on, with wrap-around, in the debris' direction of play.
void animateDebris(GameObject& piece, double units)
{
    if (piece.direction == 1) {
        piece.animTimer -= units;
        if (piece.animTimer < 0.0) {
            piece.tag = piece.tag == 0 ? stoneFrameCount - 1 : piece.tag - 1;
            piece.animTimer = piece.framePeriod;
        }
    } else {
        piece.animTimer += units;
        if (piece.animTimer > piece.framePeriod) {
            piece.tag = piece.tag == stoneFrameCount - 1 ? 0 : piece.tag + 1;
            piece.animTimer = 1.0;
        }
    }
}

int32_t stoneSprite(const Game& game, int32_t frame)
{
    if (frame < 0 || frame >= stoneFrameCount || game.stoneFrame[frame] == nullptr) {
        return 0;
    }
    return game.stoneFrame[frame]->spriteId;
}

}  // namespace

void Game::spawnBubbles(int32_t burst, double x, double y, int32_t count, int32_t dustFlag)
{
    if (burst == 0) {
        spawnAmbient(*this);
        return;
    }
    const int32_t total = count != 0 ? count : std::rand() % 6 + 7;
    const int32_t image = effectSprites->findSprite(dustFlag != 0 ? dustImage : whiteBubble);
    for (int32_t i = 0; i < total; i++) {
        if (bubbles->add(image) == 0) {
            return;
        }
        GameObject& bubble = *bubbles->head;
        bubble.x = x;
        bubble.y = y;
        bubble.originX = x - i;
        bubble.speed = std::rand() % 75 + 45;
        bubble.life = (std::rand() % 20 + 0.1) * 0.1;
        bubble.kind = dustFlag != 0 ? exhaustKind : bubbleKind;
        bubble.tag = 0;
        bubble.direction = 0;
    }
}

void Game::updateBubbles()
{
    GameObject* bubble = bubbles->head;
    while (bubble != nullptr) {
        GameObject* next = bubble->next;
        const double distance = frameTime * bubble->speed;
        sway(*bubble, distance);
        if (bubble->life > 0.0) {
            bubble->life -= 0.5 * frameTime;
        }
        bubble->y -= distance;
        if (bubble->y < 1.0 || bubble->life <= 0.0) {
            if (bubble->tag == 1) {
                ambientBubbles--;
            }
            bubbles->remove(bubble);
        } else if (bubble->kind == exhaustKind) {
            canvas->drawSprite(bubble->spriteId, static_cast<int32_t>(bubble->x), static_cast<int32_t>(bubble->y), 0);
        } else {
            canvas->drawSpriteKeyed(bubble->spriteId, static_cast<int32_t>(bubble->x),
                                    static_cast<int32_t>(bubble->y), 0);
        }
        bubble = next;
    }
}

void Game::spawnDebris(int32_t count, double x, double y)
{
    for (int32_t i = 0; i < count; i++) {
        const int32_t frame = std::rand() % stoneFrameCount;
        if (debris->add(stoneSprite(*this, frame)) == 0) {
            return;
        }
        GameObject& piece = *debris->head;
        piece.x = x - frame;
        piece.y = y + frame;
        piece.speed = (std::rand() % 4 + 1) * 40.0;
        piece.life = std::rand() % 3 + 2;
        piece.tag = frame;
        piece.framePeriod = debrisFramePeriod;
        piece.animTimer = std::rand() % 30;
        piece.direction = std::rand() % 2;
    }
}

void Game::updateDebris()
{
    GameObject* piece = debris->head;
    while (piece != nullptr) {
        GameObject* next = piece->next;
        piece->y += frameTime * piece->speed;
        piece->life -= frameTime;
        if (piece->y > 480.0 || piece->life < 0.0) {
            spawnDust(piece->x, piece->y, piece->speed / 1.5);
            debris->remove(piece);
        } else {
            animateDebris(*piece, animUnitsPerSecond * frameTime);
            piece->spriteId = stoneSprite(*this, piece->tag);
            canvas->drawSpriteKeyed(piece->spriteId, static_cast<int32_t>(piece->x),
                                    static_cast<int32_t>(piece->y), 0);
        }
        piece = next;
    }
}

void Game::spawnDust(double x, double y, double speedFactor)
{
    const int32_t image = effectSprites->findSprite(dustImage);
    for (int32_t i = 0; i < 3; i++) {
        if (dust->add(image) == 0) {
            return;
        }
        GameObject& puff = *dust->head;
        puff.x = x + 4 * i;
        puff.y = y;
        puff.speed = (std::rand() % 4 + 1) * speedFactor;
        puff.life = std::rand() % 4 + 1;
    }
}

void Game::updateDust()
{
    GameObject* puff = dust->head;
    while (puff != nullptr) {
        GameObject* next = puff->next;
        puff->y += frameTime * puff->speed;
        puff->life -= frameTime;
        if (puff->y > 480.0 || puff->life <= 0.0) {
            dust->remove(puff);
        } else {
            canvas->drawSprite(puff->spriteId, static_cast<int32_t>(puff->x), static_cast<int32_t>(puff->y), 0);
        }
        puff = next;
    }
}
