// The scan converter alone: a 640 x 480 filled ellipse and a wide polyline across a
// 640 x 480 clip, as a DC would ask for them. Each benchmark checks the pixel count it
// expects, so that a run that produced nothing cannot pass for a fast one.
#include <benchmark/benchmark.h>

#include <vector>

#include "platform/gdi/shapes/scan_converter.h"

namespace {

const RECT kScreen{0, 0, 640, 480};

int64_t Pixels(const platform::SpanList& spans) {
    int64_t pixels = 0;
    for (const platform::Span& s : spans)
        pixels += s.x1 - s.x0;
    return pixels;
}

void BM_ShapesFilledEllipse(benchmark::State& state) {
    platform::ClipBands clip({&kScreen, 1});
    const platform::ScanPen pen{platform::PenKind::Null, 1};
    int64_t pixels = 0;
    for (auto _ : state) {
        platform::FigureSpans ellipse =
            platform::ScanEllipse(RECT{0, 0, 641, 481}, pen, true, clip);
        pixels = Pixels(ellipse.interior);
        benchmark::DoNotOptimize(ellipse);
    }
    // pi / 4 of the box, give or take the edge.
    if (pixels < 640 * 480 * 3 / 4 || pixels > 640 * 480 * 4 / 5)
        state.SkipWithError("the ellipse has the wrong size");
    state.SetItemsProcessed(state.iterations() * pixels);
}
BENCHMARK(BM_ShapesFilledEllipse);

// A zigzag of 16 tall segments, joints and caps round, one to 31 pixels wide.
void BM_ShapesWidePolyline(benchmark::State& state) {
    platform::ClipBands clip({&kScreen, 1});
    const platform::ScanPen pen{platform::PenKind::Solid, static_cast<int32_t>(state.range(0))};
    std::vector<POINT> points;
    for (int i = 0; i <= 16; ++i)
        points.push_back(POINT{10 + i * 38, i % 2 == 0 ? 20 : 460});
    int64_t pixels = 0;
    for (auto _ : state) {
        platform::SpanList line = platform::ScanPolyline(points, pen, clip);
        pixels = Pixels(line);
        benchmark::DoNotOptimize(line);
    }
    if (pixels < 16 * 440 * state.range(0) / 2) state.SkipWithError("the polyline lost pixels");
    state.SetItemsProcessed(state.iterations() * pixels);
}
BENCHMARK(BM_ShapesWidePolyline)->Arg(1)->Arg(8)->Arg(31);

} // namespace
