// The libraries a packed player maps while it runs a project that needs none of the
// optional ones: a new link-time dependency of the player shows here.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
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

} // namespace
