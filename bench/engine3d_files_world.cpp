// The binary world file: saving and loading a world of 10^5 polygons, in bytes and points
// per second. No library reads this format, so there is nothing to run beside it.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "engine3d/files/binary_world_file.h"
#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/null_device.h"
#include "foundation/streams/mem_in_stream.h"

namespace {

constexpr int kObjects = 10;
constexpr int kColumns = 100;
constexpr int kRows = 50;

// A grid of kColumns x kRows quads, each two triangles sharing the grid's points.
L3DObject* Terrain(L3DWorld& world, int index, LMaterial* material) {
    auto* object = new L3DObject("Terrain", &world, nullptr);
    LBasePoint* points = object->GetCurrentPointList();
    points->DisableMerging();
    std::vector<L3DPoint*> grid;
    for (int r = 0; r <= kRows; ++r)
        for (int c = 0; c <= kColumns; ++c)
            grid.push_back(points->AddPoint(float(c), float((c * r) % 7), float(r + index * kRows),
                                            float(c) / kColumns, float(r) / kRows, 0, 0, 0));
    points->EnableMerging();
    auto at = [&grid](int r, int c) { return grid[size_t(r * (kColumns + 1) + c)]; };
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c)
            for (int half = 0; half < 2; ++half) {
                LPolygon* p = world.GetAPI()->CreatePolygon(object, 2, 0);
                p->AddVertex(at(r, c));
                p->AddVertex(half == 0 ? at(r, c + 1) : at(r + 1, c + 1));
                p->AddVertex(half == 0 ? at(r + 1, c + 1) : at(r + 1, c));
                object->AddPolygon(p, 0);
                p->SetMaterial(material);
            }
    world.AddObject(object, 0);
    return object;
}

struct BigWorld {
    LAPINull device;
    std::unique_ptr<L3DWorld> world = std::make_unique<L3DWorld>(&device, 0, nullptr, nullptr);

    BigWorld() {
        LMaterial* grass = world->materials.CreateMaterial("Grass", nullptr, 0x208020, 0, nullptr);
        LMaterial* rock = world->materials.CreateMaterial("Rock", nullptr, 0x808080, 0, nullptr);
        for (int i = 0; i < kObjects; ++i)
            Terrain(*world, i, i % 2 == 0 ? grass : rock);
    }
};

constexpr int64_t kPoints = int64_t(kObjects) * (kColumns + 1) * (kRows + 1);

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
    state.counters["points/s"] = benchmark::Counter(double(kPoints) * double(state.iterations()),
                                                    benchmark::Counter::kIsRate);
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
    state.counters["points/s"] = benchmark::Counter(double(kPoints) * double(state.iterations()),
                                                    benchmark::Counter::kIsRate);
    state.counters["polygons"] = double(polygons);
}
BENCHMARK(BM_LoadWorld100kPolygons)->Unit(benchmark::kMillisecond);

} // namespace
