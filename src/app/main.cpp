// The player: runs the project appended to its own file (or, for development and tests,
// the project file named by ZORV_PROJECT) with the arguments it was given.
//
// Exit status: 0 after a normal end, 1 after a failed run (its message box was shown) or
// when the input script named by ZORV_INPUT is bad or a step of it cannot be taken, 2 when
// there is no project data or it cannot be read.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "classes/dialogs/dialog_classes.h"
#include "classes/input/input_classes.h"
#include "classes/media/media_classes.h"
#include "classes/net/net_classes.h"
#include "classes/scene3d/scene3d_classes.h"
#include "classes/surface/surface_classes.h"
#include "classes/system/system_classes.h"
#include "classes/window/window_classes.h"
#include "engine3d/render/registry.h"
#include "foundation/memory/result_codes.h"
#include "platform/display/input_script.h"
#include "platform/files/drives.h"
#include "platform/kernel/cp1252.h"
#include "platform/shell/launcher.h"
#include "script/classes/script_classes.h"
#include "script/project/project_file.h"
#include "script/runtime/command_line.h"
#include "script/runtime/launch_info.h"
#include "script/runtime/run_application.h"

namespace {

// The one module of the process.
constexpr HINSTANCE kPlayerInstance = 1;

std::string ToCp1252(const char* text) {
    std::string converted;
    platform::Utf8ToCp1252(text, converted);
    return converted;
}

// The command line as the script sees it, in the system's character set.
std::string BuildCommandLine(int argc, char** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(ToCp1252(argv[i]));
    return JoinArguments(arguments);
}

// The project file as a path of the player's file layer.
std::string ProjectPath(const char* linuxPath) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(linuxPath, error);
    std::string windowsPath;
    if (!error && platform::LinuxToWindowsPath(absolute.string(), windowsPath)) return windowsPath;
    return ToCp1252(linuxPath);
}

// For the one who started the player bare, expecting it to do something.
constexpr const char* kHowToGiveAProject =
    "  The player runs the project appended to its own file. To give it one:\n"
    "    zorv-pack PROJECT_DIR OUTPUT    writes OUTPUT, a copy of the player carrying the\n"
    "                                    project; run OUTPUT (tools/run PROJECT_DIR does both)\n"
    "    zorv-pack --bare PROJECT_DIR FILE, then ZORV_PROJECT=FILE zorv\n";

int ReportNoProject(const CLaunchInfo& launch, const char* projectFile) {
    const char* where = projectFile != nullptr ? projectFile : "this program";
    const auto code = uint32_t(launch.errorCode);
    if (code == 0) {
        std::fprintf(stderr, "zorv: the player could not start\n");
    } else if (code == kResultNoProjectData) {
        std::fprintf(stderr, "zorv: no project data found in %s\n", where);
        if (projectFile == nullptr) std::fputs(kHowToGiveAProject, stderr);
    } else if (const char* meaning = ResultCodeText(code)) {
        std::fprintf(stderr, "zorv: the project data in %s cannot be read (error 0x%08X: %s)\n",
                     where, code, meaning);
    } else {
        std::fprintf(stderr, "zorv: the project data in %s cannot be read (error 0x%08X)\n", where,
                     code);
    }
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    CLaunchInfo launch;
    SetInstanceHandle(kPlayerInstance);
    launch.commandLine = BuildCommandLine(argc, argv);
    const char* projectFile = std::getenv("ZORV_PROJECT");
    if (projectFile != nullptr && projectFile[0] == 0) projectFile = nullptr;
    if (projectFile != nullptr) launch.projectPath = ProjectPath(projectFile);
    // Only the player itself starts browsers and session programs; tests record them.
    platform::InstallPlayerLauncher();
    RegisterSystemClasses();
    RegisterWindowClasses();
    RegisterSurfaceClasses();
    RegisterDialogClasses();
    RegisterInputClasses();
    RegisterMediaClasses();
    RegisterScene3DClasses();
    RegisterNetClasses();
    RegisterScriptClasses();
    // Made here, so that it outlives every interpreter and every holder of its back ends.
    SetAPIRegistry(&GetBackEndRegistry());
    // A run driven by an input script (tests, examples) ends when a step cannot be taken.
    if (!platform::headless::InstallInputScriptFromEnvironment(
            [&launch] { launch.stopRequest = 1; }))
        return 1;
    RunApplication(launch);
    if (platform::headless::InputScriptFailed()) return 1;
    switch (launch.outcome) {
    case RunOutcome::Ended:
        return 0;
    case RunOutcome::Failed:
        return 1;
    default:
        return ReportNoProject(launch, projectFile);
    }
}
