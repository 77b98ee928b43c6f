#include "foundation/memory/block_pool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <thread>
#include <vector>

namespace {

struct Sample : block_pool::Pooled<Sample> {
    explicit Sample(int value) : value(value) {}
    virtual ~Sample() = default;
    int value;
};

struct Throwing : block_pool::Pooled<Throwing> {
    Throwing() { throw 7; }
    int value = 0;
};

struct LargerSample : Sample {
    explicit LargerSample(int value) : Sample(value) {
        std::memset(padding, value, sizeof padding);
    }
    unsigned char padding[200];
};

TEST(BlockPoolThreads, BlocksOfEverySizeAreAlignedWritableAndDistinct) {
    for (size_t size : {size_t(0), size_t(1), size_t(15), size_t(16), size_t(17), size_t(200),
                        block_pool::kLargestKept, block_pool::kLargestKept + 1, size_t(5000)}) {
        std::vector<void*> blocks;
        std::set<uintptr_t> seen;
        // More than one chunk holds of the smallest size.
        for (int i = 0; i < 1500; ++i) {
            void* block = block_pool::Take(size);
            ASSERT_NE(block, nullptr) << size;
            EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % 16, 0u) << size;
            std::memset(block, i & 0xff, size);
            EXPECT_TRUE(seen.insert(reinterpret_cast<uintptr_t>(block)).second) << size;
            blocks.push_back(block);
        }
        // Each block still holds what was written into it: no two overlap.
        for (size_t i = 0; i < blocks.size() && size != 0; ++i) {
            const auto* bytes = static_cast<const unsigned char*>(blocks[i]);
            ASSERT_EQ(bytes[0], i & 0xff) << size;
            ASSERT_EQ(bytes[size - 1], i & 0xff) << size;
        }
        for (void* block : blocks)
            block_pool::Give(block, size);
    }
}

TEST(BlockPoolThreads, AGivenBackBlockServesTheNextTakeOfItsSize) {
    void* first = block_pool::Take(40);
    block_pool::Give(first, 40);
    void* again = block_pool::Take(48);
#ifndef ZORV_BLOCK_POOL_OFF
    // 40 and 48 bytes are one size of the pool.
    EXPECT_EQ(again, first);
#endif
    block_pool::Give(again, 48);
    block_pool::Give(nullptr, 40);
}

TEST(BlockPoolThreads, APooledClassGivesBackTheSizeOfTheObjectsOwnClass) {
    std::vector<Sample*> objects;
    for (int i = 0; i < 300; ++i)
        objects.push_back(i % 2 == 0 ? new Sample(i) : new (std::nothrow) LargerSample(i));
    for (int i = 0; i < 300; ++i) {
        EXPECT_EQ(objects[size_t(i)]->value, i);
        if (i % 2 != 0) {
            EXPECT_EQ(static_cast<LargerSample*>(objects[size_t(i)])->padding[199], i & 0xff);
        }
    }
    for (Sample* object : objects)
        delete object;
    // A constructor that throws after a nothrow new gives its block back (the leak checker
    // sees one that is lost), and the next object of the size takes a sound block.
    EXPECT_THROW(static_cast<void>(new (std::nothrow) Throwing), int);
    EXPECT_THROW(static_cast<void>(new Throwing), int);
    auto* after = new Sample(5);
    EXPECT_EQ(after->value, 5);
    delete after;
}

TEST(BlockPoolThreads, BlocksMadeOnOneThreadAreGivenBackOnAnother) {
    constexpr int kRounds = 20;
    constexpr int kBlocks = 2000;
    for (int round = 0; round < kRounds; ++round) {
        std::vector<Sample*> made(kBlocks);
        std::thread maker([&made, round] {
            for (int i = 0; i < kBlocks; ++i)
                made[size_t(i)] = new Sample(round * kBlocks + i);
        });
        maker.join();
        std::thread taker([&made, round] {
            for (int i = 0; i < kBlocks; ++i) {
                EXPECT_EQ(made[size_t(i)]->value, round * kBlocks + i);
                delete made[size_t(i)];
            }
            // The taker's lists now hold the maker's blocks, and serve them again.
            for (int i = 0; i < kBlocks; ++i)
                made[size_t(i)] = new Sample(-i);
            for (int i = 0; i < kBlocks; ++i) {
                EXPECT_EQ(made[size_t(i)]->value, -i);
                delete made[size_t(i)];
            }
        });
        taker.join();
    }
}

} // namespace
