#include "net/qel_packet_queue.h"

void QelPacketQueue::Push(const void* data, size_t n) {
    const auto* first = static_cast<const uint8_t*>(data);
    messages_.emplace_back(first, first + n);
    bytes_ += n;
}

const uint8_t* QelPacketQueue::GetData(size_t i) const {
    return i < messages_.size() ? messages_[i].data() : nullptr;
}

size_t QelPacketQueue::GetLength(size_t i) const {
    return i < messages_.size() ? messages_[i].size() : 0;
}

void QelPacketQueue::Remove(size_t i) {
    if (i >= messages_.size()) return;
    bytes_ -= messages_[i].size();
    messages_.erase(messages_.begin() + static_cast<ptrdiff_t>(i));
}
