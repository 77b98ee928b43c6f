#include "platform/user/input/caret.h"

#include "platform/gdi/bitmaps/blits.h"
#include "platform/gdi/screen_dc.h"
#include "platform/user/input/input.h"
#include "platform/user/windows.h"

namespace {

constexpr UINT_PTR kBlinkTimer = 0xFFF9;

struct Caret {
    HWND window = 0;
    int width = 1;
    int height = 1;
    POINT at{};
    int hidden = 1;
    bool drawn = false; // its pixels are inverted now
};
// Made and used on the thread that owns the windows, as the focus is.
Caret caret;
UINT blinkTime = kDefaultCaretBlinkTime;

// A caret whose window went is gone with it.
bool Live() {
    if (caret.window != 0 && !IsWindow(caret.window)) caret = Caret{};
    return caret.window != 0;
}

void Invert() {
    HDC dc = GetDC(caret.window);
    if (dc == 0) return;
    PatBlt(dc, caret.at.x, caret.at.y, caret.width, caret.height, DSTINVERT);
    ReleaseDC(caret.window, dc);
    caret.drawn = !caret.drawn;
}

void Blink(HWND window, UINT, UINT_PTR id, DWORD) {
    if (!Live() || window != caret.window || caret.hidden > 0) {
        KillTimer(window, id);
        return;
    }
    Invert();
}

// Shows a visible caret now and counts its blinking from now.
void ShowNow() {
    if (caret.hidden > 0) return;
    if (!caret.drawn) Invert();
    if (blinkTime == INFINITE)
        KillTimer(caret.window, kBlinkTimer);
    else
        SetTimer(caret.window, kBlinkTimer, blinkTime, Blink);
}

bool Names(HWND window) {
    return Live() && (window == 0 || window == caret.window);
}

} // namespace

BOOL CreateCaret(HWND window, HBITMAP, int width, int height) {
    if (!IsWindow(window)) return FALSE;
    DestroyCaret();
    caret.window = window;
    caret.width = width > 0 ? width : GetSystemMetrics(SM_CXBORDER);
    caret.height = height > 0 ? height : GetSystemMetrics(SM_CYBORDER);
    return TRUE;
}

BOOL DestroyCaret() {
    if (!Live()) return FALSE;
    if (caret.drawn) Invert();
    KillTimer(caret.window, kBlinkTimer);
    caret = Caret{};
    return TRUE;
}

BOOL ShowCaret(HWND window) {
    if (!Names(window)) return FALSE;
    if (caret.hidden > 0) --caret.hidden;
    ShowNow();
    return TRUE;
}

BOOL HideCaret(HWND window) {
    if (!Names(window)) return FALSE;
    if (caret.drawn) Invert();
    ++caret.hidden;
    KillTimer(caret.window, kBlinkTimer);
    return TRUE;
}

BOOL SetCaretPos(int x, int y) {
    if (!Live()) return FALSE;
    if (caret.drawn) Invert();
    caret.at = POINT{x, y};
    ShowNow();
    return TRUE;
}

BOOL GetCaretPos(POINT* point) {
    if (point == nullptr) return FALSE;
    *point = Live() ? caret.at : POINT{};
    return TRUE;
}

BOOL SetCaretBlinkTime(UINT milliseconds) {
    if (milliseconds == 0) return FALSE;
    blinkTime = milliseconds;
    if (Live() && caret.hidden == 0) ShowNow();
    return TRUE;
}

UINT GetCaretBlinkTime() {
    return blinkTime;
}
