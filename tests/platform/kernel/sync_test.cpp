#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/last_error.h"
#include "platform/kernel/clock.h"
#include "platform/files/files.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/sync.h"
#include "platform/kernel/test_hooks.h"
#include "platform/kernel/threads.h"

namespace {

// Runs `body` on another thread and waits for it.
template <class Body> void OnOtherThread(Body body) {
    std::thread(body).join();
}

TEST(CriticalSection, RecursiveAndOwnedByOneThread) {
    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    EnterCriticalSection(&section);
    EXPECT_TRUE(TryEnterCriticalSection(&section));
    LeaveCriticalSection(&section);
    OnOtherThread([&] {
        EXPECT_FALSE(TryEnterCriticalSection(&section));
        LeaveCriticalSection(&section); // not the owner: ignored
        EXPECT_FALSE(TryEnterCriticalSection(&section));
    });
    LeaveCriticalSection(&section);
    OnOtherThread([&] {
        EnterCriticalSection(&section);
        LeaveCriticalSection(&section);
    });
    DeleteCriticalSection(&section);
}

TEST(Event, AutoResetReleasesOneWaiterPerSetAndManualResetEveryWaiter) {
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    std::atomic<int> released{0};
    auto waiter = [&] {
        EXPECT_EQ(WaitForSingleObject(event, INFINITE), WAIT_OBJECT_0);
        ++released;
    };
    std::thread first(waiter), second(waiter);
    Sleep(50);
    EXPECT_TRUE(SetEvent(event));
    while (released == 0)
        Sleep(1);
    Sleep(100); // time for a wrongly released second waiter to show
    EXPECT_EQ(released, 1);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT); // reset by the release
    EXPECT_TRUE(SetEvent(event));
    first.join();
    second.join();
    EXPECT_EQ(released, 2);
    EXPECT_TRUE(CloseHandle(event));

    event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i)
        waiters.emplace_back(waiter);
    Sleep(20);
    EXPECT_TRUE(SetEvent(event));
    for (std::thread& thread : waiters)
        thread.join();
    EXPECT_EQ(released, 5);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(ResetEvent(event));
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    EXPECT_TRUE(CloseHandle(event));
}

TEST(Wait, AnyTakesTheFirstSignalledObjectOnlyAndAllEveryObjectAtOnceOrNone) {
    HANDLE events[3];
    for (int i = 0; i < 3; ++i)
        events[i] = CreateEventA(nullptr, FALSE, i != 0, nullptr);
    EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 0), WAIT_OBJECT_0 + 1);
    EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 0), WAIT_OBJECT_0 + 2);
    EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 0), WAIT_TIMEOUT);
    for (HANDLE event : events)
        EXPECT_TRUE(CloseHandle(event));

    HANDLE objects[2] = {CreateSemaphoreA(nullptr, 1, 5, nullptr),
                         CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    EXPECT_EQ(WaitForMultipleObjects(2, objects, TRUE, 0), WAIT_TIMEOUT);
    LONG previous = -1;
    EXPECT_TRUE(ReleaseSemaphore(objects[0], 1, &previous));
    EXPECT_EQ(previous, 1); // the failed wait took nothing
    std::thread waiter(
        [&] { EXPECT_EQ(WaitForMultipleObjects(2, objects, TRUE, INFINITE), WAIT_OBJECT_0); });
    Sleep(20);
    EXPECT_TRUE(SetEvent(objects[1]));
    waiter.join();
    EXPECT_TRUE(ReleaseSemaphore(objects[0], 1, &previous));
    EXPECT_EQ(previous, 1);
    EXPECT_EQ(WaitForSingleObject(objects[1], 0), WAIT_TIMEOUT);

    HANDLE twice[2] = {objects[0], objects[0]};
    SetLastError(0);
    EXPECT_EQ(ErrorOf(WaitForMultipleObjects(2, twice, TRUE, 0), WAIT_FAILED),
              ERROR_INVALID_PARAMETER);
    for (HANDLE object : objects)
        EXPECT_TRUE(CloseHandle(object));
}

TEST(Wait, TimesOutInRealTimeEvenWithAFrozenClockAndFailsForHandlesThatCannotBeWaitedOn) {
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    platform::test::FreezeClock(1000);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(WaitForSingleObject(event, 100), WAIT_TIMEOUT);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
    EXPECT_EQ(timeGetTime(), 1000u);
    platform::test::UnfreezeClock();

    SetEvent(event);
    HGLOBAL memory = GlobalAlloc(GHND, 4);
    for (HANDLE bad : {memory, HANDLE{0}, INVALID_HANDLE_VALUE}) {
        HANDLE pair[2] = {event, bad};
        SetLastError(0);
        EXPECT_EQ(ErrorOf(WaitForMultipleObjects(2, pair, FALSE, 0), WAIT_FAILED),
                  ERROR_INVALID_HANDLE)
            << bad;
    }
    EXPECT_EQ(GlobalFree(memory), 0u);
    EXPECT_TRUE(CloseHandle(event));
}

TEST(Mutex, RecursiveOwnershipReleaseByOthersRefusedAndAbandonedOnce) {
    HANDLE mutex = CreateMutexA(nullptr, TRUE, nullptr);
    EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);
    OnOtherThread([mutex] {
        EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_TIMEOUT);
        SetLastError(0);
        EXPECT_EQ(ErrorOf(ReleaseMutex(mutex), FALSE), ERROR_NOT_OWNER);
    });
    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_EQ(ErrorOf(ReleaseMutex(mutex), FALSE), ERROR_NOT_OWNER);

    // An owner ending without releasing, twice over.
    OnOtherThread([mutex] {
        EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);
        EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);
    });
    EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_ABANDONED);
    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_FALSE(ReleaseMutex(mutex)); // the abandoned recursion did not carry over
    EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(ReleaseMutex(mutex));
    OnOtherThread([mutex] {
        EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);
        EXPECT_TRUE(ReleaseMutex(mutex));
    });
    EXPECT_TRUE(CloseHandle(mutex));
}

TEST(Semaphore, ReleaseBeyondTheMaximumChangesNothing) {
    HANDLE semaphore = CreateSemaphoreA(nullptr, 0, 2, nullptr);
    LONG previous = -1;
    EXPECT_TRUE(ReleaseSemaphore(semaphore, 1, &previous));
    EXPECT_EQ(previous, 0);
    previous = -1;
    EXPECT_EQ(ErrorOf(ReleaseSemaphore(semaphore, 2, &previous), FALSE), ERROR_TOO_MANY_POSTS);
    EXPECT_EQ(previous, -1);
    EXPECT_TRUE(ReleaseSemaphore(semaphore, 1, &previous));
    EXPECT_EQ(previous, 1);
    EXPECT_EQ(WaitForSingleObject(semaphore, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(semaphore, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(semaphore, 0), WAIT_TIMEOUT);
    EXPECT_TRUE(CloseHandle(semaphore));
}

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

TEST(Thread, ReportsItsIdAndExitCodeAndStaysSuspendedUntilResumed) {
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

    Probe probe;
    probe.gate = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, RecordAndReturn42, &probe, CREATE_SUSPENDED, nullptr);
    ASSERT_NE(thread, 0u);
    EXPECT_EQ(WaitForSingleObject(thread, 50), WAIT_TIMEOUT);
    EXPECT_EQ(probe.id, 0u);
    EXPECT_EQ(ResumeThread(thread), 1u);
    EXPECT_EQ(ResumeThread(thread), 0u);

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
