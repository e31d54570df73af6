#include <gtest/gtest.h>

#include "PlayFixture.h"

namespace {

using namespace playtest;

using Particles = PlayTest;

int32_t countOf(const ObjectList& list)
{
    int32_t count = 0;
    for (const GameObject* node = list.head; node != nullptr; node = node->next) {
        count++;
    }
    return count;
}

TEST_F(Particles, OneGroupOfAmbientBubblesAtATime)
{
    game.ambientBubbles = 1;
    for (int32_t call = 0; call < 20000; call++) {
        game.spawnBubbles(0, 0.0, 0.0, 0, 0);
    }
    EXPECT_EQ(game.bubbles->head, nullptr);

    game.ambientBubbles = 0;
    for (int32_t call = 0; call < 100000 && game.ambientBubbles == 0; call++) {
        game.spawnBubbles(0, 0.0, 0.0, 0, 0);
    }
    ASSERT_EQ(game.ambientBubbles, countOf(*game.bubbles));
    ASSERT_GE(game.ambientBubbles, 1);
    ASSERT_LE(game.ambientBubbles, 3);
    for (const GameObject* bubble = game.bubbles->head; bubble != nullptr; bubble = bubble->next) {
        EXPECT_EQ(bubble->tag, 1);
        EXPECT_EQ(bubble->originX, bubble->x);
        EXPECT_GE(bubble->x, 20.0);
        EXPECT_LT(bubble->x, 620.0);
        EXPECT_GT(bubble->y, 440.0);
    }
    const int32_t alive = game.ambientBubbles;
    for (int32_t call = 0; call < 20000; call++) {
        game.spawnBubbles(0, 0.0, 0.0, 0, 0);
    }
    EXPECT_EQ(countOf(*game.bubbles), alive);

    // Reaching the top of the window ends them and frees the count.
    game.frameTime = 0.01f;
    for (int32_t step = 0; step < 1000 && game.bubbles->head != nullptr; step++) {
        game.updateBubbles();
    }
    EXPECT_EQ(game.bubbles->head, nullptr);
    EXPECT_EQ(game.ambientBubbles, 0);
}

TEST_F(Particles, BurstBubblesSwayRiseAndEndWithinFourSeconds)
{
    game.spawnBubbles(1, 300.0, 400.0, 0, 0);
    const int32_t count = countOf(*game.bubbles);
    EXPECT_GE(count, 7);
    EXPECT_LE(count, 12);
    game.frameTime = 0.01f;
    game.updateBubbles();
    EXPECT_EQ(countOf(*game.bubbles), count);   // the shortest life is 0.02 s
    for (const GameObject* bubble = game.bubbles->head; bubble != nullptr; bubble = bubble->next) {
        EXPECT_LT(bubble->y, 400.0);
    }
    for (int32_t step = 0; step < 382; step++) {
        game.updateBubbles();
    }
    EXPECT_EQ(game.bubbles->head, nullptr);      // 3.82 s is the longest life
}

TEST_F(Particles, TheExhaustIsOneOpaqueDustParticle)
{
    const int32_t dust = game.effectSprites->findSprite(3);
    game.spawnBubbles(1, 200.0, 250.0, 1, 1);
    ASSERT_EQ(countOf(*game.bubbles), 1);
    EXPECT_EQ(game.bubbles->head->kind, 3);
    EXPECT_EQ(game.bubbles->head->spriteId, dust);
    game.frameTime = 0.01f;
    game.canvas->drawSprite(game.playfieldSprite, 0, 0, 0);
    game.updateBubbles();
    game.canvas->present();
    const GameObject& puff = *game.bubbles->head;
    EXPECT_LT(puff.y, 250.0);
    EXPECT_GT(puff.x, 200.0);   // every bubble starts swaying right
    // Opaque: every pixel of the image is on screen, magenta ones included.
    const Sprite& image = spriteOf(dust);
    EXPECT_EQ(headless::windowPixel(static_cast<int32_t>(puff.x), static_cast<int32_t>(puff.y)),
              image.image->pixels[0]);
}

TEST_F(Particles, EndingDebrisLeavesThreeDustPuffs)
{
    struct EndCase {
        double y;
        double life;
    };
    for (const EndCase& end : {EndCase{479.9, 3.0}, EndCase{300.0, 0.005}}) {
        game.clearPlayObjects();
        game.spawnDebris(1, 120.0, 100.0);
        GameObject& piece = *game.debris->head;
        piece.y = end.y;
        piece.life = end.life;
        piece.speed = 90.0;
        const double lastX = piece.x;
        game.frameTime = 0.01f;
        game.updateDebris();
        EXPECT_EQ(game.debris->head, nullptr);
        ASSERT_EQ(countOf(*game.dust), 3);
        EXPECT_EQ(game.dust->head->next->next->x, lastX);   // the oldest puff, at the piece
        for (const GameObject* puff = game.dust->head; puff != nullptr; puff = puff->next) {
            EXPECT_NEAR(puff->y, end.y + 0.9, 1e-4);
            EXPECT_GE(puff->speed, 60.0);   // (1 to 4) × 90 / 1.5
            EXPECT_LE(puff->speed, 240.0);
            EXPECT_GE(puff->life, 1.0);
            EXPECT_LE(puff->life, 4.0);
            if (puff->next != nullptr) {
                EXPECT_EQ(puff->x - puff->next->x, 4.0);
            }
        }
    }
}

struct AnimCase {
    int32_t direction;
    int32_t frame;
    double timer;
    double units;          // 75 × frameTime
    int32_t frameAfter;
    double timerAfter;
};

TEST_F(Particles, DebrisFramesStepBothWaysAndWrap)
{
    const AnimCase cases[] = {
        {1, 0, 0.5, 0.75, 19, 3.0},    // backwards below 0: frame 0 wraps to 19
        {1, 7, 0.5, 0.25, 7, 0.25},
        {0, 19, 2.5, 0.75, 0, 1.0},    // forwards past 3: frame 19 wraps to 0
        {0, 7, 1.0, 0.75, 7, 1.75},
    };
    for (const AnimCase& anim : cases) {
        game.clearPlayObjects();
        game.spawnDebris(1, 100.0, 100.0);
        GameObject& piece = *game.debris->head;
        piece.direction = anim.direction;
        piece.tag = anim.frame;
        piece.animTimer = anim.timer;
        piece.life = 3.0;
        piece.speed = 40.0;
        game.frameTime = static_cast<float>(anim.units / 75.0);
        game.updateDebris();
        EXPECT_EQ(piece.tag, anim.frameAfter) << anim.direction << " " << anim.frame;
        EXPECT_NEAR(piece.animTimer, anim.timerAfter, 1e-6) << anim.direction << " " << anim.frame;
        EXPECT_EQ(piece.spriteId, game.stoneFrame[anim.frameAfter]->spriteId);
    }
}

TEST_F(Particles, DustSinksAndEnds)
{
    game.spawnDust(50.0, 400.0, 10.0);
    ASSERT_EQ(countOf(*game.dust), 3);
    game.frameTime = 0.5f;
    game.updateDust();   // at most 40 px/s, and every puff lives 1 s or more
    EXPECT_EQ(countOf(*game.dust), 3);
    game.frameTime = 4.0f;
    game.updateDust();
    EXPECT_EQ(game.dust->head, nullptr);
}

}  // namespace
