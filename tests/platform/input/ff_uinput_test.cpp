// SDL's haptic device of a kernel force-feedback pad plays an effect; where /dev/uinput
// cannot be written (most containers) the test says it was skipped.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/input/ff_device.h"
#include "platform/input/joystick_access.h"

TEST(UinputForceFeedback, SdlHapticPlaysAnEffectOnAKernelPad) {
    int id = platform::test::MakeUinputForceFeedbackJoystick();
    if (id < 0) GTEST_SKIP() << "/dev/uinput cannot be written here: no kernel pad to play on";
    int32_t instance = -1;
    for (const platform::JoystickIdentity& joystick : platform::ListJoysticks())
        if (joystick.name == "Uinput rumble pad") instance = joystick.instance;
    ASSERT_GE(instance, 0);
    auto device = platform::OpenForceFeedback(instance);
    ASSERT_NE(device, nullptr);
    EXPECT_TRUE(device->Supported() & platform::kFFSine);
    platform::FFEffect sine;
    sine.kind = platform::kFFSine;
    sine.length = 200;
    sine.magnitude = 20000;
    sine.period = 50;
    int effect = device->NewEffect(sine);
    ASSERT_GE(effect, 0);
    EXPECT_TRUE(device->RunEffect(effect, 1));
    for (int i = 0; i < 100 && platform::test::UinputEffectsPlayed() == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_GE(platform::test::UinputEffectsPlayed(), 1);
    device->DestroyEffect(effect);
    device.reset();
    platform::test::RemoveUinputJoystick();
}
