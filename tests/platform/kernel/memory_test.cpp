#include <gtest/gtest.h>

#include <cstring>

#include "platform/last_error.h"
#include "platform/files/files.h"
#include "platform/kernel/kernel_objects.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/sync.h"
#include "platform/kernel/test_hooks.h"

namespace {

using platform::test::Fault;

struct Probe : platform::KernelObject {
    explicit Probe(bool* destroyed) : destroyed(destroyed) {}
    ~Probe() override { *destroyed = true; }
    bool* destroyed;
};
struct Other : platform::KernelObject {};

TEST(KernelObjects, HandlesAreNeverReusedAndStaleOrOtherKindsRefused) {
    bool destroyed = false;
    HANDLE first = platform::RegisterObject(std::make_shared<Probe>(&destroyed));
    ASSERT_NE(first, 0u);
    ASSERT_NE(first, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(CloseHandle(first));
    EXPECT_TRUE(destroyed);
    HANDLE second = platform::RegisterObject(std::make_shared<Other>());
    EXPECT_NE(second, first);
    SetLastError(0);
    EXPECT_EQ(ErrorOf(CloseHandle(first), FALSE), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));

    SetLastError(0);
    EXPECT_EQ(ErrorOf(platform::LookupObjectAs<Probe>(second), nullptr), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(platform::UnregisterObjectAs<Probe>(second));
    EXPECT_NE(platform::LookupObjectAs<Other>(second), nullptr);
    EXPECT_TRUE(CloseHandle(second));
}

TEST(Heap, BlocksAreUniqueGrowWithAZeroedTailAndSurviveFailedGrowth) {
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

    // A growth that fails leaves the old block valid.
    auto* text = static_cast<char*>(HeapAlloc(heap, 0, 6));
    ASSERT_NE(text, nullptr);
    std::memcpy(text, "intact", 6);

    platform::test::InjectFault(Fault::HeapAlloc, 3);
    SetLastError(0);
    EXPECT_EQ(ErrorOf(HeapReAlloc(heap, 0, text, 1 << 20), nullptr), ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(std::memcmp(text, "intact", 6), 0);
    EXPECT_EQ(HeapAlloc(heap, 0, 8), nullptr);
    EXPECT_EQ(ErrorOf(GlobalAlloc(GHND, 8), 0), ERROR_NOT_ENOUGH_MEMORY);
    text = static_cast<char*>(HeapReAlloc(heap, 0, text, 1 << 20));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::memcmp(text, "intact", 6), 0);
    EXPECT_TRUE(HeapFree(heap, 0, text));
}

TEST(GlobalMemory, LockFindAndFreeRoundTripAndOtherKindsAreRefused) {
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
    EXPECT_EQ(ErrorOf(GlobalUnlock(handle), FALSE), ERROR_SUCCESS);
    EXPECT_EQ(ErrorOf(GlobalUnlock(handle), FALSE), ERROR_NOT_LOCKED);

    EXPECT_EQ(GlobalFree(handle), 0u);
    EXPECT_EQ(GlobalHandle(data), 0u);
    SetLastError(0);
    EXPECT_EQ(ErrorOf(GlobalFree(handle), handle), ERROR_INVALID_HANDLE);

    // Handles of other kinds are refused and stay alive.
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    SetLastError(0);
    EXPECT_EQ(ErrorOf(GlobalLock(event), nullptr), ERROR_INVALID_HANDLE);
    EXPECT_EQ(GlobalFree(event), event);
    EXPECT_TRUE(SetEvent(event));
    EXPECT_TRUE(CloseHandle(event));
    HGLOBAL memory = GlobalAlloc(GHND, 4);
    SetLastError(0);
    EXPECT_EQ(ErrorOf(CloseHandle(memory), FALSE), ERROR_INVALID_HANDLE);
    EXPECT_EQ(GlobalSize(memory), 4u);
    EXPECT_EQ(GlobalFree(memory), 0u);
}

} // namespace
