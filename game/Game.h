// The one game record: Canvas, object lists and sprite catalogues, frame timer,
// screen state, play state, highscores and the keyboard state that the window
// procedure leaves for the game thread. Fields written on one thread and read
// on another are atomics; the comment names both threads.
#pragma once

#include <atomic>
#include <cstdint>

#include "app/FrameTimer.h"
#include "game/Highscores.h"
#include "graphics/Canvas.h"
#include "play/ObjectList.h"

// What the next pass of the game thread runs.
enum class GameState : int32_t {
    none = 0,
    play = 1,
    title = 2,
    enterScore = 3,
    levelIntro = 4,
    paused = 5,
};

constexpr int32_t gridColumns = 20;
constexpr int32_t gridRows = 27;
constexpr int32_t stoneFrameCount = 20;

struct Game {
    Canvas* canvas;
    ObjectList* playerLeftList;
    ObjectList* playerRightList;
    ObjectList* shotLeftList;
    ObjectList* shotRightList;
    ObjectList* blockKinds;
    ObjectList* player;
    ObjectList* shots;
    ObjectList* fallingBlocks;
    ObjectList* backgroundList;
    ObjectList* hudSprites;
    ObjectList* effectSprites;
    ObjectList* bubbles;
    ObjectList* stoneFrames;
    ObjectList* debris;
    ObjectList* dust;
    ObjectList* titleBars;
    ObjectList* fontGlyphs;
    FrameTimer* frameTimer;
    float frameTime;                       // seconds of the last pass
    GameObject* borderLeft;                // borrowed catalogue entries, drawn by the title screen
    GameObject* borderRight;
    GameObject* borderTop;
    GameObject* borderBottom;
    GameObject* titleTop;
    GameObject* titleBottom;
    GameObject* titlePanel;
    GameObject* stoneFrame[stoneFrameCount];   // borrowed
    GameObject* glyphTable[256];               // borrowed; null: the character has no glyph
    int32_t movedX;
    int32_t movedY;
    int32_t initialised;
    int32_t dying;
    uint8_t grid[gridColumns][gridRows];   // column by column: 0 empty, 1 landed, 2 held by a falling block
    int32_t columnX[gridColumns];
    int32_t rowY[gridRows];
    int32_t playfieldSprite;
    std::atomic<int32_t> state;            // GameState; written: game, main (clock tick); read: both
    int32_t shotsInFlight;
    std::atomic<int32_t> lives;            // written: game; read: main (clock tick)
    double energy;
    int32_t level;
    double energyDrain;                    // per second while touching blocks
    std::atomic<int32_t> clockMinutes;     // written: main (clock tick), game (intro); read: both
    std::atomic<int32_t> clockSeconds;
    int32_t shotInterval;
    std::atomic<double> explosionTimer;    // seconds; written: game; read: main (clock tick)
    int32_t ambientBubbles;
    int32_t speedExtras;
    int32_t shotSpeedExtras;
    int32_t ledSprite;
    int32_t nameEntryRow;                  // 1..10, 0: no name entry
    int32_t nameCursor;                    // 0..24
    double barStepCount;                   // frame-timer count at the raster bars' last step
    int32_t titlePage;
    double fadeLevel;                      // 0 full strength .. 255 invisible
    double pageTime;                       // seconds on the current title page
    HighscoreTable highscores;
    uint32_t score;
    uint32_t bestScore;
    double shotCooldown;
    double lightlinePos;
    double barWave[256];
    int32_t maxShots;
    int32_t maxFallingBlocks;
    double acceleration;                   // velocity change per pass
    int32_t titleFrameDrawn;
    std::atomic<int32_t> keyPressed;       // written: main (key down), game (clears); read: game
    std::atomic<uint8_t> keyChar;          // written: main; read: game
    std::atomic<int32_t> windowActive;     // written: main (focus); read: game

    Game();
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Start-up, dispatch and teardown.
    [[nodiscard]] int32_t startUp();
    void dispatchPass();
    void shutDown();
    [[nodiscard]] GameState currentState() const { return static_cast<GameState>(state.load(std::memory_order_relaxed)); }
    void setState(GameState next) { state.store(static_cast<int32_t>(next), std::memory_order_relaxed); }

    // Asset loading (game/Assets.cpp).
    [[nodiscard]] int32_t loadAssets();

    // Bitmap-font text (game/Text.cpp).
    void drawText(const char* text, double x, double y);

    // Highscores and score.dat (game/Highscores.cpp).
    [[nodiscard]] int32_t loadHighscores();
    void saveHighscores();
    void enterScore();
    void drawHighscorePage(int32_t mode);

    // Title screen and name entry (game/TitleScreen.cpp).
    void runTitleScreen();
    void drawTitleFrame();
    void drawPanelFrame();
    void drawTitleBars();

    // Help, credits and thanks pages (game/InfoPages.cpp).
    void drawHelpPage(int32_t mode);
    void drawCreditsPage(int32_t mode);
    void drawThanksPage(int32_t mode);

    // Play pass, ship and shots (play/PlayFrame.cpp).
    void playFrame();

    // New game and level intro (play/LevelIntro.cpp).
    void startNewGame();
    void levelIntro();
    void fadeInSprite(int32_t spriteId, double x, double y);

    // Falling blocks, grid and extras (play/Blocks.cpp).
    void spawnFallingBlock();
    [[nodiscard]] int32_t updateFallingBlocks();

    // Energy, lives, level clock and game over (play/ShipFate.cpp).
    void respawnShip();
    void onClockTick();
    void gameOver();
    void clearPlayObjects();

    // Heads-up display and pause (play/Hud.cpp).
    void drawHud();
    void pauseMode();

    // Particles (play/Particles.cpp).
    void spawnBubbles(int32_t burst, double x, double y, int32_t count, int32_t dustFlag);
    void updateBubbles();
    void spawnDebris(int32_t count, double x, double y);
    void updateDebris();
    void spawnDust(double x, double y, double speedFactor);
    void updateDust();
};

// The one static game record.
extern Game game;
