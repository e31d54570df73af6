#include <gtest/gtest.h>

#include "platform/KeyState.h"
#include "platform/Platform.h"
#include "platform/headless/Headless.h"

namespace {

TEST(KeyState, ATapBetweenTwoLooksIsSeenOnce)
{
    KeyState keys;
    keys.press(platform::vk::space);
    keys.release(platform::vk::space);
    EXPECT_TRUE(keys.ask(platform::vk::space));
    EXPECT_FALSE(keys.ask(platform::vk::space));
    EXPECT_FALSE(keys.ask(platform::vk::f8));
}

TEST(KeyState, AHeldKeyIsDownUntilReleased)
{
    KeyState keys;
    keys.press(platform::vk::left);
    EXPECT_TRUE(keys.ask(platform::vk::left));
    EXPECT_TRUE(keys.ask(platform::vk::left));
    keys.release(platform::vk::left);
    EXPECT_FALSE(keys.ask(platform::vk::left));
}

TEST(KeyState, BothShiftKeysShareOneCode)
{
    KeyState keys;
    keys.press(platform::vk::shift);
    keys.press(platform::vk::shift);
    keys.release(platform::vk::shift);
    EXPECT_TRUE(keys.ask(platform::vk::shift));
    keys.release(platform::vk::shift);
    EXPECT_FALSE(keys.ask(platform::vk::shift));
    keys.release(platform::vk::shift);   // a release without a press does not wrap
    EXPECT_FALSE(keys.held(platform::vk::shift));
}

TEST(KeyState, LosingFocusReleasesHeldKeysButKeepsAnUnseenTap)
{
    KeyState keys;
    keys.press(platform::vk::right);
    keys.press(platform::vk::up);
    EXPECT_TRUE(keys.ask(platform::vk::up));
    keys.releaseAll();
    EXPECT_TRUE(keys.ask(platform::vk::right));
    EXPECT_FALSE(keys.ask(platform::vk::right));
    EXPECT_FALSE(keys.ask(platform::vk::up));
}

TEST(KeyState, CodesOutsideTheTableAreNeverDown)
{
    KeyState keys;
    for (int32_t code : {-1, 0, 256, 0x10000}) {
        keys.press(code);
        EXPECT_FALSE(keys.ask(code)) << code;
    }
}

TEST(KeyState, TheHeadlessTwinLatchesTapsToo)
{
    headless::reset();
    headless::tapKey(platform::vk::f8);
    EXPECT_TRUE(platform::keyDown(platform::vk::f8));
    EXPECT_FALSE(platform::keyDown(platform::vk::f8));
    headless::setKeyHeld(platform::vk::down, true);
    headless::tapKey(platform::vk::down);   // a tap of a held key leaves it held
    EXPECT_TRUE(platform::keyDown(platform::vk::down));
    EXPECT_TRUE(platform::keyDown(platform::vk::down));
    headless::setKeyHeld(platform::vk::down, false);
    EXPECT_FALSE(platform::keyDown(platform::vk::down));
    headless::reset();
}

}  // namespace
