// FFDevice in a whole run: the device GameInput hands out for a player on a pad with force
// feedback (a recording device stands in for the pad's motors) loads an effect file, plays
// and stops the effect, names its type, and takes effect ids that name nothing.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "classes/input/input_classes.h"
#include "classes/system/system_classes.h"
#include "classes/window/window_classes.h"
#include "packer/pack_output.h"
#include "packer/project_chunk_writer.h"
#include "packer/project_model.h"
#include "packer/project_writer.h"
#include "platform/display/headless_display.h"
#include "platform/display/input_script.h"
#include "platform/input/ff_device.h"
#include "platform/input/joystick.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/test_hooks.h"
#include "script/classes/base_class.h"
#include "script/classes/class_table.h"
#include "script/classes/script_classes.h"
#include "script/project/project_format.h"
#include "script/runtime/launch_info.h"
#include "script/runtime/run_application.h"
#include "support/recording_force_feedback.h"
#include "support/temp_dir.h"

namespace {

namespace pf = project_format;

const char kSettings[] = "Race\r\n"
                         "\tPreferredDevices=Joystick;Keyboard;Mouse\r\n"
                         "\tPlayer 1\r\n"
                         "\t\tFire\r\n"
                         "\t\t\tJoystick\r\n"
                         "\t\t\t\tJOY_BUTTON1\r\n";

class FFDeviceRun : public ::testing::Test {
protected:
    void SetUp() override {
        platform::headless::Install();
        RegisterSystemClasses();
        RegisterWindowClasses();
        RegisterInputClasses();
        RegisterScriptClasses();
    }
    void TearDown() override {
        for (uint32_t id = 1; id < kBuiltinClassCount; ++id)
            UnregisterScriptClass(id);
        UnregisterInputClasses();
        platform::test::DetachForceFeedback();
        platform::test::DetachVirtualJoysticks();
    }

    // Runs the script in a project that starts the settings above by itself; the lines it
    // wrote.
    std::vector<std::string> Run(const std::string& body, uint16_t autoStart, uint32_t defaultType,
                                 const std::string& steps = "") {
        const std::string source = "w = New Window(\"Game\", 100, 80);\n"
                                   "d = Program.GetDefaultGameInput();\n"
                                   "out = New File(\"" +
                                   folder_.Win("results.txt") + "\");\n" + body + "out.Close();\n";
        PackProject project;
        project.classes = {"Window",    "Edit",     "File",    "Program",
                           "GameInput", "Keyboard", "FFDevice"};
        PackEntry entry;
        entry.name = "Main";
        PackGameInput input;
        input.flag = 1;
        input.autoStart = autoStart;
        input.defaultSetting = defaultType;
        input.settings = kSettings;
        entry.gameInput = input;
        PackElement module;
        module.name = "main.zs";
        module.data.assign(source.begin(), source.end());
        BankOfType(entry, pf::kSourceBank).elements.push_back(module);
        project.entries.push_back(entry);
        ProjectChunkWriter data;
        std::string error;
        EXPECT_TRUE(WriteProjectData(project, data, error)) << error;
        EXPECT_TRUE(WriteBareProject(data.Bytes(), folder_.Linux("project.zp"), error)) << error;
        CLaunchInfo launch;
        launch.projectPath = folder_.Win("project.zp");
        if (!steps.empty()) {
            std::vector<platform::InputStep> parsed;
            EXPECT_TRUE(platform::ParseInputScript(steps, parsed, error)) << error;
            platform::headless::InstallInputScript(std::move(parsed),
                                                   [&launch] { launch.stopRequest = 1; });
        }
        RunApplication(launch);
        platform::headless::Install();
        EXPECT_EQ(launch.outcome, RunOutcome::Ended) << "error " << launch.errorCode;
        std::ifstream file(folder_.Linux("results.txt"));
        std::vector<std::string> lines;
        for (std::string line; std::getline(file, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
        }
        return lines;
    }

    test_support::TempDir folder_;
};

// Waits (a bounded while) until the expression is not 0.
std::string WaitFor(const std::string& expression) {
    return "For (i = 0; i < 300 && (" + expression + ") == 0; i++) Program.Wait(10);\n";
}

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
