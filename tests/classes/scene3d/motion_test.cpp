// The movement controllers on the test clock: New World() freezes it, and w.Tick(ms)
// moves it on and runs the interpreter's tick once at the new time, so that every step
// falls where the test says. w.Now() is the time since the World was made; w.Key(vk, down)
// holds or lets go a key and w.Active(flag) gives the application the user's attention
// or takes it away.
#include <memory>

#include "classes/scene3d/location_test_world.h"
#include "platform/display/headless_display.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/test_hooks.h"

namespace location_test {
namespace {

class ClockWorld final : public CIBaseClassImpl {
public:
    ClockWorld(CInterpretor* interpreter, const CClassRecord* record)
        : CIBaseClassImpl(interpreter, record, 1) {}
    void Create() override {
        world = std::make_unique<L3DWorld>(&device, 0, nullptr, nullptr);
        platform::test::FreezeClock(1000000);
        Register();
    }
    void Destroy(int) override { delete this; }
    int IsReferenced() override { return 1; }
    void CallMethod(uint16_t methodId) override {
        CInterpretor& in = *interpreter;
        switch (methodId) {
        case 1: {
            platform::headless::AdvanceTime(DWORD(in.GetArgInt(0)));
            const uint32_t now = timeGetTime();
            in.AdvanceTimeDriven(now);
            in.lastTick = now;
            break;
        }
        case 2:
            in.GetResultSlot()->SetInt(int32_t(timeGetTime() - 1000000));
            break;
        case 3:
            if (in.GetArgInt(1) != 0)
                platform::headless::KeyDown(in.GetArgInt(0));
            else
                platform::headless::KeyUp(in.GetArgInt(0));
            break;
        case 4:
            platform::headless::SetAppActive(in.GetArgInt(0) != 0);
            break;
        default:
            RaiseNoSuchMethod(*this);
        }
    }

    LAPINull device;
    std::unique_ptr<L3DWorld> world;
};

const MethodNameRow kClockWorldNames[] = {{CILocation::kWorldClassId, "World", 0, 0},
                                          {1, "Tick", 0, 0},
                                          {2, "Now", 0, 0},
                                          {3, "Key", 0, 0},
                                          {4, "Active", 0, 0},
                                          {0, nullptr, 0, 0}};

CIBaseClassImpl* NewClockWorld(CInterpretor& interpreter, const CClassRecord* record) {
    return new ClockWorld(&interpreter, record);
}

const ScriptClassInfo kClockWorldInfo = {kClockWorldNames, NewClockWorld, 0, nullptr, 0,
                                         kWorldDependents, nullptr};

const LocationWorldServices kClockServices = {
    [](CIBaseClassImpl* world) -> L3DWorld* {
        return static_cast<ClockWorld*>(world)->world.get();
    },
    [](CIBaseClassImpl*) {}, nullptr, nullptr, nullptr};

class Motion : public PlacedClasses {
protected:
    void SetUp() override {
        PlacedClasses::SetUp();
        RegisterScriptClass(&kClockWorldInfo);
        CILocation::SetWorldServices(&kClockServices);
    }
    // `ticks` ticks of `ms` each.
    std::string Run(const std::string& source) {
        return PlacedClasses::Run(
            "Function Near(a, b) { return a > b - 0.0001 && a < b + 0.0001; }\n" + source);
    }
    static std::string Ticks(int ticks, int ms = 50) {
        return "for (i = 0; i < " + std::to_string(ticks) + "; i++) w.Tick(" + std::to_string(ms) +
               ");\n";
    }
};

// The 50 ms ticks fall 30 ms after the start: T + 30, T + 80, ... T + 980, T + 1030.
TEST_F(Motion, ATimedMoveEndsOnTheFirstTickAtOrAfterItsEndAndPostsOnStopMovementOnce) {
    EXPECT_EQ(Run("w = New World(); p = New Position(w); n = 0;\n"
                  "Function Stopped(o) { n++; Print(\"stopped\", w.Now(), o == p, o.GetX()); }\n"
                  "p.OnStopMovement = Stopped;\n"
                  "p.SetPosition(100, 0, 0, 1);\n"
                  "w.Tick(30); Print(p.GetX());\n" +
                  Ticks(19) + "Print(w.Now(), p.GetX() > 97, p.GetX() < 99);\n" + Ticks(1) +
                  "x = 1;\n" + Ticks(3) + "Print(n, p.GetX());\n"),
              "3\n980 1 1\nstopped 1030 1 100\n1 100\n");
    // Exactly on time the move ends on that tick; a turn ends one tick later.
    EXPECT_EQ(Run("w = New World(); p = New Position(w);\n"
                  "Function Stopped(o) { Print(\"stopped\", w.Now(), o.GetX(), o.GetYAngle()); }\n"
                  "p.OnStopMovement = Stopped;\n"
                  "p.SetPosition(10, 0, 0, 1);\n" +
                  Ticks(20) + "x = 1;\n" + "p.SetAngle(0, 1, 0, 1);\n" + Ticks(20) +
                  "Print(p.GetYAngle());\n" + Ticks(1) + "x = 1;\n" + Ticks(2)),
              "stopped 1000 10 0\n1\nstopped 2050 10 1\n");
}

TEST_F(Motion, ATurnAndAMoveRunTogetherAndASecondStartRestartsItsOwnKind) {
    EXPECT_EQ(Run("w = New World(); p = New Position(w); n = 0;\n"
                  "Function Stopped(o) { n++; }\n"
                  "p.OnStopMovement = Stopped;\n"
                  "p.SetPosition(0, 0, 100, 1); p.TurnLeft(1, 0.5);\n" +
                  Ticks(10) +
                  "Print(p.GetZ(), Near(p.GetYAngle(), 1), n);\n"
                  // The turn started again at 500 ms: it ends with the move at 1000.
                  "p.TurnLeft(1, 0.5); q = New Position(w); q.TurnLeft(2);\n" +
                  Ticks(10) + "Print(p.GetZ(), Near(p.GetYAngle(), q.GetYAngle()), n);\n" +
                  Ticks(1) + "x = 1; Print(n, Near(p.GetXAngle(), q.GetXAngle()));\n"),
              "50 1 0\n100 1 0\n1 1\n");
}

TEST_F(Motion, PauseHoldsATweenThatThenEndsAsLateAsThePauseWasLong) {
    EXPECT_EQ(Run("w = New World(); p = New Position(w);\n"
                  "Function Stopped(o) { Print(\"stopped\", w.Now(), o.GetX()); }\n"
                  "p.OnStopMovement = Stopped;\n"
                  "p.SetPosition(100, 0, 0, 1);\n" +
                  Ticks(10) + "p.Pause(); Print(p.GetX());\n" + Ticks(60) +
                  "p.Pause(); Print(p.GetX()); p.Resume(); p.Resume();\n" + Ticks(9) +
                  "Print(p.GetX());\n" + Ticks(1) + "x = 1;\n" +
                  // Stop posts too, and the controller stays for the next move.
                  "p.SetPosition(0, 0, 0, 1); w.Tick(50); p.Stop(); x = 1; Print(p.GetX());\n"),
              "50\n50\n95\nstopped 4000 100\nstopped 4050 95\n95\n");
}

TEST_F(Motion, RelativeTurnsEndExactlyWhateverTheTicks) {
    // Three steps of 400 ms for 1 s: the last one is cut at the end time.
    EXPECT_EQ(Run("w = New World(); p = New Position(w);\n"
                  "p.SetRelativeAngle(0, 1.5, 0, 1);\n" +
                  Ticks(3, 400) +
                  "Print(Near(p.GetYAngle(), 1.5));\n"
                  // A first step after the whole duration, and a duration of 0, turn once.
                  "q = New Position(w); q.SetRelativeAngle(0, 0.5, 0, 1); w.Tick(5000);\n"
                  "r = New Position(w); r.SetRelativeAngle(0, 0.5, 0, 0); w.Tick(50); w.Tick(50);\n"
                  "Print(Near(q.GetYAngle(), 0.5), Near(r.GetYAngle(), 0.5));\n"
                  // Small shares of a slow turn are not lost.
                  "s = New Position(w); s.TurnLeft(0.02, 2);\n" +
                  Ticks(41) + "Print(Near(s.GetYAngle(), 0.02));\n"),
              "1\n1 1\n1\n");
}

TEST_F(Motion, ADurationOfZeroHoldsTheTargetUntilStopped) {
    EXPECT_EQ(Run("w = New World(); p = New Position(w); n = 0;\n"
                  "Function Stopped(o) { n++; }\n"
                  "p.OnStopMovement = Stopped;\n"
                  "p.SetPosition(1, 2, 3, 0); w.Tick(50); Print(p.GetX(), p.GetY(), p.GetZ());\n"
                  "p.SetPosition(9, 9, 9); w.Tick(50); Print(p.GetX(), n);\n"
                  "p.Stop(); p.SetPosition(9, 9, 9); w.Tick(50); x = 1; Print(p.GetX(), n);\n"
                  // AddAngle takes the shorter way round, SetAngle the long way.
                  "a = New Position(w); a.SetAngle(0, 0.5, 0); a.AddAngle(0, 5, 0, 1);\n"
                  "b = New Position(w); b.SetAngle(0, 0.5, 0); b.SetAngle(0, 5.5, 0, 1);\n" +
                  Ticks(10) +
                  "Print(a.GetYAngle() > 5.9, b.GetYAngle() > 2.9, b.GetYAngle() < 3.1);\n"
                  // Timed sums end on the sum; a timed TurnTo faces the object at its end.
                  "c = New Position(w, 10, 10, 10); c.AddPosition(5, 0, 0, 1);\n"
                  "d = New Position(w, 10, 10, 10); d.SubPosition(0, 5, 0, 1);\n"
                  "t = New Position(w, 300, 0, 0); r = New Position(w); r.TurnTo(t, 1);\n" +
                  Ticks(21) +
                  "Print(c.GetX(), d.GetY()); r.Move(300); Print(r.GetDistance(t) < 0.01);\n"),
              "1 2 3\n1 0\n9 1\n1 1 1\n15 5\n1\n");
}

TEST_F(Motion, FollowLookAtAndMoveAroundPlaceTheObjectAsTheScenesStepsDo) {
    // Follow without smoothing: at the offset in the target's frame, at every step.
    EXPECT_EQ(
        Run("w = New World(); t = New Position(w, 0, 0, 500); p = New Position(w);\n"
            "p.Follow(t, 100, 0, 0, 50, -200); w.Tick(50);\n"
            "Print(p.GetX(), p.GetY(), p.GetZ());\n"
            "t.SetPosition(0, 0, 1000); Print(p.GetZ()); p.Follow(); Print(p.GetZ());\n"
            // Deleting the target takes the follower's controller away.
            "Delete t; w.Tick(50); p.Follow(); Print(p.GetZ());\n"
            // A stopped controller goes with its target too.
            "u = New Position(w); p.LookAt(u); p.Stop(); Delete u; p.Follow(); p.Resume();\n"),
        "0 50 300\n300\n800\n800\n");
    // LookAt keeps facing the target as it moves; a move of the distance reaches it.
    EXPECT_EQ(Run("w = New World(); t = New Position(w, 300, 0, 0); p = New Position(w);\n"
                  "p.LookAt(t); w.Tick(50); t.SetPosition(0, 400, 0); w.Tick(50);\n"
                  "p.Move(400); Print(p.GetDistance(t) < 0.01);\n"
                  "p.SetPosition(0, 0, 0); p.LookAt(t, 0, -400, 300); w.Tick(50);\n"
                  "p.Move(300); Print(p.GetDistance(0, 0, 300) < 0.01);\n"),
              "1\n1\n");
    // MoveAround: a quarter of the way to the orbit place at each step, at the distance.
    EXPECT_EQ(Run("w = New World(); t = New Position(w); p = New Position(w, 0, 0, 400);\n"
                  "p.MoveAround(t, 200, 0, 0, 0, 0, 0, 0, 0, 0, 0);\n" +
                  Ticks(40) +
                  "Print(p.GetDistance(t) > 199.9, p.GetDistance(t) < 200.1);\n"
                  "q = New Position(w, 0, 0, 200); q.MoveAround(t);\n" +
                  Ticks(60) +
                  "Print(q.GetDistance(t) > 190, q.GetDistance(t) < 200.1,\n"
                  "  q.GetDistance(0, 0, 200) > 1);\n"),
              "1 1\n1 1 1\n");
    EXPECT_EQ(ErrorOf("w = New World(); p = New Position(w); z = New Zone(w); p.LookAt(z);"), 47);
    EXPECT_EQ(ErrorOf("w = New World(); p = New Position(w); p.Follow(3);"), 47);
    EXPECT_EQ(ErrorOf("w = New World(); p = New Position(w); p.Walk(0);"), 14);
    EXPECT_EQ(Run("w = New World(); p = New Position(w); p.Follow(); p.Stop(); p.Pause();\n"
                  "p.Resume(); Print(p.GetX());"),
              "0\n");
}

TEST_F(Motion, WalkMovesOnTheArrowKeysStrafesWithAltAndIgnoresKeysWhileInactive) {
    const std::string made = "w = New World(); win = New Window(120, 90, 0, 0);\n"
                             "p = New Position(w); p.Walk(1, 1000, 500, 1, 2); w.Tick(1);\n";
    // Up for 100 ms at 1000 a second, then with Shift at twice that.
    EXPECT_EQ(Run(made + "w.Key(0x26, 1); w.Tick(100); d = p.GetDistance(0, 0, 0);\n"
                         "w.Key(0x10, 1); w.Tick(100); w.Key(0x10, 0); w.Key(0x26, 0);\n"
                         "Print(d, p.GetDistance(0, 0, 0));\n"),
              "100 300\n");
    // Left turns; with Alt it moves sideways instead.
    EXPECT_EQ(Run(made + "w.Key(0x25, 1); w.Tick(500); Print(p.GetYAngle() > 0.49, p.GetX());\n"
                         "p.SetAngle(0, 0, 0); w.Key(0x12, 1); w.Tick(200); w.Key(0x12, 0);\n"
                         "w.Key(0x25, 0); Print(p.GetYAngle(), p.GetDistance(0, 0, 0));\n"),
              "1 0\n0 100\n");
    // While another application has the user's attention the keys do nothing.
    EXPECT_EQ(Run(made + "w.Active(0); w.Key(0x26, 1); w.Tick(100); a = p.GetDistance(0, 0, 0);\n"
                         "w.Active(1); w.Tick(100); w.Key(0x26, 0);\n"
                         "Print(a, p.GetDistance(0, 0, 0));\n"),
              "0 100\n");
}

} // namespace
} // namespace location_test
