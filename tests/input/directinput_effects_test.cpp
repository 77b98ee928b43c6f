// The DirectInput joystick's effects on a recording force-feedback device: the types as
// listed, creation by type, setters and getters, triggers, index checks, the device-wide
// commands, and a joystick without force feedback.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input/ff_joystick.h"

namespace {

using Calls = std::vector<std::string>;

TEST(DirectInputEffects, TypesAreListedWithTheirNamesAndCategories) {
    input_fakes::ForceFeedbackJoystick pad;
    InputDevice* device = pad.Device();
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->HasForceFeedback(), 1);
    ASSERT_EQ(device->GetEffectTypeCount(), 11);
    const char* names[] = {"Constant Force", "Ramp Force",    "Sine",        "Triangle",
                           "Sawtooth Up",    "Sawtooth Down", "Spring",      "Damper",
                           "Inertia",        "Friction",      "Custom Force"};
    const int32_t categories[] = {3, 5, 6, 6, 6, 6, 2, 2, 2, 2, 4};
    for (int32_t type = 0; type < 11; ++type) {
        EXPECT_EQ(device->GetEffectTypeName(type), names[type]);
        EXPECT_EQ(device->GetEffectCategory(type), categories[type]);
    }
    for (int32_t outside : {-1, 11, int32_t(0x80000000)}) {
        EXPECT_EQ(device->GetEffectTypeName(outside), "");
        EXPECT_EQ(device->GetEffectCategory(outside), 0);
        EXPECT_EQ(device->CreateEffect(outside), -1);
    }
}

TEST(DirectInputEffects, EffectsAreMadeByTypeAndKeepIt) {
    input_fakes::ForceFeedbackJoystick pad;
    InputDevice* device = pad.Device();
    ASSERT_NE(device, nullptr);
    for (int32_t type = 0; type < 11; ++type) {
        ASSERT_EQ(device->CreateEffect(type), type);
        EXPECT_EQ(device->GetEffectTypeOf(type), type);
    }
    EXPECT_EQ(pad.recorder->effects.at(2).kind, platform::kFFSine);
    EXPECT_EQ(pad.recorder->effects.at(10).kind, platform::kFFCustom);
    EXPECT_EQ(device->GetEffectTypeOf(-1), -1);
    EXPECT_EQ(device->GetEffectTypeOf(11), -1);

    // The typed creators take only their own category's types.
    EXPECT_EQ(device->CreateConstantForceEffect(0, 10000), 11);
    EXPECT_EQ(pad.recorder->effects.at(11).level, 32767);
    EXPECT_EQ(device->CreateRampForceEffect(1, -10000, 10000), 12);
    EXPECT_EQ(device->CreatePeriodicEffect(3, 5000, 0, 0, 100000), 13);
    EXPECT_EQ(pad.recorder->effects.at(13).period, 100);
    EXPECT_EQ(device->CreateConditionEffect(6, 0, 10000, 10000, 10000, 10000, 0), 14);
    const int32_t samples[4] = {1, 2, 3, 4};
    EXPECT_EQ(device->CreateCustomForceEffect(10, 2, 1000, 4, samples), 15);
    EXPECT_EQ(pad.recorder->effects.at(15).samples, 2);
    EXPECT_EQ(device->CreateConstantForceEffect(2, 1), -1);
    EXPECT_EQ(device->CreateConditionEffect(10, 0, 0, 0, 0, 0, 0), -1);
    EXPECT_EQ(device->CreateCustomForceEffect(10, 2, 0, 3, samples), -1);
    EXPECT_EQ(device->CreateCustomForceEffect(10, 1, 0, 3, nullptr), -1);
    EXPECT_EQ(device->GetEffectTypeOf(16), -1);
}

TEST(DirectInputEffects, SettersWaitForTheDownloadAndGettersReadThemBack) {
    input_fakes::ForceFeedbackJoystick pad;
    InputDevice* device = pad.Device();
    ASSERT_NE(device, nullptr);
    ASSERT_EQ(device->CreateEffect(2), 0);
    pad.recorder->Take();
    const int32_t axes[3] = {0, 1, 4};
    const int32_t directions[3] = {100, -100, 5};
    EXPECT_EQ(device->SetEffectDuration(0, 2000000), 1);
    EXPECT_EQ(device->SetEffectGain(0, 5000), 1);
    EXPECT_EQ(device->SetEffectSamplePeriod(0, 10), 1);
    EXPECT_EQ(device->SetEffectTriggerButton(0, 3), 1);
    EXPECT_EQ(device->SetEffectTriggerInterval(0, 40000), 1);
    EXPECT_EQ(device->SetEffectTriggerDelay(0, 5), 0);
    EXPECT_EQ(device->SetEffectAxes(0, axes, 3), 1);
    EXPECT_EQ(device->SetEffectDirection(0, axes, directions, 3), 1);
    EXPECT_EQ(device->SetEffectEnvelope(0, 1000, 2000, 3000, 4000), 1);
    EXPECT_TRUE(pad.recorder->Take().empty());

    uint32_t value = 0;
    int32_t number = 0;
    EXPECT_EQ(device->GetEffectDuration(0, value), 1);
    EXPECT_EQ(value, 2000000u);
    EXPECT_EQ(device->GetEffectGain(0, value), 1);
    EXPECT_EQ(value, 5000u);
    EXPECT_EQ(device->GetEffectSamplePeriod(0, value), 1);
    EXPECT_EQ(value, 10u);
    EXPECT_EQ(device->GetEffectTriggerButton(0, number), 1);
    EXPECT_EQ(number, 3);
    EXPECT_EQ(device->GetEffectTriggerInterval(0, value), 1);
    EXPECT_EQ(value, 40000u);
    EXPECT_EQ(device->GetEffectAxisCount(0, number), 1);
    EXPECT_EQ(number, 3);
    int32_t readAxes[3] = {}, readDirections[3] = {};
    EXPECT_EQ(device->GetEffectAxes(0, readAxes, 3), 1);
    EXPECT_EQ(readAxes[2], 4);
    EXPECT_EQ(device->GetEffectDirection(0, readAxes, readDirections, 3), 1);
    EXPECT_EQ(readDirections[1], -100);
    EXPECT_EQ(device->HasEffectEnvelope(0), 1);
    uint32_t levels[4] = {};
    EXPECT_EQ(device->GetEffectEnvelope(0, levels[0], levels[1], levels[2], levels[3]), 1);
    EXPECT_EQ(levels[3], 4000u);
    EXPECT_EQ(device->ClearEffectEnvelope(0), 1);
    EXPECT_EQ(device->HasEffectEnvelope(0), 0);

    device->DownloadEffect(0);
    EXPECT_EQ(pad.recorder->Take(), (Calls{"update 0"}));
    const platform::FFEffect& sent = pad.recorder->effects.at(0);
    EXPECT_EQ(sent.length, 2000u);
    EXPECT_EQ(sent.button, 4);
    EXPECT_EQ(sent.interval, 40);
    EXPECT_EQ(sent.direction[2], 5);

    // The trigger button's offset, and none.
    EXPECT_EQ(device->SetEffectTriggerButton(0, -1), 1);
    EXPECT_EQ(device->GetEffectTriggerButton(0, number), 1);
    EXPECT_EQ(number, -1);
    EXPECT_EQ(device->SetEffectTriggerButton(0, 127), 1);
    EXPECT_EQ(device->GetEffectTriggerButton(0, number), 1);
    EXPECT_EQ(number, 127);
    EXPECT_EQ(device->SetEffectTriggerButton(0, 128), 0);
    EXPECT_EQ(device->SetEffectTriggerButton(0, -5), 0);

    // Axis numbers beyond 0..4, and directions for another number of axes.
    const int32_t bad[2] = {0, 5};
    EXPECT_EQ(device->SetEffectAxes(0, bad, 2), 0);
    EXPECT_EQ(device->SetEffectAxes(0, axes, 0), 0);
    EXPECT_EQ(device->SetEffectAxes(0, axes, -1), 0);
    EXPECT_EQ(device->SetEffectDirection(0, axes, directions, 2), 0);
}

TEST(DirectInputEffects, IndexesAreCheckedAsUnsignedValues) {
    input_fakes::ForceFeedbackJoystick pad;
    InputDevice* device = pad.Device();
    ASSERT_NE(device, nullptr);
    ASSERT_EQ(device->CreateEffect(0), 0);
    pad.recorder->Take();
    uint32_t value = 7;
    for (int32_t outside : {-1, -5, 1, int32_t(0x80000000)}) {
        device->DownloadEffect(outside);
        device->UnloadEffect(outside);
        device->StartEffect(outside, 1, 1);
        device->StopEffect(outside);
        EXPECT_EQ(device->SetEffectDuration(outside, 1), 0);
        EXPECT_EQ(device->GetEffectDuration(outside, value), 0);
        EXPECT_EQ(device->HasEffectEnvelope(outside), 0);
    }
    EXPECT_EQ(value, 7u);
    EXPECT_TRUE(pad.recorder->Take().empty());
}

TEST(DirectInputEffects, StartingStoppingAndTheDeviceCommands) {
    input_fakes::ForceFeedbackJoystick pad;
    InputDevice* device = pad.Device();
    ASSERT_NE(device, nullptr);
    ASSERT_EQ(device->CreateEffect(0), 0);
    ASSERT_EQ(device->CreateEffect(6), 1);
    pad.recorder->Take();
    // Started as its parameters are brought up to date: once.
    device->StartEffect(0, 5, 7);
    device->StopEffect(0);
    device->UnloadEffect(1);
    device->StartEffect(1, 1, 1);
    EXPECT_EQ(pad.recorder->Take(),
              (Calls{"update 0", "run 0 1", "stop 0", "stop 1", "destroy 1", "new 2", "run 2 1"}));
    device->StopAllEffects();
    device->PauseEffects();
    device->ContinueEffects();
    device->SetActuators(0);
    device->SetActuators(1);
    EXPECT_EQ(pad.recorder->Take(), (Calls{"stopall", "pause", "unpause", "gain 0", "gain 100"}));
    device->ResetEffects();
    EXPECT_EQ(pad.recorder->Take(), (Calls{"stopall", "stop 0", "destroy 0", "stop 2", "destroy 2",
                                           "unpause", "gain 100"}));
    ASSERT_EQ(device->CreateEffect(0), 2);
    pad.Close();
    EXPECT_TRUE(pad.recorder->effects.empty());
}

TEST(DirectInputEffects, AJoystickWithoutForceFeedbackHasNoEffects) {
    input_fakes::ForceFeedbackJoystick pad(2, false);
    InputDevice* device = pad.Device();
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->HasForceFeedback(), 0);
    EXPECT_EQ(device->GetEffectTypeCount(), 0);
    EXPECT_EQ(device->CreateEffect(0), -1);
    EXPECT_EQ(device->CreateConstantForceEffect(0, 1), -1);
    EXPECT_EQ(device->GetEffectTypeName(0), "");
    device->StopAllEffects();
    device->StartEffect(0, 1, 1);
}

} // namespace
