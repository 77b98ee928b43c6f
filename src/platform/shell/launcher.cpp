#include "platform/shell/launcher.h"

#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

extern char** environ;

namespace {

std::mutex lock;
std::vector<std::vector<std::string>> recorded;
bool recordedResult = true;

bool Record(const std::vector<std::string>& argv) {
    std::lock_guard<std::mutex> guard(lock);
    recorded.push_back(argv);
    return recordedResult;
}

bool WriteToStandardError(const std::vector<std::string>& argv) {
    std::string line = "launch:";
    for (const std::string& argument : argv)
        line += " " + argument;
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
    return true;
}

bool Spawn(const std::vector<std::string>& argv) {
    if (argv.empty()) return false;
    std::vector<char*> pointers;
    for (const std::string& argument : argv)
        pointers.push_back(const_cast<char*>(argument.c_str()));
    pointers.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawnp(&child, pointers[0], nullptr, nullptr, pointers.data(), environ) != 0)
        return false;
    // The player does not wait for it, but its end is collected so that no zombie stays.
    std::thread([child] { waitpid(child, nullptr, 0); }).detach();
    return true;
}

platform::Launcher launcher = &Record;

} // namespace

namespace platform {

void InstallPlayerLauncher() {
    const char* mode = std::getenv("ZORV_SHELL");
    std::lock_guard<std::mutex> guard(lock);
    launcher = mode != nullptr && std::strcmp(mode, "record") == 0 ? &WriteToStandardError : &Spawn;
}

bool Launch(const std::vector<std::string>& argv) {
    Launcher current;
    {
        std::lock_guard<std::mutex> guard(lock);
        current = launcher;
    }
    return current(argv);
}

} // namespace platform

namespace platform::test {

std::vector<std::vector<std::string>> RecordedLaunches() {
    std::lock_guard<std::mutex> guard(lock);
    return recorded;
}

void ClearRecordedLaunches() {
    std::lock_guard<std::mutex> guard(lock);
    recorded.clear();
    recordedResult = true;
}

void SetRecordedLaunchResult(bool started) {
    std::lock_guard<std::mutex> guard(lock);
    recordedResult = started;
}

} // namespace platform::test
