// The manager over the tests' devices: starting hands out devices by preference, action
// values follow the controls and their conditions, and stopping closes every device.
#include <gtest/gtest.h>

#include <string>

#include "input/control_names.h"
#include "input/fake_devices.h"
#include "input/game_input_manager.h"

namespace {

using input_fakes::IsOpen;
using input_fakes::State;

constexpr HWND kWindow = 7;
constexpr int32_t kRightRow = 2;    // JOY_RIGHT: axis 0, positive
constexpr int32_t kLeftRow = 0;     // JOY_LEFT
constexpr int32_t kRotXPos = 6;     // JOY_ROT_X_POS
constexpr int32_t kPovRow = 18;     // JOY_POV1
constexpr int32_t kWheelBack = 154; // MOUSE_WHEELBACK

class Manager : public ::testing::Test {
protected:
    // Keyboard, mouse, one joystick, as discovery lists them without device interfaces.
    void Use(const std::vector<int32_t>& categories, const std::string& settings) {
        input_fakes::InstallFakeDevices(categories);
        manager_ = std::make_unique<GameInputManager>();
        ASSERT_EQ(manager_->Init(0, kWindow), 1);
        ASSERT_EQ(manager_->LoadSettingsMemory(settings.data(), settings.size()), 1);
    }
    void TearDown() override {
        manager_.reset();
        input_fakes::RemoveFakeDevices();
    }
    int32_t Value(int32_t player, const char* action) {
        return manager_->GetActionValue(player, action);
    }

    std::unique_ptr<GameInputManager> manager_;
};

const char kTwoPlayers[] = "Game\n"
                           "\tPlayer 1\n"
                           "\t\tFire\n"
                           "\t\t\tJoystick\n"
                           "\t\t\t\tJOY_BUTTON1+KEY_VK_SHIFT\n"
                           "\t\t\t\tJOY_BUTTON2\n"
                           "\t\tfire\n"
                           "\t\t\tJoystick\n"
                           "\t\t\t\tJOY_BUTTON3\n"
                           "\tPlayer 2\n"
                           "\t\tFire\n"
                           "\t\t\tKeyboard\n"
                           "\t\t\t\tKEY_VK_A\n"
                           "\t\t\tMouse\n"
                           "\t\t\t\tMOUSE_BUTTON1\n";

TEST_F(Manager, PlayersTakeDevicesByPreference) {
    Use({kCategoryKeyboard, kCategoryMouse, kCategoryJoystick}, kTwoPlayers);
    EXPECT_EQ(Value(0, "Fire"), 0);
    ASSERT_EQ(manager_->StartByIndex(0), 1);
    InputSetting* setting = manager_->GetCurrentSetting();
    // Player 1 gets the one joystick; player 2 falls to the keyboard.
    EXPECT_EQ(setting->GetPlayer(0)->deviceType, kInputJoystick);
    EXPECT_EQ(setting->GetPlayer(1)->deviceType, kInputKeyboard);
    EXPECT_EQ(State(2).rangesSet, 1);
    EXPECT_FALSE(IsOpen(1));
    State(0).buttons[0x41] = 1;
    EXPECT_EQ(Value(1, "FIRE"), 65535);
    EXPECT_EQ(Value(2, "Fire"), 0);
    EXPECT_EQ(Value(1, "Jump"), 0);
}

TEST_F(Manager, ConditionsHoldOnlyWhileEveryControlIsDown) {
    Use({kCategoryKeyboard, kCategoryMouse, kCategoryJoystick}, kTwoPlayers);
    ASSERT_EQ(manager_->StartByIndex(0), 1);
    State(2).buttons[0] = 1;
    EXPECT_EQ(Value(0, "Fire"), 0);
    State(0).buttons[0x10] = 1;
    EXPECT_EQ(Value(0, "Fire"), 65535);
    // The shared keyboard was opened for the condition.
    EXPECT_TRUE(IsOpen(0));
    State(0).buttons[0x10] = 0;
    State(2).buttons[1] = 1;
    EXPECT_EQ(Value(0, "Fire"), 65535);
    // Two actions differing by case: the value reads the first, lookups by name the exact.
    State(2).buttons[1] = 0;
    State(2).buttons[2] = 1;
    EXPECT_EQ(Value(0, "fire"), 0);
    InputPlayer* player = manager_->GetCurrentSetting()->GetPlayer(0);
    int32_t index = -1;
    EXPECT_NE(player->FindAction("fire", &index), nullptr);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(player->FindAction("FIRE"), nullptr);
}

TEST_F(Manager, StopClosesDevicesAndARestartOpensThemAgain) {
    Use({kCategoryKeyboard, kCategoryMouse, kCategoryJoystick}, kTwoPlayers);
    ASSERT_EQ(manager_->StartByName("GAME"), 1);
    EXPECT_TRUE(IsOpen(2));
    manager_->Stop();
    EXPECT_FALSE(manager_->IsStarted());
    EXPECT_FALSE(IsOpen(0));
    EXPECT_FALSE(IsOpen(2));
    EXPECT_EQ(Value(0, "Fire"), 0);
    ASSERT_EQ(manager_->StartByIndex(0), 1);
    EXPECT_EQ(State(2).opened, 2);
    EXPECT_EQ(State(2).rangesSet, 2);
    EXPECT_EQ(manager_->SetWindow(9), 0);
}

TEST_F(Manager, StartNeedsAWindowAndASetting) {
    Use({kCategoryKeyboard}, kTwoPlayers);
    EXPECT_EQ(manager_->StartByIndex(1), 0);
    EXPECT_EQ(manager_->StartByIndex(-1), 0);
    EXPECT_EQ(manager_->StartByName("Other"), 0);
    ASSERT_EQ(manager_->SetWindow(0), 1);
    EXPECT_EQ(manager_->StartByIndex(0), 0);
}

TEST_F(Manager, ADeviceThatDoesNotAttachIsNotKept) {
    input_fakes::InstallFakeDevices({kCategoryJoystick, kCategoryKeyboard});
    State(0).failAttach = 1;
    manager_ = std::make_unique<GameInputManager>();
    ASSERT_EQ(manager_->Init(0, kWindow), 1);
    const std::string text = "G\n\tPlayer 1\n";
    ASSERT_EQ(manager_->LoadSettingsMemory(text.data(), text.size()), 1);
    ASSERT_EQ(manager_->StartByIndex(0), 1);
    EXPECT_FALSE(IsOpen(0));
    EXPECT_EQ(manager_->GetCurrentSetting()->GetPlayer(0)->deviceType, kInputKeyboard);
}

TEST_F(Manager, EmptyPlayerPlacesAreSkipped) {
    Use({kCategoryKeyboard}, "G\n\tPlayer 3\n\t\tFire\n\t\t\tKeyboard\n\t\t\t\tKEY_VK_A\n");
    ASSERT_EQ(manager_->StartByIndex(0), 1);
    EXPECT_EQ(Value(0, "Fire"), 0);
    State(0).buttons[0x41] = 1;
    EXPECT_EQ(Value(2, "Fire"), 65535);
    manager_->Stop();
}

TEST(EvaluateControl, AxesRotationsAndHats) {
    input_fakes::InstallFakeDevices({kCategoryJoystick});
    ASSERT_EQ(EnumerateInputDevices(0), 1);
    auto handle = OpenInputDevice(0, kWindow, 1);
    ASSERT_NE(handle, nullptr);
    InputDevice* device = handle->Device();
    input_fakes::FakeState& state = State(0);
    auto value = [&](int32_t row) { return GameInputManager::EvaluateControl(device, row); };
    state.axes[0] = 32768;
    EXPECT_EQ(value(kRightRow), 32768);
    EXPECT_EQ(value(kLeftRow), 0);
    state.axes[0] = -32768;
    EXPECT_EQ(value(kLeftRow), 32768);
    state.axes[0] = 65535;
    EXPECT_EQ(value(kRightRow), 65535);
    state.axes[0] = -65535;
    EXPECT_EQ(value(kLeftRow), 65535);
    state.deadZone = 2000;
    state.axes[0] = 1999;
    EXPECT_EQ(value(kRightRow), 0);
    state.axes[0] = 2000;
    EXPECT_EQ(value(kRightRow), 2000);
    // An empty range is an axis the device lacks.
    state.axisMinimum[0] = state.axisMaximum[0] = 5;
    state.axes[0] = 60000;
    EXPECT_EQ(value(kRightRow), 0);
    // 0..65535 as the multimedia joysticks report it: the centre is 32767.
    state.deadZone = 0;
    state.axisMinimum[0] = 0;
    state.axisMaximum[0] = 65535;
    state.axes[0] = 32767 + 1000;
    EXPECT_EQ(value(kRightRow), 2000);
    // A range wider than the full scale divides instead.
    state.axisMinimum[0] = -1000000;
    state.axisMaximum[0] = 1000000;
    state.axes[0] = 500000;
    EXPECT_EQ(value(kRightRow), 500000 / (2000000 / 131070));
    // Rotations multiply by the integer quotient only: a wide range gives 0.
    state.rotationMinimum[0] = -1000000;
    state.rotationMaximum[0] = 1000000;
    state.rotations[0] = 500000;
    EXPECT_EQ(value(kRotXPos), 0);
    state.rotations[0] = 1000000;
    EXPECT_EQ(value(kRotXPos), 65535);
    // A centred hat reads as its raw centred value; forward as 0.
    EXPECT_EQ(value(kPovRow), -1);
    state.pov = 9000;
    EXPECT_EQ(value(kPovRow), 9000);
    state.needsPoll = 1;
    value(kPovRow);
    EXPECT_EQ(state.polls, 1);
    EXPECT_EQ(value(-1), 0);
    EXPECT_EQ(value(ControlNameTable::kRowCount), 0);
    CloseInputDevice(std::move(handle));
    ReleaseInputDevices();
    input_fakes::RemoveFakeDevices();
}

TEST(EvaluateControl, AMouseWithoutAWheelGivesNoWheel) {
    input_fakes::InstallFakeDevices({kCategoryMouse});
    ASSERT_EQ(EnumerateInputDevices(0), 1);
    auto handle = OpenInputDevice(0, kWindow, 1);
    ASSERT_NE(handle, nullptr);
    State(0).axisMinimum[2] = State(0).axisMaximum[2] = 0;
    State(0).axes[2] = -50;
    EXPECT_EQ(GameInputManager::EvaluateControl(handle->Device(), kWheelBack), 0);
    CloseInputDevice(std::move(handle));
    ReleaseInputDevices();
    input_fakes::RemoveFakeDevices();
}

} // namespace
