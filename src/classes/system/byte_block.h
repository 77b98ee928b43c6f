// The bytes of a Binary object: a heap block of exactly its size, with the bounds rules
// every method shares. Indexes, offsets and counts come from scripts as 32-bit integers
// and are checked here in 64-bit arithmetic, so that negative values and sums near 2^31
// are refused instead of wrapping into the block.
#pragma once

#include <cstdint>

class CByteBlock {
public:
    // Blocks larger than this cannot be addressed by a script's 32-bit index.
    static constexpr int64_t kMaxSize = 0x7FFFFFFF;

    CByteBlock() = default;
    ~CByteBlock();
    CByteBlock(const CByteBlock&) = delete;
    CByteBlock& operator=(const CByteBlock&) = delete;

    uint8_t* Data() const { return data_; }
    uint32_t Size() const { return size_; }

    // Frees the old block and makes one of n zero bytes. A negative or too large n, or no
    // memory, gives 0 and size 0.
    int Allocate(int64_t n);
    // Keeps the first bytes; new bytes are zero. A negative n gives 0 and size 0; when
    // memory runs out the old block stays (0).
    int Resize(int64_t n);
    void Free();
    // Takes `bytes` (allocated with malloc) as the block.
    void Adopt(uint8_t* bytes, uint32_t size);

    // Whether `width` bytes at `index` lie inside the block.
    bool Holds(int64_t index, int64_t width) const {
        return index >= 0 && width >= 0 && index + width <= int64_t(size_);
    }
    // The bytes move as by an overlapping copy. 0, touching nothing, unless every
    // argument is 0 or more, from and to are below the size and both ranges lie inside
    // the block.
    int Move(int64_t from, int64_t to, int64_t count);
    // Copies from this block into `target` at `to`, growing it (zero-filled) when it is
    // smaller; count is cut to what follows `from`. 0 for a negative argument, a target
    // end past kMaxSize, `from` outside the block, or no memory (target unchanged).
    // `target` may be this block.
    int CopyTo(CByteBlock& target, int64_t from, int64_t to, int64_t count) const;
    bool Equals(const CByteBlock& other) const;
    // The offset of the first occurrence of `pattern` at or after `start`; -1 when there
    // is none, the pattern or this block is empty, or start is negative.
    int64_t Find(const CByteBlock& pattern, int64_t start) const;

private:
    uint8_t* data_ = nullptr;
    uint32_t size_ = 0;
};
