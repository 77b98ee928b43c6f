// A doubly linked list kept in one growable node array and addressed by node indices,
// which stay valid while the array grows or moves, so other objects store indices
// rather than addresses. Index 0 means "none" and node 0 is never used.
//
// A removed node goes to the end of the free chain, so its index is handed out again
// only after every older free node. Any operation given an index that does not name a
// node in use (out of range, never used, or already removed) does nothing and reads as
// 0, so a stale index can never link a node into the chain twice.
#pragma once

#include <cstdint>

class CHandleList {
public:
    CHandleList() = default;
    ~CHandleList();
    CHandleList(const CHandleList&) = delete;
    CHandleList& operator=(const CHandleList&) = delete;

    // Frees the array; the next insertion starts again from index 1.
    void RemoveAll();

    // Each returns the new node's index, or 0 when the array cannot grow, and then the
    // list is unchanged.
    uint32_t AddTail(uintptr_t value);
    uint32_t AddHead(uintptr_t value);
    // Inserts just after node i; at the head for i = 0; at the tail when i is not a node
    // in use.
    uint32_t InsertAfter(uint32_t i, uintptr_t value);

    // Moves node i just after node j, or to the head for j = 0.
    void MoveAfter(uint32_t i, uint32_t j);
    void Remove(uint32_t i);

    uintptr_t GetAt(uint32_t i) const { return InUse(i) ? nodes_[i].value : 0; }
    void SetAt(uint32_t i, uintptr_t value);
    // A walk: start from GetHead() (or GetTail()) and call until the index becomes 0.
    // Each call returns the value of node *i and moves *i to the next (previous) node;
    // for an index that is not a node in use it returns 0 and sets *i to 0.
    uintptr_t GetNext(uint32_t* i) const;
    uintptr_t GetPrev(uint32_t* i) const;
    // The first node from the head holding the value, or 0.
    uint32_t Find(uintptr_t value) const;

    uint32_t GetHead() const { return head_; }
    uint32_t GetTail() const { return tail_; }
    // Nodes in use.
    uint32_t GetCount() const { return capacity_ - freeCount_; }

private:
    struct Node {
        uint32_t prev;
        uint32_t next;
        uintptr_t value;
        uint32_t used;
    };

    bool InUse(uint32_t i) const { return i != 0 && i < capacity_ && nodes_[i].used != 0; }
    // Takes the oldest free node, growing the array when none is left; 0 on failure.
    uint32_t TakeNode(uintptr_t value);
    int Grow();
    void Unlink(uint32_t i);
    // Links the unlinked node i after node `after`, or at the head for 0.
    void LinkAfter(uint32_t i, uint32_t after);

    uint32_t firstFree_ = 0;
    uint32_t head_ = 0;
    uint32_t lastFree_ = 0;
    uint32_t tail_ = 0;
    uint32_t capacity_ = 0;
    // Node 0 counts as free, so capacity minus this is the number of nodes in use.
    uint32_t freeCount_ = 0;
    Node* nodes_ = nullptr;
};
