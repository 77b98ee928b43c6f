#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/files/drives.h"
#include "platform/files/errno_mapping.h"
#include "platform/kernel/errors.h"
#include "platform/files/file_attributes.h"
#include "platform/files/file_copy.h"
#include "platform/files/file_sharing.h"
#include "platform/files/files.h"
#include "platform/files/full_path.h"
#include "platform/files/path_mapping.h"
#include "platform/files/win_names.h"

namespace platform {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Whether `info` is the folder the layer's current directory names: Windows keeps that
// folder open, so it cannot be removed.
bool IsCurrentDirectory(const struct stat& info) {
    std::string current;
    struct stat currentInfo {};
    return MapPath(GetCurrentWindowsDirectory().c_str(), current) &&
           stat(current.c_str(), &currentInfo) == 0 && FileIdOf(currentInfo) == FileIdOf(info);
}

// Moves a file to another file system: a copy that appears whole at the target, then
// the removal of the source (or of the copy, when the source cannot be removed).
bool MoveAcrossDevices(const MappedPath& source, const struct stat& info, const MappedPath& target,
                       const std::string& destination) {
    if (!S_ISREG(info.st_mode)) return Fail(ERROR_NOT_SAME_DEVICE);
    int input = open(source.linuxPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (input < 0) return FailWithErrno(errno, source.linuxPath);
    bool copied = CopyThroughTemporary(input, info, target.linuxFolder, destination, false);
    close(input);
    if (!copied) return false;
    DWORD error = ERROR_SUCCESS;
    {
        SharingLock lock;
        if (!lock.Allows(FileIdOf(info), kDeleteAccess, kShareAll)) {
            error = ERROR_SHARING_VIOLATION;
        } else if (unlink(source.linuxPath.c_str()) != 0) {
            error = Win32ErrorFromErrno(errno);
        }
    }
    if (error == ERROR_SUCCESS) return true;
    unlink(destination.c_str());
    return Fail(error);
}

} // namespace
} // namespace platform

using platform::Fail;
using platform::FailWithErrno;

DWORD GetFileAttributesA(LPCSTR fileName) {
    platform::MappedPath mapped;
    if (!platform::MapWindowsPath(fileName, mapped)) return INVALID_FILE_ATTRIBUTES;
    struct stat info {};
    if (stat(mapped.linuxPath.c_str(), &info) != 0 && lstat(mapped.linuxPath.c_str(), &info) != 0) {
        FailWithErrno(errno, mapped.linuxPath);
        return INVALID_FILE_ATTRIBUTES;
    }
    if (mapped.trailingSeparator && !S_ISDIR(info.st_mode)) {
        SetLastError(ERROR_INVALID_NAME);
        return INVALID_FILE_ATTRIBUTES;
    }
    std::string name;
    if (!mapped.isRoot) {
        platform::WindowsNameOfDiskName(mapped.linuxPath.substr(mapped.linuxPath.rfind('/') + 1),
                                        name);
    }
    return platform::AttributesFromStat(info, name) | platform::LinkAttribute(mapped.linuxPath);
}

// Only FILE_ATTRIBUTE_READONLY has a Linux counterpart: it clears every write permission,
// and clearing it gives the owner write permission back. Folders ignore it, since a
// read-only folder still takes new files on Windows.
BOOL SetFileAttributesA(LPCSTR fileName, DWORD attributes) {
    platform::MappedPath mapped;
    if (!platform::MapWindowsPath(fileName, mapped)) return FALSE;
    struct stat info {};
    if (stat(mapped.linuxPath.c_str(), &info) != 0) return FailWithErrno(errno, mapped.linuxPath);
    if (S_ISDIR(info.st_mode)) return TRUE;
    mode_t mode = info.st_mode & 07777;
    mode_t wanted = mode;
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        wanted &= ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH);
    } else if (platform::IsReadOnly(info)) {
        wanted |= S_IWUSR;
    }
    if (wanted != mode && chmod(mapped.linuxPath.c_str(), wanted) != 0) return FailWithErrno(errno);
    return TRUE;
}

BOOL DeleteFileA(LPCSTR fileName) {
    platform::MappedPath mapped;
    if (!platform::MapWindowsPath(fileName, mapped)) return FALSE;
    struct stat info {};
    if (lstat(mapped.linuxPath.c_str(), &info) != 0) return FailWithErrno(errno, mapped.linuxPath);
    if (S_ISDIR(info.st_mode) || (S_ISREG(info.st_mode) && platform::IsReadOnly(info)))
        return Fail(ERROR_ACCESS_DENIED);
    if (mapped.trailingSeparator) return Fail(ERROR_INVALID_NAME);
    platform::SharingLock lock;
    if (!lock.Allows(platform::FileIdOf(info), platform::kDeleteAccess, platform::kShareAll))
        return Fail(ERROR_SHARING_VIOLATION);
    if (unlink(mapped.linuxPath.c_str()) != 0) return FailWithErrno(errno, mapped.linuxPath);
    return TRUE;
}

BOOL RemoveDirectoryA(LPCSTR pathName) {
    platform::MappedPath mapped;
    if (!platform::MapWindowsPath(pathName, mapped)) return FALSE;
    if (mapped.isRoot) return Fail(ERROR_ACCESS_DENIED);
    struct stat info {};
    if (lstat(mapped.linuxPath.c_str(), &info) != 0) return FailWithErrno(errno, mapped.linuxPath);
    if (!S_ISDIR(info.st_mode)) return Fail(ERROR_DIRECTORY);
    if (platform::IsCurrentDirectory(info)) return Fail(ERROR_SHARING_VIOLATION);
    if (rmdir(mapped.linuxPath.c_str()) != 0) {
        return errno == ENOTEMPTY || errno == EEXIST ? Fail(ERROR_DIR_NOT_EMPTY)
                                                     : FailWithErrno(errno, mapped.linuxPath);
    }
    return TRUE;
}

BOOL CreateDirectoryA(LPCSTR pathName, LPSECURITY_ATTRIBUTES /*security*/) {
    platform::MappedPath mapped;
    if (!platform::MapWindowsPath(pathName, mapped)) return FALSE;
    if (mapped.isRoot) return Fail(ERROR_ALREADY_EXISTS);
    if (mkdir(mapped.linuxPath.c_str(), 0777) != 0) return FailWithErrno(errno, mapped.linuxPath);
    return TRUE;
}

BOOL MoveFileA(LPCSTR existingFileName, LPCSTR newFileName) {
    platform::MappedPath source;
    platform::MappedPath target;
    if (!platform::MapWindowsPath(existingFileName, source) ||
        !platform::MapWindowsPath(newFileName, target)) {
        return FALSE;
    }
    if (source.isRoot) return Fail(ERROR_ACCESS_DENIED);
    struct stat info {};
    if (lstat(source.linuxPath.c_str(), &info) != 0) return FailWithErrno(errno, source.linuxPath);
    if (target.isRoot) return Fail(ERROR_ALREADY_EXISTS);

    std::string destination = target.linuxPath;
    struct stat existing {};
    if (lstat(destination.c_str(), &existing) == 0) {
        // The target found the source itself without regard to case: a change of case.
        if (destination != source.linuxPath) return Fail(ERROR_ALREADY_EXISTS);
        destination = platform::JoinLinuxPath(target.linuxFolder, target.spelledName);
        if (destination == source.linuxPath) return TRUE;
    }
    int error = 0;
    {
        platform::SharingLock lock;
        if (!S_ISDIR(info.st_mode) &&
            !lock.Allows(platform::FileIdOf(info), platform::kDeleteAccess, platform::kShareAll)) {
            return Fail(ERROR_SHARING_VIOLATION);
        }
        if (platform::RenameNoReplace(source.linuxPath, destination) == 0) return TRUE;
        error = errno;
    }
    if (error == EXDEV) return platform::MoveAcrossDevices(source, info, target, destination);
    if (error == EEXIST) return Fail(ERROR_ALREADY_EXISTS);
    return FailWithErrno(error, destination);
}
