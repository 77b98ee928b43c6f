#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "platform/last_error.h"
#include "platform/window_recorder.h"

namespace {

using window_test::Make;
using window_test::Recorder;

class WindowLongs : public window_test::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        window = Keep(Make(WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, 0, 0, 0, "Caf\xE9"));
        Recorder::seen.clear();
    }
    HWND window = 0;
};

WNDPROC previous = nullptr;
std::vector<std::string> chain;

LRESULT Subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER) {
        chain.push_back("subclass");
        return CallWindowProcA(previous, window, message, wParam, lParam) + 100;
    }
    if (message == WM_GETTEXTLENGTH) return 99;
    return CallWindowProcA(previous, window, message, wParam, lParam);
}

TEST_F(WindowLongs, SubclassingThroughTheProcedureLong) {
    Recorder::answer = [](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message != WM_USER) return std::nullopt;
        chain.push_back("class");
        return 1;
    };
    chain.clear();
    previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Subclass)));
    EXPECT_EQ(previous, window_test::RecordingProcedure);
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(Subclass));
    // Sent and dispatched messages both go through the chain.
    EXPECT_EQ(SendMessageA(window, WM_USER, 0, 0), 101);
    PostMessageA(window, WM_USER, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, window, 0, 0, PM_REMOVE));
    EXPECT_EQ(DispatchMessageA(&msg), 101);
    EXPECT_EQ(chain, (std::vector<std::string>{"subclass", "class", "subclass", "class"}));
    EXPECT_EQ(GetWindowTextLengthA(window), 99);

    // A procedure does not fit a LONG: the LONG forms refuse it rather than cut it.
    EXPECT_EQ(ErrorOf(GetWindowLongA(window, GWL_WNDPROC), 0), ERROR_INVALID_INDEX);
    EXPECT_EQ(ErrorOf(SetWindowLongA(window, GWL_WNDPROC, 1234), 0), ERROR_INVALID_INDEX);
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(Subclass));
    EXPECT_EQ(SetWindowLongPtrA(window, GWLP_WNDPROC, 0), 0);
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(Subclass));
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
}

TEST_F(WindowLongs, UserDataIdsAndExtraBytesNeverLoseBits) {
    const LONG_PTR wide = static_cast<LONG_PTR>(0x123456789ABLL);
    EXPECT_EQ(SetWindowLongPtrA(window, GWLP_USERDATA, wide), 0);
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), wide);
    EXPECT_EQ(ErrorOf(GetWindowLongA(window, GWL_USERDATA), 0), ERROR_ARITHMETIC_OVERFLOW);
    // Setting through the LONG form would lose the old value: refused, nothing changed.
    EXPECT_EQ(ErrorOf(SetWindowLongA(window, GWL_USERDATA, 5), 0), ERROR_ARITHMETIC_OVERFLOW);
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), wide);
    SetWindowLongPtrA(window, GWLP_USERDATA, -7);
    EXPECT_EQ(SetWindowLongA(window, GWL_USERDATA, 8), -7);
    EXPECT_EQ(GetWindowLongA(window, GWL_USERDATA), 8);

    // Extra bytes: 16 in the recording class.
    EXPECT_EQ(SetWindowLongA(window, 12, 0x11223344), 0);
    EXPECT_EQ(GetWindowLongA(window, 12), 0x11223344);
    EXPECT_EQ(SetWindowLongPtrA(window, 8, wide), 0x1122334400000000LL);
    EXPECT_EQ(GetWindowLongPtrA(window, 8), wide);
    EXPECT_EQ(ErrorOf(GetWindowLongA(window, 13), 0), ERROR_INVALID_INDEX);
    EXPECT_EQ(ErrorOf(GetWindowLongPtrA(window, 12), 0), ERROR_INVALID_INDEX);
    EXPECT_EQ(ErrorOf(GetWindowLongA(window, -100), 0), ERROR_INVALID_INDEX);

    HWND child = Make(WS_CHILD, 0, 0, 1, 1, window, 0, 40);
    EXPECT_EQ(GetWindowLongA(child, GWL_ID), 40);
    SetWindowLongA(child, GWL_ID, 41);
    EXPECT_EQ(GetDlgItem(window, 41), child);
}

TEST_F(WindowLongs, StyleChangesAreToldAndTopmostStaysWithSetWindowPos) {
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)),
              WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)), WS_EX_WINDOWEDGE);
    Recorder::answer = [](HWND, UINT message, WPARAM wParam,
                          LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_STYLECHANGING && wParam == static_cast<WPARAM>(GWL_STYLE))
            reinterpret_cast<STYLESTRUCT*>(lParam)->styleNew |= WS_BORDER;
        return std::nullopt;
    };
    LONG old = SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(WS_POPUP));
    EXPECT_EQ(static_cast<DWORD>(old), WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)), WS_POPUP | WS_BORDER);
    // The frame follows the change at once, as SWP_FRAMECHANGED makes it.
    EXPECT_EQ(Recorder::Messages(),
              (std::vector<UINT>{WM_STYLECHANGING, WM_STYLECHANGED, WM_WINDOWPOSCHANGING,
                                 WM_NCCALCSIZE, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE}));
    EXPECT_EQ(Recorder::seen[0].wParam, static_cast<WPARAM>(GWL_STYLE));
    EXPECT_EQ(window_test::Sides(window_test::ClientRect(window)),
              (std::vector<LONG>{0, 0, 98, 98}));

    SetWindowLongA(window, GWL_EXSTYLE, WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)), WS_EX_TOOLWINDOW);
}

TEST_F(WindowLongs, TextRoundTripsInWindows1252) {
    char buffer[16];
    EXPECT_EQ(GetWindowTextA(window, buffer, sizeof(buffer)), 4);
    EXPECT_STREQ(buffer, "Caf\xE9");
    const char* text = "\x80 \x9F\xFF\x81";
    ASSERT_TRUE(SetWindowTextA(window, text));
    EXPECT_EQ(GetWindowTextLengthA(window), 5);
    EXPECT_EQ(GetWindowTextA(window, buffer, sizeof(buffer)), 5);
    EXPECT_STREQ(buffer, text);
    // Cut to the buffer, always terminated.
    EXPECT_EQ(GetWindowTextA(window, buffer, 3), 2);
    EXPECT_STREQ(buffer, "\x80 ");
    EXPECT_EQ(GetWindowTextA(window, buffer, 0), 0);
    EXPECT_EQ(Recorder::Of(WM_SETTEXT).size(), 1u);
    EXPECT_EQ(Recorder::Of(WM_GETTEXT).size(), 3u);
    ASSERT_TRUE(SetWindowTextA(window, nullptr));
    EXPECT_EQ(GetWindowTextLengthA(window), 0);

    // Another thread reads the text the window manager keeps, and may not set it.
    SetWindowTextA(window, "shared");
    HWND target = window;
    std::thread([target] {
        char copy[16];
        EXPECT_EQ(GetWindowTextA(target, copy, sizeof(copy)), 6);
        EXPECT_STREQ(copy, "shared");
        EXPECT_EQ(GetWindowTextLengthA(target), 6);
        EXPECT_EQ(ErrorOf(SetWindowTextA(target, "mine"), FALSE), ERROR_WINDOW_OF_OTHER_THREAD);
    }).join();
}

} // namespace
