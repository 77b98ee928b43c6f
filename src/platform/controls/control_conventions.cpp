#include <vector>

#include "platform/controls/control_common.h"
#include "platform/controls/control_font.h"

LONG GetDialogBaseUnits() {
    return MAKELONG(8, 16);
}

namespace platform {

HBRUSH DefaultControlColor(UINT message, HDC dc) {
    int back = COLOR_BTNFACE;
    if (message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX) back = COLOR_WINDOW;
    if (message == WM_CTLCOLORSCROLLBAR) back = COLOR_SCROLLBAR;
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(back));
    return GetSysColorBrush(back);
}

bool ControlFont::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_GETFONT) {
        result = static_cast<LRESULT>(font != 0 ? font : GetStockObject(DEFAULT_GUI_FONT));
        return true;
    }
    if (message != WM_SETFONT) return false;
    font = static_cast<HFONT>(wParam);
    if (LOWORD(lParam)) InvalidateRect(window, nullptr, TRUE);
    result = 0;
    return true;
}

HGDIOBJ ControlFont::Select(HDC dc) const {
    HGDIOBJ chosen = font != 0 && GetObjectType(font) == OBJ_FONT
                         ? static_cast<HGDIOBJ>(font)
                         : GetStockObject(DEFAULT_GUI_FONT);
    return SelectObject(dc, chosen);
}

bool NotifyParent(HWND window, WORD code) {
    HWND parent = GetParent(window);
    if (parent != 0)
        SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), code),
                     static_cast<LPARAM>(window));
    return IsWindow(window);
}

HBRUSH ParentColor(HWND window, UINT message, HDC dc) {
    HWND parent = GetParent(window);
    LRESULT answer = parent != 0 ? SendMessageA(parent, message, static_cast<WPARAM>(dc),
                                                static_cast<LPARAM>(window))
                                 : 0;
    auto brush = static_cast<HBRUSH>(answer);
    if (answer == 0 || GetObjectType(brush) != OBJ_BRUSH) return DefaultControlColor(message, dc);
    return brush;
}

DWORD StyleOf(HWND window) {
    return static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
}

std::string TextOf(HWND window) {
    int length = GetWindowTextLengthA(window);
    std::vector<char> buffer(static_cast<size_t>(std::max(length, 0)) + 1, '\0');
    GetWindowTextA(window, buffer.data(), static_cast<int>(buffer.size()));
    return std::string(buffer.data());
}

bool ScrollRequestLines(WORD code, int thumb, int first, int visible, int count, int& lines) {
    switch (code) {
    case SB_LINEUP:
        lines = -1;
        return true;
    case SB_LINEDOWN:
        lines = 1;
        return true;
    case SB_PAGEUP:
        lines = -visible;
        return true;
    case SB_PAGEDOWN:
        lines = visible;
        return true;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        lines = thumb - first;
        return true;
    case SB_TOP:
        lines = -first;
        return true;
    case SB_BOTTOM:
        lines = count;
        return true;
    default:
        return false;
    }
}

} // namespace platform
