#include "foundation/containers/ptr_array.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "foundation/containers/owned_ptr_array.h"
#include "foundation/test_helpers.h"

namespace {

using namespace foundation_test;

void Fill(PtrArray& array, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i)
        ASSERT_EQ(array.SetAtGrow(int32_t(i), Item(i + 1)), 1);
}

void ExpectNull(const PtrArray& array, uint32_t from, uint32_t to) {
    for (uint32_t i = from; i < to; ++i)
        EXPECT_EQ(array.GetAt(i), nullptr) << i;
}

TEST(PtrArrayTest, GrowthClearsTheNewItemsAlsoAfterAShrinkWithinTheCapacity) {
    PtrArray array;
    ASSERT_EQ(array.SetAtGrow(20, Item(7)), 1);
    EXPECT_EQ(array.GetCount(), 21u);
    ExpectNull(array, 0, 20);
    EXPECT_EQ(array.GetAt(21), nullptr);

    Fill(array, 40);
    ASSERT_EQ(array.SetSize(35), 1);
    ASSERT_EQ(array.SetAtGrow(38, Item(99)), 1);
    ExpectNull(array, 35, 38);
    ASSERT_EQ(array.SetSize(5), 1);
    ASSERT_EQ(array.SetSize(40), 1);
    ExpectNull(array, 5, 40);
    EXPECT_EQ(array.GetAt(4), Item(5));
}

TEST(PtrArrayTest, FailedNegativeOrAbsurdGrowthLeavesTheArrayAsItWas) {
    PtrArray array;
    InjectFault(Fault::HeapAlloc, kOneFailure);
    EXPECT_EQ(array.SetAtGrow(0, Item(1)), 0);
    EXPECT_EQ(array.GetCount(), 0u);

    Fill(array, 16);
    InjectFault(Fault::HeapAlloc, kOneFailure);
    EXPECT_EQ(array.SetAtGrow(16, Item(100)), 0);
    EXPECT_EQ(array.SetAtGrow(-1, Item(100)), 0);
    EXPECT_EQ(array.SetAtGrow(INT32_MAX, Item(100)), 0);
    EXPECT_EQ(array.SetSize(UINT32_MAX), 0);
    ASSERT_EQ(array.GetCount(), 16u);
    for (uint32_t i = 0; i < 16; ++i)
        EXPECT_EQ(array.GetAt(i), Item(i + 1)) << i;
}

// Checks every record is there and zeroed, then marks it, so that a record shared by two
// slots or kept from before shows up.
void ExpectFreshRecords(const OwnedPtrArray& array, int32_t from) {
    const unsigned char zeros[OwnedPtrArray::kRecordSize] = {};
    for (int32_t i = from; i < array.GetCount(); ++i) {
        void* record = array.GetAt(i);
        ASSERT_NE(record, nullptr) << i;
        EXPECT_EQ(std::memcmp(record, zeros, sizeof zeros), 0) << i;
        std::memset(record, 0xAB, sizeof zeros);
    }
    EXPECT_EQ(array.GetAt(array.GetCount()), nullptr);
}

TEST(PtrArrayTest, OwnedRecordsAreFreshAfterShrinkingAndEmptying) {
    OwnedPtrArray array;
    EXPECT_EQ(array.SetSize(-1), -1);
    ASSERT_EQ(array.SetSize(20), 20);
    ExpectFreshRecords(array, 0);
    ASSERT_EQ(array.SetSize(3), 3);
    ASSERT_EQ(array.SetSize(40), 40);
    ExpectFreshRecords(array, 3);
    // Emptying must drop the capacity with the block, or the next growth would write
    // into the freed block.
    ASSERT_EQ(array.SetSize(0), 0);
    ASSERT_EQ(array.SetSize(5), 5);
    ExpectFreshRecords(array, 0);
}

TEST(PtrArrayTest, AFailedOwnedRecordOrBlockLeavesTheArrayAsItWas) {
    OwnedPtrArray array;
    ASSERT_EQ(array.SetSize(3), 3);
    void* first = array.GetAt(0);
    // The block grows, then the fifth new record fails.
    InjectFault(Fault::HeapAlloc, kOneFailure, 1 + 4);
    EXPECT_EQ(array.SetSize(20), -1);
    InjectFault(Fault::HeapAlloc, kOneFailure);
    EXPECT_EQ(array.SetSize(100), -1);
    EXPECT_EQ(array.GetCount(), 3);
    EXPECT_EQ(array.GetAt(0), first);

    // A shrink whose smaller block cannot be had has still dropped the records.
    ASSERT_EQ(array.SetSize(40), 40);
    InjectFault(Fault::HeapAlloc, kOneFailure);
    EXPECT_EQ(array.SetSize(2), 2);
    ASSERT_EQ(array.SetSize(17), 17);
    ExpectFreshRecords(array, 2);
}

} // namespace
