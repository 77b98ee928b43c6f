#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/files/drives.h"
#include "platform/files/errno_mapping.h"
#include "platform/files/full_path.h"
#include "platform/kernel/errors.h"
#include "platform/profile/profile.h"

namespace {

// Makes every missing folder of `path`, the new ones private to the user.
bool MakeFolders(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode) || platform::Fail(ERROR_DIRECTORY);
    size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(path.substr(0, slash)))
        return false;
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return platform::FailWithErrno(errno, path);
    return true;
}

// $variable, else $HOME followed by `fallback`; empty when neither is an absolute path.
std::string UserFolder(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] == '/') return value;
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return std::string(home) + fallback;
    return {};
}

UINT SettingsFolder(const char* variable, const char* fallback, const char* leaf, LPSTR buffer,
                    UINT size) {
    std::string base = UserFolder(variable, fallback);
    if (base.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return 0;
    }
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    std::string folder = base + "/zorv/" + leaf;
    std::string windowsPath;
    if (!MakeFolders(folder)) return 0;
    if (!platform::LinuxToWindowsPath(folder, windowsPath)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return 0;
    }
    while (windowsPath.size() > 3 && windowsPath.back() == '\\')
        windowsPath.pop_back();
    return platform::CopyPathOut(windowsPath, size, buffer);
}

} // namespace

UINT GetWindowsDirectoryA(LPSTR buffer, UINT size) {
    return SettingsFolder("XDG_CONFIG_HOME", "/.config", "windows", buffer, size);
}

UINT GetSystemDirectoryA(LPSTR buffer, UINT size) {
    return SettingsFolder("XDG_DATA_HOME", "/.local/share", "system", buffer, size);
}
