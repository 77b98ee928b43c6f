// Other programs started by the player, with Windows process calls over posix_spawn.
//
// CreateProcessA splits the command line as the Microsoft C runtime does
// (command_line.h) and looks the program up: a name with a separator is a path through
// the drive mapping; a bare name is looked for in the application's folder, the current
// directory, then the folders of PATH. Each place is tried with the name as given and,
// when it ends in ".exe", without that extension. The child starts in the layer's current
// directory (or the one given) with the arguments in UTF-8, default signal dispositions
// and only descriptors 0-2. Handles are not inherited whatever the flag says.
//
// The process handle watches the child through a pidfd. A child killed by a signal
// reports the code given to TerminateProcess, or else 128 + the signal number.
// CloseHandle reaps an ended child; a running one is handed to a reaper thread that
// collects it when it ends, so no zombie is left behind.
//
// The primary thread's id names the process for PostThreadMessageA: WM_QUIT sends it
// SIGTERM (its wParam cannot travel); other messages are refused with
// ERROR_INVALID_THREAD_ID. The thread handle only needs closing.
#pragma once

#include "platform/kernel/win_types.h"

inline constexpr DWORD STILL_ACTIVE = 259;
inline constexpr DWORD NORMAL_PRIORITY_CLASS = 0x20;
inline constexpr DWORD ERROR_BAD_EXE_FORMAT = 193;

// Only cb is read; the window placement fields mean nothing to a Linux child.
struct STARTUPINFOA {
    DWORD cb;
    LPSTR lpReserved;
    LPSTR lpDesktop;
    LPSTR lpTitle;
    DWORD dwX;
    DWORD dwY;
    DWORD dwXSize;
    DWORD dwYSize;
    DWORD dwXCountChars;
    DWORD dwYCountChars;
    DWORD dwFillAttribute;
    DWORD dwFlags;
    WORD wShowWindow;
    WORD cbReserved2;
    BYTE* lpReserved2;
    HANDLE hStdInput;
    HANDLE hStdOutput;
    HANDLE hStdError;
};
using LPSTARTUPINFOA = STARTUPINFOA*;

struct PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
};
using LPPROCESS_INFORMATION = PROCESS_INFORMATION*;

// `environment`, when given, is a Windows block of "NAME=value" texts each ended by a
// zero byte, the block by a second one. Failures: ERROR_FILE_NOT_FOUND (no such program),
// ERROR_ACCESS_DENIED, ERROR_BAD_EXE_FORMAT, ERROR_DIRECTORY (no such start folder).
BOOL CreateProcessA(LPCSTR applicationName, LPSTR commandLine,
                    LPSECURITY_ATTRIBUTES processAttributes, LPSECURITY_ATTRIBUTES threadAttributes,
                    BOOL inheritHandles, DWORD creationFlags, LPVOID environment,
                    LPCSTR currentDirectory, LPSTARTUPINFOA startupInfo,
                    LPPROCESS_INFORMATION processInformation);
// STILL_ACTIVE while the child runs.
BOOL GetExitCodeProcess(HANDLE process, LPDWORD exitCode);
// SIGKILL; the exit code becomes `exitCode` once the child is gone. A child already
// ended and collected is refused with ERROR_ACCESS_DENIED, as Windows does.
BOOL TerminateProcess(HANDLE process, UINT exitCode);
