// Styled text for any text, surface size, pen and font: the tag reader always moves on
// and covers its input, entities only shorten a run, every finished line keeps a
// character, and writing ends with the pen on the surface.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "classes/surface/styled_text.h"
#include "classes/surface/styled_text_entities.h"
#include "classes/surface/styled_text_lines.h"
#include "classes/surface/styled_text_tags.h"
#include "graphics2d/drawing/surface_handle.h"
#include "graphics2d/surfaces/surface_kinds.h"
#include "platform/display/headless_display.h"
#include "platform/gdi/text/text_out.h"

namespace {

class Marks : public StyledTextMarks {
public:
    explicit Marks(int32_t height) : height_(height) {}
    // Lines are drawn from a pen on the surface (a superscript may rise above it).
    void MarkStyledRect(const RECT& rect) override {
        if (rect.left >= rect.right || rect.top >= rect.bottom) std::abort();
        if (rect.top > height_) std::abort();
    }
    void MarkStyledScroll() override {}

private:
    int32_t height_;
};

void CheckTags(std::string_view text) {
    size_t cursor = 0;
    while (cursor < text.size()) {
        const size_t before = cursor;
        const StyledToken token = ParseTextTags(text, cursor, -16);
        if (cursor <= before || cursor > text.size()) std::abort();
        if (token.kind == kStyledText) {
            if (token.text.empty() || token.text != text.substr(before, cursor - before))
                std::abort();
            std::vector<uint32_t> origins;
            const std::string decoded = ReplaceEntities(token.text, &origins);
            if (decoded.size() > token.text.size() || origins.size() != decoded.size())
                std::abort();
            for (size_t i = 0; i < origins.size(); ++i)
                if (origins[i] >= token.text.size() || (i > 0 && origins[i] <= origins[i - 1]))
                    std::abort();
        } else if ((token.kind & kStyledSizeGiven) &&
                   (token.height >= 0 || token.height < -kStyledMaxHeight)) {
            std::abort();
        }
    }
}

void CheckLines(const std::vector<StyledRun>& runs, int32_t startX, int32_t width) {
    const std::vector<StyledLine> lines = SplitStyledLines(runs, startX, width, true, 16);
    if (lines.empty()) std::abort();
    size_t characters = 0;
    for (const StyledRun& run : runs)
        characters += run.text.size();
    if (lines.size() > characters + 1) std::abort();
    for (size_t i = 0; i + 1 < lines.size(); ++i)
        if (lines[i].empty) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    platform::headless::Install();
    RegisterSurfaceThread();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 6) return 0;
    const int32_t width = 1 + data[0];
    const int32_t height = 1 + data[1] % 64;
    const uint8_t flags = data[4];
    const int32_t penX = data[2] % (width + 1);
    const int32_t penY = data[3] % (height + 1);
    const std::string_view text(reinterpret_cast<const char*>(data + 6), size - 6);

    CheckTags(text);

    SurfaceHandle picture;
    picture.Create(width, height, GetPrototypeForDepth(flags & 1 ? 8 : 32));
    picture.FillRectAll(0xFFFFFF);
    LOGFONTA logFont{};
    logFont.lfHeight = -(6 + data[5] % 24);
    logFont.lfQuality = flags & 2 ? NONANTIALIASED_QUALITY : DEFAULT_QUALITY;
    std::strcpy(logFont.lfFaceName, "Arial");
    const HFONT font = CreateFontIndirectA(&logFont);

    {
        const HDC dc = picture.GetImpl()->GetDC();
        StyledRuns runs(dc, font, 0, text);
        CheckLines(runs.Runs(), penX, width);
        picture.GetImpl()->ReleaseDC(dc);
    }

    Marks marks(height);
    StyledTextTarget target;
    target.picture = &picture;
    target.font = font;
    target.penX = penX;
    target.penY = penY;
    target.wrapping = (flags & 4) == 0;
    target.drawMode = flags & 8 ? 1 : 0;
    target.drawLevel = 128;
    target.marks = &marks;
    RECT drawn{};
    switch (flags >> 4 & 3) {
    case 0:
        WriteStyledText(target, text, &drawn);
        break;
    case 1:
        WriteStyledLine(target, text, &drawn);
        break;
    default:
        MeasureStyledLine(target, text, &drawn);
        break;
    }
    if (target.penX < 0 || target.penX > width || target.penY < 0 || target.penY > height)
        std::abort();
    if (drawn.left > drawn.right || drawn.top > drawn.bottom) std::abort();
    DeleteObject(font);
    return 0;
}
