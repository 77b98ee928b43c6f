// The text module's own work, before any device draws: DrawTextExA's layout of 10 KB of
// prose, and one line of glyphs placed for drawing, solid and grey, with the glyphs
// already rendered (the steady state of a program redrawing its texts).
//
// Each benchmark checks its result, so that a run that skips its work cannot pass for a
// fast one.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "platform/gdi/text/draw_text_layout.h"
#include "platform/gdi/text/font_instance.h"

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

} // namespace
