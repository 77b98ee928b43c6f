// A script building a mesh of 10,000 faces (a 100 x 100 grid of triangles) on an Object of a
// World shown through a Camera, once with every AddPolygon rebuilding the object's normals and
// box at once and once inside a Display.BeginPolygonChange batch that rebuilds them once at
// its end. Headless, on the software renderer. Counter: faces added a second.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "classes/scene3d/scene3d_classes.h"
#include "classes/surface/surface_classes.h"
#include "classes/system/system_classes.h"
#include "classes/window/window_classes.h"
#include "engine3d/render/registry.h"
#include "foundation/containers/ptr_array.h"
#include "platform/display/headless_display.h"
#include "script/classes/base_class.h"
#include "script/classes/script_classes.h"
#include "script/interpreter/ierror.h"
#include "script/interpreter/interpretor.h"
#include "script/language/token_compiler.h"
#include "script/runtime/display_list.h"
#include "script/runtime/launch_info.h"
#include "script/runtime/run_application.h"

namespace {

constexpr int kFaces = 10000;

std::string MeshScript(bool batch) {
    std::string text = "s = New Surface(64, 48);\n"
                       "w = New World(s);\n"
                       "cam = New Camera(w, s);\n"
                       "o = New Object(w);\n";
    if (batch) text += "Display.BeginPolygonChange();\n";
    text += "For (i = 0; i < 100; i++) {\n"
            "    For (j = 0; j < 100; j++) {\n"
            "        o.AddPolygon(i, 0, j, i, 0, j + 1, i + 1, 0, j);\n"
            "    }\n"
            "}\n";
    if (batch) text += "Display.EndPolygonChange();\n";
    text += "If (o.GetNPolygons() != 10000) WrongResult();\n";
    return text;
}

void Setup() {
    [[maybe_unused]] static const bool done = [] {
        setenv("ZORV_GL", "off", 1);
        platform::headless::Install();
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

// False when the script does not compile or ends with an error.
bool RunScript(const std::string& source) {
    CLaunchInfo launch;
    CInterpretor interpreter(0, &launch);
    PtrArray names;
    BuildBuiltinClassNameList(names);
    if (interpreter.InitClassRegistry(names) != 1) return false;
    CTokenInfos report;
    try {
        report.AddSourceText(source.data(), uint32_t(source.size()), 0, "mesh.zs", 0);
        if (interpreter.GetCompiler()->Compile(report) != 1) return false;
        interpreter.Start(report);
        interpreter.RunMain(report, nullptr);
    } catch (CIError* error) {
        report.SetPendingError(error);
        return false;
    }
    return true;
}

void BuildMesh(benchmark::State& state, bool batch) {
    Setup();
    const std::string source = MeshScript(batch);
    for (auto _ : state) {
        if (!RunScript(source)) {
            state.SkipWithError("the script failed");
            return;
        }
    }
    state.counters["faces/s"] = benchmark::Counter(double(kFaces) * double(state.iterations()),
                                                   benchmark::Counter::kIsRate);
}

void BM_MeshImmediate(benchmark::State& state) {
    BuildMesh(state, false);
}

void BM_MeshInBatch(benchmark::State& state) {
    BuildMesh(state, true);
}

BENCHMARK(BM_MeshImmediate)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_MeshInBatch)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace
