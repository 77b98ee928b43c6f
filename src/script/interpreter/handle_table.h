// The variable table of an object with members: eight hash chains of {value, key} nodes
// kept in one growable node array with a free list, so that adding and removing
// variables costs no allocation per node. Nodes are addressed by index; index 0 means
// "none" and node 0 is never used.
//
// A removed node goes to the end of the free list, so it is handed out again only after
// every node already free. An operation given an index that is not a node in use does
// nothing (and reads as 0), so a stale index can never link a node twice.
#pragma once

#include <cstdint>

class CHandleTable {
public:
    CHandleTable() = default;
    ~CHandleTable();
    CHandleTable(const CHandleTable&) = delete;
    CHandleTable& operator=(const CHandleTable&) = delete;

    // Puts the node at the head of chain key & 7 and returns its index; 0 when the node
    // array cannot grow, and then the table is unchanged.
    uint32_t Add(uintptr_t value, uint32_t key);
    void Remove(uint32_t node);
    // A walk starts at GetHead(key). Each call returns the value of node `position` and
    // moves the position to the next node of its chain; 0 (and position 0) for an index
    // that is not a node in use.
    uintptr_t GetNext(uint32_t& position) const {
        if (!InUse(position)) {
            position = 0;
            return 0;
        }
        const Node& node = nodes_[position];
        position = node.next;
        return node.value;
    }
    // Frees the node array; the next Add starts again from node 1.
    void Clear();

    uint32_t GetHead(uint32_t key) const { return chains_[key & 7].head; }
    // 0 for an index that is not a node in use.
    uintptr_t GetAt(uint32_t node) const { return InUse(node) ? nodes_[node].value : 0; }
    uint32_t GetKeyAt(uint32_t node) const { return InUse(node) ? nodes_[node].key : 0; }
    uint32_t GetCapacity() const { return capacity_; }

private:
    struct Chain {
        uint32_t head;
        uint32_t tail;
    };
    struct Node {
        uint32_t previous;
        uint32_t next;
        uintptr_t value;
        uint32_t key;
        uint32_t used;
    };

    bool InUse(uint32_t node) const {
        return node != 0 && node < capacity_ && nodes_[node].used != 0;
    }
    // Makes sure the free list holds a node; 0 when the array cannot grow.
    [[gnu::noinline]] int Reserve();

    Chain chains_[8] = {};
    Node* nodes_ = nullptr;
    uint32_t capacity_ = 0;
    uint32_t freeHead_ = 0;
    uint32_t freeTail_ = 0;
};
