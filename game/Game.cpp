// The Game record's life: construction, start-up in its fixed order, the
// dispatcher that runs one pass of the current screen, and teardown.
#include "game/Game.h"

#include <cmath>
#include <cstring>
#include <iterator>
#include <new>

#include "app/App.h"
#include "platform/Platform.h"

Game game;

namespace {

// The seventeen owned lists, in the order start-up makes them.
ObjectList* Game::* const listFields[] = {
    &Game::player,        &Game::playerLeftList, &Game::playerRightList, &Game::shots,
    &Game::shotLeftList,  &Game::shotRightList,  &Game::fallingBlocks,   &Game::blockKinds,
    &Game::backgroundList, &Game::hudSprites,    &Game::bubbles,         &Game::debris,
    &Game::effectSprites, &Game::stoneFrames,    &Game::dust,            &Game::fontGlyphs,
    &Game::titleBars,
};
static_assert(std::size(listFields) == 17);

// The eight raster bars: plain, red, yellow and green, two of each, six phase steps apart.
// Each new node becomes the head, so a walk meets bar 7 first and bar 0 is drawn on top.
[[nodiscard]] int32_t addTitleBars(Game& record)
{
    for (int32_t bar = 0; bar < 8; bar++) {
        if (record.titleBars->add(record.effectSprites->findSprite(4 + bar / 2)) == 0) {
            return 0;
        }
        record.titleBars->head->originY = 6.0 * bar;
    }
    return 1;
}

}  // namespace

Game::Game()
    : canvas(nullptr), playerLeftList(nullptr), playerRightList(nullptr), shotLeftList(nullptr),
      shotRightList(nullptr), blockKinds(nullptr), player(nullptr), shots(nullptr),
      fallingBlocks(nullptr), backgroundList(nullptr), hudSprites(nullptr), effectSprites(nullptr),
      bubbles(nullptr), stoneFrames(nullptr), debris(nullptr), dust(nullptr), titleBars(nullptr),
      fontGlyphs(nullptr), frameTimer(nullptr), frameTime(0.0f), borderLeft(nullptr),
      borderRight(nullptr), borderTop(nullptr), borderBottom(nullptr), titleTop(nullptr),
      titleBottom(nullptr), titlePanel(nullptr), stoneFrame{}, glyphTable{}, movedX(0), movedY(0),
      initialised(0), dying(0), grid{}, columnX{}, rowY{}, playfieldSprite(0), state(0),
      shotsInFlight(0), lives(0), energy(0.0), level(0), energyDrain(0.0), clockMinutes(0),
      clockSeconds(0), shotInterval(0), explosionTimer(0.0), ambientBubbles(0), speedExtras(0),
      shotSpeedExtras(0), ledSprite(0), nameEntryRow(0), nameCursor(0), barStepCount(0.0),
      titlePage(0), fadeLevel(0.0), pageTime(0.0), highscores{}, score(0), bestScore(0),
      shotCooldown(0.0), lightlinePos(0.0), barWave{}, maxShots(0), maxFallingBlocks(0),
      acceleration(0.0), titleFrameDrawn(0), keyPressed(0), keyChar(0), windowActive(0)
{
}

Game::~Game()
{
    shutDown();
}

int32_t Game::startUp()
{
    if (initialised == 1) {
        return 1;
    }
    if (canvas == nullptr) {
        canvas = new (std::nothrow) Canvas();
    }
    if (canvas == nullptr || canvas->create(mainWindow, 640, 480) == 0) {
        return 0;
    }
    for (ObjectList* Game::*field : listFields) {
        this->*field = new (std::nothrow) ObjectList();
        if (this->*field == nullptr) {
            return 0;
        }
    }
    frameTimer = new (std::nothrow) FrameTimer();
    if (frameTimer == nullptr) {
        return 0;
    }
    frameTimer->tick();
    barStepCount = static_cast<double>(frameTimer->lastCount());
    if (loadAssets() == 0) {
        platform::messageBox("Graphics load-error!", "Error");
        return 0;
    }
    // The ship starts facing right.
    if (player->add(playerRightList->head->spriteId) == 0) {
        return 0;
    }

    lightlinePos = 640.0;
    for (int32_t c = 0; c < gridColumns; c++) {
        columnX[c] = 32 * c;
    }
    for (int32_t r = 0; r < gridRows; r++) {
        rowY[r] = 16 * r;
    }
    // A missing, read-only or short score.dat is no error: the table starts afresh.
    if (loadHighscores() == 0) {
        setDefaultHighscores(highscores);
    }
    setRowPositions(highscores);
    bestScore = highscores.rows[0].score;
    for (int32_t k = 0; k < 256; k++) {
        // 3.14, not pi: the bars' swing is part of the look.
        barWave[k] = std::cos(k * 3.14 / 128) * 3.2 * 30.0;
    }
    if (addTitleBars(*this) == 0) {
        return 0;
    }
    pageTime = 1.0;
    titlePage = 6;
    fadeLevel = 255.0;
    windowActive.store(1);
    titleFrameDrawn = 0;
    setState(GameState::title);
    initialised = 1;
    return 1;
}

void Game::dispatchPass()
{
    switch (currentState()) {
    case GameState::play:
        playFrame();
        break;
    case GameState::levelIntro:
        clearPlayObjects();
        levelIntro();
        break;
    case GameState::title:
        runTitleScreen();
        break;
    case GameState::enterScore:
        enterScore();
        break;
    case GameState::paused:
    case GameState::none:
        break;
    }
}

void Game::shutDown()
{
    for (ObjectList* Game::*field : listFields) {
        if (this->*field != nullptr) {
            (this->*field)->clear();
            delete (this->*field);
            this->*field = nullptr;
        }
    }
    delete frameTimer;
    frameTimer = nullptr;
    if (canvas != nullptr) {
        canvas->releaseAll();
        delete canvas;
        canvas = nullptr;
    }
}
