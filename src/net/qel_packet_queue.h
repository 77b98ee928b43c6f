// The queue of a sender's outgoing TCP messages, each a private copy of its bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

class QelPacketQueue {
public:
    void Push(const void* data, size_t n);
    const uint8_t* GetData(size_t i) const;
    // 0 beyond the end.
    size_t GetLength(size_t i) const;
    void Remove(size_t i);
    size_t GetCount() const { return messages_.size(); }
    // Bytes of every queued message, so a peer that never reads can be told from a slow one.
    uint64_t GetBytes() const { return bytes_; }

private:
    std::deque<std::vector<uint8_t>> messages_;
    uint64_t bytes_ = 0;
};
