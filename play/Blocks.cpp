// Falling blocks, the landing grid and the extras: where blocks start, how
// they fall, land and pile up, what touches the ship and what a shot hits.
// Game thread only.
#include <cstdint>
#include <cstdlib>
#include <iterator>

#include "game/Game.h"
#include "play/PlaySteps.h"

namespace {

enum BlockKind : int32_t {
    plainBlock = 1,
    shotBlock = 2,
    speedBlock = 3,
    groundBlock = 4,
    energyBlock = 5,
    shotSpeedBlock = 6,
    noExtrasBlock = 7,
};

enum Cell : uint8_t {
    emptyCell = 0,
    landedCell = 1,
    heldCell = 2,
};

constexpr int32_t cellWidth = 32;     // pixels
constexpr int32_t cellHeight = 16;
constexpr int32_t bottomRow = gridRows - 1;
constexpr double bottomRowY = 416.0;  // top edge of the bottom row
constexpr int32_t maxShotsLimit = 10;
constexpr int32_t extrasLimit = 6;
constexpr int32_t plainShotInterval = 50;

// Extras by the value of rand() % 100; every other value is a plain block.
struct ExtraChoice {
    int32_t roll;
    int32_t kind;
    int32_t points;
};

static constexpr ExtraChoice extraChoices[] = {
    {10, shotBlock, 50},
    {20, speedBlock, 50},
    {30, energyBlock, 50},
    {40, shotSpeedBlock, 50},
    {50, noExtrasBlock, 100},
};
static_assert(std::size(extraChoices) == 5);

// Fall speed (pixels per second) from the first level of each band on.
struct SpeedBand {
    int32_t fromLevel;
    double speed;
};

static constexpr SpeedBand speedBands[] = {
    {30, 208.0}, {25, 192.0}, {20, 144.0}, {15, 128.0},
    {10, 112.0}, {6, 96.0},   {3, 64.0},   {1, 48.0},
};
static_assert(std::size(speedBands) == 8);

double fallSpeed(int32_t level)
{
    for (const SpeedBand& band : speedBands) {
        if (level >= band.fromLevel) {
            return band.speed;
        }
    }
    return 48.0;
}

bool insideGrid(int32_t column, int32_t row)
{
    return column >= 0 && column < gridColumns && row >= 0 && row < gridRows;
}

uint8_t cellAt(const Game& game, int32_t column, int32_t row)
{
    return insideGrid(column, row) ? game.grid[column][row] : static_cast<uint8_t>(emptyCell);
}

void setCell(Game& game, int32_t column, int32_t row, uint8_t value)
{
    if (insideGrid(column, row)) {
        game.grid[column][row] = value;
    }
}

bool topRowFull(const Game& game)
{
    for (int32_t column = 0; column < gridColumns; column++) {
        if (game.grid[column][0] == emptyCell) {
            return false;
        }
    }
    return true;
}

void stamp(Game& game, int32_t column, int32_t row)
{
    game.canvas->copySpriteAt(game.playfieldSprite, landedBlockSprite(game), cellWidth * column,
                              cellHeight * row);
}

// A block that has passed the bottom or entered a landed cell settles on the
// pile of its column, or vanishes when the column is full up to row 1.
void sink(Game& game, GameObject& block)
{
    setCell(game, block.column, block.row, emptyCell);
    int32_t restingRow = bottomRow;
    while (restingRow > 1 && cellAt(game, block.column, restingRow) != emptyCell) {
        restingRow--;
    }
    if (cellAt(game, block.column, restingRow) == emptyCell) {
        stamp(game, block.column, restingRow);
        setCell(game, block.column, restingRow, landedCell);
    }
    block.dead = 1;
}

void land(Game& game, GameObject& block, int32_t row)
{
    stamp(game, block.column, row);
    setCell(game, block.column, block.row, emptyCell);
    setCell(game, block.column, row, landedCell);
    block.row = row;
    block.dead = 1;
}

void fallOn(Game& game, GameObject& block, int32_t row)
{
    setCell(game, block.column, block.row, emptyCell);
    setCell(game, block.column, row, heldCell);
    block.row = row;
}

void moveBlock(Game& game, GameObject& block)
{
    block.y += game.frameTime * block.speed;
    const int32_t row = static_cast<int32_t>(block.y) / cellHeight;
    if (block.y > bottomRowY || cellAt(game, block.column, row) == landedCell) {
        sink(game, block);
    } else if (row == bottomRow || cellAt(game, block.column, row + 1) == landedCell) {
        land(game, block, row);
    } else {
        fallOn(game, block, row);
    }
}

void applyExtra(Game& game, int32_t kind)
{
    switch (kind) {
    case shotBlock:
        if (game.maxShots != maxShotsLimit) {
            game.maxShots++;
        }
        break;
    case speedBlock:
        if (game.speedExtras != extrasLimit) {
            game.speedExtras++;
            game.acceleration += 0.5;
        }
        break;
    case energyBlock:
        game.energy += 25.0;
        if (game.energy > 100.0) {
            game.energy = 100.0;
        }
        break;
    case shotSpeedBlock:
        if (game.shotSpeedExtras != extrasLimit) {
            game.shotSpeedExtras++;
            game.shotInterval -= 6;
        }
        break;
    case noExtrasBlock:
        game.shotInterval = plainShotInterval;
        game.maxShots = 1;
        game.acceleration = 0.5;
        game.speedExtras = 0;
        game.shotSpeedExtras = 0;
        break;
    default:
        break;
    }
}

// The first falling block under the shot; blocks already landed or hit in this
// pass are still in the list and still count.
GameObject* fallingBlockUnder(Game& game, const GameObject& shot)
{
    const int32_t ground = landedBlockSprite(game);
    for (GameObject* block = game.fallingBlocks->head; block != nullptr; block = block->next) {
        game.canvas->setSpritePosition(ground, static_cast<int32_t>(block->x), static_cast<int32_t>(block->y));
        if (game.canvas->spritesCollide(shot.spriteId, ground) != 0) {
            return block;
        }
    }
    return nullptr;
}

// The burst goes to the side the ship faces, whichever way the shot flies.
void burst(Game& game, const GameObject& shot)
{
    const bool facingLeft = game.player->facing == 1;
    const double x = facingLeft ? shot.x - 17.0 : shot.x + 17.0;
    game.spawnBubbles(1, x, shot.y, 0, 0);
    game.spawnDebris(facingLeft ? 5 : 6, x, shot.y);
}

}  // namespace

int32_t landedBlockSprite(const Game& record)
{
    return record.blockKinds->findSprite(groundBlock);
}

void Game::spawnFallingBlock()
{
    if (fallingBlocks->count >= maxFallingBlocks || level <= 0) {
        return;
    }
    // A chance of level in 400 per pass.
    if (std::rand() % 400 / level != 1) {
        return;
    }
    if (topRowFull(*this)) {
        return;
    }
    int32_t column = std::rand() % gridColumns;
    while (grid[column][0] != emptyCell) {
        column = std::rand() % gridColumns;
    }
    grid[column][0] = heldCell;
    const int32_t roll = std::rand() % 100;
    int32_t kind = plainBlock;
    int32_t points = level + 24;
    for (const ExtraChoice& choice : extraChoices) {
        if (choice.roll == roll) {
            kind = choice.kind;
            points = choice.points;
        }
    }
    if (fallingBlocks->add(blockKinds->findSprite(kind)) == 0) {
        grid[column][0] = emptyCell;
        return;
    }
    GameObject& block = *fallingBlocks->head;
    block.kind = kind;
    block.points = points;
    block.column = column;
    block.x = static_cast<double>(cellWidth * column);
    block.y = 1.0;
    block.speed = fallSpeed(level);
    block.dead = 0;
    block.row = 0;
    fallingBlocks->count++;
}

int32_t Game::updateFallingBlocks()
{
    int32_t contact = 0;
    const int32_t shipSprite = player->head->spriteId;
    GameObject* block = fallingBlocks->head;
    while (block != nullptr) {
        GameObject* next = block->next;
        if (block->dead == 1) {
            fallingBlocks->count--;
            fallingBlocks->remove(block);
            block = next;
            continue;
        }
        moveBlock(*this, *block);
        // Drawn also in the pass in which it lands or vanishes.
        canvas->drawSprite(block->spriteId, static_cast<int32_t>(block->x), static_cast<int32_t>(block->y), 0);
        if (contact == 0) {
            contact = canvas->spritesCollide(block->spriteId, shipSprite);
        }
        block = next;
    }
    return contact;
}

int32_t shipTouchesLandedBlocks(Game& record)
{
    const int32_t ground = landedBlockSprite(record);
    const int32_t shipSprite = record.player->head->spriteId;
    // Row 0 is never looked at.
    for (int32_t column = 0; column < gridColumns; column++) {
        for (int32_t row = 1; row < gridRows; row++) {
            if (record.grid[column][row] != landedCell) {
                continue;
            }
            record.canvas->setSpritePosition(ground, record.columnX[column], record.rowY[row]);
            if (record.canvas->spritesCollide(ground, shipSprite) != 0) {
                return 1;
            }
        }
    }
    return 0;
}

void testShotHits(Game& record, GameObject* shot)
{
    if (record.fallingBlocks->count != 0) {
        GameObject* block = fallingBlockUnder(record, *shot);
        if (block != nullptr) {
            applyExtra(record, block->kind);
            record.score += static_cast<uint32_t>(block->points);
            burst(record, *shot);
            shot->dead = 1;
            block->dead = 1;
        }
    }
    if (shot->dead != 0) {
        return;
    }
    // A shot flying right stops at the point 11 pixels into it, one flying left
    // at its left edge. At the right edge the column is 20: no block there.
    const int32_t x = static_cast<int32_t>(shot->x);
    const int32_t column = shot->direction == 1 ? x / cellWidth : (x + 11) / cellWidth;
    const int32_t row = (static_cast<int32_t>(shot->y) + 4) / cellHeight;
    if (cellAt(record, column, row) == landedCell) {
        shot->dead = 1;
    }
}
