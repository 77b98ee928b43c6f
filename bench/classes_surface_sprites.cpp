// The refresh of a Surface's sprites per frame: moving 32 x 32 sprites on an 800 x 600
// picture erased, saved and drawn again, with the dirty rectangles they leave; and the
// dirty list at its bound, where every new rectangle scans 1,024 stored ones.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "classes/surface/sprite_plane.h"
#include "graphics2d/drawing/surface_handle.h"
#include "graphics2d/palette/palette.h"
#include "graphics2d/surfaces/mem_surface.h"

namespace {

class Ball final : public SpriteEntry {
public:
    explicit Ball(SurfaceHandle* image) : image_(image) {}
    SurfaceHandle* GetDrawnImage() const override { return image_; }

    int32_t x = 0, y = 0, dx = 0, dy = 0;

private:
    SurfaceHandle* image_;
};

void RefreshMovingSprites(benchmark::State& state) {
    CreatePaletteContext();
    cMemSurface format;
    format.InitFormat(32);
    SurfaceHandle picture, image;
    picture.Attach(format.MakeInstance(800, 600));
    picture.FillRectAll(0x203040);
    image.Attach(format.MakeInstance(32, 32));
    image.FillRectAll(0);
    image.FillRect(4, 4, 24, 24, 0xFF8000);
    {
        SpritePlane plane;
        plane.SetPicture(&picture);
        plane.SetHosted(true);
        std::vector<std::unique_ptr<Ball>> balls;
        const int count = int(state.range(0));
        for (int i = 0; i < count; ++i) {
            auto ball = std::make_unique<Ball>(&image);
            ball->x = (i * 97) % 768;
            ball->y = (i * 61) % 568;
            ball->dx = 1 + i % 3;
            ball->dy = 1 + i % 2;
            ball->next = ball->drawn = {ball->x, ball->y, ball->x + 32, ball->y + 32};
            plane.Insert(ball.get());
            plane.SpriteChanged(ball.get());
            balls.push_back(std::move(ball));
        }
        plane.RunPasses();
        plane.dirty.Clear();
        const uint64_t before = plane.blits;
        for (auto _ : state) {
            for (auto& ball : balls) {
                if (ball->x + ball->dx < 0 || ball->x + ball->dx > 768) ball->dx = -ball->dx;
                if (ball->y + ball->dy < 0 || ball->y + ball->dy > 568) ball->dy = -ball->dy;
                ball->x += ball->dx;
                ball->y += ball->dy;
                ball->next = {ball->x, ball->y, ball->x + 32, ball->y + 32};
                plane.SpriteChanged(ball.get());
            }
            plane.RunPasses();
            benchmark::DoNotOptimize(plane.dirty.GetCount());
            plane.dirty.Clear();
        }
        state.counters["blits/frame"] =
            benchmark::Counter(double(plane.blits - before) / double(state.iterations()));
        for (auto& ball : balls)
            plane.Remove(ball.get(), false);
    }
    picture.Release();
    image.Release();
    ReleasePaletteContext();
}
BENCHMARK(RefreshMovingSprites)->Arg(50)->Arg(500)->Arg(2000)->Unit(benchmark::kMicrosecond);

// 1,024 disjoint rectangles, then one more: the scan of the whole list and the collapse.
void DirtyListAtItsBound(benchmark::State& state) {
    for (auto _ : state) {
        DirtyRectList list;
        for (int32_t i = 0; i < kDirtyRectCapacity; ++i)
            list.Add({(i % 32) * 25, (i / 32) * 18, (i % 32) * 25 + 20, (i / 32) * 18 + 15});
        list.Add({790, 590, 800, 600});
        benchmark::DoNotOptimize(list.GetCount());
    }
}
BENCHMARK(DirtyListAtItsBound)->Unit(benchmark::kMicrosecond);

} // namespace
