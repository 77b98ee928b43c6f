// A copy of the entries of a CHandleList, taken before a walk whose calls may add to the
// list or take entries out of it (an owner destroyed by another entry's call). An entry
// is handed out only while its node still holds it, so nothing that left the list is
// called afterwards. Entries with an instance number (script objects) must also keep it:
// a new object made at a freed one's address in the same node is not the one copied.
#pragma once

#include <cstdint>

#include "foundation/containers/handle_list.h"
#include "foundation/memory/memory_helpers.h"

template <class T> class ListSnapshot {
public:
    ListSnapshot() = default;
    explicit ListSnapshot(const CHandleList& list) : list_(&list) {}
    ~ListSnapshot() { MemFree(&entries_); }
    ListSnapshot(const ListSnapshot&) = delete;
    ListSnapshot& operator=(const ListSnapshot&) = delete;

    // Replaces the copy by the list as it is now; 0 when memory runs out.
    int Take() {
        count_ = 0;
        uint32_t n = list_->GetCount();
        if (n > capacity_) {
            if (!MemRealloc(size_t(n) * sizeof(Entry), &entries_)) return 0;
            capacity_ = n;
        }
        for (uint32_t node = list_->GetHead(); node != 0 && count_ < n;) {
            uint32_t current = node;
            auto* value = reinterpret_cast<T*>(list_->GetNext(&node));
            entries_[count_++] = {current, value, Instance(value)};
        }
        return 1;
    }
    // The same for another list.
    int Take(const CHandleList& list) {
        list_ = &list;
        return Take();
    }
    uint32_t GetCount() const { return count_; }
    // Entry i, or null when it left the list since the copy was taken.
    T* Get(uint32_t i) const {
        const Entry& entry = entries_[i];
        if (list_->GetAt(entry.node) != reinterpret_cast<uintptr_t>(entry.value)) return nullptr;
        return Instance(entry.value) == entry.instance ? entry.value : nullptr;
    }
    // Keeps only the entries for which `keep`(entry) answers true, in their order;
    // entries that left the list go too.
    template <class Keep> void RemoveUnless(Keep keep) {
        uint32_t kept = 0;
        for (uint32_t i = 0; i < count_; ++i) {
            T* value = Get(i);
            if (value != nullptr && keep(value)) entries_[kept++] = entries_[i];
        }
        count_ = kept;
    }

private:
    struct Entry {
        uint32_t node;
        T* value;
        uint64_t instance;
    };
    static uint64_t Instance(const T* value) {
        if constexpr (requires { value->instance; })
            return value->instance;
        else
            return 0;
    }
    const CHandleList* list_ = nullptr;
    Entry* entries_ = nullptr;
    uint32_t count_ = 0;
    uint32_t capacity_ = 0;
};
