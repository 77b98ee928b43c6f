#include "platform/kernel/kernel_objects.h"

#include <mutex>
#include <unordered_map>

#include "platform/kernel/handles.h"

namespace platform {
namespace {

struct Table {
    std::mutex lock;
    std::unordered_map<HANDLE, std::shared_ptr<KernelObject>> objects;
    // Handle values step by 4 like Windows kernel handles; low bits stay 0.
    uint64_t next = 0x100;
};

Table& GetTable() {
    static Table* table = new Table; // outlives static destructors that close handles
    return *table;
}

} // namespace

HANDLE RegisterObject(std::shared_ptr<KernelObject> object) {
    Table& table = GetTable();
    std::lock_guard guard(table.lock);
    if (table.next >= 0xFFFFFFF0u) {
        SetLastError(ERROR_TOO_MANY_OPEN_FILES);
        return 0;
    }
    auto handle = static_cast<HANDLE>(table.next);
    table.next += 4;
    table.objects.emplace(handle, std::move(object));
    return handle;
}

std::shared_ptr<KernelObject> LookupObject(HANDLE handle) {
    Table& table = GetTable();
    std::lock_guard guard(table.lock);
    auto it = table.objects.find(handle);
    if (it == table.objects.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return it->second;
}

bool UnregisterObject(HANDLE handle) {
    std::shared_ptr<KernelObject> released; // destroyed outside the lock
    Table& table = GetTable();
    {
        std::lock_guard guard(table.lock);
        auto it = table.objects.find(handle);
        if (it == table.objects.end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return false;
        }
        released = std::move(it->second);
        table.objects.erase(it);
    }
    return true;
}

size_t CountObjects() {
    Table& table = GetTable();
    std::lock_guard guard(table.lock);
    return table.objects.size();
}

} // namespace platform

BOOL CloseHandle(HANDLE object) {
    auto target = platform::LookupObject(object);
    if (!target) return FALSE;
    if (!target->ClosableByCloseHandle()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return platform::UnregisterObject(object) ? TRUE : FALSE;
}
