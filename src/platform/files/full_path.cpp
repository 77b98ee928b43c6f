#include "platform/files/full_path.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/files/drives.h"
#include "platform/files/errno_mapping.h"
#include "platform/files/files.h"
#include "platform/files/path_mapping.h"
#include "platform/files/win_names.h"
#include "platform/kernel/errors.h"

namespace platform {
namespace {

struct CurrentDirectory {
    std::mutex lock;
    bool initialised = false;
    std::string path;
};

CurrentDirectory& GetCurrentDirectoryState() {
    static CurrentDirectory* state = new CurrentDirectory;
    return *state;
}

std::string InitialDirectory() {
    char working[PATH_MAX];
    std::string windowsPath;
    if (getcwd(working, sizeof working) && LinuxToWindowsPath(working, windowsPath) &&
        windowsPath.size() + 1 < MAX_PATH) {
        return windowsPath;
    }
    return "C:\\";
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// Applies the names of `text` to `names`, resolving "." and "..".
void AppendNames(std::string_view text, std::vector<std::string_view>& names) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = start;
        while (end < text.size() && !IsSeparator(text[end]))
            ++end;
        std::string_view name = text.substr(start, end - start);
        if (name == "..") {
            if (!names.empty()) names.pop_back();
        } else if (name != ".") {
            name = StripTrailingDotsAndSpaces(name);
            if (!name.empty()) names.push_back(name);
        }
        start = end + 1;
    }
}

} // namespace

std::string GetCurrentWindowsDirectory() {
    CurrentDirectory& state = GetCurrentDirectoryState();
    std::lock_guard guard(state.lock);
    if (!state.initialised) {
        state.path = InitialDirectory();
        state.initialised = true;
    }
    return state.path;
}

bool GetFullWindowsPath(std::string_view path, std::string& fullPath) {
    if (path.empty()) return Fail(ERROR_INVALID_NAME);
    std::string root; // "X:" or "\\server\share", without a final separator
    std::string base; // names the relative part starts from
    std::string_view relative;
    bool unc = false;
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        unc = true;
        size_t serverEnd = 2;
        while (serverEnd < path.size() && !IsSeparator(path[serverEnd]))
            ++serverEnd;
        size_t shareEnd = serverEnd < path.size() ? serverEnd + 1 : serverEnd;
        while (shareEnd < path.size() && !IsSeparator(path[shareEnd]))
            ++shareEnd;
        root.assign(2, '\\').append(path.substr(2, serverEnd - 2));
        if (shareEnd > serverEnd + 1) {
            root.append(1, '\\').append(path.substr(serverEnd + 1, shareEnd - serverEnd - 1));
        }
        relative = path.substr(shareEnd);
    } else {
        std::string current = GetCurrentWindowsDirectory();
        bool hasDrive = path.size() >= 2 && path[1] == ':' &&
                        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
        char drive = hasDrive ? static_cast<char>(path[0] & ~0x20) : current[0];
        root = std::string(1, drive) + ":";
        relative = hasDrive ? path.substr(2) : path;
        if (!relative.empty() && IsSeparator(relative[0])) {
            relative.remove_prefix(1);
        } else if (drive == current[0]) {
            base = current.substr(3);
        }
    }

    std::vector<std::string_view> names;
    AppendNames(base, names);
    AppendNames(relative, names);
    fullPath = root;
    for (std::string_view name : names) {
        fullPath += '\\';
        fullPath += name;
    }
    bool trailingSeparator = !relative.empty() && IsSeparator(relative.back());
    if (trailingSeparator || (names.empty() && !unc)) fullPath += '\\';
    return true;
}

DWORD CopyPathOut(const std::string& text, DWORD bufferLength, LPSTR buffer) {
    if (!buffer || text.size() + 1 > bufferLength) return static_cast<DWORD>(text.size() + 1);
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
}

} // namespace platform

DWORD GetFullPathNameA(LPCSTR fileName, DWORD bufferLength, LPSTR buffer, LPSTR* filePart) {
    if (!fileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string fullPath;
    if (!platform::GetFullWindowsPath(fileName, fullPath)) return 0;
    DWORD result = platform::CopyPathOut(fullPath, bufferLength, buffer);
    if (filePart && result == fullPath.size()) {
        *filePart = fullPath.back() == '\\' ? nullptr : buffer + fullPath.rfind('\\') + 1;
    }
    return result;
}

DWORD GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer) {
    return platform::CopyPathOut(platform::GetCurrentWindowsDirectory(), bufferLength, buffer);
}

BOOL SetCurrentDirectoryA(LPCSTR pathName) {
    platform::MappedPath mapped;
    if (!platform::MapWindowsPath(pathName, mapped)) return FALSE;
    struct stat info {};
    if (stat(mapped.linuxPath.c_str(), &info) != 0)
        return platform::FailWithErrno(errno, mapped.linuxPath);
    if (!S_ISDIR(info.st_mode)) return platform::Fail(ERROR_DIRECTORY);
    std::string directory = mapped.fullPath;
    if (directory.size() > 3 && directory.back() == '\\') directory.pop_back();
    // Room for the separator a caller appends before a name.
    if (directory.size() + 2 > MAX_PATH) return platform::Fail(ERROR_FILENAME_EXCED_RANGE);
    platform::CurrentDirectory& state = platform::GetCurrentDirectoryState();
    std::lock_guard guard(state.lock);
    state.path = std::move(directory);
    state.initialised = true;
    return TRUE;
}

namespace {

// The user's own temporary folder, zorv-<uid> in $TMPDIR (else /tmp), private to the
// user. A folder that another user owns, that others may enter, or that is a link is
// never used: files made there could be read or replaced by someone else.
bool PrivateTempFolder(std::string& linuxPath) {
    const char* configured = std::getenv("TMPDIR");
    std::string base = configured && configured[0] == '/' ? configured : "/tmp";
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    linuxPath = base + "/zorv-" + std::to_string(geteuid());
    static std::mutex lock;
    static std::string checked;
    std::lock_guard guard(lock);
    if (checked == linuxPath) return true;
    if (mkdir(linuxPath.c_str(), 0700) != 0 && errno != EEXIST)
        return platform::FailWithErrno(errno, linuxPath);
    struct stat info {};
    if (lstat(linuxPath.c_str(), &info) != 0) return platform::FailWithErrno(errno, linuxPath);
    if (!S_ISDIR(info.st_mode) || info.st_uid != geteuid() || (info.st_mode & 077) != 0)
        return platform::Fail(ERROR_ACCESS_DENIED);
    checked = linuxPath;
    return true;
}

} // namespace

DWORD GetTempPathA(DWORD bufferLength, LPSTR buffer) {
    std::string linuxPath;
    if (!PrivateTempFolder(linuxPath)) return 0;
    std::string windowsPath;
    if (!platform::LinuxToWindowsPath(linuxPath, windowsPath)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return 0;
    }
    if (windowsPath.back() != '\\') windowsPath += '\\';
    return platform::CopyPathOut(windowsPath, bufferLength, buffer);
}
