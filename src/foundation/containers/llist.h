// A doubly linked list of pointers it does not own, with use-counted nodes and a sparse
// position index: entry k points at the node at position 64 * k, so finding a position
// costs one lookup and at most 63 steps. Appending is constant time, and so is removing
// near either end. A change inside the list only marks the entries behind it stale; the
// next lookup that needs them makes them again, so a run of changes costs one walk.
#pragma once

#include <cstdint>

struct LListNode {
    LListNode* prev;
    LListNode* next;
    // Holders that must keep the node alive raise this; see LList::RemoveNode.
    int32_t useCount;
    void* item;
};

class LList {
public:
    // An index of `indexCapacity` entries to start with; it grows by 10 entries when
    // needed, also from none.
    explicit LList(uint32_t indexCapacity = 10);
    ~LList();
    LList(const LList&) = delete;
    LList& operator=(const LList&) = delete;

    void RemoveAll();

    // Each returns the new node, or null when a node or the index cannot be allocated,
    // and then the list is unchanged. The anchor must be a node of this list; a null
    // one appends at the tail.
    LListNode* InsertAfter(void* item, LListNode* node);
    LListNode* InsertBefore(void* item, LListNode* node);
    // Inserts AFTER the node at position i (so at i + 1); appends when i >= count.
    LListNode* InsertAt(void* item, uint32_t i);

    // Relinks `node` just before `before`, or at the tail when `before` is null. Both
    // must be nodes of this list.
    void MoveBefore(LListNode* node, LListNode* before);

    // Null when i >= count.
    LListNode* GetNodeAt(uint32_t i) const;
    LListNode* FindNode(const void* item) const;
    // -1 when the item is not in the list.
    int32_t IndexOf(const void* item) const;

    // Removes and frees the node and returns 1. With a use count of 2 or more and force
    // other than 1, only drops the use count and returns 0. 0 for null or for a node
    // that is not in this list.
    int RemoveNode(LListNode* node, int force);
    // Removes and frees a node that its holder knows to be in this list (it kept the node
    // that an insertion returned), whatever its use count: constant time, without finding
    // its position first. The position index goes stale but for the tail's removal.
    void RemoveKnownNode(LListNode* node);

    uint32_t GetCount() const { return count_; }
    LListNode* GetHead() const { return head_; }
    LListNode* GetTail() const { return tail_; }

private:
    static constexpr uint32_t kSpan = 64;
    static constexpr uint32_t kIndexGrowth = 10;

    void FreeNodes();
    // Takes the node out of the links and frees it.
    void Unlink(LListNode* node);
    // Makes sure the index has an entry for a node at position `count_`.
    int ReserveIndexEntry();
    LListNode* NewNode(void* item);
    // The node's position, or -1 when it is not a node of this list.
    int64_t PositionOf(const LListNode* node) const;
    // Makes the stale entries up to `last` again from the last good one.
    void ExtendIndex(uint32_t last) const;

    // Entries below this one are right; the others are stale.
    mutable uint32_t validEntries_ = 0;
    LListNode** index_ = nullptr;
    uint32_t indexCapacity_ = 0;
    uint32_t count_ = 0;
    LListNode* head_ = nullptr;
    LListNode* tail_ = nullptr;
};
