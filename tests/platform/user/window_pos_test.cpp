#include <gtest/gtest.h>

#include <climits>

#include "platform/last_error.h"
#include "platform/system/system_info.h"
#include "platform/window_recorder.h"

namespace {

using window_test::ClientRect;
using window_test::Longs;
using window_test::Make;
using window_test::Recorder;
using window_test::Sides;
using window_test::WindowRect;
using window_test::XY;
using window_test::ZOrder;

class WindowPos : public window_test::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_TRUE(platform::SetVirtualDisplay(1024, 768, 32));
    }
    void TearDown() override {
        WindowTest::TearDown();
        platform::ResetVirtualDisplay();
    }
};

TEST_F(WindowPos, MovesAndSizesOuterRectanglesAndReportsClientAreas) {
    HWND window = Keep(Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200));
    Recorder::seen.clear();
    ASSERT_TRUE(SetWindowPos(window, HWND_TOP, 50, 60, 400, 300, SWP_NOZORDER));
    EXPECT_EQ(Recorder::Messages(), (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_NCCALCSIZE,
                                                       WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE}));
    EXPECT_EQ(Recorder::Of(WM_MOVE)[0].lParam, MAKELPARAM(54, 83));
    EXPECT_EQ(Recorder::Of(WM_SIZE)[0].lParam, MAKELPARAM(392, 273));
    EXPECT_EQ(Recorder::Of(WM_SIZE)[0].wParam, SIZE_RESTORED);
    EXPECT_EQ(Sides(WindowRect(window)), (Longs{50, 60, 450, 360}));
    EXPECT_EQ(Sides(ClientRect(window)), (Longs{0, 0, 392, 273}));

    // A move alone keeps the client size: no WM_NCCALCSIZE, no WM_SIZE.
    Recorder::seen.clear();
    ASSERT_TRUE(MoveWindow(window, 0, 0, 400, 300, TRUE));
    EXPECT_EQ(Recorder::Messages(),
              (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE}));
    // Nothing to change: only WM_WINDOWPOSCHANGING.
    Recorder::seen.clear();
    ASSERT_TRUE(SetWindowPos(window, HWND_TOP, 0, 0, 400, 300, SWP_NOZORDER));
    EXPECT_EQ(Recorder::Messages(), std::vector<UINT>{WM_WINDOWPOSCHANGING});

    // The procedure may change the position it is told about; negative sizes are 0.
    Recorder::answer = [](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_WINDOWPOSCHANGING) reinterpret_cast<WINDOWPOS*>(lParam)->cx = 250;
        return std::nullopt;
    };
    ASSERT_TRUE(SetWindowPos(window, HWND_TOP, 0, 0, 500, -20, SWP_NOZORDER | SWP_NOMOVE));
    EXPECT_EQ(Sides(WindowRect(window)), (Longs{0, 0, 250, 0}));
    EXPECT_EQ(Sides(ClientRect(window)), (Longs{0, 0, 242, 0}));

    // A child's position is in its parent's client coordinates.
    HWND child = Make(WS_CHILD | WS_BORDER, 10, 20, 30, 40, window);
    EXPECT_EQ(Sides(WindowRect(child)), (Longs{14, 43, 44, 83}));
    POINT point{0, 0};
    ASSERT_TRUE(ClientToScreen(child, &point));
    EXPECT_EQ(XY(point), (Longs{15, 44}));
    ASSERT_TRUE(ScreenToClient(window, &point));
    EXPECT_EQ(XY(point), (Longs{11, 21}));
    POINT points[2] = {{0, 0}, {5, 5}};
    EXPECT_EQ(MapWindowPoints(child, 0, points, 2), MAKELPARAM(15, 44));
    EXPECT_EQ(points[1].x, 20);
    MapWindowPoints(0, child, points, 1);
    EXPECT_EQ(XY(points[0]), (Longs{0, 0}));
}

TEST_F(WindowPos, ZOrderKeepsTheTopmostBandAndOwnedWindowsAboveTheirOwners) {
    HWND a = Keep(Make(WS_POPUP, 0, 0, 10, 10));
    HWND b = Keep(Make(WS_POPUP, 0, 0, 10, 10));
    HWND top = Keep(Make(WS_POPUP, 0, 0, 10, 10, 0, WS_EX_TOPMOST));
    HWND c = Keep(Make(WS_POPUP, 0, 0, 10, 10));
    std::vector<HWND> all{a, b, top, c};
    EXPECT_EQ(ZOrder(all), (std::vector<HWND>{top, c, b, a}));

    // Raising a normal window keeps it below the topmost band.
    SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(ZOrder(all), (std::vector<HWND>{top, a, c, b}));
    // Into the band and out of it again.
    SetWindowPos(b, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(ZOrder(all), (std::vector<HWND>{b, top, a, c}));
    EXPECT_TRUE(GetWindowLongA(b, GWL_EXSTYLE) & WS_EX_TOPMOST);
    SetWindowPos(b, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(ZOrder(all), (std::vector<HWND>{top, b, a, c}));
    // HWND_BOTTOM takes a topmost window out of the band.
    SetWindowPos(top, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(ZOrder(all), (std::vector<HWND>{b, a, c, top}));
    EXPECT_FALSE(GetWindowLongA(top, GWL_EXSTYLE) & WS_EX_TOPMOST);
    // After a given window.
    SetWindowPos(top, b, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(ZOrder(all), (std::vector<HWND>{b, top, a, c}));

    // An owned window stays above its owner and travels with it.
    HWND owned = Keep(Make(WS_POPUP, 0, 0, 10, 10, c));
    all.push_back(owned);
    EXPECT_EQ(ZOrder(all), (std::vector<HWND>{owned, b, top, a, c}));
    SetWindowPos(owned, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(ZOrder(all), (std::vector<HWND>{b, top, a, owned, c}));
    SetWindowPos(c, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(ZOrder(all), (std::vector<HWND>{owned, c, b, top, a}));
    SetWindowPos(c, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_TRUE(GetWindowLongA(owned, GWL_EXSTYLE) & WS_EX_TOPMOST);
    // An owned window leaving the band takes its owner along.
    SetWindowPos(owned, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_FALSE(GetWindowLongA(c, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(ZOrder(all), (std::vector<HWND>{owned, c, b, top, a}));

    // A sibling of another parent is no partner.
    HWND child = Keep(Make(WS_CHILD, 0, 0, 1, 1, a));
    EXPECT_EQ(ErrorOf(SetWindowPos(b, child, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE), FALSE),
              ERROR_INVALID_PARAMETER);
    // Children: bottom and top among siblings.
    HWND child2 = Make(WS_CHILD, 0, 0, 1, 1, a);
    EXPECT_EQ(GetWindow(child, GW_HWNDNEXT), child2);
    SetWindowPos(child2, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetWindow(a, GW_CHILD), child2);
    EXPECT_EQ(GetWindow(child2, GW_HWNDLAST), child);
}

TEST_F(WindowPos, ShowWindowStatesAndTheirSizes) {
    HWND window = Keep(Make(WS_OVERLAPPEDWINDOW, 100, 100, 300, 200));
    Recorder::seen.clear();
    EXPECT_FALSE(ShowWindow(window, SW_SHOWMAXIMIZED));
    EXPECT_EQ(Recorder::Messages(),
              (std::vector<UINT>{WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_NCCALCSIZE,
                                 WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE}));
    EXPECT_EQ(Recorder::Of(WM_SIZE)[0].wParam, SIZE_MAXIMIZED);
    // The frame reaches beyond the screen; the client area fills it below the caption.
    EXPECT_EQ(Sides(WindowRect(window)), (Longs{-4, -4, 1028, 772}));
    EXPECT_EQ(Sides(ClientRect(window)), (Longs{0, 0, 1024, 749}));
    EXPECT_TRUE(IsZoomed(window));
    EXPECT_TRUE(IsWindowVisible(window));

    Recorder::seen.clear();
    EXPECT_TRUE(ShowWindow(window, SW_MINIMIZE));
    EXPECT_EQ(Recorder::Of(WM_SIZE)[0].wParam, SIZE_MINIMIZED);
    EXPECT_EQ(Recorder::Of(WM_SIZE)[0].lParam, 0);
    EXPECT_TRUE(IsIconic(window));
    EXPECT_FALSE(IsZoomed(window));
    EXPECT_EQ(Sides(ClientRect(window)), (Longs{0, 0, 0, 0}));
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    ASSERT_TRUE(GetWindowPlacement(window, &placement));
    EXPECT_EQ(placement.showCmd, SW_SHOWMINIMIZED);
    EXPECT_EQ(placement.flags, WPF_RESTORETOMAXIMIZED);
    EXPECT_EQ(Sides(placement.rcNormalPosition), (Longs{100, 100, 400, 300}));

    // Minimised from maximised, it is restored maximised, then to its normal rectangle.
    ShowWindow(window, SW_RESTORE);
    EXPECT_TRUE(IsZoomed(window));
    Recorder::seen.clear();
    ShowWindow(window, SW_RESTORE);
    EXPECT_EQ(Recorder::Of(WM_SIZE)[0].wParam, SIZE_RESTORED);
    EXPECT_EQ(Recorder::Of(WM_SIZE)[0].lParam, MAKELPARAM(292, 173));
    EXPECT_EQ(Sides(WindowRect(window)), (Longs{100, 100, 400, 300}));

    // Showing what is shown, hiding what is hidden: nothing sent.
    Recorder::seen.clear();
    EXPECT_TRUE(ShowWindow(window, SW_SHOW));
    EXPECT_TRUE(Recorder::seen.empty());
    EXPECT_TRUE(ShowWindow(window, SW_HIDE));
    EXPECT_EQ(Recorder::Messages(),
              (std::vector<UINT>{WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED}));
    EXPECT_EQ(Recorder::seen[0].wParam, static_cast<WPARAM>(FALSE));
    EXPECT_FALSE(ShowWindow(window, SW_HIDE));
    EXPECT_EQ(ErrorOf(ShowWindow(window, 12), FALSE), ERROR_INVALID_PARAMETER);

    // A hidden parent hides its visible children.
    HWND child = Keep(Make(WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, window));
    EXPECT_FALSE(IsWindowVisible(child));
    // A maximised child fills its parent's client area, frame outside.
    ShowWindow(child, SW_MAXIMIZE);
    EXPECT_EQ(Sides(ClientRect(child)), (Longs{0, 0, 292, 173}));

    // Creation with WS_MAXIMIZE: maximised, and still hidden without WS_VISIBLE.
    HWND big = Keep(Make(WS_OVERLAPPEDWINDOW | WS_MAXIMIZE, 0, 0, 100, 100));
    EXPECT_TRUE(IsZoomed(big));
    EXPECT_FALSE(IsWindowVisible(big));
}

TEST_F(WindowPos, SystemCommandsAndEnabling) {
    HWND window = Keep(Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200));
    SendMessageA(window, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_TRUE(IsZoomed(window));
    SendMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE | 3, 0);
    EXPECT_TRUE(IsIconic(window));
    SendMessageA(window, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(IsZoomed(window));

    Recorder::seen.clear();
    EXPECT_FALSE(EnableWindow(window, FALSE));
    EXPECT_FALSE(IsWindowEnabled(window));
    EXPECT_TRUE(EnableWindow(window, FALSE));
    EXPECT_TRUE(EnableWindow(window, TRUE));
    EXPECT_EQ(Recorder::Messages(), (std::vector<UINT>{WM_ENABLE, WM_ENABLE}));
    EXPECT_EQ(Recorder::seen[0].wParam, static_cast<WPARAM>(FALSE));
}

TEST_F(WindowPos, PlacementRoundTripsThroughStates) {
    HWND window = Keep(Make(WS_OVERLAPPEDWINDOW, 10, 10, 200, 100));
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    ASSERT_TRUE(GetWindowPlacement(window, &placement));
    placement.rcNormalPosition = RECT{30, 40, 330, 240};
    placement.showCmd = SW_SHOWMINIMIZED;
    placement.flags = WPF_RESTORETOMAXIMIZED;
    ASSERT_TRUE(SetWindowPlacement(window, &placement));
    EXPECT_TRUE(IsIconic(window));
    ShowWindow(window, SW_RESTORE);
    EXPECT_TRUE(IsZoomed(window));
    ShowWindow(window, SW_RESTORE);
    EXPECT_EQ(Sides(WindowRect(window)), (Longs{30, 40, 330, 240}));

    placement.length = 0;
    EXPECT_EQ(ErrorOf(SetWindowPlacement(window, &placement), FALSE), ERROR_INVALID_PARAMETER);
}

TEST_F(WindowPos, ExtremeGeometryStaysDefined) {
    HWND window = Keep(Make(WS_POPUP | WS_BORDER, 0, 0, 10, 10));
    // Positions stop at +-(2^30 - 1), so that no side, sum or difference overflows.
    constexpr LONG kLimit = (1 << 30) - 1;
    ASSERT_TRUE(SetWindowPos(window, HWND_TOP, INT32_MAX - 5, INT32_MIN, 100, 100, SWP_NOZORDER));
    EXPECT_EQ(Sides(WindowRect(window)), (Longs{kLimit, -kLimit, kLimit + 100, -kLimit + 100}));
    HWND child = Make(WS_CHILD, kLimit, kLimit, INT32_MAX, 10, window);
    ASSERT_TRUE(SetWindowPos(window, HWND_TOP, -kLimit, kLimit, 0, 0, SWP_NOZORDER | SWP_NOSIZE));
    EXPECT_EQ(Sides(WindowRect(child)), (Longs{1, INT32_MAX, kLimit + 1, INT32_MAX}));
    POINT point{INT32_MAX, INT32_MIN};
    EXPECT_TRUE(ClientToScreen(child, &point));
    EXPECT_EQ(XY(point), (Longs{INT32_MAX, -1}));
    // A procedure answering an inside-out client area gets an empty one.
    Recorder::answer = [](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message != WM_NCCALCSIZE) return std::nullopt;
        reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] = RECT{50, 50, 10, 10};
        return 0;
    };
    ASSERT_TRUE(SetWindowPos(window, HWND_TOP, 0, 0, 20, 20, SWP_NOZORDER));
    EXPECT_EQ(Sides(ClientRect(window)), (Longs{0, 0, 0, 0}));
}

TEST_F(WindowPos, DefaultPlacesAndReparenting) {
    HWND first = Keep(Make(WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0));
    HWND second = Keep(Make(WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0, 100, 100));
    RECT a = WindowRect(first);
    RECT b = WindowRect(second);
    EXPECT_EQ(XY({a.right - a.left, a.bottom - a.top}), (Longs{768, 576}));
    EXPECT_NE(a.left, b.left); // cascaded
    EXPECT_GE(b.left, 0);
    // Other windows take CW_USEDEFAULT as 0.
    HWND popup = Keep(Make(WS_POPUP, CW_USEDEFAULT, 5, CW_USEDEFAULT, 7));
    EXPECT_EQ(Sides(WindowRect(popup)), (Longs{0, 5, 0, 12}));

    HWND child = Make(WS_CHILD, 10, 10, 20, 20, first);
    HWND older = Make(WS_CHILD, 0, 0, 5, 5, second);
    EXPECT_EQ(SetParent(child, second), first);
    EXPECT_EQ(GetParent(child), second);
    EXPECT_EQ(GetWindow(second, GW_CHILD), child);
    EXPECT_EQ(GetWindow(child, GW_HWNDNEXT), older);
    EXPECT_EQ(GetWindow(first, GW_CHILD), 0u);
    POINT origin{0, 0}, parentOrigin{0, 0};
    ClientToScreen(child, &origin);
    ClientToScreen(second, &parentOrigin);
    EXPECT_EQ(origin.x, parentOrigin.x + 10);
    // No cycles, no top-level windows.
    EXPECT_EQ(SetParent(second, child), 0u);
    EXPECT_EQ(ErrorOf(SetParent(first, second), 0u), ERROR_INVALID_PARAMETER);
    DestroyWindow(second);
    EXPECT_FALSE(IsWindow(child));
}

struct FrameCase {
    DWORD style;
    DWORD exStyle;
    BOOL menu;
    Longs expected; // the window rectangle of the client rectangle 0, 0, 100, 50
};

TEST(WindowMetrics, AdjustWindowRectExAddsTheClassicFrames) {
    const FrameCase cases[] = {
        {WS_POPUP, 0, FALSE, {0, 0, 100, 50}},
        {WS_BORDER, 0, FALSE, {-1, -1, 101, 51}},
        {WS_DLGFRAME, 0, FALSE, {-3, -3, 103, 53}},
        {WS_CAPTION, 0, FALSE, {-3, -22, 103, 53}},
        {WS_CAPTION | WS_THICKFRAME, 0, FALSE, {-4, -23, 104, 54}},
        {WS_OVERLAPPEDWINDOW, 0, TRUE, {-4, -42, 104, 54}},
        {WS_THICKFRAME, 0, FALSE, {-3, -3, 103, 53}},
        {WS_CAPTION, WS_EX_TOOLWINDOW, FALSE, {-3, -18, 103, 53}},
        {WS_POPUP | WS_BORDER, WS_EX_CLIENTEDGE, FALSE, {-3, -3, 103, 53}},
        {WS_POPUP, WS_EX_DLGMODALFRAME, FALSE, {-3, -3, 103, 53}},
        {WS_POPUP, WS_EX_STATICEDGE, FALSE, {-1, -1, 101, 51}},
        {WS_CHILD, WS_EX_CLIENTEDGE | WS_EX_WINDOWEDGE, FALSE, {-2, -2, 102, 52}},
        // Scroll bars belong to the client side and are not added.
        {WS_POPUP | WS_VSCROLL | WS_HSCROLL, 0, FALSE, {0, 0, 100, 50}},
        // The window styles of the top-level Window class.
        {0x82880000, 0x10001, FALSE, {-3, -3, 103, 53}},
        {0x82C80000, 0, FALSE, {-3, -22, 103, 53}},
        {0x82880000 | WS_THICKFRAME, 0x10001, FALSE, {-4, -4, 104, 54}},
    };
    for (const FrameCase& c : cases) {
        RECT rect{0, 0, 100, 50};
        ASSERT_TRUE(AdjustWindowRectEx(&rect, c.style, c.menu, c.exStyle));
        EXPECT_EQ(Sides(rect), c.expected) << std::hex << c.style << " " << c.exStyle;
    }
    EXPECT_FALSE(AdjustWindowRectEx(nullptr, 0, FALSE, 0));
}

TEST(WindowMetrics, WindowsLayOutTheFramesAdjustWindowRectExComputes) {
    window_test::Recorder::Reset();
    const std::pair<DWORD, DWORD> styles[] = {
        {WS_OVERLAPPEDWINDOW, 0},
        {WS_POPUP | WS_CAPTION, WS_EX_TOOLWINDOW | WS_EX_CLIENTEDGE},
        {WS_POPUP | WS_DLGFRAME, WS_EX_DLGMODALFRAME},
        {WS_POPUP | WS_BORDER | WS_VSCROLL | WS_HSCROLL, 0},
    };
    for (const auto& [style, exStyle] : styles) {
        RECT rect{0, 0, 200, 120};
        AdjustWindowRectEx(&rect, style, FALSE, exStyle);
        HWND window = window_test::Make(style, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                                        0, exStyle);
        ASSERT_NE(window, 0u);
        RECT client = window_test::ClientRect(window);
        bool scrolls = style & WS_VSCROLL;
        EXPECT_EQ(client.right, scrolls ? 200 - 16 : 200) << std::hex << style;
        EXPECT_EQ(client.bottom, scrolls ? 120 - 16 : 120) << std::hex << style;
        DestroyWindow(window);
    }
}

} // namespace
