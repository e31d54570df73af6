#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "BmpFixtures.h"
#include "GraphicsFixture.h"
#include "graphics/Canvas.h"
#include "platform/headless/Headless.h"

namespace {

struct CreateCase {
    platform::WindowHandle window;
    uint32_t width;
    uint32_t height;
    int32_t result;
};

constexpr CreateCase createCases[] = {
    {0, 640, 480, 0},      // no window
    {1, 0, 480, 0},
    {1, 640, 0, 0},
    {1, 4097, 480, 0},
    {1, 640, 4097, 0},
    {1, 4096, 4096, 1},    // the largest back buffer
    {1, 640, 480, 1},
};

TEST(CanvasCreate, RefusesMissingWindowAndBadSizes)
{
    for (const CreateCase& c : createCases) {
        Canvas canvas;
        EXPECT_EQ(canvas.create(c.window, c.width, c.height), c.result) << c.width << " x " << c.height;
        EXPECT_EQ(canvas.created, c.result);
        if (c.result == 0) {
            EXPECT_EQ(canvas.backBuffer, nullptr);
            continue;
        }
        EXPECT_EQ(canvas.colourKey, colourMagenta);
        const Surface& buffer = *canvas.backBuffer;
        ASSERT_EQ(buffer.width, static_cast<int32_t>(c.width));
        ASSERT_EQ(buffer.height, static_cast<int32_t>(c.height));
        const int64_t pixelCount = int64_t{buffer.width} * buffer.height;
        EXPECT_EQ(std::count(buffer.pixels, buffer.pixels + pixelCount, untouchedPixel), pixelCount);
    }
}

// Ids from newest to oldest, checking that both links agree on every step.
std::vector<uint32_t> walk(const Canvas& canvas)
{
    std::vector<uint32_t> ids;
    const Sprite* newer = nullptr;
    for (const Sprite* record = canvas.newest; record != nullptr; record = record->older) {
        EXPECT_EQ(record->newer, newer);
        for (uint32_t id = 1; id < spriteSlotCount; id++) {
            if (canvas.slots[id] == record) {
                ids.push_back(id);
            }
        }
        newer = record;
    }
    EXPECT_EQ(canvas.oldest, newer);
    EXPECT_EQ(ids.size(), canvas.spriteCount);
    return ids;
}

TEST(SpriteStore, HandsOutTheLowestFreeId)
{
    Canvas canvas;
    EXPECT_EQ(canvas.createSprite(4, 4), 1u);
    EXPECT_EQ(canvas.createSprite(4, 4), 2u);
    EXPECT_EQ(canvas.createSprite(4, 4), 3u);
    EXPECT_EQ(canvas.deleteSprite(1), 1);
    EXPECT_EQ(canvas.createSprite(2, 2), 1u);
    EXPECT_EQ(canvas.sprite(1)->width, 2u);
    EXPECT_EQ(canvas.sprite(1)->mask, nullptr);

    for (uint32_t freeId : {0u, 4u, 2047u, 2048u, 0xFFFFFFFFu}) {
        EXPECT_EQ(canvas.deleteSprite(freeId), 0) << freeId;
    }
    EXPECT_EQ(walk(canvas), (std::vector<uint32_t>{1, 3, 2}));
}

TEST(SpriteStore, FullStoreAndFailedCreateChangeNothing)
{
    Canvas canvas;
    for (uint32_t expected = 1; expected <= 2047; expected++) {
        ASSERT_EQ(canvas.createSprite(1, 1), expected);
    }
    const Sprite* newest = canvas.newest;
    const Sprite* oldest = canvas.oldest;
    const Sprite* lastCreated = canvas.lastCreated;
    EXPECT_EQ(canvas.createSprite(1, 1), 0u);
    EXPECT_EQ(canvas.spriteCount, 2047u);
    EXPECT_EQ(canvas.newest, newest);
    EXPECT_EQ(canvas.oldest, oldest);
    EXPECT_EQ(canvas.lastCreated, lastCreated);

    ASSERT_EQ(canvas.deleteSprite(700), 1);
    lastCreated = canvas.lastCreated;
    // An image that cannot be made: no id is used, the list stays as it was.
    EXPECT_EQ(canvas.createSprite(0, 1), 0u);
    EXPECT_EQ(canvas.createSprite(0x80000000u, 1), 0u);
    EXPECT_EQ(canvas.spriteCount, 2046u);
    EXPECT_EQ(canvas.newest, newest);
    EXPECT_EQ(canvas.lastCreated, lastCreated);
    EXPECT_EQ(canvas.slots[700], nullptr);
    EXPECT_EQ(canvas.createSprite(1, 1), 700u);
}

struct UnlinkCase {
    const char* name;
    uint32_t spritesMade;
    uint32_t deleted;
    std::vector<uint32_t> left;   // newest first
};

TEST(SpriteStore, DeleteUnlinksInAllFourPlacesAndReleaseAllFreesTheRest)
{
    const UnlinkCase cases[] = {
        {"newest", 3, 3, {2, 1}},
        {"oldest", 3, 1, {3, 2}},
        {"middle", 3, 2, {3, 1}},
        {"only", 1, 1, {}},
    };
    for (const UnlinkCase& c : cases) {
        SCOPED_TRACE(c.name);
        headless::reset();
        Canvas canvas;
        ASSERT_EQ(canvas.create(platform::createWindow("Karvex", "test", 640, 480), 640, 480), 1);
        for (uint32_t n = 0; n < c.spritesMade; n++) {
            ASSERT_NE(canvas.createSprite(3, 3), 0u);
        }
        ASSERT_EQ(canvas.makeMask(1), 1);
        EXPECT_EQ(canvas.deleteSprite(c.deleted), 1);
        EXPECT_EQ(canvas.deleteSprite(c.deleted), 0);
        EXPECT_EQ(walk(canvas), c.left);

        // What releaseAll misses, the sanitizer build reports as a leak.
        canvas.releaseAll();
        EXPECT_EQ(canvas.newest, nullptr);
        EXPECT_EQ(canvas.oldest, nullptr);
        EXPECT_EQ(canvas.spriteCount, 0u);
        EXPECT_EQ(canvas.backBuffer, nullptr);
        for (uint32_t id = 0; id < spriteSlotCount; id++) {
            ASSERT_EQ(canvas.sprite(id), nullptr);
        }
        // The freed buffer is never presented.
        const int64_t presents = headless::presentCount();
        canvas.present();
        EXPECT_EQ(headless::presentCount(), presents);
    }
    headless::reset();
}

TEST(SpriteStore, LoadSpriteTakesThePictureAtItsSize)
{
    const std::filesystem::path directory = std::filesystem::path(KARVEX_BINARY_DIR) / "test-scratch" / "load-sprite";
    std::filesystem::create_directories(directory);
    const std::filesystem::path path = directory / "picture.bmp";
    const auto& variants = bmpfixture::variants();
    const auto info24 = std::find_if(variants.begin(), variants.end(),
                                     [](const bmpfixture::Variant& v) { return std::string(v.name) == "info24"; });
    ASSERT_NE(info24, variants.end());
    const std::vector<uint8_t> bytes = bmpfixture::writeBmp(bmpfixture::fixtureFields(*info24));
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    std::fclose(file);

    Canvas canvas;
    EXPECT_EQ(canvas.loadSprite((directory / "missing.bmp").c_str()), 0u);
    EXPECT_EQ(canvas.spriteCount, 0u);
    const uint32_t id = canvas.loadSprite(path.c_str());
    ASSERT_EQ(id, 1u);
    const Sprite& loaded = *canvas.sprite(id);
    EXPECT_EQ(loaded.width, 9u);
    EXPECT_EQ(loaded.height, 3u);
    EXPECT_EQ(loaded.mask, nullptr);
    EXPECT_EQ(pixelAt(*loaded.image, 0, 0), bmpfixture::red);
    EXPECT_EQ(pixelAt(*loaded.image, 8, 2), bmpfixture::magenta);

    // A full store gives the picture back instead of keeping it.
    while (canvas.createSprite(1, 1) != 0) {
    }
    EXPECT_EQ(canvas.loadSprite(path.c_str()), 0u);
    EXPECT_EQ(canvas.spriteCount, 2047u);
    std::filesystem::remove_all(directory);
}

TEST(SpriteStore, SetPositionMovesOnlyLiveSprites)
{
    Canvas canvas;
    const uint32_t id = canvas.createSprite(2, 2);
    canvas.setSpritePosition(id, -7, 300);
    canvas.setSpritePosition(id + 1, 5, 5);
    canvas.setSpritePosition(5000, 5, 5);
    EXPECT_EQ(canvas.sprite(id)->x, -7);
    EXPECT_EQ(canvas.sprite(id)->y, 300);
    EXPECT_EQ(canvas.sprite(id + 1), nullptr);
}

}  // namespace
