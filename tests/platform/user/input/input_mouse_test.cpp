#include <array>
#include <cstring>

#include "platform/input/dinput.h"
#include "platform/user/input/input_fixture.h"

namespace {

using input_test::DrainQueue;
using input_test::InputTest;
using input_test::Make;
using input_test::MessagesOf;
using input_test::Queued;
using input_test::Recorder;
using platform::InjectMouse;
using platform::MouseEvent;

SHORT X(LPARAM lParam) {
    return static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(lParam)));
}

class Mouse : public InputTest {
protected:
    void Click(int x, int y) {
        InjectMouse(x, y, MouseEvent::LeftDown);
        InjectMouse(x, y, MouseEvent::LeftUp);
    }
    // A popup without frame, whose client area is its window.
    HWND Popup(int x, int y, int width, int height) {
        return Keep(Make(WS_POPUP | WS_VISIBLE, x, y, width, height));
    }
};

TEST_F(Mouse, ClicksGoToTheDeepestChildThroughTransparentOnes) {
    HWND top = Popup(100, 100, 200, 200);
    HWND below = Keep(Make(WS_CHILD | WS_VISIBLE, 10, 10, 100, 100, top));
    HWND glass = Keep(Make(WS_CHILD | WS_VISIBLE, 0, 0, 150, 150, top));
    SetWindowPos(glass, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    Recorder::answer = [&](HWND window, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (window == glass && message == WM_NCHITTEST) return HTTRANSPARENT;
        return std::nullopt;
    };
    DrainQueue();
    Recorder::seen.clear();
    InjectMouse(125, 130, MouseEvent::Move);
    auto hits = Recorder::Of(WM_NCHITTEST);
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].window, glass);
    EXPECT_EQ(hits[1].window, below);
    EXPECT_EQ(X(hits[0].lParam), 125);
    auto queued = Queued();
    ASSERT_EQ(queued.size(), 1u);
    EXPECT_EQ(queued[0].hwnd, below);
    EXPECT_EQ(queued[0].message, WM_MOUSEMOVE);
    EXPECT_EQ(queued[0].lParam, MAKELPARAM(15, 20));
    EXPECT_EQ(WindowFromPoint(POINT{125, 130}), below);
    // Outside `below` the glass passes the point on to the parent.
    EXPECT_EQ(WindowFromPoint(POINT{240, 240}), top);
    EXPECT_EQ(ChildWindowFromPoint(top, POINT{25, 30}), glass);
    EXPECT_EQ(ChildWindowFromPointEx(top, POINT{25, 30}, CWP_SKIPTRANSPARENT), glass);
    EXPECT_EQ(ChildWindowFromPoint(top, POINT{190, 190}), top);
    EXPECT_EQ(ChildWindowFromPoint(top, POINT{250, 10}), 0u);

    // A disabled child hands its input to its parent.
    EnableWindow(below, FALSE);
    Recorder::answer = nullptr;
    SetWindowPos(below, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    DrainQueue();
    Click(125, 130);
    queued = Queued();
    ASSERT_EQ(queued.size(), 2u);
    EXPECT_EQ(queued[0].hwnd, top);
    EXPECT_EQ(queued[0].message, WM_LBUTTONDOWN);
    EXPECT_EQ(queued[0].wParam, MK_LBUTTON);
    EXPECT_EQ(queued[1].wParam, 0u);
}

TEST_F(Mouse, MouseActivateAnswersDecideActivationAndEating) {
    HWND first = Popup(0, 0, 100, 100);
    HWND second = Popup(300, 0, 100, 100);
    ASSERT_EQ(GetActiveWindow(), second);
    LRESULT answer = MA_NOACTIVATEANDEAT;
    Recorder::answer = [&](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_MOUSEACTIVATE) return answer;
        return std::nullopt;
    };
    DrainQueue();
    Click(10, 10);
    EXPECT_EQ(GetActiveWindow(), second);
    // The press is eaten, the release still comes.
    EXPECT_EQ(MessagesOf(Queued()), (std::vector<UINT>{WM_LBUTTONUP}));
    auto activate = Recorder::Of(WM_MOUSEACTIVATE);
    ASSERT_EQ(activate.size(), 1u);
    EXPECT_EQ(activate[0].wParam, first);
    EXPECT_EQ(LOWORD(static_cast<DWORD_PTR>(activate[0].lParam)), HTCLIENT);
    EXPECT_EQ(HIWORD(static_cast<DWORD_PTR>(activate[0].lParam)), WM_LBUTTONDOWN);

    answer = MA_NOACTIVATE;
    Click(10, 10);
    EXPECT_EQ(GetActiveWindow(), second);
    EXPECT_EQ(MessagesOf(Queued()), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}));

    answer = MA_ACTIVATEANDEAT;
    Recorder::seen.clear();
    Click(10, 10);
    EXPECT_EQ(GetActiveWindow(), first);
    auto activated = Recorder::Of(WM_ACTIVATE);
    ASSERT_FALSE(activated.empty());
    EXPECT_EQ(LOWORD(activated.back().wParam), WA_CLICKACTIVE);
    EXPECT_EQ(MessagesOf(Queued()), (std::vector<UINT>{WM_LBUTTONUP}));

    // The active window is not asked again.
    Recorder::seen.clear();
    Click(10, 10);
    EXPECT_TRUE(Recorder::Of(WM_MOUSEACTIVATE).empty());
    EXPECT_EQ(Recorder::Of(WM_SETCURSOR).size(), 2u);
}

TEST_F(Mouse, DoubleClicksNeedTheSameWindowTheClassAndTheTime) {
    platform::test::FreezeClock(10000);
    Popup(0, 0, 100, 100);
    Popup(200, 0, 100, 100);
    Keep(CreateWindowExA(0, window_test::Class("InputPlainClicks"), "", WS_POPUP | WS_VISIBLE, 400,
                         0, 100, 100, 0, 0, 0, nullptr));
    DrainQueue();
    auto downs = [] {
        std::vector<UINT> found;
        for (const MSG& msg : Queued())
            if (msg.message != WM_LBUTTONUP && msg.message != WM_MOUSEMOVE)
                found.push_back(msg.message);
        return found;
    };
    Click(10, 10);
    platform::test::AdvanceClock(GetDoubleClickTime());
    Click(12, 8);
    Click(12, 8); // a third press starts again
    EXPECT_EQ(downs(), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONDOWN}));

    platform::test::AdvanceClock(GetDoubleClickTime() + 1);
    Click(12, 8);
    EXPECT_EQ(downs(), (std::vector<UINT>{WM_LBUTTONDOWN}));
    // Too far apart, another button, another window, a class without CS_DBLCLKS.
    Click(15, 8);
    InjectMouse(15, 8, MouseEvent::RightDown);
    InjectMouse(15, 8, MouseEvent::RightUp);
    Click(15, 8);
    EXPECT_EQ(downs(),
              (std::vector<UINT>{WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_LBUTTONDOWN}));
    Click(15, 8);
    Click(215, 8);
    Click(410, 10);
    Click(410, 10);
    EXPECT_EQ(downs(), (std::vector<UINT>{WM_LBUTTONDBLCLK, WM_LBUTTONDOWN, WM_LBUTTONDOWN,
                                          WM_LBUTTONDOWN}));
    UnregisterClassA("InputPlainClicks", 0);
}

TEST_F(Mouse, MovesAreCoalescedUnlessAButtonCameBetween) {
    HWND window = Popup(0, 0, 1000, 1000);
    DrainQueue();
    PostMessageA(window, WM_USER, 1, 2);
    for (int i = 0; i < 100000; ++i)
        InjectMouse(i % 1000, i / 1000, MouseEvent::Move);
    auto queued = Queued();
    EXPECT_EQ(MessagesOf(queued), (std::vector<UINT>{WM_USER, WM_MOUSEMOVE}));
    EXPECT_EQ(queued[1].lParam, MAKELPARAM(999, 99));
    EXPECT_EQ(queued[1].pt.x, 999);

    InjectMouse(1, 1, MouseEvent::Move);
    InjectMouse(2, 2, MouseEvent::LeftDown);
    InjectMouse(3, 3, MouseEvent::Move);
    InjectMouse(4, 4, MouseEvent::Move);
    platform::InjectKey('A', true);
    InjectMouse(5, 5, MouseEvent::Move);
    queued = Queued();
    EXPECT_EQ(MessagesOf(queued), (std::vector<UINT>{WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_MOUSEMOVE,
                                                     WM_KEYDOWN, WM_MOUSEMOVE}));
    EXPECT_EQ(X(queued[0].lParam), 1);
    EXPECT_EQ(X(queued[2].lParam), 4);
    EXPECT_EQ(queued[2].wParam, MK_LBUTTON);
    platform::InjectKey('A', false);
    InjectMouse(5, 5, MouseEvent::LeftUp);
}

TEST_F(Mouse, CaptureGetsEverythingWithSignedCoordinatesAndTheWheelGoesToTheFocus) {
    HWND window = Popup(100, 100, 100, 100);
    Popup(400, 400, 100, 100);
    SetCapture(window);
    SetFocus(window);
    DrainQueue();
    Recorder::seen.clear();
    platform::SetKeyState(VK_SHIFT, true);
    InjectMouse(450, 20, MouseEvent::Move);
    InjectMouse(450, 20, MouseEvent::Wheel, -WHEEL_DELTA);
    auto queued = Queued();
    ASSERT_EQ(queued.size(), 2u);
    EXPECT_EQ(queued[0].hwnd, window);
    EXPECT_EQ(queued[0].lParam, MAKELPARAM(350, -80));
    EXPECT_EQ(queued[0].wParam, MK_SHIFT);
    // Nothing is hit tested while the capture holds.
    EXPECT_TRUE(Recorder::Of(WM_NCHITTEST).empty());
    EXPECT_EQ(queued[1].message, WM_MOUSEWHEEL);
    EXPECT_EQ(queued[1].hwnd, window);
    EXPECT_EQ(static_cast<SHORT>(HIWORD(queued[1].wParam)), -WHEEL_DELTA);
    EXPECT_EQ(X(queued[1].lParam), 450);
    POINT cursor{};
    EXPECT_TRUE(GetCursorPos(&cursor));
    EXPECT_EQ(cursor.x, 450);
    SetCursorPos(7, 8);
    GetCursorPos(&cursor);
    EXPECT_EQ(cursor.y, 8);
}

TEST_F(Mouse, TheGatheredMotionCountsEachMovementOnce) {
    auto take = [] {
        LONG x = 0, y = 0, wheel = 0;
        platform::TakeMouseMotion(x, y, wheel);
        return std::array<LONG, 3>{x, y, wheel};
    };
    InjectMouse(10, 10, MouseEvent::Move);
    take();
    InjectMouse(40, 15, MouseEvent::Move);
    InjectMouse(40, 15, MouseEvent::Wheel, -WHEEL_DELTA);
    EXPECT_EQ(take(), (std::array<LONG, 3>{30, 5, -WHEEL_DELTA}));
    // A held pointer moves by itself; the press then comes where that movement led.
    platform::InjectMouseMotion(150, -20);
    EXPECT_EQ(take(), (std::array<LONG, 3>{150, -20, 0}));
    InjectMouse(190, -5, MouseEvent::RightDown);
    InjectMouse(190, -5, MouseEvent::RightUp);
    EXPECT_EQ(take(), (std::array<LONG, 3>{0, 0, 0}));
    platform::InjectMouseMotion(3, 4);
    InjectMouse(193, -1, MouseEvent::LeftDown);
    InjectMouse(200, 0, MouseEvent::Move);
    EXPECT_EQ(take(), (std::array<LONG, 3>{10, 5, 0}));
}

} // namespace
