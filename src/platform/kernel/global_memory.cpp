#include <cstdlib>
#include <mutex>
#include <unordered_map>

#include "platform/kernel/errors.h"
#include "platform/kernel/faults.h"
#include "platform/kernel/kernel_objects.h"
#include "platform/kernel/memory.h"

namespace {

class GlobalBlock : public platform::KernelObject {
public:
    GlobalBlock(void* data, SIZE_T size) : data(data), size(size) {}
    ~GlobalBlock() override { std::free(data); }
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;
    bool ClosableByCloseHandle() const override { return false; }

    void* const data;
    const SIZE_T size;
    DWORD locks = 0; // guarded by Registry::lock
};

// Block address to handle, for GlobalHandle. The lock also guards the lock counts and
// keeps allocation and freeing of one handle from interleaving.
struct Registry {
    std::mutex lock;
    std::unordered_map<const void*, HGLOBAL> handles;
};

Registry& GetRegistry() {
    static Registry* registry = new Registry; // outlives static destructors freeing blocks
    return *registry;
}

} // namespace

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
    if (platform::ShouldFail(platform::test::Fault::HeapAlloc)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    // At least one byte, so that every block has an address of its own.
    SIZE_T allocated = bytes == 0 ? 1 : bytes;
    void* data = (flags & GMEM_ZEROINIT) ? std::calloc(1, allocated) : std::malloc(allocated);
    if (!data) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    Registry& registry = GetRegistry();
    std::lock_guard guard(registry.lock);
    HGLOBAL handle = platform::RegisterObject(std::make_shared<GlobalBlock>(data, bytes));
    if (handle != 0) registry.handles.insert_or_assign(data, handle);
    return handle;
}

LPVOID GlobalLock(HGLOBAL memory) {
    auto block = platform::LookupObjectAs<GlobalBlock>(memory);
    if (!block) return nullptr;
    std::lock_guard guard(GetRegistry().lock);
    ++block->locks;
    return block->data;
}

HGLOBAL GlobalHandle(LPCVOID pointer) {
    Registry& registry = GetRegistry();
    std::lock_guard guard(registry.lock);
    auto it = registry.handles.find(pointer);
    if (it == registry.handles.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return it->second;
}

BOOL GlobalUnlock(HGLOBAL memory) {
    auto block = platform::LookupObjectAs<GlobalBlock>(memory);
    if (!block) return FALSE;
    std::lock_guard guard(GetRegistry().lock);
    if (block->locks == 0) {
        SetLastError(ERROR_NOT_LOCKED);
        return FALSE;
    }
    if (--block->locks != 0) return TRUE;
    SetLastError(ERROR_SUCCESS);
    return FALSE;
}

HGLOBAL GlobalFree(HGLOBAL memory) {
    Registry& registry = GetRegistry();
    std::lock_guard guard(registry.lock);
    auto block = platform::LookupObjectAs<GlobalBlock>(memory);
    if (!block || !platform::UnregisterObject(memory)) return memory;
    registry.handles.erase(block->data);
    return 0;
}

SIZE_T GlobalSize(HGLOBAL memory) {
    auto block = platform::LookupObjectAs<GlobalBlock>(memory);
    return block ? block->size : 0;
}
