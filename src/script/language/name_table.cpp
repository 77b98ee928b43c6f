#include "script/language/name_table.h"

#include <cstring>

#include "foundation/memory/memory_helpers.h"
#include "script/language/char_class.h"

namespace {

constexpr uint32_t kBucketGrowth = 32;
constexpr uint32_t kFirstIndexSize = 256;

// A well-mixed hash of the folded bytes for the index; the bucket keeps the
// conventional sum.
struct NameKeys {
    uint32_t mixed = 2166136261u;
    uint32_t sum = 0;
    uint32_t length = 0;
};

NameKeys KeysOf(const char* name) {
    const unsigned char* fold = GetNameFoldTable();
    NameKeys keys;
    for (auto* p = reinterpret_cast<const unsigned char*>(name); *p != 0; ++p) {
        unsigned char c = fold[*p];
        keys.mixed = (keys.mixed ^ c) * 16777619u;
        keys.sum += c & 0xDF;
        ++keys.length;
    }
    return keys;
}

} // namespace

CNameTable::~CNameTable() {
    RemoveAll();
}

void CNameTable::RemoveAll() {
    for (Bucket& bucket : buckets_) {
        for (uint32_t i = 0; i < bucket.count; ++i)
            MemFree(&bucket.items[i]);
        MemFree(&bucket.items);
        bucket.count = 0;
        bucket.capacity = 0;
    }
    MemFree(&slots_);
    slotCount_ = 0;
    count_ = 0;
}

const char* CNameTable::GetName(uint32_t id) const {
    uint32_t bucket = id >> 16;
    uint32_t index = id & 0xFFFF;
    if (bucket >= kBucketCount || index >= buckets_[bucket].count) return nullptr;
    return buckets_[bucket].items[index];
}

int32_t CNameTable::FindOrAdd(const char* name) {
    NameKeys keys = KeysOf(name);
    if (count_ + 1 > slotCount_ / 2 && !GrowIndex()) return -1;
    uint32_t mask = slotCount_ - 1;
    uint32_t i = keys.mixed & mask;
    for (; slots_[i].id != kEmptySlot; i = (i + 1) & mask) {
        if (slots_[i].hash == keys.mixed && NamesEqual(GetName(slots_[i].id), name))
            return static_cast<int32_t>(slots_[i].id);
    }
    uint32_t id;
    if (!Append(keys.sum % kBucketCount, name, keys.length, &id)) return -1;
    slots_[i] = {keys.mixed, id};
    ++count_;
    return static_cast<int32_t>(id);
}

int CNameTable::Append(uint32_t bucketIndex, const char* name, uint32_t length, uint32_t* id) {
    Bucket& bucket = buckets_[bucketIndex];
    if (bucket.count >= kBucketLimit) return 0;
    if (bucket.count == bucket.capacity) {
        uint32_t capacity = bucket.capacity + kBucketGrowth;
        if (!MemRealloc(capacity * sizeof(char*), &bucket.items)) return 0;
        bucket.capacity = capacity;
    }
    char* copy = nullptr;
    if (!MemAlloc(length + 1, &copy)) return 0;
    std::memcpy(copy, name, length + 1);
    *id = (bucketIndex << 16) | bucket.count;
    bucket.items[bucket.count++] = copy;
    return 1;
}

int CNameTable::GrowIndex() {
    uint32_t size = slotCount_ == 0 ? kFirstIndexSize : slotCount_ * 2;
    Slot* slots = nullptr;
    if (size == 0 || !MemAlloc(size * sizeof(Slot), &slots)) return 0;
    for (uint32_t i = 0; i < size; ++i)
        slots[i].id = kEmptySlot;
    uint32_t mask = size - 1;
    for (uint32_t i = 0; i < slotCount_; ++i) {
        if (slots_[i].id == kEmptySlot) continue;
        uint32_t j = slots_[i].hash & mask;
        while (slots[j].id != kEmptySlot)
            j = (j + 1) & mask;
        slots[j] = slots_[i];
    }
    MemFree(&slots_);
    slots_ = slots;
    slotCount_ = size;
    return 1;
}
