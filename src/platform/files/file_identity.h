// Which file a path leads to, so that a file kept by name can be told from another one
// that took its name after it was deleted, or from itself rewritten.
#pragma once

#include <cstdint>

#include "platform/kernel/win_types.h"

struct FileIdentity {
    uint64_t device = 0;
    uint64_t index = 0; // the file's number on its device
    uint64_t size = 0;
    int64_t writeTime = 0; // nanoseconds since 1970
    bool operator==(const FileIdentity&) const = default;
};

// Fails, with the Win32 error of the lookup, when the path names nothing or a folder.
BOOL GetFileIdentity(LPCSTR fileName, FileIdentity* identity);
