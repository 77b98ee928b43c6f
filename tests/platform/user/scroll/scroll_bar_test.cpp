#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/display/headless_display.h"
#include "platform/user/input/input_fixture.h"
#include "platform/user/scroll/scroll_bar.h"

namespace {

namespace headless = platform::headless;
using input_test::Recorder;
using input_test::Seen;
using window_test::Pump;

struct Scroll {
    UINT message;
    WORD code;
    WORD position;
    LPARAM from;
    bool operator==(const Scroll&) const = default;
};

std::vector<Scroll> Scrolls() {
    std::vector<Scroll> found;
    for (const Seen& s : Recorder::seen)
        if (s.message == WM_HSCROLL || s.message == WM_VSCROLL)
            found.push_back({s.message, LOWORD(s.wParam), HIWORD(s.wParam), s.lParam});
    return found;
}

std::vector<WORD> Codes() {
    std::vector<WORD> codes;
    for (const Scroll& s : Scrolls())
        codes.push_back(s.code);
    return codes;
}

SCROLLINFO Info(UINT mask, int min, int max, UINT page, int pos) {
    return SCROLLINFO{sizeof(SCROLLINFO), mask, min, max, page, pos, 0};
}

class ScrollBars : public input_test::InputTest {
protected:
    void SetUp() override {
        headless::Install();
        InputTest::SetUp();
        parent = Keep(input_test::Make(WS_POPUP | WS_VISIBLE, 100, 100, 300, 200));
    }
    // A vertical control 16 x 116 at 10, 10 of the parent: arrows of 16, a track of 84.
    HWND Control(DWORD style = SBS_VERT, int min = 0, int max = 100, UINT page = 0) {
        HWND control = CreateWindowExA(0, "ScrollBar", nullptr, WS_CHILD | WS_VISIBLE | style, 10,
                                       10, 16, 116, parent, 0, 0, nullptr);
        EXPECT_NE(control, 0u);
        SCROLLINFO info = Info(SIF_RANGE | SIF_PAGE, min, max, page, 0);
        SetScrollInfo(control, SB_CTL, &info, TRUE);
        Pump();
        Recorder::seen.clear();
        return control;
    }
    HWND parent = 0;
};

TEST_F(ScrollBars, PositionsAreClampedToTheRangeLessThePage) {
    HWND control = Control();
    struct Case {
        int min, max;
        UINT page;
        int pos;
        int want;
        UINT wantPage;
    };
    const Case cases[] = {
        {0, 100, 0, 50, 50, 0},
        {0, 100, 0, 150, 100, 0},
        {0, 100, 0, -5, 0, 0},
        {0, 100, 10, 100, 91, 10},
        {0, 100, 1, 100, 100, 1},
        {0, 100, 500, 30, 0, 101},
        {-50, -10, 5, -1, -14, 5},
        {10, 5, 0, 7, 10, 0},
        {0, 0x7FFFFFFF, 0, 0x7FFFFFFF, 0x7FFFFFFF, 0},
    };
    for (const Case& c : cases) {
        SCROLLINFO info = Info(SIF_ALL, c.min, c.max, c.page, c.pos);
        EXPECT_EQ(SetScrollInfo(control, SB_CTL, &info, FALSE), c.want) << c.min << ".." << c.max;
        SCROLLINFO back = Info(SIF_ALL, 0, 0, 0, 0);
        ASSERT_TRUE(GetScrollInfo(control, SB_CTL, &back));
        EXPECT_EQ(back.nPos, c.want);
        EXPECT_EQ(back.nPage, c.wantPage);
        EXPECT_EQ(back.nTrackPos, c.want);
    }
    EXPECT_EQ(SetScrollPos(control, SB_CTL, 5, FALSE), 0x7FFFFFFF);
    EXPECT_EQ(GetScrollPos(control, SB_CTL), 5);
    EXPECT_TRUE(Scrolls().empty()); // programmatic changes notify nobody

    SCROLLINFO bad = Info(SIF_ALL, 0, 0, 0, 0);
    bad.cbSize = 12;
    EXPECT_FALSE(GetScrollInfo(control, SB_CTL, &bad));
    EXPECT_FALSE(GetScrollInfo(parent, SB_CTL, &bad)); // not a SCROLLBAR
    SCROLLINFO none = Info(0, 0, 0, 0, 0);
    EXPECT_FALSE(GetScrollInfo(control, SB_CTL, &none));
    EXPECT_FALSE(GetScrollInfo(control, 3, &none));
}

TEST_F(ScrollBars, AWindowsUselessBarGoesUnlessDisabledInstead) {
    HWND window = Keep(input_test::Make(WS_POPUP | WS_VISIBLE | WS_VSCROLL, 0, 0, 200, 100));
    EXPECT_EQ(window_test::ClientRect(window).right, 200 - 16);

    SCROLLINFO useless = Info(SIF_RANGE | SIF_PAGE, 0, 10, 20, 0);
    SetScrollInfo(window, SB_VERT, &useless, TRUE);
    EXPECT_FALSE(GetWindowLongA(window, GWL_STYLE) & WS_VSCROLL);
    EXPECT_EQ(window_test::ClientRect(window).right, 200);

    SCROLLINFO useful = Info(SIF_RANGE | SIF_PAGE, 0, 100, 20, 0);
    SetScrollInfo(window, SB_VERT, &useful, TRUE);
    EXPECT_TRUE(GetWindowLongA(window, GWL_STYLE) & WS_VSCROLL);
    EXPECT_EQ(window_test::ClientRect(window).right, 200 - 16);

    useless.fMask |= SIF_DISABLENOSCROLL;
    SetScrollInfo(window, SB_VERT, &useless, TRUE);
    EXPECT_TRUE(GetWindowLongA(window, GWL_STYLE) & WS_VSCROLL);
    // A disabled bar ignores the pointer.
    POINT onBar{200 - 8, 50};
    EXPECT_EQ(SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(onBar.x, onBar.y)), HTVSCROLL);
    headless::Click(headless::Button::Left, onBar.x, onBar.y);
    Pump();
    EXPECT_TRUE(Scrolls().empty());
}

TEST_F(ScrollBars, AHeldArrowRepeatsAfter200ThenEvery50Milliseconds) {
    HWND control = Control();
    headless::AdvanceTime(0);
    headless::PressMouse(control, headless::Button::Left, 8, 110);
    Pump();
    EXPECT_EQ(Scrolls(), (std::vector<Scroll>{{WM_VSCROLL, SB_LINEDOWN, 0, LPARAM(control)}}));
    EXPECT_EQ(GetCapture(), control);
    headless::AdvanceTime(199);
    Pump();
    EXPECT_EQ(Scrolls().size(), 1u);
    headless::AdvanceTime(1);
    Pump();
    EXPECT_EQ(Scrolls().size(), 2u);
    headless::AdvanceTime(50);
    Pump();
    headless::AdvanceTime(50);
    Pump();
    EXPECT_EQ(Scrolls().size(), 4u);
    // Off the arrow it holds still, back on it goes on.
    headless::MoveMouse(control, 8, 50);
    Pump();
    headless::AdvanceTime(200);
    Pump();
    EXPECT_EQ(Scrolls().size(), 4u);
    headless::MoveMouse(control, 8, 110);
    Pump();
    headless::AdvanceTime(50);
    Pump();
    EXPECT_EQ(Scrolls().size(), 5u);
    headless::ReleaseMouse(control, headless::Button::Left, 8, 110);
    Pump();
    EXPECT_EQ(Codes().back(), SB_ENDSCROLL);
    EXPECT_EQ(GetCapture(), 0u);
    headless::AdvanceTime(500);
    Pump();
    EXPECT_EQ(Scrolls().size(), 6u);
    EXPECT_EQ(GetScrollPos(control, SB_CTL), 0); // the owner moves the bar, not the bar
}

TEST_F(ScrollBars, PageAreasRepeatUntilTheThumbReachesThePointer) {
    HWND control = Control(SBS_VERT, 0, 100, 50);
    Recorder::answer = [control](HWND, UINT message, WPARAM wParam,
                                 LPARAM) -> std::optional<LRESULT> {
        if (message == WM_VSCROLL && LOWORD(wParam) == SB_PAGEDOWN)
            SetScrollPos(control, SB_CTL, GetScrollPos(control, SB_CTL) + 50, TRUE);
        return std::nullopt;
    };
    headless::AdvanceTime(0);
    headless::PressMouse(control, headless::Button::Left, 8, 95);
    Pump();
    for (int i = 0; i < 5; ++i) {
        headless::AdvanceTime(200);
        Pump();
    }
    headless::ReleaseMouse(control, headless::Button::Left, 8, 95);
    Pump();
    EXPECT_EQ(Codes(), (std::vector<WORD>{SB_PAGEDOWN, SB_ENDSCROLL}));
    EXPECT_EQ(GetScrollPos(control, SB_CTL), 50); // the thumb then lies under the pointer
}

TEST_F(ScrollBars, AThumbDragTracksThenGivesItsPositionAndEnds) {
    HWND control = Control(SBS_VERT, 0, 100, 0);
    // The thumb (16 high) starts at the top of the 84-pixel track.
    headless::PressMouse(control, headless::Button::Left, 8, 20);
    Pump();
    EXPECT_TRUE(Scrolls().empty());
    headless::MoveMouse(control, 8, 54); // 34 of 68 free pixels: the middle
    Pump();
    headless::MoveMouse(control, 8, 500); // far beyond the end
    Pump();
    SCROLLINFO info = Info(SIF_POS | SIF_TRACKPOS, 0, 0, 0, 0);
    GetScrollInfo(control, SB_CTL, &info);
    EXPECT_EQ(info.nTrackPos, 100);
    EXPECT_EQ(info.nPos, 0);
    headless::ReleaseMouse(control, headless::Button::Left, 8, 500);
    Pump();
    EXPECT_EQ(Scrolls(), (std::vector<Scroll>{{WM_VSCROLL, SB_THUMBTRACK, 50, LPARAM(control)},
                                              {WM_VSCROLL, SB_THUMBTRACK, 100, LPARAM(control)},
                                              {WM_VSCROLL, SB_THUMBPOSITION, 100, LPARAM(control)},
                                              {WM_VSCROLL, SB_ENDSCROLL, 0, LPARAM(control)}}));
    EXPECT_EQ(GetScrollPos(control, SB_CTL), 0);
}

TEST_F(ScrollBars, AHandlerDestroyingTheBarMidDragEndsTheTracking) {
    HWND control = Control(SBS_HORZ);
    MoveWindow(control, 10, 10, 116, 16, TRUE);
    Recorder::answer = [control](HWND, UINT message, WPARAM wParam,
                                 LPARAM) -> std::optional<LRESULT> {
        if (message == WM_HSCROLL && LOWORD(wParam) == SB_THUMBTRACK) DestroyWindow(control);
        return std::nullopt;
    };
    headless::PressMouse(control, headless::Button::Left, 20, 8);
    Pump();
    headless::MoveMouse(parent, 60, 18);
    Pump();
    EXPECT_FALSE(IsWindow(control));
    headless::MoveMouse(parent, 80, 18);
    headless::ReleaseMouse(parent, headless::Button::Left, 80, 18);
    headless::AdvanceTime(500);
    Pump();
    EXPECT_EQ(Codes(), (std::vector<WORD>{SB_THUMBTRACK}));
    EXPECT_EQ(GetCapture(), 0u);

    // And a window destroyed by the first line message leaves no timer running.
    HWND again = Control(SBS_HORZ);
    MoveWindow(again, 10, 10, 116, 16, TRUE);
    Recorder::answer = [again](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_HSCROLL) DestroyWindow(again);
        return std::nullopt;
    };
    headless::PressMouse(again, headless::Button::Left, 4, 8);
    Pump();
    headless::AdvanceTime(500);
    Pump();
    EXPECT_FALSE(IsWindow(again));
    EXPECT_EQ(Codes(), (std::vector<WORD>{SB_LINELEFT}));
}

TEST_F(ScrollBars, AWindowsOwnBarScrollsTheWindowItself) {
    HWND window =
        Keep(input_test::Make(WS_POPUP | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, 400, 0, 200, 100));
    Pump();
    Recorder::seen.clear();
    EXPECT_EQ(SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(400 + 50, 100 - 8)), HTHSCROLL);
    EXPECT_EQ(SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(400 + 192, 100 - 8)), HTBORDER);
    headless::AdvanceTime(0);
    headless::PressMouse(headless::Button::Left, 400 + 192, 5);
    Pump();
    headless::ReleaseMouse(headless::Button::Left, 400 + 192, 5);
    Pump();
    EXPECT_EQ(Scrolls(), (std::vector<Scroll>{{WM_VSCROLL, SB_LINEUP, 0, 0},
                                              {WM_VSCROLL, SB_ENDSCROLL, 0, 0}}));
    for (const Scroll& s : Scrolls())
        EXPECT_EQ(s.from, 0);
}

TEST_F(ScrollBars, KeysOnTheFocusedControlSendTheirCodesThenEnd) {
    HWND control = Control(SBS_VERT | WS_TABSTOP);
    headless::Click(control, headless::Button::Left, 8, 60);
    Pump();
    EXPECT_EQ(GetFocus(), control);
    Recorder::seen.clear();
    for (int key : {VK_UP, VK_NEXT, VK_HOME, VK_END, int{'A'}})
        headless::PressKey(key);
    Pump();
    EXPECT_EQ(Codes(), (std::vector<WORD>{SB_LINEUP, SB_ENDSCROLL, SB_PAGEDOWN, SB_ENDSCROLL,
                                          SB_TOP, SB_ENDSCROLL, SB_BOTTOM, SB_ENDSCROLL}));
}

TEST_F(ScrollBars, TheTrackTakesTheParentsBrushAndTheThumbShowsThePosition) {
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    Recorder::answer = [red](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_CTLCOLORSCROLLBAR) return static_cast<LRESULT>(red);
        return std::nullopt;
    };
    HWND control = Control(SBS_VERT, 0, 100, 0);
    SetScrollPos(control, SB_CTL, 100, TRUE);
    Pump();
    headless::Pixels pixels;
    ASSERT_TRUE(headless::ReadPixels(control, pixels));
    headless::WritePng(control, ::testing::TempDir() + "scroll_bar_control.png");
    ASSERT_EQ(pixels.width, 16);
    EXPECT_EQ(pixels.At(8, 30), 0xFF0000u); // the track above the thumb
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(pixels.At(8, 92), (face & 0xFF) << 16 | (face & 0xFF00) | (face >> 16 & 0xFF));
    EXPECT_NE(pixels.At(8, 8), 0xFF0000u); // the arrow
    DeleteObject(red);
}

} // namespace
