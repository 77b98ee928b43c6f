#include "platform/files/file_identity.h"

#include <cerrno>
#include <sys/stat.h>

#include "platform/files/errno_mapping.h"
#include "platform/files/path_mapping.h"

BOOL GetFileIdentity(LPCSTR fileName, FileIdentity* identity) {
    platform::MappedPath mapped;
    if (!platform::MapWindowsPath(fileName, mapped)) return FALSE;
    struct stat info {};
    if (stat(mapped.linuxPath.c_str(), &info) != 0) {
        platform::FailWithErrno(errno, mapped.linuxPath);
        return FALSE;
    }
    if (S_ISDIR(info.st_mode)) {
        platform::Fail(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    identity->device = info.st_dev;
    identity->index = info.st_ino;
    identity->size = static_cast<uint64_t>(info.st_size);
    identity->writeTime =
        static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return TRUE;
}
