#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/kernel/test_hooks.h"
#include "platform/user/input/input.h"
#include "platform/user/windows.h"
#include "script/interpreter/interpretor.h"
#include "script/runtime/refresh.h"

namespace {

enum Kind { kWindow, kSurface, kLate };

// Writes its name into a log when refreshed, then runs `then`.
class Participant final : public CIRefresh {
public:
    Participant(CInterpretor& interpreter, std::string name, Kind kind,
                std::vector<std::string>& log, uint32_t dirtyAtStart = 1, int atFront = 0)
        : CIRefresh(&interpreter, atFront), name_(std::move(name)), kind_(kind), log_(log) {
        dirty = dirtyAtStart;
    }
    void Refresh() override {
        log_.push_back(name_);
        CIRefresh::Refresh();
        if (then) then();
    }
    int IsLate() override { return kind_ == kLate; }
    int IsSurface() override { return kind_ == kSurface; }

    std::function<void()> then;

private:
    std::string name_;
    Kind kind_;
    std::vector<std::string>& log_;
};

using Log = std::vector<std::string>;

TEST(RefreshPass, WindowsThenSurfacesThenLateParticipants) {
    CInterpretor interpreter;
    Log log;
    Participant late(interpreter, "late", kLate, log);
    Participant surface(interpreter, "surface", kSurface, log);
    Participant window(interpreter, "window", kWindow, log);
    Participant first(interpreter, "first", kWindow, log, 1, 1);
    Participant clean(interpreter, "clean", kWindow, log, 0);
    EXPECT_EQ(interpreter.waitForVerticalBlank, 0u);
    interpreter.RefreshPass();
    EXPECT_EQ(log, (Log{"first", "window", "surface", "late"}));
    EXPECT_EQ(interpreter.refreshPending, 0u);
    // Each pass asks for one wait for the vertical blank.
    EXPECT_EQ(interpreter.verticalBlankRequest, 1u);
    log.clear();
    interpreter.RefreshPass();
    EXPECT_TRUE(log.empty());
}

TEST(RefreshPass, SurfacesDrawnByOtherSurfacesSettleInUpToFourFollowUpRounds) {
    CInterpretor interpreter;
    Log log;
    // Each surface's refresh draws into the one listed before it; only the last is dirty.
    std::vector<std::unique_ptr<Participant>> chain;
    for (int i = 0; i < 6; ++i) {
        chain.push_back(std::make_unique<Participant>(interpreter, "s" + std::to_string(i),
                                                      kSurface, log, i == 5));
        if (i > 0) chain[i]->then = [before = chain[i - 1].get()] { before->SetDirty(); };
    }
    Participant late(interpreter, "late", kLate, log);
    interpreter.RefreshPass();
    EXPECT_EQ(log, (Log{"s5", "s4", "s3", "s2", "s1", "late"}));
    // The fifth link did not fit in this pass; it is not forgotten.
    EXPECT_EQ(interpreter.refreshPending, 1u);
    interpreter.RefreshPass();
    EXPECT_EQ(log.back(), "s0");
    EXPECT_EQ(interpreter.refreshPending, 0u);
}

TEST(RefreshPass, ParticipantsLeavingOrJoiningDuringThePass) {
    CInterpretor interpreter;
    Log log;
    auto killer = std::make_unique<Participant>(interpreter, "killer", kWindow, log);
    auto window = std::make_unique<Participant>(interpreter, "window", kWindow, log);
    auto waiting = std::make_unique<Participant>(interpreter, "waiting", kSurface, log, 0);
    auto drawer = std::make_unique<Participant>(interpreter, "drawer", kSurface, log);
    auto late = std::make_unique<Participant>(interpreter, "late", kLate, log);
    std::unique_ptr<Participant> newcomer;
    killer->then = [&] {
        window.reset();
        late.reset();
        newcomer = std::make_unique<Participant>(interpreter, "new", kWindow, log);
    };
    // Dirties the waiting surface, then destroys it before its follow-up round.
    drawer->then = [&] {
        waiting->SetDirty();
        waiting.reset();
    };
    interpreter.RefreshPass();
    EXPECT_EQ(log, (Log{"killer", "drawer"}));
    // The newcomer waits for the next pass, which is still asked for.
    EXPECT_EQ(interpreter.refreshPending, 1u);
    interpreter.RefreshPass();
    EXPECT_EQ(log.back(), "new");

    // A position left from before the list was emptied never detaches another.
    interpreter.ResetRunLoop();
    Participant fresh(interpreter, "fresh", kWindow, log);
    ASSERT_EQ(fresh.position, killer->position);
    killer.reset();
    EXPECT_EQ(interpreter.refreshList.GetCount(), 1u);
}

TEST(RefreshPass, AParticipantWaitingInsideItsRefreshIsNotRefreshedAgainThere) {
    platform::test::FreezeClock(5000);
    CInterpretor interpreter;
    Log log;
    Participant waiter(interpreter, "waiter", kWindow, log);
    waiter.then = [&] {
        waiter.SetDirty();
        interpreter.Wait(120);
    };
    interpreter.StartRunClock();
    interpreter.CheckPendingAndTick();
    EXPECT_EQ(log, (Log{"waiter"}));
    platform::test::UnfreezeClock();
}

TEST(RefreshPass, FallsDueByIntervalAndAScheduledOneTwoIntervalsLaterAcrossTheWrap) {
    for (DWORD start : {DWORD(20000), DWORD(0xFFFFFFE0u)}) {
        platform::test::FreezeClock(start);
        CInterpretor interpreter;
        Log log;
        Participant window(interpreter, "window", kWindow, log);
        interpreter.StartRunClock();
        // The first check of a run refreshes at once, the next one 50 ms later.
        interpreter.CheckPendingAndTick();
        window.SetDirty();
        platform::test::AdvanceClock(49);
        interpreter.CheckPendingAndTick();
        EXPECT_EQ(log.size(), 1u) << start;
        platform::test::AdvanceClock(1);
        interpreter.CheckPendingAndTick();
        EXPECT_EQ(log.size(), 2u) << start;

        interpreter.ScheduleRefresh();
        window.SetDirty();
        interpreter.CheckPendingAndTick();
        platform::test::AdvanceClock(99);
        interpreter.CheckPendingAndTick();
        EXPECT_EQ(log.size(), 2u) << start;
        platform::test::AdvanceClock(1);
        interpreter.CheckPendingAndTick();
        EXPECT_EQ(log.size(), 3u) << start;
        platform::test::UnfreezeClock();
    }
}

TEST(RefreshPass, APassSlowerThanTheIntervalLeavesTheScriptAWholeIntervalAfterIt) {
    platform::test::FreezeClock(30000);
    CInterpretor interpreter;
    Log log;
    Participant slow(interpreter, "slow", kWindow, log);
    slow.then = [] { platform::test::AdvanceClock(80); };
    interpreter.StartRunClock();
    interpreter.CheckPendingAndTick();
    ASSERT_EQ(log.size(), 1u);
    // The statements run right after the slow pass find no pass due.
    slow.SetDirty();
    interpreter.CheckPendingAndTick();
    platform::test::AdvanceClock(49);
    interpreter.CheckPendingAndTick();
    EXPECT_EQ(log.size(), 1u);
    platform::test::AdvanceClock(1);
    interpreter.CheckPendingAndTick();
    EXPECT_EQ(log.size(), 2u);
    platform::test::UnfreezeClock();
}

} // namespace

namespace {

LRESULT PlainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

TEST(ApplicationActive, FollowsTheActiveWindowOnceThereIsAMainWindow) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = PlainProcedure;
    windowClass.lpszClassName = "ApplicationActiveTest";
    RegisterClassA(&windowClass);
    CInterpretor interpreter;
    CIBaseObjectVar windowObject(&interpreter, 0);
    EXPECT_TRUE(interpreter.IsApplicationActive()); // no main window: always

    // Shown windows take the activation as they appear.
    HWND main = CreateWindowExA(0, "ApplicationActiveTest", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                0, 0, 0, nullptr);
    ASSERT_NE(main, 0u);
    interpreter.mainWindow = &windowObject;
    interpreter.mainWindowHandle = main;
    EXPECT_EQ(GetActiveWindow(), main);
    EXPECT_TRUE(interpreter.IsApplicationActive());
    HWND other = CreateWindowExA(0, "ApplicationActiveTest", "", WS_POPUP | WS_VISIBLE, 0, 0, 50,
                                 50, 0, 0, 0, nullptr);
    EXPECT_EQ(GetActiveWindow(), other);
    EXPECT_TRUE(interpreter.IsApplicationActive()); // another window of this program
    interpreter.mainWindowHandle = 0;
    EXPECT_FALSE(interpreter.IsApplicationActive()); // a main window object without a window

    DestroyWindow(other);
    DestroyWindow(main);
    interpreter.mainWindowHandle = main;
    EXPECT_EQ(GetActiveWindow(), 0u);
    EXPECT_FALSE(interpreter.IsApplicationActive()); // nothing active
    interpreter.mainWindow = nullptr;
}
