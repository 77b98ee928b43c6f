#include <gtest/gtest.h>

#include <string>

#include "platform/controls/controls_fixture.h"
#include "platform/controls/trackbar.h"
#include "platform/kernel/test_hooks.h"

namespace {

using controls_test::ControlTest;
using controls_test::kOrigin;
using controls_test::Recorder;
using controls_test::SysPixel;
using platform::InjectMouse;
using platform::MouseEvent;

class Trackbar : public ControlTest {
protected:
    // The (code, position) pairs the parent heard in WM_HSCROLL/WM_VSCROLL.
    static std::vector<std::pair<int, int>> Scrolls(HWND control) {
        std::vector<std::pair<int, int>> scrolls;
        for (const input_test::Seen& seen : Recorder::seen)
            if ((seen.message == WM_HSCROLL || seen.message == WM_VSCROLL) &&
                static_cast<HWND>(seen.lParam) == control)
                scrolls.emplace_back(LOWORD(seen.wParam), static_cast<short>(HIWORD(seen.wParam)));
        return scrolls;
    }
    using Scroll = std::pair<int, int>;
    // The text of the visible top-level window other than the parent (the tip), or "".
    std::string TipText() const {
        for (HWND window = GetWindow(parent, GW_HWNDFIRST); window != 0;
             window = GetWindow(window, GW_HWNDNEXT)) {
            if (window == parent || !IsWindowVisible(window)) continue;
            char text[16] = {};
            GetWindowTextA(window, text, sizeof text);
            return text;
        }
        return "";
    }
};

TEST_F(Trackbar, MessagesWithEdgeParameters) {
    HWND bar = Control("msctls_trackbar32", "", TBS_AUTOTICKS, 10, 10, 180, 30);
    EXPECT_EQ(SendMessageA(bar, TBM_GETRANGEMAX, 0, 0), 100);
    SendMessageA(bar, TBM_SETRANGE, TRUE, MAKELPARAM(-10, 10)); // signed halves
    EXPECT_EQ(SendMessageA(bar, TBM_GETRANGEMIN, 0, 0), -10);
    EXPECT_EQ(SendMessageA(bar, TBM_GETRANGEMAX, 0, 0), 10);
    SendMessageA(bar, TBM_SETPOS, TRUE, 50);
    EXPECT_EQ(SendMessageA(bar, TBM_GETPOS, 0, 0), 10);
    SendMessageA(bar, TBM_SETPOS, TRUE, -50);
    EXPECT_EQ(SendMessageA(bar, TBM_GETPOS, 0, 0), -10);
    SendMessageA(bar, TBM_SETTICFREQ, 5, 0);
    EXPECT_EQ(SendMessageA(bar, TBM_GETNUMTICS, 0, 0), 5); // both ends, -5, 0, 5
    EXPECT_EQ(SendMessageA(bar, TBM_GETTIC, 0, 0), -5);
    EXPECT_EQ(SendMessageA(bar, TBM_GETTIC, 2, 0), 5);
    EXPECT_EQ(SendMessageA(bar, TBM_GETTIC, 3, 0), -1);
    EXPECT_EQ(SendMessageA(bar, TBM_GETTIC, static_cast<WPARAM>(-1), 0), -1);
    RECT channel{};
    SendMessageA(bar, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
    LRESULT middle = SendMessageA(bar, TBM_GETTICPOS, 1, 0);
    EXPECT_NEAR(middle, (channel.left + channel.right) / 2, 1);
    EXPECT_EQ(SendMessageA(bar, TBM_SETTIC, 0, 11), FALSE);
    EXPECT_EQ(SendMessageA(bar, TBM_SETTIC, 0, 3), TRUE);
    EXPECT_EQ(SendMessageA(bar, TBM_GETNUMTICS, 0, 0), 6);
    SendMessageA(bar, TBM_CLEARTICS, TRUE, 0);
    EXPECT_EQ(SendMessageA(bar, TBM_GETNUMTICS, 0, 0), 2);
    EXPECT_EQ(SendMessageA(bar, TBM_SETPAGESIZE, 0, 4), 20);
    EXPECT_EQ(SendMessageA(bar, TBM_SETLINESIZE, 0, 2), 1);
    SendMessageA(bar, TBM_SETSEL, TRUE, MAKELPARAM(-3, 4));
    EXPECT_EQ(SendMessageA(bar, TBM_GETSELSTART, 0, 0), -3);
    EXPECT_EQ(SendMessageA(bar, TBM_GETSELEND, 0, 0), 4);
    EXPECT_EQ(SendMessageA(bar, TBM_GETTHUMBRECT, 0, 0), 0); // no RECT: nothing written
    HWND bare = Control("msctls_trackbar32", "", TBS_NOTICKS, 10, 50, 180, 30);
    EXPECT_EQ(SendMessageA(bare, TBM_GETNUMTICS, 0, 0), 0);
    Pump();
    EXPECT_TRUE(Scrolls(bar).empty()); // programmatic changes say nothing
}

TEST_F(Trackbar, KeysMoveByLinesPagesAndToTheEnds) {
    HWND bar = Control("msctls_trackbar32", "", 0, 10, 10, 180, 30);
    SetFocus(bar);
    Key(VK_RIGHT);
    Key(VK_NEXT);
    Key(VK_LEFT);
    Key(VK_END);
    Key(VK_HOME);
    EXPECT_EQ(Scrolls(bar), (std::vector<Scroll>{{TB_LINEDOWN, 0},
                                                 {TB_ENDTRACK, 0},
                                                 {TB_PAGEDOWN, 0},
                                                 {TB_ENDTRACK, 0},
                                                 {TB_LINEUP, 0},
                                                 {TB_ENDTRACK, 0},
                                                 {TB_BOTTOM, 0},
                                                 {TB_ENDTRACK, 0},
                                                 {TB_TOP, 0},
                                                 {TB_ENDTRACK, 0}}));
    EXPECT_EQ(SendMessageA(bar, TBM_GETPOS, 0, 0), 0);
    HWND vertical = Control("msctls_trackbar32", "", TBS_VERT, 10, 50, 30, 60);
    SetFocus(vertical);
    Key(VK_DOWN);
    EXPECT_EQ(Recorder::Of(WM_VSCROLL).size(), 2u);
    EXPECT_EQ(SendMessageA(vertical, TBM_GETPOS, 0, 0), 1);
}

TEST_F(Trackbar, DraggingTheThumbTracksThroughTheCapture) {
    HWND bar = Control("msctls_trackbar32", "", TBS_TOOLTIPS, 10, 10, 180, 30);
    RECT thumb{};
    SendMessageA(bar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    int x = kOrigin + 10 + (thumb.left + thumb.right) / 2, y = kOrigin + 10 + thumb.top + 3;
    std::vector<LRESULT> seenPositions;
    Recorder::answer = [&](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_HSCROLL) seenPositions.push_back(SendMessageA(bar, TBM_GETPOS, 0, 0));
        return std::nullopt;
    };
    InjectMouse(x, y, MouseEvent::LeftDown);
    Pump();
    EXPECT_EQ(GetCapture(), bar);
    EXPECT_EQ(GetFocus(), bar);
    InjectMouse(x + 80, y + 40, MouseEvent::Move); // off the bar: the thumb follows along
    Pump();
    LRESULT dragged = SendMessageA(bar, TBM_GETPOS, 0, 0);
    EXPECT_GT(dragged, 40);
    EXPECT_LT(dragged, 60);
    EXPECT_EQ(TipText(), std::to_string(dragged));
    InjectMouse(x + 500, y, MouseEvent::Move);
    Pump();
    InjectMouse(x + 500, y, MouseEvent::LeftUp);
    Pump();
    EXPECT_EQ(GetCapture(), 0u);
    EXPECT_EQ(Scrolls(bar), (std::vector<Scroll>{{TB_THUMBTRACK, static_cast<int>(dragged)},
                                                 {TB_THUMBTRACK, 100},
                                                 {TB_THUMBPOSITION, 100},
                                                 {TB_ENDTRACK, 0}}));
    EXPECT_EQ(seenPositions.front(), dragged);
    EXPECT_EQ(TipText(), "");
}

TEST_F(Trackbar, AHeldPageClickRepeatsUntilTheThumbReachesThePointer) {
    platform::test::FreezeClock(1000);
    HWND bar = Control("msctls_trackbar32", "", 0, 10, 10, 180, 30);
    RECT channel{};
    SendMessageA(bar, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
    InjectMouse(kOrigin + 10 + channel.right - 3, kOrigin + 10 + channel.top, MouseEvent::LeftDown);
    Pump();
    EXPECT_EQ(SendMessageA(bar, TBM_GETPOS, 0, 0), 20);
    platform::test::AdvanceClock(150);
    Pump();
    EXPECT_EQ(SendMessageA(bar, TBM_GETPOS, 0, 0), 20);
    for (int i = 0; i < 8; ++i) {
        platform::test::AdvanceClock(60);
        Pump();
    }
    EXPECT_EQ(SendMessageA(bar, TBM_GETPOS, 0, 0), 100);
    InjectMouse(kOrigin + 10 + channel.right - 3, kOrigin + 10 + channel.top, MouseEvent::LeftUp);
    Pump();
    std::vector<Scroll> scrolls = Scrolls(bar);
    ASSERT_EQ(scrolls.size(), 6u);
    EXPECT_EQ(scrolls.front(), Scroll(TB_PAGEDOWN, 0));
    EXPECT_EQ(scrolls.back(), Scroll(TB_ENDTRACK, 0));
}

TEST_F(Trackbar, AHandlerDestroyingTheTrackbarMidDragIsSafe) {
    HWND bar = Control("msctls_trackbar32", "", TBS_TOOLTIPS, 10, 10, 180, 30);
    Recorder::answer = [&](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_HSCROLL) DestroyWindow(bar);
        return std::nullopt;
    };
    RECT thumb{};
    SendMessageA(bar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    int x = kOrigin + 10 + thumb.left + 2, y = kOrigin + 10 + thumb.top + 3;
    InjectMouse(x, y, MouseEvent::LeftDown);
    Pump();
    InjectMouse(x + 40, y, MouseEvent::Move);
    Pump();
    EXPECT_FALSE(IsWindow(bar));
    InjectMouse(x + 60, y, MouseEvent::Move);
    InjectMouse(x + 60, y, MouseEvent::LeftUp);
    Pump();
    EXPECT_EQ(GetCapture(), 0u);
}

TEST_F(Trackbar, PaintsChannelThumbAndTicks) {
    HWND bar = Control("msctls_trackbar32", "", TBS_AUTOTICKS, 10, 10, 180, 32);
    SendMessageA(bar, TBM_SETTICFREQ, 10, 0);
    SendMessageA(bar, TBM_SETPOS, TRUE, 50);
    Control("msctls_trackbar32", "", TBS_VERT | TBS_BOTH, 10, 50, 40, 65);
    Pump();
    int width = 0, height = 0;
    std::vector<uint32_t> pixels = Pixels(width, height);
    RECT channel{}, thumb{};
    SendMessageA(bar, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
    SendMessageA(bar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    EXPECT_EQ(At(pixels, width, 10 + channel.left, 10 + channel.top), SysPixel(COLOR_BTNSHADOW));
    EXPECT_EQ(At(pixels, width, 10 + channel.left + 3, 10 + channel.top + 2),
              SysPixel(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(At(pixels, width, 10 + thumb.left + 1, 10 + thumb.top + 1),
              SysPixel(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(At(pixels, width, 10 + thumb.right - 1, 10 + thumb.bottom - 1),
              SysPixel(COLOR_3DDKSHADOW));
    EXPECT_EQ(At(pixels, width, 10 + thumb.left + 4, 10 + thumb.top + 5), SysPixel(COLOR_BTNFACE));
    int ticks = 0;
    for (int x = 10; x < 190; ++x)
        if (At(pixels, width, x, 10 + thumb.bottom + 3) == SysPixel(COLOR_BTNTEXT)) ++ticks;
    EXPECT_EQ(ticks, 11);
}

} // namespace

namespace {

TEST_F(Trackbar, WholeRangesStayExactAndTooDenseAutomaticTicksAreNone) {
    HWND bar = Control("msctls_trackbar32", "", TBS_AUTOTICKS | TBS_TOOLTIPS, 10, 10, 180, 30);
    SendMessageA(bar, TBM_SETRANGEMIN, TRUE, INT32_MIN);
    SendMessageA(bar, TBM_SETRANGEMAX, TRUE, INT32_MAX);
    EXPECT_EQ(SendMessageA(bar, TBM_GETNUMTICS, 0, 0), 2);
    SendMessageA(bar, TBM_SETTICFREQ, 1 << 20, 0);
    EXPECT_EQ(SendMessageA(bar, TBM_GETNUMTICS, 0, 0), 4097);
    SetFocus(bar);
    Key(VK_END);
    EXPECT_EQ(SendMessageA(bar, TBM_GETPOS, 0, 0), INT32_MAX);
    RECT thumb{}, channel{};
    SendMessageA(bar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    SendMessageA(bar, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
    EXPECT_NEAR((thumb.left + thumb.right) / 2, channel.right - 3, 2);
    int x = kOrigin + 10 + (thumb.left + thumb.right) / 2, y = kOrigin + 10 + thumb.top + 3;
    // Each event is routed as it comes, so the press is taken before the pointer leaves.
    InjectMouse(x, y, MouseEvent::LeftDown);
    Pump();
    InjectMouse(x - 500, y, MouseEvent::Move);
    Pump();
    InjectMouse(x - 500, y, MouseEvent::LeftUp);
    Pump();
    EXPECT_EQ(SendMessageA(bar, TBM_GETPOS, 0, 0), INT32_MIN);
}

} // namespace
