#include "foundation/memory/memory_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "foundation/test_helpers.h"

namespace {

using namespace foundation_test;

TEST(MemoryHelpers, AllocationRetriesExactlyOnceAndFreeingTwiceIsHarmless) {
    int dummy = 0;
    void* block = &dummy;
    InjectFault(Fault::HeapAlloc, kOneFailure);
    EXPECT_EQ(MemCalloc(64, &block), 0);
    EXPECT_EQ(block, nullptr);

    InjectFault(Fault::HeapAlloc, 1);
    ASSERT_EQ(MemAlloc(64, &block), 1);
    MemFree(&block);
    EXPECT_EQ(block, nullptr);
    MemFree(&block);
    EXPECT_EQ(block, nullptr);
}

TEST(MemoryHelpers, FailedReallocationKeepsTheOldBlock) {
    char* block = nullptr;
    ASSERT_EQ(MemRealloc(8, &block), 1);
    std::memcpy(block, "payload", 8);
    char* before = block;
    InjectFault(Fault::HeapAlloc, kOneFailure);
    EXPECT_EQ(MemRealloc(1 << 20, &block), 0);
    EXPECT_EQ(block, before);
    InjectFault(Fault::HeapAlloc, 1);
    ASSERT_EQ(MemRealloc(1 << 20, &block), 1);
    EXPECT_STREQ(block, "payload");
    MemFree(&block);
}

TEST(MemoryHelpers, GlobalBlocksAreZeroedAndNotRetried) {
    unsigned char* block = nullptr;
    ASSERT_EQ(GlobalMemAlloc(100, &block), 1);
    EXPECT_EQ(std::count(block, block + 100, 0), 100);
    GlobalMemFree(&block);
    EXPECT_EQ(block, nullptr);
    InjectFault(Fault::HeapAlloc, 1);
    EXPECT_EQ(GlobalMemAlloc(100, &block), 0);
    EXPECT_EQ(block, nullptr);
}

} // namespace
