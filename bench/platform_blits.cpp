// BitBlt and StretchBlt between 32-bit DIB sections in memory DCs, beside pixman copying and
// scaling (nearest) the same pixels; raster-operation blits and blits between formats alone
// (source, pattern and destination mixed bitwise have no counterpart in pixman).
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdlib>
#include <cstring>

#include "platform/gdi/bitmaps/bitmaps.h"
#include "platform/gdi/bitmaps/blits.h"
#include "platform/gdi/dc_state.h"
#include "platform/gdi/gdi_objects.h"
#include "side_by_side.h"

namespace {

// A top-down 32-bit DIB section of random pixels in a memory DC, and pixman's view of it.
struct Picture {
    Picture(int width, int height, unsigned seed) : width(width), height(height) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        dc = CreateCompatibleDC(0);
        void* bits = nullptr;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, 0, 0);
        if (!dc || !bitmap || !bits) std::abort();
        old = SelectObject(dc, bitmap);
        pixels = static_cast<uint32_t*>(bits);
        srand(seed);
        for (int i = 0; i < width * height; i++)
            pixels[i] = uint32_t(rand()) & 0xFFFFFF;
        image = pixman_image_create_bits(PIXMAN_x8r8g8b8, width, height, pixels, width * 4);
    }
    ~Picture() {
        pixman_image_unref(image);
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    int width, height;
    HDC dc = 0;
    HBITMAP bitmap = 0;
    HGDIOBJ old = 0;
    uint32_t* pixels = nullptr;
    pixman_image_t* image = nullptr;
};

void BM_BitBltCopy(benchmark::State& state) {
    Picture source(1024, 768, 1), target(1024, 768, 2);
    bench::SideBySide(
        state, 1024 * 768, "pixman",
        [&] { BitBlt(target.dc, 0, 0, 1024, 768, source.dc, 0, 0, SRCCOPY); },
        [&] {
            pixman_blt(source.pixels, target.pixels, 1024, 1024, 32, 32, 0, 0, 0, 0, 1024, 768);
        });
}
BENCHMARK(BM_BitBltCopy);

void BM_StretchBltNearest(benchmark::State& state) {
    Picture source(640, 480, 1), target(1024, 768, 2);
    pixman_transform_t scale;
    pixman_transform_init_scale(&scale, pixman_double_to_fixed(640.0 / 1024),
                                pixman_double_to_fixed(480.0 / 768));
    pixman_image_set_transform(source.image, &scale);
    pixman_image_set_filter(source.image, PIXMAN_FILTER_NEAREST, nullptr, 0);
    bench::SideBySide(
        state, 1024 * 768, "pixman",
        [&] { StretchBlt(target.dc, 0, 0, 1024, 768, source.dc, 0, 0, 640, 480, SRCCOPY); },
        [&] {
            pixman_image_composite32(PIXMAN_OP_SRC, source.image, nullptr, target.image, 0, 0, 0, 0,
                                     0, 0, 1024, 768);
        });
}
BENCHMARK(BM_StretchBltNearest);

// Raster operations through the generic bitwise path: SRCINVERT (source XOR destination),
// PATINVERT (pattern XOR destination) and 0xB8074A (pattern where the source is set).
void BM_RasterOpBlit(benchmark::State& state) {
    const DWORD rop = DWORD(state.range(0));
    Picture source(1024, 768, 1), target(1024, 768, 2);
    const HBRUSH brush = CreateSolidBrush(0x336699);
    const HGDIOBJ oldBrush = SelectObject(target.dc, brush);
    for (auto _ : state)
        BitBlt(target.dc, 0, 0, 1024, 768, source.dc, 0, 0, rop);
    state.SetItemsProcessed(state.iterations() * 1024 * 768);
    SelectObject(target.dc, oldBrush);
    DeleteObject(brush);
}
BENCHMARK(BM_RasterOpBlit)->Arg(0x00660046)->Arg(0x005A0049)->Arg(0x00B8074A);

// BitBlt between formats, which converts every pixel: Arg(16) copies a 5-6-5 image into a
// 32-bit one, widening the channels; Arg(8) copies a 32-bit image into an 8-bit one with a
// 6 x 6 x 6 colour cube, matching colours to the table.
void BM_BitBltConvert(benchmark::State& state) {
    const int from = int(state.range(0)) == 16 ? 16 : 32, to = from == 16 ? 32 : 8;
    struct Dib {
        Dib(int width, int height, int bits) {
            alignas(BITMAPINFO) uint8_t block[sizeof(BITMAPINFOHEADER) + 256 * 4] = {};
            auto* info = reinterpret_cast<BITMAPINFO*>(block);
            info->bmiHeader = {sizeof(BITMAPINFOHEADER),
                               width,
                               -height,
                               1,
                               WORD(bits),
                               bits == 16 ? DWORD(BI_BITFIELDS) : DWORD(BI_RGB),
                               0,
                               0,
                               0,
                               0,
                               0};
            auto* colors = reinterpret_cast<uint32_t*>(block + sizeof(BITMAPINFOHEADER));
            if (bits == 16) {
                colors[0] = 0xF800;
                colors[1] = 0x07E0;
                colors[2] = 0x001F;
            }
            if (bits == 8)
                for (uint32_t i = 0; i < 216; i++)
                    colors[i] = (i / 36 * 51) << 16 | (i / 6 % 6 * 51) << 8 | (i % 6 * 51);
            dc = CreateCompatibleDC(0);
            void* memory = nullptr;
            bitmap = CreateDIBSection(dc, info, DIB_RGB_COLORS, &memory, 0, 0);
            if (!dc || !bitmap || !memory) std::abort();
            old = SelectObject(dc, bitmap);
            auto* bytes = static_cast<uint8_t*>(memory);
            srand(3);
            for (int i = 0; i < width * height * bits / 8; i++)
                bytes[i] = uint8_t(rand());
        }
        ~Dib() {
            SelectObject(dc, old);
            DeleteObject(bitmap);
            DeleteDC(dc);
        }
        HDC dc = 0;
        HBITMAP bitmap = 0;
        HGDIOBJ old = 0;
    };
    const int width = 512, height = 384;
    Dib source(width, height, from), target(width, height, to);
    for (auto _ : state)
        BitBlt(target.dc, 0, 0, width, height, source.dc, 0, 0, SRCCOPY);
    state.SetItemsProcessed(state.iterations() * width * height);
}
BENCHMARK(BM_BitBltConvert)->Arg(16)->Arg(8)->Unit(benchmark::kMillisecond);

} // namespace
