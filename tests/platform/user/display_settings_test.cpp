#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "platform/display/display_backend.h"
#include "platform/display/headless_display.h"
#include "platform/gdi/screen_dc.h"
#include "platform/system/system_info.h"
#include "platform/user/display_settings.h"
#include "platform/window_recorder.h"

namespace {

struct Shape {
    int width;
    int height;
    int bits;
    bool operator==(const Shape&) const = default;
};

DEVMODEA Record(DWORD fields, DWORD width, DWORD height, DWORD bits) {
    DEVMODEA mode{};
    mode.dmSize = sizeof(DEVMODEA);
    mode.dmFields = fields;
    mode.dmPelsWidth = width;
    mode.dmPelsHeight = height;
    mode.dmBitsPerPel = bits;
    return mode;
}

constexpr DWORD kShapeFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;

Shape Screen() {
    HDC screen = GetDC(0);
    Shape shape{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                GetDeviceCaps(screen, BITSPIXEL)};
    // Every way of asking agrees.
    EXPECT_EQ(GetDeviceCaps(screen, HORZRES), shape.width);
    EXPECT_EQ(GetDeviceCaps(screen, VERTRES), shape.height);
    EXPECT_EQ(GetSystemMetrics(SM_CXVIRTUALSCREEN), shape.width);
    EXPECT_EQ(GetSystemMetrics(SM_CYVIRTUALSCREEN), shape.height);
    ReleaseDC(0, screen);
    return shape;
}

Shape Current() {
    DEVMODEA mode = Record(0, 0, 0, 0);
    EXPECT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode));
    return Shape{static_cast<int>(mode.dmPelsWidth), static_cast<int>(mode.dmPelsHeight),
                 static_cast<int>(mode.dmBitsPerPel)};
}

// The headless display made on a 800 x 600 x 32 desktop.
class DisplaySettings : public ::testing::Test {
protected:
    void SetUp() override {
        platform::ResetVirtualDisplay();
        platform::SetVirtualDisplay(800, 600, 32);
        platform::headless::Install();
    }
    void TearDown() override {
        platform::ResetVirtualDisplay();
        platform::headless::Install();
    }
};

TEST_F(DisplaySettings, EnumeratesTheDesktopFirstThenEveryOtherModeOnce) {
    std::vector<Shape> modes;
    DEVMODEA mode{};
    for (DWORD i = 0;; ++i) {
        mode.dmSize = sizeof(DEVMODEA); // set before each call, as callers do
        if (!EnumDisplaySettingsA(nullptr, i, &mode)) break;
        EXPECT_EQ(mode.dmFields, kShapeFields | DM_DISPLAYFREQUENCY);
        EXPECT_EQ(mode.dmDisplayFrequency, 60u);
        modes.push_back(Shape{static_cast<int>(mode.dmPelsWidth),
                              static_cast<int>(mode.dmPelsHeight),
                              static_cast<int>(mode.dmBitsPerPel)});
    }
    EXPECT_EQ(modes, (std::vector<Shape>{{800, 600, 32},
                                         {640, 480, 16},
                                         {640, 480, 32},
                                         {800, 600, 16},
                                         {1024, 768, 16},
                                         {1024, 768, 32},
                                         {1280, 1024, 16},
                                         {1280, 1024, 32}}));
    EXPECT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_REGISTRY_SETTINGS, &mode));
    EXPECT_EQ(mode.dmPelsWidth, 800u);
    EXPECT_EQ(Current(), (Shape{800, 600, 32}));
}

TEST_F(DisplaySettings, EnumerationRefusesBadArgumentsAndWritesNoMoreThanTheRecordSize) {
    DEVMODEA mode = Record(0, 0, 0, 0);
    EXPECT_FALSE(EnumDisplaySettingsA("\\\\.\\DISPLAY2", 0, &mode));
    mode.dmSize = 100; // shorter than the mode's own fields
    EXPECT_FALSE(EnumDisplaySettingsA(nullptr, 0, &mode));

    // An older, shorter record: the bytes after it belong to someone else.
    unsigned char buffer[sizeof(DEVMODEA)];
    std::memset(buffer, 0xAB, sizeof(buffer));
    DEVMODEA shortRecord{};
    shortRecord.dmSize = 124;
    std::memcpy(buffer, &shortRecord, 124);
    ASSERT_TRUE(EnumDisplaySettingsA(nullptr, 0, reinterpret_cast<DEVMODEA*>(buffer)));
    DWORD width = 0;
    std::memcpy(&width, buffer + offsetof(DEVMODEA, dmPelsWidth), sizeof(width));
    EXPECT_EQ(width, 800u);
    for (size_t i = 124; i < sizeof(buffer); ++i)
        ASSERT_EQ(buffer[i], 0xAB) << i;
}

TEST_F(DisplaySettings, ASwitchMovesEveryMetricAndANullModeRestoresTheDesktop) {
    // What a full-screen surface does: save the mode, switch, switch back to the saved one.
    DEVMODEA saved = Record(0, 0, 0, 0);
    ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &saved));
    DEVMODEA wanted = Record(kShapeFields, 640, 480, 16);
    EXPECT_EQ(ChangeDisplaySettingsA(&wanted, 0), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(Screen(), (Shape{640, 480, 16}));
    EXPECT_EQ(Current(), (Shape{640, 480, 16}));
    EXPECT_EQ(ChangeDisplaySettingsA(&saved, 0), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(Screen(), (Shape{800, 600, 32}));

    // Fields left unnamed keep what the display has now.
    DEVMODEA size = Record(DM_PELSWIDTH | DM_PELSHEIGHT, 1024, 768, 8);
    EXPECT_EQ(ChangeDisplaySettingsA(&size, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(Screen(), (Shape{1024, 768, 32}));
    DEVMODEA depth = Record(DM_BITSPERPEL, 1, 1, 16);
    EXPECT_EQ(ChangeDisplaySettingsA(&depth, 0), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(Screen(), (Shape{1024, 768, 16}));
    HDC screen = GetDC(0);
    EXPECT_EQ(GetDeviceCaps(screen, VREFRESH), 60);
    ReleaseDC(0, screen);

    EXPECT_EQ(ChangeDisplaySettingsA(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(Screen(), (Shape{800, 600, 32}));
}

TEST_F(DisplaySettings, RefusedSwitchesChangeNothing) {
    DEVMODEA odd = Record(kShapeFields, 1000, 700, 32);
    EXPECT_EQ(ChangeDisplaySettingsA(&odd, 0), DISP_CHANGE_BADMODE);
    DEVMODEA fast = Record(kShapeFields | DM_DISPLAYFREQUENCY, 640, 480, 16);
    fast.dmDisplayFrequency = 85;
    EXPECT_EQ(ChangeDisplaySettingsA(&fast, 0), DISP_CHANGE_BADMODE);

    DEVMODEA good = Record(kShapeFields, 640, 480, 16);
    EXPECT_EQ(ChangeDisplaySettingsA(&good, CDS_TEST), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(ChangeDisplaySettingsA(&good, 0x100), DISP_CHANGE_BADFLAGS);
    good.dmSize = 64;
    EXPECT_EQ(ChangeDisplaySettingsA(&good, 0), DISP_CHANGE_BADPARAM);
    EXPECT_EQ(Screen(), (Shape{800, 600, 32}));
}

// A display that offers modes but cannot switch to them.
class StubbornDisplay : public platform::DisplayBackend {
public:
    std::string_view Name() const override { return "stubborn"; }
    void Pump() override {}
    DWORD PumpInterval() const override { return INFINITE; }
    std::vector<platform::DisplayMode> Modes() const override {
        return {{800, 600, 32, 75}, {640, 480, 16, 75}};
    }
    bool SetMode(const platform::DisplayMode&) override { return false; }
    bool ShowsWindows() const override { return false; }
};

TEST_F(DisplaySettings, ADisplayThatRefusesLeavesTheMetricsAsTheyWere) {
    platform::SetActiveDisplay(std::make_unique<StubbornDisplay>());
    DEVMODEA wanted = Record(kShapeFields, 640, 480, 16);
    EXPECT_EQ(ChangeDisplaySettingsA(&wanted, 0), DISP_CHANGE_FAILED);
    EXPECT_EQ(Screen(), (Shape{800, 600, 32}));
    DEVMODEA current = Record(0, 0, 0, 0);
    ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &current));
    EXPECT_EQ(current.dmDisplayFrequency, 75u); // the desktop's
}

// Every top-level window hears of each change of mode, as a program that adapts its
// windows to the screen expects; a refused switch, or none at all, says nothing to them and
// tells the person running the program why on standard error.
class DisplayChanges : public DisplaySettings {
protected:
    void TearDown() override {
        for (HWND window : windows_)
            DestroyWindow(window);
        window_test::Pump();
        window_test::Recorder::Reset();
        DisplaySettings::TearDown();
    }
    HWND Keep(HWND window) {
        windows_.push_back(window);
        return window;
    }
    // What WM_DISPLAYCHANGE each window got, as (bits, width, height), once the queue ran.
    static std::vector<std::vector<long>> Heard(HWND window) {
        window_test::Pump();
        std::vector<std::vector<long>> heard;
        for (const window_test::Seen& seen : window_test::Recorder::Of(WM_DISPLAYCHANGE))
            if (seen.window == window)
                heard.push_back({static_cast<long>(seen.wParam),
                                 static_cast<long>(LOWORD(static_cast<DWORD_PTR>(seen.lParam))),
                                 static_cast<long>(HIWORD(static_cast<DWORD_PTR>(seen.lParam)))});
        window_test::Recorder::seen.clear();
        return heard;
    }

private:
    std::vector<HWND> windows_;
};

TEST_F(DisplayChanges, EveryTopLevelWindowHearsOfTheNewModeAndNoneOfARefusal) {
    HWND shown = Keep(window_test::Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100));
    HWND hidden = Keep(window_test::Make(WS_POPUP, 0, 0, 50, 50));
    HWND child = window_test::Make(WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, shown);
    Heard(shown);

    DEVMODEA wanted = Record(kShapeFields, 640, 480, 16);
    EXPECT_EQ(ChangeDisplaySettingsA(&wanted, 0), DISP_CHANGE_SUCCESSFUL);
    window_test::Pump();
    std::vector<window_test::Seen> got = window_test::Recorder::Of(WM_DISPLAYCHANGE);
    ASSERT_EQ(got.size(), 2u);
    for (const window_test::Seen& seen : got) {
        EXPECT_NE(seen.window, child);
        EXPECT_EQ(seen.wParam, 16u);
        EXPECT_EQ(seen.lParam, MAKELPARAM(640, 480));
    }
    EXPECT_TRUE(got[0].window == hidden || got[1].window == hidden);
    window_test::Recorder::seen.clear();

    // The same mode again changes nothing; a test or a refused mode neither.
    EXPECT_EQ(ChangeDisplaySettingsA(&wanted, 0), DISP_CHANGE_SUCCESSFUL);
    DEVMODEA desktop = Record(kShapeFields, 800, 600, 32);
    EXPECT_EQ(ChangeDisplaySettingsA(&desktop, CDS_TEST), DISP_CHANGE_SUCCESSFUL);
    DEVMODEA odd = Record(kShapeFields, 1000, 700, 32);
    testing::internal::CaptureStderr();
    EXPECT_EQ(ChangeDisplaySettingsA(&odd, 0), DISP_CHANGE_BADMODE);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "zorv: the display cannot switch to 1000 x 700 at 32 bits: the display offers no "
              "such mode\n");
    EXPECT_TRUE(Heard(shown).empty());

    EXPECT_EQ(ChangeDisplaySettingsA(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(Heard(shown), (std::vector<std::vector<long>>{{32, 800, 600}}));
}

TEST_F(DisplayChanges, ADisplayThatRefusesSaysSoAndNoWindowHears) {
    HWND shown = Keep(window_test::Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100));
    Heard(shown);
    platform::SetActiveDisplay(std::make_unique<StubbornDisplay>());
    // The depth left out is the current one.
    DEVMODEA wanted = Record(DM_PELSWIDTH | DM_PELSHEIGHT, 640, 480, 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(ChangeDisplaySettingsA(&wanted, 0), DISP_CHANGE_BADMODE);
    wanted = Record(kShapeFields, 640, 480, 16);
    EXPECT_EQ(ChangeDisplaySettingsA(&wanted, 0), DISP_CHANGE_FAILED);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "zorv: the display cannot switch to 640 x 480 at 32 bits: the display offers no "
              "such mode\n"
              "zorv: the display cannot switch to 640 x 480 at 16 bits: the display refused it\n");
    EXPECT_TRUE(Heard(shown).empty());
}

} // namespace
