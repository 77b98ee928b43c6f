// The table of kernel handles (files, searches, events, mutexes, semaphores, threads,
// global memory). Internal to the platform layer.
#pragma once

#include <memory>

#include "platform/kernel/win_types.h"

namespace platform {

// Base of everything a kernel handle can name. The object lives while the table or a
// caller holding a shared_ptr (a thread inside a wait, say) still refers to it.
class KernelObject {
public:
    virtual ~KernelObject() = default;
    // Objects with their own release call (global memory, registry keys, ...) refuse
    // CloseHandle, as Windows does.
    virtual bool ClosableByCloseHandle() const { return true; }
};

// Adds an object and returns its new handle: a 32-bit value that is never 0 nor
// INVALID_HANDLE_VALUE and is not handed out again while the process lives (so a stale
// handle is refused, not confused with a newer object). Returns 0 when the table is full.
HANDLE RegisterObject(std::shared_ptr<KernelObject> object);

// The object of a handle, or null (with ERROR_INVALID_HANDLE set) when the handle is
// closed, unknown or of another kind.
std::shared_ptr<KernelObject> LookupObject(HANDLE handle);
template <class T> std::shared_ptr<T> LookupObjectAs(HANDLE handle);

// Removes a handle from the table; false (with ERROR_INVALID_HANDLE) when unknown.
bool UnregisterObject(HANDLE handle);
template <class T> bool UnregisterObjectAs(HANDLE handle);

// Number of live handles, for leak checks in tests.
size_t CountObjects();

} // namespace platform

#include "platform/kernel/kernel_objects_inl.h"
