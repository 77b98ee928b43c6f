#include "foundation/memory_helpers.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/test_hooks.h"

namespace {

using platform::test::Fault;
using platform::test::InjectFault;

class MemoryHelpersTest : public ::testing::Test {
protected:
    void TearDown() override { platform::test::ClearFaults(); }
};

TEST_F(MemoryHelpersTest, AllocationRetriesExactlyOnce) {
    int dummy = 0;
    void* block = &dummy;
    InjectFault(Fault::HeapAlloc, 2);
    EXPECT_EQ(MemCalloc(64, &block), 0);
    EXPECT_EQ(block, nullptr);

    InjectFault(Fault::HeapAlloc, 1);
    ASSERT_EQ(MemAlloc(64, &block), 1);
    MemFree(&block);
    EXPECT_EQ(block, nullptr);
    MemFree(&block);
    EXPECT_EQ(block, nullptr);
}

TEST_F(MemoryHelpersTest, FailedReallocationKeepsTheOldBlock) {
    char* block = nullptr;
    ASSERT_EQ(MemRealloc(8, &block), 1);
    std::memcpy(block, "payload", 8);
    char* before = block;
    InjectFault(Fault::HeapAlloc, 2);
    EXPECT_EQ(MemRealloc(1 << 20, &block), 0);
    EXPECT_EQ(block, before);
    InjectFault(Fault::HeapAlloc, 1);
    ASSERT_EQ(MemRealloc(1 << 20, &block), 1);
    EXPECT_STREQ(block, "payload");
    MemFree(&block);
}

TEST_F(MemoryHelpersTest, GlobalBlocksAreZeroedAndNotRetried) {
    unsigned char* block = nullptr;
    ASSERT_EQ(GlobalMemAlloc(100, &block), 1);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(block[i], 0) << i;
    GlobalMemFree(&block);
    EXPECT_EQ(block, nullptr);
    InjectFault(Fault::HeapAlloc, 1);
    EXPECT_EQ(GlobalMemAlloc(100, &block), 0);
    EXPECT_EQ(block, nullptr);
}

} // namespace
