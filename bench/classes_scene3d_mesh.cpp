// A script building a mesh of 10,000 faces (a 100 x 100 grid of triangles) on an Object of a
// World shown through a Camera, once with every AddPolygon rebuilding the object's normals and
// box at once and once inside a Display.BeginPolygonChange batch that rebuilds them once at
// its end. Headless, on the software renderer. Counter: faces added a second.
#include <benchmark/benchmark.h>

#include <string>

#include "classes_scene3d_script.h"

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

void BuildMesh(benchmark::State& state, bool batch) {
    SetUpScene3DScripts();
    const std::string source = MeshScript(batch);
    for (auto _ : state) {
        if (RunScene3DScript(source) != 0) {
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
