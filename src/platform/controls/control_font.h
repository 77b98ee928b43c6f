// The font a control draws its text with: WM_SETFONT's, or the stock GUI font.
#pragma once

#include "platform/controls/controls.h"

namespace platform {

struct ControlFont {
    HFONT font = 0;

    // Answers WM_SETFONT (redrawing when lParam asks) and WM_GETFONT; false for other
    // messages.
    bool Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Selects the font into the DC and returns the one it replaced. A handle that died
    // since WM_SETFONT draws as the stock GUI font.
    HGDIOBJ Select(HDC dc) const;
};

} // namespace platform
