// Surface operations through the surface handle: the per-call cost of small copies, the
// filtered resample beside pixman's separable convolution, rotation beside pixman with a
// rotating transform (nearest and bilinear), and, alone, the smoothed sprite copy, pixel
// collisions and the flood fill of a maze. Counters: "ours" and "pixman" in Mpixel/s and
// "ratio", our time over pixman's (goal: at most 1).
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <cstdlib>
#include <random>

#include "graphics2d/drawing/surface_handle.h"
#include "graphics2d/palette/palette.h"
#include "graphics2d/surfaces/mem_surface.h"
#include "side_by_side.h"

namespace {

struct Registered {
    Registered() {
        if (!CreatePaletteContext()) std::abort();
    }
};

// A 32-bit surface of random pixels, about a quarter of them 0, with pixman's view of them.
struct Picture {
    Picture(int32_t width, int32_t height, uint32_t seed) {
        static Registered registered;
        cMemSurface prototype;
        if (!prototype.InitFormat(32)) std::abort();
        handle.Attach(prototype.MakeInstance(width, height));
        const SurfaceBits* bits = handle.GetImpl()->GetBits();
        std::mt19937 rng(seed);
        for (int32_t y = 0; y < height; y++)
            for (int32_t x = 0; x < width; x++)
                reinterpret_cast<uint32_t*>(bits->pixels + ptrdiff_t(y) * bits->pitch)[x] =
                    rng() % 4 == 0 ? 0 : rng() & 0xFFFFFF;
        pixman = pixman_image_create_bits(PIXMAN_x8r8g8b8, width, height,
                                          reinterpret_cast<uint32_t*>(bits->pixels), bits->pitch);
    }
    ~Picture() { pixman_image_unref(pixman); }
    SurfaceHandle handle;
    pixman_image_t* pixman;
};

template <class Ours, class Theirs>
void Compare(benchmark::State& state, int64_t pixels, Ours ours, Theirs theirs) {
    bench::SideBySide(state, pixels, "pixman", ours, theirs);
}

void BM_SmallBlit(benchmark::State& state) {
    const int32_t size = int32_t(state.range(0));
    Picture source(size, size, 1), target(640, 480, 2);
    int32_t x = 0;
    for (auto _ : state) {
        source.handle.Blit(&target.handle, x, 100, 0, 0, size, size, 1, 0, 0, 0);
        x = (x + 7) % 600;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SmallBlit)->Arg(8)->Arg(16)->Arg(32);

void BM_Resample(benchmark::State& state) {
    const int32_t width = int32_t(state.range(0)), height = width * 3 / 4;
    Picture source(640, 480, 1), target(width, height, 2);
    // pixman's nearest counterpart of our filter: a separable cubic convolution.
    pixman_fixed_t* params;
    int count = 0;
    const double scale = width / 640.0;
    params = pixman_filter_create_separable_convolution(
        &count, pixman_double_to_fixed(1 / scale), pixman_double_to_fixed(1 / scale),
        PIXMAN_KERNEL_CUBIC, PIXMAN_KERNEL_CUBIC, PIXMAN_KERNEL_BOX, PIXMAN_KERNEL_BOX, 1, 1);
    pixman_image_set_filter(source.pixman, PIXMAN_FILTER_SEPARABLE_CONVOLUTION, params, count);
    free(params);
    pixman_transform_t transform;
    pixman_transform_init_scale(&transform, pixman_double_to_fixed(1 / scale),
                                pixman_double_to_fixed(1 / scale));
    pixman_image_set_transform(source.pixman, &transform);
    Compare(
        state, int64_t(width) * height, [&] { source.handle.StretchOver(&target.handle, 1); },
        [&] {
            pixman_image_composite32(PIXMAN_OP_SRC, source.pixman, nullptr, target.pixman, 0, 0, 0,
                                     0, 0, 0, width, height);
        });
}
BENCHMARK(BM_Resample)->Arg(1280)->Arg(320);

void BM_Rotate(benchmark::State& state) {
    const bool smooth = state.range(0) != 0;
    Picture source(256, 256, 1), target(256, 256, 2);
    pixman_transform_t transform;
    // About the centre: translate, rotate by 30 degrees, translate back.
    pixman_transform_init_translate(&transform, pixman_int_to_fixed(128), pixman_int_to_fixed(128));
    pixman_transform_rotate(&transform, nullptr,
                            pixman_double_to_fixed(std::cos(0.5235987755982988)),
                            pixman_double_to_fixed(std::sin(0.5235987755982988)));
    pixman_transform_translate(&transform, nullptr, pixman_int_to_fixed(-128),
                               pixman_int_to_fixed(-128));
    pixman_image_set_transform(source.pixman, &transform);
    pixman_image_set_filter(source.pixman, smooth ? PIXMAN_FILTER_BILINEAR : PIXMAN_FILTER_NEAREST,
                            nullptr, 0);
    Compare(
        state, 256 * 256, [&] { source.handle.RotateInto(&target.handle, 30, smooth, 0); },
        [&] {
            pixman_image_composite32(PIXMAN_OP_SRC, source.pixman, nullptr, target.pixman, 0, 0, 0,
                                     0, 0, 0, 256, 256);
        });
}
BENCHMARK(BM_Rotate)->Arg(0)->Arg(1);

void BM_SmoothSprite(benchmark::State& state) {
    Picture sprite(128, 128, 1), target(640, 480, 2);
    for (auto _ : state)
        sprite.handle.Blit(&target.handle, 100, 100, 0, 0, 128, 128, 1, 0, 0, 1);
    state.SetItemsProcessed(state.iterations() * 128 * 128);
}
BENCHMARK(BM_SmoothSprite);

void BM_Collision(benchmark::State& state) {
    Picture a(64, 64, 1), b(64, 64, 2);
    // Sparse pictures, so the test walks most of the window before it finds an overlap.
    a.handle.FillRectAll(0);
    b.handle.FillRectAll(0);
    a.handle.FillRect(63, 63, 1, 1, 0xFF);
    b.handle.FillRect(63, 63, 1, 1, 0xFF);
    for (auto _ : state)
        benchmark::DoNotOptimize(a.handle.PixelsOverlap(&b.handle, 0, 0, 0, 0, 64, 64));
    state.SetItemsProcessed(state.iterations() * 64 * 64);
}
BENCHMARK(BM_Collision);

void BM_MazeFill(benchmark::State& state) {
    Picture maze(1024, 768, 1);
    uint32_t colour = 1;
    for (auto _ : state) {
        state.PauseTiming();
        maze.handle.FillRectAll(0);
        for (int32_t y = 1; y < 767; y += 2)
            maze.handle.FillRect(y % 4 == 1 ? 0 : 1, y, 1023, 1, 0xFFFFFF);
        state.ResumeTiming();
        maze.handle.Fill(0, 0, colour++ & 0xFF, 0, 0, 0, 0);
    }
    state.SetItemsProcessed(state.iterations() * 1024 * 384);
}
BENCHMARK(BM_MazeFill);

} // namespace
