#include "platform/controls/rich_edit/rich_layout.h"

#include <algorithm>
#include <cstring>

#include "platform/gdi/bitmaps/bitmaps.h"
#include "platform/gdi/bitmaps/blits.h"
#include "platform/gdi/screen_dc.h"

namespace platform {

namespace {

// Walks the characters of a document from a position with the face each shows in.
class CharWalk {
public:
    CharWalk(const RichText& document, const RichRanges& urls, RichFonts& fonts, int position)
        : document_(document), urls_(urls), fonts_(fonts), position_(position) {
        const std::vector<RichRun>& runs = document.Runs();
        runEnd_ = 0;
        while (run_ < runs.size() && runEnd_ + runs[run_].length <= position) {
            runEnd_ += runs[run_].length;
            ++run_;
        }
        if (run_ < runs.size()) runEnd_ += runs[run_].length;
        url_ = static_cast<size_t>(std::lower_bound(urls.begin(), urls.end(), position,
                                                    [](const std::pair<int, int>& range, int at) {
                                                        return range.second <= at;
                                                    }) -
                                   urls.begin());
        Refresh();
    }

    bool AtEnd() const { return position_ >= document_.Length(); }
    int Position() const { return position_; }
    char Char() const { return document_.Text()[static_cast<size_t>(position_)]; }
    const RichFonts::Face& Face() const { return *face_; }
    const RichObject* Object() const { return object_; }
    int ObjectHeight() const { return RichPixels(object_->height, fonts_.Dpi()); }
    // Counts the changes of run or link: characters of one segment share one format.
    int Segment() const { return segment_; }
    int Width() const {
        if (object_ != nullptr) return RichPixels(object_->width, fonts_.Dpi());
        return face_->widths[static_cast<unsigned char>(Char())];
    }

    void Next() {
        ++position_;
        bool changed = false;
        const std::vector<RichRun>& runs = document_.Runs();
        if (position_ >= runEnd_ && run_ + 1 < runs.size()) {
            ++run_;
            runEnd_ += runs[run_].length;
            changed = true;
        }
        if (url_ < urls_.size() &&
            (position_ == urls_[url_].first || position_ == urls_[url_].second)) {
            if (position_ == urls_[url_].second) ++url_;
            changed = true;
        }
        if (changed) Refresh();
    }

private:
    void Refresh() {
        ++segment_;
        const std::vector<RichRun>& runs = document_.Runs();
        if (runs.empty()) {
            face_ = &fonts_.For(RichFormat{});
            object_ = nullptr;
            return;
        }
        object_ = runs[std::min(run_, runs.size() - 1)].object.get();
        bool url =
            url_ < urls_.size() && position_ >= urls_[url_].first && position_ < urls_[url_].second;
        face_ = &fonts_.For(ShownFormat(runs[std::min(run_, runs.size() - 1)].format, url));
    }

    const RichText& document_;
    const RichRanges& urls_;
    RichFonts& fonts_;
    int position_;
    size_t run_ = 0;
    int runEnd_ = 0;
    size_t url_ = 0;
    int segment_ = 0;
    const RichFonts::Face* face_ = nullptr;
    const RichObject* object_ = nullptr;
};

// A picture drawn over `paint.background` where it is not opaque, or the frame of one that
// is not shown.
void DrawObject(HDC dc, const RichObject& object, const RECT& box, COLORREF background) {
    if (!object.Shown()) {
        FrameRect(dc, &box, GetSysColorBrush(COLOR_WINDOWTEXT));
        return;
    }
    std::vector<uint32_t> pixels = object.pixels;
    uint32_t under[3] = {background & 0xFF, background >> 8 & 0xFF, background >> 16 & 0xFF};
    // The DC's pixels carry nothing in their top byte.
    for (uint32_t& pixel : pixels) {
        uint32_t alpha = pixel >> 24;
        if (alpha == 0xFF) {
            pixel &= 0xFFFFFF;
            continue;
        }
        uint32_t mixed = 0;
        for (int channel = 0; channel < 3; ++channel) {
            uint32_t over = pixel >> (16 - 8 * channel) & 0xFF;
            uint32_t value = (over * alpha + under[channel] * (255 - alpha) + 127) / 255;
            mixed |= value << (16 - 8 * channel);
        }
        pixel = mixed;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = object.pixelWidth;
    info.bmiHeader.biHeight = -object.pixelHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    StretchDIBits(dc, box.left, box.top, box.right - box.left, box.bottom - box.top, 0, 0,
                  object.pixelWidth, object.pixelHeight, pixels.data(), &info, DIB_RGB_COLORS,
                  SRCCOPY);
}

int NextTab(int x, int tab) {
    return (x / tab + 1) * tab;
}

bool Breaks(char c) {
    return c == '\r' || c == '\v';
}

} // namespace

int RichPixels(int twips, int dpi) {
    return static_cast<int>((static_cast<int64_t>(twips) * dpi + 720) / 1440);
}

RichFonts::RichFonts(int dpi) : dpi_(std::max(dpi, 1)), measure_(CreateCompatibleDC(0)) {}

RichFonts::~RichFonts() {
    for (auto& [key, face] : faces_)
        DeleteObject(face->font);
    if (measure_ != 0) DeleteDC(measure_);
}

const RichFonts::Face& RichFonts::For(const RichFormat& format) {
    uint32_t effects = format.effects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT);
    auto key = std::make_tuple(format.face, format.height, effects);
    auto found = faces_.find(key);
    if (found != faces_.end()) return *found->second;
    LOGFONTA logFont{};
    int64_t pixels = (static_cast<int64_t>(format.height) * dpi_ + 720) / 1440;
    logFont.lfHeight = -static_cast<LONG>(std::clamp<int64_t>(pixels, 1, 4096));
    logFont.lfWeight = (effects & CFE_BOLD) ? 700 : 400;
    logFont.lfItalic = (effects & CFE_ITALIC) ? 1 : 0;
    logFont.lfUnderline = (effects & CFE_UNDERLINE) ? 1 : 0;
    logFont.lfStrikeOut = (effects & CFE_STRIKEOUT) ? 1 : 0;
    std::strncpy(logFont.lfFaceName, format.face.c_str(), LF_FACESIZE - 1);
    auto face = std::make_unique<Face>();
    face->font = CreateFontIndirectA(&logFont);
    HGDIOBJ old = SelectObject(measure_, face->font);
    TEXTMETRICA metrics{};
    GetTextMetricsA(measure_, &metrics);
    face->ascent = metrics.tmAscent;
    face->descent = std::max(static_cast<int>(metrics.tmHeight - metrics.tmAscent), 0);
    for (int c = 0; c < 256; ++c) {
        char one = static_cast<char>(c);
        SIZE size{};
        GetTextExtentPoint32A(measure_, &one, 1, &size);
        face->widths[static_cast<size_t>(c)] = size.cx;
    }
    SelectObject(measure_, old);
    return *faces_.emplace(key, std::move(face)).first->second;
}

RichFormat ShownFormat(RichFormat format, bool url) {
    if (url || (format.effects & CFE_LINK)) {
        format.effects = (format.effects | CFE_UNDERLINE) & ~CFE_AUTOCOLOR;
        format.color = kRichLinkColor;
    }
    return format;
}

std::vector<RichLine> LayoutRich(const RichText& document, const RichRanges& urls, int from, int to,
                                 int width, RichFonts& fonts, const RichFormat& empty) {
    struct Cell {
        int width;
        int ascent;
        int descent;
    };
    std::vector<RichLine> lines;
    const std::vector<RichAlign>& aligns = document.Alignments();
    from = std::clamp(from, 0, document.Length());
    to = std::clamp(to, from, document.Length());
    int paragraph = document.ParagraphOf(from);
    CharWalk walk(document, urls, fonts, from);
    std::vector<Cell> cells;
    RichLine line{from, from, from, 0, 0, 0, aligns[static_cast<size_t>(paragraph)]};
    int lastSpace = -1;
    auto finish = [&](int end, int next) {
        int ascent = 0, descent = 0, x = 0;
        for (size_t i = 0; i < cells.size(); ++i) {
            ascent = std::max(ascent, cells[i].ascent);
            descent = std::max(descent, cells[i].descent);
            if (static_cast<int>(i) < end - line.start) x += cells[i].width;
        }
        if (cells.empty()) {
            const RichFonts::Face& face =
                fonts.For(document.FormatAt(std::max(line.start - 1, 0), empty));
            ascent = face.ascent;
            descent = face.descent;
        }
        line.end = end;
        line.next = next;
        line.ascent = ascent;
        line.height = std::max(ascent + descent, 1);
        line.width = x;
        lines.push_back(line);
        line = RichLine{next, next, next, 0, 0, 0, aligns[static_cast<size_t>(paragraph)]};
        cells.clear();
        lastSpace = -1;
    };
    int x = 0;
    for (; !walk.AtEnd() && walk.Position() < to; walk.Next()) {
        int at = walk.Position();
        char c = walk.Char();
        const RichFonts::Face& face = walk.Face();
        if (Breaks(c)) {
            cells.push_back(Cell{0, face.ascent, face.descent});
            finish(at, at + 1);
            if (c == '\r') {
                ++paragraph;
                line.align = aligns[static_cast<size_t>(paragraph)];
            }
            x = 0;
            continue;
        }
        bool object = walk.Object() != nullptr;
        int advance = c == '\t' ? NextTab(x, fonts.TabWidth()) - x : walk.Width();
        if (x + advance > width && at > line.start && (c != ' ' || object)) {
            int cut = lastSpace > line.start ? lastSpace : at;
            std::vector<Cell> carried(cells.begin() + (cut - line.start), cells.end());
            cells.resize(static_cast<size_t>(cut - line.start));
            finish(cut, cut);
            cells = std::move(carried);
            x = 0;
            for (const Cell& cell : cells)
                x += cell.width;
        }
        if (object)
            cells.push_back(Cell{advance, walk.ObjectHeight(), 0});
        else
            cells.push_back(Cell{advance, face.ascent, face.descent});
        x += advance;
        if (c == ' ' && !object) lastSpace = at + 1;
    }
    int end = walk.Position();
    finish(end, end);
    return lines;
}

int RichLineX(const RichText& document, const RichRanges& urls, const RichLine& line, int position,
              RichFonts& fonts) {
    int x = 0;
    for (CharWalk walk(document, urls, fonts, line.start);
         !walk.AtEnd() && walk.Position() < std::min(position, line.end); walk.Next())
        x = walk.Char() == '\t' ? NextTab(x, fonts.TabWidth()) : x + walk.Width();
    return x;
}

int RichLinePosition(const RichText& document, const RichRanges& urls, const RichLine& line, int x,
                     RichFonts& fonts) {
    int at = 0;
    for (CharWalk walk(document, urls, fonts, line.start);
         !walk.AtEnd() && walk.Position() < line.end; walk.Next()) {
        int next = walk.Char() == '\t' ? NextTab(at, fonts.TabWidth()) : at + walk.Width();
        if (x < (at + next) / 2) return walk.Position();
        at = next;
    }
    return line.end;
}

int RichLineLeft(const RichLine& line, int width) {
    int room = width - line.width;
    if (room <= 0 || line.align == RichAlign::Left) return 0;
    return line.align == RichAlign::Right ? room : room / 2;
}

void DrawRichLine(HDC dc, const RichText& document, const RichRanges& urls, const RichLine& line,
                  int left, int top, RichFonts& fonts, const RichPaint& paint) {
    const std::string& text = document.Text();
    int x = left;
    CharWalk walk(document, urls, fonts, line.start);
    while (!walk.AtEnd() && walk.Position() < line.end) {
        int start = walk.Position();
        bool selected = start >= paint.selectionStart && start < paint.selectionEnd;
        if (const RichObject* object = walk.Object()) {
            int width = walk.Width(), height = walk.ObjectHeight();
            RECT box{x, top + line.ascent - height, x + width, top + line.ascent};
            DrawObject(dc, *object, box, paint.background);
            if (selected) PatBlt(dc, box.left, box.top, width, height, DSTINVERT);
            x += width;
            walk.Next();
            continue;
        }
        // One piece: characters of one face, on one side of the selection, without tabs.
        const RichFonts::Face* face = &walk.Face();
        int segment = walk.Segment();
        RichFormat format = document.FormatAt(start, RichFormat{});
        bool url = false;
        for (const auto& range : urls)
            if (start >= range.first && start < range.second) url = true;
        format = ShownFormat(format, url);
        int pieceX = x;
        if (walk.Char() == '\t') {
            x = left + NextTab(x - left, fonts.TabWidth());
            walk.Next();
        } else {
            while (!walk.AtEnd() && walk.Position() < line.end && walk.Segment() == segment &&
                   walk.Char() != '\t' &&
                   (walk.Position() >= paint.selectionStart &&
                    walk.Position() < paint.selectionEnd) == selected) {
                x += walk.Width();
                walk.Next();
            }
        }
        int end = walk.Position();
        if (selected) {
            RECT area{pieceX, top, x, top + line.height};
            FillRect(dc, &area, GetSysColorBrush(COLOR_HIGHLIGHT));
        }
        if (text[static_cast<size_t>(start)] == '\t') continue;
        COLORREF color =
            (format.effects & CFE_AUTOCOLOR) ? GetSysColor(COLOR_WINDOWTEXT) : format.color;
        if (paint.grey) color = GetSysColor(COLOR_GRAYTEXT);
        if (selected) color = GetSysColor(COLOR_HIGHLIGHTTEXT);
        SetTextColor(dc, color);
        HGDIOBJ old = SelectObject(dc, face->font);
        std::string shown =
            text.substr(static_cast<size_t>(start), static_cast<size_t>(end - start));
        if (paint.password) std::fill(shown.begin(), shown.end(), '*');
        TextOutA(dc, pieceX, top + line.ascent - face->ascent, shown.data(),
                 static_cast<int>(shown.size()));
        SelectObject(dc, old);
    }
}

} // namespace platform
