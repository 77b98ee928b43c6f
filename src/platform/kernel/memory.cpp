#include "platform/kernel/memory.h"

#include <malloc.h>

#include <cstdlib>
#include <cstring>

#include "platform/kernel/errors.h"
#include "platform/kernel/faults.h"

namespace {

// Low bits set: the kernel handle table, which steps by 4, never hands this value out.
constexpr HANDLE kProcessHeap = 0x48454101u;

// Every block starts with its requested size, so HeapReAlloc knows where the old
// contents end and zeroes exactly the grown tail (malloc_usable_size would include
// slack the caller never wrote). The header keeps the block maximally aligned.
struct alignas(alignof(std::max_align_t)) BlockHeader {
    SIZE_T size;
};
constexpr SIZE_T kHeader = sizeof(BlockHeader);

BlockHeader* HeaderOf(LPVOID block) {
    return static_cast<BlockHeader*>(block) - 1;
}

bool CheckHeap(HANDLE heap) {
    if (heap == kProcessHeap) return true;
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
}

bool MayAllocate(SIZE_T bytes) {
    if (bytes <= SIZE_MAX - kHeader && !platform::ShouldFail(platform::test::Fault::HeapAlloc))
        return true;
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
}

} // namespace

HANDLE GetProcessHeap() {
    return kProcessHeap;
}

LPVOID HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) {
    if (!CheckHeap(heap) || !MayAllocate(bytes)) return nullptr;
    void* raw =
        (flags & HEAP_ZERO_MEMORY) ? std::calloc(1, kHeader + bytes) : std::malloc(kHeader + bytes);
    if (!raw) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto* header = static_cast<BlockHeader*>(raw);
    header->size = bytes;
    return header + 1;
}

LPVOID HeapReAlloc(HANDLE heap, DWORD flags, LPVOID block, SIZE_T bytes) {
    if (!CheckHeap(heap)) return nullptr;
    if (!block) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (!MayAllocate(bytes)) return nullptr;
    SIZE_T oldSize = HeaderOf(block)->size;
    auto* header = static_cast<BlockHeader*>(std::realloc(HeaderOf(block), kHeader + bytes));
    if (!header) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    header->size = bytes;
    auto* data = reinterpret_cast<BYTE*>(header + 1);
    if ((flags & HEAP_ZERO_MEMORY) && bytes > oldSize)
        std::memset(data + oldSize, 0, bytes - oldSize);
    return data;
}

BOOL HeapFree(HANDLE heap, DWORD, LPVOID block) {
    if (!CheckHeap(heap)) return FALSE;
    if (block) std::free(HeaderOf(block));
    return TRUE;
}

SIZE_T HeapCompact(HANDLE heap, DWORD) {
    if (!CheckHeap(heap)) return 0;
    malloc_trim(0);
    SetLastError(ERROR_SUCCESS);
    return 0;
}
