#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "foundation/memory/process_memory_info.h"
#include "platform/system/system_info.h"

namespace {

TEST(ProcessMemoryInfo, UsersAreCountedUnderTheLockAndTheWorkingSetFollowsMemory) {
    PROCESS_MEMORY_COUNTERS counters{};
    EXPECT_EQ(GetProcessMemoryUsage(&counters), 0);

    ASSERT_EQ(OpenProcessMemoryInfo(), 1);
    ASSERT_EQ(OpenProcessMemoryInfo(), 1);
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&failures] {
            PROCESS_MEMORY_COUNTERS own{};
            for (int i = 0; i < 200; ++i) {
                if (OpenProcessMemoryInfo() != 1 || GetProcessMemoryUsage(&own) != 1) ++failures;
                CloseProcessMemoryInfo();
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(failures, 0);

    EXPECT_EQ(CloseProcessMemoryInfo(), 1);
    ASSERT_EQ(GetProcessMemoryUsage(&counters), 1);
    EXPECT_EQ(CloseProcessMemoryInfo(), 1);
    EXPECT_EQ(GetProcessMemoryUsage(&counters), 0);
    // A close too many does not leave the count owing.
    EXPECT_EQ(CloseProcessMemoryInfo(), 1);
    ASSERT_EQ(OpenProcessMemoryInfo(), 1);
    // The working set follows touched memory.
    PROCESS_MEMORY_COUNTERS& before = counters;
    ASSERT_EQ(GetProcessMemoryUsage(&before), 1);
    EXPECT_GT(before.WorkingSetSize, 0u);
    EXPECT_GE(before.PeakWorkingSetSize, before.WorkingSetSize);
    EXPECT_GE(before.PagefileUsage, before.WorkingSetSize);

    constexpr size_t kTouched = 64u << 20;
    std::vector<char> block(kTouched, 1);
    PROCESS_MEMORY_COUNTERS after{};
    ASSERT_EQ(GetProcessMemoryUsage(&after), 1);
    EXPECT_GE(after.WorkingSetSize, before.WorkingSetSize + kTouched * 3 / 4);
    EXPECT_GE(after.PeakWorkingSetSize, after.WorkingSetSize);
    EXPECT_EQ(block.back(), 1);
    EXPECT_EQ(after.cb, sizeof(after));
    CloseProcessMemoryInfo();
}

} // namespace
