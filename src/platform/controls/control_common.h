// What the control procedures share: notifying the parent and asking it for colours.
#pragma once

#include <string>

#include "platform/controls/controls.h"

namespace platform {

// WM_COMMAND(MAKEWPARAM(id, code), window) to the parent. False when the window died
// meanwhile, so the caller stops.
bool NotifyParent(HWND window, WORD code);
// Sends a WM_CTLCOLOR* message to the parent; a parent that answers with no brush gets
// DefWindowProcA's colours.
HBRUSH ParentColor(HWND window, UINT message, HDC dc);
// The control's style, and its window text.
DWORD StyleOf(HWND window);
std::string TextOf(HWND window);
// How many lines a WM_VSCROLL request moves a view of `count` lines whose top line is
// `first`, `visible` of them shown (negative: up); false for a request that moves nothing.
bool ScrollRequestLines(WORD code, int thumb, int first, int visible, int count, int& lines);

} // namespace platform
