// A ZYB world of 10^5 polygons read by a script's World.Load, beside the ZYB loader alone
// reading the same file into a world on the same software back end: the difference is the
// class's own cost (the file type's detection, the bank lookup, the Texture wrappers and the
// refresh of the cameras). Both sides make and delete their world in every iteration; the
// script side also runs its interpreter. Counters: "ours" and "loader" in 10^6 polygons a
// second, and "ratio", our time over the loader's.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "classes/scene3d/scene3d_classes.h"
#include "classes/surface/surface_classes.h"
#include "classes/system/system_classes.h"
#include "classes/window/window_classes.h"
#include "engine3d/files/binary_world_file.h"
#include "engine3d/render/dib_device.h"
#include "engine3d/render/registry.h"
#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/null_device.h"
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
#include "side_by_side.h"

namespace {

constexpr int kObjects = 10;
constexpr int kColumns = 100;
constexpr int kRows = 50;
constexpr int64_t kPolygons = int64_t(kObjects) * kColumns * kRows * 2;

// A grid of kColumns x kRows quads, each two triangles sharing the grid's points.
void AddTerrain(L3DWorld& world, int index, LMaterial* material) {
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
}

// The world written once into a file of the temporary folder; its path.
const std::string& WorldFile() {
    static const std::string path = [] {
        LAPINull device;
        L3DWorld world(&device, 0, nullptr, nullptr);
        LMaterial* grass = world.materials.CreateMaterial("Grass", nullptr, 0x208020, 0, nullptr);
        LMaterial* rock = world.materials.CreateMaterial("Rock", nullptr, 0x808080, 0, nullptr);
        for (int i = 0; i < kObjects; ++i)
            AddTerrain(world, i, i % 2 == 0 ? grass : rock);
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
        report.AddSourceText(source.data(), uint32_t(source.size()), 0, "load.zs", 0);
        if (interpreter.GetCompiler()->Compile(report) != 1) return false;
        interpreter.Start(report);
        interpreter.RunMain(report, nullptr);
    } catch (CIError* error) {
        report.SetPendingError(error);
        return false;
    }
    return true;
}

void BM_WorldLoad100kPolygonsBesideTheLoader(benchmark::State& state) {
    Setup();
    const std::string& file = WorldFile();
    // The script checks what it read, so that a failing load is no fast one.
    const std::string source = "w = New World(New Surface(64, 48));\n"
                               "w.Load(\"C:" +
                               file +
                               "\");\n"
                               "If (w.GetNObjects() != 10) Missing();\n";
    bool failed = false;
    bench::SideBySide(
        state, kPolygons, "loader", [&] { failed = failed || !RunScript(source); },
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
