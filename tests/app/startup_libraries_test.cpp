// The libraries a packed player maps while it runs a project that needs none of the
// optional ones: a new link-time dependency of the player shows here. And what a project
// meets when one of them cannot be loaded.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>

#include "app/player_run.h"
#include "support/temp_dir.h"

namespace {

// Says it has started, then idles until it is ended.
const char kScript[] = R"(started = New File("started.txt", File.WRITEONLY);
started.WriteLn("started");
started.Close();
For (waited = 0; waited < 30000; waited = waited + 50) Program.Wait(50);
)";

// The distinct shared objects in a process's memory map.
std::set<std::string> MappedLibraries(pid_t pid) {
    std::set<std::string> libraries;
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    std::string line;
    while (std::getline(maps, line)) {
        const size_t path = line.find('/');
        if (path != std::string::npos && line.find(".so", path) != std::string::npos)
            libraries.insert(line.substr(path));
    }
    return libraries;
}

TEST(StartupLibraries, APlayerRunningAProjectWithoutMediaMapsFewLibraries) {
    test_support::TempDir folder;
    folder.WriteFile("game/project.zpk", "entry Idle\n  module main.zs\n");
    folder.WriteFile("game/main.zs", kScript);
    ASSERT_TRUE(app_test::PackFolder(folder));
    // Started as RunPlayer starts the player, but in the background, for its pid.
    const std::string command = "cd " + app_test::ShellQuote(folder.LinuxPath()) +
                                " && { env -u ZORV_PROJECT -u ZORV_SHELL ZORV_DISPLAY=headless"
                                " ./packed 2>stderr.txt & echo $! >pid.txt; }";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const pid_t pid = std::stoi(folder.ReadFile("pid.txt"));
    bool started = false;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!started && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        std::ifstream file(folder.Linux("started.txt"));
        std::string word;
        started = std::getline(file, word) && word.starts_with("started"); // CR LF ends it
    }
    const std::set<std::string> libraries = MappedLibraries(pid);
    kill(pid, SIGKILL);
    ASSERT_TRUE(started) << folder.ReadFile("stderr.txt");
    std::string names;
    for (const std::string& library : libraries)
        names += library + "\n";
    EXPECT_LE(libraries.size(), 37u) << names;
    for (const char* optional :
         {"libSDL2", "libavformat", "libfluidsynth", "libopenmpt", "libespeak-ng", "libcups",
          "libcairo", "libcurl", "libsystemd", "libX11", "libfontconfig", "libfreetype", "libpng",
          "libjpeg", "libffi"})
        EXPECT_EQ(names.find(optional), std::string::npos) << optional << " is mapped:\n" << names;
}

// libpng replaced by a file that is no library: the window's picture is not dumped, the
// picture element does not decode (a script error, as for a damaged file), and the package
// to install is named once for both.
TEST(StartupLibraries, AMissingPictureLibraryFailsThePicturesAndNamesItsPackage) {
    test_support::TempDir folder;
    folder.WriteFile("game/project.zpk", "entry Game\n  module main.zs\n  bank image Pictures\n"
                                         "    file floor.png name=floor\n");
    std::filesystem::copy_file(std::filesystem::path(ZORV_SOURCE_DIR) /
                                   "examples/3d-walk/generator/floor.png",
                               folder.Linux("game/floor.png"));
    folder.WriteFile("game/main.zs", "w = New Window(\"Run\", 40, 30, 20, 20);\n"
                                     "w.Rectangle(0, 0, 20, 20);\n"
                                     "Delete w;\n"
                                     "s = New Surface(\"floor\");\n");
    folder.WriteFile("missing/libpng16.so.16", "not a library");
    std::filesystem::create_directories(folder.Linux("pictures"));
    ASSERT_TRUE(app_test::PackFolder(folder));
    const app_test::PlayerOutcome outcome = app_test::RunPlayer(
        folder, folder.Linux("packed"), {},
        "LD_LIBRARY_PATH=" + app_test::ShellQuote(folder.Linux("missing")) +
            " ZORV_HEADLESS_DUMP=" + app_test::ShellQuote(folder.Linux("pictures")));
    EXPECT_EQ(outcome.exitCode, 1) << outcome.errors;
    EXPECT_TRUE(std::filesystem::is_empty(folder.Linux("pictures")));
    const std::string said = outcome.errors;
    const size_t named = said.find("libpng16.so.16 cannot be loaded");
    ASSERT_NE(named, std::string::npos) << said;
    EXPECT_EQ(said.find("libpng16.so.16 cannot be loaded", named + 1), std::string::npos) << said;
    EXPECT_NE(said.find("install the package"), std::string::npos) << said;
    EXPECT_NE(said.find("#9"), std::string::npos) << said;
}

} // namespace
