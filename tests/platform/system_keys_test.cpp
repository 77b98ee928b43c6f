#include "input_fixture.h"
#include "platform/errors.h"

namespace {

using input_test::Make;
using input_test::Recorder;
using input_test::Sequence;
using platform::InjectKey;
using Pair = std::pair<HWND, UINT>;

constexpr int kF4 = VK_F1 + 3;

class SystemKeys : public input_test::InputTest {
protected:
    static void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    static void F4(bool alt) {
        if (alt) InjectKey(VK_MENU, true);
        InjectKey(kF4, true);
        InjectKey(kF4, false);
        if (alt) InjectKey(VK_MENU, false);
        Pump();
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
    EXPECT_EQ(SetFocus(inner), 0u);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
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
