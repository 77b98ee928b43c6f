// Reads bit fields, most significant bit first, from a buffer that carries at least
// kBitReaderPadding zero bytes past its data: a read past the data sees zeros and never
// leaves the buffer, however far a corrupt frame sends the position.
#pragma once

#include <cstdint>
#include <cstring>

constexpr int kBitReaderPadding = 16;

class BitReader {
public:
    BitReader() = default;
    // `limitBits` is where the data ends; the position is kept at most there.
    BitReader(const uint8_t* data, int64_t limitBits, int64_t position)
        : data_(data), limit_(limitBits), position_(position < limitBits ? position : limitBits) {}

    // Up to 25 bits without moving.
    uint32_t Peek(int count) const {
        uint32_t word;
        std::memcpy(&word, data_ + (position_ >> 3), 4);
        word = __builtin_bswap32(word);
        return (word << (position_ & 7)) >> (32 - count);
    }
    void Skip(int count) {
        position_ += count;
        if (position_ > limit_) position_ = limit_;
    }
    uint32_t Read(int count) {
        if (count == 0) return 0;
        uint32_t value = Peek(count);
        Skip(count);
        return value;
    }
    uint32_t ReadBit() { return Read(1); }

    // At least 57 bits from the position on, in the top bits.
    uint64_t PeekWord() const {
        uint64_t word;
        std::memcpy(&word, data_ + (position_ >> 3), 8);
        return __builtin_bswap64(word) << (position_ & 7);
    }

    int64_t Position() const { return position_; }
    void SetPosition(int64_t position) { position_ = position < limit_ ? position : limit_; }
    int64_t Limit() const { return limit_; }

private:
    const uint8_t* data_ = nullptr;
    int64_t limit_ = 0;
    int64_t position_ = 0;
};
