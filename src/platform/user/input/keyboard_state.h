// The asynchronous key state: which keys and mouse buttons are down right now,
// process-wide. The display back end feeds it from its input events.
#pragma once

#include <cstdint>

using SHORT = int16_t;

inline constexpr int VK_LBUTTON = 0x01;
inline constexpr int VK_RBUTTON = 0x02;
inline constexpr int VK_MBUTTON = 0x04;
inline constexpr int VK_RETURN = 0x0D;
inline constexpr int VK_SHIFT = 0x10;
inline constexpr int VK_CONTROL = 0x11;
inline constexpr int VK_MENU = 0x12;
inline constexpr int VK_ESCAPE = 0x1B;
inline constexpr int VK_SPACE = 0x20;
inline constexpr int VK_PRIOR = 0x21;
inline constexpr int VK_NEXT = 0x22;
inline constexpr int VK_LEFT = 0x25;
inline constexpr int VK_UP = 0x26;
inline constexpr int VK_RIGHT = 0x27;
inline constexpr int VK_DOWN = 0x28;
inline constexpr int VK_NUMLOCK = 0x90;
inline constexpr int VK_LSHIFT = 0xA0;
inline constexpr int VK_RSHIFT = 0xA1;
inline constexpr int VK_LCONTROL = 0xA2;
inline constexpr int VK_RCONTROL = 0xA3;
inline constexpr int VK_LMENU = 0xA4;
inline constexpr int VK_RMENU = 0xA5;

// Negative (high bit set) while the key is down, 0 otherwise or for a code outside
// 0..255. VK_SHIFT, VK_CONTROL and VK_MENU are down while either side is.
SHORT GetAsyncKeyState(int vKey);

namespace platform {

// Records a key going down or up; codes outside 0..255 are ignored.
void SetKeyState(int vKey, bool down);

} // namespace platform

namespace platform::test {

void SetKeyDown(int vKey, bool down);

} // namespace platform::test
