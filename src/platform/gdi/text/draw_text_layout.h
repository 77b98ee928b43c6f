// DrawTextExA's layout: which characters go on which line, where, and how much room they
// take, measured with a font instance. DrawTextExA (and DrawTextA, which passes no
// DRAWTEXTPARAMS) lays the text out, then either reports the rectangle (DT_CALCRECT) or
// draws PictureOfLayout.
//
// Lines break at CR LF, LF or CR (unless DT_SINGLELINE), and under DT_WORDBREAK after the
// last space that fits, the spaces at a break dropped. A word wider than the line stays
// whole (drawing clips it), except under DT_EDITCONTROL, which breaks it between
// characters. Every line takes at least one character, so layout always ends. A text
// ending in a line break has no empty line after it.
//
// Tabs (DT_EXPANDTABS) go to the next multiple of the tab length, in average character
// widths from the line's start: DRAWTEXTPARAMS' iTabLength under DT_TABSTOP, else 8; a
// length below 1 is 8. Without DRAWTEXTPARAMS, DT_TABSTOP reads the tab length from bits
// 8-15 of the format, which then are no flags. Margins are in logical units.
//
// '&' marks the next character for an underline ("&&" is one '&'); of several on a line
// the last is underlined. DT_NOPREFIX shows '&' as it is, DT_HIDEPREFIX drops the marks
// without underlines, DT_PREFIXONLY draws the underlines alone. DT_END_ELLIPSIS ends a
// line too wide with "..." (under DT_WORDBREAK only the text's last line; other words
// too wide are clipped). DT_VCENTER and DT_BOTTOM apply to DT_SINGLELINE; DT_CALCRECT
// places the line as drawing in the rectangle given would, and the rectangle it gives ends
// at that line's bottom (so a centred line drawn in it sits higher).
//
// Drawing stops after the first line that reaches the rectangle's bottom (unless
// DT_NOCLIP); DT_EDITCONTROL drops that line when it shows only in part and is not the
// first. DT_CALCRECT lays out every line as drawing in the same rectangle would and gives
// the rectangle that holds them, widened for a word wider than the line; the lines are
// placed within that rectangle, as drawing into it places them unless such a word lets
// the wider lines take more words.
//
// DT_PATH_ELLIPSIS, DT_WORD_ELLIPSIS, DT_MODIFYSTRING, DT_RTLREADING and DT_INTERNAL are
// not supported and change nothing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi/text/font_instance.h"
#include "platform/gdi/text/text_picture.h"

namespace platform {

// Characters drawn together from `x`, between tabs.
struct DrawTextSegment {
    int64_t x;
    std::string text; // Windows-1252, without tabs or '&' marks
};

struct DrawTextLine {
    int64_t top;   // of the line's cell
    int64_t left;  // where the line starts
    int64_t width; // its advance, tabs included
    std::vector<DrawTextSegment> segments;
    bool prefixed = false; // a character underlined from prefixLeft to prefixRight
    int64_t prefixLeft = 0;
    int64_t prefixRight = 0;
};

struct DrawTextLayout {
    std::vector<DrawTextLine> lines;
    RECT rect{};          // under DT_CALCRECT the rectangle found, else the one given
    int height = 0;       // DrawTextExA's answer: from the rectangle's top to the text's bottom
    UINT lengthDrawn = 0; // DRAWTEXTPARAMS' uiLengthDrawn
    bool clip = true;     // drawing keeps inside `rect`
    bool glyphs = true;   // the characters are drawn (not under DT_PREFIXONLY)
    int64_t lineHeight = 0;
};

// Lays out `text` (Windows-1252, its length already resolved) in `rect` with DrawTextExA's
// `format`; `params` may be null.
DrawTextLayout LayOutDrawText(const FontInstance& font, std::string_view text, const RECT& rect,
                              UINT format, const DRAWTEXTPARAMS* params);

// What drawing the layout shows within `visible` (the DC's clip), in `kind` of glyphs.
TextPicture PictureOfLayout(const FontInstance& font, const DrawTextLayout& layout, GlyphKind kind,
                            const RECT& visible);

} // namespace platform
