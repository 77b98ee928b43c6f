#include "platform/files/file_copy.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <vector>

#include "platform/files/errno_mapping.h"
#include "platform/kernel/errors.h"
#include "platform/kernel/faults.h"
#include "platform/files/file_attributes.h"
#include "platform/files/file_sharing.h"
#include "platform/files/files.h"
#include "platform/files/path_mapping.h"

namespace platform {
namespace {

constexpr size_t kCopyChunk = 64 * 1024;

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closes now, so that a late write error (network file systems report them here)
    // is seen; returns the errno value or 0.
    int CloseReporting() {
        int result = close(fd_);
        fd_ = -1;
        return result == 0 ? 0 : errno;
    }

private:
    int fd_;
};

// Copies everything from `from` to `to`; returns the Win32 error or ERROR_SUCCESS.
DWORD CopyData(int from, int to) {
    std::vector<char> buffer(kCopyChunk);
    for (;;) {
        ssize_t count = read(from, buffer.data(), buffer.size());
        if (count < 0) {
            if (errno == EINTR) continue;
            return errno == EIO ? ERROR_READ_FAULT : Win32ErrorFromErrno(errno);
        }
        if (count == 0) return ERROR_SUCCESS;
        if (ShouldFail(test::Fault::WriteError)) return ERROR_WRITE_FAULT;
        if (ShouldFail(test::Fault::DiskFull)) return ERROR_DISK_FULL;
        ssize_t written = 0;
        while (written < count) {
            ssize_t step = write(to, buffer.data() + written, static_cast<size_t>(count - written));
            if (step < 0) {
                if (errno == EINTR) continue;
                return errno == EIO ? ERROR_WRITE_FAULT : Win32ErrorFromErrno(errno);
            }
            written += step;
        }
    }
}

} // namespace

int RenameNoReplace(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return -1;
    // A file system without the flag: check first, accepting the short race.
    struct stat info {};
    if (lstat(to.c_str(), &info) == 0) {
        errno = EEXIST;
        return -1;
    }
    return rename(from.c_str(), to.c_str());
}

bool CopyThroughTemporary(int sourceFd, const struct stat& info, const std::string& targetFolder,
                          const std::string& targetPath, bool replace) {
    std::string temporary = JoinLinuxPath(targetFolder, ".zorv-copy-XXXXXX");
    Descriptor target(mkostemp(temporary.data(), O_CLOEXEC));
    if (target.get() < 0) return FailWithErrno(errno, temporary);
    DWORD error = CopyData(sourceFd, target.get());
    if (error == ERROR_SUCCESS) {
        const timespec times[2] = {info.st_atim, info.st_mtim};
        // Permissions and times are kept where the file system allows; content matters.
        fchmod(target.get(), info.st_mode & 07777);
        futimens(target.get(), times);
        int closeError = target.CloseReporting();
        if (closeError != 0) error = Win32ErrorFromErrno(closeError);
    }
    if (error == ERROR_SUCCESS) {
        int renamed = replace ? rename(temporary.c_str(), targetPath.c_str())
                              : RenameNoReplace(temporary, targetPath);
        if (renamed != 0) {
            error = errno == EEXIST ? ERROR_FILE_EXISTS : Win32ErrorFromErrno(errno, targetPath);
        }
    }
    if (error == ERROR_SUCCESS) return true;
    unlink(temporary.c_str());
    return Fail(error);
}

} // namespace platform

BOOL CopyFileA(LPCSTR existingFileName, LPCSTR newFileName, BOOL failIfExists) {
    platform::MappedPath source;
    platform::MappedPath target;
    if (!platform::MapWindowsPath(existingFileName, source) ||
        !platform::MapWindowsPath(newFileName, target)) {
        return FALSE;
    }
    platform::Descriptor input(
        open(source.linuxPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (input.get() < 0) return platform::FailWithErrno(errno, source.linuxPath);
    struct stat info {};
    if (fstat(input.get(), &info) != 0) return platform::FailWithErrno(errno);
    if (!S_ISREG(info.st_mode)) return platform::Fail(ERROR_ACCESS_DENIED);
    platform::FileId sourceId = platform::FileIdOf(info);

    struct stat existing {};
    bool targetExists = stat(target.linuxPath.c_str(), &existing) == 0;
    if (targetExists) {
        if (failIfExists) return platform::Fail(ERROR_FILE_EXISTS);
        // Copying a file onto itself would truncate the source before reading it.
        if (platform::FileIdOf(existing) == sourceId)
            return platform::Fail(ERROR_SHARING_VIOLATION);
        if (S_ISDIR(existing.st_mode) || platform::IsReadOnly(existing))
            return platform::Fail(ERROR_ACCESS_DENIED);
    }
    if (target.isRoot || target.trailingSeparator) return platform::Fail(ERROR_INVALID_NAME);

    constexpr DWORD kSourceShare = FILE_SHARE_READ | FILE_SHARE_DELETE;
    uint64_t ticket = 0;
    {
        platform::SharingLock lock;
        if (!lock.Allows(sourceId, GENERIC_READ, kSourceShare) ||
            (targetExists && !lock.Allows(platform::FileIdOf(existing),
                                          GENERIC_WRITE | platform::kDeleteAccess, 0))) {
            return platform::Fail(ERROR_SHARING_VIOLATION);
        }
        ticket = lock.Add(sourceId, GENERIC_READ, kSourceShare);
    }
    bool copied = platform::CopyThroughTemporary(input.get(), info, target.linuxFolder,
                                                 target.linuxPath, !failIfExists);
    platform::RemoveSharer(sourceId, ticket);
    return copied ? TRUE : FALSE;
}
