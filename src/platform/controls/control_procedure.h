// The procedure every control class shares: the state is made on WM_NCCREATE and dropped
// on WM_NCDESTROY, the font messages are answered, and the rest goes to the class's
// handler, or to DefWindowProcA for a window that has no state.
#pragma once

#include <memory>

#include "platform/controls/control_font.h"
#include "platform/controls/control_states.h"

namespace platform {

template <typename State>
using ControlHandler = LRESULT (*)(HWND window, State& state, UINT message, WPARAM wParam,
                                   LPARAM lParam);

template <typename State>
LRESULT RunControl(ControlStates<State>& states, ControlHandler<State> handler, HWND window,
                   UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        states.Create(window);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    std::shared_ptr<State> state = states.Find(window);
    if (!state) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        states.Drop(window);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    LRESULT result = 0;
    if (state->font.Handle(window, message, wParam, lParam, result)) return result;
    return handler(window, *state, message, wParam, lParam);
}

} // namespace platform
