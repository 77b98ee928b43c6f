// Styled text: the text output of surfaces and windows. A text carries a few HTML-like tags
// (FONT with FACE, COLOR and SIZE; B, STRONG, I, EM, U, STRIKE, TT, SMALL, BIG, SUP, SUB and
// their closing tags) and character entities; it is written at a pen position with a pen
// colour and a font, wrapped at the right edge when wrapping is on, and the picture scrolls
// up like a console when a new line would pass the bottom edge.
//
// Tags do not carry over between calls: every call starts from the target's font and pen
// colour, and the target's pen colour is never changed. Within one call the style carries
// over from one line to the next.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/gdi/gdi_objects.h"

class SurfaceHandle;

// What a styled-text call tells its surface before it changes the picture. A locked surface
// passes none: it marks nothing.
class StyledTextMarks {
public:
    // A line is about to be drawn in `rect` (surface coordinates, clipped to nothing):
    // mark it dirty and lift the sprites over it.
    virtual void MarkStyledRect(const RECT& rect) = 0;
    // The whole picture is about to scroll up: mark all of it and lift every sprite.
    virtual void MarkStyledScroll() = 0;

protected:
    ~StyledTextMarks() = default;
};

// The surface state a styled-text call reads, and the pen position it moves.
struct StyledTextTarget {
    // The picture written on and measured with (its device context); without one, or
    // without a device context, nothing is drawn and every text measures 0 x 0.
    SurfaceHandle* picture = nullptr;
    // The surface's current font, where every call starts.
    HFONT font = 0;
    int32_t penX = 0;
    int32_t penY = 0;
    // COLORREF (0x00BBGGRR).
    uint32_t penColour = 0;
    // Fills the band that scrolling frees at the bottom.
    uint32_t background = 0xFFFFFF;
    bool wrapping = true;
    // The raster effect of the text: the surface's draw mode, level and anti-aliasing.
    int32_t drawMode = 0;
    uint32_t drawLevel = 0;
    int32_t antiAlias = 0;
    StyledTextMarks* marks = nullptr;
};

// Write: the text at the pen position, wrapped at the right edge when wrapping is on. The pen
// ends after the text (at the start of a new line when the text reached the right edge with
// wrapping on). `drawn`, when given, receives the rectangle covering every line laid out,
// in the picture's coordinates at the end of the call (lines a scroll moved up included);
// empty (all 0) for an empty text.
void WriteStyledText(StyledTextTarget& target, std::string_view text, RECT* drawn = nullptr);

// WriteLn of one string: as WriteStyledText, then the pen moves to x = 0 of the next line.
// An empty text only starts a new line, the height of the current font.
void WriteStyledLine(StyledTextTarget& target, std::string_view text, RECT* drawn = nullptr);

// WriteStyledLine without drawing, marking or scrolling: the pen moves as it would, and
// `extent` (when given) receives what would have been covered.
void MeasureStyledLine(StyledTextTarget& target, std::string_view text, RECT* extent = nullptr);
