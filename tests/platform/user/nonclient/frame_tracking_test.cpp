#include <gtest/gtest.h>

#include "platform/display/headless_display.h"
#include "platform/user/input/input_fixture.h"
#include "platform/user/menus/menus.h"
#include "platform/user/nonclient/frame_parts.h"
#include "platform/user/scroll/scroll_bar.h"
#include "platform/user/sys_commands.h"

namespace {

namespace headless = platform::headless;
using headless::Button;
using window_test::Longs;
using window_test::Recorder;
using window_test::Sides;

constexpr DWORD kFramedChild = WS_CHILD | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                               WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

// A point of the window's frame, on the screen, by window coordinates.
POINT OnScreen(HWND window, int x, int y) {
    RECT outer = window_test::WindowRect(window);
    return POINT{outer.left + x, outer.top + y};
}

// The window's rectangle in its parent's client coordinates.
RECT InParent(HWND window) {
    RECT rect = window_test::WindowRect(window);
    MapWindowPoints(0, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

class FrameTracking : public input_test::InputTest {
protected:
    void SetUp() override {
        headless::Install();
        InputTest::SetUp();
        parent = Keep(input_test::Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 40, 500, 400));
        child = input_test::Make(kFramedChild, 20, 30, 200, 150, parent, 0, 7, "Child");
        window_test::Pump();
        RECT frame{0, 0, 0, 0};
        AdjustWindowRectEx(&frame, kFramedChild, FALSE, 0);
        border = -frame.left;
        captionY = border + GetSystemMetrics(SM_CYCAPTION) / 2;
        Recorder::seen.clear();
    }

    // The pointer pressed at a point of the window (window coordinates), moved by each
    // step in turn and released after the last, the messages dispatched between.
    void Drag(HWND window, int x, int y, std::initializer_list<POINT> steps) {
        POINT at = OnScreen(window, x, y);
        headless::PressMouse(Button::Left, at.x, at.y);
        window_test::Pump();
        for (POINT step : steps) {
            at = POINT{at.x + step.x, at.y + step.y};
            headless::MoveMouse(at.x, at.y);
            window_test::Pump();
        }
        headless::ReleaseMouse(Button::Left, at.x, at.y);
        window_test::Pump();
    }

    // The centre of one of the child's caption buttons, in window coordinates.
    POINT ButtonAt(RECT platform::FrameParts::*button) {
        std::lock_guard lock(platform::WindowLock());
        RECT r = platform::FramePartsLocked(*platform::LookupWindowLocked(child)).*button;
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }

    std::vector<WPARAM> Commands() {
        std::vector<WPARAM> commands;
        for (const auto& seen : Recorder::Of(WM_SYSCOMMAND))
            commands.push_back(seen.wParam & 0xFFF0);
        return commands;
    }

    HWND parent = 0;
    HWND child = 0;
    int border = 0;
    int captionY = 0;
};

TEST_F(FrameTracking, ACaptionDragMovesAChildStepByStepUntilTheRelease) {
    POINT at = OnScreen(child, 100, captionY);
    headless::PressMouse(Button::Left, at.x, at.y);
    window_test::Pump();
    EXPECT_EQ(GetCapture(), child);
    headless::MoveMouse(at.x + 10, at.y + 5);
    window_test::Pump();
    EXPECT_EQ(Sides(InParent(child)), (Longs{30, 35, 230, 185}));
    headless::MoveMouse(at.x - 25, at.y + 40);
    window_test::Pump();
    EXPECT_EQ(Sides(InParent(child)), (Longs{-5, 70, 195, 220}));
    headless::ReleaseMouse(Button::Left, at.x - 25, at.y + 40);
    window_test::Pump();
    EXPECT_EQ(GetCapture(), 0u);
    headless::MoveMouse(at.x, at.y);
    window_test::Pump();
    EXPECT_EQ(Sides(InParent(child)), (Longs{-5, 70, 195, 220}));
    EXPECT_TRUE(Recorder::Of(WM_SIZING).empty());
    EXPECT_TRUE(Recorder::Of(WM_SIZE).empty());
    EXPECT_EQ(Recorder::Of(WM_MOVE).size(), 2u);

    // A maximised window stays where it is.
    ShowWindow(child, SW_MAXIMIZE);
    RECT maximized = InParent(child);
    Drag(child, 100, captionY, {{30, 30}});
    EXPECT_EQ(Sides(InParent(child)), Sides(maximized));
}

TEST_F(FrameTracking, EachEdgeDragSendsWmSizingOnTheScreenAndSizesTheWindow) {
    struct Case {
        int x, y; // where the edge is taken, in window coordinates
        WPARAM edge;
        Longs sides; // in the parent, after moving by (7, 9)
    };
    const Case cases[] = {
        {0, 75, WMSZ_LEFT, {27, 30, 220, 180}},
        {199, 75, WMSZ_RIGHT, {20, 30, 227, 180}},
        {100, 0, WMSZ_TOP, {20, 39, 220, 180}},
        {0, 0, WMSZ_TOPLEFT, {27, 39, 220, 180}},
        {199, 0, WMSZ_TOPRIGHT, {20, 39, 227, 180}},
        {100, 149, WMSZ_BOTTOM, {20, 30, 220, 189}},
        {0, 149, WMSZ_BOTTOMLEFT, {27, 30, 220, 189}},
        {199, 149, WMSZ_BOTTOMRIGHT, {20, 30, 227, 189}},
    };
    POINT origin{0, 0};
    ClientToScreen(parent, &origin);
    for (const Case& c : cases) {
        MoveWindow(child, 20, 30, 200, 150, TRUE);
        window_test::Pump();
        Recorder::seen.clear();
        RECT sizing{};
        Recorder::answer = [&](HWND, UINT message, WPARAM, LPARAM lParam) {
            if (message == WM_SIZING) sizing = *reinterpret_cast<RECT*>(lParam);
            return std::optional<LRESULT>{};
        };
        Drag(child, c.x, c.y, {{7, 9}});
        auto seen = Recorder::Of(WM_SIZING);
        ASSERT_EQ(seen.size(), 1u) << c.edge;
        EXPECT_EQ(seen[0].wParam, c.edge);
        RECT expected{c.sides[0] + origin.x, c.sides[1] + origin.y, c.sides[2] + origin.x,
                      c.sides[3] + origin.y};
        EXPECT_EQ(Sides(sizing), Sides(expected)) << c.edge;
        EXPECT_EQ(Sides(InParent(child)), c.sides) << c.edge;
        RECT client = window_test::ClientRect(child);
        auto sizes = Recorder::Of(WM_SIZE);
        ASSERT_EQ(sizes.size(), 1u) << c.edge;
        EXPECT_EQ(sizes[0].lParam, MAKELPARAM(client.right, client.bottom)) << c.edge;
    }
}

TEST_F(FrameTracking, TheWindowTakesTheRectangleWmSizingLeaves) {
    // The procedure keeps the window at least 180 wide and snaps its height to tens.
    Recorder::answer = [](HWND, UINT message, WPARAM edge, LPARAM lParam) {
        if (message != WM_SIZING) return std::optional<LRESULT>{};
        RECT* rect = reinterpret_cast<RECT*>(lParam);
        if (rect->right - rect->left < 180) rect->left = rect->right - 180;
        if (edge == WMSZ_BOTTOMLEFT)
            rect->bottom = rect->top + (rect->bottom - rect->top) / 10 * 10;
        return std::optional<LRESULT>{TRUE};
    };
    Drag(child, 0, 149, {{15, 3}, {30, 8}});
    EXPECT_EQ(Recorder::Of(WM_SIZING).size(), 2u);
    EXPECT_EQ(Sides(InParent(child)), (Longs{40, 30, 220, 190}));
    // Pushing an edge past the opposite one stops it there.
    Recorder::answer = nullptr;
    Drag(child, 179, 75, {{-400, 0}});
    RECT rect = InParent(child);
    EXPECT_EQ(rect.right, rect.left);
}

TEST_F(FrameTracking, AWindowDestroyedByItsSizingHandlerEndsTheDragSafely) {
    Recorder::answer = [this](HWND window, UINT message, WPARAM, LPARAM) {
        if (message == WM_SIZING && window == child) DestroyWindow(child);
        return std::optional<LRESULT>{};
    };
    Drag(child, 199, 149, {{5, 5}, {5, 5}});
    EXPECT_FALSE(IsWindow(child));
    EXPECT_EQ(GetCapture(), 0u);
    // The next window's drag is tracked anew.
    Recorder::answer = nullptr;
    child = input_test::Make(kFramedChild, 20, 30, 200, 150, parent);
    Drag(child, 100, captionY, {{10, 10}});
    EXPECT_EQ(Sides(InParent(child)), (Longs{30, 40, 230, 190}));
}

TEST_F(FrameTracking, CaptionButtonsSendTheirCommandOnAReleaseOverThem) {
    // Released away from the button: nothing.
    POINT max = ButtonAt(&platform::FrameParts::maxButton);
    Drag(child, max.x, max.y, {{0, 40}});
    EXPECT_TRUE(Commands().empty());
    // Leaving and coming back still counts.
    Drag(child, max.x, max.y, {{0, 40}, {0, -40}});
    EXPECT_EQ(Commands(), (std::vector<WPARAM>{SC_MAXIMIZE}));
    EXPECT_TRUE(IsZoomed(child));
    // The button of a state restores from it: the maximised window's, then the minimised
    // bar's.
    struct Step {
        RECT platform::FrameParts::*button;
        WPARAM command;
    };
    const Step steps[] = {{&platform::FrameParts::maxButton, SC_RESTORE},
                          {&platform::FrameParts::minButton, SC_MINIMIZE},
                          {&platform::FrameParts::minButton, SC_RESTORE},
                          {&platform::FrameParts::closeButton, SC_CLOSE}};
    for (const Step& step : steps) {
        Recorder::seen.clear();
        POINT at = ButtonAt(step.button);
        Drag(child, at.x, at.y, {});
        EXPECT_EQ(Commands(), (std::vector<WPARAM>{step.command}));
    }
    EXPECT_FALSE(IsWindow(child));
}

TEST_F(FrameTracking, AHeldButtonLooksPressedOnlyWhileThePointerIsOnIt) {
    POINT close = ButtonAt(&platform::FrameParts::closeButton);
    headless::Pixels idle, held, away, after;
    ASSERT_TRUE(headless::ReadWholePixels(child, idle));
    POINT at = OnScreen(child, close.x, close.y);
    headless::PressMouse(Button::Left, at.x, at.y);
    window_test::Pump();
    ASSERT_TRUE(headless::ReadWholePixels(child, held));
    headless::MoveMouse(at.x, at.y + 50);
    window_test::Pump();
    ASSERT_TRUE(headless::ReadWholePixels(child, away));
    headless::ReleaseMouse(Button::Left, at.x, at.y + 50);
    window_test::Pump();
    ASSERT_TRUE(headless::ReadWholePixels(child, after));
    EXPECT_NE(held.data, idle.data);
    EXPECT_EQ(away.data, idle.data);
    EXPECT_EQ(after.data, idle.data);

    // A close command greyed in the system menu greys the button, which ignores presses.
    EnableMenuItem(GetSystemMenu(child, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    Drag(child, close.x, close.y, {});
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ(GetCapture(), 0u);
    EXPECT_TRUE(IsWindow(child));
}

TEST_F(FrameTracking, AMinimisedChildIsACaptionBarAtItsParentsBottomLeft) {
    ShowWindow(child, SW_MINIMIZE);
    window_test::Pump();
    RECT parentClient = window_test::ClientRect(parent);
    int height = 2 * border + GetSystemMetrics(SM_CYCAPTION);
    EXPECT_EQ(Sides(InParent(child)),
              (Longs{0, parentClient.bottom - height, 160, parentClient.bottom}));
    RECT client = window_test::ClientRect(child);
    EXPECT_EQ(client.right * client.bottom, 0);
    POINT at = OnScreen(child, 60, captionY);
    EXPECT_EQ(SendMessageA(child, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y)), HTCAPTION);
    EXPECT_EQ(SendMessageA(child, WM_NCHITTEST, 0, MAKELPARAM(at.x - 60, at.y)), HTBORDER);
    headless::Pixels pixels;
    ASSERT_TRUE(headless::ReadWholePixels(child, pixels));
    COLORREF caption = GetSysColor(COLOR_INACTIVECAPTION);
    EXPECT_EQ(pixels.At(90, captionY),
              (caption & 0xFF) << 16 | (caption & 0xFF00) | (caption >> 16 & 0xFF));
    ShowWindow(child, SW_RESTORE);
    EXPECT_EQ(Sides(InParent(child)), (Longs{20, 30, 220, 180}));
}

TEST_F(FrameTracking, AStyleWriteChangingTheFrameRecomputesItAtOnce) {
    HWND window = Keep(input_test::Make(WS_OVERLAPPEDWINDOW, 0, 0, 300, 200));
    RECT before = window_test::ClientRect(window);
    Recorder::seen.clear();
    LONG style = GetWindowLongA(window, GWL_STYLE);
    SetWindowLongA(window, GWL_STYLE, style | WS_VSCROLL);
    RECT after = window_test::ClientRect(window);
    EXPECT_EQ(after.right, before.right - GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(after.bottom, before.bottom);
    EXPECT_EQ(window_test::Sequence({WM_STYLECHANGED, WM_NCCALCSIZE, WM_SIZE}),
              (std::vector<std::pair<HWND, UINT>>{
                  {window, WM_STYLECHANGED}, {window, WM_NCCALCSIZE}, {window, WM_SIZE}}));
    POINT inBar = OnScreen(window, 300 - border - 5, 100);
    EXPECT_EQ(SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(inBar.x, inBar.y)), HTVSCROLL);

    // Dropping the caption and sizing frame gives the client area the whole window; an
    // extended client edge takes two pixels a side back.
    SetWindowLongA(window, GWL_STYLE, WS_POPUP);
    EXPECT_EQ(Sides(window_test::ClientRect(window)), (Longs{0, 0, 300, 200}));
    SetWindowLongA(window, GWL_EXSTYLE, WS_EX_CLIENTEDGE);
    EXPECT_EQ(Sides(window_test::ClientRect(window)), (Longs{0, 0, 296, 196}));

    // Bits that leave the frame alone recompute nothing.
    Recorder::seen.clear();
    SetWindowLongA(window, GWL_STYLE, WS_POPUP | WS_CLIPCHILDREN);
    SetWindowLongA(window, GWL_EXSTYLE, WS_EX_CLIENTEDGE | WS_EX_ACCEPTFILES);
    EXPECT_TRUE(Recorder::Of(WM_NCCALCSIZE).empty());
}

} // namespace
