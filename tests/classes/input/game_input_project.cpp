#include "classes/input/game_input_project.h"

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

namespace pf = project_format;

void GameInputProjectRun::SetUp() {
    platform::headless::Install();
    RegisterSystemClasses();
    RegisterWindowClasses();
    RegisterInputClasses();
    RegisterScriptClasses();
}

void GameInputProjectRun::TearDown() {
    for (uint32_t id = 1; id < kBuiltinClassCount; ++id)
        UnregisterScriptClass(id);
    UnregisterInputClasses();
    platform::test::DetachForceFeedback();
    platform::test::DetachVirtualJoysticks();
}

std::vector<std::string> GameInputProjectRun::Run(const std::string& body, uint16_t autoStart,
                                                  uint32_t defaultType, const std::string& steps) {
    const std::string source = "w = New Window(\"Game\", 100, 80);\n"
                               "d = Program.GetDefaultGameInput();\n"
                               "out = New File(\"" +
                               folder_.Win("results.txt") + "\");\n" + body + "out.Close();\n";
    PackProject project;
    project.classes = {"Window", "Edit", "File", "Program", "GameInput", "Keyboard", "FFDevice"};
    PackEntry entry;
    entry.name = "Main";
    PackGameInput input;
    input.flag = 1;
    input.autoStart = autoStart;
    input.defaultSetting = defaultType;
    input.settings = settings_;
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

std::string WaitFor(const std::string& expression) {
    return "For (i = 0; i < 300 && (" + expression + ") == 0; i++) Program.Wait(10);\n";
}
