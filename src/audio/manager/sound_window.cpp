#include "audio/manager/sound_window.h"

#include "platform/kernel/errors.h"
#include "platform/system/system_info.h"
#include "platform/user/input/input.h"
#include "platform/user/window_class.h"
#include "platform/user/windows.h"
#include "script/runtime/launch_info.h"

namespace {

constexpr const char* kClassName = "SoundMgr_SoundClass";
constexpr int kOffScreen = 50;
constexpr int kSide = 10;

// Up and to the left of the desktop, wholly outside it.
void PlaceOffScreen(HWND window) {
    SetWindowPos(window, 0, GetSystemMetrics(SM_XVIRTUALSCREEN) - kOffScreen,
                 GetSystemMetrics(SM_YVIRTUALSCREEN) - kOffScreen, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT SoundWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ACTIVATE && LOWORD(wParam) == WA_ACTIVE) {
        if (HWND next = GetWindow(window, GW_HWNDNEXT)) SetActiveWindow(next);
        return 0;
    }
    // A new display size moves the desktop's corner.
    if (message == WM_DISPLAYCHANGE) PlaceOffScreen(window);
    return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterSoundWindowClass() {
    static bool registered = false;
    if (registered) return true;
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_OWNDC | CS_DBLCLKS;
    windowClass.lpfnWndProc = SoundWindowProc;
    windowClass.hInstance = GetInstanceHandle();
    windowClass.lpszClassName = kClassName;
    registered =
        RegisterClassExA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    return registered;
}

} // namespace

HWND CreateSoundWindow() {
    if (!RegisterSoundWindowClass()) return 0;
    return CreateWindowExA(WS_EX_TOOLWINDOW, kClassName, "", WS_VISIBLE,
                           GetSystemMetrics(SM_XVIRTUALSCREEN) - kOffScreen,
                           GetSystemMetrics(SM_YVIRTUALSCREEN) - kOffScreen, kSide, kSide, 0, 0,
                           GetInstanceHandle(), nullptr);
}
