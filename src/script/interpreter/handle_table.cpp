#include "script/interpreter/handle_table.h"

#include <cstring>

#include "foundation/memory/memory_helpers.h"

namespace {

constexpr uint32_t kFirstCapacity = 16;
constexpr uint32_t kGrowth = 32;
// Keeps every index, and the capacity itself, within 32 bits.
constexpr uint32_t kMaxCapacity = UINT32_MAX - kGrowth;

} // namespace

CHandleTable::~CHandleTable() {
    MemFree(&nodes_);
}

void CHandleTable::Clear() {
    MemFree(&nodes_);
    for (Chain& chain : chains_)
        chain = Chain{0, 0};
    capacity_ = freeHead_ = freeTail_ = 0;
}

int CHandleTable::Reserve() {
    if (freeHead_ != 0) return 1;
    uint32_t first;
    uint32_t capacity;
    if (nodes_ == nullptr) {
        if (!MemCalloc(kFirstCapacity * sizeof(Node), &nodes_)) return 0;
        first = 1;
        capacity = kFirstCapacity;
    } else {
        if (capacity_ > kMaxCapacity) return 0;
        capacity = capacity_ + kGrowth;
        if (!MemRealloc(size_t{capacity} * sizeof(Node), &nodes_)) return 0;
        std::memset(nodes_ + capacity_, 0, kGrowth * sizeof(Node));
        first = capacity_;
    }
    for (uint32_t i = first; i + 1 < capacity; ++i)
        nodes_[i].next = i + 1;
    freeHead_ = first;
    freeTail_ = capacity - 1;
    capacity_ = capacity;
    return 1;
}

uint32_t CHandleTable::Add(uintptr_t value, uint32_t key) {
    if (freeHead_ == 0 && !Reserve()) return 0;
    uint32_t node = freeHead_;
    freeHead_ = nodes_[node].next;
    if (freeHead_ == 0) freeTail_ = 0;
    Chain& chain = chains_[key & 7];
    nodes_[node] = Node{0, chain.head, value, key, 1};
    if (chain.head != 0) {
        nodes_[chain.head].previous = node;
    } else {
        chain.tail = node;
    }
    chain.head = node;
    return node;
}

void CHandleTable::Remove(uint32_t node) {
    if (!InUse(node)) return;
    Node& n = nodes_[node];
    Chain& chain = chains_[n.key & 7];
    if (n.previous != 0) {
        nodes_[n.previous].next = n.next;
    } else {
        chain.head = n.next;
    }
    if (n.next != 0) {
        nodes_[n.next].previous = n.previous;
    } else {
        chain.tail = n.previous;
    }
    n = Node{0, 0, 0, 0, 0};
    if (freeTail_ != 0) {
        nodes_[freeTail_].next = node;
    } else {
        freeHead_ = node;
    }
    freeTail_ = node;
}
