// Shared set-up of the input, focus and timer tests: a clean queue, no focus, capture or
// keys down, and the windows a test makes destroyed after it.
#pragma once

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "platform/input_routing.h"
#include "platform/test_hooks.h"
#include "platform/windows.h"
#include "window_recorder.h"

namespace input_test {

using window_test::Make;
using window_test::Recorder;
using window_test::Seen;

// Takes the next message that is not WM_PAINT, painting what asks for it on the way.
inline bool Next(MSG& msg, UINT filterMin = 0, UINT filterMax = 0) {
    while (PeekMessageA(&msg, 0, filterMin, filterMax, PM_REMOVE)) {
        if (msg.message != WM_PAINT) return true;
        DispatchMessageA(&msg);
    }
    return false;
}

inline void DrainQueue() {
    MSG msg;
    while (Next(msg)) {}
}

// The (window, message) pairs of the given messages, in the order they came.
inline std::vector<std::pair<HWND, UINT>> Sequence(const std::vector<UINT>& wanted) {
    std::vector<std::pair<HWND, UINT>> found;
    for (const Seen& s : Recorder::seen)
        for (UINT message : wanted)
            if (s.message == message) found.emplace_back(s.window, s.message);
    return found;
}

class InputTest : public ::testing::Test {
protected:
    void SetUp() override {
        Recorder::Reset();
        ReleaseCapture();
        platform::InjectAppActive(false);
        SetFocus(0);
        ReleaseKeys();
        platform::SetTextInputDelivered(false);
        DrainQueue();
        Recorder::Reset();
    }
    void TearDown() override {
        Recorder::answer = nullptr;
        for (HWND window : windows)
            DestroyWindow(window);
        ReleaseKeys();
        platform::test::UnfreezeClock();
        DrainQueue();
        Recorder::Reset();
    }
    static void ReleaseKeys() {
        for (int key : {VK_SHIFT, VK_LSHIFT, VK_RSHIFT, VK_CONTROL, VK_LCONTROL, VK_RCONTROL,
                        VK_MENU, VK_LMENU, VK_RMENU, VK_LBUTTON, VK_RBUTTON, VK_MBUTTON})
            platform::SetKeyState(key, false);
    }
    HWND Keep(HWND window) {
        windows.push_back(window);
        return window;
    }
    std::vector<HWND> windows;
};

} // namespace input_test
