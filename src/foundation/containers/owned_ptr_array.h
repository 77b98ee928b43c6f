// An array of zero-filled 24-byte records that it allocates and frees itself; the
// capacity grows and shrinks in steps of 16 slots.
#pragma once

#include <cstddef>
#include <cstdint>

class OwnedPtrArray {
public:
    static constexpr size_t kRecordSize = 24;

    OwnedPtrArray() = default;
    ~OwnedPtrArray() { RemoveAll(); }
    OwnedPtrArray(const OwnedPtrArray&) = delete;
    OwnedPtrArray& operator=(const OwnedPtrArray&) = delete;

    // Returns the new count, or -1 for a negative or absurd n or a failed allocation,
    // and then the array is unchanged. Every slot below the count holds a record.
    int32_t SetSize(int32_t n);
    void RemoveAll();

    int32_t GetCount() const { return count_; }
    // Null outside 0 .. count - 1.
    void* GetAt(int32_t i) const { return i >= 0 && i < count_ ? items_[i] : nullptr; }

private:
    int Reallocate(int32_t capacity);

    void** items_ = nullptr;
    int32_t count_ = 0;
    int32_t capacity_ = 0;
};
