// The binary world file: saving and loading a world of 10^5 polygons, in bytes and points
// per second. No library reads this format, so there is nothing to run beside it.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "terrain_world.h"

#include "engine3d/files/binary_world_file.h"
#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/null_device.h"
#include "foundation/streams/mem_in_stream.h"

namespace {

struct BigWorld {
    LAPINull device;
    std::unique_ptr<L3DWorld> world = std::make_unique<L3DWorld>(&device, 0, nullptr, nullptr);

    BigWorld() { bench::AddTerrains(*world); }
};

std::vector<uint8_t> Write(L3DWorld& world) {
    MemoryByteSink sink;
    ChunkWriter writer(sink);
    LBinaryWorldFile file;
    file.WriteWorld(writer, world, zyb::kSaveDefault);
    return sink.Bytes();
}

void BM_SaveWorld100kPolygons(benchmark::State& state) {
    BigWorld big;
    size_t size = 0;
    for (auto _ : state) {
        const std::vector<uint8_t> bytes = Write(*big.world);
        size = bytes.size();
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(size));
    state.counters["points/s"] = benchmark::Counter(
        double(bench::kTerrainPoints) * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["polygons"] = double(big.world->CountPolygons());
}
BENCHMARK(BM_SaveWorld100kPolygons)->Unit(benchmark::kMillisecond);

void BM_LoadWorld100kPolygons(benchmark::State& state) {
    std::vector<uint8_t> bytes;
    {
        BigWorld big;
        bytes = Write(*big.world);
    }
    LAPINull device;
    int32_t polygons = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto world = std::make_unique<L3DWorld>(&device, 0, nullptr, nullptr);
        CMemInStream stream;
        stream.Attach(bytes.data(), uint32_t(bytes.size()));
        state.ResumeTiming();
        LBinaryWorldFile file;
        file.LoadWorld(&stream, world.get(), 0xEFE, nullptr);
        state.PauseTiming();
        polygons = world->CountPolygons();
        world.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
    state.counters["points/s"] = benchmark::Counter(
        double(bench::kTerrainPoints) * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["polygons"] = double(polygons);
}
BENCHMARK(BM_LoadWorld100kPolygons)->Unit(benchmark::kMillisecond);

} // namespace
