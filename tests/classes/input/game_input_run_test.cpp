// GameInput in a whole run: a project with a settings text that starts by itself reads
// its players' actions from keys a user presses and from a joystick, through DirectInput or,
// where it cannot be loaded, the system calls, and its script-level rules (one start at a
// time, names, both argument orders) hold on the real devices.
#include <gtest/gtest.h>

#include "classes/input/game_input_project.h"

#include <fstream>
#include <string>
#include <vector>

#include "platform/display/headless_display.h"
#include "platform/input/dinput.h"
#include "platform/input/joystick.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/test_hooks.h"
#include "support/temp_dir.h"

namespace {

const char kSettings[] = "Race\r\n"
                         "\tPreferredDevices=Joystick;Keyboard;Mouse\r\n"
                         "\tPlayer 1\r\n"
                         "\t\tFire\r\n"
                         "\t\t\tJoystick\r\n"
                         "\t\t\t\tJOY_BUTTON1\r\n"
                         "\t\t\tKeyboard\r\n"
                         "\t\t\t\tKEY_VK_SPACE\r\n"
                         "\t\tRight\r\n"
                         "\t\t\tJoystick\r\n"
                         "\t\t\t\tJOY_RIGHT\r\n"
                         "\t\t\t\tJOY_POV1\r\n"
                         "\tPlayer 2\r\n"
                         "\t\tFire\r\n"
                         "\t\t\tKeyboard\r\n"
                         "\t\t\t\tKEY_VK_A+KEY_VK_SHIFT\r\n"
                         "Walk\r\n"
                         "\tPlayer 1\r\n";

class GameInputRun : public GameInputProjectRun {
protected:
    GameInputRun() : GameInputProjectRun(kSettings) {}
};

TEST_F(GameInputRun, AutoStartReadsKeysAndAJoystick) {
    int pad = platform::test::AttachVirtualJoystick(6, 32, 1, "Test pad");
    ASSERT_GE(pad, 0);
    platform::test::SetVirtualJoystickButton(pad, 0, true);
    platform::test::SetVirtualJoystickAxis(pad, 0, 16384);
    platform::test::SetVirtualJoystickHat(pad, 0, 2);
    std::vector<std::string> lines =
        Run(WaitFor("d.IsStarted()") +
                "out.WriteLn(d.GetCurrentSettingName(), \" \", "
                "d.GetPlayerDeviceType(0), \" \", d.GetPlayerDeviceType(1));\n"
                "out.WriteLn(d.GetDeviceValue(0, \"fire\"), \" \", "
                "d.GetDeviceValue(\"Right\", 0));\n" +
                WaitFor("d.GetDeviceValue(1, \"Fire\")") +
                "out.WriteLn(d.GetDeviceValue(1, \"Fire\"), \" \", "
                "Keyboard.IsKeyDown(\"a\"), \" \", Keyboard.IsKeyDown(\"A\"));\n",
            1, 5, "window Game\nkeydown Shift\nkeydown A\nwait 10\n");
    // The default game type beyond the count starts game type 0. The pad's first button
    // and its right-hand axis at half way (the hat to the right decides only when the axis
    // gives 0): through DirectInput's 0..65535 range, half of the full value.
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Race 2 1");
    EXPECT_EQ(lines[1], "65535 32768");
    EXPECT_EQ(lines[2], "65535 1 1");
}

TEST_F(GameInputRun, WithoutDirectInputPlayersReadTheSystemDevices) {
    platform::test::DirectInputRefusal refusal;
    int pad = platform::test::AttachVirtualJoystick(6, 32, 1, "Test pad");
    ASSERT_GE(pad, 0);
    platform::test::SetVirtualJoystickButton(pad, 0, true);
    platform::test::SetVirtualJoystickAxis(pad, 0, 16384);
    std::vector<std::string> lines =
        Run(WaitFor("d.IsStarted()") +
                "out.WriteLn(d.GetPlayerDeviceType(0), \" \", d.GetPlayerDeviceType(1));\n"
                "out.WriteLn(d.GetDeviceValue(0, \"Fire\"), \" \", "
                "d.GetDeviceValue(\"Right\", 0), \" \", d.HasFFSupport(0));\n" +
                WaitFor("d.GetDeviceValue(1, \"Fire\")") +
                "out.WriteLn(d.GetDeviceValue(1, \"Fire\"));\n",
            1, 0, "window Game\nkeydown Shift\nkeydown A\nwait 10\n");
    // The multimedia joystick and the key state: the pad's 0..65535 reads one step past
    // its centre.
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "2 1");
    EXPECT_EQ(lines[1], "65535 32770 0");
    EXPECT_EQ(lines[2], "65535");
}

TEST_F(GameInputRun, OneStartAtATimeAndTheGameTypesByName) {
    std::vector<std::string> lines =
        Run("g = New GameInput(w);\n" + WaitFor("d.IsStarted()") +
                "out.WriteLn(g.GetSettingCount(), \" \", g.Start(), \" \", g.Start(0));\n"
                "g.Stop();\n"
                "out.WriteLn(g.Start(\"WALK\"), \" \", g.GetCurrentSettingIndex(), \" \", "
                "g.GetPlayerCount(), \" \", d.Start());\n"
                "out.WriteLn(g.GetSettingName(-1), \" \", g.GetSettingName(), \" \", "
                "g.GetSettingName(0));\n"
                "g.Stop();\n"
                "out.WriteLn(g.IsStarted(), \" \", g.GetPlayerCount(), \" \", "
                "g.GetCurrentSettingIndex(), \" [\", g.GetCurrentSettingName(), \"] \", "
                "g.GetDeviceValue(0, \"Fire\"), \" \", g.HasFFSupport(), \" \", "
                "g.GetFFDevice(), \" \", g.SetupDialog());\n",
            1, 1);
    ASSERT_EQ(lines.size(), 4u);
    // The start's GameInput took Walk by itself: a second object cannot start until a
    // Stop, on any GameInput, clears the process-wide flag.
    EXPECT_EQ(lines[0], "2 0 0");
    EXPECT_EQ(lines[1], "1 1 1 0");
    EXPECT_EQ(lines[2], "Walk Walk Race");
    EXPECT_EQ(lines[3], "0 -1 -1 [] 0 0 0 2");
}

TEST_F(GameInputRun, SettingsAreSavedAndLoadedAgain) {
    const std::string path = folder_.Win("saved.txt");
    std::vector<std::string> lines = Run("g = New GameInput(w);\n"
                                         "out.WriteLn(g.SaveSettings(\"" +
                                             path +
                                             "\"), \" \", g.LoadSettings(\"\"), \" \", "
                                             "g.GetSettingCount());\n"
                                             "out.WriteLn(g.LoadSettings(\"" +
                                             path +
                                             "\"), \" \", g.GetSettingCount(), \" \", "
                                             "g.GetSettingName(1));\n",
                                         0, 0);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "1 0 0");
    EXPECT_EQ(lines[1], "1 2 Walk");
}

TEST_F(GameInputRun, ShiftTabGoesBackAndAltKeysCarryTheirFlag) {
    std::vector<std::string> lines =
        Run("n = 0;\n"
            "Function Down(o, code, flags, text) {\n"
            "    out.WriteLn(code, \" \", flags, \" [\", text, \"]\");\n"
            "    n++;\n"
            "}\n"
            "a = New Edit(\"a\", Edit.TABSTOP, 10, 10, 80, 20);\n"
            "b = New Edit(\"b\", Edit.TABSTOP, 10, 40, 80, 20);\n"
            "a.OnKeyDown = Down;\n"
            "b.SetFocus();\n" +
                WaitFor("n >= 2") + "out.WriteLn(a.HasFocus(), b.HasFocus());\n",
            0, 0,
            "window Game\nwait 100\nkeydown Shift\nkey Tab\nkeyup Shift\nkeydown Alt\n"
            "key Q\nkeyup Alt\n");
    ASSERT_EQ(lines.size(), 3u);
    // Alt itself is a key the constants name; Alt+Q gives flag 4 whatever the key state
    // says by then. Shift+Tab went from b back to a, whose handler saw no Tab.
    EXPECT_EQ(lines[0], "18 4 []");
    EXPECT_EQ(lines[1], "81 4 [Q]");
    EXPECT_EQ(lines[2], "10");
}

} // namespace
