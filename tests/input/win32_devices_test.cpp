// The plain-system devices: discovery's order, the keyboard over the key state, the mouse's
// relative movement and the multimedia joystick through the device interface.
#include <gtest/gtest.h>

#include "input/device_table.h"
#include "input/game_input_manager.h"
#include "platform/display/headless_display.h"
#include "platform/input/dinput.h"
#include "platform/input/joystick.h"
#include "platform/system/system_info.h"
#include "platform/user/input/input.h"
#include "platform/user/windows.h"

namespace {

constexpr HWND kWindow = 5;

class Win32Devices : public ::testing::Test {
protected:
    void SetUp() override {
        platform::headless::Install();
        // As on a machine without DirectInput.
        platform::test::SetDirectInputMissing(true);
        pad_ = platform::test::AttachVirtualJoystick(6, 36, 1, "Pad");
        ASSERT_GE(pad_, 0);
        ASSERT_EQ(EnumerateInputDevices(0), 1);
    }
    void TearDown() override {
        ReleaseInputDevices();
        platform::test::DetachVirtualJoysticks();
        platform::test::SetDirectInputMissing(false);
    }

    int pad_ = -1;
};

TEST_F(Win32Devices, DiscoveryListsKeyboardMouseThenJoysticks) {
    ASSERT_GE(GetInputDeviceCount(), 3);
    EXPECT_EQ(GetInputDeviceType(0), kCategoryKeyboard);
    EXPECT_EQ(GetInputDeviceSubType(0), 10);
    EXPECT_EQ(GetInputDeviceProductName(0), "IBM enhanced (101- or 102-key)");
    EXPECT_EQ(GetInputDeviceType(1), kCategoryMouse);
    EXPECT_EQ(GetInputDeviceType(2 + pad_), kCategoryJoystick);
    EXPECT_EQ(GetInputDeviceProductName(2 + pad_), "Pad");
    EXPECT_EQ(GetInputDeviceName(2 + pad_), "");
    // A second user of the table adds nothing.
    int32_t count = GetInputDeviceCount();
    ASSERT_EQ(EnumerateInputDevices(0), 1);
    EXPECT_EQ(GetInputDeviceCount(), count);
    ReleaseInputDevices();
    EXPECT_EQ(RunInputControlPanel(kWindow), 0);
}

TEST_F(Win32Devices, TheKeyboardReadsTheKeyState) {
    auto handle = OpenInputDevice(0, kWindow, 1);
    ASSERT_NE(handle, nullptr);
    InputDevice* keyboard = handle->Device();
    int32_t minimum = 1;
    int32_t maximum = 1;
    keyboard->GetAxisRange(0, minimum, maximum);
    EXPECT_EQ(minimum, 0);
    EXPECT_EQ(maximum, 0);
    EXPECT_EQ(keyboard->SetRange(-65535, 65535), -65535);
    EXPECT_EQ(keyboard->GetButton(VK_SHIFT), 0);
    platform::test::SetKeyDown(VK_RSHIFT, true);
    EXPECT_EQ(keyboard->GetButton(VK_SHIFT), 1);
    EXPECT_EQ(keyboard->GetButton(VK_RSHIFT), 1);
    EXPECT_EQ(keyboard->GetButton(VK_LSHIFT), 0);
    platform::test::SetKeyDown(VK_RSHIFT, false);
    EXPECT_EQ(keyboard->GetButton(300), 0);
    EXPECT_EQ(keyboard->IsToggleButton(VK_NUMLOCK), 1);
    EXPECT_EQ(keyboard->LoadEffectFile("x.ffe"), -1);
    CloseInputDevice(std::move(handle));
    EXPECT_EQ(GetInputDeviceInfo(0)->device, nullptr);
}

TEST_F(Win32Devices, TheMouseGivesItsMovementOnce) {
    auto handle = OpenInputDevice(1, kWindow, 1);
    ASSERT_NE(handle, nullptr);
    InputDevice* mouse = handle->Device();
    const int width = GetSystemMetrics(SM_CXSCREEN);
    POINT centre{};
    GetCursorPos(&centre);
    EXPECT_EQ(centre.x, width / 2);
    SetCursorPos(centre.x + 30, centre.y);
    EXPECT_EQ(mouse->GetAxis(0), 30);
    EXPECT_EQ(mouse->GetAxis(0), 0);
    int32_t minimum = 0;
    int32_t maximum = 0;
    mouse->GetAxisRange(0, minimum, maximum);
    EXPECT_EQ(maximum, width / 2);
    // MOUSE_RIGHT: the movement times the full scale over the screen width.
    SetCursorPos(centre.x + 10, centre.y);
    EXPECT_EQ(GameInputManager::EvaluateControl(mouse, 152), 10 * (131070 / width));
    SetCursorPos(centre.x + width / 2, centre.y);
    EXPECT_EQ(GameInputManager::EvaluateControl(mouse, 152), 65535);
    CloseInputDevice(std::move(handle));
}

TEST_F(Win32Devices, TheJoystickReadsTheMultimediaCalls) {
    auto handle = OpenInputDevice(2 + pad_, kWindow, 1);
    ASSERT_NE(handle, nullptr);
    InputDevice* joystick = handle->Device();
    EXPECT_EQ(joystick->GetAxisCount(), 6);
    EXPECT_EQ(joystick->GetButtonCount(), 32);
    EXPECT_EQ(joystick->GetPovCount(), 1);
    EXPECT_EQ(joystick->GetPov(0), JOY_POVCENTERED);
    platform::test::SetVirtualJoystickButton(pad_, 31, true);
    platform::test::SetVirtualJoystickButton(pad_, 32, true);
    EXPECT_EQ(joystick->GetButton(31), 1);
    // JOY_BUTTON33 is never down here.
    EXPECT_EQ(joystick->GetButton(32), 0);
    EXPECT_EQ(GameInputManager::EvaluateControl(joystick, 22 + 32), 0);
    platform::test::SetVirtualJoystickAxis(pad_, 1, 32767);
    EXPECT_EQ(GameInputManager::EvaluateControl(joystick, 3), 65535);
    EXPECT_EQ(joystick->GetDeadZone(), 2000);
    // Within the dead zone of the centre.
    platform::test::SetVirtualJoystickAxis(pad_, 1, 1500);
    EXPECT_EQ(GameInputManager::EvaluateControl(joystick, 3), 0);
    CloseInputDevice(std::move(handle));
}

} // namespace
