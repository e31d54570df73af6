// Hot paths of the Canvas timed against yardsticks: a full-screen opaque and keyed
// draw against a memcpy of the same bytes (and SDL's colour-keyed blit), a line of
// text, and the collision test. Prints the ratios after the table.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "game/Game.h"
#include "graphics/Blit.h"
#include "graphics/Canvas.h"
#include "platform/Platform.h"

#if KARVEX_BENCH_SDL
#include <SDL.h>
#endif

namespace {

constexpr int32_t screenWidth = 640;
constexpr int32_t screenHeight = 480;
constexpr uint32_t magentaPixel = 0xFF00FF;

// A full-screen picture of a game-like sprite sheet: solid and transparent runs of
// 1 to 64 pixels, about half of each, from a fixed-seed generator.
uint32_t mixedPixel(int32_t x, int32_t y)
{
    static std::vector<uint32_t> picture;
    if (picture.empty()) {
        picture.resize(static_cast<size_t>(screenWidth) * screenHeight);
        uint32_t seed = 12345;
        bool solid = true;
        size_t p = 0;
        while (p < picture.size()) {
            seed = seed * 1103515245u + 12345u;
            const size_t run = 1 + (seed >> 16) % 64;
            for (size_t k = 0; k < run && p < picture.size(); k++, p++) {
                picture[p] = solid ? (0x203040u + static_cast<uint32_t>(p % 199)) : magentaPixel;
            }
            solid = !solid;
        }
    }
    return picture[static_cast<size_t>(y) * screenWidth + x];
}

// The keyed draw's worst case: every run one pixel long.
uint32_t checkerPixel(int32_t x, int32_t y)
{
    return (x + y) % 2 == 0 ? 0x203040u : magentaPixel;
}

struct Bench {
    Canvas canvas;
    Bench()
    {
        const platform::WindowHandle window = platform::createWindow("Karvex", "bench", screenWidth, screenHeight);
        if (canvas.create(window, screenWidth, screenHeight) == 0) {
            std::fprintf(stderr, "no canvas\n");
        }
    }
    uint32_t painted(int32_t width, int32_t height, uint32_t (*paint)(int32_t, int32_t))
    {
        const uint32_t id = canvas.createSprite(static_cast<uint32_t>(width), static_cast<uint32_t>(height));
        for (int32_t y = 0; y < height; y++) {
            for (int32_t x = 0; x < width; x++) {
                pixelAt(*canvas.sprite(id)->image, x, y) = paint(x, y);
            }
        }
        return id;
    }
};

Bench& bench()
{
    static Bench instance;
    return instance;
}

void memcpyFullScreen(benchmark::State& state)
{
    std::vector<uint32_t> source(static_cast<size_t>(screenWidth) * screenHeight, 0x203040u);
    std::vector<uint32_t> target(source.size());
    for (auto _ : state) {
        std::memcpy(target.data(), source.data(), source.size() * sizeof(uint32_t));
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(memcpyFullScreen);

void drawSpriteFullScreen(benchmark::State& state)
{
    Canvas& canvas = bench().canvas;
    const uint32_t id = bench().painted(screenWidth, screenHeight, mixedPixel);
    for (auto _ : state) {
        canvas.drawSprite(id, 0, 0, 0);
        benchmark::ClobberMemory();
    }
    canvas.deleteSprite(id);
}
BENCHMARK(drawSpriteFullScreen);

void keyedDraw(benchmark::State& state, uint32_t (*paint)(int32_t, int32_t))
{
    Canvas& canvas = bench().canvas;
    const uint32_t id = bench().painted(screenWidth, screenHeight, paint);
    if (canvas.makeMask(id) == 0) {
        state.SkipWithError("no mask");
    }
    for (auto _ : state) {
        canvas.drawSpriteKeyed(id, 0, 0, 0);
        benchmark::ClobberMemory();
    }
    canvas.deleteSprite(id);
}
BENCHMARK_CAPTURE(keyedDraw, mixedRuns, mixedPixel);
BENCHMARK_CAPTURE(keyedDraw, checkerboard, checkerPixel);

#if KARVEX_BENCH_SDL
// SDL's blit of the same pixels with magenta as its colour key; rle asks SDL to
// run-length encode the source first, as it does for SDL_RLEACCEL surfaces.
void sdlKeyedBlit(benchmark::State& state, uint32_t (*paint)(int32_t, int32_t), bool rle)
{
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormat(0, screenWidth, screenHeight, 32, SDL_PIXELFORMAT_RGB888);
    SDL_Surface* target = SDL_CreateRGBSurfaceWithFormat(0, screenWidth, screenHeight, 32, SDL_PIXELFORMAT_RGB888);
    if (source == nullptr || target == nullptr) {
        state.SkipWithError("no SDL surface");
        return;
    }
    for (int32_t y = 0; y < screenHeight; y++) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(source->pixels) + y * source->pitch);
        for (int32_t x = 0; x < screenWidth; x++) {
            row[x] = paint(x, y);
        }
    }
    SDL_SetColorKey(source, SDL_TRUE, magentaPixel);
    SDL_SetSurfaceRLE(source, rle ? 1 : 0);
    for (auto _ : state) {
        SDL_BlitSurface(source, nullptr, target, nullptr);
        benchmark::ClobberMemory();
    }
    SDL_FreeSurface(source);
    SDL_FreeSurface(target);
}
BENCHMARK_CAPTURE(sdlKeyedBlit, mixedRuns, mixedPixel, false);
BENCHMARK_CAPTURE(sdlKeyedBlit, mixedRunsRle, mixedPixel, true);
BENCHMARK_CAPTURE(sdlKeyedBlit, checkerboard, checkerPixel, false);
#endif

// A 7 x 11 glyph: a ring of solid pixels around a transparent middle.
uint32_t glyphPixel(int32_t x, int32_t y)
{
    return x == 0 || x == 6 || y == 0 || y == 10 ? 0xE0E0E0u : magentaPixel;
}

void drawText40(benchmark::State& state)
{
    constexpr char characters[] = "0123456789abcdefghijklmnopqrstuvwxyz!?., :/)-+";
    ObjectList glyphs;
    for (const char* c = characters; *c != 0; c++) {
        const uint32_t id = bench().painted(7, 11, glyphPixel);
        (void)bench().canvas.makeMask(id);
        if (glyphs.add(static_cast<int32_t>(id)) == 0) {
            state.SkipWithError("no glyph");
            return;
        }
        game.glyphTable[static_cast<uint8_t>(*c)] = glyphs.lastAdded;
    }
    game.canvas = &bench().canvas;
    const char* text = "press space to play. level 12 - 004711 !";   // 40 characters
    for (auto _ : state) {
        game.drawText(text, 100.0, 200.0);
        benchmark::ClobberMemory();
    }
    game.canvas = nullptr;
    for (GameObject*& entry : game.glyphTable) {
        entry = nullptr;
    }
    for (GameObject* node = glyphs.head; node != nullptr; node = node->next) {
        bench().canvas.deleteSprite(static_cast<uint32_t>(node->spriteId));
    }
}
BENCHMARK(drawText40);

// A ship-like shape: a solid ellipse in the 48 x 24 box, magenta around it.
uint32_t ellipsePixel(int32_t x, int32_t y)
{
    const double dx = (x - 23.5) / 24.0;
    const double dy = (y - 11.5) / 12.0;
    return dx * dx + dy * dy <= 1.0 ? 0x406080u : magentaPixel;
}

uint32_t clearPixel(int32_t, int32_t)
{
    return magentaPixel;
}

// Two 48 x 24 sprites overlapping by half in each direction: the ellipses touch
// (hit), or b is wholly transparent and the whole region is scanned (miss).
void spritesCollide48x24(benchmark::State& state, uint32_t (*paintB)(int32_t, int32_t))
{
    Canvas& canvas = bench().canvas;
    const uint32_t a = bench().painted(48, 24, ellipsePixel);
    const uint32_t b = bench().painted(48, 24, paintB);
    canvas.setSpritePosition(a, 100, 100);
    canvas.setSpritePosition(b, 124, 112);
    for (auto _ : state) {
        benchmark::DoNotOptimize(canvas.spritesCollide(a, b));
    }
    canvas.deleteSprite(a);
    canvas.deleteSprite(b);
}
BENCHMARK_CAPTURE(spritesCollide48x24, hit, ellipsePixel);
BENCHMARK_CAPTURE(spritesCollide48x24, miss, clearPixel);

// Console output as usual, and the CPU time of each run kept for the ratios: on a
// shared machine it is steadier than the wall-clock time.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> nanoseconds;

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            nanoseconds[run.benchmark_name()] = run.GetAdjustedCPUTime() *
                                                benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e9;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // The median when the run was repeated, else the single run.
    std::map<std::string, double>::const_iterator find(const std::string& name) const
    {
        const auto median = nanoseconds.find(name + "_median");
        return median != nanoseconds.end() ? median : nanoseconds.find(name);
    }

    void printRatio(const char* label, const char* name, const char* yardstick, double goal) const
    {
        const auto top = find(name);
        const auto bottom = find(yardstick);
        if (top == nanoseconds.end() || bottom == nanoseconds.end() || bottom->second <= 0.0) {
            return;
        }
        const double ratio = top->second / bottom->second;
        std::printf("%-44s %6.2fx  (goal at most %.1fx: %s)\n", label, ratio, goal, ratio <= goal ? "met" : "MISSED");
    }
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n");
    reporter.printRatio("opaque draw / memcpy", "drawSpriteFullScreen", "memcpyFullScreen", 1.5);
    reporter.printRatio("keyed draw (mixed runs) / memcpy", "keyedDraw/mixedRuns", "memcpyFullScreen", 3.0);
    reporter.printRatio("keyed draw (mixed runs) / SDL keyed blit", "keyedDraw/mixedRuns", "sdlKeyedBlit/mixedRuns",
                        1.0);
    reporter.printRatio("keyed draw (mixed runs) / SDL RLE keyed blit", "keyedDraw/mixedRuns",
                        "sdlKeyedBlit/mixedRunsRle", 1.0);
    reporter.printRatio("keyed draw (checkerboard) / SDL keyed blit", "keyedDraw/checkerboard",
                        "sdlKeyedBlit/checkerboard", 1.0);
    benchmark::Shutdown();
    return 0;
}
