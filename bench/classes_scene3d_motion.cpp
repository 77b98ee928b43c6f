// Objects moving by themselves, through the real interpreter with the 3D classes on an
// unhosted Surface (software renderer, headless display), on the frozen test clock:
//   - the gravity tick of 100 and 1,000 falling objects over a floor of an optimised world,
//     one tick of the interpreter's time-driven lists each iteration (counter: object ticks a
//     second); the objects fall, land and rest as the iterations go on, as in a game;
//   - a frame of 200 colliding spheres, every other one stepping into its neighbour and back
//     each frame, without handlers and with OnCollide and OnCollisions set, the events of the
//     frame run before the next (counter: frames a second, the script's own statements
//     included).
// The Quaternion operations beside glm and the frame timer after a long stall are in
// classes_scene3d_quaternion.cpp.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "classes/scene3d/scene3d_classes.h"
#include "classes/surface/surface_classes.h"
#include "classes/system/system_classes.h"
#include "classes/window/window_classes.h"
#include "engine3d/render/registry.h"
#include "foundation/containers/ptr_array.h"
#include "graphics2d/formats/image_file_manager.h"
#include "platform/display/headless_display.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/test_hooks.h"
#include "script/classes/base_class.h"
#include "script/classes/script_classes.h"
#include "script/interpreter/ierror.h"
#include "script/interpreter/interpretor.h"
#include "script/language/token_compiler.h"
#include "script/runtime/display_list.h"
#include "script/runtime/launch_info.h"
#include "script/runtime/run_application.h"

namespace {

void SetUpOnce() {
    [[maybe_unused]] static const bool ready = [] {
        setenv("ZORV_GL", "off", 1);
        platform::headless::Install();
        platform::test::FreezeClock(1000000);
        InitGlobalUI();
        RegisterSystemClasses();
        RegisterWindowClasses();
        RegisterSurfaceClasses();
        RegisterScene3DClasses();
        RegisterScriptClasses();
        SetAPIRegistry(&GetBackEndRegistry());
        return true;
    }();
}

// An interpreter that has run a script and stays, with what it made, for the benchmark.
class Scene {
public:
    explicit Scene(const std::string& source) : interpreter_(0, &launch_) {
        PtrArray names;
        BuildBuiltinClassNameList(names);
        if (interpreter_.InitClassRegistry(names) != 1) return;
        interpreter_.imageFileManager = new ImageFileManager;
        interpreter_.imageFileManager->Init(0);
        report_.AddSourceText(source.data(), uint32_t(source.size()), 0, "bench.zs", 0);
        if (interpreter_.GetCompiler()->Compile(report_) != 1) return;
        try {
            interpreter_.Start(report_);
            ok_ = interpreter_.RunMain(report_, nullptr) == 1;
        } catch (CIError* error) {
            report_.SetPendingError(error);
        }
    }
    bool ok() const { return ok_; }
    // The error that ended the run, or 0.
    int32_t error() {
        const CIError* pending = report_.GetPendingError();
        return pending != nullptr ? pending->code : interpreter_.lastEndCode;
    }
    CInterpretor& interpreter() { return interpreter_; }

private:
    CLaunchInfo launch_;
    CInterpretor interpreter_;
    CTokenInfos report_;
    bool ok_ = false;
};

// A wide floor made static geometry, then `count` bricks in a grid above it, falling.
std::string FallingScript(int count) {
    return "s = New Surface(64, 48);\n"
           "w = New World(s);\n"
           "c = New Camera(w, s);\n"
           "floor = w.CreateBrick(100000, 10, 100000);\n"
           "floor.SetStatic();\n"
           "w.Optimize(c);\n"
           "For (i = 0; i < " +
           std::to_string(count) +
           "; i++) {\n"
           "    o = w.CreateBrick(10, 10, 10);\n"
           "    o.SetPosition((i % 40) * 30, 200 + (i % 7) * 50, (i / 40) * 30);\n"
           "    o.SetCollision(1);\n"
           "    o.SetGravity(1 + (i % 3));\n"
           "}\n";
}

void BM_GravityTick(benchmark::State& state) {
    SetUpOnce();
    const int count = int(state.range(0));
    Scene scene(FallingScript(count));
    if (!scene.ok()) {
        state.SkipWithError("the script did not run");
        return;
    }
    for (auto _ : state) {
        platform::headless::AdvanceTime(50);
        scene.interpreter().AdvanceTimeDriven(timeGetTime());
    }
    state.counters["ticks/s"] =
        benchmark::Counter(double(count), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_GravityTick)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

constexpr int kSpheres = 200;
constexpr int kFrames = 20;

// kSpheres spheres of radius 10 in a row, 30 apart, each with its collisions on; then
// `frames` frames in which every other sphere steps 12 units into its neighbour or back, the
// events of each frame run before the next.
std::string CollidingScript(bool handlers, int frames) {
    std::string text = "s = New Surface(64, 48);\n"
                       "w = New World(s);\n"
                       "c = New Camera(w, s);\n"
                       "c.SetPosition(3000, 0, -2000);\n"
                       "n = 0;\n"
                       "Function Hit(wo, one, two, face, contact, side) { n++; }\n"
                       "Function Met(wo, count, pairs) { n = n + count; }\n"
                       "For (i = 0; i < " +
                       std::to_string(kSpheres) +
                       "; i++) {\n"
                       "    o = w.CreateSphere(10, 10, 10, 6, 6);\n"
                       "    o.SetPosition(i * 30, 0, 0);\n"
                       "    o.SetCollision(1);\n"
                       "}\n";
    if (handlers) text += "w.OnCollide = Hit;\nw.OnCollisions = Met;\n";
    text += "step = 12;\n"
            "For (f = 0; f < " +
            std::to_string(frames) +
            "; f++) {\n"
            "    For (i = 1; i < " +
            std::to_string(kSpheres) +
            "; i = i + 2) {\n"
            "        o = w.GetObject(i);\n"
            "        o.AddPosition(step, 0, 0);\n"
            "    }\n"
            "    step = -step;\n"
            "    c.Render();\n"
            "    Program.Wait(0);\n"
            "}\n";
    return text;
}

// Timed by the difference between the run of `with` and that of `without`, the same but for
// what is timed: the building of the scene is left out. `count` things timed a run.
void TimedByDifference(benchmark::State& state, const std::string& with,
                       const std::string& without, const char* counter, int count) {
    SetUpOnce();
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        const auto start = Clock::now();
        Scene a(with);
        const auto middle = Clock::now();
        Scene b(without);
        const auto end = Clock::now();
        if (!a.ok() || !b.ok()) {
            state.SkipWithError(
                ("the script ended with error " + std::to_string(a.ok() ? b.error() : a.error()))
                    .c_str());
            return;
        }
        const double seconds =
            std::chrono::duration<double>((middle - start) - (end - middle)).count();
        state.SetIterationTime(seconds > 0 ? seconds : 1e-9);
    }
    state.counters[counter] =
        benchmark::Counter(double(count), benchmark::Counter::kIsIterationInvariantRate);
}

void CollidingFrames(benchmark::State& state, bool handlers) {
    TimedByDifference(state, CollidingScript(handlers, kFrames), CollidingScript(handlers, 0),
                      "frames/s", kFrames);
}

void BM_CollidingFrameWithoutHandlers(benchmark::State& state) {
    CollidingFrames(state, false);
}
BENCHMARK(BM_CollidingFrameWithoutHandlers)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_CollidingFrameWithHandlers(benchmark::State& state) {
    CollidingFrames(state, true);
}
BENCHMARK(BM_CollidingFrameWithHandlers)->UseManualTime()->Unit(benchmark::kMillisecond);

// `count` bricks of side 10 in a wall of rows of 100, 30 apart, in front of the camera,
// each with its collisions on, shown once; then `frames` frames in which the bricks of every
// `stride`th column step 2 units sideways and back (odd columns the other way) while the rest
// stay, or `picks` picks at points over the wall.
std::string BrickWallScript(int count, int frames, int picks, int stride = 100) {
    return "s = New Surface(64, 48);\n"
           "w = New World(s);\n"
           "c = New Camera(w, s);\n"
           "all[0] = 0;\n"
           "For (i = 0; i < " + std::to_string(count) + "; i++) {\n"
           "    o = w.CreateBrick(10, 10, 10);\n"
           "    o.SetPosition((i % 100) * 30 - 1500, (i / 100) * 30 - 1500, 4000);\n"
           "    o.SetCollision(1);\n"
           "    all[i] = o;\n"
           "}\n"
           "c.Render();\n"
           "step = 2;\n"
           "For (f = 0; f < " + std::to_string(frames) + "; f++) {\n"
           "    For (i = 0; i < " + std::to_string(count) + "; i = i + " + std::to_string(stride) + ") all[i].AddPosition(step - 2 * step * (i % 2), 0, 0);\n"
           "    step = -step;\n"
           "    c.Render();\n"
           "}\n"
           "For (k = 0; k < " + std::to_string(picks) + "; k++) found = c.FindObjectAt(k % 64, k % 48);\n";
}

// Arguments: the number of bricks, and whether one column in 100 moves (100) or all (1).
void BM_BrickWallCollidingFrame(benchmark::State& state) {
    const int count = int(state.range(0));
    const int stride = int(state.range(1));
    TimedByDifference(state, BrickWallScript(count, 2, 0, stride),
                      BrickWallScript(count, 0, 0, stride), "frames/s", 2);
}
BENCHMARK(BM_BrickWallCollidingFrame)->Args({1000, 100})->Args({10000, 100})->Args({1000, 1})->Args({10000, 1})->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_BrickWallPick(benchmark::State& state) {
    const int count = int(state.range(0));
    TimedByDifference(state, BrickWallScript(count, 0, 200), BrickWallScript(count, 0, 0),
                      "picks/s", 200);
}
BENCHMARK(BM_BrickWallPick)->Arg(1000)->Arg(10000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
