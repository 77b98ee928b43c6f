// Input through the built-in DirectInput: discovery's order, the keyboard by key code,
// the mouse's 100 ms reads, joystick ranges and hats, and the interface's own rules on
// acquisition and the foreground.
#include <gtest/gtest.h>

#include "input/device_table.h"
#include "input/directinput_devices.h"
#include "input/game_input_manager.h"
#include "platform/display/headless_display.h"
#include "platform/input/dinput.h"
#include "platform/input/joystick.h"
#include "platform/process/shared_library.h"
#include "platform/user/input/input.h"
#include "platform/user/windows.h"
#include "platform/window_recorder.h"

namespace {

class DirectInputDevices : public ::testing::Test {
protected:
    void SetUp() override {
        platform::headless::Install();
        window_ = CreateWindowExA(0, window_test::Class("DirectInputTest"), "", WS_OVERLAPPEDWINDOW,
                                  10, 10, 200, 150, 0, 0, 0, nullptr);
        ASSERT_NE(window_, 0u);
        ShowWindow(window_, SW_SHOW);
        pad_ = platform::test::AttachVirtualJoystick(6, 20, 1, "Pad");
        ASSERT_GE(pad_, 0);
        ASSERT_EQ(EnumerateInputDevices(0), 1);
    }
    void TearDown() override {
        ReleaseInputDevices();
        platform::test::DetachVirtualJoysticks();
        DestroyWindow(window_);
    }

    // The first record of a category.
    static int32_t Find(int32_t category) {
        for (int32_t i = 0; i < GetInputDeviceCount(); ++i)
            if (GetInputDeviceType(i) == category) return i;
        return -1;
    }

    HWND window_ = 0;
    int pad_ = -1;
};

TEST_F(DirectInputDevices, DiscoveryListsJoysticksThenTheMouseThenTheKeyboard) {
    int32_t count = GetInputDeviceCount();
    ASSERT_GE(count, 3);
    EXPECT_EQ(GetInputDeviceType(pad_), kCategoryJoystick);
    EXPECT_EQ(GetInputDeviceName(pad_), "Pad");
    // A game pad.
    EXPECT_EQ(GetInputDeviceSubType(pad_), 4);
    EXPECT_EQ(GetInputDeviceType(count - 2), kCategoryMouse);
    EXPECT_EQ(GetInputDeviceSubType(count - 2), 2);
    EXPECT_EQ(GetInputDeviceType(count - 1), kCategoryKeyboard);
    EXPECT_EQ(GetInputDeviceSubType(count - 1), 10);
    ASSERT_NE(GetDirectInput(), nullptr);
    ASSERT_EQ(EnumerateInputDevices(0), 1);
    EXPECT_EQ(GetInputDeviceCount(), count);
    ReleaseInputDevices();
}

TEST_F(DirectInputDevices, TheKeyboardReadsKeysByTheirDirectInputCodes) {
    auto handle = OpenInputDevice(Find(kCategoryKeyboard), window_, 1);
    ASSERT_NE(handle, nullptr);
    InputDevice* keyboard = handle->Device();
    EXPECT_EQ(keyboard->familyCode, InputDevice::kDirectInputFamily);
    EXPECT_EQ(keyboard->GetButton(VK_SHIFT), 0);
    platform::test::SetKeyDown(VK_RSHIFT, true);
    EXPECT_EQ(keyboard->GetButton(VK_SHIFT), 1);
    EXPECT_EQ(keyboard->GetButton(VK_LSHIFT), 0);
    platform::test::SetKeyDown(VK_RSHIFT, false);
    // A Shift reported without its side is the left one.
    platform::test::SetKeyDown(VK_SHIFT, true);
    EXPECT_EQ(keyboard->GetButton(VK_LSHIFT), 1);
    platform::test::SetKeyDown(VK_SHIFT, false);
    platform::test::SetKeyDown(VK_RETURN, true);
    EXPECT_EQ(keyboard->GetButton(VK_RETURN), 1);
    platform::test::SetKeyDown(VK_RETURN, false);
    platform::test::SetKeyDown(VK_UP, true);
    EXPECT_EQ(DirectInputKeyOf(VK_UP), 0xC8u);
    EXPECT_EQ(keyboard->GetButton(VK_UP), 1);
    EXPECT_EQ(keyboard->GetButton(VK_NUMPAD0 + 8), 0);
    platform::test::SetKeyDown(VK_UP, false);
    EXPECT_EQ(keyboard->GetButton(-1), 0);
    EXPECT_EQ(keyboard->GetButton(1000), 0);
    int32_t minimum = 1, maximum = 1;
    keyboard->GetAxisRange(0, minimum, maximum);
    EXPECT_EQ(maximum, 0);
    CloseInputDevice(std::move(handle));
}

TEST_F(DirectInputDevices, MouseReadsWithinAHundredMillisecondsRepeatTheLastOne) {
    platform::headless::AdvanceTime(0);
    platform::headless::MoveMouse(50, 50);
    auto handle = OpenInputDevice(Find(kCategoryMouse), window_, 1);
    ASSERT_NE(handle, nullptr);
    InputDevice* mouse = handle->Device();
    EXPECT_EQ(mouse->GetAxisCount(), 3);
    // Movement from before the first read is not the game's.
    EXPECT_EQ(mouse->GetAxis(0), 0);
    platform::headless::MoveMouse(80, 45);
    EXPECT_EQ(mouse->GetAxis(0), 0);
    platform::headless::AdvanceTime(101);
    EXPECT_EQ(mouse->GetAxis(0), 30);
    EXPECT_EQ(mouse->GetAxis(1), -5);
    platform::headless::AdvanceTime(50);
    EXPECT_EQ(mouse->GetAxis(0), 30);
    platform::headless::TurnWheel(80, 45, 1);
    platform::headless::AdvanceTime(60);
    EXPECT_EQ(mouse->GetAxis(0), 0);
    EXPECT_EQ(mouse->GetAxis(2), WHEEL_DELTA);
    platform::test::SetKeyDown(VK_RBUTTON, true);
    platform::headless::AdvanceTime(101);
    EXPECT_EQ(mouse->GetButton(1), 1);
    platform::test::SetKeyDown(VK_RBUTTON, false);
    // The exclusive mouse is a foreground device: once the window is not active, reads
    // give nothing.
    platform::headless::SetAppActive(false);
    platform::headless::MoveMouse(90, 45);
    platform::headless::AdvanceTime(101);
    EXPECT_EQ(mouse->GetAxis(0), 0);
    platform::headless::SetAppActive(true);
    CloseInputDevice(std::move(handle));
}

TEST_F(DirectInputDevices, JoystickAxesFollowTheirRangesDeadZonesAndHats) {
    auto handle = OpenInputDevice(pad_, window_, 1);
    ASSERT_NE(handle, nullptr);
    InputDevice* joystick = handle->Device();
    EXPECT_EQ(joystick->GetAxisCount(), 6);
    EXPECT_EQ(joystick->GetButtonCount(), 20);
    EXPECT_EQ(joystick->GetPovCount(), 1);
    EXPECT_EQ(joystick->GetDeadZone(), 2000);
    EXPECT_EQ(joystick->GetPov(0), 0xFFFFFFFFu);
    platform::test::SetVirtualJoystickHat(pad_, 0, 2);
    EXPECT_EQ(joystick->GetPov(0), 9000u);
    int32_t minimum = 1, maximum = 1;
    joystick->GetAxisRange(0, minimum, maximum);
    EXPECT_EQ(minimum, 0);
    EXPECT_EQ(maximum, 65535);
    platform::test::SetVirtualJoystickAxis(pad_, 0, 32767);
    EXPECT_EQ(joystick->GetAxis(0), 65535);
    joystick->SetAxisRange(0, -100, 100);
    EXPECT_EQ(joystick->GetAxis(0), 100);
    platform::test::SetVirtualJoystickAxis(pad_, 0, -32768);
    EXPECT_EQ(joystick->GetAxis(0), -100);
    platform::test::SetVirtualJoystickAxis(pad_, 0, 0);
    EXPECT_EQ(joystick->GetAxis(0), 0);
    // Axis 3 of the pad is the first rotation.
    platform::test::SetVirtualJoystickAxis(pad_, 3, 32767);
    EXPECT_EQ(joystick->GetRotation(0), 65535);
    joystick->GetRotationRange(2, minimum, maximum);
    EXPECT_EQ(maximum, 65535);
    joystick->GetRotationRange(3, minimum, maximum);
    EXPECT_EQ(maximum, 0);
    platform::test::SetVirtualJoystickButton(pad_, 19, true);
    EXPECT_EQ(joystick->GetButton(19), 1);
    EXPECT_EQ(joystick->GetButton(128), 0);
    EXPECT_EQ(joystick->HasForceFeedback(), 0);
    CloseInputDevice(std::move(handle));
}

TEST(DirectInputInterface, DevicesMustBeAcquiredAndGiveTheirPropertiesOnlyWhereTheyHaveThem) {
    platform::headless::Install();
    HWND window = CreateWindowExA(0, window_test::Class("DirectInputTest"), "", WS_OVERLAPPEDWINDOW,
                                  10, 10, 200, 150, 0, 0, 0, nullptr);
    ShowWindow(window, SW_SHOW);
    platform::RegisterDirectInputModule();
    HMODULE module = LoadLibraryA("dinput.dll");
    ASSERT_NE(module, 0u);
    auto create =
        reinterpret_cast<DirectInputCreateAFunction>(GetProcAddress(module, "DirectInputCreateA"));
    ASSERT_NE(create, nullptr);
    IDirectInputA* directInput = nullptr;
    ASSERT_EQ(create(0, 0x500, &directInput, nullptr), DI_OK);
    IDirectInputDeviceA* keyboard = nullptr;
    ASSERT_EQ(directInput->CreateDevice(GUID_SysKeyboard, &keyboard, nullptr), DI_OK);
    BYTE keys[256];
    EXPECT_EQ(keyboard->GetDeviceState(sizeof keys, keys), DIERR_INVALIDPARAM);
    ASSERT_EQ(keyboard->SetDataFormat(&c_dfDIKeyboard), DI_OK);
    EXPECT_EQ(keyboard->GetDeviceState(sizeof keys, keys), DIERR_NOTACQUIRED);
    EXPECT_EQ(keyboard->SetCooperativeLevel(window, DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE),
              DIERR_INVALIDPARAM);
    ASSERT_EQ(keyboard->SetCooperativeLevel(window, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND), DI_OK);
    ASSERT_EQ(keyboard->Acquire(), DI_OK);
    EXPECT_EQ(keyboard->GetDeviceState(sizeof keys - 1, keys), DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard->GetDeviceState(sizeof keys, keys), DI_OK);
    DIPROPRANGE range{{sizeof range, sizeof(DIPROPHEADER), 0, DIPH_BYOFFSET}, 0, 0};
    EXPECT_EQ(keyboard->GetProperty(DIPROP_RANGE, &range.diph), DIERR_UNSUPPORTED);
    DIPROPDWORD granularity{{sizeof granularity, sizeof(DIPROPHEADER), 0, DIPH_DEVICE}, 0};
    EXPECT_EQ(keyboard->GetProperty(DIPROP_GRANULARITY, &granularity.diph), DI_OK);
    EXPECT_EQ(granularity.dwData, 1u);
    // The format cannot change while the device is acquired.
    EXPECT_EQ(keyboard->SetDataFormat(&c_dfDIKeyboard), DIERR_ACQUIRED);
    keyboard->Release();
    GUID unknown{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    IDirectInputDeviceA* none = nullptr;
    EXPECT_EQ(directInput->CreateDevice(unknown, &none, nullptr), DIERR_DEVICENOTREG);
    EXPECT_EQ(none, nullptr);
    EXPECT_LT(directInput->RunControlPanel(window, 0), 0);
    directInput->Release();
    FreeLibrary(module);
    // Without the module discovery takes the system calls.
    platform::test::SetDirectInputMissing(true);
    ASSERT_EQ(EnumerateInputDevices(0), 1);
    EXPECT_EQ(GetDirectInput(), nullptr);
    EXPECT_EQ(GetInputDeviceType(0), kCategoryKeyboard);
    ReleaseInputDevices();
    platform::test::SetDirectInputMissing(false);
    DestroyWindow(window);
}

} // namespace
