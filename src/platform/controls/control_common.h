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

} // namespace platform
