// The control classes: a refresh pass over a 1024 x 768 Window holding 100 StaticTexts and
// 20 GroupBoxes, which the pass draws again above the Window's picture, and the painting
// of a disabled Button drawn from an image (its embossed picture made once). Everything
// runs on the headless display.
#include <benchmark/benchmark.h>

#include "classes/surface/surface_classes.h"
#include "classes/window/controls/button_classes.h"
#include "classes/window/window_class.h"
#include "classes/window/window_classes.h"
#include "classes/window/window_surface.h"
#include "foundation/containers/ptr_array.h"
#include "platform/controls/button.h"
#include "platform/display/headless_display.h"
#include "platform/user/paint/update_region.h"
#include "script/interpreter/interpretor.h"
#include "script/language/token_compiler.h"
#include "script/runtime/run_application.h"

namespace {

// An interpreter started on an empty program, with the UI and the Surface classes set up.
class ControlRun {
public:
    ControlRun() {
        platform::headless::Install();
        RegisterWindowClasses();
        RegisterSurfaceClasses();
        InitGlobalUI();
        PtrArray names;
        BuildBuiltinClassNameList(names);
        interpreter.InitClassRegistry(names);
        static const char source[] = "x = 0;";
        report.AddSourceText(source, sizeof source - 1, 0, "bench.zs", 0);
        interpreter.GetCompiler()->Compile(report);
        interpreter.Start(report);
    }
    ~ControlRun() {
        interpreter.Close();
        ShutdownGlobalUI();
        UnregisterSurfaceClasses();
        UnregisterWindowClasses();
    }

    // A Window of that client size, the current one, as `New Window(width, height, 0, 0)`.
    CIWindow* NewWindow(int32_t width, int32_t height) {
        auto* window = new CIWindow(&interpreter, interpreter.GetClassRecord(CIWindow::kClassId));
        window->width = width;
        window->height = height;
        window->x = 0;
        window->y = 0;
        window->Create();
        return window;
    }

    // A control of class T in the current window, placed as given.
    template <class T>
    T* NewControl(const char* caption, int32_t x, int32_t y, int32_t width, int32_t height) {
        auto* control = new T(&interpreter, interpreter.GetClassRecord(T::kClassId));
        control->caption = caption;
        control->x = x;
        control->y = y;
        control->width = width;
        control->height = height;
        control->Create();
        return control;
    }

    CInterpretor interpreter;
    CTokenInfos report;
};

void BM_RefreshPassTransparentControls(benchmark::State& state) {
    ControlRun run;
    run.NewWindow(1024, 768);
    for (int i = 0; i < 20; ++i)
        run.NewControl<CIGroupBox>("Group", (i % 5) * 200 + 4, (i / 5) * 190 + 4, 190, 180);
    for (int i = 0; i < 100; ++i)
        run.NewControl<CIStaticText>("Label text", (i % 10) * 100 + 10, (i / 10) * 75 + 20, 90, 16);
    run.interpreter.RefreshPass();
    for (auto _ : state) {
        run.interpreter.RefreshPass();
    }
    state.SetItemsProcessed(state.iterations() * 120);
}
BENCHMARK(BM_RefreshPassTransparentControls)->Unit(benchmark::kMillisecond);

void BM_PaintDisabledImageButton(benchmark::State& state) {
    ControlRun run;
    run.NewWindow(320, 200);
    CWindowSurface* image = MakeWindowSurface(run.interpreter, 32, 32, 0, 0);
    if (image == nullptr) {
        state.SkipWithError("no Surface");
        return;
    }
    image->GetSurfaceHandle()->FillRect(8, 8, 16, 16, 0);
    auto* button =
        new CIButton(&run.interpreter, run.interpreter.GetClassRecord(CIButton::kClassId));
    button->images[0] = image->GetSurfaceObject();
    ++button->images[0]->useCount;
    button->style |= BS_OWNERDRAW;
    button->caption = "";
    button->x = 10;
    button->y = 10;
    button->width = 64;
    button->height = 48;
    button->Create();
    run.interpreter.RefreshPass();
    EnableWindow(button->hwnd, FALSE);
    for (auto _ : state)
        RedrawWindow(button->hwnd, nullptr, 0, RDW_INVALIDATE | RDW_UPDATENOW);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PaintDisabledImageButton)->Unit(benchmark::kMicrosecond);

} // namespace
