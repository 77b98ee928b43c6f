#include "platform/display/display_backend.h"
#include "platform/user/input/input.h"
#include "platform/user/window_table.h"
#include "platform/user/windows.h"

BOOL FlashWindow(HWND handle, BOOL invert) {
    platform::WindowPtr window = platform::LookupOwnWindow(handle);
    if (!window) return FALSE;
    HWND topLevel = handle;
    while ((GetWindowLongA(topLevel, GWL_STYLE) & LONG(WS_CHILD)) != 0)
        topLevel = GetParent(topLevel);
    bool active = GetActiveWindow() == topLevel;
    platform::ActiveDisplay().Flash(topLevel, invert != FALSE);
    return active ? TRUE : FALSE;
}
