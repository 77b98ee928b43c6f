// What the run-time classes cost: the processor time of Program.Wait(2000) beside the
// shell's `sleep 2` (goal: close to idle), and one polygon-change batch of 10,000 objects
// closed by Display.EndPolygonChange (each change looks its object up in the batch).
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "classes_system_script.h"
#include "script/interpreter/interpretor.h"
#include "script/runtime/polygon_change.h"

namespace {

double CpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void BM_ProgramWait2s(benchmark::State& state) {
    double cpu = 0;
    for (auto _ : state) {
        double start = CpuSeconds(RUSAGE_SELF);
        if (RunSystemScript("Program.Wait(2000);") != 0) {
            state.SkipWithError("the script failed");
            return;
        }
        cpu += CpuSeconds(RUSAGE_SELF) - start;
    }
    state.counters["cpu_ms"] = 1000 * cpu / double(state.iterations());
}

void BM_SleepCommand2s(benchmark::State& state) {
    double cpu = 0;
    for (auto _ : state) {
        double start = CpuSeconds(RUSAGE_CHILDREN);
        if (std::system("sleep 2") != 0) {
            state.SkipWithError("sleep failed");
            return;
        }
        cpu += CpuSeconds(RUSAGE_CHILDREN) - start;
    }
    state.counters["cpu_ms"] = 1000 * cpu / double(state.iterations());
}

class NoChange final : public CPolygonChangeTarget {
public:
    void ApplyPolygonChange(int geometry, int box) override {
        benchmark::DoNotOptimize(geometry + box);
    }
};

void BM_PolygonBatch(benchmark::State& state) {
    const size_t count = size_t(state.range(0));
    std::vector<NoChange> objects(count);
    CInterpretor interpreter;
    for (auto _ : state) {
        interpreter.BeginEndPolygonChange(1);
        // Two changes of each object, as a move and a recolouring would make.
        for (NoChange& object : objects)
            interpreter.ApplyOrDeferPolygonChange(&object, 1, 0);
        for (NoChange& object : objects)
            interpreter.ApplyOrDeferPolygonChange(&object, 0, 1);
        interpreter.EndPolygonChange(-1);
    }
    state.SetItemsProcessed(state.iterations() * int64_t(count));
}

} // namespace

BENCHMARK(BM_ProgramWait2s)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SleepCommand2s)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PolygonBatch)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);
