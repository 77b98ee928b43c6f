// The text world and the model importers: indexing and loading a text world of 10^5
// point lines (bytes per second), and importing generated 3DS and MD2 models beside
// Assimp reading the same bytes, with the ratio of the two times printed as a counter; and
// loading a text world that names ten images found nowhere, below a folder of 3,000 entries.
#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine3d/files/l3ds_file.h"
#include "engine3d/files/md2_file.h"
#include "engine3d/files/script_world_file.h"
#include "engine3d/files/section_file.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/null_device.h"
#include "foundation/streams/mem_in_stream.h"
#include "platform/files/files.h"
#include "support/model_files.h"
#include "support/temp_dir.h"

namespace {

constexpr int kPoints = 100000;

// One object of kPoints points, and a triangle over each three of them.
const std::string& BigText() {
    static const std::string text = [] {
        std::string t = "\r\n[SCRIPT_INFORMATION]\r\nSCR_Version = 1068708663\r\n";
        t += "\r\n[BASECLUSTER]\r\nBCL_NbDynamicObj = 1\r\n";
        t += "\r\n[OBJECT]\r\nOBJ_Objecttype = 'Default'\r\nOBJ_ObjName = 'Big'\r\n";
        t += "OBJ_NbBase = 1\r\nBPO_NbPoint = " + std::to_string(kPoints) + "\r\n";
        char line[160];
        for (int i = 0; i < kPoints; ++i) {
            std::snprintf(line, sizeof line,
                          "P3D_Definition = P3DDEF(%5.5f,%5.5f,%5.5f,0.25000,0.50000,0.25000,"
                          "0.50000)\r\n",
                          double(i % 317), double(i % 101), double(i / 317));
            t += line;
        }
        t += "OBJ_NbPolygon = " + std::to_string(kPoints / 3) + "\r\n";
        for (int i = 0; i + 2 < kPoints; i += 3) {
            std::snprintf(line, sizeof line,
                          "POL_Definition = POLDEF(%d,%d,%d,Default Material)\r\n", i, i + 1,
                          i + 2);
            t += line;
        }
        return t;
    }();
    return text;
}

void BM_TextWorldIndex(benchmark::State& state) {
    const std::string& text = BigText();
    for (auto _ : state) {
        CMemInStream stream;
        stream.Attach(text.data(), uint32_t(text.size()));
        SectionFile document(&stream);
        benchmark::DoNotOptimize(document.SectionCount());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_TextWorldIndex)->Unit(benchmark::kMillisecond);

void BM_TextWorldLoad(benchmark::State& state) {
    const std::string& text = BigText();
    LAPINull device;
    for (auto _ : state) {
        L3DWorld world(&device, 0, nullptr, nullptr);
        CMemInStream stream;
        stream.Attach(text.data(), uint32_t(text.size()));
        LScriptWorldFile file;
        benchmark::DoNotOptimize(file.LoadWorld(&stream, &world, 0xEFE, nullptr));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_TextWorldLoad)->Unit(benchmark::kMillisecond);

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Each iteration imports with both readers; the ratio is ours over Assimp's.
template <typename Import>
void SideBySide(benchmark::State& state, const std::vector<uint8_t>& bytes, const char* hint,
                Import ours) {
    double ourTime = 0, theirTime = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        ours(bytes);
        ourTime += Seconds(start);
        start = std::chrono::steady_clock::now();
        Assimp::Importer importer;
        const aiScene* scene = importer.ReadFileFromMemory(bytes.data(), bytes.size(),
                                                           aiProcess_ValidateDataStructure, hint);
        benchmark::DoNotOptimize(scene);
        theirTime += Seconds(start);
    }
    state.counters["ours/assimp"] = theirTime > 0 ? ourTime / theirTime : 0;
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}

void BM_Import3dsBesideAssimp(benchmark::State& state) {
    const std::vector<uint8_t> bytes = test_support::Grid3ds(120, 120);
    LAPINull device;
    SideBySide(state, bytes, "3ds", [&device](const std::vector<uint8_t>& data) {
        L3DWorld world(&device, 0, nullptr, nullptr);
        CMemInStream stream;
        stream.Attach(data.data(), uint32_t(data.size()));
        L3dsFile file(0);
        benchmark::DoNotOptimize(file.Load(&world, &stream, "Grid", nullptr));
    });
}
BENCHMARK(BM_Import3dsBesideAssimp)->Unit(benchmark::kMillisecond);

void ImportMd2BesideAssimp(benchmark::State& state, const test_support::Md2Model& model) {
    const std::vector<uint8_t> bytes = test_support::BuildMd2(model);
    LAPINull device;
    SideBySide(state, bytes, "md2", [&device](const std::vector<uint8_t>& data) {
        L3DWorld world(&device, 0, nullptr, nullptr);
        CMemInStream stream;
        stream.Attach(data.data(), uint32_t(data.size()));
        CMD2File file;
        benchmark::DoNotOptimize(file.Load(&world, &stream, "Grid", nullptr));
    });
}

void BM_ImportMd2BesideAssimp(benchmark::State& state) {
    ImportMd2BesideAssimp(state, test_support::GridMd2(20, 20, 40));
}
BENCHMARK(BM_ImportMd2BesideAssimp)->Unit(benchmark::kMillisecond);

// One frame of 4,096 triangles: the mesh's normals and box are made once, not per face.
void BM_ImportOneFrameMd2BesideAssimp(benchmark::State& state) {
    ImportMd2BesideAssimp(state, test_support::GridMd2(32, 64, 1));
}
BENCHMARK(BM_ImportOneFrameMd2BesideAssimp)->Unit(benchmark::kMillisecond);

// Ten texture records whose files are nowhere: each is looked for below the world's texture
// folder, a tree of 10 x 10 folders of 30 files, and below the current folder, kept empty.
void BM_TextWorldMissingTextures(benchmark::State& state) {
    test_support::TempDir dir;
    for (int a = 0; a < 10; ++a)
        for (int b = 0; b < 10; ++b) {
            const std::string folder = dir.Linux("art/a" + std::to_string(a) + "/b" +
                                                 std::to_string(b));
            std::filesystem::create_directories(folder);
            for (int c = 0; c < 30; ++c)
                std::ofstream(folder + "/image" + std::to_string(c) + ".bmp");
        }
    std::filesystem::create_directories(dir.Linux("here"));
    std::string text = "\r\n[SCRIPT_INFORMATION]\r\nSCR_Version = 1068708663\r\n"
                       "\r\n[BASETEXTURE]\r\nBMA_NbTexture = 10\r\n";
    for (int i = 0; i < 10; ++i)
        text += "\r\n[TEXTURE]\r\nTEX_TextureFileName = 'missing" + std::to_string(i) +
                ".bmp'\r\nTEX_TextureName = 'missing" + std::to_string(i) + "'\r\n";
    char before[260] = {};
    GetCurrentDirectoryA(sizeof before, before);
    SetCurrentDirectoryA(dir.Win("here").c_str());
    LAPINull device;
    for (auto _ : state) {
        L3DWorld world(&device, 0, nullptr, nullptr);
        world.textures.SetFolder(dir.Win("art").c_str());
        CMemInStream stream;
        stream.Attach(text.data(), uint32_t(text.size()));
        LScriptWorldFile file;
        benchmark::DoNotOptimize(file.LoadWorld(&stream, &world, 0xEFE, nullptr));
        if (world.textures.count != 0) state.SkipWithError("a missing image was found");
    }
    SetCurrentDirectoryA(before);
}
BENCHMARK(BM_TextWorldMissingTextures)->Unit(benchmark::kMillisecond);

} // namespace
