// "STATIC": texts, rectangles, frames and etched lines. The SS_ type is a value in the low
// five bits, not a set of bits. Without SS_NOTIFY the pointer passes through to what lies
// below; with it a click gives STN_CLICKED and a double click STN_DBLCLK. A static never
// takes the focus.
#pragma once

#include "platform/controls/controls.h"

inline constexpr DWORD SS_LEFT = 0x0000;
inline constexpr DWORD SS_CENTER = 0x0001;
inline constexpr DWORD SS_RIGHT = 0x0002;
inline constexpr DWORD SS_ICON = 0x0003;
inline constexpr DWORD SS_BLACKRECT = 0x0004;
inline constexpr DWORD SS_GRAYRECT = 0x0005;
inline constexpr DWORD SS_WHITERECT = 0x0006;
inline constexpr DWORD SS_BLACKFRAME = 0x0007;
inline constexpr DWORD SS_GRAYFRAME = 0x0008;
inline constexpr DWORD SS_WHITEFRAME = 0x0009;
inline constexpr DWORD SS_SIMPLE = 0x000B;
inline constexpr DWORD SS_LEFTNOWORDWRAP = 0x000C;
inline constexpr DWORD SS_ETCHEDHORZ = 0x0010;
inline constexpr DWORD SS_ETCHEDVERT = 0x0011;
inline constexpr DWORD SS_ETCHEDFRAME = 0x0012;
inline constexpr DWORD SS_TYPEMASK = 0x001F;
inline constexpr DWORD SS_NOPREFIX = 0x0080;
inline constexpr DWORD SS_NOTIFY = 0x0100;
inline constexpr DWORD SS_SUNKEN = 0x1000;

inline constexpr WORD STN_CLICKED = 0;
inline constexpr WORD STN_DBLCLK = 1;
inline constexpr WORD STN_ENABLE = 2;
inline constexpr WORD STN_DISABLE = 3;

namespace platform {

LRESULT StaticProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace platform
