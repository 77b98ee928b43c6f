#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/display/display_backend.h"
#include "platform/files/files.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/sync.h"
#include "platform/kernel/test_hooks.h"
#include "platform/kernel/threads.h"
#include "platform/last_error.h"
#include "platform/user/messages.h"

namespace {

// Each test runs on a thread of its own, so it starts with an empty queue and its
// queue and windows go away with it.
template <class Body> void OnFreshThread(Body body) {
    std::thread(body).join();
}

constexpr HWND kWindow = 0x7001;
constexpr HWND kOtherWindow = 0x7002;

std::vector<UINT> seen;

LRESULT Recorder(HWND, UINT message, WPARAM wParam, LPARAM) {
    seen.push_back(message);
    return static_cast<LRESULT>(wParam) * 2;
}

std::vector<UINT> DrainMessages() {
    std::vector<UINT> messages;
    MSG msg;
    while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE))
        messages.push_back(msg.message);
    return messages;
}

long long MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

TEST(MessageQueue, PostsInOrderAndPeeksThroughWindowAndRangeFilters) {
    OnFreshThread([] {
        ASSERT_TRUE(platform::BindWindowProcedure(kWindow, Recorder));
        ASSERT_TRUE(platform::BindWindowProcedure(kOtherWindow, Recorder));
        EXPECT_TRUE(PostMessageA(kWindow, WM_TIMER, 1, 0));
        EXPECT_TRUE(PostMessageA(0, WM_USER + 1, 2, 0));
        EXPECT_TRUE(PostMessageA(kOtherWindow, WM_USER + 2, 3, 0));
        EXPECT_TRUE(PostMessageA(kWindow, WM_USER + 3, 4, -5));

        MSG msg;
        EXPECT_TRUE(PeekMessageA(&msg, kWindow, WM_USER, WM_USER + 0xFF, PM_NOREMOVE));
        EXPECT_EQ(msg.message, WM_USER + 3u);
        EXPECT_EQ(msg.lParam, -5);
        EXPECT_TRUE(PeekMessageA(&msg, 0, WM_USER, WM_USER + 0xFF, PM_REMOVE));
        EXPECT_EQ(msg.message, WM_USER + 1u);
        EXPECT_EQ(msg.hwnd, 0u);
        EXPECT_FALSE(PeekMessageA(&msg, kOtherWindow, WM_TIMER, WM_TIMER, PM_REMOVE));

        EXPECT_EQ(DrainMessages(), (std::vector<UINT>{WM_TIMER, WM_USER + 2, WM_USER + 3}));
        EXPECT_FALSE(PeekMessageA(&msg, 0, 0, 0, PM_REMOVE));
    });
}

TEST(MessageQueue, RefusesUnknownWindowsThreadsEndedThreadsWindowsAndAFullQueue) {
    OnFreshThread([] {
        EXPECT_EQ(ErrorOf(PostMessageA(0x7FFF, WM_USER, 0, 0), FALSE), ERROR_INVALID_WINDOW_HANDLE);
        EXPECT_EQ(ErrorOf(PostThreadMessageA(0xFFFFFFF0u, WM_USER, 0, 0), FALSE),
                  ERROR_INVALID_THREAD_ID);
        MSG msg;
        EXPECT_EQ(GetMessageA(&msg, 0x7FFF, 0, 0), -1); // would wait for ever
    });

    OnFreshThread([] { platform::BindWindowProcedure(kWindow, Recorder); });
    EXPECT_EQ(ErrorOf(PostMessageA(kWindow, WM_USER, 0, 0), FALSE), ERROR_INVALID_WINDOW_HANDLE);

    OnFreshThread([] {
        for (DWORD i = 0; i < MAX_POSTED_MESSAGES; ++i)
            ASSERT_TRUE(PostMessageA(0, WM_USER, i, 0));
        EXPECT_EQ(ErrorOf(PostMessageA(0, WM_USER, 0, 0), FALSE), ERROR_NOT_ENOUGH_QUOTA);
        MSG msg;
        EXPECT_TRUE(PeekMessageA(&msg, 0, 0, 0, PM_REMOVE));
        EXPECT_EQ(msg.wParam, 0u); // the oldest, nothing overwritten
        EXPECT_TRUE(PostMessageA(0, WM_USER, 1, 0));
    });
}

TEST(MessageQueue, QuitComesAfterEveryOtherMessage) {
    OnFreshThread([] {
        PostMessageA(0, WM_USER, 0, 0);
        PostQuitMessage(7);
        PostMessageA(0, WM_USER + 1, 0, 0);
        MSG msg;
        EXPECT_TRUE(PeekMessageA(&msg, 0, WM_QUIT, WM_QUIT, PM_NOREMOVE));
        EXPECT_EQ(GetMessageA(&msg, 0, 0, 0), TRUE);
        EXPECT_EQ(msg.message, WM_USER);
        EXPECT_EQ(GetMessageA(&msg, 0, 0, 0), TRUE);
        EXPECT_EQ(msg.message, WM_USER + 1u);
        EXPECT_EQ(GetMessageA(&msg, 0, 0, 0), 0);
        EXPECT_EQ(msg.message, WM_QUIT);
        EXPECT_EQ(msg.wParam, 7u);
        EXPECT_FALSE(PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)); // taken once only
    });
}

TEST(MessageQueue, DispatchCallsTheProcedureWithNothingLocked) {
    OnFreshThread([] {
        seen.clear();
        static bool reposted = false;
        reposted = false;
        WNDPROC reposting = [](HWND window, UINT message, WPARAM, LPARAM) -> LRESULT {
            if (message == WM_CLOSE) throw std::runtime_error("script error");
            if (!reposted) reposted = PostMessageA(window, WM_USER + 9, 0, 0);
            return 1;
        };
        platform::BindWindowProcedure(kWindow, reposting);
        PostMessageA(kWindow, WM_USER, 0, 0);
        PostMessageA(kWindow, WM_CLOSE, 0, 0);
        MSG msg;
        ASSERT_EQ(GetMessageA(&msg, 0, 0, 0), TRUE);
        EXPECT_EQ(DispatchMessageA(&msg), 1);
        ASSERT_EQ(GetMessageA(&msg, kWindow, 0, 0), TRUE);
        EXPECT_THROW(DispatchMessageA(&msg), std::runtime_error);
        EXPECT_TRUE(PostMessageA(kWindow, WM_USER + 1, 0, 0)); // the queue still works

        platform::BindWindowProcedure(kWindow, Recorder);
        EXPECT_EQ(DrainMessages(), (std::vector<UINT>{WM_USER + 9, WM_USER + 1}));
        msg = MSG{kWindow, WM_COMMAND, 21, 0, 0, {0, 0}};
        EXPECT_EQ(DispatchMessageA(&msg), 42);
        EXPECT_TRUE(platform::UnbindWindowProcedure(kWindow));
        EXPECT_EQ(DispatchMessageA(&msg), 0);
        EXPECT_EQ(seen, std::vector<UINT>{WM_COMMAND});
    });
}

TEST(MessageQueue, PostFromAnotherThreadWakesGetMessage) {
    std::atomic<DWORD> receiver{0};
    std::atomic<bool> got{false};
    std::thread thread([&] {
        MSG msg;
        PeekMessageA(&msg, 0, 0, 0, PM_NOREMOVE); // makes the queue
        receiver = GetCurrentThreadId();
        EXPECT_EQ(GetMessageA(&msg, 0, 0, 0), TRUE);
        EXPECT_EQ(msg.message, WM_USER + 5u);
        got = true;
        platform::BindWindowProcedure(kWindow, Recorder);
        EXPECT_EQ(GetMessageA(&msg, kWindow, 0, 0), TRUE);
        EXPECT_EQ(msg.wParam, 3u);
    });
    while (receiver == 0)
        std::this_thread::yield();
    Sleep(20);
    EXPECT_FALSE(got);
    EXPECT_TRUE(PostThreadMessageA(receiver, WM_USER + 5, 0, 0));
    while (!PostMessageA(kWindow, WM_USER, 3, 0))
        std::this_thread::yield(); // until the thread has bound it
    thread.join();
}

TEST(MsgWait, AnswersHandlesFirstThenTheQueueAndPostsWakeARealWaitEarly) {
    OnFreshThread([] {
        HANDLE events[2] = {CreateEventA(nullptr, TRUE, FALSE, nullptr),
                            CreateEventA(nullptr, TRUE, FALSE, nullptr)};
        EXPECT_EQ(MsgWaitForMultipleObjects(2, events, FALSE, 0, QS_ALLINPUT), WAIT_TIMEOUT);
        PostMessageA(0, WM_USER, 0, 0);
        EXPECT_EQ(MsgWaitForMultipleObjects(2, events, FALSE, 0, QS_ALLINPUT), WAIT_OBJECT_0 + 2);
        EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT), WAIT_OBJECT_0);
        EXPECT_EQ(MsgWaitForMultipleObjects(2, events, FALSE, 0, 0), WAIT_TIMEOUT);
        EXPECT_EQ(MsgWaitForMultipleObjects(2, events, TRUE, 0, QS_ALLINPUT), WAIT_TIMEOUT);
        SetEvent(events[1]);
        EXPECT_EQ(MsgWaitForMultipleObjects(2, events, FALSE, 0, QS_ALLINPUT), WAIT_OBJECT_0 + 1);
        SetEvent(events[0]);
        EXPECT_EQ(MsgWaitForMultipleObjects(2, events, TRUE, 0, QS_ALLINPUT), WAIT_OBJECT_0);
        EXPECT_EQ(DrainMessages().size(), 1u); // waiting takes no message

        CloseHandle(events[0]);
        CloseHandle(events[1]);
    });

    OnFreshThread([] {
        auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 30, QS_ALLINPUT), WAIT_TIMEOUT);
        EXPECT_GE(MillisecondsSince(start), 30);

        DWORD self = GetCurrentThreadId();
        std::thread poster([self] {
            Sleep(20);
            PostThreadMessageA(self, WM_USER, 0, 0);
        });
        start = std::chrono::steady_clock::now();
        EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 10000, QS_ALLINPUT), WAIT_OBJECT_0);
        EXPECT_LT(MillisecondsSince(start), 5000);
        poster.join();
    });
}

TEST(MsgWait, TimeOutsAdvanceAFrozenClockAtOnce) {
    OnFreshThread([] {
        auto start = std::chrono::steady_clock::now();
        platform::test::FreezeClock(1000);
        EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 400, QS_ALLINPUT), WAIT_TIMEOUT);
        EXPECT_EQ(timeGetTime(), 1400u);
        PostMessageA(0, WM_USER, 0, 0);
        EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 400, QS_ALLINPUT), WAIT_OBJECT_0);
        EXPECT_EQ(timeGetTime(), 1400u);
        DrainMessages();

        // Frozen at the running clock's own reading, it must still be seen as frozen.
        platform::test::UnfreezeClock();
        platform::test::FreezeClock(timeGetTime());
        DWORD frozenAt = timeGetTime();
        EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 500, QS_ALLINPUT), WAIT_TIMEOUT);
        EXPECT_EQ(timeGetTime() - frozenAt, 500u);
        platform::test::UnfreezeClock();
        EXPECT_LT(MillisecondsSince(start), 400);
    });
}

// A display whose pump takes longer than the waits asked of it, as on a loaded machine.
class SlowDisplay : public platform::DisplayBackend {
public:
    std::string_view Name() const override { return "slow"; }
    void Pump() override { std::this_thread::sleep_for(std::chrono::milliseconds(30)); }
    DWORD PumpInterval() const override { return INFINITE; }
    std::vector<platform::DisplayMode> Modes() const override { return {}; }
    bool SetMode(const platform::DisplayMode&) override { return false; }
    bool ShowsWindows() const override { return false; }
};

// On the frozen clock a wait lasts what it asked for, however long the machine took.
TEST(MsgWait, AFrozenClockMovesByTheWholeWaitOnASlowMachine) {
    OnFreshThread([] {
        platform::SetActiveDisplay(std::make_unique<SlowDisplay>());
        platform::test::FreezeClock(1000);
        EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT), WAIT_TIMEOUT);
        EXPECT_EQ(timeGetTime(), 1010u);
        EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT), WAIT_TIMEOUT);
        EXPECT_EQ(timeGetTime(), 1010u);
        platform::test::UnfreezeClock();
        platform::SetActiveDisplay(platform::MakeHeadlessDisplay());
    });
}

} // namespace
