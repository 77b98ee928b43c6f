#include <gtest/gtest.h>

#include <cstring>

#include "platform/errors.h"
#include "platform/files.h"
#include "platform/memory.h"
#include "platform/sync.h"
#include "platform/test_hooks.h"

namespace {

using platform::test::Fault;

TEST(Heap, BlocksAreUniqueAndGrowWithAZeroedTail) {
    HANDLE heap = GetProcessHeap();
    void* first = HeapAlloc(heap, 0, 0);
    void* second = HeapAlloc(heap, 0, 0);
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first, second);
    EXPECT_TRUE(HeapFree(heap, 0, first));
    EXPECT_TRUE(HeapFree(heap, 0, second));
    EXPECT_TRUE(HeapFree(heap, 0, nullptr));

    // Written only up to its size: growing with HEAP_ZERO_MEMORY must zero from there
    // on, not from wherever the allocator's slack ends.
    auto* block = static_cast<BYTE*>(HeapAlloc(heap, 0, 10));
    ASSERT_NE(block, nullptr);
    std::memset(block, 0xAB, 10);
    block = static_cast<BYTE*>(HeapReAlloc(heap, HEAP_ZERO_MEMORY, block, 300));
    ASSERT_NE(block, nullptr);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(block[i], 0xAB) << i;
    for (int i = 10; i < 300; ++i)
        ASSERT_EQ(block[i], 0) << i;
    EXPECT_TRUE(HeapFree(heap, 0, block));
}

TEST(Heap, InjectedFailuresLeaveTheOldBlockValid) {
    HANDLE heap = GetProcessHeap();
    auto* block = static_cast<char*>(HeapAlloc(heap, 0, 6));
    ASSERT_NE(block, nullptr);
    std::memcpy(block, "intact", 6);

    platform::test::InjectFault(Fault::HeapAlloc, 3);
    SetLastError(0);
    EXPECT_EQ(HeapReAlloc(heap, 0, block, 1 << 20), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(std::memcmp(block, "intact", 6), 0);
    EXPECT_EQ(HeapAlloc(heap, 0, 8), nullptr);
    EXPECT_EQ(GlobalAlloc(GHND, 8), 0u);
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);

    block = static_cast<char*>(HeapReAlloc(heap, 0, block, 1 << 20));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::memcmp(block, "intact", 6), 0);
    EXPECT_TRUE(HeapFree(heap, 0, block));
}

TEST(GlobalMemory, LockFindAndFreeRoundTrip) {
    HGLOBAL handle = GlobalAlloc(GHND, 32);
    ASSERT_NE(handle, 0u);
    EXPECT_EQ(GlobalSize(handle), 32u);
    auto* data = static_cast<BYTE*>(GlobalLock(handle));
    ASSERT_NE(data, nullptr);
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(data[i], 0) << i;
    EXPECT_EQ(GlobalHandle(data), handle);
    EXPECT_EQ(GlobalHandle(data + 1), 0u);

    EXPECT_EQ(GlobalLock(handle), data);
    EXPECT_TRUE(GlobalUnlock(handle));
    SetLastError(ERROR_INVALID_FUNCTION);
    EXPECT_FALSE(GlobalUnlock(handle));
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_FALSE(GlobalUnlock(handle));
    EXPECT_EQ(GetLastError(), ERROR_NOT_LOCKED);

    EXPECT_EQ(GlobalFree(handle), 0u);
    EXPECT_EQ(GlobalHandle(data), 0u);
    SetLastError(0);
    EXPECT_EQ(GlobalFree(handle), handle);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(GlobalMemory, HandlesOfOtherKindsAreRefused) {
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    SetLastError(0);
    EXPECT_EQ(GlobalLock(event), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(GlobalFree(event), event);
    EXPECT_TRUE(SetEvent(event)); // still alive
    EXPECT_TRUE(CloseHandle(event));

    HGLOBAL memory = GlobalAlloc(GHND, 4);
    SetLastError(0);
    EXPECT_FALSE(CloseHandle(memory));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(GlobalSize(memory), 4u); // still alive
    EXPECT_EQ(GlobalFree(memory), 0u);
}

} // namespace
