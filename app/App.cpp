// The entry point's steps, the window procedure and the game thread.
#include "app/App.h"

#include <thread>

#include "app/ShellFiles.h"
#include "game/Game.h"
#include "music/SongApi.h"
#include "music/SoundDevice.h"

platform::WindowHandle mainWindow = 0;
std::atomic<int32_t> quitRequested{0};
Song* music = nullptr;

namespace {

std::thread gameThreadHandle;

constexpr int32_t waitSliceMs = 10;
// How far behind its deadlines the game thread may fall and still catch up: 20 ms.
constexpr int64_t catchUpPasses = 10;

// The window procedure's end of the program: stop the music, leave the loop.
void shutDownFromDestroy()
{
    quitRequested.store(1);
    platform::sleepMs(25);
    // The feeder ends before the tune is released; the device stops looping the ring when closed.
    freeSong(music);
    music = nullptr;
    closeSoundDevice();
    platform::postQuit(0);
}


}  // namespace

void startMusic()
{
    setFileCallbacks(fileOpen, fileClose, fileRead, fileSeek, fileTell);
    if (!openSoundDevice(44100)) {
        return;
    }
    music = loadSong("music.xm");
    if (music != nullptr) {
        (void)playSong(music);
    }
}

void waitMs(int32_t ms)
{
    while (ms > 0 && quitRequested.load() == 0) {
        int32_t slice = ms < waitSliceMs ? ms : waitSliceMs;
        platform::sleepMs(slice);
        ms -= slice;
    }
}

void paceGameThread(int64_t& nextPassCount)
{
    int64_t countsPerSecond = 0;
    if (!platform::performanceFrequency(countsPerSecond) || countsPerSecond <= 0) {
        platform::sleepMs(1000 / passesPerSecond > 0 ? 1000 / passesPerSecond : 1);
        return;
    }
    const int64_t period = countsPerSecond / passesPerSecond;
    const int64_t now = platform::performanceCounter();
    nextPassCount += period;
    // A wake-up a few milliseconds late (a busy machine) is made up by the next passes,
    // which keeps the rate. After a long pass (an intro, a slide, the pause) start afresh
    // instead of racing to catch up.
    if (nextPassCount < now - catchUpPasses * period) {
        nextPassCount = now;
        return;
    }
    platform::sleepUntilCount(nextPassCount);
}

uint8_t keyCharFromCode(int32_t code)
{
    uint8_t character = static_cast<uint8_t>(code & 0xFF);
    if (character >= 'A' && character <= 'Z') {
        character = static_cast<uint8_t>(character - 'A' + 'a');
    }
    return character;
}

void windowProc(const platform::Message& message)
{
    switch (message.kind) {
    case platform::MessageKind::keyDown:
        // The character is in place before the flag is raised.
        game.keyChar.store(keyCharFromCode(message.code));
        game.keyPressed.store(1);
        break;
    case platform::MessageKind::timer:
        game.onClockTick();
        break;
    case platform::MessageKind::focusGained:
        game.windowActive.store(1);
        break;
    case platform::MessageKind::focusLost:
        game.windowActive.store(0);
        break;
    case platform::MessageKind::paint:
        // The platform keeps the last presented picture and shows it again by itself,
        // so the main thread never reads the back buffer the game thread draws into.
        break;
    case platform::MessageKind::destroy:
        shutDownFromDestroy();
        break;
    case platform::MessageKind::none:
    case platform::MessageKind::quit:
        break;
    }
}

void gameThread()
{
    int64_t nextPassCount = platform::performanceCounter();
    while (quitRequested.load() == 0) {
        game.dispatchPass();
        paceGameThread(nextPassCount);
    }
}

void startGameThread()
{
    gameThreadHandle = std::thread(gameThread);
}

void stopGameThread()
{
    if (gameThreadHandle.joinable()) {
        gameThreadHandle.join();
    }
}

int32_t runApp()
{
    mainWindow = platform::createWindow("Karvex", "Karvex - made by the Karvex team", 640, 480);
    platform::drawWindowText(mainWindow, " *** Please stand by while loading datas *** ", 0, 220, 640, 240);
    if (game.startUp() == 0) {
        platform::messageBox("there is a problem. cant init the game.", "Error");
        platform::destroyWindow(mainWindow);
        return 0;
    }
    startMusic();
    startGameThread();
    platform::Message message{};
    while (platform::getMessage(message)) {
        windowProc(message);
    }
    // The game thread's long waits end on quitRequested; wait for it before the
    // Game record is released at exit.
    stopGameThread();
    platform::destroyWindow(mainWindow);
    return 0;
}
