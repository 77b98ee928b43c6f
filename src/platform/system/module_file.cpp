#include "platform/system/module_file.h"

#include <unistd.h>

#include <cstring>
#include <mutex>
#include <string>

#include "platform/files/drives.h"
#include "platform/kernel/errors.h"
#include "platform/kernel/test_hooks.h"

namespace {

struct ModulePath {
    std::mutex lock;
    std::string replacement; // a test's Linux file, or empty
};

ModulePath& Override() {
    static auto* path = new ModulePath;
    return *path;
}

std::string ProgramLinuxPath() {
    {
        ModulePath& path = Override();
        std::lock_guard guard(path.lock);
        if (!path.replacement.empty()) return path.replacement;
    }
    std::string linuxPath(4096, '\0');
    ssize_t length = readlink("/proc/self/exe", linuxPath.data(), linuxPath.size());
    if (length <= 0 || static_cast<size_t>(length) >= linuxPath.size()) return {};
    linuxPath.resize(static_cast<size_t>(length));
    return linuxPath;
}

} // namespace

DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
    if (module != 0) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    std::string windowsPath;
    if (!platform::LinuxToWindowsPath(ProgramLinuxPath(), windowsPath)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    if (size == 0 || !fileName) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (windowsPath.size() < size) {
        std::memcpy(fileName, windowsPath.c_str(), windowsPath.size() + 1);
        return static_cast<DWORD>(windowsPath.size());
    }
    std::memcpy(fileName, windowsPath.data(), size - 1);
    fileName[size - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
}

namespace platform::test {

void SetModuleFilePath(const std::string& linuxPath) {
    std::lock_guard guard(Override().lock);
    Override().replacement = linuxPath;
}

} // namespace platform::test
