// One pass of the title screen: the fixed frame, the blue panel with its swinging
// raster bars, the prompt and the page cycle of credits, help, highscores and
// thanks. Game thread.
#include "game/Game.h"

#include <iterator>

#include "platform/Platform.h"

namespace {

// Values of titlePage; 4 and 5 are never set and draw nothing.
constexpr int32_t pageHelp = 1;
constexpr int32_t pageHighscores = 2;
constexpr int32_t pageThanks = 3;
constexpr int32_t pageCredits = 6;

// Seconds on a page: the text fades in after fadeInFrom, out after fadeOutFrom,
// and the page is switched once fadedBy has passed.
constexpr double fadeInFromSeconds = 1.0;
constexpr double fadeOutFromSeconds = 15.0;
constexpr double fadeOutUntilSeconds = 30.0;
constexpr double fadedBySeconds = 17.0;

// A raster bar steps one entry of barWave each time this many raw counter units
// have passed: about 9.3 ms with a counter of 3,579,545 counts per second.
constexpr double barStepCounts = 33333.0;
constexpr double barCentreY = 260.0;
constexpr int32_t barX = 48;

// The three fading pages in the order of the cycle; the highscore page between help
// and thanks slides instead of fading and is handled on its own.
struct FadingPage {
    int32_t page;
    void (Game::*draw)(int32_t mode);
    int32_t nextPage;
    double nextPageSeconds;
    bool waitsForRowsHome;   // credits also wait until the highscore rows have slid out
};

constexpr FadingPage fadingPages[] = {
    {pageCredits, &Game::drawCreditsPage, pageHelp, 0.0, true},
    {pageHelp, &Game::drawHelpPage, pageHighscores, 1.0, false},
    {pageThanks, &Game::drawThanksPage, pageCredits, 0.0, false},
};
static_assert(std::size(fadingPages) == 3);

uint32_t spriteOf(const GameObject* entry)
{
    return entry != nullptr ? static_cast<uint32_t>(entry->spriteId) : 0;
}

bool firstRowHome(const Game& game)
{
    return game.highscores.rows[0].slideX == game.highscores.rows[0].homeX;
}

void runFadingPage(Game& game, const FadingPage& page)
{
    double t = game.pageTime;
    if (t > fadeInFromSeconds && t <= fadeOutFromSeconds) {
        (game.*page.draw)(1);
    } else if (t > fadeOutFromSeconds && t < fadeOutUntilSeconds) {
        (game.*page.draw)(0);
    }
    if (t > fadedBySeconds && (!page.waitsForRowsHome || firstRowHome(game))) {
        game.titlePage = page.nextPage;
        game.pageTime = page.nextPageSeconds;
        game.fadeLevel = 255.0;
    }
}

// The rows slide in and wait while the page is young or a name is being typed,
// then slide home; the cycle goes on once row 1 is home again.
void runHighscorePage(Game& game)
{
    bool typing = game.nameEntryRow != 0;
    double t = game.pageTime;
    if (typing || (t >= fadeInFromSeconds && t <= fadeOutFromSeconds)) {
        game.drawHighscorePage(1);
    } else if (t > fadeOutFromSeconds) {
        game.drawHighscorePage(2);
    }
    if (firstRowHome(game)) {
        game.titlePage = pageThanks;
        game.pageTime = 0.0;
    }
}

void runPageCycle(Game& game)
{
    if (game.titlePage == pageHighscores) {
        runHighscorePage(game);
    } else {
        for (const FadingPage& page : fadingPages) {
            if (page.page == game.titlePage) {
                runFadingPage(game, page);
                break;
            }
        }
    }
    game.pageTime += game.frameTime;
}

}  // namespace

void Game::runTitleScreen()
{
    frameTimer->tick();
    frameTime = frameTimer->elapsed();
    if (titleFrameDrawn == 0) {
        drawTitleFrame();
    }
    canvas->drawSprite(spriteOf(titlePanel), 44, 160, 0);
    drawTitleBars();
    drawPanelFrame();
    if (nameEntryRow != 0) {
        drawText("please enter your name", 245, 380);
    } else {
        drawText("press space to play", 255, 380);
    }
    runPageCycle(*this);
    canvas->present();
    // Space is read from the key state, not from key messages, and never while a name is typed.
    if (platform::keyDown(platform::vk::space) && nameEntryRow == 0 &&
        windowActive.load(std::memory_order_relaxed) == 1) {
        clearPlayObjects();
        titleFrameDrawn = 0;
        startNewGame();
    }
}

void Game::drawTitleFrame()
{
    canvas->drawSprite(spriteOf(titleTop), 0, 0, 0);
    canvas->drawSprite(spriteOf(titleBottom), 0, 406, 0);
    drawText("version 1.1", 550, 120);
    titleFrameDrawn = 1;
}

void Game::drawPanelFrame()
{
    canvas->drawSpriteKeyed(spriteOf(borderLeft), 0, 131, 0);
    canvas->drawSpriteKeyed(spriteOf(borderRight), 556, 131, 0);
    canvas->drawSprite(spriteOf(borderTop), 80, 131, 0);
    canvas->drawSprite(spriteOf(borderBottom), 80, 370, 0);
}

// Bar 7 is the list's head and is drawn first, so bar 0 lies on top.
void Game::drawTitleBars()
{
    const double now = static_cast<double>(frameTimer->lastCount());
    const bool due = now - barStepCount > barStepCounts;
    for (GameObject* bar = titleBars->head; bar != nullptr; bar = bar->next) {
        if (due) {
            bar->originY -= 1.0;
            if (bar->originY < 0.0) {
                bar->originY = 255.0;
            }
        }
        bar->y = barCentreY + barWave[static_cast<int32_t>(bar->originY)];
        canvas->drawSprite(static_cast<uint32_t>(bar->spriteId), barX, static_cast<int32_t>(bar->y), 0);
    }
    if (due) {
        barStepCount = now;
    }
}
