// Text: DrawTextExA's layout of 10 KB of prose, one line of glyphs placed for drawing
// (solid and grey, glyphs already rendered: the steady state of a program redrawing its
// texts), and the calls through a DC on a 32-bit DIB section. ExtTextOutA runs beside
// cairo_show_glyphs drawing the same line on the same pixels with the same font file
// (Liberation Sans, which "Arial" stands for, found by both through fontconfig); counters
// "ours" and "cairo" in lines a second and "ratio", our time over cairo's (goal: at most 1).
//
// Each benchmark checks its result, so that a run that skips its work cannot pass for a
// fast one.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/gdi/bitmaps/bitmaps.h"
#include "platform/gdi/text/draw_text_layout.h"
#include "platform/gdi/text/font_instance.h"
#include "platform/gdi/text/text_out.h"
#include "side_by_side.h"

namespace {

std::shared_ptr<const platform::FontInstance> Arial(LONG height, BYTE quality) {
    LOGFONTA logFont{};
    logFont.lfHeight = height;
    logFont.lfWeight = FW_NORMAL;
    logFont.lfQuality = quality;
    std::strcpy(logFont.lfFaceName, "Arial");
    return platform::FontInstance::ForLogFont(logFont);
}

// About 10 KB of paragraphs with words of every length, tabs and '&' marks.
std::string Prose() {
    const std::string sentence =
        "The quick brown fox jumps over the lazy dog, and &then\tthe dog sleeps again. "
        "Pack my box with five dozen liquor jugs; sphinx of black quartz, judge my vow! ";
    std::string text;
    while (text.size() < 10 * 1024) {
        text += sentence;
        if (text.size() % 3 == 0) text += "\r\n";
    }
    return text;
}

void BM_DrawTextLayout10KB(benchmark::State& state) {
    auto font = Arial(-13, DEFAULT_QUALITY);
    std::string text = Prose();
    RECT rect{0, 0, 400, 100000};
    DRAWTEXTPARAMS params{sizeof(DRAWTEXTPARAMS), 4, 1, 1, 0};
    UINT format = static_cast<UINT>(state.range(0));
    for (auto _ : state) {
        platform::DrawTextLayout layout =
            platform::LayOutDrawText(*font, text, rect, format, &params);
        if (layout.lengthDrawn != text.size()) state.SkipWithError("text not laid out whole");
        benchmark::DoNotOptimize(layout.lines.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_DrawTextLayout10KB)
    ->Arg(DT_WORDBREAK | DT_EXPANDTABS | DT_TABSTOP | DT_NOCLIP)
    ->Arg(DT_WORDBREAK | DT_EDITCONTROL | DT_EXPANDTABS | DT_TABSTOP | DT_CALCRECT);

void GlyphLine(benchmark::State& state, BYTE quality) {
    auto font = Arial(-16, quality);
    const std::string line = "Sphinx of black quartz, judge my vow: 0123456789 \x80\xE9\xFC!";
    RECT visible{0, 0, 1024, 64};
    platform::TextPicture warm;
    warm.kind = font->DefaultGlyphKind();
    platform::AddTextLine(warm, *font, line, 4, 4, visible);
    for (auto _ : state) {
        platform::TextPicture picture;
        picture.kind = font->DefaultGlyphKind();
        picture.glyphs.reserve(line.size());
        int64_t end = platform::AddTextLine(picture, *font, line, 4, 4, visible);
        if (picture.glyphs.size() != warm.glyphs.size()) state.SkipWithError("glyphs lost");
        benchmark::DoNotOptimize(end);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(line.size()));
}

void BM_GlyphLineMono(benchmark::State& state) {
    GlyphLine(state, NONANTIALIASED_QUALITY);
}
BENCHMARK(BM_GlyphLineMono);

void BM_GlyphLineGrey(benchmark::State& state) {
    GlyphLine(state, ANTIALIASED_QUALITY);
}
BENCHMARK(BM_GlyphLineGrey);

// Rendering every character of a new size, what the first use of a font costs.
void BM_GlyphRenderingFirstUse(benchmark::State& state) {
    LONG round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // A size not made before, so nothing is in a cache.
        ++round;
        LOGFONTA logFont{};
        logFont.lfHeight = -(10 + round % 50);
        logFont.lfWidth = 1 + round / 50;
        logFont.lfQuality = static_cast<BYTE>(state.range(0));
        std::strcpy(logFont.lfFaceName, "Arial");
        auto font = platform::FontInstance::ForLogFont(logFont);
        state.ResumeTiming();
        for (int c = 0x20; c < 0x7F; ++c)
            benchmark::DoNotOptimize(
                font->Glyph(static_cast<unsigned char>(c), font->DefaultGlyphKind()).width);
    }
}
BENCHMARK(BM_GlyphRenderingFirstUse)->Arg(NONANTIALIASED_QUALITY)->Arg(ANTIALIASED_QUALITY);

// A 32-bit top-down DIB section in a memory DC, white.
class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(0);
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, 0, 0);
        bits_ = static_cast<uint8_t*>(bits);
        old_ = SelectObject(dc_, bitmap_);
        Clear();
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return dc_; }
    uint8_t* Bits() const { return bits_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void Clear() { std::memset(bits_, 0xFF, static_cast<size_t>(width_) * height_ * 4); }
    // Pixels that are not white.
    int64_t Ink() const {
        int64_t ink = 0;
        for (size_t i = 0; i < static_cast<size_t>(width_) * height_; ++i)
            ink += (bits_[i * 4] & bits_[i * 4 + 1] & bits_[i * 4 + 2]) != 0xFF;
        return ink;
    }

private:
    int width_;
    int height_;
    HDC dc_ = 0;
    HBITMAP bitmap_ = 0;
    HGDIOBJ old_ = 0;
    uint8_t* bits_ = nullptr;
};

void ExtTextOutBesideCairo(benchmark::State& state, BYTE quality) {
    const std::string line = "Sphinx of black quartz, judge my vow: 0123456789 (mixed) TEXT!";
    constexpr int SIZE = 16;
    Canvas canvas(640, 32);
    LOGFONTA logFont{};
    logFont.lfHeight = -SIZE;
    logFont.lfWeight = FW_NORMAL;
    logFont.lfQuality = quality;
    std::strcpy(logFont.lfFaceName, "Arial");
    HFONT font = CreateFontIndirectA(&logFont);
    HGDIOBJ oldFont = SelectObject(canvas.Dc(), font);
    SetBkMode(canvas.Dc(), TRANSPARENT);
    SetTextColor(canvas.Dc(), RGB(20, 20, 90));
    TEXTMETRICA tm{};
    GetTextMetricsA(canvas.Dc(), &tm);

    cairo_surface_t* surface = cairo_image_surface_create_for_data(
        canvas.Bits(), CAIRO_FORMAT_RGB24, canvas.Width(), canvas.Height(), canvas.Width() * 4);
    cairo_t* cr = cairo_create(surface);
    cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL,
                           CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, SIZE);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(
        options, quality == NONANTIALIASED_QUALITY ? CAIRO_ANTIALIAS_NONE : CAIRO_ANTIALIAS_GRAY);
    cairo_set_font_options(cr, options);
    cairo_set_source_rgb(cr, 90 / 255.0, 20 / 255.0, 20 / 255.0);
    cairo_glyph_t* glyphs = nullptr;
    int glyphCount = 0;
    cairo_scaled_font_text_to_glyphs(cairo_get_scaled_font(cr), 4, 4 + tm.tmAscent, line.c_str(),
                                     static_cast<int>(line.size()), &glyphs, &glyphCount, nullptr,
                                     nullptr, nullptr);

    // Both once, so that the glyph caches are warm and the results can be checked.
    ExtTextOutA(canvas.Dc(), 4, 4, 0, nullptr, line.data(), static_cast<UINT>(line.size()),
                nullptr);
    int64_t ours = canvas.Ink();
    canvas.Clear();
    cairo_show_glyphs(cr, glyphs, glyphCount);
    cairo_surface_flush(surface);
    int64_t theirs = canvas.Ink();
    if (ours < 200 || theirs < 200 || glyphCount != static_cast<int>(line.size()))
        state.SkipWithError("a line drew no text");

    // Counted in lines: the counters are millions of lines a second.
    bench::SideBySide(
        state, 1, "cairo",
        [&] {
            ExtTextOutA(canvas.Dc(), 4, 4, 0, nullptr, line.data(), static_cast<UINT>(line.size()),
                        nullptr);
        },
        [&] {
            cairo_show_glyphs(cr, glyphs, glyphCount);
            cairo_surface_flush(surface);
        });

    cairo_glyph_free(glyphs);
    cairo_font_options_destroy(options);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    SelectObject(canvas.Dc(), oldFont);
    DeleteObject(font);
}

void BM_ExtTextOutMono(benchmark::State& state) {
    ExtTextOutBesideCairo(state, NONANTIALIASED_QUALITY);
}
BENCHMARK(BM_ExtTextOutMono);

void BM_ExtTextOutGrey(benchmark::State& state) {
    ExtTextOutBesideCairo(state, ANTIALIASED_QUALITY);
}
BENCHMARK(BM_ExtTextOutGrey);

// DrawTextExA through a DC: the layout and the drawing of 10 KB of prose.
void BM_DrawTextExA10KB(benchmark::State& state) {
    std::string text = Prose();
    Canvas canvas(400, 4000);
    LOGFONTA logFont{};
    logFont.lfHeight = -13;
    std::strcpy(logFont.lfFaceName, "Arial");
    HFONT font = CreateFontIndirectA(&logFont);
    HGDIOBJ oldFont = SelectObject(canvas.Dc(), font);
    SetBkMode(canvas.Dc(), TRANSPARENT);
    DRAWTEXTPARAMS params{sizeof(DRAWTEXTPARAMS), 4, 1, 1, 0};
    for (auto _ : state) {
        RECT rect{0, 0, canvas.Width(), canvas.Height()};
        DrawTextExA(canvas.Dc(), text.c_str(), static_cast<int>(text.size()), &rect,
                    DT_WORDBREAK | DT_EXPANDTABS | DT_TABSTOP, &params);
        if (params.uiLengthDrawn != text.size()) state.SkipWithError("text not drawn whole");
    }
    if (canvas.Ink() < 10000) state.SkipWithError("no text drawn");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(text.size()));
    SelectObject(canvas.Dc(), oldFont);
    DeleteObject(font);
}
BENCHMARK(BM_DrawTextExA10KB);

} // namespace
