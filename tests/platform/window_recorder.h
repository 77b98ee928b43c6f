// A window class whose procedure records every message it gets, and the helpers the window
// manager's tests share. Each test may answer messages its own way through
// `Recorder::answer`; what it does not answer goes to DefWindowProcA.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/user/windows.h"

namespace window_test {

struct Seen {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

struct Recorder {
    static inline std::vector<Seen> seen;
    static inline std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)> answer;
    // The messages of creation, destruction, position and show sequences; activation and
    // focus, which the focus tests follow on their own, are left out of Messages() so
    // that sequences read clearly.
    static std::vector<UINT> Messages(HWND window = 0) {
        std::vector<UINT> messages;
        for (const Seen& s : seen) {
            if (IsActivationOrFocus(s.message)) continue;
            if (window == 0 || s.window == window) messages.push_back(s.message);
        }
        return messages;
    }
    static bool IsActivationOrFocus(UINT message) {
        return message == WM_ACTIVATEAPP || message == WM_NCACTIVATE || message == WM_ACTIVATE ||
               message == WM_SETFOCUS || message == WM_KILLFOCUS;
    }
    static std::vector<Seen> Of(UINT message) {
        std::vector<Seen> found;
        for (const Seen& s : seen)
            if (s.message == message) found.push_back(s);
        return found;
    }
    static void Reset() {
        seen.clear();
        answer = nullptr;
    }
};

// The (window, message) pairs of the given messages, in the order they came.
inline std::vector<std::pair<HWND, UINT>> Sequence(const std::vector<UINT>& wanted) {
    std::vector<std::pair<HWND, UINT>> found;
    for (const Seen& s : Recorder::seen)
        for (UINT message : wanted)
            if (s.message == message) found.emplace_back(s.window, s.message);
    return found;
}

inline LRESULT RecordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Recorder::seen.push_back(Seen{window, message, wParam, lParam});
    if (Recorder::answer) {
        if (std::optional<LRESULT> result = Recorder::answer(window, message, wParam, lParam))
            return *result;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Registers a class (again is harmless) and gives its name.
inline const char* Class(const char* name, WNDPROC procedure = DefWindowProcA, UINT style = 0,
                         HBRUSH brush = 0, HCURSOR cursor = 0, int extraBytes = 0) {
    WNDCLASSA windowClass{};
    windowClass.style = style;
    windowClass.lpfnWndProc = procedure;
    windowClass.cbWndExtra = extraBytes;
    windowClass.hCursor = cursor;
    windowClass.hbrBackground = brush;
    windowClass.lpszClassName = name;
    RegisterClassA(&windowClass);
    return name;
}

inline const char* RecordingClass() {
    static const char* name = Class("RecordingWindow", RecordingProcedure, CS_DBLCLKS, 0, 0, 16);
    return name;
}

inline HWND Make(DWORD style, int x, int y, int width, int height, HWND parent = 0,
                 DWORD exStyle = 0, UINT id = 0, const char* text = nullptr) {
    return CreateWindowExA(exStyle, RecordingClass(), text, style, x, y, width, height, parent, id,
                           0, nullptr);
}

inline RECT WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

inline RECT ClientRect(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    return rect;
}

inline std::vector<LONG> Sides(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}
inline std::vector<LONG> XY(POINT point) {
    return {point.x, point.y};
}
using Longs = std::vector<LONG>;

// The top-level windows in z-order, the top one first, among those given.
inline std::vector<HWND> ZOrder(const std::vector<HWND>& among) {
    std::vector<HWND> order;
    HWND first = among.empty() ? 0 : GetWindow(among.front(), GW_HWNDFIRST);
    for (HWND window = first; window != 0; window = GetWindow(window, GW_HWNDNEXT))
        for (HWND wanted : among)
            if (window == wanted) order.push_back(window);
    return order;
}

// Dispatches what is queued, translating keys as a message loop does. A window that never
// validates keeps getting WM_PAINT, so the count is bounded; it is returned.
inline int Pump() {
    MSG msg;
    int count = 0;
    for (; count < 1000 && PeekMessageA(&msg, 0, 0, 0, PM_REMOVE); ++count) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return count;
}

// Starts with an empty record and destroys the windows a test keeps.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { Recorder::Reset(); }
    void TearDown() override {
        Recorder::answer = nullptr;
        for (HWND window : windows)
            DestroyWindow(window);
        Recorder::Reset();
    }
    HWND Keep(HWND window) {
        EXPECT_NE(window, 0u);
        windows.push_back(window);
        return window;
    }
    std::vector<HWND> windows;
};

} // namespace window_test
