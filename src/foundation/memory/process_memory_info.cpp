#include "foundation/memory/process_memory_info.h"

#include "platform/kernel/sync.h"

namespace {

// Made at the first use and deleted at exit, so that users on any thread, and in other
// static constructors, find it made.
CRITICAL_SECTION& Section() {
    static struct Owned {
        Owned() { InitializeCriticalSection(&section); }
        ~Owned() { DeleteCriticalSection(&section); }
        CRITICAL_SECTION section;
    } owned;
    return owned.section;
}

class Held {
public:
    Held() : section_(Section()) { EnterCriticalSection(&section_); }
    ~Held() { LeaveCriticalSection(&section_); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;

private:
    CRITICAL_SECTION& section_;
};

// Guarded by Section().
int users = 0;

bool Query(PROCESS_MEMORY_COUNTERS* counters) {
    return GetProcessMemoryInfo(GetCurrentProcess(), counters, sizeof(*counters)) != FALSE;
}

} // namespace

int OpenProcessMemoryInfo() {
    Held held;
    if (users == 0) {
        PROCESS_MEMORY_COUNTERS probe;
        if (!Query(&probe)) return 0;
    }
    ++users;
    return 1;
}

int CloseProcessMemoryInfo() {
    Held held;
    if (users > 0) --users;
    return 1;
}

int GetProcessMemoryUsage(PROCESS_MEMORY_COUNTERS* counters) {
    if (counters == nullptr) return 0;
    Held held;
    return users > 0 && Query(counters) ? 1 : 0;
}
