#include "platform/process/pidfd.h"
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/files/drives.h"
#include "platform/files/errno_mapping.h"
#include "platform/files/files.h"
#include "platform/files/path_mapping.h"
#include "platform/kernel/cp1252.h"
#include "platform/kernel/errors.h"
#include "platform/process/command_line.h"
#include "platform/process/process.h"
#include "platform/process/process_object.h"
#include "platform/system/module_file.h"

extern char** environ;

namespace platform {
namespace {

bool EndsWithExe(const std::string& name) {
    return name.size() > 4 &&
           Cp1252EqualNoCase(std::string_view(name).substr(name.size() - 4), ".exe");
}

// The name as given, then without its ".exe".
std::vector<std::string> ProgramNames(const std::string& name) {
    std::vector<std::string> names{name};
    if (EndsWithExe(name)) names.push_back(name.substr(0, name.size() - 4));
    return names;
}

bool IsRunnable(const std::string& linuxPath) {
    struct stat info {};
    return stat(linuxPath.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(linuxPath.c_str(), X_OK) == 0;
}

// A Windows path through the drive mapping, when it names a runnable file.
bool FindMapped(const std::string& windowsPath, std::string& linuxPath) {
    MappedPath mapped;
    DWORD saved = GetLastError();
    bool found = MapWindowsPath(windowsPath.c_str(), mapped) && IsRunnable(mapped.linuxPath);
    SetLastError(saved);
    if (found) linuxPath = mapped.linuxPath;
    return found;
}

std::string ApplicationFolder() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(0, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    std::string folder(path, length);
    size_t cut = folder.find_last_of("\\/");
    return cut == std::string::npos ? std::string() : folder.substr(0, cut);
}

std::string CurrentFolder() {
    char path[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(MAX_PATH, path);
    return length == 0 || length >= MAX_PATH ? std::string() : std::string(path, length);
}

bool FindProgram(const std::string& program, std::string& linuxPath) {
    std::vector<std::string> names = ProgramNames(program);
    if (program.find_first_of("\\/:") != std::string::npos) {
        for (const std::string& name : names) {
            if (FindMapped(name, linuxPath)) return true;
        }
        return false;
    }
    for (const std::string& folder : {ApplicationFolder(), CurrentFolder()}) {
        if (folder.empty()) continue;
        for (const std::string& name : names) {
            if (FindMapped(folder + "\\" + name, linuxPath)) return true;
        }
    }
    const char* path = std::getenv("PATH");
    std::string list = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(':', start);
        if (end == std::string::npos) end = list.size();
        std::string folder = list.substr(start, end - start);
        start = end + 1;
        if (folder.empty()) continue;
        for (const std::string& name : names) {
            std::string candidate = JoinLinuxPath(folder, Cp1252ToUtf8(name));
            if (IsRunnable(candidate)) {
                linuxPath = candidate;
                return true;
            }
        }
    }
    return false;
}

// The texts of a Windows environment block, in UTF-8.
std::vector<std::string> EnvironmentTexts(const char* block) {
    std::vector<std::string> texts;
    while (*block != 0) {
        std::string text(block);
        block += text.size() + 1;
        texts.push_back(Cp1252ToUtf8(text));
    }
    return texts;
}

std::vector<char*> PointersTo(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Spawn attributes and actions released on every path.
struct SpawnSetup {
    SpawnSetup() {
        posix_spawnattr_init(&attributes);
        posix_spawn_file_actions_init(&actions);
    }
    ~SpawnSetup() {
        posix_spawnattr_destroy(&attributes);
        posix_spawn_file_actions_destroy(&actions);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    posix_spawnattr_t attributes;
    posix_spawn_file_actions_t actions;
};

} // namespace
} // namespace platform

BOOL CreateProcessA(LPCSTR applicationName, LPSTR commandLine, LPSECURITY_ATTRIBUTES,
                    LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID environment, LPCSTR currentDirectory,
                    LPSTARTUPINFOA, LPPROCESS_INFORMATION processInformation) {
    using namespace platform;
    if ((applicationName == nullptr && commandLine == nullptr) || processInformation == nullptr)
        return Fail(ERROR_INVALID_PARAMETER);
    std::vector<std::string> arguments =
        SplitCommandLine(commandLine != nullptr ? commandLine : applicationName);
    std::string program = applicationName != nullptr ? applicationName
                          : arguments.empty()        ? std::string()
                                                     : arguments[0];
    if (arguments.empty()) arguments.push_back(program);
    std::string executable;
    if (program.empty() || !FindProgram(program, executable)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    std::string folder;
    std::string windowsFolder = currentDirectory != nullptr ? currentDirectory : CurrentFolder();
    struct stat info {};
    if (!MapPath(windowsFolder.c_str(), folder) || stat(folder.c_str(), &info) != 0 ||
        !S_ISDIR(info.st_mode)) {
        SetLastError(ERROR_DIRECTORY);
        return FALSE;
    }
    for (std::string& argument : arguments)
        argument = Cp1252ToUtf8(argument);
    std::vector<char*> argv = PointersTo(arguments);
    std::vector<std::string> environmentTexts;
    std::vector<char*> envp;
    if (environment != nullptr) {
        environmentTexts = EnvironmentTexts(static_cast<const char*>(environment));
        envp = PointersTo(environmentTexts);
    }

    SpawnSetup setup;
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&setup.attributes, &signals);
    // Signals the player ignores (SIGPIPE, say) must not stay ignored in the child.
    sigfillset(&signals);
    sigdelset(&signals, SIGKILL);
    sigdelset(&signals, SIGSTOP);
    posix_spawnattr_setsigdefault(&setup.attributes, &signals);
    posix_spawnattr_setflags(&setup.attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    posix_spawn_file_actions_addchdir_np(&setup.actions, folder.c_str());
    posix_spawn_file_actions_addclosefrom_np(&setup.actions, 3);

    pid_t pid = 0;
    int error = posix_spawn(&pid, executable.c_str(), &setup.actions, &setup.attributes,
                            argv.data(), environment != nullptr ? envp.data() : environ);
    if (error != 0) {
        SetLastError(error == ENOEXEC ? ERROR_BAD_EXE_FORMAT : Win32ErrorFromErrno(error));
        return FALSE;
    }
    int pidfd = OpenPidfd(pid);
    if (pidfd < 0) {
        int saved = errno;
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        FailWithErrno(saved);
        return FALSE;
    }
    auto process = std::make_shared<ProcessObject>(pid, pidfd);
    HANDLE processHandle = RegisterObject(process);
    if (processHandle == 0) {
        process->Terminate(0);
        return FALSE;
    }
    HANDLE threadHandle = RegisterObject(std::make_shared<ChildThreadObject>());
    if (threadHandle == 0) {
        process->Terminate(0);
        UnregisterObject(processHandle);
        return FALSE;
    }
    AddChildThread(process->ThreadId(), process);
    processInformation->hProcess = processHandle;
    processInformation->hThread = threadHandle;
    processInformation->dwProcessId = DWORD(pid);
    processInformation->dwThreadId = process->ThreadId();
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}
