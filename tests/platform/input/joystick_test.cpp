// The multimedia joystick calls over a joystick of the test's own: positions, buttons and
// the point of view as the calls report them, and the keyboard's type.
#include <gtest/gtest.h>

#include <csignal>

#include "platform/input/joystick.h"

namespace {

class Joystick : public ::testing::Test {
protected:
    void SetUp() override {
        id_ = platform::test::AttachVirtualJoystick(6, 40, 1, "Pad");
        ASSERT_GE(id_, 0);
    }
    void TearDown() override { platform::test::DetachVirtualJoysticks(); }

    JOYINFOEX Read() {
        JOYINFOEX info{};
        info.dwSize = sizeof info;
        info.dwFlags = JOY_RETURNALL;
        EXPECT_EQ(joyGetPosEx(UINT(id_), &info), JOYERR_NOERROR);
        return info;
    }

    int id_ = -1;
};

// SDL's joysticks must not take SIGINT and SIGTERM from the player: with them taken, a
// game with game input ignores being told to end.
TEST_F(Joystick, StartingJoysticksLeavesTheEndingSignalsAlone) {
    joyGetNumDevs();
    for (int signal : {SIGINT, SIGTERM}) {
        struct sigaction action {};
        ASSERT_EQ(sigaction(signal, nullptr, &action), 0);
        EXPECT_EQ(action.sa_handler, SIG_DFL) << "signal " << signal;
    }
}

TEST_F(Joystick, CapabilitiesNameTheDeviceAndItsRanges) {
    EXPECT_GE(joyGetNumDevs(), UINT(id_ + 1));
    JOYCAPSA caps{};
    ASSERT_EQ(joyGetDevCapsA(UINT(id_), &caps, sizeof caps), JOYERR_NOERROR);
    EXPECT_STREQ(caps.szPname, "Pad");
    EXPECT_EQ(caps.wMaxAxes, 6u);
    // Only 32 buttons fit the button bits.
    EXPECT_EQ(caps.wMaxButtons, 32u);
    EXPECT_EQ(caps.wXmin, 0u);
    EXPECT_EQ(caps.wXmax, 65535u);
    EXPECT_NE(caps.wCaps & JOYCAPS_HASPOV, 0u);
    EXPECT_NE(caps.wCaps & JOYCAPS_HASV, 0u);
    EXPECT_EQ(joyGetDevCapsA(UINT(id_), &caps, sizeof caps - 1), MMSYSERR_INVALPARAM);
    EXPECT_NE(joyGetDevCapsA(1000, &caps, sizeof caps), JOYERR_NOERROR);
    JOYINFO position{};
    EXPECT_NE(joyGetPos(1000, &position), JOYERR_NOERROR);
}

TEST_F(Joystick, PositionsButtonsAndThePointOfView) {
    JOYINFOEX info = Read();
    EXPECT_EQ(info.dwXpos, 32768u);
    EXPECT_EQ(info.dwPOV, JOY_POVCENTERED);
    EXPECT_EQ(info.dwButtons, 0u);
    platform::test::SetVirtualJoystickAxis(id_, 0, -32768);
    platform::test::SetVirtualJoystickAxis(id_, 5, 32767);
    platform::test::SetVirtualJoystickButton(id_, 0, true);
    platform::test::SetVirtualJoystickButton(id_, 31, true);
    platform::test::SetVirtualJoystickButton(id_, 32, true);
    platform::test::SetVirtualJoystickHat(id_, 0, 4 | 8);
    info = Read();
    EXPECT_EQ(info.dwXpos, 0u);
    EXPECT_EQ(info.dwVpos, 65535u);
    // Button 33 and beyond have no bit.
    EXPECT_EQ(info.dwButtons, 0x80000001u);
    EXPECT_EQ(info.dwButtonNumber, 2u);
    EXPECT_EQ(info.dwPOV, 22500u);
    info.dwSize = 4;
    EXPECT_EQ(joyGetPosEx(UINT(id_), &info), MMSYSERR_INVALPARAM);
}

TEST(KeyboardType, AnEnhancedKeyboardWithTwelveFunctionKeys) {
    EXPECT_EQ(GetKeyboardType(0), 4);
    EXPECT_EQ(GetKeyboardType(1), 0);
    EXPECT_EQ(GetKeyboardType(2), 12);
    EXPECT_EQ(GetKeyboardType(3), 0);
}

} // namespace
