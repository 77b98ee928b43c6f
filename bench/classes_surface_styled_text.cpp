// Styled text: 10 KB of tagged text laid out and drawn on a 640 x 480 surface with
// wrapping (the console scrolls as it fills), the same measured only, and a loop writing
// one character per call, as a script echoing keys does. No other implementation is run
// beside these: "chars" counts the characters handled a second.
//
// Each benchmark checks its result, so that a run that skips its work cannot pass for a
// fast one.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "classes/surface/styled_text.h"
#include "graphics2d/drawing/surface_handle.h"
#include "graphics2d/surfaces/surface_kinds.h"
#include "platform/display/headless_display.h"
#include "platform/gdi/text/text_out.h"

namespace {

// About 10 KB of sentences with bold, italic, colour, size and typewriter tags and entities.
std::string TaggedText() {
    const std::string sentence =
        "The <B>quick</B> brown fox <I>jumps</I> over the <FONT COLOR=#A03000>lazy</FONT> dog "
        "&amp; <TT>sleeps</TT> again; <FONT SIZE=+4 FACE=\"Times New Roman\">pack</FONT> my "
        "box with <SMALL>five</SMALL> dozen <BIG>jugs</BIG> &lt;x<SUP>2</SUP>&gt;. ";
    std::string text;
    while (text.size() < 10 * 1024)
        text += sentence;
    return text;
}

class Page {
public:
    Page() {
        platform::headless::Install();
        RegisterSurfaceThread();
        picture_.Create(640, 480, GetPrototypeForDepth(32));
        picture_.FillRectAll(0xFFFFFF);
        LOGFONTA logFont{};
        logFont.lfHeight = -16;
        std::strcpy(logFont.lfFaceName, "Arial");
        font_ = CreateFontIndirectA(&logFont);
    }
    ~Page() {
        DeleteObject(font_);
        picture_.Release();
        UnregisterSurfaceThread();
    }
    StyledTextTarget Target() {
        StyledTextTarget target;
        target.picture = &picture_;
        target.font = font_;
        return target;
    }

private:
    SurfaceHandle picture_;
    HFONT font_ = 0;
};

void BM_StyledTextWrite10KB(benchmark::State& state) {
    Page page;
    const std::string text = TaggedText();
    for (auto _ : state) {
        StyledTextTarget target = page.Target();
        RECT drawn{};
        WriteStyledText(target, text, &drawn);
        if (drawn.bottom <= drawn.top || target.penY == 0) state.SkipWithError("nothing laid out");
    }
    state.counters["chars"] = benchmark::Counter(static_cast<double>(text.size()) *
                                                     static_cast<double>(state.iterations()),
                                                 benchmark::Counter::kIsRate);
}
BENCHMARK(BM_StyledTextWrite10KB)->Unit(benchmark::kMillisecond);

void BM_StyledTextMeasure10KB(benchmark::State& state) {
    Page page;
    const std::string text = TaggedText();
    for (auto _ : state) {
        StyledTextTarget target = page.Target();
        RECT extent{};
        MeasureStyledLine(target, text, &extent);
        if (extent.right <= extent.left) state.SkipWithError("nothing laid out");
    }
    state.counters["chars"] = benchmark::Counter(static_cast<double>(text.size()) *
                                                     static_cast<double>(state.iterations()),
                                                 benchmark::Counter::kIsRate);
}
BENCHMARK(BM_StyledTextMeasure10KB)->Unit(benchmark::kMillisecond);

// 1,000 Write calls of one character each, wrapping and scrolling as they go.
void BM_StyledTextWriteOneCharacterPerCall(benchmark::State& state) {
    Page page;
    const std::string text = TaggedText().substr(0, 1000);
    for (auto _ : state) {
        StyledTextTarget target = page.Target();
        for (char c : text)
            WriteStyledText(target, std::string_view(&c, 1));
        if (target.penX == 0 && target.penY == 0) state.SkipWithError("nothing written");
    }
    state.counters["chars"] = benchmark::Counter(static_cast<double>(text.size()) *
                                                     static_cast<double>(state.iterations()),
                                                 benchmark::Counter::kIsRate);
}
BENCHMARK(BM_StyledTextWriteOneCharacterPerCall)->Unit(benchmark::kMillisecond);

} // namespace
