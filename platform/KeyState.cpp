#include "platform/KeyState.h"

namespace {

bool validKey(int32_t virtualKey)
{
    return virtualKey > 0 && virtualKey < KeyState::keyCount;
}

}  // namespace

void KeyState::press(int32_t virtualKey)
{
    if (!validKey(virtualKey)) {
        return;
    }
    // Only the main thread writes heldCount, so a load and a store are enough.
    uint8_t count = heldCount[virtualKey].load(std::memory_order_relaxed);
    if (count < 255) {
        heldCount[virtualKey].store(static_cast<uint8_t>(count + 1), std::memory_order_relaxed);
    }
    pressedSinceAsked[virtualKey].store(1, std::memory_order_relaxed);
}

void KeyState::release(int32_t virtualKey)
{
    if (!validKey(virtualKey)) {
        return;
    }
    uint8_t count = heldCount[virtualKey].load(std::memory_order_relaxed);
    if (count > 0) {
        heldCount[virtualKey].store(static_cast<uint8_t>(count - 1), std::memory_order_relaxed);
    }
}

void KeyState::releaseAll()
{
    for (std::atomic<uint8_t>& count : heldCount) {
        count.store(0, std::memory_order_relaxed);
    }
}

void KeyState::clear()
{
    releaseAll();
    for (std::atomic<uint8_t>& pressed : pressedSinceAsked) {
        pressed.store(0, std::memory_order_relaxed);
    }
}

bool KeyState::ask(int32_t virtualKey)
{
    if (!validKey(virtualKey)) {
        return false;
    }
    bool tapped = pressedSinceAsked[virtualKey].exchange(0, std::memory_order_relaxed) != 0;
    return held(virtualKey) || tapped;
}

bool KeyState::held(int32_t virtualKey) const
{
    return validKey(virtualKey) && heldCount[virtualKey].load(std::memory_order_relaxed) > 0;
}
