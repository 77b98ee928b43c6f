#include "platform/gdi/text/draw_text_layout.h"

#include <algorithm>

namespace platform {
namespace {

constexpr int DEFAULT_TAB_LENGTH = 8;

int64_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

LONG ToLong(int64_t value) {
    return static_cast<LONG>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// A character as it shows: '&' marks are gone, the character after one is `prefixed`.
struct Item {
    unsigned char byte;
    bool prefixed;
    size_t source; // where it came from in the text
};

struct Settings {
    bool singleLine;
    bool wordBreak;
    bool expandTabs;
    bool prefixes;   // '&' marks are read
    bool underlines; // and underline their character
    bool editControl;
    bool endEllipsis;
    bool calc;
    bool stopAtBottom; // drawing ends at the rectangle's bottom
    int64_t tabWidth;
    int64_t leftMargin;
    int64_t rightMargin;
    int64_t room; // the width lines are broken to
};

Settings SettingsOf(const FontInstance& font, UINT& format, const RECT& rect,
                    const DRAWTEXTPARAMS* params) {
    int64_t tabLength = DEFAULT_TAB_LENGTH;
    if (format & DT_TABSTOP) {
        if (params != nullptr) {
            tabLength = params->iTabLength;
        } else {
            tabLength = format >> 8 & 0xFF;
            format &= ~0xFF00u;
        }
    }
    if (tabLength < 1) tabLength = DEFAULT_TAB_LENGTH;
    int64_t average = std::max<LONG>(1, font.Metrics().tmAveCharWidth);
    Settings s{};
    s.singleLine = (format & DT_SINGLELINE) != 0;
    s.wordBreak = (format & DT_WORDBREAK) && !s.singleLine;
    s.expandTabs = (format & DT_EXPANDTABS) != 0;
    s.prefixes = !(format & DT_NOPREFIX);
    s.underlines = s.prefixes && !(format & DT_HIDEPREFIX);
    s.editControl = (format & DT_EDITCONTROL) != 0;
    s.endEllipsis = (format & DT_END_ELLIPSIS) != 0;
    s.calc = (format & DT_CALCRECT) != 0;
    s.stopAtBottom = !s.calc && !(format & DT_NOCLIP);
    s.tabWidth = tabLength * average;
    s.leftMargin = params != nullptr ? params->iLeftMargin : 0;
    s.rightMargin = params != nullptr ? params->iRightMargin : 0;
    s.room = int64_t{rect.right} - rect.left - s.leftMargin - s.rightMargin;
    return s;
}

class LineMaker {
public:
    LineMaker(const FontInstance& font, const Settings& settings, std::string_view text)
        : font_(font), s_(settings), text_(text) {}

    // The advance of an item when the line has reached `x`.
    int64_t Width(const Item& item, int64_t x) const {
        if (item.byte == '\t' && s_.expandTabs)
            return (FloorDiv(x, s_.tabWidth) + 1) * s_.tabWidth - x;
        return font_.Advance(item.byte);
    }
    int64_t WidthOf(const std::vector<Item>& items, size_t from, size_t to) const {
        int64_t x = 0;
        for (size_t i = from; i < to; ++i)
            x += Width(items[i], x);
        return x;
    }

    // The items of text[from, to) with the '&' marks read.
    std::vector<Item> Items(size_t from, size_t to) const {
        std::vector<Item> items;
        items.reserve(to - from);
        for (size_t i = from; i < to; ++i) {
            unsigned char byte = static_cast<unsigned char>(text_[i]);
            if (s_.prefixes && byte == '&' && i + 1 < to) {
                ++i;
                byte = static_cast<unsigned char>(text_[i]);
                items.push_back(Item{byte, byte != '&', i});
                continue;
            }
            items.push_back(Item{byte, false, i});
        }
        return items;
    }

    // Cuts a line too wide to what fits before "...".
    void Ellipsize(std::vector<Item>& line) const {
        if (WidthOf(line, 0, line.size()) <= s_.room) return;
        int64_t dots = 3 * int64_t{font_.Advance('.')};
        size_t keep = 0;
        for (int64_t x = 0; keep < line.size(); ++keep) {
            int64_t width = Width(line[keep], x);
            if (x + width + dots > s_.room) break;
            x += width;
        }
        size_t source = keep < line.size() ? line[keep].source : 0;
        line.resize(keep);
        for (int i = 0; i < 3; ++i)
            line.push_back(Item{'.', false, source});
    }

    DrawTextLine Line(const std::vector<Item>& items) const {
        DrawTextLine line{};
        int64_t x = 0;
        bool newSegment = true;
        for (const Item& item : items) {
            int64_t width = Width(item, x);
            if (item.byte == '\t' && s_.expandTabs) {
                x += width;
                newSegment = true;
                continue;
            }
            if (newSegment) line.segments.push_back(DrawTextSegment{x, {}});
            newSegment = false;
            line.segments.back().text.push_back(static_cast<char>(item.byte));
            if (item.prefixed && s_.underlines) {
                line.prefixed = true;
                line.prefixLeft = x;
                line.prefixRight = x + width;
            }
            x += width;
        }
        line.width = x;
        return line;
    }

private:
    const FontInstance& font_;
    const Settings& s_;
    std::string_view text_;
};

} // namespace

DrawTextLayout LayOutDrawText(const FontInstance& font, std::string_view text, const RECT& rect,
                              UINT format, const DRAWTEXTPARAMS* params) {
    Settings s = SettingsOf(font, format, rect, params);
    LineMaker maker(font, s, text);
    DrawTextLayout layout;
    layout.clip = !(format & DT_NOCLIP);
    layout.glyphs = !(format & DT_PREFIXONLY);
    layout.lineHeight = font.Metrics().tmHeight +
                        ((format & DT_EXTERNALLEADING) ? font.Metrics().tmExternalLeading : 0);
    const int64_t lh = std::max<int64_t>(1, layout.lineHeight);
    // Where drawing puts the line of DT_SINGLELINE, measuring too: the rectangle found ends
    // at that line's bottom. Halves are truncated each, so an odd line in an even rectangle
    // sits nearer its bottom.
    int64_t firstTop = rect.top;
    if (s.singleLine) {
        if (format & DT_VCENTER)
            firstTop = rect.top + (int64_t{rect.bottom} - rect.top) / 2 - lh / 2;
        else if (format & DT_BOTTOM)
            firstTop = int64_t{rect.bottom} - lh;
    }

    bool stopped = false;
    size_t consumed = 0;
    // Takes a line unless drawing has ended; false once it has.
    auto emit = [&](std::vector<Item>& items, bool lastOfText, size_t next) {
        int64_t top = firstTop + static_cast<int64_t>(layout.lines.size()) * lh;
        if (s.stopAtBottom && s.editControl && !layout.lines.empty() && top + lh > rect.bottom) {
            stopped = true;
            return false;
        }
        if (s.endEllipsis && (!s.wordBreak || lastOfText)) maker.Ellipsize(items);
        DrawTextLine line = maker.Line(items);
        line.top = top;
        layout.lines.push_back(std::move(line));
        consumed = next;
        if (s.stopAtBottom && top + lh >= rect.bottom) stopped = true;
        return !stopped;
    };

    size_t pos = 0;
    const size_t n = text.size();
    if (s.singleLine) {
        std::vector<Item> items = maker.Items(0, n);
        emit(items, true, n);
        pos = n;
    }
    while (pos < n && !stopped) {
        size_t end = pos;
        while (end < n && text[end] != '\r' && text[end] != '\n')
            ++end;
        size_t next = end;
        if (next < n)
            next += (text[next] == '\r' && next + 1 < n && text[next + 1] == '\n') ? 2 : 1;
        const bool lastParagraph = next >= n;
        std::vector<Item> items = maker.Items(pos, end);
        const size_t m = items.size();
        auto sourceAt = [&](size_t i) { return i < m ? items[i].source : next; };
        if (!s.wordBreak || m == 0) {
            if (!emit(items, lastParagraph, next)) break;
            pos = next;
            continue;
        }
        size_t p = 0;
        while (p < m && !stopped) {
            int64_t x = 0;
            size_t i = p;
            size_t breakAt = m; // the first space after the line's last word that fits
            while (i < m) {
                int64_t width = maker.Width(items[i], x);
                if (x + width > s.room && i > p) break;
                if (items[i].byte == ' ' && i > p && items[i - 1].byte != ' ') breakAt = i;
                x += width;
                ++i;
            }
            size_t cut;
            if (i == m) {
                cut = m;
            } else if (items[i].byte == ' ') {
                cut = i;
            } else if (breakAt != m) {
                cut = breakAt;
            } else if (s.editControl) {
                cut = i;
            } else {
                cut = i;
                while (cut < m && items[cut].byte != ' ')
                    ++cut;
            }
            size_t resume = cut;
            while (resume < m && items[resume].byte == ' ')
                ++resume;
            while (cut > p && cut < m && items[cut - 1].byte == ' ')
                --cut;
            std::vector<Item> line(items.begin() + static_cast<ptrdiff_t>(p),
                                   items.begin() + static_cast<ptrdiff_t>(cut));
            if (!emit(line, lastParagraph && resume == m, sourceAt(resume))) break;
            p = resume;
        }
        pos = next;
    }
    if (!stopped) consumed = n;

    int64_t widest = 0;
    for (const DrawTextLine& line : layout.lines)
        widest = std::max(widest, line.width);
    layout.rect = rect;
    if (s.calc) {
        layout.rect.right = ToLong(rect.left + s.leftMargin + widest + s.rightMargin);
        layout.rect.bottom = ToLong(firstTop + static_cast<int64_t>(layout.lines.size()) * lh);
    }
    const RECT& box = layout.rect;
    for (DrawTextLine& line : layout.lines) {
        if (format & DT_CENTER)
            line.left =
                FloorDiv(box.left + s.leftMargin + box.right - s.rightMargin - line.width, 2);
        else if (format & DT_RIGHT)
            line.left = box.right - s.rightMargin - line.width;
        else
            line.left = box.left + s.leftMargin;
        for (DrawTextSegment& segment : line.segments)
            segment.x += line.left;
        line.prefixLeft += line.left;
        line.prefixRight += line.left;
    }
    layout.height = ToLong(firstTop + static_cast<int64_t>(layout.lines.size()) * lh - rect.top);
    layout.lengthDrawn = static_cast<UINT>(std::min<size_t>(consumed, UINT32_MAX));
    return layout;
}

TextPicture PictureOfLayout(const FontInstance& font, const DrawTextLayout& layout, GlyphKind kind,
                            const RECT& visible) {
    TextPicture picture;
    picture.kind = kind;
    RECT area = visible;
    if (layout.clip) {
        area.left = std::max(area.left, layout.rect.left);
        area.top = std::max(area.top, layout.rect.top);
        area.right = std::min(area.right, layout.rect.right);
        area.bottom = std::min(area.bottom, layout.rect.bottom);
    }
    if (area.left >= area.right || area.top >= area.bottom) return picture;
    const FontBar underline = font.Underline();
    for (const DrawTextLine& line : layout.lines) {
        if (line.top >= area.bottom || line.top + layout.lineHeight <= area.top) continue;
        if (layout.glyphs) {
            for (const DrawTextSegment& segment : line.segments)
                AddTextLine(picture, font, segment.text, segment.x, line.top, area);
        }
        if (line.prefixed) {
            int64_t top = line.top + font.Metrics().tmAscent + underline.top;
            AddBar(picture, line.prefixLeft, top, line.prefixRight, top + underline.height, area);
        }
    }
    return picture;
}

} // namespace platform
