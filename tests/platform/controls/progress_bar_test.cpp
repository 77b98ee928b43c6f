#include <gtest/gtest.h>

#include "platform/controls/controls_fixture.h"
#include "platform/controls/progress_bar.h"

namespace {

using controls_test::ControlTest;
using controls_test::SysPixel;

class ProgressBar : public ControlTest {};

TEST_F(ProgressBar, MessagesKeepThePositionInTheRange) {
    HWND bar = Control("msctls_progress32", "", 0, 10, 10, 100, 20);
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, TRUE, 0), 0);
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, FALSE, 0), 100);
    EXPECT_EQ(SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(10, 50)), MAKELONG(0, 100));
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 10);
    EXPECT_EQ(SendMessageA(bar, PBM_SETPOS, 70, 0), 10);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 50);
    EXPECT_EQ(SendMessageA(bar, PBM_DELTAPOS, static_cast<WPARAM>(-100), 0), 50);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 10);
    EXPECT_EQ(SendMessageA(bar, PBM_SETSTEP, 15, 0), 10);
    SendMessageA(bar, PBM_STEPIT, 0, 0);
    SendMessageA(bar, PBM_STEPIT, 0, 0);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 40);
    EXPECT_EQ(SendMessageA(bar, PBM_STEPIT, 0, 0), 40);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 10); // past the maximum: the minimum
    PBRANGE range{};
    SendMessageA(bar, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, 10);
    EXPECT_EQ(range.iHigh, 50);
    // An empty range holds its minimum only.
    SendMessageA(bar, PBM_SETRANGE32, 5, 5);
    SendMessageA(bar, PBM_SETPOS, 9, 0);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 5);
    SendMessageA(bar, PBM_SETRANGE32, 0x7FFFFFF0, 0x7FFFFFFF);
    SendMessageA(bar, PBM_SETSTEP, 0x7FFFFFFF, 0);
    SendMessageA(bar, PBM_STEPIT, 0, 0);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 0x7FFFFFF0);
    Pump();
}

TEST_F(ProgressBar, FillsInBlocksOrSmoothlyFromTheStartSide) {
    HWND blocks = Control("msctls_progress32", "", 0, 10, 10, 102, 20);
    HWND smooth = Control("msctls_progress32", "", PBS_SMOOTH, 10, 40, 102, 20);
    HWND vertical = Control("msctls_progress32", "", PBS_SMOOTH | PBS_VERTICAL, 150, 10, 20, 102);
    for (HWND bar : {blocks, smooth, vertical})
        SendMessageA(bar, PBM_SETPOS, 50, 0);
    Pump();
    int width = 0, height = 0;
    std::vector<uint32_t> pixels = Pixels(width, height);
    uint32_t highlight = SysPixel(COLOR_HIGHLIGHT), face = SysPixel(COLOR_BTNFACE);
    EXPECT_EQ(At(pixels, width, 10, 10), SysPixel(COLOR_BTNSHADOW));
    EXPECT_EQ(At(pixels, width, 12, 20), highlight);
    EXPECT_EQ(At(pixels, width, 80, 20), face);
    bool gap = false;
    for (int x = 12; x < 60; ++x)
        gap = gap || At(pixels, width, x, 20) == face;
    EXPECT_TRUE(gap);
    for (int x = 12; x < 60; ++x)
        EXPECT_EQ(At(pixels, width, x, 50), highlight) << x;
    EXPECT_EQ(At(pixels, width, 62, 50), face);
    EXPECT_EQ(At(pixels, width, 160, 105), highlight);
    EXPECT_EQ(At(pixels, width, 160, 15), face);
}

} // namespace
