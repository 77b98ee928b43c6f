#include "platform/user/dialogs/modal_session.h"

#include <algorithm>
#include <cstdint>

#include "platform/kernel/threads.h"
#include "platform/user/input/input.h"
#include "platform/user/messages.h"
#include "platform/user/window_geometry.h"
#include "platform/user/window_table.h"
#include "platform/user/windows.h"

namespace platform {

ModalSession::~ModalSession() {
    // Already unwinding from an exception, or finishing what one cut short: a second one
    // from a procedure has nowhere to go.
    try {
        End();
    } catch (...) {}
}

void ModalSession::DisableOwner() {
    if (owner_ == 0 || !IsWindowEnabled(owner_)) return;
    enableOwner_ = true;
    EnableWindow(owner_, FALSE);
}

// Each step is marked done before it runs, so that after an exception the destructor does
// only what is left.
void ModalSession::End() {
    if (enableOwner_) {
        enableOwner_ = false;
        EnableWindow(owner_, TRUE);
    }
    if (window_ != 0 && !destroyed_) {
        destroyed_ = true;
        DestroyWindow(window_);
    }
    if (reactivate_) {
        reactivate_ = false;
        if (owner_ != 0 && IsWindow(owner_) && IsWindowEnabled(owner_) && IsWindowVisible(owner_))
            SetActiveWindow(owner_);
    }
    if (quit_) {
        quit_ = false;
        PostQuitMessage(quitCode_);
    }
}

bool RegisterModalClass(const char* name, WNDPROC procedure) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hbrBackground = static_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = name;
    return RegisterClassA(&windowClass) != 0;
}

HWND ModalOwner(HWND owner) {
    if (owner == 0 || !IsWindow(owner)) return 0;
    if (GetWindowThreadProcessId(owner, nullptr) != GetCurrentThreadId()) return 0;
    while (GetWindowLongA(owner, GWL_STYLE) & WS_CHILD) {
        HWND parent = GetParent(owner);
        if (parent == 0) break;
        owner = parent;
    }
    return owner;
}

POINT ModalPlacement(HWND owner, LONG width, LONG height) {
    RECT around{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT screen = around;
    if (owner != 0 && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &around);
    int64_t x = (int64_t{around.left} + around.right - width) / 2;
    int64_t y = (int64_t{around.top} + around.bottom - height) / 2;
    x = std::max<int64_t>(std::min<int64_t>(x, int64_t{screen.right} - width), screen.left);
    y = std::max<int64_t>(std::min<int64_t>(y, int64_t{screen.bottom} - height), screen.top);
    return POINT{Clamp32(x), Clamp32(y)};
}

} // namespace platform
