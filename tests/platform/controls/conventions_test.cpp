#include <gtest/gtest.h>

#include "platform/controls/button.h"
#include "platform/controls/controls_fixture.h"

namespace {

using controls_test::ControlTest;

class Conventions : public ControlTest {};

TEST_F(Conventions, ControlsKeepTheirFontAndDrawADeadOneAsTheGuiFont) {
    HWND button = Control("BUTTON", "Font", BS_PUSHBUTTON, 10, 10, 80, 24);
    auto gui = static_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT));
    EXPECT_EQ(SendMessageA(button, WM_GETFONT, 0, 0), gui);
    LOGFONTA description{};
    description.lfHeight = -20;
    HFONT big = CreateFontIndirectA(&description);
    SendMessageA(button, WM_SETFONT, big, TRUE);
    EXPECT_EQ(SendMessageA(button, WM_GETFONT, 0, 0), static_cast<LRESULT>(big));
    Pump();
    int width = 0, height = 0;
    std::vector<uint32_t> withBig = Pixels(width, height);
    DeleteObject(big);
    InvalidateRect(button, nullptr, TRUE);
    Pump();
    std::vector<uint32_t> withDead = Pixels(width, height);
    SendMessageA(button, WM_SETFONT, static_cast<WPARAM>(gui), TRUE);
    Pump();
    std::vector<uint32_t> withGui = Pixels(width, height);
    EXPECT_NE(withBig, withGui);
    EXPECT_EQ(withDead, withGui);
}

TEST_F(Conventions, DialogBaseUnitsAndDefaultColours) {
    EXPECT_EQ(GetDialogBaseUnits(), MAKELONG(8, 16));
    HDC dc = GetDC(parent);
    EXPECT_EQ(DefWindowProcA(parent, WM_CTLCOLORSTATIC, dc, 0),
              static_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE)));
    EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(DefWindowProcA(parent, WM_CTLCOLOREDIT, dc, 0),
              static_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW)));
    EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_WINDOW));
    ReleaseDC(parent, dc);
    // A parent answering with something that is no brush gets the default colours.
    input_test::Recorder::answer = [](HWND, UINT message, WPARAM,
                                      LPARAM) -> std::optional<LRESULT> {
        if (message == WM_CTLCOLORSTATIC) return 12345;
        return std::nullopt;
    };
    Control("BUTTON", "x", BS_CHECKBOX, 10, 10, 80, 20);
    Pump();
    int width = 0, height = 0;
    std::vector<uint32_t> pixels = Pixels(width, height);
    EXPECT_EQ(At(pixels, width, 89, 12), controls_test::SysPixel(COLOR_BTNFACE));
}

TEST_F(Conventions, TheControlClassesExistWithoutRegistration) {
    WNDCLASSA description{};
    for (const char* name : {"BUTTON", "Static", "msctls_progress32"})
        EXPECT_TRUE(GetClassInfoA(0, name, &description)) << name;
    EXPECT_TRUE(description.style & CS_GLOBALCLASS);
}

} // namespace
