// A window class whose procedure records every message it gets, for the window manager's
// tests. Each test may answer messages its own way through `Recorder::answer`; what it
// does not answer goes to DefWindowProcA.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/windows.h"

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

inline LRESULT RecordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Recorder::seen.push_back(Seen{window, message, wParam, lParam});
    if (Recorder::answer) {
        if (std::optional<LRESULT> result = Recorder::answer(window, message, wParam, lParam))
            return *result;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The recording class, registered on first use.
inline const char* RecordingClass() {
    static const char* name = [] {
        WNDCLASSA windowClass{};
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = RecordingProcedure;
        windowClass.cbWndExtra = 16;
        windowClass.lpszClassName = "RecordingWindow";
        RegisterClassA(&windowClass);
        return windowClass.lpszClassName;
    }();
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

// The top-level windows in z-order, the top one first, among those given.
inline std::vector<HWND> ZOrder(const std::vector<HWND>& among) {
    std::vector<HWND> order;
    HWND first = among.empty() ? 0 : GetWindow(among.front(), GW_HWNDFIRST);
    for (HWND window = first; window != 0; window = GetWindow(window, GW_HWNDNEXT))
        for (HWND wanted : among)
            if (window == wanted) order.push_back(window);
    return order;
}

} // namespace window_test
