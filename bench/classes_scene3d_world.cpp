// The World's and Object's name lookups in a world of 1,000 objects, and the script wrappers
// of 10^4 placed objects made and dropped, through the real interpreter with the 3D classes on
// an unhosted Surface (software renderer, headless display). A lookup line runs its script
// twice in each iteration, once with the lookups and once without, and is timed by the
// difference: the building of the world is left out. Worlds of many objects are also made,
// filled and emptied. Counters: lookups, wrappers or objects a second.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <string>

#include "classes_scene3d_script.h"

namespace {

constexpr int kObjects = 1000;
constexpr int kLookups = 10000;
constexpr int kWrappers = 10000;

// A world of kObjects objects named "Part0" to "Part999", hung under one "Root", then
// `lookups` (which may read `i`, counting kLookups times). A wrong answer ends the run with
// an error.
std::string LookupScript(const std::string& lookups) {
    return "s = New Surface(64, 48);\n"
           "scene = New World(s);\n"
           "root = New Object(scene);\n"
           "root.SetName(\"Root\");\n"
           "For (i = 0; i < " +
           std::to_string(kObjects) +
           "; i++) {\n"
           "    o = New Object(scene);\n"
           "    o.SetName(\"Part\" + i);\n"
           "    o.SetParent(root);\n"
           "}\n"
           "For (i = 0; i < " +
           std::to_string(kLookups) + "; i++) {\n" + lookups +
           "}\n"
           "Delete scene;\n";
}

void TimeLookups(benchmark::State& state, const std::string& lookup) {
    SetUpScene3DScripts();
    const std::string with = LookupScript(lookup), without = LookupScript("");
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        const auto start = Clock::now();
        const int32_t a = RunScene3DScript(with);
        const auto middle = Clock::now();
        const int32_t b = RunScene3DScript(without);
        const auto end = Clock::now();
        if (a != 0 || b != 0) {
            state.SkipWithError(
                ("the script ended with error " + std::to_string(a != 0 ? a : b)).c_str());
            return;
        }
        const double seconds =
            std::chrono::duration<double>((middle - start) - (end - middle)).count();
        state.SetIterationTime(seconds > 0 ? seconds : 1e-9);
    }
    state.counters["lookups/s"] =
        benchmark::Counter(double(kLookups), benchmark::Counter::kIsIterationInvariantRate);
}

// The names looked up are spread over the whole list; the last ones are found last.
void BM_WorldGetObjectByName(benchmark::State& state) {
    TimeLookups(state, "    If (scene.GetObject(\"Part\" + (i % 1000)) == 0) Missing();\n");
}
BENCHMARK(BM_WorldGetObjectByName)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ObjectFindChild(benchmark::State& state) {
    TimeLookups(state, "    If (root.FindChild(\"Part\" + (i % 1000)) == 0) Missing();\n");
}
BENCHMARK(BM_ObjectFindChild)->UseManualTime()->Unit(benchmark::kMillisecond);

// Runs the script in each iteration; a run makes `count` of what `counter` counts.
void RunEach(benchmark::State& state, const std::string& script, const char* counter,
             double count) {
    for (auto _ : state) {
        const int32_t code = RunScene3DScript(script);
        if (code != 0) {
            state.SkipWithError(("the script ended with error " + std::to_string(code)).c_str());
            return;
        }
    }
    state.counters[counter] =
        benchmark::Counter(count, benchmark::Counter::kIsIterationInvariantRate);
}

// kWrappers placed objects made in a world (each with its engine object and its wrapper),
// then the world deleted, which drops every wrapper with it.
void BM_WrappersMadeAndDropped(benchmark::State& state) {
    SetUpScene3DScripts();
    const std::string script = "s = New Surface(64, 48);\n"
                               "scene = New World(s);\n"
                               "For (i = 0; i < " +
                               std::to_string(kWrappers) +
                               "; i++) o = New Object(scene);\n"
                               "Delete scene;\n";
    RunEach(state, script, "wrappers/s", double(kWrappers));
}
BENCHMARK(BM_WrappersMadeAndDropped)->Unit(benchmark::kMillisecond)->UseRealTime();

// kWrappers bricks made, then deleted one by one in the order they were made, and in the
// opposite order: each deletion must cost the same however many objects the world holds.
void BM_BricksDeletedOneByOne(benchmark::State& state) {
    SetUpScene3DScripts();
    const std::string n = std::to_string(kWrappers);
    const std::string order = state.range(0) == 0 ? "For (i = 0; i < " + n + "; i++)"
                                                   : "For (i = " + n + " - 1; i >= 0; i--)";
    const std::string script = "s = New Surface(64, 48);\n"
                               "scene = New World(s);\n"
                               "bricks[0] = 0;\n"
                               "For (i = 0; i < " + n + "; i++) bricks[i] = scene.CreateBrick(10, 10, 10);\n" +
                               order + " { b = bricks[i]; Delete b; }\n"
                               "If (scene.GetNObjects() != 0) WrongResult();\n";
    RunEach(state, script, "objects/s", double(kWrappers));
}
BENCHMARK(BM_BricksDeletedOneByOne)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// `range(0)` objects made, each filled with two faces through AddPolygon (which brings the
// object's normals and box up to date at once) and moved, then every other one deleted
// (its faces leave the long list of the material they all share) and the world with the
// rest: each object must cost the same however many the world holds.
void BM_WorldOfObjectsFilled(benchmark::State& state) {
    SetUpScene3DScripts();
    const std::string n = std::to_string(state.range(0));
    const std::string script = "s = New Surface(64, 48);\n"
                               "scene = New World(s);\n"
                               "all[0] = 0;\n"
                               "For (i = 0; i < " + n + "; i++) {\n"
                               "    o = New Object(scene);\n"
                               "    o.AddPolygon(0, 0, 0, 0, 1, 0, 1, 0, 0);\n"
                               "    o.AddPolygon(0, 0, 0, 1, 0, 0, 0, 0, 1);\n"
                               "    o.SetPosition(i, 0, 0);\n"
                               "    all[i] = o;\n"
                               "}\n"
                               "For (i = 0; i < " + n + "; i += 2) { o = all[i]; Delete o; }\n"
                               "If (scene.GetNObjects() != " + n + " / 2) WrongResult();\n"
                               "Delete scene;\n";
    RunEach(state, script, "objects/s", double(state.range(0)));
}
BENCHMARK(BM_WorldOfObjectsFilled)->Arg(2500)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace
