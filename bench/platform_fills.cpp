// Fills and figures through a memory DC beside cairo (ANTIALIAS_NONE) drawing the same
// shapes on the same 640 x 480 32-bit DIB section. Counters: megapixels of the canvas a
// second for each side, and ours over cairo's time (below 1: we are faster).
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cmath>
#include <vector>

#include "platform/gdi/bitmaps/bitmaps.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/shapes/shapes_dc.h"
#include "side_by_side.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;

template <class Ours, class Theirs>
void Compare(benchmark::State& state, int64_t pixels, Ours ours, Theirs theirs) {
    bench::SideBySide(state, pixels, "cairo", ours, theirs);
}

// A top-down 32-bit DIB section in a memory DC, and a cairo context on its bits.
struct Canvas {
    HDC dc = 0;
    HBITMAP bitmap = 0;
    HGDIOBJ old = 0;
    HPEN pen = 0;
    HBRUSH brush = 0;
    cairo_surface_t* surface = nullptr;
    cairo_t* cr = nullptr;

    Canvas(int penWidth, bool nullPen) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = kWidth;
        info.bmiHeader.biHeight = -kHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc = CreateCompatibleDC(0);
        void* bits = nullptr;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, 0, 0);
        old = SelectObject(dc, bitmap);
        pen = CreatePen(nullPen ? PS_NULL : PS_SOLID, penWidth, RGB(200, 30, 40));
        brush = CreateSolidBrush(RGB(20, 90, 200));
        SelectObject(dc, pen);
        SelectObject(dc, brush);
        surface = cairo_image_surface_create_for_data(
            static_cast<unsigned char*>(bits), CAIRO_FORMAT_RGB24, kWidth, kHeight, kWidth * 4);
        cr = cairo_create(surface);
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_set_line_width(cr, penWidth);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    }
    ~Canvas() {
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
        SelectObject(dc, GetStockObject(BLACK_PEN));
        SelectObject(dc, GetStockObject(WHITE_BRUSH));
        SelectObject(dc, old);
        DeleteObject(pen);
        DeleteObject(brush);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    void Fill() const { cairo_set_source_rgb(cr, 20 / 255.0, 90 / 255.0, 200 / 255.0); }
    void Stroke() const { cairo_set_source_rgb(cr, 200 / 255.0, 30 / 255.0, 40 / 255.0); }
};

void BM_FillsFillRect(benchmark::State& state) {
    Canvas canvas(1, true);
    RECT all{0, 0, kWidth, kHeight};
    Compare(
        state, int64_t{kWidth} * kHeight, [&] { FillRect(canvas.dc, &all, canvas.brush); },
        [&] {
            canvas.Fill();
            cairo_rectangle(canvas.cr, 0, 0, kWidth, kHeight);
            cairo_fill(canvas.cr);
        });
}
BENCHMARK(BM_FillsFillRect);

// A filled rectangle with a one-pixel outline; cairo fills, then strokes along the
// pixel centres.
void BM_FillsRectangle(benchmark::State& state) {
    Canvas canvas(1, false);
    Compare(
        state, int64_t{kWidth} * kHeight, [&] { Rectangle(canvas.dc, 0, 0, kWidth, kHeight); },
        [&] {
            cairo_rectangle(canvas.cr, 0, 0, kWidth, kHeight);
            canvas.Fill();
            cairo_fill(canvas.cr);
            cairo_rectangle(canvas.cr, 0.5, 0.5, kWidth - 1, kHeight - 1);
            canvas.Stroke();
            cairo_stroke(canvas.cr);
        });
}
BENCHMARK(BM_FillsRectangle);

void EllipsePath(cairo_t* cr, double width, double height) {
    cairo_save(cr);
    cairo_translate(cr, width / 2, height / 2);
    cairo_scale(cr, width / 2, height / 2);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
}

// A filled ellipse over the canvas: with the null pen, and with a pen range(0) wide.
void BM_FillsEllipse(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    Canvas canvas(width == 0 ? 1 : width, width == 0);
    Compare(
        state, int64_t{kWidth} * kHeight, [&] { Ellipse(canvas.dc, 0, 0, kWidth, kHeight); },
        [&] {
            EllipsePath(canvas.cr, kWidth, kHeight);
            canvas.Fill();
            if (width == 0) {
                cairo_fill(canvas.cr);
                return;
            }
            cairo_fill_preserve(canvas.cr);
            canvas.Stroke();
            cairo_stroke(canvas.cr);
        });
}
BENCHMARK(BM_FillsEllipse)->Arg(0)->Arg(1)->Arg(8);

// A five-pointed star across the canvas, filled by the winding rule, null pen.
void BM_FillsStar(benchmark::State& state) {
    Canvas canvas(1, true);
    std::vector<POINT> star;
    for (int i = 0; i < 5; ++i) {
        double angle = -M_PI / 2 + i * 4 * M_PI / 5;
        star.push_back(POINT{static_cast<LONG>(320 + 300 * std::cos(angle)),
                             static_cast<LONG>(250 + 240 * std::sin(angle))});
    }
    SetPolyFillMode(canvas.dc, WINDING);
    cairo_set_fill_rule(canvas.cr, CAIRO_FILL_RULE_WINDING);
    Compare(
        state, int64_t{kWidth} * kHeight,
        [&] { Polygon(canvas.dc, star.data(), static_cast<int>(star.size())); },
        [&] {
            for (const POINT& p : star)
                cairo_line_to(canvas.cr, p.x, p.y);
            cairo_close_path(canvas.cr);
            canvas.Fill();
            cairo_fill(canvas.cr);
        });
}
BENCHMARK(BM_FillsStar);

// A fan of 256 lines from the middle to the edges, range(0) pixels wide.
void BM_FillsLines(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    Canvas canvas(width, false);
    std::vector<POINT> ends;
    for (int i = 0; i < 256; ++i) {
        double angle = i * 2 * M_PI / 256;
        ends.push_back(POINT{static_cast<LONG>(320 + 310 * std::cos(angle)),
                             static_cast<LONG>(240 + 230 * std::sin(angle))});
    }
    Compare(
        state, int64_t{kWidth} * kHeight,
        [&] {
            for (const POINT& p : ends) {
                MoveToEx(canvas.dc, 320, 240, nullptr);
                LineTo(canvas.dc, p.x, p.y);
            }
        },
        [&] {
            canvas.Stroke();
            for (const POINT& p : ends) {
                cairo_move_to(canvas.cr, 320.5, 240.5);
                cairo_line_to(canvas.cr, p.x + 0.5, p.y + 0.5);
                cairo_stroke(canvas.cr);
            }
        });
}
BENCHMARK(BM_FillsLines)->Arg(1)->Arg(8);

} // namespace
