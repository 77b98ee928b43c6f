#include "foundation/containers/ptr_array.h"

#include <cstddef>
#include <cstring>

#include "foundation/memory/memory_helpers.h"

namespace {

constexpr size_t kGrain = 16;
// A 2 GiB block of pointers: anything larger is a corrupt size, not a real array.
constexpr uint32_t kMaxCount = 1u << 28;

size_t RoundedCapacity(uint32_t count) {
    return (size_t{count} + kGrain - 1) / kGrain * kGrain;
}

} // namespace

int PtrArray::SetSize(uint32_t n) {
    if (n == 0) {
        RemoveAll();
        return 1;
    }
    if (n > kMaxCount) return 0;
    // The block is null exactly when the count is 0, so the first size also lands here.
    size_t capacity = RoundedCapacity(n);
    if (capacity != RoundedCapacity(count_) && !MemRealloc(capacity * sizeof(void*), &items_)) {
        return 0;
    }
    // A shrink leaves the old items in place, so growing again must clear them too.
    if (n > count_) std::memset(items_ + count_, 0, (n - count_) * sizeof(void*));
    count_ = n;
    return 1;
}

int PtrArray::SetAtGrow(int32_t i, void* item) {
    if (i < 0) return 0;
    uint32_t index = static_cast<uint32_t>(i);
    if (index >= count_ && !SetSize(index + 1)) return 0;
    items_[index] = item;
    return 1;
}

void PtrArray::RemoveAll() {
    MemFree(&items_);
    count_ = 0;
}
