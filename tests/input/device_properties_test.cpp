// Device properties on a virtual pad: dead zones and saturation as the manager reads them,
// absolute and relative axes, the values the devices refuse, and the plain-system devices
// that discovery gives when DirectInput cannot be loaded.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "input/device_table.h"
#include "input/game_input_manager.h"
#include "platform/display/headless_display.h"
#include "platform/input/dinput.h"
#include "platform/input/joystick.h"
#include "platform/user/windows.h"
#include "platform/window_recorder.h"

namespace {

const char kSettings[] = "Race\n"
                         "\tPreferredDevices=Joystick\n"
                         "\tPlayer 1\n"
                         "\t\tRight\n"
                         "\t\t\tJoystick\n"
                         "\t\t\t\tJOY_RIGHT\n"
                         "\t\tDown\n"
                         "\t\t\tJoystick\n"
                         "\t\t\t\tJOY_BOTTOM\n";

// A manager whose one player plays on a virtual pad.
class DeviceProperties : public ::testing::Test {
protected:
    void SetUp() override {
        platform::headless::Install();
        window_ = CreateWindowExA(0, window_test::Class("PropertiesTest"), "", WS_OVERLAPPEDWINDOW,
                                  10, 10, 200, 150, 0, 0, 0, nullptr);
        ASSERT_NE(window_, 0u);
        ShowWindow(window_, SW_SHOW);
        pad_ = platform::test::AttachVirtualJoystick(6, 8, 1, "Pad");
        ASSERT_GE(pad_, 0);
    }
    void TearDown() override {
        manager_.reset();
        platform::test::DetachVirtualJoysticks();
        DestroyWindow(window_);
    }

    // Starts the settings; the player's joystick.
    InputDevice* Start() {
        manager_ = std::make_unique<GameInputManager>();
        if (manager_->Init(0, window_) != 1) return nullptr;
        const std::string text = kSettings;
        if (manager_->LoadSettingsMemory(text.data(), text.size()) != 1) return nullptr;
        if (manager_->StartByIndex(0) != 1) return nullptr;
        InputPlayer* player = manager_->GetCurrentSetting()->GetPlayer(0);
        if (player == nullptr || player->deviceType != kInputJoystick) return nullptr;
        return player->device->Device();
    }
    int32_t Value(const char* action) { return manager_->GetActionValue(0, action); }
    void Move(int axis, int value) { platform::test::SetVirtualJoystickAxis(pad_, axis, value); }

    HWND window_ = 0;
    int pad_ = -1;
    std::unique_ptr<GameInputManager> manager_;
};

TEST_F(DeviceProperties, DeadZoneAndSaturationChangeWhatTheManagerReads) {
    InputDevice* pad = Start();
    ASSERT_NE(pad, nullptr);
    ASSERT_EQ(pad->familyCode, InputDevice::kDirectInputFamily);
    EXPECT_EQ(pad->GetDeadZonePercent(), 0);
    EXPECT_EQ(pad->GetSaturation(), 10000u);
    // Half way right: half of the full value over the pad's 0..65535.
    Move(0, 16384);
    EXPECT_EQ(Value("Right"), 32768);
    pad->SetDeadZonePercent(50);
    EXPECT_EQ(pad->GetDeadZonePercent(), 50);
    EXPECT_EQ(pad->GetAxisDeadZonePercent(1), 50);
    EXPECT_EQ(Value("Right"), 0);
    // Three quarters is half way between the dead zone and the end.
    Move(0, 24576);
    EXPECT_EQ(Value("Right"), 32768);
    pad->SetSaturation(7500);
    EXPECT_EQ(pad->GetAxisSaturation(0), 7500u);
    EXPECT_EQ(Value("Right"), 65535);
    // One axis of its own.
    pad->SetAxisDeadZonePercent(1, 0);
    pad->SetAxisSaturation(1, 10000);
    Move(0, 16384);
    Move(1, 16384);
    EXPECT_EQ(Value("Right"), 0);
    EXPECT_EQ(Value("Down"), 32768);
    EXPECT_EQ(pad->GetAxisDeadZonePercent(0), 50);
    EXPECT_EQ(pad->GetAxisDeadZonePercent(1), 0);
    EXPECT_EQ(pad->GetAxisSaturation(1), 10000u);
}

TEST_F(DeviceProperties, ValuesOutOfRangeLeaveThePropertiesAsTheyWere) {
    InputDevice* pad = Start();
    ASSERT_NE(pad, nullptr);
    pad->SetDeadZonePercent(20);
    pad->SetDeadZonePercent(101);
    pad->SetDeadZonePercent(-1);
    // 100 times this is 4 once cut to 32 bits.
    pad->SetDeadZonePercent(42949673);
    EXPECT_EQ(pad->GetDeadZonePercent(), 20);
    pad->SetAxisDeadZonePercent(2, 100);
    EXPECT_EQ(pad->GetAxisDeadZonePercent(2), 100);
    pad->SetAxisDeadZonePercent(2, 42949673);
    EXPECT_EQ(pad->GetAxisDeadZonePercent(2), 100);
    // There is no sixth axis.
    pad->SetAxisDeadZonePercent(5, 10);
    EXPECT_EQ(pad->GetAxisDeadZonePercent(5), 0);
    pad->SetSaturation(9000);
    pad->SetSaturation(10001);
    pad->SetAxisSaturation(0, 0xFFFFFFFFu);
    EXPECT_EQ(pad->GetSaturation(), 9000u);
    EXPECT_EQ(pad->GetAxisSaturation(0), 9000u);
    EXPECT_EQ(pad->GetAxisSaturation(-1), 0u);
    EXPECT_EQ(pad->GetFFGainPercent(), 100);
    pad->SetFFGainPercent(40);
    pad->SetFFGainPercent(101);
    pad->SetFFGainPercent(-5);
    pad->SetFFGainPercent(42949673);
    EXPECT_EQ(pad->GetFFGainPercent(), 40);
    EXPECT_EQ(pad->GetAutoCenter(), 1);
    pad->SetAutoCenter(0);
    EXPECT_EQ(pad->GetAutoCenter(), 0);
    pad->SetAutoCenter(7);
    EXPECT_EQ(pad->GetAutoCenter(), 1);
    // What SDL does not measure reads as a device without it answers.
    Move(0, 30000);
    Move(3, -30000);
    for (int32_t axis = 0; axis < 5; ++axis) {
        EXPECT_EQ(pad->GetAxisVelocity(axis), 0);
        EXPECT_EQ(pad->GetAxisAcceleration(axis), 0);
        EXPECT_EQ(pad->GetAxisForce(axis), 0);
    }
    EXPECT_EQ(pad->GetRotationVelocity(0), 0);
    EXPECT_EQ(pad->GetRotationAcceleration(0), 0);
    EXPECT_EQ(pad->GetRotationForce(0), 0);
    EXPECT_EQ(pad->GetFFSamplePeriod(), 0u);
    EXPECT_EQ(pad->GetFFMinTimeResolution(), 0u);
    EXPECT_EQ(pad->GetFFLoad(), 0u);
    EXPECT_EQ(pad->GetGranularity(), 1u);
}

TEST_F(DeviceProperties, RelativeAxesGiveTheMovementSinceTheLastRead) {
    InputDevice* pad = Start();
    ASSERT_NE(pad, nullptr);
    EXPECT_EQ(pad->IsAbsoluteAxes(), 1);
    Move(0, 16384);
    EXPECT_EQ(pad->GetAxis(0), 49151);
    // The reads so far acquired the pad; the mode changes all the same.
    pad->SetAbsoluteAxes(0);
    EXPECT_EQ(pad->IsAbsoluteAxes(), 0);
    EXPECT_EQ(pad->GetAxis(0), 0);
    Move(0, 0);
    EXPECT_EQ(pad->GetAxis(0), -16384);
    EXPECT_EQ(pad->GetAxis(0), 0);
    Move(0, 32767);
    Move(3, 32767);
    EXPECT_EQ(pad->GetRotation(0), 32768);
    // That read took the axis's movement too.
    EXPECT_EQ(pad->GetAxis(0), 0);
    pad->SetAbsoluteAxes(1);
    EXPECT_EQ(pad->IsAbsoluteAxes(), 1);
    EXPECT_EQ(pad->GetAxis(0), 65535);
}

TEST_F(DeviceProperties, TheMouseIsRelativeUntilMadeAbsolute) {
    ASSERT_EQ(EnumerateInputDevices(0), 1);
    int32_t mouseIndex = -1;
    for (int32_t i = 0; i < GetInputDeviceCount(); ++i)
        if (GetInputDeviceType(i) == kCategoryMouse) mouseIndex = i;
    platform::headless::AdvanceTime(0);
    platform::headless::MoveMouse(50, 50);
    auto handle = OpenInputDevice(mouseIndex, window_, 1);
    ASSERT_NE(handle, nullptr);
    InputDevice* mouse = handle->Device();
    EXPECT_EQ(mouse->IsAbsoluteAxes(), 0);
    mouse->SetAbsoluteAxes(1);
    EXPECT_EQ(mouse->IsAbsoluteAxes(), 1);
    EXPECT_EQ(mouse->GetAxis(0), 0);
    platform::headless::MoveMouse(80, 50);
    platform::headless::AdvanceTime(101);
    EXPECT_EQ(mouse->GetAxis(0), 30);
    platform::headless::MoveMouse(90, 50);
    platform::headless::AdvanceTime(101);
    EXPECT_EQ(mouse->GetAxis(0), 40);
    mouse->SetAbsoluteAxes(0);
    platform::headless::AdvanceTime(101);
    EXPECT_EQ(mouse->GetAxis(0), 0);
    platform::headless::MoveMouse(85, 50);
    platform::headless::AdvanceTime(101);
    EXPECT_EQ(mouse->GetAxis(0), -5);
    // A mouse has no dead zone, saturation or force feedback.
    mouse->SetDeadZonePercent(10);
    EXPECT_EQ(mouse->GetDeadZonePercent(), 0);
    EXPECT_EQ(mouse->GetSaturation(), 0u);
    EXPECT_EQ(mouse->GetFFGainPercent(), 0);
    EXPECT_EQ(mouse->GetGranularity(), 1u);
    CloseInputDevice(std::move(handle));
    ReleaseInputDevices();
}

TEST_F(DeviceProperties, WithoutDirectInputThePlayerPlaysOnTheMultimediaJoystick) {
    platform::test::DirectInputRefusal refusal;
    InputDevice* pad = Start();
    ASSERT_NE(pad, nullptr);
    EXPECT_EQ(GetDirectInput(), nullptr);
    EXPECT_EQ(pad->familyCode, InputDevice::kWin32Family);
    // Keyboard, mouse, then the joysticks.
    EXPECT_EQ(pad->deviceIndex, 2 + pad_);
    EXPECT_EQ(GetInputDeviceType(0), kCategoryKeyboard);
    Move(0, 16384);
    int32_t halfWay = Value("Right");
    EXPECT_GT(halfWay, 32700);
    EXPECT_LT(halfWay, 32800);
    // The multimedia joystick has no properties: they change nothing and read as neutral.
    pad->SetDeadZonePercent(50);
    pad->SetAbsoluteAxes(0);
    EXPECT_EQ(Value("Right"), halfWay);
    EXPECT_EQ(pad->GetDeadZonePercent(), 0);
    EXPECT_EQ(pad->IsAbsoluteAxes(), 0);
    EXPECT_EQ(pad->GetGranularity(), 1u);
    EXPECT_EQ(pad->GetFFSamplePeriod(), 0u);
    EXPECT_EQ(pad->GetAxisVelocity(0), 0);
}

TEST(DirectInputRefusal, EndsWithItsScope) {
    platform::headless::Install();
    {
        platform::test::DirectInputRefusal refusal;
        ASSERT_EQ(EnumerateInputDevices(0), 1);
        EXPECT_EQ(GetDirectInput(), nullptr);
        ReleaseInputDevices();
    }
    ASSERT_EQ(EnumerateInputDevices(0), 1);
    EXPECT_NE(GetDirectInput(), nullptr);
    ReleaseInputDevices();
}

} // namespace
