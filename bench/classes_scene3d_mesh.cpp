// Scripts building meshes on an Object of a World shown through a Camera, headless, on the
// software renderer. A 100 x 100 grid of triangles once with every AddPolygon rebuilding
// the object's normals and box at once, and once inside a Display.BeginPolygonChange batch
// that rebuilds them once at its end; then larger batches of faces given as numbers and as
// the Point3D corners of points added first, whose cost must grow with the faces, not
// with their square. Counter: faces added a second.
#include <benchmark/benchmark.h>

#include <string>

#include "classes_scene3d_script.h"

namespace {

const char* const kScene = "s = New Surface(64, 48);\n"
                           "w = New World(s);\n"
                           "cam = New Camera(w, s);\n"
                           "o = New Object(w);\n";

std::string GridScript(bool batch) {
    std::string text = kScene;
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

// A strip of `faces` triangles over two rows of points.
std::string StripScript(int faces, bool fromPoints) {
    const std::string n = std::to_string(faces);
    std::string text = kScene;
    text += "Display.BeginPolygonChange();\n";
    if (fromPoints) {
        text += "For (i = 0; i <= " + n + "; i++) { o.AddPoint(0, i, 0, 0); o.AddPoint(0, i, 0, 1); }\n"
                "For (i = 0; i < " + n + "; i++) {\n"
                "    a = i * 2;\n"
                "    o.AddPolygon(o.GetPoint(a), o.GetPoint(a + 1), o.GetPoint(a + 2));\n"
                "}\n";
    } else {
        text += "For (i = 0; i < " + n + "; i++) o.AddPolygon(i, 0, 0, i, 0, 1, i + 1, 0, 0);\n";
    }
    text += "Display.EndPolygonChange();\n";
    text += "If (o.GetNPolygons() != " + n + ") WrongResult();\n";
    return text;
}

void Run(benchmark::State& state, const std::string& source, int faces) {
    SetUpScene3DScripts();
    for (auto _ : state) {
        if (RunScene3DScript(source) != 0) {
            state.SkipWithError("the script failed");
            return;
        }
    }
    state.counters["faces/s"] = benchmark::Counter(double(faces) * double(state.iterations()),
                                                   benchmark::Counter::kIsRate);
}

void BM_MeshImmediate(benchmark::State& state) {
    Run(state, GridScript(false), 10000);
}

void BM_MeshInBatch(benchmark::State& state) {
    Run(state, GridScript(true), 10000);
}

void BM_MeshFromNumbers(benchmark::State& state) {
    Run(state, StripScript(int(state.range(0)), false), int(state.range(0)));
}

void BM_MeshFromPoints(benchmark::State& state) {
    Run(state, StripScript(int(state.range(0)), true), int(state.range(0)));
}

BENCHMARK(BM_MeshImmediate)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_MeshInBatch)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_MeshFromNumbers)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_MeshFromPoints)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
