#include "script/runtime/process_lock.h"

namespace {

// Made at static initialisation and kept until exit, so that any thread may take it
// whenever it runs.
struct ProcessLock {
    ProcessLock() { InitializeCriticalSection(&section); }
    ~ProcessLock() { DeleteCriticalSection(&section); }
    CRITICAL_SECTION section;
};

ProcessLock processLock;

} // namespace

CRITICAL_SECTION& GetProcessLock() {
    return processLock.section;
}
