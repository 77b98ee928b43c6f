#include "foundation/containers/owned_ptr_array.h"

#include "foundation/memory/memory_helpers.h"

namespace {

constexpr int32_t kGrain = 16;
// A 2 GiB block of slots, as for the plain pointer array.
constexpr int32_t kMaxCount = 1 << 28;

int32_t RoundedCapacity(int32_t count) {
    return (count + kGrain - 1) / kGrain * kGrain;
}

} // namespace

int OwnedPtrArray::Reallocate(int32_t capacity) {
    if (!MemRealloc(static_cast<size_t>(capacity) * sizeof(void*), &items_)) return 0;
    capacity_ = capacity;
    return 1;
}

int32_t OwnedPtrArray::SetSize(int32_t n) {
    if (n < 0 || n > kMaxCount) return -1;
    if (n == count_) return n;
    if (n == 0) {
        RemoveAll();
        return 0;
    }
    if (n < count_) {
        for (int32_t i = n; i < count_; ++i)
            MemFree(&items_[i]);
        count_ = n;
        // The records are gone whatever happens next; a block that cannot shrink is
        // merely larger than needed, so keeping it is not a failure.
        Reallocate(RoundedCapacity(n));
        return n;
    }
    if (n > capacity_ && !Reallocate(RoundedCapacity(n))) return -1;
    for (int32_t i = count_; i < n; ++i) {
        items_[i] = nullptr;
        if (!MemCalloc(kRecordSize, &items_[i])) {
            // A slot without its record would be a null the caller never expects.
            while (i > count_)
                MemFree(&items_[--i]);
            return -1;
        }
    }
    count_ = n;
    return n;
}

void OwnedPtrArray::RemoveAll() {
    for (int32_t i = 0; i < count_; ++i)
        MemFree(&items_[i]);
    MemFree(&items_);
    count_ = 0;
    capacity_ = 0;
}
