#include <gtest/gtest.h>

#include <algorithm>

#include "PlayFixture.h"
#include "play/PlaySteps.h"

namespace {

using namespace playtest;

using Blocks = PlayTest;

// A pass in which the ship cannot lose energy, so that long runs stay in play.
void shieldedPass(int64_t ms)
{
    game.player->head->blinking = 1;
    game.player->head->blinkTimer = 1000.0;
    pass(ms);
}

// Marks every top cell but one as held, so that blocks start only in that column.
void onlyColumnFree(int32_t free)
{
    for (int32_t column = 0; column < gridColumns; column++) {
        game.grid[column][0] = column == free ? 0 : 2;
    }
}

GameObject& placeBlock(int32_t kind, int32_t column, double y, int32_t points)
{
    EXPECT_EQ(game.fallingBlocks->add(game.blockKinds->findSprite(kind)), 1);
    GameObject& block = *game.fallingBlocks->head;
    block.kind = kind;
    block.points = points;
    block.column = column;
    block.x = 32.0 * column;
    block.y = y;
    block.row = static_cast<int32_t>(y) / 16;
    block.speed = 48.0;
    block.dead = 0;
    game.grid[column][block.row] = 2;
    game.fallingBlocks->count++;
    return block;
}

GameObject& placeShot(double x, double y, int32_t direction)
{
    const int32_t image = direction == 1 ? game.shotLeftList->head->spriteId : game.shotRightList->head->spriteId;
    EXPECT_EQ(game.shots->add(image), 1);
    GameObject& shot = *game.shots->head;
    shot.x = x;
    shot.y = y;
    shot.direction = direction;
    shot.dead = 0;
    game.shotsInFlight++;
    game.canvas->setSpritePosition(image, static_cast<int32_t>(x), static_cast<int32_t>(y));
    return shot;
}

bool stampedAt(int32_t x, int32_t y)
{
    const Sprite& ground = spriteOf(landedBlockSprite(game));
    const Surface& field = *spriteOf(game.playfieldSprite).image;
    for (int32_t row = 0; row < static_cast<int32_t>(ground.height); row++) {
        for (int32_t column = 0; column < static_cast<int32_t>(ground.width); column++) {
            if (field.pixels[(y + row) * field.width + x + column] !=
                ground.image->pixels[row * ground.image->width + column]) {
                return false;
            }
        }
    }
    return true;
}

struct LimitCase {
    int32_t levelBefore;
    int32_t limit;
};

TEST_F(Blocks, NoMoreBlocksFallThanTheLevelAllows)
{
    for (const LimitCase& limit : {LimitCase{0, 5}, LimitCase{9, 10}}) {
        game.level = limit.levelBefore;
        game.clearPlayObjects();
        game.levelIntro();
        // The block steps of 6000 play passes of 2 ms, without the rest of the frame.
        game.frameTime = 0.002f;
        int32_t most = 0;
        for (int32_t step = 0; step < 6000; step++) {
            game.spawnFallingBlock();
            (void)game.updateFallingBlocks();
            most = std::max(most, game.fallingBlocks->count);
            int32_t listed = 0;
            for (GameObject* block = game.fallingBlocks->head; block != nullptr; block = block->next) {
                listed++;
            }
            ASSERT_EQ(listed, game.fallingBlocks->count);
        }
        EXPECT_EQ(most, limit.limit) << "level " << game.level;
    }
}

TEST_F(Blocks, NewBlocksOnlyWhereTheTopCellIsFree)
{
    game.maxFallingBlocks = 5;
    for (int32_t column = 0; column < gridColumns; column++) {
        game.grid[column][0] = 2;
    }
    for (int32_t step = 0; step < 4000; step++) {
        game.spawnFallingBlock();
    }
    EXPECT_EQ(game.fallingBlocks->count, 0);

    game.grid[13][0] = 0;
    for (int32_t step = 0; step < 4000 && game.fallingBlocks->count == 0; step++) {
        game.spawnFallingBlock();
    }
    ASSERT_EQ(game.fallingBlocks->count, 1);
    const GameObject& block = *game.fallingBlocks->head;
    EXPECT_EQ(block.column, 13);
    EXPECT_EQ(block.x, 416.0);
    EXPECT_EQ(block.y, 1.0);
    EXPECT_EQ(block.speed, 48.0);
    EXPECT_EQ(game.grid[13][0], 2);
}

TEST_F(Blocks, BlocksSettleOnTheBottomAndThenOnEachOther)
{
    onlyColumnFree(3);
    game.maxFallingBlocks = 1;
    for (int32_t step = 0; step < 20000 && game.grid[3][26] != 1; step++) {
        shieldedPass(10);
    }
    ASSERT_EQ(game.grid[3][26], 1);
    EXPECT_TRUE(stampedAt(96, 416));
    for (int32_t step = 0; step < 20000 && game.grid[3][25] != 1; step++) {
        shieldedPass(10);
    }
    ASSERT_EQ(game.grid[3][25], 1);
    EXPECT_TRUE(stampedAt(96, 400));
    shieldedPass(2);   // the landed block leaves the list in the next update
    EXPECT_EQ(game.fallingBlocks->count, 0);
    for (int32_t row = 1; row < 25; row++) {
        EXPECT_EQ(game.grid[3][row], 0) << row;
    }
}

TEST_F(Blocks, TwoBlocksCloseTogetherBothLand)
{
    placeBlock(1, 7, 380.0, 25);
    placeBlock(1, 7, 363.0, 25);
    for (int32_t step = 0; step < 2000 && game.fallingBlocks->count > 0; step++) {
        shieldedPass(2);
    }
    EXPECT_EQ(game.fallingBlocks->count, 0);
    EXPECT_EQ(game.grid[7][26], 1);
    EXPECT_EQ(game.grid[7][25], 1);
    EXPECT_EQ(game.grid[7][24], 0);
    EXPECT_TRUE(stampedAt(224, 416));
    EXPECT_TRUE(stampedAt(224, 400));
}

struct ExtraCase {
    const char* what;
    int32_t kind;
    int32_t points;
    int32_t maxShotsBefore, maxShots;
    int32_t speedExtrasBefore, speedExtras;
    double acceleration;            // from 1.0
    double energyBefore, energy;
    int32_t shotSpeedExtrasBefore, shotSpeedExtras;
    int32_t shotInterval;           // from 38
};

const ExtraCase extraCases[] = {
    {"plain", 1, 25, 3, 3, 2, 2, 1.0, 50.0, 50.0, 2, 2, 38},
    {"one more shot", 2, 50, 3, 4, 2, 2, 1.0, 50.0, 50.0, 2, 2, 38},
    {"shots already at 10", 2, 50, 10, 10, 2, 2, 1.0, 50.0, 50.0, 2, 2, 38},
    {"speed", 3, 50, 3, 3, 2, 3, 1.5, 50.0, 50.0, 2, 2, 38},
    {"speed already at 6", 3, 50, 3, 3, 6, 6, 1.0, 50.0, 50.0, 2, 2, 38},
    {"energy", 5, 50, 3, 3, 2, 2, 1.0, 50.0, 75.0, 2, 2, 38},
    {"energy capped at 100", 5, 50, 3, 3, 2, 2, 1.0, 90.0, 100.0, 2, 2, 38},
    {"shot speed", 6, 50, 3, 3, 2, 2, 1.0, 50.0, 50.0, 2, 3, 32},
    {"shot speed already at 6", 6, 50, 3, 3, 2, 2, 1.0, 50.0, 50.0, 6, 6, 38},
    {"all extras lost", 7, 100, 3, 1, 2, 0, 0.5, 50.0, 50.0, 2, 0, 50},
};

TEST_F(Blocks, ShotBlocksGivePointsAndExtras)
{
    for (const ExtraCase& extra : extraCases) {
        arrangeLevel();
        game.score = 1000;
        game.maxShots = extra.maxShotsBefore;
        game.speedExtras = extra.speedExtrasBefore;
        game.acceleration = 1.0;
        game.energy = extra.energyBefore;
        game.shotSpeedExtras = extra.shotSpeedExtrasBefore;
        game.shotInterval = 38;
        GameObject& block = placeBlock(extra.kind, 10, 208.0, extra.points);
        GameObject& shot = placeShot(325.0, 210.0, 0);
        testShotHits(game, &shot);
        EXPECT_EQ(shot.dead, 1) << extra.what;
        EXPECT_EQ(block.dead, 1) << extra.what;
        EXPECT_EQ(game.score, 1000u + extra.points) << extra.what;
        EXPECT_EQ(game.maxShots, extra.maxShots) << extra.what;
        EXPECT_EQ(game.speedExtras, extra.speedExtras) << extra.what;
        EXPECT_EQ(game.acceleration, extra.acceleration) << extra.what;
        EXPECT_EQ(game.energy, extra.energy) << extra.what;
        EXPECT_EQ(game.shotSpeedExtras, extra.shotSpeedExtras) << extra.what;
        EXPECT_EQ(game.shotInterval, extra.shotInterval) << extra.what;
    }
}

TEST_F(Blocks, AHitBurstsToTheSideTheShipFaces)
{
    for (int32_t facing : {0, 1}) {
        arrangeLevel();
        game.player->facing = facing;
        placeBlock(1, 10, 208.0, 25);
        GameObject& shot = placeShot(325.0, 210.0, 0);   // flying right either way
        testShotHits(game, &shot);
        const double burstX = facing == 1 ? 308.0 : 342.0;
        int32_t pieces = 0;
        for (const GameObject* piece = game.debris->head; piece != nullptr; piece = piece->next) {
            EXPECT_EQ(piece->x + piece->tag, burstX);
            EXPECT_EQ(piece->y - piece->tag, 210.0);
            pieces++;
        }
        EXPECT_EQ(pieces, facing == 1 ? 5 : 6);
        int32_t bubbles = 0;
        for (const GameObject* bubble = game.bubbles->head; bubble != nullptr; bubble = bubble->next) {
            EXPECT_EQ(bubble->x, burstX);
            bubbles++;
        }
        EXPECT_GE(bubbles, 7);
        EXPECT_LE(bubbles, 12);
    }
}

struct StopCase {
    double x;
    int32_t direction;
    bool stops;
};

TEST_F(Blocks, ShotsStopAtLandedBlocks)
{
    // A landed block in column 5 (x 160 to 191), row 13 (y 208 to 223).
    const StopCase cases[] = {
        {191.0, 1, true},  {192.0, 1, false}, {160.0, 1, true},   // left edge decides
        {149.0, 0, true},  {148.0, 0, false}, {180.0, 0, true},   // 11 pixels in decides
        {181.0, 0, false},
    };
    for (const StopCase& stop : cases) {
        game.shots->clear();
        game.shotsInFlight = 0;
        game.grid[5][13] = 1;
        GameObject& shot = placeShot(stop.x, 205.0, stop.direction);   // row (205 + 4) / 16 = 13
        testShotHits(game, &shot);
        EXPECT_EQ(shot.dead == 1, stop.stops) << stop.x << " direction " << stop.direction;
        EXPECT_EQ(game.grid[5][13], 1);
    }
    // Past the grid: the right edge is column 20, below the pile row 27.
    game.grid[19][13] = 1;
    GameObject& edge = placeShot(630.0, 205.0, 0);
    testShotHits(game, &edge);
    EXPECT_EQ(edge.dead, 0);
    GameObject& low = placeShot(100.0, 430.0, 1);
    testShotHits(game, &low);
    EXPECT_EQ(low.dead, 0);
}

TEST_F(Blocks, TouchingBlocksDrainsEnergyOncePerPassButNotWhileBlinking)
{
    // The ship at (300, 210) over a patch of landed blocks.
    for (int32_t column = 8; column <= 11; column++) {
        for (int32_t row = 12; row <= 15; row++) {
            game.grid[column][row] = 1;
        }
    }
    game.acceleration = 1.5;
    game.player->vx = 1.0;   // a creeping ship keeps every pass drawn
    pass(2);
    pass(10);
    EXPECT_NEAR(game.energy, 100.0 - 50.0 * 0.012, 1e-4);

    game.player->head->blinking = 1;
    game.player->head->blinkTimer = 30.0;
    const double before = game.energy;
    pass(10);
    pass(10);
    EXPECT_EQ(game.energy, before);
}

TEST_F(Blocks, FallingBlocksTouchingTheShipDrainToo)
{
    placeBlock(1, 9, 215.0, 25);
    pass(2);   // ship drawn at (300, 210), block moved on by 0.1 px
    pass(10);
    EXPECT_LT(game.energy, 100.0);
    EXPECT_NEAR(game.energy, 100.0 - 50.0 * 0.012, 1e-4);
}

}  // namespace
