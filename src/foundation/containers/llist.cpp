#include "foundation/containers/llist.h"

#include <algorithm>
#include <cstring>

#include "foundation/memory/memory_helpers.h"

LList::LList(uint32_t indexCapacity) {
    // Without an index the first append grows one, so a failure here loses nothing.
    if (indexCapacity != 0 && MemCalloc(size_t{indexCapacity} * sizeof(LListNode*), &index_)) {
        indexCapacity_ = indexCapacity;
    }
}

LList::~LList() {
    FreeNodes();
    MemFree(&index_);
}

void LList::FreeNodes() {
    for (LListNode* node = head_; node != nullptr;) {
        LListNode* next = node->next;
        MemFree(&node);
        node = next;
    }
    head_ = tail_ = nullptr;
    count_ = 0;
}

void LList::RemoveAll() {
    FreeNodes();
    MemFree(&index_);
    indexCapacity_ = 0;
    validEntries_ = 0;
    if (MemCalloc(kIndexGrowth * sizeof(LListNode*), &index_)) indexCapacity_ = kIndexGrowth;
}

int LList::ReserveIndexEntry() {
    uint32_t entry = count_ / kSpan;
    if (entry < indexCapacity_) return 1;
    uint32_t capacity = indexCapacity_ + kIndexGrowth;
    LListNode** index = nullptr;
    if (!MemCalloc(size_t{capacity} * sizeof(LListNode*), &index)) return 0;
    if (indexCapacity_ != 0) std::memcpy(index, index_, indexCapacity_ * sizeof(LListNode*));
    MemFree(&index_);
    index_ = index;
    indexCapacity_ = capacity;
    return 1;
}

LListNode* LList::NewNode(void* item) {
    LListNode* node = nullptr;
    if (!MemAlloc(sizeof(LListNode), &node)) return nullptr;
    if (count_ % kSpan == 0 && !ReserveIndexEntry()) {
        MemFree(&node);
        return nullptr;
    }
    *node = LListNode{nullptr, nullptr, 0, item};
    return node;
}

LListNode* LList::InsertAfter(void* item, LListNode* node) {
    LListNode* anchor = node != nullptr ? node : tail_;
    LListNode* added = NewNode(item);
    if (added == nullptr) return nullptr;
    added->prev = anchor;
    if (anchor == nullptr) {
        head_ = added;
    } else {
        added->next = anchor->next;
        if (anchor->next != nullptr) anchor->next->prev = added;
        anchor->next = added;
    }
    if (anchor == tail_) {
        tail_ = added;
        if (count_ % kSpan == 0 && validEntries_ == count_ / kSpan) {
            index_[count_ / kSpan] = added;
            ++validEntries_;
        }
    } else {
        validEntries_ = 0;
    }
    ++count_;
    return added;
}

LListNode* LList::InsertBefore(void* item, LListNode* node) {
    if (node == nullptr) return InsertAfter(item, nullptr);
    LListNode* added = NewNode(item);
    if (added == nullptr) return nullptr;
    added->next = node;
    added->prev = node->prev;
    if (node->prev != nullptr) {
        node->prev->next = added;
    } else {
        head_ = added;
    }
    node->prev = added;
    ++count_;
    validEntries_ = 0;
    return added;
}

LListNode* LList::InsertAt(void* item, uint32_t i) {
    return InsertAfter(item, i < count_ ? GetNodeAt(i) : nullptr);
}

void LList::MoveBefore(LListNode* node, LListNode* before) {
    if (node == nullptr || node == before || (before == nullptr && node == tail_)) return;
    if (node->prev != nullptr) {
        node->prev->next = node->next;
    } else {
        head_ = node->next;
    }
    if (node->next != nullptr) {
        node->next->prev = node->prev;
    } else {
        tail_ = node->prev;
    }
    if (before == nullptr) {
        node->prev = tail_;
        node->next = nullptr;
        tail_->next = node;
        tail_ = node;
    } else {
        node->next = before;
        node->prev = before->prev;
        if (before->prev != nullptr) {
            before->prev->next = node;
        } else {
            head_ = node;
        }
        before->prev = node;
    }
    validEntries_ = 0;
}

void LList::ExtendIndex(uint32_t last) const {
    uint32_t entry = validEntries_;
    LListNode* node = entry == 0 ? head_ : index_[entry - 1];
    uint32_t steps = entry == 0 ? 0 : kSpan;
    for (; entry <= last; ++entry) {
        for (; steps != 0; --steps)
            node = node->next;
        index_[entry] = node;
        steps = kSpan;
    }
    validEntries_ = last + 1;
}

LListNode* LList::GetNodeAt(uint32_t i) const {
    if (i >= count_) return nullptr;
    if (i / kSpan >= validEntries_) ExtendIndex(i / kSpan);
    LListNode* node = index_[i / kSpan];
    for (uint32_t steps = i % kSpan; steps != 0; --steps)
        node = node->next;
    return node;
}

LListNode* LList::FindNode(const void* item) const {
    for (LListNode* node = head_; node != nullptr; node = node->next) {
        if (node->item == item) return node;
    }
    return nullptr;
}

int32_t LList::IndexOf(const void* item) const {
    int32_t position = 0;
    for (LListNode* node = head_; node != nullptr; node = node->next, ++position) {
        if (node->item == item) return position;
    }
    return -1;
}

int64_t LList::PositionOf(const LListNode* node) const {
    // Walking towards both ends at once makes nodes near either end quick to place, and
    // the end reached tells whether the node belongs to this list at all.
    const LListNode* back = node;
    const LListNode* ahead = node;
    for (uint32_t steps = 0;; ++steps) {
        if (back->prev == nullptr) return back == head_ ? int64_t{steps} : -1;
        if (ahead->next == nullptr) return ahead == tail_ ? int64_t{count_} - 1 - steps : -1;
        back = back->prev;
        ahead = ahead->next;
    }
}

int LList::RemoveNode(LListNode* node, int force) {
    if (node == nullptr) return 0;
    int64_t found = PositionOf(node);
    if (found < 0) return 0;
    uint32_t position = static_cast<uint32_t>(found);
    if (node->useCount >= 2 && force != 1) {
        --node->useCount;
        return 0;
    }
    // Every node behind the removed one moves one position forward: the entries from the
    // first at or after it are stale.
    validEntries_ = std::min(validEntries_, (position + kSpan - 1) / kSpan);
    Unlink(node);
    return 1;
}

void LList::RemoveKnownNode(LListNode* node) {
    // The tail's place is known; elsewhere, the position is not worth a walk.
    validEntries_ =
        node == tail_ ? std::min(validEntries_, (count_ - 1 + kSpan - 1) / kSpan) : 0;
    Unlink(node);
}

void LList::Unlink(LListNode* node) {
    if (node->prev != nullptr) {
        node->prev->next = node->next;
    } else {
        head_ = node->next;
    }
    if (node->next != nullptr) {
        node->next->prev = node->prev;
    } else {
        tail_ = node->prev;
    }
    --count_;
    MemFree(&node);
}
