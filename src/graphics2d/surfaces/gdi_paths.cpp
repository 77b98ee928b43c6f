#include "graphics2d/surfaces/gdi_paths.h"

#include "platform/gdi/bitmaps/blits.h"
#include "platform/user/windows.h"

namespace {

constexpr LONG kFullScreenStyle = LONG(0x86000000); // WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN

} // namespace

uint32_t GdiRasterOp(int32_t op, uint32_t param) {
    return op == kBlitOpGdi ? param : SRCCOPY;
}

POINT SurfaceOrigin(cSurface& surface) {
    if (!surface.HasOrigin()) return {0, 0};
    const uint32_t packed = surface.GetOrigin();
    return {int16_t(packed & 0xFFFF), int16_t(packed >> 16)};
}

void RememberWindowRect(HWND window, SavedWindow& saved) {
    if (window) GetWindowRect(window, &saved.rect);
}

void MakeWindowFullScreen(HWND window, int32_t width, int32_t height, bool first,
                          SavedWindow& saved) {
    if (!window) return;
    if (first) saved.style = GetWindowLongA(window, GWL_STYLE);
    SetWindowLongA(window, GWL_STYLE, kFullScreenStyle);
    SetWindowPos(window, 0, 0, 0, width, height, SWP_NOZORDER | SWP_SHOWWINDOW);
}

void RestoreWindow(HWND window, const SavedWindow& saved) {
    if (!window) return;
    SetWindowLongA(window, GWL_STYLE, saved.style);
    SetWindowPos(window, 0, saved.rect.left, saved.rect.top, saved.rect.right - saved.rect.left,
                 saved.rect.bottom - saved.rect.top, SWP_NOZORDER);
}
