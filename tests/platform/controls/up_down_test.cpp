#include <gtest/gtest.h>

#include "platform/controls/controls_fixture.h"
#include "platform/controls/static_text.h"
#include "platform/controls/up_down.h"
#include "platform/controls/up_down_text.h"
#include "platform/kernel/test_hooks.h"

namespace {

using controls_test::ControlTest;
using controls_test::kOrigin;
using controls_test::Recorder;
using platform::InjectMouse;
using platform::MouseEvent;

class UpDown : public ControlTest {
protected:
    void TearDown() override {
        platform::test::UnfreezeClock();
        ControlTest::TearDown();
    }
    // A buddy that keeps its text and takes keys: a recording child.
    HWND Buddy(int x, int y, int width, int height) {
        return input_test::Make(WS_CHILD | WS_VISIBLE, x, y, width, height, parent);
    }
    static std::string Text(HWND window) {
        char buffer[64] = {};
        GetWindowTextA(window, buffer, sizeof buffer);
        return buffer;
    }
    static std::vector<std::pair<int, int>> Scrolls(HWND control) {
        std::vector<std::pair<int, int>> scrolls;
        for (const input_test::Seen& seen : Recorder::seen)
            if ((seen.message == WM_HSCROLL || seen.message == WM_VSCROLL) &&
                static_cast<HWND>(seen.lParam) == control)
                scrolls.emplace_back(LOWORD(seen.wParam), static_cast<short>(HIWORD(seen.wParam)));
        return scrolls;
    }
    using Scroll = std::pair<int, int>;
};

TEST(UpDownText, WritesAndReadsBasesAndSeparators) {
    EXPECT_EQ(platform::UpDownText(1234567, 10, false), "1,234,567");
    EXPECT_EQ(platform::UpDownText(-1234, 10, false), "-1,234");
    EXPECT_EQ(platform::UpDownText(999, 10, false), "999");
    EXPECT_EQ(platform::UpDownText(1234, 10, true), "1234");
    EXPECT_EQ(platform::UpDownText(26, 16, false), "0x001A");
    EXPECT_EQ(platform::ParseUpDownText("1,234", 10), 1234);
    EXPECT_EQ(platform::ParseUpDownText("-12", 10), -12);
    EXPECT_EQ(platform::ParseUpDownText("0x1a", 16), 26);
    EXPECT_EQ(platform::ParseUpDownText("12a", 10), std::nullopt);
    EXPECT_EQ(platform::ParseUpDownText("", 10), std::nullopt);
    EXPECT_EQ(platform::ParseUpDownText("-", 10), std::nullopt);
    EXPECT_EQ(platform::ParseUpDownText("99999999999", 10), std::nullopt);
}

TEST_F(UpDown, MessagesWithEdgeParameters) {
    HWND buddy = Buddy(10, 10, 80, 20);
    HWND spin = CreateUpDownControl(WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT, 0, 0,
                                    16, 20, parent, 5, 0, buddy, 2000, -5, 1500);
    ASSERT_NE(spin, 0u);
    EXPECT_EQ(Text(buddy), "1,500");
    EXPECT_EQ(window_test::Sides(window_test::WindowRect(buddy)),
              (window_test::Longs{110, 110, 174, 130}));
    EXPECT_EQ(window_test::Sides(window_test::WindowRect(spin)),
              (window_test::Longs{174, 110, 190, 130}));
    EXPECT_EQ(SendMessageA(spin, UDM_GETRANGE, 0, 0), MAKELONG(2000, -5));
    EXPECT_EQ(SendMessageA(spin, UDM_GETBUDDY, 0, 0), static_cast<LRESULT>(buddy));
    EXPECT_EQ(SendMessageA(spin, UDM_SETPOS, 0, MAKELPARAM(3000, 0)), 1500);
    EXPECT_EQ(SendMessageA(spin, UDM_GETPOS, 0, 0), MAKELONG(2000, 0));
    SetWindowTextA(buddy, "12");
    EXPECT_EQ(SendMessageA(spin, UDM_GETPOS, 0, 0), MAKELONG(12, 0));
    SetWindowTextA(buddy, "twelve");
    EXPECT_EQ(HIWORD(SendMessageA(spin, UDM_GETPOS, 0, 0)), 1);
    SetWindowTextA(buddy, "9999");
    EXPECT_EQ(SendMessageA(spin, UDM_GETPOS, 0, 0), MAKELONG(12, 1));
    EXPECT_EQ(SendMessageA(spin, UDM_SETBASE, 8, 0), 0);
    EXPECT_EQ(SendMessageA(spin, UDM_SETBASE, 16, 0), 10);
    EXPECT_EQ(Text(buddy), "0x000C");
    EXPECT_EQ(SendMessageA(spin, UDM_GETBASE, 0, 0), 16);

    UDACCEL accels[4] = {};
    EXPECT_EQ(SendMessageA(spin, UDM_GETACCEL, 2, reinterpret_cast<LPARAM>(accels)), 3);
    EXPECT_EQ(accels[1].nSec, 2u);
    EXPECT_EQ(accels[1].nInc, 5u);
    EXPECT_EQ(accels[2].nInc, 0u); // only the two asked for were written
    EXPECT_EQ(SendMessageA(spin, UDM_SETACCEL, 0, reinterpret_cast<LPARAM>(accels)), FALSE);
    EXPECT_EQ(SendMessageA(spin, UDM_SETACCEL, 1, 0), FALSE);
    UDACCEL one{0, 7};
    EXPECT_EQ(SendMessageA(spin, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&one)), TRUE);
    EXPECT_EQ(SendMessageA(spin, UDM_GETACCEL, 0, 0), 1);
    Pump();
    EXPECT_TRUE(Scrolls(spin).empty());
    int width = 0, height = 0;
    std::vector<uint32_t> pixels = Pixels(width, height);
    EXPECT_EQ(At(pixels, width, 89, 29), controls_test::SysPixel(COLOR_3DDKSHADOW));
    EXPECT_EQ(At(pixels, width, 89, 19), controls_test::SysPixel(COLOR_3DDKSHADOW));
}

TEST_F(UpDown, ClicksStepAcceleratesAndWraps) {
    platform::test::FreezeClock(1000);
    HWND buddy = Buddy(10, 10, 60, 20);
    HWND spin = CreateUpDownControl(WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_WRAP, 70, 10, 16,
                                    20, parent, 5, 0, buddy, 1000, 0, 0);
    InjectMouse(kOrigin + 75, kOrigin + 12, MouseEvent::LeftDown); // the up arrow
    Pump();
    EXPECT_EQ(Text(buddy), "1");
    EXPECT_EQ(GetCapture(), spin);
    EXPECT_NE(GetFocus(), spin);
    for (int ms = 0; ms < 2200; ms += 50) {
        platform::test::AdvanceClock(50);
        Pump();
    }
    // Steps of 1 from the press, of 5 once two seconds have passed.
    LRESULT position = LOWORD(SendMessageA(spin, UDM_GETPOS, 0, 0));
    std::vector<Scroll> steps = Scrolls(spin);
    ASSERT_GT(steps.size(), 30u);
    EXPECT_EQ(steps[1].second - steps[0].second, 1);
    EXPECT_EQ(steps.back().second - steps[steps.size() - 2].second, 5);
    InjectMouse(kOrigin + 75, kOrigin + 12, MouseEvent::LeftUp);
    Pump();
    std::vector<Scroll> scrolls = Scrolls(spin);
    EXPECT_EQ(scrolls.front(), Scroll(4, 1));
    EXPECT_EQ(scrolls.back(), Scroll(8, static_cast<int>(position)));
    EXPECT_EQ(GetCapture(), 0u);

    SendMessageA(spin, UDM_SETPOS, 0, 0);
    Recorder::seen.clear();
    Click(75, 25); // down from the lower end wraps to the upper
    EXPECT_EQ(Text(buddy), "1,000");
    EXPECT_EQ(Scrolls(spin), (std::vector<Scroll>{{4, 1000}, {8, 1000}}));
}

TEST_F(UpDown, ArrowKeysInTheBuddyStepAndTheSubclassGoesAway) {
    HWND buddy = Buddy(10, 10, 60, 20);
    HWND spin = CreateUpDownControl(WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ARROWKEYS |
                                        UDS_NOTHOUSANDS,
                                    70, 10, 16, 20, parent, 5, 0, buddy, 5000, 0, 999);
    SetFocus(buddy);
    Key(VK_UP);
    EXPECT_EQ(Text(buddy), "1000");
    Key(VK_DOWN);
    Key(VK_DOWN);
    EXPECT_EQ(Text(buddy), "998");
    EXPECT_EQ(Scrolls(spin),
              (std::vector<Scroll>{{4, 1000}, {8, 1000}, {4, 999}, {8, 999}, {4, 998}, {8, 998}}));
    DestroyWindow(spin);
    Recorder::seen.clear();
    Key(VK_UP);
    EXPECT_EQ(Text(buddy), "998");
    EXPECT_EQ(Recorder::Of(WM_KEYDOWN).size(), 1u); // the buddy's own procedure again
}

TEST_F(UpDown, AHandlerDestroyingTheUpDownWhileHeldIsSafe) {
    platform::test::FreezeClock(1000);
    HWND spin =
        CreateUpDownControl(WS_CHILD | WS_VISIBLE, 70, 10, 16, 20, parent, 5, 0, 0, 10, 0, 0);
    int scrolls = 0;
    Recorder::answer = [&](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_VSCROLL && ++scrolls == 2) DestroyWindow(spin);
        return std::nullopt;
    };
    InjectMouse(kOrigin + 75, kOrigin + 12, MouseEvent::LeftDown);
    Pump();
    platform::test::AdvanceClock(300);
    Pump();
    EXPECT_FALSE(IsWindow(spin));
    EXPECT_EQ(GetCapture(), 0u);
    InjectMouse(kOrigin + 75, kOrigin + 12, MouseEvent::LeftUp);
    Pump();
    EXPECT_EQ(scrolls, 2);
}

} // namespace
