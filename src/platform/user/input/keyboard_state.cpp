#include "platform/user/input/keyboard_state.h"

#include <array>
#include <atomic>

namespace {

// Written by the event thread, read by any thread polling the keyboard.
std::array<std::atomic<bool>, 256> keysDown{};

bool IsDown(int vKey) {
    return keysDown[vKey].load(std::memory_order_relaxed);
}

} // namespace

SHORT GetAsyncKeyState(int vKey) {
    if (vKey < 0 || vKey >= static_cast<int>(keysDown.size())) return 0;
    bool down = IsDown(vKey);
    switch (vKey) {
    case VK_SHIFT:
        down = down || IsDown(VK_LSHIFT) || IsDown(VK_RSHIFT);
        break;
    case VK_CONTROL:
        down = down || IsDown(VK_LCONTROL) || IsDown(VK_RCONTROL);
        break;
    case VK_MENU:
        down = down || IsDown(VK_LMENU) || IsDown(VK_RMENU);
        break;
    default:
        break;
    }
    return down ? static_cast<SHORT>(0x8000) : 0;
}

namespace platform {

void SetKeyState(int vKey, bool down) {
    if (vKey < 0 || vKey >= static_cast<int>(keysDown.size())) return;
    keysDown[vKey].store(down, std::memory_order_relaxed);
}

} // namespace platform

void platform::test::SetKeyDown(int vKey, bool down) {
    platform::SetKeyState(vKey, down);
}
