// Printed pages per second and the PDF bytes a page takes: a page of text and a full-page
// picture at 300 dots an inch through a printer DC, beside the same pages drawn with cairo
// directly.
#include <benchmark/benchmark.h>

#include <cairo-pdf.h>
#include <cairo.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/gdi/bitmaps/bitmaps.h"
#include "platform/gdi/bitmaps/blits.h"
#include "platform/gdi/dc_state.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/text/text_out.h"
#include "platform/printing/printing.h"

namespace {

constexpr int kLines = 60;

std::string PageText() {
    std::string text;
    for (int line = 0; line < kLines; ++line)
        text += "Line " + std::to_string(line) + " of a printed page, in ten-point type.\n";
    return text;
}

// Each run prints into one document written to the temporary folder, and reports the
// document's bytes a page.
template <typename DrawPage> void PrintPages(benchmark::State& state, DrawPage draw) {
    std::string path = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") +
                       "/zorv-bench-print.pdf";
    HDC dc = CreateDCA(nullptr, "PDF", nullptr, nullptr);
    DOCINFOA info{};
    info.cbSize = sizeof info;
    info.lpszDocName = "bench";
    info.lpszOutput = path.c_str();
    if (StartDocA(dc, &info) <= 0) {
        state.SkipWithError("no document");
        return;
    }
    int pages = 0;
    for (auto _ : state) {
        StartPage(dc);
        draw(dc);
        EndPage(dc);
        ++pages;
    }
    EndDoc(dc);
    DeleteDC(dc);
    FILE* file = std::fopen(path.c_str(), "rb");
    long size = 0;
    if (file != nullptr) {
        std::fseek(file, 0, SEEK_END);
        size = std::ftell(file);
        std::fclose(file);
    }
    unlink(path.c_str());
    state.counters["pdf_bytes_per_page"] = pages > 0 ? double(size) / pages : 0;
    state.SetItemsProcessed(pages);
}

void BM_PrinterTextPage(benchmark::State& state) {
    std::string text = PageText();
    LOGFONTA logFont{};
    logFont.lfHeight = -42;
    std::snprintf(logFont.lfFaceName, LF_FACESIZE, "Arial");
    HFONT font = CreateFontIndirectA(&logFont);
    PrintPages(state, [&](HDC dc) {
        HGDIOBJ previous = SelectObject(dc, font);
        RECT area{150, 150, 2180, 3200};
        DrawTextExA(dc, text.data(), int(text.size()), &area, DT_WORDBREAK | DT_NOPREFIX, nullptr);
        SelectObject(dc, previous);
    });
    DeleteObject(font);
}
BENCHMARK(BM_PrinterTextPage)->Unit(benchmark::kMillisecond);

struct Picture {
    BITMAPINFO info{};
    std::vector<uint32_t> pixels;
    Picture(int width, int height) : pixels(size_t(width) * height) {
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = uint32_t(i * 2654435761u) & 0xFFFFFF;
    }
};

void BM_PrinterPicturePage(benchmark::State& state) {
    Picture picture(2330, 3358);
    PrintPages(state, [&](HDC dc) {
        StretchDIBits(dc, 0, 0, 2330, 3358, 0, 0, 2330, 3358, picture.pixels.data(), &picture.info,
                      DIB_RGB_COLORS, SRCCOPY);
    });
}
BENCHMARK(BM_PrinterPicturePage)->Unit(benchmark::kMillisecond);

cairo_status_t Count(void* closure, const unsigned char*, unsigned int length) {
    *static_cast<size_t*>(closure) += length;
    return CAIRO_STATUS_SUCCESS;
}

template <typename DrawPage> void CairoPages(benchmark::State& state, DrawPage draw) {
    size_t bytes = 0;
    cairo_surface_t* surface = cairo_pdf_surface_create_for_stream(&Count, &bytes, 595.28, 841.89);
    cairo_t* cairo = cairo_create(surface);
    cairo_scale(cairo, 72.0 / 300, 72.0 / 300);
    int pages = 0;
    for (auto _ : state) {
        draw(cairo);
        cairo_show_page(cairo);
        ++pages;
    }
    cairo_destroy(cairo);
    cairo_surface_finish(surface);
    cairo_surface_destroy(surface);
    state.counters["pdf_bytes_per_page"] = pages > 0 ? double(bytes) / pages : 0;
    state.SetItemsProcessed(pages);
}

void BM_CairoTextPage(benchmark::State& state) {
    std::vector<std::string> lines;
    for (int line = 0; line < kLines; ++line)
        lines.push_back("Line " + std::to_string(line) + " of a printed page, in ten-point type.");
    CairoPages(state, [&](cairo_t* cairo) {
        cairo_select_font_face(cairo, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL,
                               CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cairo, 42);
        for (int line = 0; line < kLines; ++line) {
            cairo_move_to(cairo, 225, 225 + 48 * line);
            cairo_show_text(cairo, lines[size_t(line)].c_str());
        }
    });
}
BENCHMARK(BM_CairoTextPage)->Unit(benchmark::kMillisecond);

void BM_CairoPicturePage(benchmark::State& state) {
    Picture picture(2330, 3358);
    cairo_surface_t* image =
        cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(picture.pixels.data()),
                                            CAIRO_FORMAT_RGB24, 2330, 3358, 2330 * 4);
    CairoPages(state, [&](cairo_t* cairo) {
        cairo_set_source_surface(cairo, image, 75, 75);
        cairo_paint(cairo);
    });
    cairo_surface_destroy(image);
}
BENCHMARK(BM_CairoPicturePage)->Unit(benchmark::kMillisecond);

} // namespace
