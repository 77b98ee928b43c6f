#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/user/windows.h"
#include "platform/window_recorder.h"

namespace {

struct Painted {
    HWND window;
    UINT message;
};

std::vector<Painted> seen;
std::function<bool(HWND, UINT, WPARAM, LRESULT&)> answer;

LRESULT PaintProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT || message == WM_ERASEBKGND) seen.push_back({window, message});
    LRESULT result = 0;
    if (answer && answer(window, message, wParam, result)) return result;
    return DefWindowProcA(window, message, wParam, lParam);
}

const char* ClassWith(const char* name, UINT style, HBRUSH brush) {
    return window_test::Class(name, PaintProcedure, style, brush);
}

const char* Plain() {
    static const char* name = ClassWith("PaintMessagesPlain", 0, COLOR_WINDOW + 1);
    return name;
}

class PaintMessages : public ::testing::Test {
protected:
    void SetUp() override {
        seen.clear();
        answer = nullptr;
    }
    void TearDown() override {
        for (HWND window : made)
            DestroyWindow(window);
        Pump();
        answer = nullptr;
    }
    HWND Make(DWORD style, int x, int y, int w, int h, HWND parent = 0, DWORD exStyle = 0,
              const char* className = nullptr) {
        HWND window = CreateWindowExA(exStyle, className ? className : Plain(), "", style, x, y, w,
                                      h, parent, 0, 0, nullptr);
        if (parent == 0) made.push_back(window);
        return window;
    }
    static int Pump() { return window_test::Pump(); }
    static std::vector<HWND> PaintOrder() {
        std::vector<HWND> order;
        for (const Painted& p : seen)
            if (p.message == WM_PAINT) order.push_back(p.window);
        return order;
    }
    std::vector<HWND> made;
};

TEST_F(PaintMessages, PaintComesAfterPostedMessagesAndQuitOncePerInvalidation) {
    HWND window = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 80);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_PAINT); // showing it invalidated all of it
    EXPECT_EQ(msg.hwnd, window);
    // Taking WM_PAINT out does not validate: it stays until painted.
    ASSERT_TRUE(PeekMessageA(&msg, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_PAINT);
    DispatchMessageA(&msg);
    EXPECT_FALSE(PeekMessageA(&msg, 0, 0, 0, PM_REMOVE));

    RECT r{10, 10, 20, 20};
    InvalidateRect(window, &r, FALSE);
    PostMessageA(window, WM_USER, 0, 0);
    PostQuitMessage(3);
    EXPECT_FALSE(PeekMessageA(&msg, 0, WM_USER + 1, WM_USER + 100, PM_REMOVE));
    ASSERT_TRUE(PeekMessageA(&msg, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT{WM_USER});
    ASSERT_TRUE(PeekMessageA(&msg, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_QUIT);
    ASSERT_TRUE(PeekMessageA(&msg, window, WM_PAINT, WM_PAINT, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_PAINT);
    seen.clear();
    EXPECT_EQ(Pump(), 1);
    EXPECT_EQ(PaintOrder(), std::vector<HWND>{window});
    EXPECT_FALSE(PeekMessageA(&msg, 0, 0, 0, PM_REMOVE));

    // A window waiting to be painted wakes a wait for messages at once: the idle wait of
    // a run loop must not sleep over it.
    InvalidateRect(window, &r, FALSE);
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 60000, QS_ALLINPUT), WAIT_OBJECT_0);
    EXPECT_EQ(Pump(), 1);
}

TEST_F(PaintMessages, HiddenAndMinimisedWindowsGetNoPaint) {
    HWND window = Make(WS_OVERLAPPEDWINDOW, 0, 0, 200, 150);
    Pump();
    seen.clear();
    InvalidateRect(window, nullptr, TRUE);
    EXPECT_EQ(Pump(), 0);
    ShowWindow(window, SW_SHOWNORMAL);
    Pump();
    EXPECT_EQ(PaintOrder(), std::vector<HWND>{window});

    ShowWindow(window, SW_MINIMIZE);
    Pump();
    seen.clear();
    InvalidateRect(window, nullptr, TRUE);
    EXPECT_EQ(Pump(), 0);
    EXPECT_TRUE(PaintOrder().empty());
    ShowWindow(window, SW_RESTORE);
    Pump();
    EXPECT_EQ(PaintOrder(), std::vector<HWND>{window});

    // Enabling and disabling leaves the update region alone.
    seen.clear();
    EnableWindow(window, FALSE);
    EnableWindow(window, TRUE);
    EXPECT_EQ(Pump(), 0);
}

TEST_F(PaintMessages, UpdateRegionsMergeAndBeginPaintReportsThem) {
    HWND window = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    Pump();
    RECT a{10, 10, 20, 20}, b{30, 5, 40, 15}, outside{90, 90, 300, 300};
    InvalidateRect(window, &a, FALSE);
    InvalidateRect(window, &b, FALSE);
    InvalidateRect(window, &outside, FALSE);
    RECT bounds;
    ASSERT_TRUE(GetUpdateRect(window, &bounds, FALSE));
    // Cut to the client area.
    EXPECT_EQ(window_test::Sides(bounds), (window_test::Longs{10, 5, 100, 100}));
    ValidateRect(window, &outside);
    ValidateRect(window, &a);
    ASSERT_TRUE(GetUpdateRect(window, &bounds, FALSE));
    EXPECT_EQ(bounds.left, 30);
    EXPECT_EQ(bounds.bottom, 15);

    seen.clear();
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    ASSERT_NE(dc, 0u);
    EXPECT_EQ(paint.rcPaint.left, 30);
    EXPECT_EQ(paint.rcPaint.right, 40);
    EXPECT_FALSE(paint.fErase);
    EXPECT_TRUE(seen.empty()); // no erase was asked for
    EndPaint(window, &paint);
    EXPECT_FALSE(GetUpdateRect(window, &bounds, FALSE));
    EXPECT_EQ(bounds.right, 0);

    // One invalidation asking for erasing is enough; the class brush erases, so the
    // painter need not.
    InvalidateRect(window, &a, FALSE);
    InvalidateRect(window, &b, TRUE);
    BeginPaint(window, &paint);
    EXPECT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].message, WM_ERASEBKGND);
    EXPECT_FALSE(paint.fErase);
    EndPaint(window, &paint);

    // Without a brush nothing is erased and the painter is told so.
    HWND bare =
        Make(WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, 0, 0, ClassWith("PaintMessagesBare", 0, 0));
    Pump();
    InvalidateRect(bare, nullptr, TRUE);
    BeginPaint(bare, &paint);
    EXPECT_TRUE(paint.fErase);
    EndPaint(bare, &paint);
    // BeginPaint with nothing to paint gives an empty rectangle.
    BeginPaint(bare, &paint);
    EXPECT_EQ(paint.rcPaint.right, 0);
    EndPaint(bare, &paint);
}

TEST_F(PaintMessages, UpdateNowPaintsParentThenChildrenAtOnceTransparentLast) {
    HWND parent = Make(WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
    HWND glass = Make(WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, parent, WS_EX_TRANSPARENT);
    HWND first = Make(WS_CHILD | WS_VISIBLE, 50, 50, 100, 100, parent);
    HWND inner = Make(WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, first);
    Pump();
    seen.clear();
    ASSERT_TRUE(RedrawWindow(parent, nullptr, 0, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW));
    EXPECT_EQ(PaintOrder(), (std::vector<HWND>{parent, first, inner, glass}));
    EXPECT_EQ(Pump(), 0); // nothing left for the queue

    // The queue keeps the same order.
    seen.clear();
    InvalidateRect(parent, nullptr, FALSE);
    Pump();
    EXPECT_EQ(PaintOrder(), (std::vector<HWND>{parent, first, inner, glass}));

    // WS_CLIPCHILDREN keeps an invalidation to the parent; RDW_NOCHILDREN paints only it.
    SetWindowLongA(parent, GWL_STYLE, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);
    seen.clear();
    InvalidateRect(parent, nullptr, FALSE);
    RedrawWindow(first, nullptr, 0, RDW_INVALIDATE);
    RedrawWindow(parent, nullptr, 0, RDW_UPDATENOW | RDW_NOCHILDREN);
    EXPECT_EQ(PaintOrder(), std::vector<HWND>{parent});
    UpdateWindow(parent);
    EXPECT_EQ(PaintOrder(), (std::vector<HWND>{parent, first, inner}));

    // RDW_VALIDATE with children clears theirs too.
    InvalidateRect(parent, nullptr, FALSE);
    RedrawWindow(first, nullptr, 0, RDW_INVALIDATE | RDW_ALLCHILDREN);
    RedrawWindow(parent, nullptr, 0, RDW_VALIDATE | RDW_ALLCHILDREN);
    EXPECT_EQ(Pump(), 0);
    EXPECT_FALSE(RedrawWindow(0x7FFFFFF0, nullptr, 0, RDW_INVALIDATE));
}

TEST_F(PaintMessages, MovingSizingAndHidingInvalidateWhatTheyUncover) {
    HWND parent = Make(WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
    HWND child = Make(WS_CHILD | WS_VISIBLE, 10, 10, 40, 40, parent);
    HWND stretchy =
        Make(WS_CHILD | WS_VISIBLE, 100, 100, 20, 20, parent, 0,
             ClassWith("PaintMessagesRedraw", CS_HREDRAW | CS_VREDRAW, COLOR_WINDOW + 1));
    Pump();
    RECT bounds;
    ASSERT_TRUE(SetWindowPos(child, HWND_TOP, 60, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER));
    ASSERT_TRUE(GetUpdateRect(parent, &bounds, FALSE));
    EXPECT_EQ(window_test::Sides(bounds), (window_test::Longs{10, 10, 50, 50}));
    EXPECT_TRUE(GetUpdateRect(child, &bounds, FALSE)); // nothing copied the old pixels
    Pump();

    // Growing a window without CS_HREDRAW repaints only the new part of it.
    SetWindowPos(child, HWND_TOP, 0, 0, 50, 40, SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_TRUE(GetUpdateRect(child, &bounds, FALSE));
    EXPECT_EQ(window_test::Sides(bounds), (window_test::Longs{40, 0, 50, 40}));
    Pump();
    SetWindowPos(stretchy, HWND_TOP, 0, 0, 30, 20, SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_TRUE(GetUpdateRect(stretchy, &bounds, FALSE));
    EXPECT_EQ(bounds.left, 0);
    Pump();

    // SWP_NOREDRAW leaves everything as it was.
    MoveWindow(child, 0, 100, 50, 40, FALSE);
    EXPECT_FALSE(GetUpdateRect(parent, &bounds, FALSE));
    ShowWindow(child, SW_HIDE);
    ASSERT_TRUE(GetUpdateRect(parent, &bounds, FALSE));
    EXPECT_EQ(window_test::Sides(bounds), (window_test::Longs{0, 100, 50, 140}));
    EXPECT_FALSE(GetUpdateRect(stretchy, &bounds, FALSE));
}

TEST_F(PaintMessages, AProcedureThatNeverValidatesKeepsGettingPaintButNotForever) {
    HWND window = Make(WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
    answer = [](HWND, UINT message, WPARAM, LRESULT& result) {
        result = 0;
        return message == WM_PAINT;
    };
    EXPECT_EQ(Pump(), 1000);
    answer = nullptr;
    EXPECT_EQ(Pump(), 1);
    // Destroying a window drops its pending paint.
    InvalidateRect(window, nullptr, TRUE);
    DestroyWindow(window);
    EXPECT_EQ(Pump(), 0);
}

} // namespace
