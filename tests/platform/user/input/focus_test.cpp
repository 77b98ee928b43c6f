#include "platform/user/input/input_fixture.h"
#include "platform/last_error.h"
#include "platform/kernel/threads.h"

namespace {

using input_test::InputTest;
using input_test::Make;
using input_test::Recorder;
using input_test::Sequence;
using Pair = std::pair<HWND, UINT>;
using platform::InjectKey;

using Focus = InputTest;

TEST_F(Focus, ShowingActivatesAndTheFocusMovesKillThenSet) {
    HWND a = Keep(Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 200));
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_EQ(GetForegroundWindow(), a);
    EXPECT_EQ(GetFocus(), a);
    auto activate = Recorder::Of(WM_ACTIVATE);
    ASSERT_EQ(activate.size(), 1u);
    EXPECT_EQ(LOWORD(activate[0].wParam), WA_ACTIVE);

    Recorder::Reset();
    HWND b = Keep(Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 200, 200));
    EXPECT_EQ(Sequence({WM_NCACTIVATE, WM_ACTIVATE, WM_KILLFOCUS, WM_SETFOCUS}),
              (std::vector<Pair>{{a, WM_NCACTIVATE},
                                 {a, WM_ACTIVATE},
                                 {b, WM_NCACTIVATE},
                                 {b, WM_ACTIVATE},
                                 {a, WM_KILLFOCUS},
                                 {b, WM_SETFOCUS}}));
    // The same application stays active: no WM_ACTIVATEAPP.
    EXPECT_TRUE(Recorder::Of(WM_ACTIVATEAPP).empty());
    auto deactivate = Recorder::Of(WM_ACTIVATE);
    EXPECT_EQ(LOWORD(deactivate[0].wParam), WA_INACTIVE);
    EXPECT_EQ(deactivate[0].lParam, static_cast<LPARAM>(b));
    EXPECT_EQ(deactivate[1].lParam, static_cast<LPARAM>(a));
    EXPECT_EQ(Recorder::Of(WM_KILLFOCUS)[0].wParam, b);
    EXPECT_EQ(Recorder::Of(WM_SETFOCUS)[0].wParam, a);
    EXPECT_EQ(window_test::ZOrder({a, b}), (std::vector<HWND>{b, a}));

    // Focusing a child of the inactive window activates it (raising it) first.
    HWND child = Keep(Make(WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, a));
    Recorder::Reset();
    EXPECT_EQ(SetFocus(child), b);
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_EQ(GetFocus(), child);
    EXPECT_EQ(window_test::ZOrder({a, b}), (std::vector<HWND>{a, b}));
    EXPECT_EQ(Sequence({WM_KILLFOCUS, WM_SETFOCUS}),
              (std::vector<Pair>{{b, WM_KILLFOCUS}, {child, WM_SETFOCUS}}));
    // Focusing the focus window again sends nothing.
    Recorder::Reset();
    EXPECT_EQ(SetFocus(child), child);
    EXPECT_TRUE(Recorder::seen.empty());

    // Showing without activation leaves things as they are.
    HWND quiet = Keep(Make(WS_OVERLAPPEDWINDOW, 0, 0, 50, 50));
    ShowWindow(quiet, SW_SHOWNA);
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_EQ(GetFocus(), child);
}

TEST_F(Focus, RefusalsAndTheApplicationLosingAttention) {
    HWND a = Keep(Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 200));
    HWND hidden = Keep(Make(WS_OVERLAPPEDWINDOW, 0, 0, 200, 200));
    HWND disabled = Keep(Make(WS_CHILD | WS_VISIBLE | WS_DISABLED, 0, 0, 20, 20, a));
    EXPECT_EQ(SetActiveWindow(hidden), 0u);
    EXPECT_EQ(SetFocus(disabled), 0u);
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_EQ(GetFocus(), a);
    EXPECT_EQ(SetFocus(0x7FFFFFF0u), 0u);

    Recorder::Reset();
    platform::InjectAppActive(false);
    EXPECT_EQ(GetActiveWindow(), 0u);
    EXPECT_EQ(GetFocus(), 0u);
    auto app = Recorder::Of(WM_ACTIVATEAPP);
    ASSERT_FALSE(app.empty());
    EXPECT_EQ(app[0].wParam, static_cast<WPARAM>(FALSE));
    Recorder::Reset();
    platform::InjectAppActive(true);
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_EQ(GetFocus(), a);
    app = Recorder::Of(WM_ACTIVATEAPP);
    ASSERT_FALSE(app.empty());
    EXPECT_EQ(app[0].wParam, static_cast<WPARAM>(TRUE));

    DWORD process = 0;
    EXPECT_EQ(GetWindowThreadProcessId(a, &process), GetCurrentThreadId());
    EXPECT_NE(process, 0u);
}

TEST_F(Focus, DestroyMovesActivationFirstAndTakesTheFocusOffTheDyingWindow) {
    HWND owner = Keep(Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 300));
    HWND other = Keep(Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 300));
    HWND owned = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 100, 100, owner);
    ASSERT_EQ(GetActiveWindow(), owned);
    HWND activeAtDestroy = 1;
    Recorder::answer = [&](HWND window, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (window == owned && message == WM_DESTROY) activeAtDestroy = GetActiveWindow();
        return std::nullopt;
    };
    // The owner takes over, though another window lies above it.
    EXPECT_TRUE(DestroyWindow(owned));
    EXPECT_EQ(activeAtDestroy, owner);
    EXPECT_EQ(GetActiveWindow(), owner);
    EXPECT_EQ(GetFocus(), owner);
    Recorder::answer = nullptr;

    HWND child = Make(WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, owner);
    SetFocus(child);
    Recorder::Reset();
    DestroyWindow(child);
    EXPECT_EQ(GetFocus(), 0u);
    EXPECT_EQ(GetActiveWindow(), owner);
    auto kill = Recorder::Of(WM_KILLFOCUS);
    ASSERT_EQ(kill.size(), 1u);
    EXPECT_EQ(kill[0].window, child);

    // Without an owner the next visible top-level window takes the activation.
    DestroyWindow(owner);
    windows.erase(windows.begin());
    EXPECT_EQ(GetActiveWindow(), other);
    EXPECT_EQ(GetFocus(), other);
}

TEST_F(Focus, CaptureChangesAreAnnouncedAndDieWithTheWindow) {
    HWND a = Keep(Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 200));
    HWND b = Keep(Make(WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, a));
    EXPECT_EQ(SetCapture(a), 0u);
    EXPECT_EQ(SetCapture(b), a);
    EXPECT_EQ(GetCapture(), b);
    auto changed = Recorder::Of(WM_CAPTURECHANGED);
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0].window, a);
    EXPECT_EQ(changed[0].lParam, static_cast<LPARAM>(b));
    Recorder::Reset();
    EXPECT_TRUE(ReleaseCapture());
    EXPECT_EQ(GetCapture(), 0u);
    ASSERT_EQ(Recorder::Of(WM_CAPTURECHANGED).size(), 1u);
    EXPECT_EQ(Recorder::Of(WM_CAPTURECHANGED)[0].lParam, 0);

    SetCapture(b);
    DestroyWindow(b);
    EXPECT_EQ(GetCapture(), 0u);
}

constexpr int kF4 = VK_F1 + 3;

class SystemKeys : public input_test::InputTest {
protected:
    static void F4(bool alt) {
        if (alt) InjectKey(VK_MENU, true);
        InjectKey(kF4, true);
        InjectKey(kF4, false);
        if (alt) InjectKey(VK_MENU, false);
        window_test::Pump();
    }
};

TEST_F(SystemKeys, AltF4ClosesTheTopLevelWindowOfTheFocus) {
    HWND top = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 300);
    HWND child = Make(WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, top);
    SetFocus(0);
    F4(false); // a system key for want of a focus, but without Alt
    EXPECT_TRUE(Recorder::Of(WM_SYSCOMMAND).empty());

    SetFocus(child);
    Recorder::Reset();
    F4(true);
    EXPECT_FALSE(IsWindow(top));
    EXPECT_EQ(Sequence({WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}),
              (std::vector<Pair>{
                  {top, WM_SYSCOMMAND}, {top, WM_CLOSE}, {top, WM_DESTROY}, {child, WM_DESTROY}}));
    EXPECT_EQ(Recorder::Of(WM_SYSCOMMAND)[0].wParam, SC_CLOSE);
}

TEST_F(SystemKeys, DisablingTakesTheFocusOutOfTheWindowButLeavesItActive) {
    HWND top = Keep(Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 300));
    HWND child = Make(WS_CHILD | WS_VISIBLE, 10, 10, 100, 100, top);
    HWND inner = Make(WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, child);
    HWND sibling = Make(WS_CHILD | WS_VISIBLE, 150, 10, 50, 50, top);
    SetFocus(inner);
    EnableWindow(sibling, FALSE);
    EXPECT_EQ(GetFocus(), inner);

    // The focus goes before WM_ENABLE, and nothing inside takes it back.
    Recorder::Reset();
    EXPECT_FALSE(EnableWindow(child, FALSE));
    EXPECT_EQ(GetFocus(), 0u);
    EXPECT_EQ(Sequence({WM_KILLFOCUS, WM_SETFOCUS, WM_ENABLE}),
              (std::vector<Pair>{{inner, WM_KILLFOCUS}, {child, WM_ENABLE}}));
    EXPECT_EQ(ErrorOf(SetFocus(inner), 0), ERROR_ACCESS_DENIED);
    EnableWindow(child, TRUE);
    SetFocus(inner);
    EXPECT_EQ(GetFocus(), inner);

    // The active window keeps the activation.
    Recorder::Reset();
    EnableWindow(top, FALSE);
    EXPECT_EQ(GetFocus(), 0u);
    EXPECT_EQ(GetActiveWindow(), top);
    EXPECT_TRUE(Recorder::Of(WM_ACTIVATE).empty());
    EXPECT_EQ(SetFocus(top), 0u);
    EnableWindow(top, TRUE);
}

} // namespace
