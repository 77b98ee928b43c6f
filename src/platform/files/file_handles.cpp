#include <cerrno>
#include <charconv>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <pthread.h>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/files/errno_mapping.h"
#include "platform/files/file_attributes.h"
#include "platform/files/file_sharing.h"
#include "platform/files/files.h"
#include "platform/files/path_mapping.h"
#include "platform/kernel/errors.h"
#include "platform/kernel/faults.h"
#include "platform/kernel/kernel_objects.h"
#include "platform/serial/serial_ports.h"

namespace platform {
namespace {

// An open file: its descriptor, the access the opener asked for (the descriptor may
// allow more, to truncate), its entry in the sharing record, whether it is a pipe and
// whether it is a copy of a descriptor the player inherited.
class FileObject : public KernelObject {
public:
    FileObject(int fd, DWORD access, FileId id, uint64_t ticket, bool pipe, bool inherited = false)
        : fd(fd), access(access), id(id), ticket(ticket), pipe(pipe), inherited(inherited) {}
    ~FileObject() override {
        close(fd);
        RemoveSharer(id, ticket);
    }
    FileObject(const FileObject&) = delete;
    FileObject& operator=(const FileObject&) = delete;

    const int fd;
    const DWORD access;
    const FileId id;
    const uint64_t ticket;
    const bool pipe;
    const bool inherited;
};

constexpr int kCreateAttempts = 8;

// Opens `path` as `disposition` asks, without truncating: that waits for the sharing check.
bool OpenForDisposition(const std::string& path, DWORD disposition, int flags, mode_t mode, int& fd,
                        bool& existed) {
    existed = true;
    switch (disposition) {
    case OPEN_EXISTING:
    case TRUNCATE_EXISTING:
        fd = open(path.c_str(), flags);
        return fd >= 0 || FailWithErrno(errno, path);
    case CREATE_NEW:
        existed = false;
        fd = open(path.c_str(), flags | O_CREAT | O_EXCL, mode);
        if (fd >= 0) return true;
        return errno == EEXIST ? Fail(ERROR_FILE_EXISTS) : FailWithErrno(errno, path);
    default:
        // The file may come and go between the two opens; a few rounds settle it.
        for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
            fd = open(path.c_str(), flags | O_CREAT | O_EXCL, mode);
            if (fd >= 0) {
                existed = false;
                return true;
            }
            if (errno != EEXIST) return FailWithErrno(errno, path);
            fd = open(path.c_str(), flags);
            if (fd >= 0) return true;
            if (errno != ENOENT) return FailWithErrno(errno, path);
        }
        return FailWithErrno(ENOENT, path);
    }
}

std::shared_ptr<FileObject> LookupFile(HANDLE file) {
    return LookupObjectAs<FileObject>(file);
}

// Closes a descriptor that cannot become a file handle, and says why.
HANDLE Refuse(int fd, DWORD refusal) {
    close(fd);
    SetLastError(refusal);
    return INVALID_HANDLE_VALUE;
}

// The descriptor that "/dev/stdin", "/dev/stdout", "/dev/stderr" or "/dev/fd/N" names, or -1.
int InheritedDescriptorOf(const std::string& linuxPath) {
    if (linuxPath == "/dev/stdin") return 0;
    if (linuxPath == "/dev/stdout") return 1;
    if (linuxPath == "/dev/stderr") return 2;
    constexpr std::string_view kFolder = "/dev/fd/";
    if (!linuxPath.starts_with(kFolder) || linuxPath.size() == kFolder.size()) return -1;
    const char* first = linuxPath.data() + kFolder.size();
    const char* last = linuxPath.data() + linuxPath.size();
    int descriptor = -1;
    auto [end, error] = std::from_chars(first, last, descriptor);
    return error == std::errc{} && end == last ? descriptor : -1;
}

// Opening one of those names again would start a new file position at 0 and, for a
// redirected output, truncate what the shell wrote before. A copy of the descriptor writes
// where its other users do instead; it is never truncated, and its flags (O_APPEND among
// them) are shared, so they are left as they are.
HANDLE OpenInherited(int inherited, DWORD access, DWORD disposition) {
    int fd = fcntl(inherited, F_DUPFD_CLOEXEC, 0);
    if (fd < 0) {
        SetLastError(errno == EBADF ? ERROR_FILE_NOT_FOUND : Win32ErrorFromErrno(errno));
        return INVALID_HANDLE_VALUE;
    }
    struct stat info {};
    DWORD refusal = ERROR_SUCCESS;
    if (fstat(fd, &info) != 0) {
        refusal = Win32ErrorFromErrno(errno);
    } else if (S_ISDIR(info.st_mode)) {
        refusal = ERROR_ACCESS_DENIED;
    } else if (disposition == CREATE_NEW) {
        refusal = ERROR_FILE_EXISTS;
    }
    if (refusal != ERROR_SUCCESS) return Refuse(fd, refusal);
    bool pipe = S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode);
    HANDLE handle =
        RegisterObject(std::make_shared<FileObject>(fd, access, FileIdOf(info), 0, pipe, true));
    if (handle == 0) return INVALID_HANDLE_VALUE;
    bool reportsExisting = disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS;
    SetLastError(reportsExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

// The failure value of SetFilePointer and GetFileSize (both 0xFFFFFFFF), with its error.
DWORD FailPosition(DWORD error) {
    SetLastError(error);
    return INVALID_SET_FILE_POINTER;
}

} // namespace
} // namespace platform

using platform::Fail;
using platform::FailWithErrno;

HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode,
                   LPSECURITY_ATTRIBUTES /*security*/, DWORD creationDisposition,
                   DWORD flagsAndAttributes, HANDLE /*templateFile*/) {
    // First and cheap: tests drive retry loops of many thousand rounds through it.
    if (platform::ShouldFail(platform::test::Fault::CreateExists)) {
        SetLastError(ERROR_FILE_EXISTS);
        return INVALID_HANDLE_VALUE;
    }
    if (platform::IsSerialPortName(fileName))
        return platform::OpenSerialPort(fileName, desiredAccess, creationDisposition);
    DWORD access = desiredAccess & (GENERIC_READ | GENERIC_WRITE);
    if (creationDisposition < CREATE_NEW || creationDisposition > TRUNCATE_EXISTING ||
        (creationDisposition == TRUNCATE_EXISTING && !(access & GENERIC_WRITE))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    platform::MappedPath mapped;
    if (!platform::MapWindowsPath(fileName, mapped)) return INVALID_HANDLE_VALUE;
    int inherited = platform::InheritedDescriptorOf(mapped.linuxPath);
    if (inherited >= 0) return platform::OpenInherited(inherited, access, creationDisposition);
    struct stat info {};
    if (mapped.isRoot || mapped.trailingSeparator) {
        bool folder = stat(mapped.linuxPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
        SetLastError(folder ? ERROR_ACCESS_DENIED : ERROR_INVALID_NAME);
        return INVALID_HANDLE_VALUE;
    }

    bool truncates =
        creationDisposition == CREATE_ALWAYS || creationDisposition == TRUNCATE_EXISTING;
    bool writes = (access & GENERIC_WRITE) || truncates;
    int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK |
                (writes ? ((access & GENERIC_READ) ? O_RDWR : O_WRONLY) : O_RDONLY);
    mode_t mode = (flagsAndAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    int fd = -1;
    bool existed = false;
    if (!platform::OpenForDisposition(mapped.linuxPath, creationDisposition, flags, mode, fd,
                                      existed)) {
        return INVALID_HANDLE_VALUE;
    }
    DWORD refusal = ERROR_SUCCESS;
    bool regular = false;
    if (fstat(fd, &info) != 0) {
        refusal = platform::Win32ErrorFromErrno(errno);
    } else if (S_ISDIR(info.st_mode)) {
        refusal = ERROR_ACCESS_DENIED;
    } else if ((regular = S_ISREG(info.st_mode)) && existed && writes &&
               platform::IsReadOnly(info)) {
        // As on Windows, even to the super-user.
        refusal = ERROR_ACCESS_DENIED;
    } else if (fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        refusal = platform::Win32ErrorFromErrno(errno);
    }
    uint64_t ticket = 0;
    platform::FileId id = platform::FileIdOf(info);
    // Devices and pipes have many users by nature ("/dev/null", a terminal): only regular
    // files are kept from a second opener.
    if (refusal == ERROR_SUCCESS && regular) {
        platform::SharingLock lock;
        if (lock.Allows(id, access, shareMode)) {
            ticket = lock.Add(id, access, shareMode);
        } else {
            refusal = ERROR_SHARING_VIOLATION;
        }
    }
    if (refusal != ERROR_SUCCESS) return platform::Refuse(fd, refusal);
    bool pipe = S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode);
    auto file = std::make_shared<platform::FileObject>(fd, access, id, ticket, pipe);
    if (truncates && existed && regular && info.st_size != 0 && ftruncate(fd, 0) != 0) {
        FailWithErrno(errno);
        return INVALID_HANDLE_VALUE;
    }
    HANDLE handle = platform::RegisterObject(std::move(file));
    if (handle == 0) return INVALID_HANDLE_VALUE;
    bool reportsExisting =
        creationDisposition == CREATE_ALWAYS || creationDisposition == OPEN_ALWAYS;
    SetLastError(existed && reportsExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, void* overlapped) {
    if (bytesRead) *bytesRead = 0;
    if (overlapped) return Fail(ERROR_INVALID_PARAMETER);
    if (platform::IsSerialHandle(file))
        return platform::SerialRead(file, buffer, bytesToRead, bytesRead);
    auto object = platform::LookupFile(file);
    if (!object) return FALSE;
    if (platform::ShouldFail(platform::test::Fault::ReadError)) return Fail(ERROR_READ_FAULT);
    if (platform::ShouldFail(platform::test::Fault::ReadEof)) return Fail(ERROR_HANDLE_EOF);
    if (!(object->access & GENERIC_READ)) return Fail(ERROR_ACCESS_DENIED);
    if (!buffer && bytesToRead != 0) return Fail(ERROR_INVALID_PARAMETER);
    auto* bytes = static_cast<char*>(buffer);
    DWORD done = 0;
    while (done < bytesToRead) {
        ssize_t count = read(object->fd, bytes + done, bytesToRead - done);
        if (count < 0) {
            if (errno == EINTR) continue;
            if (bytesRead) *bytesRead = done;
            return errno == EIO ? Fail(ERROR_READ_FAULT) : FailWithErrno(errno);
        }
        if (count == 0) break;
        done += static_cast<DWORD>(count);
    }
    if (bytesRead) *bytesRead = done;
    return TRUE;
}

namespace platform {
namespace {

// Keeps SIGPIPE, which a write to a pipe nobody reads raises, from ending the process
// while the writer is on this thread; the write fails with EPIPE instead.
class PipeSignalBlock {
public:
    PipeSignalBlock() {
        sigemptyset(&pipeOnly_);
        sigaddset(&pipeOnly_, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipeOnly_, &previous_);
    }
    ~PipeSignalBlock() {
        // The signal this thread's write raised is taken before it could be delivered.
        if (raised_ && !sigismember(&previous_, SIGPIPE)) {
            const timespec none{};
            sigtimedwait(&pipeOnly_, nullptr, &none);
        }
        pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }
    PipeSignalBlock(const PipeSignalBlock&) = delete;
    PipeSignalBlock& operator=(const PipeSignalBlock&) = delete;

    void Raised() { raised_ = true; }

private:
    sigset_t pipeOnly_{};
    sigset_t previous_{};
    bool raised_ = false;
};

} // namespace
} // namespace platform

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten,
               void* overlapped) {
    if (bytesWritten) *bytesWritten = 0;
    if (overlapped) return Fail(ERROR_INVALID_PARAMETER);
    if (platform::IsSerialHandle(file))
        return platform::SerialWrite(file, buffer, bytesToWrite, bytesWritten);
    auto object = platform::LookupFile(file);
    if (!object) return FALSE;
    if (platform::ShouldFail(platform::test::Fault::WriteError)) return Fail(ERROR_WRITE_FAULT);
    if (platform::ShouldFail(platform::test::Fault::DiskFull)) return Fail(ERROR_DISK_FULL);
    if (platform::ShouldFail(platform::test::Fault::ShortWrite)) bytesToWrite /= 2;
    if (!(object->access & GENERIC_WRITE)) return Fail(ERROR_ACCESS_DENIED);
    if (!buffer && bytesToWrite != 0) return Fail(ERROR_INVALID_PARAMETER);
    const auto* bytes = static_cast<const char*>(buffer);
    DWORD done = 0;
    std::optional<platform::PipeSignalBlock> pipeSignal;
    if (object->pipe) pipeSignal.emplace();
    while (done < bytesToWrite) {
        ssize_t count = write(object->fd, bytes + done, bytesToWrite - done);
        if (count < 0) {
            if (errno == EINTR) continue;
            if (errno == EPIPE && pipeSignal) pipeSignal->Raised();
            if (bytesWritten) *bytesWritten = done;
            return errno == EIO ? Fail(ERROR_WRITE_FAULT) : FailWithErrno(errno);
        }
        done += static_cast<DWORD>(count);
    }
    if (bytesWritten) *bytesWritten = done;
    return TRUE;
}

DWORD SetFilePointer(HANDLE file, LONG distance, LPLONG distanceHigh, DWORD moveMethod) {
    auto object = platform::LookupFile(file);
    if (!object) return INVALID_SET_FILE_POINTER;
    int64_t offset = distance;
    if (distanceHigh) {
        uint64_t combined = (static_cast<uint64_t>(static_cast<DWORD>(*distanceHigh)) << 32) |
                            static_cast<DWORD>(distance);
        offset = static_cast<int64_t>(combined);
    }
    int64_t base = 0;
    struct stat info {};
    switch (moveMethod) {
    case FILE_BEGIN:
        break;
    case FILE_CURRENT:
        base = lseek(object->fd, 0, SEEK_CUR);
        if (base < 0) return platform::FailPosition(platform::Win32ErrorFromErrno(errno));
        break;
    case FILE_END:
        if (fstat(object->fd, &info) != 0)
            return platform::FailPosition(platform::Win32ErrorFromErrno(errno));
        base = info.st_size;
        break;
    default:
        return platform::FailPosition(ERROR_INVALID_PARAMETER);
    }
    int64_t position = 0;
    if (__builtin_add_overflow(base, offset, &position)) {
        return platform::FailPosition(offset < 0 ? ERROR_NEGATIVE_SEEK : ERROR_INVALID_PARAMETER);
    }
    if (position < 0) return platform::FailPosition(ERROR_NEGATIVE_SEEK);
    // Without a high part the caller cannot be told a position past 4 GB.
    if (!distanceHigh && position > 0xFFFFFFFFll) {
        return platform::FailPosition(ERROR_INVALID_PARAMETER);
    }
    if (lseek(object->fd, position, SEEK_SET) < 0) {
        return platform::FailPosition(platform::Win32ErrorFromErrno(errno));
    }
    if (distanceHigh) *distanceHigh = static_cast<LONG>(static_cast<uint64_t>(position) >> 32);
    auto low = static_cast<DWORD>(position);
    if (low == INVALID_SET_FILE_POINTER) SetLastError(ERROR_SUCCESS);
    return low;
}

DWORD GetFileSize(HANDLE file, LPDWORD fileSizeHigh) {
    auto object = platform::LookupFile(file);
    if (!object) return INVALID_FILE_SIZE;
    struct stat info {};
    if (fstat(object->fd, &info) != 0)
        return platform::FailPosition(platform::Win32ErrorFromErrno(errno));
    auto size = static_cast<uint64_t>(info.st_size);
    if (fileSizeHigh) *fileSizeHigh = static_cast<DWORD>(size >> 32);
    auto low = static_cast<DWORD>(size);
    if (low == INVALID_FILE_SIZE) SetLastError(ERROR_SUCCESS);
    return low;
}

BOOL SetEndOfFile(HANDLE file) {
    auto object = platform::LookupFile(file);
    if (!object) return FALSE;
    if (!(object->access & GENERIC_WRITE)) return Fail(ERROR_ACCESS_DENIED);
    off_t position = lseek(object->fd, 0, SEEK_CUR);
    if (position < 0 || ftruncate(object->fd, position) != 0) return FailWithErrno(errno);
    return TRUE;
}

DWORD GetFileType(HANDLE file) {
    if (platform::IsSerialHandle(file)) return FILE_TYPE_CHAR;
    auto object = platform::LookupFile(file);
    if (!object) return FILE_TYPE_UNKNOWN;
    struct stat info {};
    if (fstat(object->fd, &info) != 0) {
        FailWithErrno(errno);
        return FILE_TYPE_UNKNOWN;
    }
    SetLastError(ERROR_SUCCESS);
    if (S_ISREG(info.st_mode) || S_ISBLK(info.st_mode)) return FILE_TYPE_DISK;
    if (S_ISCHR(info.st_mode)) return FILE_TYPE_CHAR;
    if (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)) return FILE_TYPE_PIPE;
    return FILE_TYPE_UNKNOWN;
}

BOOL IsInheritedDescriptor(HANDLE file) {
    auto object = platform::LookupFile(file);
    return object && object->inherited;
}

BOOL FlushFileBuffers(HANDLE file) {
    auto object = platform::LookupFile(file);
    if (!object) return FALSE;
    if (!(object->access & GENERIC_WRITE)) return Fail(ERROR_ACCESS_DENIED);
    if (fsync(object->fd) != 0 && errno != EINVAL) return FailWithErrno(errno);
    return TRUE;
}
