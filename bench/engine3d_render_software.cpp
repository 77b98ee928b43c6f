// The software renderer's spans at 640 × 480, at 32 and 16 bits: full-screen textured
// layers (perspective, wrapping, depth-tested; pixels per second), 10^4 small textured
// triangles, Gouraud-lit solids and sprite fills.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "engine3d/render/software/polygon/software_polygon.h"
#include "engine3d/render/software/raster_state.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/objects/object.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/null_device.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;

int Bytes(int depth) {
    return depth == 8 ? 1 : depth <= 16 ? 2 : depth / 8;
}

// A target with its depth buffer and tables, a 256 × 256 texture of noise and a polygon
// that draws lent vertex lists.
struct Bench {
    explicit Bench(int depth)
        : depth(depth), pixels(size_t(kWidth * kHeight * Bytes(depth))),
          depthBuffer(size_t(kWidth * kHeight)), xa(kHeight + 1), xb(kHeight + 1), ea(kHeight + 1),
          eb(kHeight + 1) {
        raster.Pixels = pixels.data();
        raster.Pitch = kWidth * Bytes(depth);
        raster.BitsPerPixel = depth;
        raster.ViewWidth = kWidth;
        raster.ViewHeight = kHeight;
        raster.DepthBuffer = depthBuffer.data();
        raster.DepthPitch = kWidth;
        raster.XTableA = xa.data();
        raster.XTableB = xb.data();
        raster.EdgeTableA = ea.data();
        raster.EdgeTableB = eb.data();
        raster.TableRows = kHeight + 1;
        SetCurrentSoftwareRaster(&raster);
        std::mt19937 random(7);
        texels.resize(size_t(256 * 256 * Bytes(depth)));
        for (uint8_t& t : texels)
            t = uint8_t(random());
        texture.width = texture.height = 256;
        texture.pitch = uint32_t(256 * Bytes(depth));
        texture.bitsPerPixel = uint32_t(depth);
        texture.pixels = texels.data();
        texture.ownsBuffers = 0;
        polygon->SetMaterial(&material);
        for (auto& p : points)
            p = std::make_unique<L3DPoint>();
        for (int i = 0; i < 4; ++i)
            list[i] = points[size_t(i)].get();
    }
    ~Bench() {
        polygon->ReturnVertices();
        polygon->owner = nullptr;
        polygon.reset();
        SetCurrentSoftwareRaster(nullptr);
    }

    void Corner(int i, float x, float y, float w, float u, float v) {
        L3DPoint& p = *points[size_t(i)];
        p.screenX = x;
        p.screenY = y;
        p.reciprocalDepth = w;
        p.vertexUV[0] = u;
        p.vertexUV[1] = v;
        p.frameColor[0] = uint8_t(40 * i + 60);
        p.frameColor[1] = uint8_t(200 - 30 * i);
        p.frameColor[2] = 128;
        p.frameColor[3] = uint8_t(64 + 40 * i);
    }

    void Lend(int count) { polygon->LendVertices(list, count); }

    int depth;
    std::vector<uint8_t> pixels;
    std::vector<int32_t> depthBuffer;
    std::vector<int32_t> xa, xb;
    std::vector<ScanEdge> ea, eb;
    SoftwareRasterState raster;
    std::vector<uint8_t> texels;
    LAPINull device;
    L3DWorld world{&device, 0, nullptr, nullptr};
    LTexture texture{nullptr, "noise", nullptr};
    LMaterial material{nullptr, "m", &texture, 0x406080, -1, nullptr};
    std::unique_ptr<L3DPoint> points[4];
    L3DPoint* list[4] = {};
    std::unique_ptr<LPolygon_Software> polygon =
        std::make_unique<LPolygon_Software>(nullptr, 2, &device);
};

LPolygon_Software::SpanRoutine Entry(int depth, int entry) {
    return LPolygon_Software::RasterTableFor(depth)[entry].span;
}

// A full-screen quad leaning away (w from 1 to 0.25), its texture wrapping four times.
void BM_SoftwareTexturedLayer(benchmark::State& state) {
    const int depth = int(state.range(0));
    Bench b(depth);
    b.material.mode = LMaterial::kTextured;
    b.Corner(0, 0, 0, 0.25f, 0, 0);
    b.Corner(1, kWidth, 0, 0.25f, 1024 * 0.25f, 0);
    b.Corner(2, kWidth, kHeight, 1.0f, 1024, 1024);
    b.Corner(3, 0, kHeight, 1.0f, 0, 1024);
    b.Lend(4);
    const auto span = Entry(depth, LPolygon_Software::kWrapEntry);
    for (auto _ : state) {
        std::fill(b.depthBuffer.begin(), b.depthBuffer.end(), 0);
        (b.polygon.get()->*span)();
        benchmark::DoNotOptimize(b.pixels.data());
    }
    state.counters["Mpixel/s"] = benchmark::Counter(double(kWidth) * kHeight * 1e-6,
                                                    benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_SoftwareTexturedLayer)->Arg(32)->Arg(16);

// 10^4 triangles of about 50 pixels each, textured inside their texture.
void BM_SoftwareSmallTriangles(benchmark::State& state) {
    const int depth = int(state.range(0));
    Bench b(depth);
    b.material.mode = LMaterial::kTextured;
    std::mt19937 random(3);
    std::vector<float> corners(10000 * 3 * 5);
    for (size_t i = 0; i < corners.size(); i += 15) {
        const float x = float(random() % (kWidth - 12)), y = float(random() % (kHeight - 12));
        const float c[15] = {x,  y,  0.5f,  10,     10,   x + 10, y + 1, 0.45f,
                             60, 12, x + 4, y + 10, 0.4f, 30,     60};
        std::copy_n(c, 15, &corners[i]);
    }
    const auto span = Entry(depth, LPolygon_Software::kInsideEntry);
    for (auto _ : state) {
        std::fill(b.depthBuffer.begin(), b.depthBuffer.end(), 0);
        for (size_t i = 0; i < corners.size(); i += 15) {
            for (int k = 0; k < 3; ++k) {
                const float* c = &corners[i + size_t(k) * 5];
                b.Corner(k, c[0], c[1], c[2], c[3], c[4]);
            }
            b.Lend(3);
            (b.polygon.get()->*span)();
        }
        benchmark::DoNotOptimize(b.pixels.data());
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * 10000);
}
BENCHMARK(BM_SoftwareSmallTriangles)->Arg(32)->Arg(16);

// Full-screen Gouraud-lit solid quads (level blend).
void BM_SoftwareGouraudSolid(benchmark::State& state) {
    const int depth = int(state.range(0));
    Bench b(depth);
    L3DObject object("lit", &b.world, nullptr);
    object.objectFlags = L3DObject::kGouraud;
    b.polygon->owner = &object;
    b.material.mode = LMaterial::kSolid;
    b.Corner(0, 0, 0, 0.5f, 0, 0);
    b.Corner(1, kWidth, 0, 0.5f, 0, 0);
    b.Corner(2, kWidth, kHeight, 0.5f, 0, 0);
    b.Corner(3, 0, kHeight, 0.5f, 0, 0);
    b.Lend(4);
    const auto span = Entry(depth, LPolygon_Software::kSolidEntry);
    for (auto _ : state) {
        std::fill(b.depthBuffer.begin(), b.depthBuffer.end(), 0);
        (b.polygon.get()->*span)();
        benchmark::DoNotOptimize(b.pixels.data());
    }
    b.polygon->owner = nullptr;
    state.counters["Mpixel/s"] = benchmark::Counter(double(kWidth) * kHeight * 1e-6,
                                                    benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_SoftwareGouraudSolid)->Arg(32)->Arg(16);

// 100 keyed, translucent 64 × 64 sprites.
void BM_SoftwareSpriteFills(benchmark::State& state) {
    const int depth = int(state.range(0));
    Bench b(depth);
    b.material.mode = LMaterial::kTextured;
    b.material.alpha = 160;
    for (auto _ : state) {
        for (int i = 0; i < 100; ++i) {
            const float x = float((i * 37) % (kWidth - 64)), y = float((i * 53) % (kHeight - 64));
            b.Corner(0, x, y, 1, 0, 0);
            b.Corner(1, x + 64, y, 1, 256, 0);
            b.Corner(2, x + 64, y + 64, 1, 256, 256);
            b.Corner(3, x, y + 64, 1, 0, 256);
            b.Lend(4);
            if (depth == 32)
                b.polygon->FillQuadTexturedKeyedTranslucent32();
            else
                b.polygon->FillQuadTexturedKeyedTranslucent16();
        }
        benchmark::DoNotOptimize(b.pixels.data());
    }
    state.counters["Mpixel/s"] =
        benchmark::Counter(100 * 64 * 64 * 1e-6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_SoftwareSpriteFills)->Arg(32)->Arg(16);

} // namespace
