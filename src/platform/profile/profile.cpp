#include "platform/profile/profile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "platform/files/errno_mapping.h"
#include "platform/files/path_mapping.h"
#include "platform/kernel/errors.h"
#include "platform/profile/ini_document.h"
#include "platform/profile/profile_test_hooks.h"

namespace {

constexpr off_t kMaxProfileSize = 16 * 1024 * 1024;

struct CachedProfile {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    platform::IniDocument document;
};

struct ProfileState {
    std::mutex lock;
    std::map<std::string, CachedProfile> cache;
    bool failBeforeRename = false;
};

ProfileState& State() {
    static ProfileState* state = new ProfileState;
    return *state;
}

bool SameVersion(const CachedProfile& cached, const struct stat& info) {
    return cached.device == info.st_dev && cached.inode == info.st_ino &&
           cached.size == info.st_size && cached.modified.tv_sec == info.st_mtim.tv_sec &&
           cached.modified.tv_nsec == info.st_mtim.tv_nsec;
}

// The Linux path of a profile: a bare name in the Windows directory, else through the
// file layer. Links are followed, so that a write replaces the file they name.
bool ProfilePath(LPCSTR fileName, std::string& linuxPath) {
    if (fileName == nullptr || fileName[0] == 0) return platform::Fail(ERROR_INVALID_PARAMETER);
    std::string windowsPath = fileName;
    if (windowsPath.find_first_of("\\/") == std::string::npos) {
        char folder[MAX_PATH];
        UINT length = GetWindowsDirectoryA(folder, sizeof folder);
        if (length == 0 || length >= sizeof folder) return false;
        windowsPath = std::string(folder, length) + "\\" + windowsPath;
    }
    platform::MappedPath mapped;
    if (!platform::MapWindowsPath(windowsPath.c_str(), mapped)) return false;
    linuxPath = mapped.linuxPath;
    char resolved[PATH_MAX];
    if (realpath(linuxPath.c_str(), resolved) != nullptr) linuxPath = resolved;
    return true;
}

bool ReadAll(int fd, off_t size, std::string& bytes) {
    bytes.resize(size_t(size));
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = pread(fd, bytes.data() + done, bytes.size() - done, off_t(done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return platform::FailWithErrno(errno);
        if (n == 0) break;
        done += size_t(n);
    }
    bytes.resize(done);
    return true;
}

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return platform::FailWithErrno(errno);
        done += size_t(n);
    }
    return true;
}

// The parsed file, from the cache when it has not changed. Null when the file is
// missing, unreadable or too large.
const platform::IniDocument* ReadProfile(ProfileState& state, const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kMaxProfileSize)
        return nullptr;
    auto found = state.cache.find(path);
    if (found != state.cache.end() && SameVersion(found->second, info))
        return &found->second.document;
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat opened {};
    std::string bytes;
    bool ok = fstat(fd, &opened) == 0 && opened.st_size <= kMaxProfileSize &&
              ReadAll(fd, opened.st_size, bytes);
    close(fd);
    if (!ok) return nullptr;
    CachedProfile& cached = state.cache[path];
    cached.device = opened.st_dev;
    cached.inode = opened.st_ino;
    cached.size = opened.st_size;
    cached.modified = opened.st_mtim;
    cached.document.Parse(bytes);
    return &cached.document;
}

// Opens and locks the file at `path`, retrying when another writer replaced it between
// the open and the lock. -1 when it cannot be opened (and, without `create`, when it
// does not exist: errno ENOENT).
int LockProfile(const std::string& path, bool create, struct stat& info) {
    for (;;) {
        int fd = open(path.c_str(), O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), 0666);
        if (fd < 0) return -1;
        if (flock(fd, LOCK_EX) != 0 || fstat(fd, &info) != 0) {
            int error = errno;
            close(fd);
            errno = error;
            return -1;
        }
        struct stat current {};
        if (stat(path.c_str(), &current) == 0 && current.st_dev == info.st_dev &&
            current.st_ino == info.st_ino)
            return fd;
        close(fd);
    }
}

// Writes `bytes` to a new file beside `path` and renames it over `path`.
bool ReplaceProfile(ProfileState& state, const std::string& path, mode_t mode,
                    const std::string& bytes) {
    std::string temporary = path + ".XXXXXX";
    int fd = mkstemp(temporary.data());
    if (fd < 0) return platform::FailWithErrno(errno, path);
    bool ok = fchmod(fd, mode & 07777) == 0 || platform::FailWithErrno(errno);
    ok = ok && WriteAll(fd, bytes);
    ok = ok && (fsync(fd) == 0 || platform::FailWithErrno(errno));
    close(fd);
    if (ok && state.failBeforeRename) ok = platform::Fail(ERROR_WRITE_FAULT);
    ok = ok && (rename(temporary.c_str(), path.c_str()) == 0 || platform::FailWithErrno(errno));
    if (!ok) unlink(temporary.c_str());
    return ok;
}

bool HoldsLineEnd(LPCSTR text) {
    return text != nullptr && std::strpbrk(text, "\r\n") != nullptr;
}

} // namespace

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR returned,
                               DWORD size, LPCSTR fileName) {
    if (returned == nullptr || size == 0) return 0;
    std::string value = defaultValue != nullptr ? defaultValue : "";
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t'))
        value.pop_back();
    std::string path;
    if (section != nullptr && key != nullptr && ProfilePath(fileName, path)) {
        ProfileState& state = State();
        std::lock_guard guard(state.lock);
        const platform::IniDocument* document = ReadProfile(state, path);
        std::string found;
        if (document != nullptr && document->Find(section, key, found)) value = std::move(found);
    }
    size_t count = value.size() < size - 1 ? value.size() : size - 1;
    std::memcpy(returned, value.data(), count);
    returned[count] = 0;
    SetLastError(ERROR_SUCCESS);
    return DWORD(count);
}

BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName) {
    if (section == nullptr || HoldsLineEnd(section) || HoldsLineEnd(key) || HoldsLineEnd(value))
        return platform::Fail(ERROR_INVALID_PARAMETER);
    std::string path;
    if (!ProfilePath(fileName, path)) return FALSE;
    bool deleting = key == nullptr || value == nullptr;
    struct stat info {};
    int fd = LockProfile(path, !deleting, info);
    if (fd < 0) {
        // Deleting from a file that is not there leaves nothing to do.
        if (deleting && errno == ENOENT) return TRUE;
        return platform::FailWithErrno(errno, path);
    }
    ProfileState& state = State();
    bool ok = true;
    std::string bytes;
    if (info.st_size > kMaxProfileSize)
        ok = platform::Fail(ERROR_FILE_TOO_LARGE);
    else
        ok = ReadAll(fd, info.st_size, bytes);
    if (ok) {
        platform::IniDocument document;
        document.Parse(bytes);
        bool changed = true;
        if (key == nullptr)
            changed = document.DeleteSection(section);
        else if (value == nullptr)
            changed = document.DeleteKey(section, key);
        else
            document.Set(section, key, value);
        std::lock_guard guard(state.lock);
        if (changed) ok = ReplaceProfile(state, path, info.st_mode, document.Serialize());
    }
    close(fd);
    if (ok) SetLastError(ERROR_SUCCESS);
    return ok ? TRUE : FALSE;
}

namespace platform::test {

void FailProfileWriteBeforeRename(bool fail) {
    ProfileState& state = State();
    std::lock_guard guard(state.lock);
    state.failBeforeRename = fail;
}

} // namespace platform::test
