#include "foundation/streams/mem_in_stream.h"

#include <algorithm>
#include <cstring>

ResultCode CMemInStream::Attach(const void* address, uint32_t size) {
    base_ = cursor_ = static_cast<const uint8_t*>(address);
    position_ = 0;
    remaining_ = size;
    return kResultOk;
}

ResultCode CMemInStream::Read(void* buffer, uint32_t count) {
    if (count == 0) return kResultOk;
    if (remaining_ == 0) return kResultEndOfData;
    uint32_t take = std::min(count, remaining_);
    std::memcpy(buffer, cursor_, take);
    cursor_ += take;
    position_ += take;
    remaining_ -= take;
    return take == count ? kResultOk : kResultEndOfData;
}

ResultCode CMemInStream::ReadByte(uint8_t* value) {
    if (remaining_ == 0) return kResultEndOfData;
    *value = *cursor_++;
    position_++;
    remaining_--;
    return kResultOk;
}

uint32_t CMemInStream::Seek(int32_t offset, int origin) {
    int64_t length = GetLength();
    int64_t target = position_;
    if (origin == 0) target = offset;
    if (origin == 1) target = int64_t{position_} + offset;
    if (origin == 2) target = length + offset;
    target = std::clamp<int64_t>(target, 0, length);
    position_ = static_cast<uint32_t>(target);
    remaining_ = static_cast<uint32_t>(length - target);
    cursor_ = base_ + position_;
    return position_;
}

void* CMemInStream::ReadAlloc(uint32_t count) {
    if (count == 0 || count > remaining_) return nullptr;
    const uint8_t* block = cursor_;
    cursor_ += count;
    position_ += count;
    remaining_ -= count;
    return const_cast<uint8_t*>(block);
}
