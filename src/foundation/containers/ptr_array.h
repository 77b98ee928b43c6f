// A plain growable array of pointers that it does not own. The capacity is never
// stored: it is the count rounded up to 16 items, so the block is only ever resized
// when the count crosses a multiple of 16.
#pragma once

#include <cstdint>

class PtrArray {
public:
    PtrArray() = default;
    ~PtrArray() { RemoveAll(); }
    PtrArray(const PtrArray&) = delete;
    PtrArray& operator=(const PtrArray&) = delete;

    // 1 on success; 0 when the block cannot be (re)allocated or n is absurdly large
    // (over 2^28 items), and then the array is unchanged. Items from the old
    // count up to n are null afterwards, even when they were used before a shrink.
    int SetSize(uint32_t n);
    // Null from index count on.
    void* GetAt(uint32_t i) const { return i < count_ ? items_[i] : nullptr; }
    // Ignored from index count on: it never grows the array.
    void SetAt(uint32_t i, void* item) {
        if (i < count_) items_[i] = item;
    }
    // Grows the array to i + 1 items first when needed. 0 for a negative index or when
    // the growth fails.
    int SetAtGrow(int32_t i, void* item);
    void ClearAt(uint32_t i) { SetAt(i, nullptr); }
    void RemoveAll();

    uint32_t GetCount() const { return count_; }

private:
    uint32_t count_ = 0;
    void** items_ = nullptr;
};
