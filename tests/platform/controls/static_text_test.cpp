#include <gtest/gtest.h>

#include "platform/controls/controls_fixture.h"
#include "platform/controls/static_text.h"

namespace {

using controls_test::ControlTest;
using controls_test::Recorder;
using controls_test::SysPixel;

class StaticText : public ControlTest {};

TEST_F(StaticText, OnlyNotifyingStaticsCatchThePointerAndNoneTakesFocus) {
    HWND quiet = Control("STATIC", "Quiet", SS_LEFT, 10, 10, 80, 20, 1);
    HWND notify = Control("static", "Loud", SS_LEFT | SS_NOTIFY, 10, 40, 80, 20, 2);
    EXPECT_EQ(WindowFromPoint(POINT{115, 115}), parent);
    EXPECT_EQ(WindowFromPoint(POINT{115, 145}), notify);
    Click(15, 15);
    EXPECT_TRUE(Notifications(quiet).empty());
    Click(15, 45);
    Click(15, 45);
    EXPECT_EQ(Notifications(notify), (std::vector<int>{STN_CLICKED, STN_DBLCLK}));
    EXPECT_NE(GetFocus(), notify);
    EnableWindow(notify, FALSE);
    EXPECT_EQ(Notifications(notify).back(), STN_DISABLE);
}

TEST_F(StaticText, TypesAreValuesNotBits) {
    // 0x12 (etched frame) holds the bits of SS_RIGHT (2) and none of a rectangle.
    HWND etched = Control("STATIC", "text", SS_ETCHEDFRAME, 10, 10, 40, 30);
    HWND black = Control("STATIC", "", SS_BLACKRECT, 60, 10, 20, 20);
    HWND gray = Control("STATIC", "", SS_GRAYFRAME, 90, 10, 20, 20);
    Pump();
    int width = 0, height = 0;
    std::vector<uint32_t> pixels = Pixels(width, height);
    EXPECT_EQ(At(pixels, width, 10, 10), SysPixel(COLOR_BTNSHADOW));
    EXPECT_EQ(At(pixels, width, 11, 11), SysPixel(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(At(pixels, width, 30, 25), SysPixel(COLOR_BTNFACE)); // no text drawn
    EXPECT_EQ(At(pixels, width, 70, 20), SysPixel(COLOR_3DDKSHADOW));
    EXPECT_EQ(At(pixels, width, 90, 20), SysPixel(COLOR_BTNSHADOW));
    EXPECT_EQ(At(pixels, width, 100, 20), SysPixel(COLOR_BTNFACE));
    DestroyWindow(etched);
    DestroyWindow(black);
    DestroyWindow(gray);
}

TEST_F(StaticText, TextWrapsOnTheParentsColoursWithPrefixesAndSunkenEdge) {
    HBRUSH yellow = CreateSolidBrush(RGB(255, 255, 0));
    int asked = 0;
    Recorder::answer = [&](HWND, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (message != WM_CTLCOLORSTATIC) return std::nullopt;
        ++asked;
        SetTextColor(static_cast<HDC>(wParam), RGB(0, 0, 255));
        SetBkColor(static_cast<HDC>(wParam), RGB(255, 255, 0));
        return static_cast<LRESULT>(yellow);
    };
    Control("STATIC", "&Wrapped words on several lines", SS_LEFT | SS_SUNKEN, 10, 10, 70, 80);
    Control("STATIC", "A&&B &no prefix", SS_CENTER | SS_NOPREFIX, 100, 10, 90, 20);
    Pump();
    EXPECT_EQ(asked, 2);
    int width = 0, height = 0;
    std::vector<uint32_t> pixels = Pixels(width, height);
    EXPECT_EQ(At(pixels, width, 10, 10), SysPixel(COLOR_BTNSHADOW)); // the sunken edge
    EXPECT_EQ(At(pixels, width, 79, 89), SysPixel(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(At(pixels, width, 75, 85), 0xFFFF00u);
    // The text is blue (smoothed at its edges) and takes more than one line.
    auto bluish = [](uint32_t pixel) {
        int red = pixel >> 16 & 0xFF, green = pixel >> 8 & 0xFF, blue = pixel & 0xFF;
        return blue > red + 60 && blue > green + 60;
    };
    auto blueRows = [&](int left, int right) {
        int rows = 0;
        for (int y = 0; y < height; ++y)
            for (int x = left; x < right; ++x)
                if (bluish(At(pixels, width, x, y))) {
                    ++rows;
                    break;
                }
        return rows;
    };
    EXPECT_GT(blueRows(10, 80), 20);
    EXPECT_GT(blueRows(100, 190), 4);
    EXPECT_LT(blueRows(100, 190), 20);
    DeleteObject(yellow);
}

} // namespace
