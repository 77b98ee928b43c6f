#include "platform/controls/label.h"

#include <algorithm>

namespace platform {

namespace {

constexpr UINT kLayoutFlags =
    DT_CENTER | DT_RIGHT | DT_WORDBREAK | DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS;

} // namespace

RECT LabelBounds(HDC dc, const std::string& text, const RECT& area, UINT format) {
    RECT measured = area;
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &measured,
              (format & kLayoutFlags) | DT_CALCRECT);
    LONG width = std::min(measured.right - measured.left, area.right - area.left);
    LONG height = measured.bottom - measured.top;
    LONG left = area.left;
    if (format & DT_RIGHT)
        left = area.right - width;
    else if (format & DT_CENTER)
        left = area.left + (area.right - area.left - width) / 2;
    LONG top = area.top;
    if (format & DT_BOTTOM)
        top = area.bottom - height;
    else if (format & DT_VCENTER)
        top = area.top + (area.bottom - area.top - height) / 2;
    return RECT{left, top, left + width, top + height};
}

void DrawLabel(HDC dc, const std::string& text, const RECT& area, UINT format, bool enabled,
               bool emboss) {
    RECT bounds = LabelBounds(dc, text, area, format);
    UINT flags = (format & kLayoutFlags) | DT_NOCLIP;
    auto draw = [&](RECT where) {
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &where, flags);
    };
    if (enabled) {
        draw(bounds);
        return;
    }
    if (!emboss) {
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        draw(bounds);
        return;
    }
    int mode = SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    draw(Moved(bounds, 1, 1));
    SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
    draw(bounds);
    SetBkMode(dc, mode);
}

} // namespace platform
