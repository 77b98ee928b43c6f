// A ZYB world of 10^5 polygons read by a script's World.Load, beside the ZYB loader alone
// reading the same file into a world on the same software back end: the difference is the
// class's own cost (the file type's detection, the bank lookup, the Texture wrappers and the
// refresh of the cameras). Both sides make and delete their world in every iteration; the
// script side also runs its interpreter. Counters: "ours" and "loader" in 10^6 polygons a
// second, and "ratio", our time over the loader's.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "classes_scene3d_script.h"
#include "engine3d/files/binary_world_file.h"
#include "engine3d/render/dib_device.h"
#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/null_device.h"
#include "side_by_side.h"
#include "terrain_world.h"

namespace {

// The world written once into a file of the temporary folder; its path.
const std::string& WorldFile() {
    static const std::string path = [] {
        LAPINull device;
        L3DWorld world(&device, 0, nullptr, nullptr);
        bench::AddTerrains(world);
        MemoryByteSink sink;
        ChunkWriter writer(sink);
        LBinaryWorldFile().WriteWorld(writer, world, zyb::kSaveDefault);
        const std::vector<uint8_t>& bytes = sink.Bytes();
        const std::string file =
            (std::filesystem::temp_directory_path() / "zorv_bench_terrain.zyb").string();
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return file;
    }();
    return path;
}

void BM_WorldLoad100kPolygonsBesideTheLoader(benchmark::State& state) {
    SetUpScene3DScripts();
    const std::string& file = WorldFile();
    // The script checks what it read, so that a failing load is no fast one.
    const std::string source = "w = New World(New Surface(64, 48));\n"
                               "w.Load(\"C:" +
                               file +
                               "\");\n"
                               "If (w.GetNObjects() != 10) Missing();\n";
    bool failed = false;
    bench::SideBySide(
        state, bench::kTerrainPolygons, "loader",
        [&] { failed = failed || RunScene3DScript(source) != 0; },
        [&] {
            LAPI_Surface_Win32 device;
            L3DWorld world(&device, 0, nullptr, nullptr);
            failed = failed ||
                     LBinaryWorldFile().LoadWorldFile(file.c_str(), &world, 0xEFE, nullptr) == 0;
        });
    if (failed) state.SkipWithError("a load failed");
}
BENCHMARK(BM_WorldLoad100kPolygonsBesideTheLoader)->Unit(benchmark::kMillisecond);

} // namespace
