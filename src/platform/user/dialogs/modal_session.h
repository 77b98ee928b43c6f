// A modal window's time on screen: its owner is disabled while it shows, and at the end,
// whatever ends it (an answer, WM_QUIT, an exception), the owner comes back, the window
// goes and a WM_QUIT that ended it is posted again. Shared by the message box and the
// drawn dialogs. Internal to the platform layer.
#pragma once

#include <algorithm>
#include <vector>

#include "platform/kernel/win_types.h"
#include "platform/user/hwnd.h"
#include "platform/user/window_geometry.h"
#include "platform/user/windows.h"

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

// The modal windows of one kind that are up on this thread, the innermost last. Their
// procedure finds its state by window; only a state being opened takes a new window, so a
// window of the class made by anyone else stays without one. `State` has `HWND window`.
template <typename State> class ModalWindows {
public:
    static State* Find(HWND window) {
        for (State* state : List())
            if (state->window == window && window != 0) return state;
        return nullptr;
    }
    // For WM_NCCREATE: true when the creation parameter is a state being opened, which
    // then takes the window.
    static bool Take(HWND window, LPARAM lParam) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        auto* made = create ? static_cast<State*>(create->lpCreateParams) : nullptr;
        if (made == nullptr || std::find(List().begin(), List().end(), made) == List().end())
            return false;
        made->window = window;
        return true;
    }
    // A state is listed for the length of its modal session.
    class Open {
    public:
        explicit Open(State& state) : state_(state) { List().push_back(&state_); }
        Open(const Open&) = delete;
        Open& operator=(const Open&) = delete;
        ~Open() { List().erase(std::remove(List().begin(), List().end(), &state_), List().end()); }

    private:
        State& state_;
    };

private:
    static std::vector<State*>& List() {
        thread_local std::vector<State*> list;
        return list;
    }
};

// Registers a class of modal windows drawn on the dialog colour; true when it exists.
bool RegisterModalClass(const char* name, WNDPROC procedure);
// The top-level window of an owner the calling thread may disable; 0 for none.
HWND ModalOwner(HWND owner);
// Where a window of the size goes: centred on the owner when it shows, else on the
// screen, and kept on the screen.
POINT ModalPlacement(HWND owner, LONG width, LONG height);

} // namespace platform
