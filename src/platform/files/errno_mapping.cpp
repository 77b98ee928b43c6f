#include "platform/files/errno_mapping.h"

#include <cerrno>
#include <sys/stat.h>

#include "platform/kernel/errors.h"

namespace platform {
namespace {

bool ParentFolderExists(const std::string& linuxPath) {
    size_t slash = linuxPath.find_last_of('/');
    if (slash == std::string::npos) return true;
    std::string parent = slash == 0 ? std::string("/") : linuxPath.substr(0, slash);
    struct stat info {};
    return stat(parent.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsFifo(const std::string& linuxPath) {
    struct stat info {};
    return !linuxPath.empty() && stat(linuxPath.c_str(), &info) == 0 && S_ISFIFO(info.st_mode);
}

} // namespace

DWORD Win32ErrorFromErrno(int error, const std::string& linuxPath) {
    switch (error) {
    case 0:
        return ERROR_SUCCESS;
    case ENOENT:
        return linuxPath.empty() || ParentFolderExists(linuxPath) ? ERROR_FILE_NOT_FOUND
                                                                  : ERROR_PATH_NOT_FOUND;
    case ENOTDIR:
    case ELOOP:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return ERROR_ACCESS_DENIED;
    case EEXIST:
        return ERROR_ALREADY_EXISTS;
    case ENOTEMPTY:
        return ERROR_DIR_NOT_EMPTY;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return ERROR_DISK_FULL;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    case EBADF:
        return ERROR_INVALID_HANDLE;
    case EINVAL:
        return ERROR_INVALID_PARAMETER;
    case EMFILE:
    case ENFILE:
        return ERROR_TOO_MANY_OPEN_FILES;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case EXDEV:
        return ERROR_NOT_SAME_DEVICE;
    case EBUSY:
    case ETXTBSY:
        return ERROR_SHARING_VIOLATION;
    case ENOSYS:
    case EOPNOTSUPP:
        return ERROR_NOT_SUPPORTED;
    case EPIPE:
        return ERROR_BROKEN_PIPE;
    case ESPIPE:
        return ERROR_SEEK_ON_DEVICE;
    case ENXIO:
    case ENODEV:
        // A FIFO's writer meets ENXIO while nobody reads it.
        return IsFifo(linuxPath) ? ERROR_PIPE_NOT_CONNECTED : ERROR_DEV_NOT_EXIST;
    default:
        return ERROR_GEN_FAILURE;
    }
}

bool FailWithErrno(int error, const std::string& linuxPath) {
    SetLastError(Win32ErrorFromErrno(error, linuxPath));
    return false;
}

bool Fail(DWORD win32Error) {
    SetLastError(win32Error);
    return false;
}

} // namespace platform
