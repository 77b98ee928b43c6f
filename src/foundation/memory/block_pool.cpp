#include "foundation/memory/block_pool.h"

#include <atomic>

#include "foundation/memory/memory_helpers.h"

namespace block_pool {

thread_local constinit Lists lists{};

#ifndef ZORV_BLOCK_POOL_OFF
namespace {

// Each run of blocks is cut from a chunk of this size. Every chunk stays linked from one
// global list, through its first bytes, so that the memory of a thread's lists is still
// reachable once that thread has ended.
constexpr size_t kChunkBytes = 16384;

struct ChunkHeader {
    ChunkHeader* previous;
    // Keeps the blocks after the header aligned as the heap aligns.
    alignas(kSizeStep) unsigned char blocks[1];
};

std::atomic<ChunkHeader*> chunks{nullptr};

} // namespace
#endif

void* TakeFresh(size_t size) noexcept {
#ifndef ZORV_BLOCK_POOL_OFF
    if (size - 1 < kLargestKept) {
        const size_t index = (size - 1) / kSizeStep;
        const size_t blockBytes = (index + 1) * kSizeStep;
        ChunkHeader* chunk = nullptr;
        if (!MemAlloc(kChunkBytes, &chunk)) return nullptr;
        chunk->previous = chunks.load(std::memory_order_relaxed);
        while (!chunks.compare_exchange_weak(chunk->previous, chunk, std::memory_order_release,
                                             std::memory_order_relaxed)) {
        }
        unsigned char* first = chunk->blocks;
        const size_t count = (kChunkBytes - offsetof(ChunkHeader, blocks)) / blockBytes;
        // The first block is the caller's; the rest go onto the list, first to last.
        FreeBlock*& head = lists.heads[index];
        for (size_t i = count - 1; i > 0; --i) {
            auto* block = reinterpret_cast<FreeBlock*>(first + i * blockBytes);
            block->next = head;
            head = block;
        }
        return first;
    }
#endif
    void* block = nullptr;
    MemAlloc(size, &block);
    return block;
}

void GiveLarge(void* block) noexcept {
    MemFree(&block);
}

} // namespace block_pool
