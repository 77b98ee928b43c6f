#include "platform/files/path_mapping.h"

#include <cerrno>
#include <climits>
#include <sys/stat.h>
#include <vector>

#include "platform/files/directory_listing.h"
#include "platform/files/drives.h"
#include "platform/files/errno_mapping.h"
#include "platform/files/full_path.h"
#include "platform/files/win_names.h"
#include "platform/kernel/cp1252.h"
#include "platform/kernel/errors.h"

namespace platform {
namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsFolder(const std::string& linuxPath) {
    struct stat info {};
    return stat(linuxPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Finds `name` (UTF-8; `windowsName` is its Windows-1252 spelling) in `folder`: as
// spelled, else without regard to case or by its alternate name. A missing intermediate
// name, or one that is not a folder, is ERROR_PATH_NOT_FOUND; a missing last name keeps
// its spelling.
bool ResolveName(const std::string& folder, const std::string& name, const std::string& windowsName,
                 bool last, std::string& resolved) {
    resolved = JoinLinuxPath(folder, name);
    struct stat info {};
    if (lstat(resolved.c_str(), &info) != 0) {
        if (errno != ENOENT) return FailWithErrno(errno, resolved);
        std::string diskName;
        if (FindEntryNoCase(folder, windowsName, diskName)) {
            resolved = JoinLinuxPath(folder, diskName);
        } else if (!last) {
            return Fail(ERROR_PATH_NOT_FOUND);
        }
    }
    if (!last && !IsFolder(resolved)) return Fail(ERROR_PATH_NOT_FOUND);
    return true;
}

} // namespace

std::string JoinLinuxPath(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

bool MapWindowsPath(const char* windowsPath, MappedPath& mapped) {
    if (!windowsPath) return Fail(ERROR_INVALID_PARAMETER);
    std::string_view path(windowsPath);
    if (path.empty()) return Fail(ERROR_PATH_NOT_FOUND);
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]))
        return Fail(ERROR_BAD_NETPATH);
    if (!GetFullWindowsPath(path, mapped.fullPath)) return false;
    std::string root = GetDriveRoot(mapped.fullPath[0]);
    if (root.empty()) return Fail(ERROR_PATH_NOT_FOUND);

    std::vector<std::string> windowsNames;
    std::vector<std::string> names;
    std::string_view rest = std::string_view(mapped.fullPath).substr(3);
    mapped.trailingSeparator = !rest.empty() && rest.back() == '\\';
    while (!rest.empty()) {
        size_t end = rest.find('\\');
        std::string_view name = rest.substr(0, end);
        for (char c : name) {
            if (!IsWindowsNameChar(static_cast<unsigned char>(c))) return Fail(ERROR_INVALID_NAME);
        }
        windowsNames.emplace_back(name);
        names.push_back(Cp1252ToUtf8(name));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    mapped.isRoot = names.empty();
    if (mapped.isRoot) {
        mapped.linuxPath = root;
        mapped.linuxFolder.clear();
        mapped.spelledName.clear();
        return true;
    }
    if (IsDeviceName(windowsNames.back())) return Fail(ERROR_INVALID_NAME);
    mapped.spelledName = names.back();

    // The common case costs one lstat: every name exists as spelled.
    std::string folder = root;
    for (size_t i = 0; i + 1 < names.size(); ++i)
        folder = JoinLinuxPath(folder, names[i]);
    mapped.linuxPath = JoinLinuxPath(folder, names.back());
    // Linux refuses longer paths; checked here so that no name is looked up in vain.
    if (mapped.linuxPath.size() >= PATH_MAX) return Fail(ERROR_FILENAME_EXCED_RANGE);
    struct stat info {};
    if (lstat(mapped.linuxPath.c_str(), &info) == 0) {
        mapped.linuxFolder = folder;
        return true;
    }
    if (errno != ENOENT && errno != ENOTDIR) return FailWithErrno(errno, mapped.linuxPath);

    size_t first = 0;
    if (errno == ENOENT && IsFolder(folder)) {
        first = names.size() - 1;
    } else {
        folder = root;
    }
    for (size_t i = first; i < names.size(); ++i) {
        bool last = i + 1 == names.size();
        std::string resolved;
        if (!ResolveName(folder, names[i], windowsNames[i], last, resolved)) return false;
        if (last) {
            mapped.linuxFolder = folder;
            mapped.linuxPath = resolved;
        }
        folder = std::move(resolved);
    }
    return true;
}

bool MapPath(const char* windowsPath, std::string& linuxPath) {
    MappedPath mapped;
    if (!MapWindowsPath(windowsPath, mapped)) return false;
    linuxPath = std::move(mapped.linuxPath);
    return true;
}

} // namespace platform
