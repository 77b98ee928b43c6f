#include "foundation/streams/mem_out_stream.h"

#include <algorithm>
#include <cstring>

#include "foundation/memory/memory_helpers.h"

CMemOutStream::~CMemOutStream() {
    if (growable_) MemFree(&buffer_);
}

ResultCode CMemOutStream::AttachBuffer(void* buffer, uint32_t capacity) {
    if (growable_) MemFree(&buffer_);
    buffer_ = cursor_ = static_cast<uint8_t*>(buffer);
    capacity_ = growthStep_ = capacity;
    length_ = 0;
    growable_ = false;
    return kResultOk;
}

ResultCode CMemOutStream::Write(const void* buffer, uint32_t count) {
    if (count == 0) return kResultOk;
    uint32_t offset = Tell();
    uint64_t end = uint64_t{offset} + count;
    if (end > capacity_) {
        if (!growable_) return kResultBufferFull;
        uint64_t grown = (end + growthStep_ - 1) / growthStep_ * growthStep_;
        if (grown > UINT32_MAX || !MemRealloc(grown, &buffer_)) return kResultOutOfMemory;
        capacity_ = static_cast<uint32_t>(grown);
        cursor_ = buffer_ + offset;
    }
    std::memcpy(cursor_, buffer, count);
    cursor_ += count;
    length_ = std::max(length_, static_cast<uint32_t>(end));
    return kResultOk;
}

uint32_t CMemOutStream::Seek(int32_t offset, int origin) {
    int64_t target = Tell();
    if (origin == 0) target = offset;
    if (origin == 1) target += offset;
    if (origin == 2) target = int64_t{length_} + offset;
    target = std::clamp<int64_t>(target, 0, length_);
    cursor_ = buffer_ + target;
    return static_cast<uint32_t>(target);
}
