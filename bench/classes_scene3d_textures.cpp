// A Surface's picture copied into a 3D texture, as a Texture bound to a Surface takes it at
// every refresh: 640 x 480 pixels of 32 bits converted to the texture's 16 or 32 bits, beside
// pixman converting the same pixels (x8r8g8b8 to r5g6b5 and to a8r8g8b8). Counters: "ours"
// and "pixman" in Mpixel/s and "ratio", our time over pixman's (goal: at most 1).
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

#include "classes/surface/texture_copy.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/null_device.h"
#include "graphics2d/drawing/surface_handle.h"
#include "graphics2d/palette/palette.h"
#include "graphics2d/surfaces/mem_surface.h"
#include "side_by_side.h"

namespace {

constexpr int32_t kWidth = 640;
constexpr int32_t kHeight = 480;

struct Registered {
    Registered() {
        if (!CreatePaletteContext()) std::abort();
    }
};

// A 32-bit picture of random pixels, with pixman's view of it.
struct Picture {
    Picture() {
        static Registered registered;
        cMemSurface prototype;
        if (!prototype.InitFormat(32)) std::abort();
        handle.Attach(prototype.MakeInstance(kWidth, kHeight));
        const SurfaceBits* bits = handle.GetImpl()->GetBits();
        std::mt19937 rng(7);
        for (int32_t y = 0; y < kHeight; y++)
            for (int32_t x = 0; x < kWidth; x++)
                reinterpret_cast<uint32_t*>(bits->pixels + ptrdiff_t(y) * bits->pitch)[x] =
                    rng() & 0xFFFFFF;
        pixman = pixman_image_create_bits(PIXMAN_x8r8g8b8, kWidth, kHeight,
                                          reinterpret_cast<uint32_t*>(bits->pixels), bits->pitch);
    }
    ~Picture() { pixman_image_unref(pixman); }
    SurfaceHandle handle;
    pixman_image_t* pixman;
};

void BM_CopySurfaceToImage(benchmark::State& state) {
    const int32_t depth = int32_t(state.range(0));
    Picture picture;
    LAPINull device;
    L3DWorld world(&device, 0, nullptr, nullptr);
    LTexture texture(&world, "Copy", nullptr);
    const int bytes = depth == 16 ? 2 : 4;
    const int stride = (kWidth * bytes + 3) & ~3;
    std::vector<uint32_t> target(size_t(stride / 4) * kHeight);
    pixman_image_t* converted = pixman_image_create_bits(
        depth == 16 ? PIXMAN_r5g6b5 : PIXMAN_a8r8g8b8, kWidth, kHeight, target.data(), stride);
    bench::SideBySide(
        state, int64_t(kWidth) * kHeight, "pixman",
        [&] {
            if (CopySurfaceToImage(picture.handle, texture, depth) == 0) std::abort();
            benchmark::DoNotOptimize(texture.pixels);
        },
        [&] {
            pixman_image_composite32(PIXMAN_OP_SRC, picture.pixman, nullptr, converted, 0, 0, 0, 0,
                                     0, 0, kWidth, kHeight);
            benchmark::DoNotOptimize(target.data());
        });
    pixman_image_unref(converted);
}
BENCHMARK(BM_CopySurfaceToImage)->Arg(16)->Arg(32)->Unit(benchmark::kMicrosecond);

} // namespace
