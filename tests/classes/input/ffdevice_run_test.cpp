// FFDevice in a whole run: the device GameInput hands out for a player on a pad with force
// feedback (a recording device stands in for the pad's motors) loads an effect file, plays
// and stops the effect, names its type, and takes effect ids that name nothing.
#include <gtest/gtest.h>

#include "classes/input/game_input_project.h"

#include <fstream>
#include <string>
#include <vector>

#include "platform/display/headless_display.h"
#include "platform/input/ff_device.h"
#include "platform/input/joystick.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/test_hooks.h"
#include "support/recording_force_feedback.h"
#include "support/temp_dir.h"

namespace {

const char kSettings[] = "Race\r\n"
                         "\tPreferredDevices=Joystick;Keyboard;Mouse\r\n"
                         "\tPlayer 1\r\n"
                         "\t\tFire\r\n"
                         "\t\t\tJoystick\r\n"
                         "\t\t\t\tJOY_BUTTON1\r\n";

class FFDeviceRun : public GameInputProjectRun {
protected:
    FFDeviceRun() : GameInputProjectRun(kSettings) {}
};

using Calls = std::vector<std::string>;

TEST_F(FFDeviceRun, EffectsFromAFileOnThePlayersPad) {
    int pad = platform::test::AttachVirtualJoystick(2, 8, 0, "Rumble pad");
    ASSERT_GE(pad, 0);
    auto recorder = std::make_shared<test_support::RecordingForceFeedback>();
    platform::test::AttachForceFeedback(pad, recorder);
    folder_.WriteFile("bump.ffe", "[GeneralValues]\r\nEffectName=periodic\r\nDuration=250000\r\n"
                                  "[CustomValues]\r\ndwMagnitude=10000\r\ndwPeriod=50000\r\n");
    std::vector<std::string> lines = Run(
        WaitFor("d.IsStarted()") +
            "f = d.GetFFDevice(0);\n"
            "out.WriteLn(d.HasFFSupport(0), \" \", f.GetDeviceType(), \" \", f.GetDeviceName());\n"
            "e = f.CreateEffectFromFile(\"" +
            folder_.Win("bump.ffe") +
            "\");\n"
            "out.WriteLn(e, \" \", f.GetEffectName(e), \" \", f.GetEffectType(e), \" \", "
            "f.CreateEffectFromFile(), \" \", f.CreateEffectFromFile(\"" +
            folder_.Win("none.ffe") +
            "\"));\n"
            "f.DownloadEffect(e);\n"
            "f.StartEffect(e);\n"
            "f.StopEffect(e);\n"
            "f.StartEffect(-1);\n"
            "f.StopEffect(-5);\n"
            "f.DownloadEffect(-5);\n"
            "f.UnloadEffect(-1);\n"
            "out.WriteLn(\"[\", f.GetEffectName(-1), \"] \", f.GetEffectType(-1), \" [\", "
            "f.GetEffectName(-5), \"] \", f.GetEffectType(-5), \" \", f.GetEffectType(1));\n"
            "f.PauseAllEffect();\n"
            "f.ContinueAllEffect();\n"
            "f.ResetAllEffect();\n",
        1, 0);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "1 3 Rumble pad");
    EXPECT_EQ(lines[1], "0 Sine 6 -1 -1");
    EXPECT_EQ(lines[2], "[] 0 [] 0 0");
    Calls calls = recorder->Take();
    // Made, brought up to date by the download, started once, stopped; then the commands,
    // and the stop of everything as the pad closes.
    ASSERT_GE(calls.size(), 9u);
    EXPECT_EQ(Calls(calls.begin(), calls.begin() + 9),
              (Calls{"new 0", "update 0", "update 0", "run 0 1", "stop 0", "pause", "unpause",
                     "stopall", "stop 0"}));
    EXPECT_TRUE(recorder->effects.empty());
}

} // namespace
