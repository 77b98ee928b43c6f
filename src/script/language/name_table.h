// The names of a compiled program (variables, functions, members), each kept once
// without regard to case and known by its id: (bucket << 16) | index, where the bucket is
// the name hash modulo 32 and the index the name's place in its bucket. Ids are the keys
// of the interpreter's variable tables and the member names of method lookups.
#pragma once

#include <cstdint>

class CNameTable {
public:
    static constexpr uint32_t kBucketCount = 32;
    // The index is 16 bits of the id, so a bucket holds at most this many names.
    static constexpr uint32_t kBucketLimit = 0x10000;

    CNameTable() = default;
    ~CNameTable();
    CNameTable(const CNameTable&) = delete;
    CNameTable& operator=(const CNameTable&) = delete;

    // The id of the first entry equal to `name` without regard to case; a name not
    // present is added. -1 when memory runs out or the name's bucket is full.
    int32_t FindOrAdd(const char* name);
    // The stored text of an id; null for an id that was never given.
    const char* GetName(uint32_t id) const;
    uint32_t GetCount() const { return count_; }
    void RemoveAll();

private:
    struct Bucket {
        char** items;
        uint32_t count;
        uint32_t capacity;
    };
    // An open-addressed index over every name, so that finding a name costs one probe
    // sequence whatever the bucket sizes.
    struct Slot {
        uint32_t hash;
        uint32_t id; // kEmptySlot when free
    };
    static constexpr uint32_t kEmptySlot = 0xFFFFFFFF;

    int GrowIndex();
    int Append(uint32_t bucket, const char* name, uint32_t length, uint32_t* id);

    Bucket buckets_[kBucketCount] = {};
    Slot* slots_ = nullptr;
    uint32_t slotCount_ = 0; // a power of two, or 0
    uint32_t count_ = 0;
};
