#include "foundation/memory/memory_helpers.h"

#include <cstring>

#include "platform/kernel/memory.h"

namespace {

// Movable and zero-initialised, as the blocks handed to clipboard and media calls must be.
constexpr UINT kGlobalBlockFlags = GMEM_MOVEABLE | GMEM_ZEROINIT;

// A failed allocation may only mean the heap holds on to freed pages; giving them back
// once is worth a second try, but a loop would just spin on a truly exhausted heap.
void* AllocateWithRetry(size_t size, DWORD flags) {
    HANDLE heap = GetProcessHeap();
    void* block = HeapAlloc(heap, flags, size);
    if (block == nullptr) {
        HeapCompact(heap, 0);
        block = HeapAlloc(heap, flags, size);
    }
    return block;
}

} // namespace

int MemAlloc(size_t size, void** pointer) {
    *pointer = AllocateWithRetry(size, 0);
    return *pointer != nullptr;
}

int MemCalloc(size_t size, void** pointer) {
    *pointer = AllocateWithRetry(size, HEAP_ZERO_MEMORY);
    return *pointer != nullptr;
}

int MemRealloc(size_t size, void** pointer) {
    if (*pointer == nullptr) return MemAlloc(size, pointer);
    HANDLE heap = GetProcessHeap();
    void* block = HeapReAlloc(heap, 0, *pointer, size);
    if (block == nullptr) {
        HeapCompact(heap, 0);
        block = HeapReAlloc(heap, 0, *pointer, size);
    }
    if (block == nullptr) return 0;
    *pointer = block;
    return 1;
}

void MemFree(void** pointer) {
    if (*pointer == nullptr) return;
    HeapFree(GetProcessHeap(), 0, *pointer);
    *pointer = nullptr;
}

int GlobalMemAlloc(size_t size, void** pointer) {
    *pointer = nullptr;
    HGLOBAL memory = GlobalAlloc(kGlobalBlockFlags, size);
    if (memory == 0) return 0;
    void* address = GlobalLock(memory);
    if (address == nullptr) {
        GlobalFree(memory);
        return 0;
    }
    *pointer = address;
    return 1;
}

void GlobalMemFree(void** pointer) {
    if (*pointer == nullptr) return;
    HGLOBAL memory = GlobalHandle(*pointer);
    if (memory != 0) {
        GlobalUnlock(memory);
        GlobalFree(memory);
    }
    *pointer = nullptr;
}

char* MemCopyText(const char* text) {
    if (text == nullptr) return nullptr;
    size_t size = std::strlen(text) + 1;
    char* copy = nullptr;
    if (!MemAlloc(size, &copy)) return nullptr;
    std::memcpy(copy, text, size);
    return copy;
}
