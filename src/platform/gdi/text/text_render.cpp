#include "platform/gdi/text/text_render.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>

#include "platform/gdi/gdi_object.h"
#include "platform/gdi/text/font_instance.h"
#include "platform/gdi/text/text_out.h"

namespace platform {
namespace {

std::shared_ptr<const FontInstance> UiFont() {
    static const auto font = LookupObjectAs<Font>(GetStockObject(DEFAULT_GUI_FONT));
    return font->Instance();
}

// The text with its control characters as spaces.
std::string Shown(std::string_view text) {
    std::string shown(text);
    std::replace_if(
        shown.begin(), shown.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; },
        ' ');
    return shown;
}

// The lines of one paragraph (no '\n' inside).
void WrapParagraph(const FontInstance& font, std::string_view text, int maxWidth,
                   std::vector<std::string>& lines) {
    auto emit = [&](size_t from, size_t to) {
        while (to > from && text[to - 1] == ' ')
            --to;
        lines.emplace_back(text.substr(from, to - from));
    };
    auto advance = [&](size_t i) { return font.Advance(static_cast<unsigned char>(text[i])); };
    size_t end = text.size();
    size_t pos = 0;
    if (end == 0) lines.emplace_back();
    while (pos < end) {
        int64_t width = 0;
        size_t i = pos;
        size_t lastSpace = end;
        while (i < end && width + advance(i) <= maxWidth) {
            if (text[i] == ' ') lastSpace = i;
            width += advance(i);
            ++i;
        }
        size_t cut;
        if (i == end) {
            cut = end;
        } else if (text[i] == ' ') {
            cut = i;
        } else if (lastSpace != end && lastSpace > pos) {
            cut = lastSpace;
        } else {
            cut = std::max(i, pos + 1);
        }
        emit(pos, cut);
        pos = cut;
        while (pos < end && text[pos] == ' ')
            ++pos;
    }
}

} // namespace

bool UiFontAvailable() {
    return UiFont()->HasFace();
}

UiFontMetrics UiFontLineMetrics() {
    const TEXTMETRICA& tm = UiFont()->Metrics();
    return UiFontMetrics{tm.tmAscent, tm.tmHeight};
}

int MeasureUiText(std::string_view text) {
    return static_cast<int>(std::min<int64_t>(UiFont()->Extent(Shown(text)), INT_MAX));
}

std::vector<std::string> WrapUiText(std::string_view text, int maxWidth) {
    std::shared_ptr<const FontInstance> font = UiFont();
    std::vector<std::string> lines;
    size_t start = 0;
    while (true) {
        size_t newline = text.find('\n', start);
        size_t end = newline == std::string_view::npos ? text.size() : newline;
        std::string_view paragraph = text.substr(start, end - start);
        if (!paragraph.empty() && paragraph.back() == '\r') paragraph.remove_suffix(1);
        WrapParagraph(*font, Shown(paragraph), maxWidth, lines);
        if (newline == std::string_view::npos) break;
        start = newline + 1;
    }
    return lines;
}

void DrawUiText(HDC dc, int x, int top, std::string_view text, COLORREF color) {
    std::string shown = Shown(text.substr(0, std::min<size_t>(text.size(), INT_MAX)));
    int saved = SaveDC(dc);
    if (saved == 0) return;
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetTextColor(dc, color);
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    TextOutA(dc, x, top, shown.data(), static_cast<int>(shown.size()));
    RestoreDC(dc, saved);
}

} // namespace platform
