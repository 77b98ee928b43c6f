#include <gtest/gtest.h>

#include <cstdlib>

#include "audio/manager/sound_device.h"
#include "audio/manager/sound_manager.h"
#include "platform/display/display_backend.h"
#include "platform/sound/sound_test_hooks.h"
#include "platform/user/input/input.h"
#include "platform/user/window_class.h"
#include "platform/user/window_geometry.h"
#include "platform/user/windows.h"

namespace {

bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class SoundWindowTest : public testing::Test {
protected:
    void SetUp() override {
        setenv("ZORV_AUDIO", "null", 1);
        platform::test::ResetSoundOutput();
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "SoundWindowTestGame";
        RegisterClassExA(&windowClass);
        game_ = CreateWindowExA(0, "SoundWindowTestGame", "Game", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                20, 20, 300, 200, 0, 0, 0, nullptr);
        ASSERT_NE(game_, 0u);
    }
    void TearDown() override {
        DestroyWindow(game_);
        unsetenv("ZORV_AUDIO");
        platform::test::ResetSoundOutput();
    }
    HWND game_ = 0;
};

// The interpreter's device has no window: the manager makes its own, a visible 10 x 10 tool
// window off the screen that nobody sees, that hands activation straight back, that keeps
// off the screen when the display changes, and that goes with the last device.
TEST_F(SoundWindowTest, ADeviceWithoutAWindowGetsAHiddenOneThatGoesWithTheLastDevice) {
    ASSERT_EQ(GetActiveWindow(), game_);
    SoundDevice* device = SoundMgr_Instance().CreateDevice(0, 0);
    ASSERT_NE(device, nullptr);
    const HWND hidden = SoundMgr_Instance().Window();
    ASSERT_NE(hidden, 0u);
    ASSERT_NE(hidden, game_);
    EXPECT_TRUE(IsWindowVisible(hidden));
    EXPECT_NE(GetWindowLongA(hidden, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
    RECT rect{};
    GetWindowRect(hidden, &rect);
    EXPECT_TRUE(rect == (RECT{-50, -50, -40, -40}));
    for (const platform::DisplayWindow& shown : platform::VisibleTopLevelWindows())
        EXPECT_NE(shown.window, hidden);
    EXPECT_EQ(GetActiveWindow(), game_);
    SetActiveWindow(hidden);
    EXPECT_EQ(GetActiveWindow(), game_);

    SetWindowPos(hidden, 0, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(hidden, WM_DISPLAYCHANGE, 32, 0);
    GetWindowRect(hidden, &rect);
    EXPECT_TRUE(rect == (RECT{-50, -50, -40, -40}));

    ASSERT_EQ(device->Start(0), 1);
    EXPECT_EQ(device->GetCooperativeWindow(), hidden);
    SoundDevice* second = SoundMgr_Instance().CreateDevice(1, 0);
    EXPECT_EQ(SoundMgr_Instance().Window(), hidden);
    SoundMgr_Instance().DestroyDevice(device);
    EXPECT_TRUE(IsWindow(hidden));
    SoundMgr_Instance().DestroyDevice(second);
    EXPECT_FALSE(IsWindow(hidden));
    EXPECT_EQ(SoundMgr_Instance().Window(), 0u);
}

TEST_F(SoundWindowTest, AWindowGivenByTheFirstDeviceIsKeptAndNotDestroyed) {
    SoundDevice* device = SoundMgr_Instance().CreateDevice(1, game_);
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(SoundMgr_Instance().Window(), game_);
    ASSERT_EQ(device->Start(0), 1);
    EXPECT_EQ(device->GetCooperativeWindow(), game_);
    SoundMgr_Instance().DestroyDevice(device);
    EXPECT_TRUE(IsWindow(game_));
    // Forgotten with its last device, so a window destroyed later is never bound to.
    EXPECT_EQ(SoundMgr_Instance().Window(), 0u);
}

} // namespace
