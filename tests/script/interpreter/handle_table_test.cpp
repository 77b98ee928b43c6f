#include "script/interpreter/handle_table.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/kernel/test_hooks.h"

namespace {

// The values of chain `key` from its head.
std::vector<uintptr_t> Chain(const CHandleTable& table, uint32_t key) {
    std::vector<uintptr_t> values;
    uint32_t position = table.GetHead(key);
    while (position != 0 && values.size() < 1000)
        values.push_back(table.GetNext(position));
    return values;
}

class CHandleTableTest : public ::testing::Test {
protected:
    void TearDown() override { platform::test::ClearFaults(); }
};

TEST_F(CHandleTableTest, NodesComeFromTheFreeListAndTheArrayGrowsBy32) {
    CHandleTable table;
    for (uint32_t n = 1; n <= 15; ++n)
        ASSERT_EQ(table.Add(n * 10, n), n);
    EXPECT_EQ(table.GetCapacity(), 16u);
    EXPECT_EQ(table.Add(160, 16), 16u);
    EXPECT_EQ(table.GetCapacity(), 48u);

    // A removed node waits behind every node already free.
    table.Remove(3);
    for (uint32_t n = 17; n <= 47; ++n)
        ASSERT_EQ(table.Add(n, n), n);
    EXPECT_EQ(table.Add(3000, 3), 3u);
    EXPECT_EQ(table.GetCapacity(), 48u);
    EXPECT_EQ(table.Add(48, 48), 48u);
    EXPECT_EQ(table.GetCapacity(), 80u);
    EXPECT_EQ(table.GetAt(3), 3000u);
    EXPECT_EQ(table.GetKeyAt(3), 3u);

    table.Clear();
    EXPECT_EQ(table.GetHead(1), 0u);
    // A failed allocation adds nothing.
    platform::test::InjectFault(platform::test::Fault::HeapAlloc, 2);
    EXPECT_EQ(table.Add(1, 1), 0u);
    EXPECT_EQ(table.GetHead(1), 0u);
    EXPECT_EQ(table.Add(1, 1), 1u);
}

TEST_F(CHandleTableTest, ChainsHoldTheirKeysNewestFirstAndSurviveRemovalsAnywhere) {
    CHandleTable table;
    for (uint32_t key = 1; key <= 40; ++key)
        table.Add(key, key);
    // Keys 2, 10, 18, 26, 34 share chain 2.
    EXPECT_EQ(Chain(table, 2), (std::vector<uintptr_t>{34, 26, 18, 10, 2}));
    table.Remove(18); // middle
    table.Remove(34); // head
    table.Remove(2);  // tail
    EXPECT_EQ(Chain(table, 10), (std::vector<uintptr_t>{26, 10}));
    EXPECT_EQ(table.Add(42, 42), 41u);
    EXPECT_EQ(Chain(table, 2), (std::vector<uintptr_t>{42, 26, 10}));
    EXPECT_EQ(Chain(table, 7), (std::vector<uintptr_t>{39, 31, 23, 15, 7}));
}

TEST_F(CHandleTableTest, IndicesNotInUseAreIgnoredSoNoNodeIsLinkedTwice) {
    CHandleTable table;
    uint32_t position = 5;
    EXPECT_EQ(table.GetNext(position), 0u);
    EXPECT_EQ(position, 0u);
    table.Remove(1);
    uint32_t a = table.Add(100, 4);
    uint32_t b = table.Add(200, 4);
    table.Remove(a);
    table.Remove(a);
    table.Remove(0);
    table.Remove(16);
    table.Remove(99999);
    EXPECT_EQ(table.GetAt(a), 0u);
    position = a;
    EXPECT_EQ(table.GetNext(position), 0u);
    EXPECT_EQ(Chain(table, 4), (std::vector<uintptr_t>{200}));
    // The free list holds a once: it comes back once, after nodes 3 to 15.
    std::vector<uint32_t> nodes;
    for (int i = 0; i < 14; ++i)
        nodes.push_back(table.Add(uintptr_t(i), 0));
    EXPECT_EQ(nodes.back(), a);
    EXPECT_EQ(table.Add(7, 0), 16u);
    EXPECT_EQ(b, 2u);
}

} // namespace
