#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "platform/files/files.h"
#include "platform/last_error.h"
#include "platform/process/process.h"
#include "platform/user/messages.h"
#include "support/temp_dir.h"

namespace {

// Starts a command line; 0 when it fails.
PROCESS_INFORMATION Start(std::string commandLine) {
    PROCESS_INFORMATION info{};
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS,
                        nullptr, nullptr, &startup, &info))
        return PROCESS_INFORMATION{};
    CloseHandle(info.hThread);
    return info;
}

DWORD WaitForExit(HANDLE process) {
    DWORD code = STILL_ACTIVE;
    for (int i = 0; i < 2000 && code == STILL_ACTIVE; ++i) {
        if (!GetExitCodeProcess(process, &code)) return 0xDEADu;
        if (code == STILL_ACTIVE) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return code;
}

// The helper's report, once it has written it.
std::string WaitForReport(const test_support::TempDir& dir, const std::string& name) {
    for (int i = 0; i < 2000 && !dir.Exists(name); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return dir.Exists(name) ? dir.ReadFile(name) : std::string();
}

std::string Helper() {
    return std::string("\"") + ZORV_CHILD_HELPER + "\"";
}

bool IsGone(pid_t pid) {
    struct stat info {};
    return stat(("/proc/" + std::to_string(pid)).c_str(), &info) != 0;
}

TEST(Process, ChildGetsTheSplitArgumentsAndOnlyTheStandardDescriptors) {
    test_support::TempDir dir;
    // A descriptor that is not close-on-exec must not reach the child either.
    int leaky = open("/dev/null", O_RDONLY);
    ASSERT_GE(leaky, 3);
    PROCESS_INFORMATION info = Start(Helper() + " " + dir.Linux("report") +
                                     " exit 0 \"a b\" c\\\\d e\\\"f \"g\\\\\" \"\"");
    close(leaky);
    ASSERT_NE(info.hProcess, 0u);
    EXPECT_EQ(WaitForExit(info.hProcess), 0u);
    EXPECT_EQ(dir.ReadFile("report"), "arg:" ZORV_CHILD_HELPER "\narg:" + dir.Linux("report") +
                                          "\narg:exit\narg:0\narg:a b\narg:c\\\\d\narg:e\"f\n"
                                          "arg:g\\\narg:\nfd:0\nfd:1\nfd:2\n");
    EXPECT_TRUE(CloseHandle(info.hProcess));
}

TEST(Process, ExitCodesFollowTheChild) {
    PROCESS_INFORMATION info = Start(Helper() + " - wait");
    ASSERT_NE(info.hProcess, 0u);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeProcess(info.hProcess, &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    EXPECT_TRUE(TerminateProcess(info.hProcess, 3));
    EXPECT_EQ(WaitForExit(info.hProcess), 3u);
    // Collected: nothing left to end.
    EXPECT_EQ(ErrorOf(TerminateProcess(info.hProcess, 4), FALSE), ERROR_ACCESS_DENIED);
    EXPECT_EQ(WaitForExit(info.hProcess), 3u);
    CloseHandle(info.hProcess);

    info = Start(Helper() + " - exit 7");
    EXPECT_EQ(WaitForExit(info.hProcess), 7u);
    CloseHandle(info.hProcess);

    // Killed by a signal we did not send as TerminateProcess: 128 + the signal.
    info = Start("/bin/sh -c \"kill -9 $$\"");
    EXPECT_EQ(WaitForExit(info.hProcess), 128u + 9u);
    CloseHandle(info.hProcess);
}

TEST(Process, QuitMessageToTheChildIsSigterm) {
    PROCESS_INFORMATION info = Start(Helper() + " - wait");
    ASSERT_NE(info.hProcess, 0u);
    EXPECT_EQ(ErrorOf(PostThreadMessageA(info.dwThreadId, WM_USER, 0, 0), FALSE),
              ERROR_INVALID_THREAD_ID);
    EXPECT_TRUE(PostThreadMessageA(info.dwThreadId, WM_QUIT, 5, 0));
    EXPECT_EQ(WaitForExit(info.hProcess), 128u + 15u);
    EXPECT_EQ(ErrorOf(PostThreadMessageA(info.dwThreadId, WM_QUIT, 5, 0), FALSE),
              ERROR_INVALID_THREAD_ID);
    CloseHandle(info.hProcess);
}

TEST(Process, ClosingTheHandleLeavesNoZombie) {
    test_support::TempDir dir;
    PROCESS_INFORMATION ended = Start(Helper() + " - exit 0");
    PROCESS_INFORMATION running = Start(Helper() + " " + dir.Linux("ready") + " wait");
    ASSERT_NE(running.hProcess, 0u);
    ASSERT_FALSE(WaitForReport(dir, "ready").empty());
    // The first has ended (or soon will) without anyone asking; the second still runs.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(CloseHandle(ended.hProcess));
    EXPECT_TRUE(CloseHandle(running.hProcess));
    EXPECT_FALSE(IsGone(pid_t(running.dwProcessId)));
    kill(pid_t(running.dwProcessId), SIGKILL);
    bool gone = false;
    for (int i = 0; i < 2000 && !gone; ++i) {
        gone = IsGone(pid_t(ended.dwProcessId)) && IsGone(pid_t(running.dwProcessId));
        if (!gone) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_TRUE(gone);
}

TEST(Process, FindsProgramsAndStartsInTheCurrentDirectory) {
    test_support::TempDir dir;
    char saved[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, saved);
    ASSERT_EQ(symlink(ZORV_CHILD_HELPER, dir.Linux("Child").c_str()), 0);
    ASSERT_TRUE(SetCurrentDirectoryA(dir.WinPath().c_str()));
    // In the current directory, without regard to case and without its ".exe".
    PROCESS_INFORMATION info = Start("child.EXE report exit 4");
    EXPECT_EQ(WaitForExit(info.hProcess), 4u);
    CloseHandle(info.hProcess);
    EXPECT_NE(dir.ReadFile("report").find("arg:child.EXE\n"), std::string::npos);
    // From PATH, in the current directory.
    info = Start("sh -c \"pwd > where\"");
    EXPECT_EQ(WaitForExit(info.hProcess), 0u);
    CloseHandle(info.hProcess);
    char real[4096];
    ASSERT_NE(realpath(dir.LinuxPath().c_str(), real), nullptr);
    EXPECT_EQ(dir.ReadFile("where"), std::string(real) + "\n");
    EXPECT_EQ(ErrorOf(CreateProcessA(nullptr, std::string("no-such-program-here").data(), nullptr,
                                     nullptr, FALSE, 0, nullptr, nullptr, nullptr, &info),
                      FALSE),
              ERROR_FILE_NOT_FOUND);
    SetCurrentDirectoryA(saved);
}

} // namespace
