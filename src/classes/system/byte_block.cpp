#include "classes/system/byte_block.h"

#include <cstdlib>
#include <cstring>

CByteBlock::~CByteBlock() {
    std::free(data_);
}

void CByteBlock::Free() {
    std::free(data_);
    data_ = nullptr;
    size_ = 0;
}

void CByteBlock::Adopt(uint8_t* bytes, uint32_t size) {
    Free();
    data_ = bytes;
    size_ = bytes != nullptr ? size : 0;
}

int CByteBlock::Allocate(int64_t n) {
    Free();
    if (n < 0 || n > kMaxSize) return 0;
    if (n == 0) return 1;
    auto* bytes = static_cast<uint8_t*>(std::calloc(size_t(n), 1));
    if (bytes == nullptr) return 0;
    data_ = bytes;
    size_ = uint32_t(n);
    return 1;
}

int CByteBlock::Resize(int64_t n) {
    if (n < 0) {
        Free();
        return 0;
    }
    if (n > kMaxSize) return 0;
    if (n == 0) {
        Free();
        return 1;
    }
    auto* bytes = static_cast<uint8_t*>(std::realloc(data_, size_t(n)));
    if (bytes == nullptr) return 0;
    if (n > int64_t(size_)) std::memset(bytes + size_, 0, size_t(n - size_));
    data_ = bytes;
    size_ = uint32_t(n);
    return 1;
}

int CByteBlock::Move(int64_t from, int64_t to, int64_t count) {
    if (from >= int64_t(size_) || to >= int64_t(size_)) return 0;
    if (!Holds(from, count) || !Holds(to, count)) return 0;
    if (count > 0) std::memmove(data_ + to, data_ + from, size_t(count));
    return 1;
}

int CByteBlock::CopyTo(CByteBlock& target, int64_t from, int64_t to, int64_t count) const {
    if (from < 0 || to < 0 || count < 0) return 0;
    if (from >= int64_t(size_)) return 0;
    if (count > int64_t(size_) - from) count = int64_t(size_) - from;
    if (to + count > kMaxSize) return 0;
    if (to + count > int64_t(target.size_) && !target.Resize(to + count)) return 0;
    // Read the source pointer after the resize: the target may be this block.
    if (count > 0) std::memmove(target.data_ + to, data_ + from, size_t(count));
    return 1;
}

bool CByteBlock::Equals(const CByteBlock& other) const {
    return size_ == other.size_ && (size_ == 0 || std::memcmp(data_, other.data_, size_) == 0);
}

int64_t CByteBlock::Find(const CByteBlock& pattern, int64_t start) const {
    if (start < 0 || pattern.size_ == 0 || size_ == 0) return -1;
    if (int64_t(size_) - start < int64_t(pattern.size_)) return -1;
    const uint8_t first = pattern.data_[0];
    const uint8_t* at = data_ + start;
    // The last place a whole pattern can start.
    const uint8_t* last = data_ + (size_ - pattern.size_);
    while (at <= last) {
        const void* hit = std::memchr(at, first, size_t(last - at) + 1);
        if (hit == nullptr) return -1;
        at = static_cast<const uint8_t*>(hit);
        if (std::memcmp(at, pattern.data_, pattern.size_) == 0) return at - data_;
        ++at;
    }
    return -1;
}
