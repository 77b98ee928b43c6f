#include "platform/user/input/input_fixture.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/waitable.h"

namespace {

using input_test::DrainQueue;
using input_test::InputTest;
using input_test::Make;
using platform::test::AdvanceClock;
using platform::test::FreezeClock;

std::vector<std::pair<HWND, UINT_PTR>> fired;

void Callback(HWND window, UINT message, UINT_PTR id, DWORD) {
    if (message == WM_TIMER) fired.emplace_back(window, id);
}

class Timers : public InputTest {
protected:
    void SetUp() override {
        InputTest::SetUp();
        fired.clear();
        FreezeClock(0xFFFFFF00u); // near the wrap of the clock
        window = Keep(Make(WS_POPUP, 0, 0, 10, 10));
    }
    static int TimerMessages() {
        int count = 0;
        MSG msg;
        while (input_test::Next(msg, WM_TIMER, WM_TIMER)) {
            ++count;
            DispatchMessageA(&msg);
        }
        return count;
    }
    HWND window = 0;
};

TEST_F(Timers, WindowTimersFireWhenDueAndNeverPileUp) {
    EXPECT_EQ(SetTimer(window, 7, 100, nullptr), 7u);
    MSG msg;
    EXPECT_FALSE(input_test::Next(msg, 0, 0));
    AdvanceClock(99);
    EXPECT_FALSE(input_test::Next(msg, 0, 0));
    AdvanceClock(1);
    ASSERT_TRUE(PeekMessageA(&msg, 0, 0, 0, PM_NOREMOVE));
    ASSERT_TRUE(input_test::Next(msg, 0, 0));
    EXPECT_EQ(msg.hwnd, window);
    EXPECT_EQ(msg.message, WM_TIMER);
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_EQ(msg.lParam, 0);
    EXPECT_FALSE(input_test::Next(msg, 0, 0));
    // Ten intervals later: still one.
    AdvanceClock(1000);
    EXPECT_EQ(TimerMessages(), 1);

    // Posted messages come first.
    AdvanceClock(100);
    PostMessageA(window, WM_USER, 0, 0);
    ASSERT_TRUE(input_test::Next(msg, 0, 0));
    EXPECT_EQ(msg.message, WM_USER);
    ASSERT_TRUE(input_test::Next(msg, 0, 0));
    EXPECT_EQ(msg.message, WM_TIMER);

    // A due timer killed before its message was taken sends nothing.
    AdvanceClock(100);
    EXPECT_TRUE(KillTimer(window, 7));
    EXPECT_EQ(TimerMessages(), 0);
    EXPECT_FALSE(KillTimer(window, 7));

    // Restarting an id keeps one timer; a destroyed window's timers go with it.
    SetTimer(window, 1, 50, nullptr);
    SetTimer(window, 1, 20, nullptr);
    AdvanceClock(20);
    EXPECT_EQ(TimerMessages(), 1);
    DestroyWindow(window);
    AdvanceClock(1000);
    EXPECT_EQ(TimerMessages(), 0);
}

TEST_F(Timers, CallbacksAreCalledOnlyForLiveTimers) {
    UINT_PTR first = SetTimer(0, 0, 30, Callback);
    UINT_PTR second = SetTimer(0, 0, 30, Callback);
    EXPECT_NE(first, 0u);
    EXPECT_NE(second, 0u);
    EXPECT_NE(first, second);
    EXPECT_EQ(SetTimer(window, 3, 5, Callback), 3u);
    AdvanceClock(30);
    EXPECT_EQ(TimerMessages(), 3);
    ASSERT_EQ(fired.size(), 3u);
    // The window timer (interval raised to the 10 ms minimum) was due first.
    EXPECT_EQ(fired[0], (std::pair<HWND, UINT_PTR>{window, 3}));

    // A WM_TIMER taken before its timer was killed calls nothing.
    fired.clear();
    AdvanceClock(30);
    MSG msg;
    ASSERT_TRUE(input_test::Next(msg, WM_TIMER, WM_TIMER));
    KillTimer(msg.hwnd, msg.wParam);
    DispatchMessageA(&msg);
    EXPECT_TRUE(fired.empty());
    // Nor does a posted WM_TIMER whose lParam is no timer's procedure.
    PostMessageA(0, WM_TIMER, first, 0x1234);
    ASSERT_TRUE(input_test::Next(msg, 0, 0));
    EXPECT_EQ(msg.lParam, 0x1234);
    EXPECT_EQ(DispatchMessageA(&msg), 0);
    EXPECT_TRUE(fired.empty());
    KillTimer(0, first);
    KillTimer(0, second);
    KillTimer(window, 3);
}

TEST_F(Timers, WaitsWakeWhenATimerFallsDue) {
    SetTimer(window, 1, 250, nullptr);
    DWORD start = timeGetTime();
    MSG msg;
    ASSERT_EQ(GetMessageA(&msg, 0, 0, 0), 1);
    EXPECT_EQ(msg.message, WM_TIMER);
    EXPECT_EQ(timeGetTime() - start, 250u);
    start = timeGetTime();
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 1000, QS_ALLINPUT), WAIT_OBJECT_0);
    EXPECT_EQ(timeGetTime() - start, 250u);
    // A timer not yet due leaves a shorter wait its own time-out.
    ASSERT_TRUE(input_test::Next(msg, 0, 0));
    start = timeGetTime();
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT), WAIT_TIMEOUT);
    EXPECT_EQ(timeGetTime() - start, 100u);
    KillTimer(window, 1);
}

TEST(Clock, FrozenClockWrapsAt32BitsAndTheRealOneAdvancesAcrossASleep) {
    FreezeClock(0xFFFFFFF0u);
    DWORD start = timeGetTime();
    EXPECT_EQ(start, 0xFFFFFFF0u);
    EXPECT_EQ(GetTickCount(), start);
    Sleep(0x20); // advances instead of sleeping
    DWORD later = GetTickCount();
    EXPECT_EQ(later, 0x10u);
    EXPECT_EQ(static_cast<int32_t>(later - start), 0x20);
    AdvanceClock(5);
    EXPECT_EQ(timeGetTime(), 0x15u);
    platform::test::UnfreezeClock();

    start = timeGetTime();
    Sleep(30);
    auto elapsed = static_cast<int32_t>(GetTickCount() - start);
    EXPECT_GE(elapsed, 29);
    EXPECT_LT(elapsed, 10000);
}

} // namespace
