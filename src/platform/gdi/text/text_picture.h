// Text turned into what a device draws: glyph masks at their places and the rectangles of
// underlines and strike-outs, all in the text colour. TextOutA and ExtTextOutA draw one
// line of it; DrawTextExA a picture of its layout (draw_text_layout.h).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "platform/gdi/text/font_instance.h"

namespace platform {

struct PlacedGlyph {
    LONG x; // the mask's top left corner
    LONG y;
    const GlyphBitmap* mask; // owned by the font instance, alive as long as it is
    unsigned char character;
    LONG penX; // where the pen stood on the base line
    LONG penY;
};

struct TextPicture {
    GlyphKind kind = GlyphKind::Grey;
    std::vector<PlacedGlyph> glyphs;
    std::vector<RECT> bars; // underlines and strike-outs, never empty rectangles
};

// Adds one line of Windows-1252 text whose cell has its top left corner at (x, top), in the
// picture's glyph kind. `dx`, when not empty, gives the advance after each character in
// place of the font's (ExtTextOutA's spacing; characters beyond it take the font's). Only
// glyphs meeting `visible` are added and bars are cut to it, so the cost follows what can
// show, not the coordinates. The font's underline and strike-out run under the whole line.
// Returns the pen's x after the line.
int64_t AddTextLine(TextPicture& picture, const FontInstance& font, std::string_view text,
                    int64_t x, int64_t top, const RECT& visible, std::span<const INT> dx = {});

// Adds the part of a rectangle (half-open, 64-bit) inside `visible` as a bar.
void AddBar(TextPicture& picture, int64_t left, int64_t top, int64_t right, int64_t bottom,
            const RECT& visible);

} // namespace platform
