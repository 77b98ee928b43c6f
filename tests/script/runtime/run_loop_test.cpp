#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "foundation/containers/ptr_array.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/test_hooks.h"
#include "platform/user/messages.h"
#include "script/interpreter/interpretor.h"
#include "script/language/token_compiler.h"
#include "script/runtime/frame_timer.h"
#include "script/runtime/launch_info.h"
#include "script/runtime/message_filter.h"
#include "script/runtime/neighbour_services.h"
#include "script/runtime/refresh.h"
#include "script/runtime/time_driven.h"

namespace {

constexpr HWND kWindow = 0x7D10;
constexpr uint32_t kProbeId = 37;

// What the probes of a test saw, in order.
std::vector<std::string> journal;

LRESULT Journal(HWND, UINT message, WPARAM, LPARAM) {
    journal.push_back("msg " + std::to_string(message - WM_USER));
    return 0;
}

// A frozen clock, a window that journals its messages, an empty queue and journal, and
// the pollers left as they were.
class LoopFixture : public ::testing::Test {
protected:
    void SetUp() override {
        platform::test::FreezeClock(100000);
        journal.clear();
        Drain();
        platform::BindWindowProcedure(kWindow, &Journal);
        savedServices_ = GetNeighbourServices();
    }
    void TearDown() override {
        GetNeighbourServices() = savedServices_;
        platform::UnbindWindowProcedure(kWindow);
        Drain();
        platform::test::UnfreezeClock();
    }
    static void Drain() {
        MSG message;
        while (PeekMessageA(&message, 0, 0, 0, PM_REMOVE)) {}
    }
    static void Post(UINT n) { PostMessageA(kWindow, WM_USER + n, 0, 0); }

private:
    NeighbourServices savedServices_;
};

// ---- The pump and the waits ------------------------------------------------------------

using MessagePump = LoopFixture;

TEST_F(MessagePump, TakesEveryWaitingMessageAtMostOnceIn51MillisecondsThenPolls) {
    NeighbourServices& services = GetNeighbourServices();
    services.refreshVideos = [](CInterpretor&) { journal.push_back("videos"); };
    services.idleQuickTime = [](CInterpretor&) { journal.push_back("quicktime"); };
    services.pollNetwork = [](CInterpretor&) { journal.push_back("network"); };
    services.pollDownloads = [](CInterpretor&) { journal.push_back("downloads"); };
    CInterpretor interpreter;
    interpreter.StartRunClock();
    DWORD start = timeGetTime();
    Post(1);
    Post(2);
    PostQuitMessage(0);
    interpreter.PumpMessages(start + 50);
    EXPECT_TRUE(journal.empty());
    interpreter.PumpMessages(start + 51);
    EXPECT_EQ(journal, (std::vector<std::string>{"msg 1", "msg 2", "videos", "quicktime", "network",
                                                 "downloads"}));
    // The quit message went with them.
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, 0, 0, 0, PM_NOREMOVE));
}

TEST_F(MessagePump, AnIdleProgramWaitsAccordingToItsCpuShare) {
    for (auto [share, wait] :
         {std::pair<uint32_t, DWORD>{0, 50}, {1, 49}, {50, 25}, {99, 0}, {100, 0}, {250, 0}}) {
        CInterpretor interpreter;
        interpreter.cpuShare = share;
        DWORD before = timeGetTime();
        interpreter.PumpMessages(before);
        EXPECT_EQ(timeGetTime() - before, wait) << share;
    }
    // A waiting message is taken instead.
    CInterpretor interpreter;
    interpreter.cpuShare = 0;
    Post(4);
    DWORD before = timeGetTime();
    interpreter.PumpMessages(before);
    EXPECT_EQ(timeGetTime(), before);
    EXPECT_EQ(journal.size(), 1u);
}

TEST_F(MessagePump, WaitRunsUntilItsDeadlineOrAQuitMessage) {
    CInterpretor interpreter;
    DWORD start = timeGetTime();
    EXPECT_EQ(interpreter.Wait(30), 0);
    EXPECT_EQ(timeGetTime() - start, 31u);
    // One message a round; a quit message ends the wait with 1.
    for (UINT i = 1; i <= 3; ++i)
        Post(i);
    PostQuitMessage(5);
    start = timeGetTime();
    EXPECT_EQ(interpreter.Wait(1000), 1);
    EXPECT_EQ(journal.size(), 3u);
    EXPECT_EQ(timeGetTime(), start);
    // A host's stop request ends a wait with code 0.
    CLaunchInfo launch;
    interpreter.SetLaunchInfo(&launch);
    launch.stopRequest = 1;
    int32_t code = -1;
    try {
        interpreter.Wait(100000);
    } catch (CIError* error) {
        code = error->code;
        CWXException::Delete(error);
    }
    EXPECT_EQ(code, 0);
    EXPECT_EQ(timeGetTime(), start);
}

// A moving thing, a movement controller and a film that write into the journal.
struct Mover final : public CInterrupt {
    explicit Mover(std::string text) : name(std::move(text)) {}
    void Tick(uint32_t now) override {
        journal.push_back(name + " " + std::to_string(now - lastTick));
        if (then) then();
    }
    std::string name;
    std::function<void()> then;
};

struct Movement final : public CTDMovements {
    Movement(const CIBaseClassImpl* object, int* count) : target(object), deleted(count) {}
    ~Movement() override { ++*deleted; }
    void Step(uint32_t) override { journal.push_back("movement"); }
    int Involves(const CIBaseClassImpl* object) const override { return object == target; }
    const CIBaseClassImpl* target;
    int* deleted;
};

// Three frames of 10 ms; leaves the tick when it ends, as a sprite does.
struct Film final : public CAnimatedObject {
    int32_t GetFrame(uint32_t) override { return frame; }
    void SetFrame(uint32_t, int32_t value) override { frame = value; }
    void ShowFrame(uint32_t) override { journal.push_back("frame " + std::to_string(frame)); }
    void AnimationEnded(uint32_t) override {
        journal.push_back("ended");
        interpreter->RemoveAnimated(timer);
    }
    int32_t GetFrameDelay(uint32_t, int32_t) override { return 10; }
    int32_t GetFirstFrame(uint32_t) override { return 0; }
    int32_t GetLastFrame(uint32_t) override { return 2; }
    int32_t GetLoopFrame(uint32_t) override { return 0; }
    int IsPaused(uint32_t) override { return 0; }
    int32_t frame = 0;
    CInterpretor* interpreter;
    CFrameTimer* timer;
};

using TimeDriven = LoopFixture;

TEST_F(TimeDriven, TheTickDrivesMoversThenMovementsThenTimersStillListed) {
    CInterpretor interpreter;
    int deleted = 0;
    Mover mover("mover"), removed("removed");
    CFrameTimer timer;
    Film film;
    film.interpreter = &interpreter;
    film.timer = &timer;
    timer.Init(&film, 0, 0);
    interpreter.AddAnimated(&timer);
    interpreter.AddMovement(new Movement(&interpreter, &deleted));
    interpreter.AddMovingLocation(&removed);
    uint32_t handle = interpreter.AddMovingLocation(&mover);
    EXPECT_EQ(interpreter.AddMovingLocation(&mover), handle);
    EXPECT_EQ(interpreter.GetTimeDrivenCount(), 4u);
    mover.then = [&] { interpreter.RemoveMovingLocation(&removed); };

    platform::test::AdvanceClock(35);
    interpreter.AdvanceTimeDriven(timeGetTime());
    EXPECT_EQ(journal, (std::vector<std::string>{"mover 35", "movement", "frame 2", "ended"}));
    EXPECT_EQ(mover.lastTick, timeGetTime());
    EXPECT_EQ(interpreter.GetTimeDrivenCount(), 2u);

    interpreter.RemoveMovementsOf(nullptr);
    EXPECT_EQ(deleted, 0);
    interpreter.RemoveMovementsOf(&interpreter);
    EXPECT_EQ(deleted, 1);
    interpreter.ResetRunLoop();
    EXPECT_EQ(interpreter.GetTimeDrivenCount(), 0u);
}

// ---- Message filters -------------------------------------------------------------------

class Listener final : public CIBaseMessages {
public:
    Listener(CInterpretor& interpreter, std::string name, int answer)
        : CIBaseMessages(&interpreter), name_(std::move(name)), answer_(answer) {}
    int Filter(MSG*) override {
        journal.push_back(name_);
        return answer_;
    }

private:
    std::string name_;
    int answer_;
};

using MessageFilters = LoopFixture;

TEST_F(MessageFilters, AnswersPassStopOrSwallowAndANinthFilterIsRefused) {
    CInterpretor interpreter;
    auto pass = std::make_unique<Listener>(interpreter, "pass", CIBaseMessages::kPass);
    auto stop = std::make_unique<Listener>(interpreter, "stop", 7);
    auto swallow = std::make_unique<Listener>(interpreter, "swallow", CIBaseMessages::kSwallow);
    Post(1);
    interpreter.Wait(0);
    EXPECT_EQ(journal, (std::vector<std::string>{"pass", "stop", "msg 1"}));
    journal.clear();
    stop.reset();
    Post(2);
    interpreter.Wait(0);
    EXPECT_EQ(journal, (std::vector<std::string>{"pass", "swallow"}));

    swallow.reset();
    std::vector<std::unique_ptr<Listener>> more;
    for (int i = 1; i < 9; ++i)
        more.push_back(std::make_unique<Listener>(interpreter, "f" + std::to_string(i), 0));
    EXPECT_EQ(interpreter.GetMessageFilterCount(), CInterpretor::kMaxMessageFilters);
    journal.clear();
    Post(3);
    interpreter.PumpMessages(timeGetTime());
    EXPECT_EQ(journal.size(), 9u);
    EXPECT_EQ(journal[7], "f7");
    more[7].reset();
    more[0].reset();
    EXPECT_EQ(interpreter.GetMessageFilterCount(), 7u);
}

// ---- The statement loop ----------------------------------------------------------------

// A script object ("Timer") that drives the clock and writes into the journal.
class Probe final : public CIBaseClassImpl {
public:
    Probe(CInterpretor* interpreter, const CClassRecord* record)
        : CIBaseClassImpl(interpreter, record, 1) {}
    void CallMethod(uint16_t methodId) override { CallMethodFromTable(*this, kMethods, methodId); }
    void Destroy(int) override { delete this; }

    static const ScriptMethod<Probe> kMethods[9];
    static inline int steps = 0;
    static inline std::atomic<uint32_t>* stopAfter100 = nullptr;
    static inline CIRefresh* dirtied = nullptr;
    static inline const BlockRecord* handler = nullptr;
    static inline std::function<void(CInterpretor&)> marked;

private:
    // Takes its argument's milliseconds, 1 by default.
    void Step() {
        platform::test::AdvanceClock(interpreter->IsArgDefault(0) ? 1 : interpreter->GetArgInt(0));
        if (dirtied != nullptr) dirtied->SetDirty();
        if (++steps == 100 && stopAfter100 != nullptr) stopAfter100->store(1);
    }
    void Mark() {
        journal.push_back(interpreter->GetArgString(0));
        if (marked) marked(*interpreter);
    }
    void SetHandler() { handler = interpreter->GetArg(0)->GetFunction(); }
    void Fire() {
        interpreter->PostEvent(handler);
        journal.push_back("fire");
    }
    void PostToWindow() { PostMessageA(kWindow, WM_USER + 9, 0, 0); }
    void WaitIfIdle() {
        DWORD before = timeGetTime();
        interpreter->WaitIfIdle(uint32_t(interpreter->GetArgInt(0)));
        journal.push_back("waited " + std::to_string(timeGetTime() - before));
    }
    void Events() { interpreter->eventsEnabled = interpreter->GetArgInt(0); }
    // Ends the run at the statement's end: normally with 0, else with that error.
    void End() {
        if (interpreter->GetArgInt(0) == 0)
            interpreter->EndAtNextStatement();
        else
            interpreter->KeepPendingError(nullptr);
        journal.push_back("end asked");
    }
};

const ScriptMethod<Probe> Probe::kMethods[9] = {
    nullptr,      &Probe::Step,         &Probe::Mark,       &Probe::SetHandler,
    &Probe::Fire, &Probe::PostToWindow, &Probe::WaitIfIdle, &Probe::Events,
    &Probe::End};

const MethodNameRow kProbeNames[] = {{kProbeId, "Timer", 0, 0}, {1, "Step", 0, 0},
                                     {2, "Mark", 0, 0},         {3, "SetHandler", 0, 0},
                                     {4, "Fire", 0, 0},         {5, "PostToWindow", 0, 0},
                                     {6, "WaitIfIdle", 0, 0},   {7, "Events", 0, 0},
                                     {8, "End", 0, 0},          {0, nullptr, 0, 0}};

CIBaseClassImpl* MakeProbe(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) Probe(&interpreter, record);
}

const ScriptClassInfo kProbeClass = {kProbeNames, MakeProbe, 0, nullptr, 0, nullptr, nullptr};

// Journals how many steps the script took by each tick, and when.
struct StepCounter final : public CInterrupt {
    void Tick(uint32_t now) override {
        steps.push_back(Probe::steps);
        times.push_back(now);
        ++count;
    }
    std::vector<int> steps;
    std::vector<uint32_t> times;
    // The ticks so far, for another thread to read.
    std::atomic<size_t> count{0};
};

class StatementLoop : public LoopFixture {
protected:
    void SetUp() override {
        LoopFixture::SetUp();
        saved_ = GetScriptClassInfo(kProbeId);
        RegisterScriptClass(&kProbeClass);
        Probe::steps = 0;
        Probe::stopAfter100 = nullptr;
        Probe::dirtied = nullptr;
        Probe::handler = nullptr;
        Probe::marked = nullptr;
    }
    void TearDown() override {
        UnregisterScriptClass(kProbeId);
        if (saved_ != nullptr) RegisterScriptClass(saved_);
        LoopFixture::TearDown();
    }
    // Runs `source` at CPU share 100 with `ticks` listed (each housekeeping check ticks
    // at interval 0); `configure` sees the started interpreter, `finish` comes after the
    // run. The run's result.
    int Run(const std::string& source, StepCounter* ticks, uint32_t tickInterval,
            const std::function<void(CInterpretor&)>& configure = {},
            const std::function<void()>& finish = {}) {
        CInterpretor interpreter;
        PtrArray names;
        BuildBuiltinClassNameList(names);
        EXPECT_EQ(interpreter.InitClassRegistry(names), 1);
        CTokenInfos report;
        report.AddSourceText(source.data(), uint32_t(source.size()), kUnitOwnsText, "loop", 0);
        if (interpreter.GetCompiler()->Compile(report) != 1) {
            ADD_FAILURE() << "the script does not compile";
            return 0;
        }
        interpreter.Start(report);
        interpreter.cpuShare = 100;
        interpreter.tickInterval = tickInterval;
        if (ticks != nullptr) interpreter.AddMovingLocation(ticks);
        if (configure) configure(interpreter);
        int result = interpreter.RunMain(report, nullptr);
        if (finish) finish();
        return result;
    }
    static std::string Repeat(const std::string& statement, int n) {
        std::string text;
        for (int i = 0; i < n; ++i)
            text += statement + "\n";
        return text;
    }

private:
    const ScriptClassInfo* saved_ = nullptr;
};

TEST_F(StatementLoop, HousekeepingComesAfterEveryTenStatementsWhileEventsAreEnabled) {
    StepCounter counter;
    EXPECT_EQ(Run("Function H() { p.Mark(\"handler\"); }\n"
                  "p = New Timer(); p.SetHandler(H);\n" +
                      Repeat("p.Step();", 38) + "p.Events(0); p.Fire();\n" +
                      Repeat("p.Step();", 40) + "p.Mark(\"off\"); p.Events(1); p.Mark(\"on\");\n",
                  &counter, 0),
              1);
    // The first check follows the first statement (the function definition); then ten
    // statements pass between two checks.
    EXPECT_EQ(counter.steps, (std::vector<int>{0, 9, 20, 31}));
    EXPECT_EQ(journal, (std::vector<std::string>{"fire", "off", "handler", "on"}));
}

TEST_F(StatementLoop, TicksAndRefreshesComeEvery50Milliseconds) {
    struct Window final : public CIRefresh {
        using CIRefresh::CIRefresh;
        void Refresh() override {
            times.push_back(timeGetTime());
            CIRefresh::Refresh();
        }
        std::vector<uint32_t> times;
    };
    StepCounter counter;
    std::unique_ptr<Window> window;
    std::vector<uint32_t> refreshes;
    DWORD start = timeGetTime();
    EXPECT_EQ(Run(
                  "p = New Timer();\n" + Repeat("p.Step();", 300), &counter, 50,
                  [&](CInterpretor& interpreter) {
                      window = std::make_unique<Window>(&interpreter, 0);
                      Probe::dirtied = window.get();
                  },
                  [&] {
                      refreshes = window->times;
                      window.reset();
                  }),
              1);
    for (const std::vector<uint32_t>* times : {&counter.times, &refreshes}) {
        ASSERT_GE(times->size(), 5u);
        EXPECT_EQ(times->front(), start);
        for (size_t i = 1; i < times->size(); ++i) {
            EXPECT_GE((*times)[i] - (*times)[i - 1], 50u);
            EXPECT_LT((*times)[i] - (*times)[i - 1], 61u);
        }
    }
}

TEST_F(StatementLoop, EventsRunBetweenStatementsNeverInsideOneAndNeverNest) {
    static CInterpretor* running = nullptr;
    EXPECT_EQ(Run("Function H() { p.Mark(\"handler\"); p.WaitIfIdle(100); }\n"
                  "p = New Timer(); p.SetHandler(H);\n"
                  "x = p.Fire() + p.Mark(\"same statement\"); p.Mark(\"next\");\n"
                  "p.PostToWindow(); p.Step(60); p.Mark(\"a\"); p.Mark(\"b\");\n"
                  "p.WaitIfIdle(100);\n",
                  nullptr, 50,
                  [](CInterpretor& interpreter) {
                      running = &interpreter;
                      interpreter.statementsPerCheck = 0;
                      platform::BindWindowProcedure(kWindow,
                                                    [](HWND, UINT, WPARAM, LPARAM) -> LRESULT {
                                                        journal.push_back("posted");
                                                        running->PostEvent(Probe::handler);
                                                        return 0;
                                                    });
                  }),
              1);
    EXPECT_EQ(journal,
              (std::vector<std::string>{"fire", "same statement", "handler", "waited 0", "next",
                                        "posted", "a", "handler", "waited 0", "b", "waited 101"}));
}

TEST_F(StatementLoop, AStopRequestFromTheHostEndsTheRunNormally) {
    CLaunchInfo launch;
    Probe::stopAfter100 = &launch.stopRequest;
    EXPECT_EQ(Run("p = New Timer(); while (1) { p.Step(); }\n", nullptr, 50,
                  [&](CInterpretor& interpreter) { interpreter.SetLaunchInfo(&launch); }),
              1);
    EXPECT_EQ(Probe::steps, 100);
}

// On the running clock the checks between two pumps wait for an alarm instead of reading
// the clock; what changes meanwhile still counts at the next check.
TEST_F(StatementLoop, TimedWorkListedWhileTheClockRunsComesAtTheNextCheck) {
    const std::string source =
        Repeat("x = 1;", 25) + "p = New Timer(); p.Mark(\"list\");\n" + Repeat("p.Step();", 30);
    auto ticks = [&] {
        StepCounter counter;
        Probe::steps = 0;
        Probe::marked = [&](CInterpretor& interpreter) { interpreter.AddMovingLocation(&counter); };
        EXPECT_EQ(Run(source, nullptr, 0), 1);
        return counter.steps;
    };
    const std::vector<int> frozen = ticks();
    EXPECT_EQ(frozen, (std::vector<int>{7, 18, 29}));
    platform::test::UnfreezeClock();
    EXPECT_EQ(ticks(), frozen);
}

TEST_F(StatementLoop, FreezingTheClockWhileTheAlarmWaitsCountsAtTheNextCheck) {
    platform::test::UnfreezeClock();
    GetNeighbourServices().pollNetwork = [](CInterpretor&) { journal.push_back("network"); };
    Probe::marked = [](CInterpretor&) {
        if (journal.back() == "freeze") platform::test::FreezeClock(timeGetTime() + 1000);
    };
    EXPECT_EQ(Run(Repeat("x = 1;", 25) + "p = New Timer(); p.Mark(\"freeze\");\n" +
                      Repeat("x = 1;", 11) + "p.Mark(\"later\");\n",
                  nullptr, 50),
              1);
    std::vector<std::string> after(std::find(journal.begin(), journal.end(), "freeze"),
                                   journal.end());
    EXPECT_EQ(after, (std::vector<std::string>{"freeze", "network", "later"}));
}

// While an event waits (events off, or posted inside a handler) or an end was asked for
// inside a statement, compiled code keeps the walk's checks and order.
TEST_F(StatementLoop, CompiledCodeKeepsThePaceWhileAnEventOrAnEndWaits) {
    struct TickMark final : public CInterrupt {
        void Tick(uint32_t) override { journal.push_back("tick"); }
    };
    const std::string handler =
        "Function H() {\np.Mark(\"handler\");\nIf (n < 2) {\nn = n + 1;\np.Fire();\n}\n" +
        Repeat("y = 1;", 12) + "}\n";
    const std::string main =
        "Function Main(k) {\np.Fire();\n" + Repeat("x = 1;", 14) + "p.Events(0); p.Fire();\n" +
        Repeat("x = x + 1;", 23) + "p.Mark(\"on\"); p.Events(1);\n" + Repeat("x = x * 2;", 12) +
        "If (k >= 0) {\np.Mark(p.End(k));\n}\n" + Repeat("x = 2;", 3) + "p.Mark(\"last\");\n}\n";
    for (int k : {-1, 0, 1}) {
        const std::string source = handler + main +
                                   "n = 0; p = New Timer(); p.SetHandler(H);\nMain(" +
                                   std::to_string(k) + ");\n";
        auto run = [&](int compiled) {
            journal.clear();
            TickMark ticks;
            int result = Run(source, nullptr, 0, [&](CInterpretor& interpreter) {
                interpreter.compiledForm = compiled;
                interpreter.AddMovingLocation(&ticks);
            });
            journal.push_back(std::to_string(result));
            return journal;
        };
        const std::vector<std::string> walked = run(0);
        EXPECT_GT(std::count(walked.begin(), walked.end(), "tick"), 8) << k;
        EXPECT_EQ(std::count(walked.begin(), walked.end(), "handler"), 4) << k;
        EXPECT_EQ(run(1), walked) << k;
    }
}

// A loop program asks the interpreter only at the checks, and most of those read no more
// than the alarm: the ticks that the running clock brings still come, and a stop request
// from another thread still ends the loop.
TEST_F(StatementLoop, ALoopProgramOnTheRunningClockTicksAndStops) {
    platform::test::UnfreezeClock();
    CLaunchInfo launch;
    StepCounter counter;
    // The host stops the run once it has ticked enough, however slowly a loaded machine
    // runs it, or after a time no working loop needs.
    std::thread host([&launch, &counter] {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (counter.count.load() < 5 && std::chrono::steady_clock::now() < limit)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        launch.stopRequest.store(1);
    });
    EXPECT_EQ(Run("Function F() {\nx = 0;\nWhile (1) {\nx = (x * 7 + 3) % 1000;\n}\n}\nF();\n",
                  &counter, 10,
                  [&](CInterpretor& interpreter) { interpreter.SetLaunchInfo(&launch); }),
              1);
    host.join();
    // A loop that never looked at the alarm again would have ticked once.
    EXPECT_GE(counter.times.size(), 5u);
    for (size_t i = 1; i < counter.times.size(); ++i)
        EXPECT_GE(counter.times[i] - counter.times[i - 1], 10u);
}

// A counting loop run from its loop form keeps the statement loop's pace: every round is a
// statement for the housekeeping checks, exactly as when the same loop takes the walk.
TEST_F(StatementLoop, ACountingLoopsRoundsCountAsStatementsWhateverWayTheyRun) {
    // Each pair differs only in a step that the loop form cannot take; both end with the
    // loop variable at `last` (else the run fails dividing by zero).
    struct Pair {
        const char* fast;
        const char* walked;
        int last;
    };
    const Pair pairs[] = {
        {"For (i = 0; i < 95; i++) {}", "For (i = 0; i < 95; i = i + 1) {}", 95},
        {"For (i = 0; i < 95; i++) { j = i; }", "For (i = 0; i < 95; i = i + 1) { j = i; }", 95},
        {"For (i = 200; i > 7; i--) {}", "For (i = 200; i > 7; i -= 1) {}", 7},
        {"n = 95; For (i = 0; i < n; i++) {}", "n = 95; For (i = 0; i < n; i = i + 1) {}", 95},
        {"i = 0; While (i < 95) i++;", "i = 0; While (i + 0 < 95) i++;", 95},
        {"j = 0; k = 0; For (i = 0; i < 95; i++) { j = i * 2; k = k + j; }",
         "j = 0; k = 0; For (i = 0; i < 95; i = i + 1) { j = i * 2; k = k + j; }", 95},
        {"x = 0.5; For (i = 0; i < 95; i++) { x = x * 1.5 + 0.25; }",
         "x = 0.5; For (i = 0; i < 95; i = i + 1) { x = x * 1.5 + 0.25; }", 95},
    };
    auto checks = [this](const std::string& source) {
        StepCounter counter;
        EXPECT_EQ(Run(source, &counter, 0), 1) << source;
        return counter.steps.size();
    };
    for (const Pair& pair : pairs) {
        std::string check = "\nIf (i != " + std::to_string(pair.last) + ") x = 1 / 0;\n";
        size_t fast = checks(pair.fast + check);
        EXPECT_GT(fast, 8u) << pair.fast;
        EXPECT_EQ(fast, checks(pair.walked + check)) << pair.fast;
    }
}

} // namespace
