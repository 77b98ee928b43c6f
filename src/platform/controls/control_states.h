// The state of each window of a control class, from WM_NCCREATE until WM_NCDESTROY. A
// procedure holds its window's state through the shared pointer, so a handler that
// destroys the window mid-message leaves the state alive until the procedure returns.
#pragma once

#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/user/hwnd.h"

namespace platform {

template <typename State> class ControlStates {
public:
    std::shared_ptr<State> Create(HWND window) {
        std::lock_guard lock(mutex_);
        auto& state = states_[window];
        state = std::make_shared<State>();
        return state;
    }
    // Null for a window that is not (or no longer) one of the class.
    std::shared_ptr<State> Find(HWND window) {
        std::lock_guard lock(mutex_);
        auto found = states_.find(window);
        return found == states_.end() ? nullptr : found->second;
    }
    void Drop(HWND window) {
        std::lock_guard lock(mutex_);
        states_.erase(window);
    }

private:
    std::mutex mutex_;
    std::unordered_map<HWND, std::shared_ptr<State>> states_;
};

} // namespace platform
