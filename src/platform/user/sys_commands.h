// What a top-level window hears while the user drags its frame: WM_SIZING, whose lParam
// points at the window's outer rectangle on the screen (the procedure may change it, and
// the window then takes what it left there), and wParam says which edge moves.
// The WM_SYSCOMMAND commands themselves (SC_CLOSE, SC_MINIMIZE, ...) are in windows.h.
#pragma once

#include "platform/kernel/win_types.h"
#include "platform/user/windows.h"

inline constexpr UINT WM_SIZING = 0x0214;

// WM_SIZING's wParam: the edge or corner being dragged.
inline constexpr WPARAM WMSZ_LEFT = 1;
inline constexpr WPARAM WMSZ_RIGHT = 2;
inline constexpr WPARAM WMSZ_TOP = 3;
inline constexpr WPARAM WMSZ_TOPLEFT = 4;
inline constexpr WPARAM WMSZ_TOPRIGHT = 5;
inline constexpr WPARAM WMSZ_BOTTOM = 6;
inline constexpr WPARAM WMSZ_BOTTOMLEFT = 7;
inline constexpr WPARAM WMSZ_BOTTOMRIGHT = 8;
