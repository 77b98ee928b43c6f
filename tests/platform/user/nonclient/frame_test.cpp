#include <gtest/gtest.h>

#include "platform/display/headless_display.h"
#include "platform/gdi/screen_dc.h"
#include "platform/user/input/input_fixture.h"
#include "platform/user/nonclient/frame_parts.h"
#include "platform/user/scroll/scroll_bar.h"

namespace {

namespace headless = platform::headless;

// The hit code at a point of the window, in window coordinates.
LRESULT HitAt(HWND window, int x, int y) {
    RECT outer = window_test::WindowRect(window);
    return SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(outer.left + x, outer.top + y));
}

COLORREF PixelAt(HWND window, int x, int y) {
    HDC dc = GetWindowDC(window);
    COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
}

class Frames : public input_test::InputTest {
protected:
    void SetUp() override {
        headless::Install();
        InputTest::SetUp();
    }
};

TEST_F(Frames, EveryPartOfASizableCaptionedFrameAnswersItsHitCode) {
    HWND window = Keep(input_test::Make(WS_OVERLAPPEDWINDOW | WS_VSCROLL, 100, 100, 300, 200));
    RECT client{0, 0, 0, 0};
    AdjustWindowRectEx(&client, WS_OVERLAPPEDWINDOW, FALSE, 0);
    int frame = -client.left;
    int captionMiddle = frame + GetSystemMetrics(SM_CYCAPTION) / 2;
    struct Case {
        int x, y;
        LRESULT code;
    };
    const Case cases[] = {
        {0, 100, HTLEFT},
        {299, 100, HTRIGHT},
        {150, 0, HTTOP},
        {150, 199, HTBOTTOM},
        {0, 0, HTTOPLEFT},
        {299, 0, HTTOPRIGHT},
        {0, 199, HTBOTTOMLEFT},
        {299, 199, HTBOTTOMRIGHT},
        {frame - 1, 20, HTTOPLEFT}, // a corner reaches along the side
        {150, captionMiddle, HTCAPTION},
        {frame + 4, captionMiddle, HTSYSMENU},
        {300 - frame - 10, captionMiddle, HTCLOSE},
        {300 - frame - 30, captionMiddle, HTMAXBUTTON},
        {300 - frame - 46, captionMiddle, HTMINBUTTON},
        {300 - frame - 8, 100, HTVSCROLL},
        {150, 100, HTCLIENT},
        {300, 100, HTNOWHERE},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HitAt(window, c.x, c.y), c.code) << c.x << ", " << c.y;
}

TEST_F(Frames, FixedFramesAndToolWindowsHaveNoSizingEdgesOrExtraButtons) {
    HWND dialog = Keep(input_test::Make(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0,
                                        200, 100, 0, WS_EX_DLGMODALFRAME));
    EXPECT_EQ(HitAt(dialog, 0, 50), HTBORDER);
    EXPECT_EQ(HitAt(dialog, 0, 0), HTBORDER);
    HWND tool = Keep(input_test::Make(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0,
                                      200, 100, 0, WS_EX_TOOLWINDOW));
    int middle = 1 + GetSystemMetrics(SM_CYSMCAPTION) / 2;
    EXPECT_EQ(HitAt(tool, 200 - 1 - 8, middle), HTCLOSE);
    EXPECT_EQ(HitAt(tool, 200 - 1 - 30, middle), HTCAPTION); // no minimise button
    EXPECT_EQ(HitAt(tool, 4, middle), HTCAPTION);            // no system menu
}

TEST_F(Frames, TheCaptionIsDrawnActiveOrInactiveAsWmNcActivateSays) {
    HWND first =
        Keep(input_test::Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, 0, 0, 0, "First"));
    HWND second = Keep(
        input_test::Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 250, 0, 200, 100, 0, 0, 0, "Second"));
    window_test::Pump();
    SetActiveWindow(first);
    window_test::Pump();
    // A point of the caption bar past the text, before the buttons.
    int y = 4 + GetSystemMetrics(SM_CYCAPTION) / 2;
    EXPECT_EQ(PixelAt(first, 120, y), GetSysColor(COLOR_ACTIVECAPTION));
    EXPECT_EQ(PixelAt(second, 120, y), GetSysColor(COLOR_INACTIVECAPTION));
    SetActiveWindow(second);
    window_test::Pump();
    EXPECT_EQ(PixelAt(first, 120, y), GetSysColor(COLOR_INACTIVECAPTION));
    EXPECT_EQ(PixelAt(second, 120, y), GetSysColor(COLOR_ACTIVECAPTION));
    // The outer line and the raised edge inside it.
    EXPECT_EQ(PixelAt(second, 0, 50), GetSysColor(COLOR_WINDOWFRAME));
    EXPECT_EQ(PixelAt(second, 1, 50), GetSysColor(COLOR_3DLIGHT));
}

} // namespace
