// The help, credits and thanks pages of the title screen, fading in and out by
// fadeLevel through the back buffer's fade colour. Game thread.
#include "game/InfoPages.h"

#include <iterator>

#include "game/Game.h"

namespace {

// fadeLevel units per second: a whole fade from 255 to 0 takes about 0.73 s.
constexpr double fadeUnitsPerSecond = 350.0;
constexpr double fadeInvisible = 255.0;

// Each line steps 20 pixels down and 10 right from the one before: a diagonal list.
constexpr PageLine helpLines[] = {
    {"karvex symbols:", 70, 180},
    {"just a block to destroy...25 points + 1 level-point", 110, 200},
    {"one more shot...50 points", 120, 220},
    {"better handling and speed for your ship...50 points", 130, 240},
    {"fill up your energy...50 points", 140, 260},
    {"your ship get a faster shot intervall...50 points", 150, 280},
    {"all your extras are lost!...100 points", 160, 300},
    {"in the game press f8 for pause-mode.", 195, 350},
};
static_assert(std::size(helpLines) == 8);

constexpr HelpBlock helpBlocks[] = {
    {1, 70, 200},    // plain block
    {2, 80, 220},    // one more shot
    {3, 90, 240},    // speed
    {5, 100, 260},   // energy
    {6, 110, 280},   // shot speed
    {7, 120, 300},   // no extras
};
static_assert(std::size(helpBlocks) == 6);

constexpr PageLine creditsLines[] = {
    {"karvex programmers and designers", 210, 180},
    {"the karvex development team", 215, 230},
    {"code and graphics", 260, 245},
    {"the karvex tune generator", 210, 270},
    {"the c64 style music", 257, 285},
    {"visit the karvex source: it comes with the game", 208, 330},
};
static_assert(std::size(creditsLines) == 6);

constexpr PageLine thanksLines[] = {
    {"1000 thanx goes out to the zark members:", 70, 180},
    {"every karvex player: the blocks still fall faster than we shoot,", 70, 205},
    {"when will we play better, eh? :)", 70, 220},
    {"the karvex tune generator: thanks for the c64 style tune of this game", 70, 245},
    {"sdl: thanks for the window, the keys and the sound on every desktop", 70, 270},
    {"debian: thanks for the system and the tools this game was built with", 70, 295},
    {"special thanks to the fasttracker 2 makers for xm: what comes next?", 70, 320},
};
static_assert(std::size(thanksLines) == 7);

// Steps fadeLevel one pass towards full strength (mode 1) or invisible (mode 0) and
// sets the matching grey as the fade colour; false when the fade had already ended
// and the colour was left alone.
bool stepFade(Game& game, int32_t mode, Colour& previous)
{
    const double step = fadeUnitsPerSecond * static_cast<double>(game.frameTime);
    if (mode == 1 && game.fadeLevel > 0.0) {
        game.fadeLevel -= step;
    } else if (mode == 0 && game.fadeLevel < fadeInvisible) {
        game.fadeLevel += step;
    } else {
        return false;
    }
    // A step past either end draws at that end, not wrapped or out of range.
    double level = game.fadeLevel < 0.0 ? 0.0 : game.fadeLevel > fadeInvisible ? fadeInvisible : game.fadeLevel;
    const uint32_t grey = static_cast<uint32_t>(level);
    previous = game.canvas->setFadeColour(grey | grey << 8 | grey << 16);
    return true;
}

void drawLines(Game& game, std::span<const PageLine> lines)
{
    for (const PageLine& line : lines) {
        game.drawText(line.text, line.x, line.y);
    }
}

// One pass of a fading page: the fade step, then the page unless it is invisible.
template <typename DrawContent>
void drawFadingPage(Game& game, int32_t mode, DrawContent drawContent)
{
    Colour previous = 0;
    const bool changed = stepFade(game, mode, previous);
    if (game.fadeLevel < fadeInvisible) {
        drawContent();
    }
    if (changed) {
        game.canvas->setFadeColour(previous);
    }
}

}  // namespace

std::span<const PageLine> helpPageLines()
{
    return helpLines;
}

std::span<const HelpBlock> helpPageBlocks()
{
    return helpBlocks;
}

std::span<const PageLine> creditsPageLines()
{
    return creditsLines;
}

std::span<const PageLine> thanksPageLines()
{
    return thanksLines;
}

void Game::drawHelpPage(int32_t mode)
{
    drawFadingPage(*this, mode, [this] {
        drawLines(*this, helpLines);
        for (const HelpBlock& block : helpBlocks) {
            canvas->drawSpriteKeyed(static_cast<uint32_t>(blockKinds->findSprite(block.kind)), block.x, block.y, 0);
        }
    });
}

void Game::drawCreditsPage(int32_t mode)
{
    drawFadingPage(*this, mode, [this] { drawLines(*this, creditsLines); });
}

void Game::drawThanksPage(int32_t mode)
{
    drawFadingPage(*this, mode, [this] { drawLines(*this, thanksLines); });
}
