#include "foundation/containers/handle_list.h"

#include <cstring>

#include "foundation/memory/memory_helpers.h"

namespace {

constexpr uint32_t kFirstCapacity = 16;
constexpr uint32_t kGrowth = 32;
// Keeps every index, and the capacity itself, within 32 bits.
constexpr uint32_t kMaxCapacity = UINT32_MAX - kGrowth;

} // namespace

CHandleList::~CHandleList() {
    MemFree(&nodes_);
}

void CHandleList::RemoveAll() {
    MemFree(&nodes_);
    firstFree_ = head_ = lastFree_ = tail_ = capacity_ = freeCount_ = 0;
}

int CHandleList::Grow() {
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
    firstFree_ = first;
    lastFree_ = capacity - 1;
    freeCount_ += capacity - capacity_;
    capacity_ = capacity;
    return 1;
}

uint32_t CHandleList::TakeNode(uintptr_t value) {
    if (firstFree_ == 0 && !Grow()) return 0;
    uint32_t i = firstFree_;
    firstFree_ = nodes_[i].next;
    if (firstFree_ == 0) lastFree_ = 0;
    nodes_[i] = Node{0, 0, value, 1};
    --freeCount_;
    return i;
}

void CHandleList::Unlink(uint32_t i) {
    Node& node = nodes_[i];
    if (node.prev != 0) {
        nodes_[node.prev].next = node.next;
    } else {
        head_ = node.next;
    }
    if (node.next != 0) {
        nodes_[node.next].prev = node.prev;
    } else {
        tail_ = node.prev;
    }
    node.prev = node.next = 0;
}

void CHandleList::LinkAfter(uint32_t i, uint32_t after) {
    Node& node = nodes_[i];
    node.prev = after;
    node.next = after != 0 ? nodes_[after].next : head_;
    if (after != 0) {
        nodes_[after].next = i;
    } else {
        head_ = i;
    }
    if (node.next != 0) {
        nodes_[node.next].prev = i;
    } else {
        tail_ = i;
    }
}

uint32_t CHandleList::AddTail(uintptr_t value) {
    uint32_t i = TakeNode(value);
    if (i != 0) LinkAfter(i, tail_);
    return i;
}

uint32_t CHandleList::AddHead(uintptr_t value) {
    uint32_t i = TakeNode(value);
    if (i != 0) LinkAfter(i, 0);
    return i;
}

uint32_t CHandleList::InsertAfter(uint32_t i, uintptr_t value) {
    if (i == 0) return AddHead(value);
    // Checked before taking a node: a free anchor could be the very node taken.
    if (!InUse(i)) return AddTail(value);
    uint32_t added = TakeNode(value);
    if (added != 0) LinkAfter(added, i);
    return added;
}

void CHandleList::MoveAfter(uint32_t i, uint32_t j) {
    if (i == j || !InUse(i) || (j != 0 && !InUse(j))) return;
    if (nodes_[i].prev == j) return;
    Unlink(i);
    LinkAfter(i, j);
}

void CHandleList::Remove(uint32_t i) {
    if (!InUse(i)) return;
    Unlink(i);
    Node& node = nodes_[i];
    node.value = 0;
    node.used = 0;
    if (lastFree_ != 0) {
        nodes_[lastFree_].next = i;
    } else {
        firstFree_ = i;
    }
    lastFree_ = i;
    ++freeCount_;
}

void CHandleList::SetAt(uint32_t i, uintptr_t value) {
    if (InUse(i)) nodes_[i].value = value;
}

uintptr_t CHandleList::GetNext(uint32_t* i) const {
    if (!InUse(*i)) {
        *i = 0;
        return 0;
    }
    const Node& node = nodes_[*i];
    *i = node.next;
    return node.value;
}

uintptr_t CHandleList::GetPrev(uint32_t* i) const {
    if (!InUse(*i)) {
        *i = 0;
        return 0;
    }
    const Node& node = nodes_[*i];
    *i = node.prev;
    return node.value;
}

uint32_t CHandleList::Find(uintptr_t value) const {
    for (uint32_t i = head_; i != 0; i = nodes_[i].next) {
        if (nodes_[i].value == value) return i;
    }
    return 0;
}
