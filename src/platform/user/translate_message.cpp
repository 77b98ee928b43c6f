#include <atomic>

#include "platform/kernel/clock.h"
#include "platform/user/input/input_routing.h"
#include "platform/kernel/waitable.h"

namespace platform {
namespace {

std::atomic<bool> textDelivered{false};

struct Punctuation {
    int vKey;
    char plain;
    char shifted;
};

// The US layout's keys that are neither letters nor digits.
constexpr Punctuation kPunctuation[] = {
    {VK_SPACE, ' ', ' '},     {VK_OEM_1, ';', ':'},     {VK_OEM_PLUS, '=', '+'},
    {VK_OEM_COMMA, ',', '<'}, {VK_OEM_MINUS, '-', '_'}, {VK_OEM_PERIOD, '.', '>'},
    {VK_OEM_2, '/', '?'},     {VK_OEM_3, '`', '~'},     {VK_OEM_4, '[', '{'},
    {VK_OEM_5, '\\', '|'},    {VK_OEM_6, ']', '}'},     {VK_OEM_7, '\'', '"'},
    {VK_MULTIPLY, '*', '*'},  {VK_ADD, '+', '+'},       {VK_SUBTRACT, '-', '-'},
    {VK_DECIMAL, '.', '.'},   {VK_DIVIDE, '/', '/'},
};

constexpr char kShiftedDigits[] = ")!@#$%^&*(";

bool Down(int vKey) {
    return GetKeyState(vKey) < 0;
}

// The character a key makes with the modifiers down now; -1 for none. `control` tells
// whether it is a control character, which no text event brings.
int CharacterOf(int vKey, bool& control) {
    bool shift = Down(VK_SHIFT);
    bool ctrl = Down(VK_CONTROL);
    bool alt = Down(VK_MENU);
    control = true;
    if (ctrl && alt) return -1;
    switch (vKey) {
    case VK_BACK:
        return ctrl ? 0x7F : 8;
    case VK_TAB:
        return ctrl ? -1 : 9;
    case VK_RETURN:
        return ctrl ? 10 : 13;
    case VK_ESCAPE:
        return 27;
    case VK_CANCEL:
        return ctrl ? 3 : -1;
    default:
        break;
    }
    if (vKey >= 'A' && vKey <= 'Z') {
        if (ctrl) return vKey - 'A' + 1;
        control = false;
        bool upper = shift != ((GetKeyState(VK_CAPITAL) & 1) != 0);
        return upper ? vKey : vKey - 'A' + 'a';
    }
    if (ctrl) {
        switch (vKey) {
        case VK_OEM_4:
            return 27;
        case VK_OEM_5:
            return 28;
        case VK_OEM_6:
            return 29;
        case VK_SPACE:
            return ' ';
        default:
            return -1;
        }
    }
    control = false;
    if (vKey >= '0' && vKey <= '9') return shift ? kShiftedDigits[vKey - '0'] : vKey;
    if (vKey >= VK_NUMPAD0 && vKey <= VK_NUMPAD9)
        return (GetKeyState(VK_NUMLOCK) & 1) ? '0' + (vKey - VK_NUMPAD0) : -1;
    for (const Punctuation& key : kPunctuation)
        if (key.vKey == vKey) return shift ? key.shifted : key.plain;
    return -1;
}

} // namespace

void SetTextInputDelivered(bool delivered) {
    textDelivered = delivered;
}

bool TextInputDelivered() {
    return textDelivered;
}

} // namespace platform

SHORT VkKeyScanA(CHAR character) {
    auto c = static_cast<unsigned char>(character);
    if (c >= 'a' && c <= 'z') return static_cast<SHORT>(c - 'a' + 'A');
    if (c >= 'A' && c <= 'Z') return static_cast<SHORT>(0x100 | c);
    if (c >= '0' && c <= '9') return static_cast<SHORT>(c);
    if (c >= 1 && c <= 26 && c != 8 && c != 9 && c != 10 && c != 13)
        return static_cast<SHORT>(0x200 | (c - 1 + 'A'));
    switch (c) {
    case 8:
        return VK_BACK;
    case 9:
        return VK_TAB;
    case 10:
        return static_cast<SHORT>(0x200 | VK_RETURN);
    case 13:
        return VK_RETURN;
    case 27:
        return VK_ESCAPE;
    case 28:
        return static_cast<SHORT>(0x200 | VK_OEM_5);
    case 29:
        return static_cast<SHORT>(0x200 | VK_OEM_6);
    case 0x7F:
        return static_cast<SHORT>(0x200 | VK_BACK);
    default:
        break;
    }
    for (int digit = 0; digit < 10; ++digit)
        if (platform::kShiftedDigits[digit] == character)
            return static_cast<SHORT>(0x100 | ('0' + digit));
    // The main keys come before the keypad, so a character names the key a typist uses.
    for (const platform::Punctuation& key : platform::kPunctuation) {
        if (key.plain == character) return static_cast<SHORT>(key.vKey);
        if (key.shifted == character) return static_cast<SHORT>(0x100 | key.vKey);
    }
    return -1;
}

BOOL TranslateMessage(const MSG* msg) {
    if (!msg) return FALSE;
    bool system = msg->message == WM_SYSKEYDOWN || msg->message == WM_SYSKEYUP;
    if (msg->message != WM_KEYDOWN && msg->message != WM_KEYUP && !system) return FALSE;
    if (msg->message == WM_KEYUP || msg->message == WM_SYSKEYUP) return TRUE;
    bool control = false;
    int character = platform::CharacterOf(static_cast<int>(msg->wParam), control);
    if (character < 0) return TRUE;
    if (!system && !control && platform::TextInputDelivered()) return TRUE;
    MSG out{msg->hwnd,
            system ? WM_SYSCHAR : WM_CHAR,
            static_cast<WPARAM>(character),
            msg->lParam,
            msg->time,
            msg->pt};
    std::lock_guard lock(platform::GetWaitHub().lock);
    // The character comes next, before whatever was queued after its key.
    platform::CurrentThreadQueueLocked().posted.push_front(out);
    platform::GetWaitHub().NotifyAll();
    return TRUE;
}
