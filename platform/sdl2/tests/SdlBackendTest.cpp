// The SDL backend on SDL's dummy video driver and disk audio driver (no display,
// no sound card needed): SDL events in, messages and key state out; one destroy
// however the window is closed; window timers; the kept picture; the wave-out loop.
// Kept beside the backend because only platform/sdl2 may include SDL.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "platform/Platform.h"
#include "platform/sdl2/SdlPlatform.h"

namespace {

using Clock = std::chrono::steady_clock;

struct SdlBackend : ::testing::Test {
    platform::WindowHandle window = 0;
    std::string audioFile;

    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "disk", 1);
        audioFile = testing::TempDir() + "karvex-wave-" + std::to_string(getpid()) + ".raw";
        setenv("SDL_DISKAUDIOFILE", audioFile.c_str(), 1);
        window = platform::createWindow("Karvex", "Karvex - backend test", 640, 480);
        ASSERT_NE(window, 0);
    }
    void TearDown() override
    {
        platform::closeWaveOut();
        platform::destroyWindow(window);
        std::remove(audioFile.c_str());
    }
};

void pushKey(uint32_t type, int32_t scancode, uint16_t modifiers, uint8_t repeat = 0)
{
    SDL_Event event{};
    event.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat;
    event.key.keysym.scancode = static_cast<SDL_Scancode>(scancode);
    event.key.keysym.mod = modifiers;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
}

void pushWindowClose()
{
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
}

void pushQuit()
{
    SDL_Event event{};
    event.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
}

// The next message other than paint and focus, which the window system sends as it likes.
platform::Message nextMessage()
{
    platform::Message message{};
    while (platform::getMessage(message)) {
        if (message.kind != platform::MessageKind::paint && message.kind != platform::MessageKind::focusGained &&
            message.kind != platform::MessageKind::focusLost) {
            return message;
        }
    }
    return message;
}

constexpr int32_t scanA = 4;
constexpr int32_t scanSlash = 56;
constexpr int32_t scanSpace = 44;
constexpr int32_t scanLeft = 80;
constexpr int32_t scanF8 = 65;
constexpr int32_t scanReturn = 40;

// A key whose message marks the end of what a test expects.
void expectSentinel()
{
    pushKey(SDL_KEYDOWN, scanF8, 0);
    pushKey(SDL_KEYUP, scanF8, 0);
    platform::Message message = nextMessage();
    EXPECT_EQ(message.kind, platform::MessageKind::keyDown);
    EXPECT_EQ(message.code, platform::vk::f8);
    (void)platform::keyDown(platform::vk::f8);
}

TEST_F(SdlBackend, KeyEventsBecomeKeyDownMessagesAndAltEnterIsKept)
{
    struct Press {
        int32_t scancode;
        uint16_t modifiers;
        int32_t code;   // 0: no message
    };
    constexpr Press presses[] = {
        {scanA, KMOD_LSHIFT, 0x41},
        {scanA, KMOD_CAPS, 0x41},
        {scanSlash, KMOD_RSHIFT, '?'},
        {scanSlash, 0, '/'},
        {scanReturn, KMOD_LALT, 0},   // fullscreen, not a key for the game
        {scanReturn, 0, 13},
    };
    for (const Press& press : presses) {
        pushKey(SDL_KEYDOWN, press.scancode, press.modifiers);
        pushKey(SDL_KEYUP, press.scancode, press.modifiers);
    }
    for (const Press& press : presses) {
        if (press.code != 0) {
            platform::Message message = nextMessage();
            EXPECT_EQ(message.kind, platform::MessageKind::keyDown);
            EXPECT_EQ(message.code, press.code);
        }
    }
    expectSentinel();
}

TEST_F(SdlBackend, ATapIsSeenOnceAndAHeldKeyRepeatsItsMessage)
{
    pushKey(SDL_KEYDOWN, scanSpace, 0);
    pushKey(SDL_KEYUP, scanSpace, 0);   // released in the same pump
    pushKey(SDL_KEYDOWN, scanLeft, 0);
    pushKey(SDL_KEYDOWN, scanLeft, 0, 1);   // auto-repeat
    EXPECT_EQ(nextMessage().code, platform::vk::space);
    EXPECT_EQ(nextMessage().code, platform::vk::left);
    EXPECT_EQ(nextMessage().code, platform::vk::left);
    EXPECT_TRUE(platform::keyDown(platform::vk::space));
    EXPECT_FALSE(platform::keyDown(platform::vk::space));
    EXPECT_TRUE(platform::keyDown(platform::vk::left));
    EXPECT_TRUE(platform::keyDown(platform::vk::left));
    pushKey(SDL_KEYUP, scanLeft, 0);
    expectSentinel();
    EXPECT_FALSE(platform::keyDown(platform::vk::left));
}

TEST_F(SdlBackend, SignalCloseBoxAndQuitGiveOneDestroy)
{
    ASSERT_EQ(kill(getpid(), SIGTERM), 0);
    platform::Message message = nextMessage();
    EXPECT_EQ(message.kind, platform::MessageKind::destroy);
    pushWindowClose();
    pushQuit();
    expectSentinel();
    platform::postQuit(0);
    EXPECT_FALSE(platform::getMessage(message));
    EXPECT_EQ(message.kind, platform::MessageKind::quit);
    EXPECT_EQ(message.code, 0);
}

TEST_F(SdlBackend, TimerMessagesComeUntilTheTimerIsStopped)
{
    constexpr int32_t identifier = 7;
    Clock::time_point started = Clock::now();
    std::thread game([] { platform::startTimer(1, identifier, 30); });
    game.join();
    for (int32_t tick = 1; tick <= 2; tick++) {
        platform::Message message = nextMessage();
        EXPECT_EQ(message.kind, platform::MessageKind::timer);
        EXPECT_EQ(message.code, identifier);
        double ms = std::chrono::duration<double, std::milli>(Clock::now() - started).count();
        EXPECT_GE(ms, 30.0 * tick - 1.0);
        EXPECT_LT(ms, 30.0 * tick + 500.0);
    }
    std::thread stopper([] {
        platform::stopTimer(1, identifier);
        platform::stopTimer(1, identifier);   // stopping a stopped timer does nothing
        platform::stopTimer(1, 99);           // nor does stopping one never started
    });
    stopper.join();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    expectSentinel();   // no timer message before it
}

TEST_F(SdlBackend, PresentedPixelsLandClippedAndTheRestStays)
{
    std::vector<uint32_t> grey(640 * 480, 0x111111);
    platform::presentPixels(window, grey.data(), 640, 480, 0, 0);
    // Each source pixel tells its own place: 0x00RRCC for row RR, column CC.
    std::vector<uint32_t> tile(4 * 3);
    for (int32_t row = 0; row < 3; row++) {
        for (int32_t column = 0; column < 4; column++) {
            tile[row * 4 + column] = static_cast<uint32_t>(row << 8 | column);
        }
    }
    platform::presentPixels(window, tile.data(), 4, 3, -2, -1);     // top-left corner, cut
    platform::presentPixels(window, tile.data(), 4, 3, 638, 478);   // bottom-right corner, cut
    platform::presentPixels(window, tile.data(), 4, 3, 640, 0);     // entirely outside
    platform::presentPixels(window, tile.data(), 4, 3, INT32_MAX - 1, INT32_MAX - 1);
    platform::presentPixels(window, nullptr, 4, 3, 0, 0);
    platform::presentPixels(window, tile.data(), 0, 3, 0, 0);

    struct Expected {
        int32_t x;
        int32_t y;
        uint32_t pixel;
    };
    constexpr Expected expected[] = {
        {0, 0, 0x0102}, {1, 0, 0x0103}, {0, 1, 0x0202}, {1, 1, 0x0203},   // the cut tile's lower right part
        {2, 0, 0x111111}, {0, 2, 0x111111},                              // beside it, the earlier picture
        {638, 478, 0x0000}, {639, 479, 0x0101}, {637, 479, 0x111111},
        {320, 240, 0x111111},
    };
    sdl2::Screen& screen = sdl2::sdlPlatform.screen;
    std::lock_guard<std::mutex> guard(screen.pictureLock);
    for (const Expected& at : expected) {
        EXPECT_EQ(screen.picture[at.y * 640 + at.x], at.pixel) << at.x << "," << at.y;
    }
}

TEST_F(SdlBackend, WaveOutPlaysTheBufferInALoopFromFrameZero)
{
    constexpr int32_t frameCount = 4410;   // 0.1 s at 44,100 frames per second
    std::vector<int16_t> frames(frameCount * 2);
    for (int32_t frame = 0; frame < frameCount; frame++) {
        frames[frame * 2] = static_cast<int16_t>(frame + 1);
        frames[frame * 2 + 1] = static_cast<int16_t>(-frame - 1);
    }
    EXPECT_FALSE(platform::playLoop(frames.data(), frameCount));   // not open
    EXPECT_FALSE(platform::openWaveOut(0));
    ASSERT_TRUE(platform::openWaveOut(44100));
    EXPECT_FALSE(platform::playLoop(nullptr, frameCount));
    ASSERT_TRUE(platform::playLoop(frames.data(), frameCount));

    const uint32_t threeLoopsBytes = 3 * frameCount * 4;
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(5);
    while (platform::playPositionBytes() < threeLoopsBytes && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const uint32_t playedBytes = platform::playPositionBytes();
    ASSERT_GE(playedBytes, threeLoopsBytes);
    platform::resetWaveOut();
    EXPECT_EQ(platform::playPositionBytes(), 0u);
    platform::closeWaveOut();

    // The captured stream: silence while the device waited for the loop, then the loop.
    FILE* file = std::fopen(audioFile.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    std::vector<int16_t> captured;
    int16_t sample[2];
    while (std::fread(sample, sizeof sample, 1, file) == 1) {
        captured.push_back(sample[0]);
        captured.push_back(sample[1]);
    }
    std::fclose(file);
    size_t first = 0;
    while (first < captured.size() && captured[first] == 0) {
        first++;
    }
    size_t compared = 0;
    for (size_t at = first; at + 1 < captured.size() && (captured[at] != 0 || captured[at + 1] != 0); at += 2) {
        size_t frame = compared % frameCount;
        ASSERT_EQ(captured[at], frames[frame * 2]) << "frame " << compared;
        ASSERT_EQ(captured[at + 1], frames[frame * 2 + 1]) << "frame " << compared;
        compared++;
    }
    EXPECT_GE(compared, playedBytes / 4u);
    EXPECT_LE(compared, playedBytes / 4u + 2048u);   // a device buffer or two after the reading
}

}  // namespace
