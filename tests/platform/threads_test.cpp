#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>

#include "platform/clock.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/sync.h"
#include "platform/threads.h"

namespace {

struct Probe {
    std::atomic<DWORD> id{0};
    HANDLE gate = 0;
};

DWORD RecordAndReturn42(LPVOID parameter) {
    auto* probe = static_cast<Probe*>(parameter);
    probe->id = GetCurrentThreadId();
    if (probe->gate) WaitForSingleObject(probe->gate, INFINITE);
    return 42;
}

TEST(Thread, ReportsItsIdAndExitCode) {
    DWORD mine = GetCurrentThreadId();
    EXPECT_NE(mine, 0u);

    Probe first, second;
    DWORD firstId = 0, secondId = 0;
    HANDLE threads[2] = {CreateThread(nullptr, 0, RecordAndReturn42, &first, 0, &firstId),
                         CreateThread(nullptr, 0, RecordAndReturn42, &second, 0, &secondId)};
    ASSERT_NE(threads[0], 0u);
    ASSERT_NE(threads[1], 0u);
    EXPECT_EQ(WaitForMultipleObjects(2, threads, TRUE, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(first.id, firstId);
    EXPECT_EQ(second.id, secondId);
    EXPECT_NE(firstId, secondId);
    EXPECT_NE(firstId, mine);
    DWORD exitCode = 0;
    EXPECT_TRUE(GetExitCodeThread(threads[0], &exitCode));
    EXPECT_EQ(exitCode, 42u);
    for (HANDLE thread : threads)
        EXPECT_TRUE(CloseHandle(thread));
}

TEST(Thread, SuspendedUntilResumedAndStillActiveWhileRunning) {
    Probe probe;
    probe.gate = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, RecordAndReturn42, &probe, CREATE_SUSPENDED, nullptr);
    ASSERT_NE(thread, 0u);
    EXPECT_EQ(WaitForSingleObject(thread, 50), WAIT_TIMEOUT);
    EXPECT_EQ(probe.id, 0u);
    EXPECT_EQ(ResumeThread(thread), 1u);
    EXPECT_EQ(ResumeThread(thread), 0u);

    DWORD exitCode = 0;
    EXPECT_TRUE(GetExitCodeThread(thread, &exitCode));
    EXPECT_EQ(exitCode, STILL_ACTIVE);
    EXPECT_TRUE(SetEvent(probe.gate));
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_NE(probe.id, 0u);
    EXPECT_TRUE(CloseHandle(thread));
    EXPECT_TRUE(CloseHandle(probe.gate));
}

DWORD TakeAndKeep(LPVOID mutex) {
    return WaitForSingleObject(*static_cast<HANDLE*>(mutex), 0);
}

TEST(Thread, EndingWithAMutexHeldAbandonsIt) {
    HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, TakeAndKeep, &mutex, 0, nullptr);
    HANDLE both[2] = {thread, mutex};
    EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, INFINITE), WAIT_ABANDONED + 1);
    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_TRUE(CloseHandle(thread));
    EXPECT_TRUE(CloseHandle(mutex));
}

DWORD RunForever(LPVOID) {
    for (;;)
        Sleep(1);
}

TEST(ThreadDeathTest, ProcessExitsCleanlyWhileAThreadRuns) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            CreateThread(nullptr, 0, RunForever, nullptr, 0, nullptr);
            Sleep(10);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
