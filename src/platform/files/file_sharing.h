// The process's record of open files and their share modes, so that a conflicting open,
// delete or rename is refused with ERROR_SHARING_VIOLATION as Windows refuses it.
// Only this process's own opens are known: Linux keeps no share modes.
#pragma once

#include <cstdint>
#include <mutex>
#include <sys/stat.h>

#include "platform/kernel/win_types.h"

namespace platform {

struct FileId {
    dev_t device;
    ino_t inode;
    auto operator<=>(const FileId&) const = default;
};

inline FileId FileIdOf(const struct stat& info) {
    return FileId{info.st_dev, info.st_ino};
}

// The access right of deleting or renaming, next to GENERIC_READ and GENERIC_WRITE.
inline constexpr DWORD kDeleteAccess = 0x00010000;

// Holds the record locked, so that a check and the operation it allows happen as one.
class SharingLock {
public:
    SharingLock();
    // Whether a new opener asking for `access` with `shareMode` is compatible with every
    // recorded opener of `id`: each must share what it asks for, and it must share what
    // each of them has. An opener asking for neither reading, writing nor deleting is
    // always compatible.
    bool Allows(const FileId& id, DWORD access, DWORD shareMode) const;
    // Records an opener; returns the ticket that removes it, 0 when nothing needed
    // recording.
    uint64_t Add(const FileId& id, DWORD access, DWORD shareMode);

private:
    std::unique_lock<std::mutex> guard_;
};

void RemoveSharer(const FileId& id, uint64_t ticket);

} // namespace platform
