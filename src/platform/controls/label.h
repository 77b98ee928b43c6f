// Control captions: where a text lands in its area, and drawing it enabled or not.
#pragma once

#include <string>

#include "platform/controls/controls.h"

namespace platform {

// The rectangle the text covers when laid out in `area` with DrawTextA's horizontal
// flags, DT_WORDBREAK or DT_SINGLELINE, DT_NOPREFIX; placed at the top, centre (DT_VCENTER)
// or bottom (DT_BOTTOM) of the area whatever the line count.
RECT LabelBounds(HDC dc, const std::string& text, const RECT& area, UINT format);
// Draws the text at LabelBounds. Disabled text is embossed (highlight under shadow) when
// `emboss`, else grey.
void DrawLabel(HDC dc, const std::string& text, const RECT& area, UINT format, bool enabled,
               bool emboss);

inline RECT Inset(RECT rect, int dx, int dy) {
    return RECT{rect.left + dx, rect.top + dy, rect.right - dx, rect.bottom - dy};
}
inline RECT Moved(RECT rect, int dx, int dy) {
    return RECT{rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
}
inline bool Contains(const RECT& rect, int x, int y) {
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}
inline RECT ClientOf(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    return rect;
}
// The signed client coordinates of a mouse message.
inline bool PointInClient(HWND window, LPARAM lParam) {
    return Contains(ClientOf(window), static_cast<short>(LOWORD(lParam)),
                    static_cast<short>(HIWORD(lParam)));
}

} // namespace platform
