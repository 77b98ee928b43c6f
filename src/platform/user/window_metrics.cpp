#include <algorithm>

#include "platform/kernel/errors.h"
#include "platform/system/system_info.h"
#include "platform/user/window_table.h"

namespace {

// The sunken edge a client edge draws; the classic metric of a three-dimensional edge.
constexpr int kClientEdge = 2;

} // namespace

namespace platform {

int OuterFrame(DWORD style, DWORD exStyle) {
    // The edge: two pixels around windows with a raised frame, one around a window with
    // only a static edge.
    int frame = 0;
    bool raised = (exStyle & WS_EX_DLGMODALFRAME) != 0 || (style & (WS_THICKFRAME | WS_DLGFRAME));
    if (raised)
        frame = 2;
    else if (exStyle & WS_EX_STATICEDGE)
        frame = 1;
    // The sizing frame is wider than a dialog frame by what the user grabs.
    if (style & WS_THICKFRAME)
        frame += GetSystemMetrics(SM_CXFRAME) - GetSystemMetrics(SM_CXDLGFRAME);
    // The line around it all.
    if ((style & (WS_BORDER | WS_DLGFRAME)) || (exStyle & WS_EX_DLGMODALFRAME))
        frame += GetSystemMetrics(SM_CXBORDER);
    return frame;
}

RECT FrameInsets(DWORD style, DWORD exStyle, bool menu, bool scrollBars) {
    int frame = OuterFrame(style, exStyle);
    RECT insets{frame, frame, frame, frame};
    if ((style & WS_CAPTION) == WS_CAPTION) {
        insets.top +=
            GetSystemMetrics((exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
    }
    if (menu) insets.top += GetSystemMetrics(SM_CYMENU);
    if (exStyle & WS_EX_CLIENTEDGE) {
        insets.left += kClientEdge;
        insets.top += kClientEdge;
        insets.right += kClientEdge;
        insets.bottom += kClientEdge;
    }
    if (scrollBars) {
        if (style & WS_VSCROLL) {
            if (exStyle & WS_EX_LEFTSCROLLBAR)
                insets.left += GetSystemMetrics(SM_CXVSCROLL);
            else
                insets.right += GetSystemMetrics(SM_CXVSCROLL);
        }
        if (style & WS_HSCROLL) insets.bottom += GetSystemMetrics(SM_CYHSCROLL);
    }
    return insets;
}

} // namespace platform

BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle) {
    if (rect == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    RECT insets = platform::FrameInsets(style, exStyle, menu != FALSE, false);
    rect->left -= insets.left;
    rect->top -= insets.top;
    rect->right += insets.right;
    rect->bottom += insets.bottom;
    return TRUE;
}
