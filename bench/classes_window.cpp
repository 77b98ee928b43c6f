// The Window's procedure per message, with 0, 50 and 500 control handlers before it (mouse
// moves, WM_PAINT), and a refresh pass over 100 child Windows that each have a pending move.
// Everything runs on the headless display.
#include <benchmark/benchmark.h>

#include <vector>

#include "classes/window/window_class.h"
#include "classes/window/window_classes.h"
#include "foundation/containers/ptr_array.h"
#include "platform/display/headless_display.h"
#include "script/interpreter/interpretor.h"
#include "script/language/token_compiler.h"
#include "script/runtime/run_application.h"

namespace {

LRESULT PassingHandler(BOOL&, HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

// An interpreter started on an empty program, with the UI set up.
class WindowRun {
public:
    WindowRun() {
        platform::headless::Install();
        RegisterWindowClasses();
        InitGlobalUI();
        PtrArray names;
        BuildBuiltinClassNameList(names);
        interpreter.InitClassRegistry(names);
        static const char source[] = "x = 0;";
        report.AddSourceText(source, sizeof source - 1, 0, "bench.zs", 0);
        interpreter.GetCompiler()->Compile(report);
        interpreter.Start(report);
    }
    ~WindowRun() {
        interpreter.Close();
        ShutdownGlobalUI();
        UnregisterWindowClasses();
    }

    // A Window made as `New Window()` would, inside `parent` when given.
    CIWindow* NewWindow(CIWindow* parent) {
        auto* window = new CIWindow(&interpreter, interpreter.GetClassRecord(CIWindow::kClassId));
        window->parent = parent;
        window->width = 40;
        window->height = 30;
        window->Create();
        return window;
    }

    CInterpretor interpreter;
    CTokenInfos report;
};

void SendThroughProcedure(benchmark::State& state, UINT message) {
    WindowRun run;
    CIWindow* window = run.NewWindow(nullptr);
    for (int64_t i = 0; i < state.range(0); ++i)
        window->AddControlHandler(&PassingHandler);
    LPARAM point = MAKELPARAM(10, 10);
    for (auto _ : state)
        benchmark::DoNotOptimize(SendMessageA(window->hwnd, message, 0, point));
    state.SetItemsProcessed(state.iterations());
}

void BM_WindowProcedureMouseMove(benchmark::State& state) {
    SendThroughProcedure(state, WM_MOUSEMOVE);
}
BENCHMARK(BM_WindowProcedureMouseMove)->Arg(0)->Arg(50)->Arg(500)->Unit(benchmark::kMicrosecond);

void BM_WindowProcedurePaint(benchmark::State& state) {
    SendThroughProcedure(state, WM_PAINT);
}
BENCHMARK(BM_WindowProcedurePaint)->Arg(0)->Arg(50)->Arg(500)->Unit(benchmark::kMicrosecond);

void BM_RefreshPassOverChildWindows(benchmark::State& state) {
    WindowRun run;
    CIWindow* parent = run.NewWindow(nullptr);
    parent->width = 800;
    parent->height = 600;
    parent->SetSize(800, 600, 1);
    std::vector<CIWindow*> children;
    for (int i = 0; i < 100; ++i)
        children.push_back(run.NewWindow(parent));
    run.interpreter.RefreshPass();
    int step = 0;
    for (auto _ : state) {
        step = (step + 1) % 50;
        for (size_t i = 0; i < children.size(); ++i) {
            CIWindow* child = children[i];
            child->x = int32_t(i % 10) * 60 + step;
            child->y = int32_t(i / 10) * 50 + step;
            child->pendingPosFlags &= ~SWP_NOMOVE;
            child->SetDirty();
        }
        run.interpreter.RefreshPass();
    }
    state.SetItemsProcessed(state.iterations() * int64_t(children.size()));
}
BENCHMARK(BM_RefreshPassOverChildWindows)->Unit(benchmark::kMicrosecond);

} // namespace
