// The game window over SDL2: a fixed 640 x 480 client area scaled by whole
// factors, the picture it shows (kept here, written by presentPixels from any
// thread, shown by the main thread at most once per display refresh), the
// waiting text and message boxes. Every SDL video call runs on the main thread.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/WindowText.h"
#include "platform/sdl2/SdlPlatform.h"

namespace sdl2 {

namespace {

// The window takes at most this share of the usable display height.
constexpr int32_t windowHeightPercent = 80;
constexpr int32_t fallbackRefreshHz = 60;   // displays that report none (Xvfb reports 0 Hz)

// The largest whole factor whose window fits the display, at least 1.
int32_t windowScale(int32_t width, int32_t height)
{
    SDL_Rect usable{};
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0) {
        return 1;
    }
    int32_t byHeight = usable.h * windowHeightPercent / 100 / height;
    int32_t byWidth = usable.w / width;
    return std::max(1, std::min(byHeight, byWidth));
}

int64_t refreshPeriodNs(SDL_Window* window)
{
    SDL_DisplayMode mode{};
    int32_t hz = 0;
    if (SDL_GetCurrentDisplayMode(std::max(0, SDL_GetWindowDisplayIndex(window)), &mode) == 0) {
        hz = mode.refresh_rate;
    }
    return nsPerSecond / (hz > 0 ? hz : fallbackRefreshHz);
}

// Headless drivers show nothing; a game started without a display ends with its
// start-up error instead of running where nobody sees it. Tests name the driver.
bool driverShowsNothing()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    bool invisible = driver != nullptr && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
    return invisible && std::getenv("SDL_VIDEODRIVER") == nullptr;
}

void setHints(const char* className)
{
    // Read by SDL's X11 driver when video starts: the window's WM_CLASS.
    setenv("SDL_VIDEO_X11_WMCLASS", className, 1);
    SDL_SetHint(SDL_HINT_APP_NAME, className);
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Whole-factor scaling stays sharp.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    // The window framebuffer through shared-memory images, not through a GL texture.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // Keep the compositor: it spares a windowed game without vsync from tearing.
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
}

bool makeRenderer(Screen& screen, int32_t width, int32_t height)
{
    // A 640 x 480 picture scaled by whole factors is cheap on the processor, and without a
    // graphics card GL would be drawn by the processor too, at three times the cost
    // (Mesa's llvmpipe under Xvfb). Where the system offers no plain window framebuffer
    // (native Wayland), the default renderer.
    screen.renderer = SDL_CreateRenderer(screen.window, -1, SDL_RENDERER_SOFTWARE);
    if (screen.renderer == nullptr) {
        screen.renderer = SDL_CreateRenderer(screen.window, -1, 0);
    }
    if (screen.renderer == nullptr) {
        return false;
    }
    // Aspect kept, whole factors only, black borders in fullscreen.
    SDL_RenderSetLogicalSize(screen.renderer, width, height);
    SDL_RenderSetIntegerScale(screen.renderer, SDL_TRUE);
    screen.texture = SDL_CreateTexture(screen.renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                       width, height);
    return screen.texture != nullptr;
}

void releaseVideo(Screen& screen)
{
    if (screen.texture != nullptr) {
        SDL_DestroyTexture(screen.texture);
    }
    if (screen.renderer != nullptr) {
        SDL_DestroyRenderer(screen.renderer);
    }
    if (screen.window != nullptr) {
        SDL_DestroyWindow(screen.window);
    }
    screen.texture = nullptr;
    screen.renderer = nullptr;
    screen.window = nullptr;
    screen.fullscreen = false;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    quitSdlIfUnused();
}

// Copies the kept picture into the texture; the lock is held only for the copy.
void uploadPicture(Screen& screen)
{
    void* target = nullptr;
    int32_t pitchBytes = 0;
    if (SDL_LockTexture(screen.texture, nullptr, &target, &pitchBytes) != 0) {
        return;
    }
    {
        std::lock_guard<std::mutex> guard(screen.pictureLock);
        for (int32_t row = 0; row < clientHeight; row++) {
            std::memcpy(static_cast<uint8_t*>(target) + static_cast<size_t>(row) * pitchBytes,
                        &screen.picture[static_cast<size_t>(row) * clientWidth], clientWidth * sizeof(uint32_t));
        }
        screen.pictureChanged.store(false);
    }
    SDL_UnlockTexture(screen.texture);
}

void showPicture(Screen& screen)
{
    if (screen.pictureChanged.load()) {
        uploadPicture(screen);
    }
    SDL_SetRenderDrawColor(screen.renderer, 0, 0, 0, 255);
    SDL_RenderClear(screen.renderer);
    SDL_RenderCopy(screen.renderer, screen.texture, nullptr, nullptr);
    SDL_RenderPresent(screen.renderer);
    screen.showRequested = false;
}

}  // namespace

void showPictureIfDue(int64_t nowNs)
{
    Screen& screen = sdlPlatform.screen;
    if (screen.window == nullptr || (!screen.pictureChanged.load() && !screen.showRequested)) {
        return;
    }
    if (nowNs < screen.nextShowNs) {
        return;
    }
    showPicture(screen);
    // Keep to the refresh grid while pictures keep coming; start afresh after a pause.
    bool onTime = nowNs < screen.nextShowNs + screen.refreshPeriodNs;
    screen.nextShowNs = (onTime ? screen.nextShowNs : nowNs) + screen.refreshPeriodNs;
}

int32_t showWaitMs(int64_t nowNs)
{
    const Screen& screen = sdlPlatform.screen;
    if (screen.window == nullptr || (!screen.pictureChanged.load() && !screen.showRequested)) {
        return -1;
    }
    if (nowNs >= screen.nextShowNs) {
        return 0;
    }
    return static_cast<int32_t>((screen.nextShowNs - nowNs + nsPerMs - 1) / nsPerMs);
}

void toggleFullscreen()
{
    Screen& screen = sdlPlatform.screen;
    if (screen.window == nullptr) {
        return;
    }
    uint32_t flags = screen.fullscreen ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP;
    if (SDL_SetWindowFullscreen(screen.window, flags) == 0) {
        screen.fullscreen = !screen.fullscreen;
        SDL_ShowCursor(screen.fullscreen ? SDL_DISABLE : SDL_ENABLE);
    }
    screen.showRequested = true;
}

}  // namespace sdl2

namespace platform {

WindowHandle createWindow(const char* className, const char* title, int32_t clientWidth, int32_t clientHeight)
{
    sdl2::Screen& screen = sdl2::sdlPlatform.screen;
    if (screen.window != nullptr || clientWidth != sdl2::clientWidth || clientHeight != sdl2::clientHeight) {
        return 0;
    }
    sdl2::resetMessageLoop();
    sdl2::startSignalWatch();
    sdl2::setHints(className != nullptr ? className : "Karvex");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        return 0;
    }
    if (sdl2::driverShowsNothing()) {
        sdl2::releaseVideo(screen);
        return 0;
    }
    int32_t scale = sdl2::windowScale(clientWidth, clientHeight);
    screen.window = SDL_CreateWindow(title != nullptr ? title : "", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                     clientWidth * scale, clientHeight * scale, SDL_WINDOW_HIDDEN);
    if (screen.window == nullptr || !sdl2::makeRenderer(screen, clientWidth, clientHeight)) {
        sdl2::releaseVideo(screen);
        return 0;
    }
    SDL_StopTextInput();
    screen.refreshPeriodNs = sdl2::refreshPeriodNs(screen.window);
    {
        std::lock_guard<std::mutex> guard(sdl2::sdlPlatform.signals.wakeLock);
        sdl2::sdlPlatform.signals.wakeEventType = SDL_RegisterEvents(1);
        sdl2::sdlPlatform.signals.sdlReady = sdl2::sdlPlatform.signals.wakeEventType != static_cast<uint32_t>(-1);
    }
    SDL_ShowWindow(screen.window);
    // The window starts black, as the class's background brush paints it.
    screen.pictureChanged.store(true);
    sdl2::showPicture(screen);
    screen.nextShowNs = sdl2::monotonicNs() + screen.refreshPeriodNs;
    return 1;
}

void destroyWindow(WindowHandle)
{
    sdl2::stopSignalWatch();
    sdl2::Screen& screen = sdl2::sdlPlatform.screen;
    {
        std::lock_guard<std::mutex> guard(sdl2::sdlPlatform.signals.wakeLock);
        sdl2::sdlPlatform.signals.sdlReady = false;
    }
    if (screen.window != nullptr) {
        sdl2::releaseVideo(screen);
    }
}

void drawWindowText(WindowHandle, const char* text, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    sdl2::Screen& screen = sdl2::sdlPlatform.screen;
    {
        std::lock_guard<std::mutex> guard(screen.pictureLock);
        windowtext::drawCentred(screen.picture.data(), sdl2::clientWidth, sdl2::clientHeight, text, left, top,
                                right, bottom);
        screen.pictureChanged.store(true);
    }
    // Start-up keeps the main thread busy loading; the text has to be on screen now.
    if (screen.window != nullptr) {
        sdl2::showPicture(screen);
    }
}

void messageBox(const char* text, const char* caption)
{
    sdl2::SignalWatch& signals = sdl2::sdlPlatform.signals;
    text = text != nullptr ? text : "";
    caption = caption != nullptr ? caption : "";
    // Open first, then look: the watcher sets quitSignalled, then looks at messageBoxOpen.
    signals.messageBoxOpen.store(true);
    int32_t result = -1;
    if (!signals.quitSignalled.load()) {
        // Flags 0: one OK button and no icon; no owner window.
        result = SDL_ShowSimpleMessageBox(0, caption, text, nullptr);
    }
    signals.messageBoxOpen.store(false);
    if (result != 0) {
        std::fprintf(stderr, "%s: %s\n", caption, text);
    }
}

void presentPixels(WindowHandle, const uint32_t* pixels, int32_t width, int32_t height, int32_t x, int32_t y)
{
    if (pixels == nullptr || width <= 0 || height <= 0) {
        return;
    }
    // The part of the source that lands inside the picture, in 64 bits against overflow.
    const int64_t left = std::max<int64_t>(x, 0);
    const int64_t top = std::max<int64_t>(y, 0);
    const int64_t right = std::min<int64_t>(int64_t{x} + width, sdl2::clientWidth);
    const int64_t bottom = std::min<int64_t>(int64_t{y} + height, sdl2::clientHeight);
    if (left >= right || top >= bottom) {
        return;
    }
    sdl2::Screen& screen = sdl2::sdlPlatform.screen;
    {
        std::lock_guard<std::mutex> guard(screen.pictureLock);
        for (int64_t row = top; row < bottom; row++) {
            const uint32_t* source = pixels + (row - y) * width + (left - x);
            std::memcpy(&screen.picture[static_cast<size_t>(row * sdl2::clientWidth + left)], source,
                        static_cast<size_t>(right - left) * sizeof(uint32_t));
        }
        screen.pictureChanged.store(true);
    }
    if (!screen.wakePosted.exchange(true)) {
        sdl2::wakeMainThread();
    }
}

}  // namespace platform
