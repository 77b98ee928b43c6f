#include "platform/display/sdl_keys.h"

#include "platform/display/sdl_test_hooks.h"
#include "platform/user/input/input.h"

namespace platform {
namespace {

// The key between left Shift and Z on keyboards that have it.
constexpr int kOem102Key = 0xE2;
constexpr int kF13Key = 0x7C;

int KeypadKey(SDL_Scancode scancode, bool numLock) {
    struct Keypad {
        SDL_Scancode scancode;
        int digit;
        int navigation;
    };
    static constexpr Keypad kKeypad[] = {
        {SDL_SCANCODE_KP_0, VK_NUMPAD0, VK_INSERT},
        {SDL_SCANCODE_KP_1, VK_NUMPAD0 + 1, VK_END},
        {SDL_SCANCODE_KP_2, VK_NUMPAD0 + 2, VK_DOWN},
        {SDL_SCANCODE_KP_3, VK_NUMPAD0 + 3, VK_NEXT},
        {SDL_SCANCODE_KP_4, VK_NUMPAD0 + 4, VK_LEFT},
        {SDL_SCANCODE_KP_5, VK_NUMPAD0 + 5, VK_CLEAR},
        {SDL_SCANCODE_KP_6, VK_NUMPAD0 + 6, VK_RIGHT},
        {SDL_SCANCODE_KP_7, VK_NUMPAD0 + 7, VK_HOME},
        {SDL_SCANCODE_KP_8, VK_NUMPAD0 + 8, VK_UP},
        {SDL_SCANCODE_KP_9, VK_NUMPAD0 + 9, VK_PRIOR},
        {SDL_SCANCODE_KP_PERIOD, VK_DECIMAL, VK_DELETE},
    };
    for (const Keypad& key : kKeypad)
        if (key.scancode == scancode) return numLock ? key.digit : key.navigation;
    return 0;
}

} // namespace

int VirtualKeyFromScancode(SDL_Scancode scancode, bool numLock) {
    return VirtualKeyFromKey(scancode, SDL_GetKeyFromScancode(scancode), numLock);
}

int VirtualKeyFromKey(SDL_Scancode scancode, SDL_Keycode key, bool numLock) {
    // Keypad keys keep their own meaning whatever character a layout puts on them.
    if (key >= SDLK_a && key <= SDLK_z && scancode < SDL_SCANCODE_KP_DIVIDE)
        return 'A' + (key - SDLK_a);
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
        return 'A' + (scancode - SDL_SCANCODE_A);
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
        return '1' + (scancode - SDL_SCANCODE_1);
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12)
        return VK_F1 + (scancode - SDL_SCANCODE_F1);
    if (scancode >= SDL_SCANCODE_F13 && scancode <= SDL_SCANCODE_F24)
        return kF13Key + (scancode - SDL_SCANCODE_F13);
    if (int key = KeypadKey(scancode, numLock)) return key;
    switch (scancode) {
    case SDL_SCANCODE_0:
        return '0';
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_KP_ENTER:
        return VK_RETURN;
    case SDL_SCANCODE_ESCAPE:
        return VK_ESCAPE;
    case SDL_SCANCODE_BACKSPACE:
        return VK_BACK;
    case SDL_SCANCODE_TAB:
        return VK_TAB;
    case SDL_SCANCODE_SPACE:
        return VK_SPACE;
    case SDL_SCANCODE_MINUS:
        return VK_OEM_MINUS;
    case SDL_SCANCODE_EQUALS:
        return VK_OEM_PLUS;
    case SDL_SCANCODE_LEFTBRACKET:
        return VK_OEM_4;
    case SDL_SCANCODE_RIGHTBRACKET:
        return VK_OEM_6;
    case SDL_SCANCODE_BACKSLASH:
    case SDL_SCANCODE_NONUSHASH:
        return VK_OEM_5;
    case SDL_SCANCODE_SEMICOLON:
        return VK_OEM_1;
    case SDL_SCANCODE_APOSTROPHE:
        return VK_OEM_7;
    case SDL_SCANCODE_GRAVE:
        return VK_OEM_3;
    case SDL_SCANCODE_COMMA:
        return VK_OEM_COMMA;
    case SDL_SCANCODE_PERIOD:
        return VK_OEM_PERIOD;
    case SDL_SCANCODE_SLASH:
        return VK_OEM_2;
    case SDL_SCANCODE_NONUSBACKSLASH:
        return kOem102Key;
    case SDL_SCANCODE_CAPSLOCK:
        return VK_CAPITAL;
    case SDL_SCANCODE_PRINTSCREEN:
        return VK_SNAPSHOT;
    case SDL_SCANCODE_SCROLLLOCK:
        return VK_SCROLL;
    case SDL_SCANCODE_PAUSE:
        return VK_PAUSE;
    case SDL_SCANCODE_INSERT:
        return VK_INSERT;
    case SDL_SCANCODE_HOME:
        return VK_HOME;
    case SDL_SCANCODE_PAGEUP:
        return VK_PRIOR;
    case SDL_SCANCODE_DELETE:
        return VK_DELETE;
    case SDL_SCANCODE_END:
        return VK_END;
    case SDL_SCANCODE_PAGEDOWN:
        return VK_NEXT;
    case SDL_SCANCODE_RIGHT:
        return VK_RIGHT;
    case SDL_SCANCODE_LEFT:
        return VK_LEFT;
    case SDL_SCANCODE_DOWN:
        return VK_DOWN;
    case SDL_SCANCODE_UP:
        return VK_UP;
    case SDL_SCANCODE_NUMLOCKCLEAR:
        return VK_NUMLOCK;
    case SDL_SCANCODE_KP_DIVIDE:
        return VK_DIVIDE;
    case SDL_SCANCODE_KP_MULTIPLY:
        return VK_MULTIPLY;
    case SDL_SCANCODE_KP_MINUS:
        return VK_SUBTRACT;
    case SDL_SCANCODE_KP_PLUS:
        return VK_ADD;
    case SDL_SCANCODE_APPLICATION:
        return VK_APPS;
    case SDL_SCANCODE_LCTRL:
        return VK_LCONTROL;
    case SDL_SCANCODE_RCTRL:
        return VK_RCONTROL;
    case SDL_SCANCODE_LSHIFT:
        return VK_LSHIFT;
    case SDL_SCANCODE_RSHIFT:
        return VK_RSHIFT;
    case SDL_SCANCODE_LALT:
        return VK_LMENU;
    case SDL_SCANCODE_RALT:
        return VK_RMENU;
    case SDL_SCANCODE_LGUI:
        return VK_LWIN;
    case SDL_SCANCODE_RGUI:
        return VK_RWIN;
    default:
        return 0;
    }
}

} // namespace platform

namespace platform::test {

int VirtualKeyOnLayout(const char* keyName, const char* layoutKey, bool numLock) {
    SDL_Scancode scancode = SDL_GetScancodeFromName(keyName);
    SDL_Keycode key = SDL_GetKeyFromName(layoutKey);
    if (scancode == SDL_SCANCODE_UNKNOWN || key == SDLK_UNKNOWN) return 0;
    return VirtualKeyFromKey(scancode, key, numLock);
}

} // namespace platform::test
