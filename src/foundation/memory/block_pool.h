// Small blocks kept for reuse by the thread that gave them back. A script makes and drops
// its objects, their variables and the links that hold them by the hundred thousand, and a
// collection gives back thousands at once: more than the system heap's per-thread cache
// keeps, so each one then costs the heap its slow path. A list per size costs a few
// instructions. The memory of the blocks stays with the pool for the life of the process,
// as a heap keeps what it was given back.
#pragma once

#include <cstddef>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define ZORV_BLOCK_POOL_OFF 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZORV_BLOCK_POOL_OFF 1
#endif
#endif

namespace block_pool {

// Blocks are kept in sizes of 16 bytes up to this; larger ones go to the system heap.
inline constexpr size_t kLargestKept = 512;
inline constexpr size_t kSizeStep = 16;
inline constexpr size_t kSizeCount = kLargestKept / kSizeStep;

struct FreeBlock {
    FreeBlock* next;
};

// The calling thread's lists, one per size.
struct Lists {
    FreeBlock* heads[kSizeCount];
};
extern thread_local constinit Lists lists;

// The slow ways, through the heap helpers: a size with no block at hand, or one the pool
// does not keep.
void* TakeFresh(size_t size) noexcept;
void GiveLarge(void* block) noexcept;

// A block of at least `size` bytes, aligned for any object; null when memory runs out.
[[gnu::always_inline]] inline void* Take(size_t size) noexcept {
#ifndef ZORV_BLOCK_POOL_OFF
    // Under AddressSanitizer every block comes from the heap, so that a use after it was
    // given back, or a block never given back, is still caught.
    if (size - 1 < kLargestKept) {
        FreeBlock*& head = lists.heads[(size - 1) / kSizeStep];
        if (FreeBlock* block = head) {
            head = block->next;
            return block;
        }
    }
#endif
    return TakeFresh(size);
}

// Gives back a block that Take made for the same `size`.
[[gnu::always_inline]] inline void Give(void* block, [[maybe_unused]] size_t size) noexcept {
#ifndef ZORV_BLOCK_POOL_OFF
    if (block != nullptr && size - 1 < kLargestKept) {
        FreeBlock*& head = lists.heads[(size - 1) / kSizeStep];
        auto* freed = static_cast<FreeBlock*>(block);
        freed->next = head;
        head = freed;
        return;
    }
#endif
    GiveLarge(block);
}

// A base whose class's objects come from the pool, `Own` being that class. The size given
// back is that of the object's own class, so a class with a virtual destructor may be made
// larger by its heirs. A constructor that throws after a nothrow `new` gives back the block
// as one of `Own`'s size, which no heir's block is smaller than.
template <class Own> struct Pooled {
    static void* operator new(size_t size) {
        void* block = Take(size);
        if (block == nullptr) throw std::bad_alloc();
        return block;
    }
    static void* operator new(size_t size, const std::nothrow_t&) noexcept { return Take(size); }
    static void operator delete(void* block, size_t size) noexcept { Give(block, size); }
    static void operator delete(void* block, const std::nothrow_t&) noexcept {
        Give(block, sizeof(Own));
    }
};

} // namespace block_pool
