// The launch block: what the start of the process (or a host thread running the player for
// one of its windows) hands to the run function, and what the run hands back.
#pragma once

#include "platform/user/hwnd.h"
#include "platform/kernel/win_types.h"

#include <atomic>
#include <cstdint>
#include <string>

// How a run ended, for the executable's exit status. The run function itself always
// returns 0; a host that needs more reads this field after it.
enum class RunOutcome : uint32_t {
    NotRun = 0,    // the run function has not finished
    Ended = 1,     // the script ran and ended normally
    Failed = 2,    // the script failed (a message box was shown, or code 129 said it was)
    NoProject = 3, // the interpreter could not start: project data missing or unreadable
};

class CLaunchInfo {
public:
    CLaunchInfo();
    CLaunchInfo(const CLaunchInfo&) = delete;
    CLaunchInfo& operator=(const CLaunchInfo&) = delete;

    std::string commandLine;
    uint32_t hosted = 0;
    uint32_t notifyOnEnd = 0;
    HWND hostWindow = 0;
    // Waited on before start-up and released at the very end; 0 = none.
    HANDLE mutex = 0;
    // Released once when the project is loaded or loading failed; 0 = none.
    HANDLE semaphore = 0;
    // A host sets it from its own thread to end the run; the statement loop polls it.
    std::atomic<uint32_t> stopRequest{0};
    DWORD threadId = 0;
    uint32_t reserved1 = 0;
    // 1: register every built-in script class instead of the project's class list.
    uint32_t allClasses = 0;
    uint32_t reserved2 = 0;
    std::string secondString;

    // A project file to read instead of the data appended to the program (development
    // and tests); empty = the program's own file.
    std::string projectPath;

    RunOutcome outcome = RunOutcome::NotRun;
    // The project's error code after a failed run (0 otherwise).
    int32_t errorCode = 0;
};

// The instance handle of the process, stored before anything else runs; the project
// reader, the image-file manager and the game input read it.
HINSTANCE GetInstanceHandle();
void SetInstanceHandle(HINSTANCE instance);
