// Shared set-up of the input, focus and timer tests: a clean queue, no focus, capture or
// keys down, and the windows a test makes destroyed after it.
#pragma once

#include <utility>
#include <vector>

#include "platform/user/input/input_routing.h"
#include "platform/kernel/test_hooks.h"
#include "platform/user/windows.h"
#include "platform/window_recorder.h"

namespace input_test {

using window_test::Make;
using window_test::Recorder;
using window_test::Seen;
using window_test::Sequence;

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

// The queued messages, taken without dispatching them; with `translate`, keys make their
// characters on the way.
inline std::vector<MSG> Queued(bool translate = false) {
    std::vector<MSG> all;
    MSG msg;
    while (Next(msg)) {
        if (translate) TranslateMessage(&msg);
        all.push_back(msg);
    }
    return all;
}

inline std::vector<UINT> MessagesOf(const std::vector<MSG>& queued) {
    std::vector<UINT> messages;
    for (const MSG& msg : queued)
        messages.push_back(msg.message);
    return messages;
}

class InputTest : public window_test::WindowTest {
protected:
    void SetUp() override {
        ReleaseCapture();
        platform::InjectAppActive(false);
        SetFocus(0);
        ReleaseKeys();
        platform::SetTextInputDelivered(false);
        DrainQueue();
        WindowTest::SetUp();
    }
    void TearDown() override {
        WindowTest::TearDown();
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
};

} // namespace input_test
