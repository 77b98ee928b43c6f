// A modal window's time on screen: its owner is disabled while it shows, and at the end,
// whatever ends it (an answer, WM_QUIT, an exception), the owner comes back, the window
// goes and a WM_QUIT that ended it is posted again. Shared by the message box and the
// drawn dialogs. Internal to the platform layer.
#pragma once

#include "platform/kernel/win_types.h"
#include "platform/user/hwnd.h"
#include "platform/user/window_geometry.h"

namespace platform {

class ModalSession {
public:
    // `window` is read at the end: the modal window, 0 when it is already gone.
    ModalSession(const HWND& window, HWND owner) : window_(window), owner_(owner) {}
    ModalSession(const ModalSession&) = delete;
    ModalSession& operator=(const ModalSession&) = delete;
    ~ModalSession();

    void DisableOwner();
    // From here on, the end activates the owner again.
    void Shown() { reactivate_ = true; }
    void RepostQuit(int code) {
        quit_ = true;
        quitCode_ = code;
    }
    void End();

private:
    const HWND& window_;
    HWND owner_;
    bool enableOwner_ = false;
    bool destroyed_ = false;
    bool reactivate_ = false;
    bool quit_ = false;
    int quitCode_ = 0;
};

// The top-level window of an owner the calling thread may disable; 0 for none.
HWND ModalOwner(HWND owner);
// Where a window of the size goes: centred on the owner when it shows, else on the
// screen, and kept on the screen.
POINT ModalPlacement(HWND owner, LONG width, LONG height);

} // namespace platform
