// How a rich-edit document is measured into lines and drawn, at the resolution of the DC it
// goes to: the control's window and EM_FORMATRANGE share it. Link text (CFE_LINK, or a
// detected URL) shows underlined in the link colour. A picture or object stands on the
// baseline at its size in the DC's pixels.
#pragma once

#include <array>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/controls/controls.h"
#include "platform/controls/rich_edit/rich_text.h"

namespace platform {

inline constexpr COLORREF kRichLinkColor = 0x00FF0000; // blue

// Ranges [first, second) of detected URLs, ordered and apart.
using RichRanges = std::vector<std::pair<int, int>>;

// The fonts of the formats met so far at one resolution (pixels per inch).
class RichFonts {
public:
    struct Face {
        HFONT font = 0;
        std::array<int, 256> widths{};
        int ascent = 0;
        int descent = 0;
    };
    explicit RichFonts(int dpi);
    ~RichFonts();
    RichFonts(const RichFonts&) = delete;
    RichFonts& operator=(const RichFonts&) = delete;

    const Face& For(const RichFormat& format);
    int Dpi() const { return dpi_; }
    int TabWidth() const { return std::max(dpi_ / 2, 1); }

private:
    int dpi_;
    HDC measure_ = 0;
    std::map<std::tuple<std::string, int, uint32_t>, std::unique_ptr<Face>> faces_;
};

// Twips as pixels at `dpi`.
int RichPixels(int twips, int dpi);

// The format a character shows in: links underlined in the link colour.
RichFormat ShownFormat(RichFormat format, bool url);

struct RichLine {
    int start = 0; // first character
    int end = 0;   // after the last one shown (a paragraph end or line break is not)
    int next = 0;  // where the next line starts
    int height = 0;
    int ascent = 0;
    int width = 0;
    RichAlign align = RichAlign::Left;
};

// The lines of [from, to), wrapped at `width` pixels after the last space that fits (or
// within a word longer than the line). An empty document still has one line.
std::vector<RichLine> LayoutRich(const RichText& document, const RichRanges& urls, int from, int to,
                                 int width, RichFonts& fonts, const RichFormat& empty);

// The x of `position` on its line, from the line's left edge; and the position nearest x.
int RichLineX(const RichText& document, const RichRanges& urls, const RichLine& line, int position,
              RichFonts& fonts);
int RichLinePosition(const RichText& document, const RichRanges& urls, const RichLine& line, int x,
                     RichFonts& fonts);
// Where the line starts within `width`, by its alignment.
int RichLineLeft(const RichLine& line, int width);

struct RichPaint {
    int selectionStart = 0;
    int selectionEnd = 0;
    bool grey = false;
    bool password = false;
    COLORREF background = 0xFFFFFF; // what shows through a picture's transparent parts
};

// Draws one line with its top left corner at (left, top), the DC's background mode
// transparent; a selection is filled in the highlight colour, a selected picture or object
// inverted.
void DrawRichLine(HDC dc, const RichText& document, const RichRanges& urls, const RichLine& line,
                  int left, int top, RichFonts& fonts, const RichPaint& paint);

} // namespace platform
