#include <array>
#include <atomic>

#include "platform/kernel/clock.h"
#include "platform/kernel/waitable.h"
#include "platform/user/input/input_routing.h"

namespace platform {
namespace {

struct KeyScan {
    int vKey;
    BYTE scan;
    bool extended;
};

// The US layout's scan codes (set 1).
constexpr KeyScan kScans[] = {
    {VK_ESCAPE, 0x01, false},
    {'1', 0x02, false},
    {'2', 0x03, false},
    {'3', 0x04, false},
    {'4', 0x05, false},
    {'5', 0x06, false},
    {'6', 0x07, false},
    {'7', 0x08, false},
    {'8', 0x09, false},
    {'9', 0x0A, false},
    {'0', 0x0B, false},
    {VK_OEM_MINUS, 0x0C, false},
    {VK_OEM_PLUS, 0x0D, false},
    {VK_BACK, 0x0E, false},
    {VK_TAB, 0x0F, false},
    {'Q', 0x10, false},
    {'W', 0x11, false},
    {'E', 0x12, false},
    {'R', 0x13, false},
    {'T', 0x14, false},
    {'Y', 0x15, false},
    {'U', 0x16, false},
    {'I', 0x17, false},
    {'O', 0x18, false},
    {'P', 0x19, false},
    {VK_OEM_4, 0x1A, false},
    {VK_OEM_6, 0x1B, false},
    {VK_RETURN, 0x1C, false},
    {VK_CONTROL, 0x1D, false},
    {VK_LCONTROL, 0x1D, false},
    {'A', 0x1E, false},
    {'S', 0x1F, false},
    {'D', 0x20, false},
    {'F', 0x21, false},
    {'G', 0x22, false},
    {'H', 0x23, false},
    {'J', 0x24, false},
    {'K', 0x25, false},
    {'L', 0x26, false},
    {VK_OEM_1, 0x27, false},
    {VK_OEM_7, 0x28, false},
    {VK_OEM_3, 0x29, false},
    {VK_SHIFT, 0x2A, false},
    {VK_LSHIFT, 0x2A, false},
    {VK_OEM_5, 0x2B, false},
    {'Z', 0x2C, false},
    {'X', 0x2D, false},
    {'C', 0x2E, false},
    {'V', 0x2F, false},
    {'B', 0x30, false},
    {'N', 0x31, false},
    {'M', 0x32, false},
    {VK_OEM_COMMA, 0x33, false},
    {VK_OEM_PERIOD, 0x34, false},
    {VK_OEM_2, 0x35, false},
    {VK_RSHIFT, 0x36, false},
    {VK_MULTIPLY, 0x37, false},
    {VK_MENU, 0x38, false},
    {VK_LMENU, 0x38, false},
    {VK_SPACE, 0x39, false},
    {VK_CAPITAL, 0x3A, false},
    {VK_F1, 0x3B, false},
    {VK_F1 + 1, 0x3C, false},
    {VK_F1 + 2, 0x3D, false},
    {VK_F1 + 3, 0x3E, false},
    {VK_F1 + 4, 0x3F, false},
    {VK_F1 + 5, 0x40, false},
    {VK_F1 + 6, 0x41, false},
    {VK_F1 + 7, 0x42, false},
    {VK_F1 + 8, 0x43, false},
    {VK_F10, 0x44, false},
    {VK_NUMLOCK, 0x45, true},
    {VK_SCROLL, 0x46, false},
    {VK_NUMPAD0 + 7, 0x47, false},
    {VK_NUMPAD0 + 8, 0x48, false},
    {VK_NUMPAD0 + 9, 0x49, false},
    {VK_SUBTRACT, 0x4A, false},
    {VK_NUMPAD0 + 4, 0x4B, false},
    {VK_NUMPAD0 + 5, 0x4C, false},
    {VK_NUMPAD0 + 6, 0x4D, false},
    {VK_ADD, 0x4E, false},
    {VK_NUMPAD0 + 1, 0x4F, false},
    {VK_NUMPAD0 + 2, 0x50, false},
    {VK_NUMPAD0 + 3, 0x51, false},
    {VK_NUMPAD0, 0x52, false},
    {VK_DECIMAL, 0x53, false},
    {VK_F1 + 10, 0x57, false},
    {VK_F12, 0x58, false},
    {VK_RCONTROL, 0x1D, true},
    {VK_RMENU, 0x38, true},
    {VK_DIVIDE, 0x35, true},
    {VK_HOME, 0x47, true},
    {VK_UP, 0x48, true},
    {VK_PRIOR, 0x49, true},
    {VK_LEFT, 0x4B, true},
    {VK_RIGHT, 0x4D, true},
    {VK_END, 0x4F, true},
    {VK_DOWN, 0x50, true},
    {VK_NEXT, 0x51, true},
    {VK_INSERT, 0x52, true},
    {VK_DELETE, 0x53, true},
    {VK_LWIN, 0x5B, true},
    {VK_RWIN, 0x5C, true},
    {VK_APPS, 0x5D, true},
};

const KeyScan* ScanOf(int vKey) {
    for (const KeyScan& key : kScans)
        if (key.vKey == vKey) return &key;
    return nullptr;
}

// The key state as the key messages taken from the queue left it: 0x80 while down, 0x01
// flipped by every press.
std::array<std::atomic<BYTE>, 256> taken{};

void NoteKey(int vKey, bool down) {
    BYTE state = taken[vKey];
    if (down && !(state & 0x80)) state ^= 0x01;
    state = static_cast<BYTE>(down ? state | 0x80 : state & ~0x80);
    taken[vKey] = state;
}

// A left or right modifier is reported with its generic code.
int GenericKey(int vKey) {
    switch (vKey) {
    case VK_LSHIFT:
    case VK_RSHIFT:
        return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL:
        return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU:
        return VK_MENU;
    default:
        return vKey;
    }
}

// The window keyboard input goes to, and whether it is the active window standing in
// for a missing focus (which gets the WM_SYS forms).
WindowPtr KeyboardTarget(bool& noFocus) {
    std::lock_guard lock(WindowLock());
    InputState& state = InputStateLocked();
    WindowPtr target = LiveLocked(state.focus);
    noFocus = !target;
    if (!target) target = LiveLocked(state.active);
    return target;
}

void PostTo(const WindowPtr& target, UINT message, WPARAM wParam, LPARAM lParam) {
    POINT cursor{};
    GetCursorPos(&cursor);
    MSG msg{target->handle, message, wParam, lParam, timeGetTime(), cursor};
    std::lock_guard lock(GetWaitHub().lock);
    if (MessageQueue* queue = FindThreadQueueLocked(target->threadId)) PostInputLocked(*queue, msg);
}

} // namespace

int VirtualKeyOfScan(int scan, bool extended) {
    int found = 0;
    for (const KeyScan& key : kScans) {
        if (key.scan != scan || key.extended != extended) continue;
        if (GenericKey(key.vKey) == key.vKey && found == 0) {
            found = key.vKey;
            continue;
        }
        return key.vKey;
    }
    return found;
}

void InjectKey(int vKey, bool down) {
    if (vKey <= 0 || vKey > 0xFE) return;
    int generic = GenericKey(vKey);
    bool wasDown = GetAsyncKeyState(vKey) < 0;
    SetKeyState(vKey, down);
    const KeyScan* scan = ScanOf(vKey);
    bool alt = GetAsyncKeyState(VK_MENU) < 0;
    bool control = GetAsyncKeyState(VK_CONTROL) < 0;

    bool noFocus;
    WindowPtr target = KeyboardTarget(noFocus);
    if (!target) return;
    LPARAM lParam = 1;
    if (scan) lParam |= LPARAM{scan->scan} << 16 | (scan->extended ? LPARAM{1} << 24 : 0);
    if (alt) lParam |= LPARAM{1} << 29;
    if (wasDown || !down) lParam |= LPARAM{1} << 30;
    if (!down) lParam |= LPARAM{1} << 31;
    // Released Alt is reported as it went down: as a system key.
    bool system = noFocus || generic == VK_F10 || (alt && !control) ||
                  (!down && generic == VK_MENU && !control);
    UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    PostTo(target, message, static_cast<WPARAM>(generic), lParam);
}

void InjectText(std::string_view text) {
    bool noFocus;
    WindowPtr target = KeyboardTarget(noFocus);
    if (!target) return;
    for (char c : text) {
        if (c == '\0') continue;
        PostTo(target, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(c)), 1);
    }
}

void NoteInputTaken(const MSG& msg) {
    bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
    if (!down && msg.message != WM_KEYUP && msg.message != WM_SYSKEYUP) return;
    int vKey = static_cast<int>(msg.wParam & 0xFF);
    NoteKey(vKey, down);
    auto scan = static_cast<BYTE>(msg.lParam >> 16 & 0xFF);
    bool extended = (msg.lParam >> 24 & 1) != 0;
    switch (vKey) {
    case VK_SHIFT:
        NoteKey(scan == 0x36 ? VK_RSHIFT : VK_LSHIFT, down);
        break;
    case VK_CONTROL:
        NoteKey(extended ? VK_RCONTROL : VK_LCONTROL, down);
        break;
    case VK_MENU:
        NoteKey(extended ? VK_RMENU : VK_LMENU, down);
        break;
    default:
        break;
    }
}

} // namespace platform

SHORT GetKeyState(int vKey) {
    if (vKey < 0 || vKey > 0xFF) return 0;
    // The buttons have no messages of their own to follow.
    if (vKey == VK_LBUTTON || vKey == VK_RBUTTON || vKey == VK_MBUTTON)
        return GetAsyncKeyState(vKey);
    BYTE state = platform::taken[vKey];
    return static_cast<SHORT>(((state & 0x80) ? 0x8000 : 0) | (state & 0x01));
}

UINT MapVirtualKeyA(UINT code, UINT mapType) {
    switch (mapType) {
    case MAPVK_VK_TO_VSC: {
        const platform::KeyScan* scan = platform::ScanOf(static_cast<int>(code));
        return scan ? scan->scan : 0;
    }
    case MAPVK_VSC_TO_VK:
    case MAPVK_VSC_TO_VK_EX:
        for (const platform::KeyScan& key : platform::kScans) {
            if (key.scan != code || key.extended) continue;
            if (mapType == MAPVK_VSC_TO_VK)
                return static_cast<UINT>(platform::GenericKey(key.vKey));
            // The sided form names the left key of a pair.
            int sided = key.vKey == VK_SHIFT     ? VK_LSHIFT
                        : key.vKey == VK_CONTROL ? VK_LCONTROL
                        : key.vKey == VK_MENU    ? VK_LMENU
                                                 : key.vKey;
            return static_cast<UINT>(sided);
        }
        return 0;
    case MAPVK_VK_TO_CHAR: {
        if (code >= 'A' && code <= 'Z') return code;
        if (code >= '0' && code <= '9') return code;
        for (int c = 0x20; c < 0x7F; ++c) {
            SHORT key = VkKeyScanA(static_cast<CHAR>(c));
            if ((key & 0xFF) == static_cast<SHORT>(code) && (key >> 8) == 0)
                return static_cast<UINT>(c);
        }
        switch (code) {
        case VK_BACK:
            return 8;
        case VK_TAB:
            return 9;
        case VK_RETURN:
            return 13;
        case VK_ESCAPE:
            return 27;
        default:
            return 0;
        }
    }
    default:
        return 0;
    }
}
