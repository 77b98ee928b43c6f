// Fonts as GDI objects and the text calls of a DC: metrics and extents of its selected font,
// TextOutA, ExtTextOutA and DrawTextExA. Text is Windows-1252 and drawn through the DC's
// device in its text colour, at its window origin and within its clip: grey glyphs blend
// on targets above 8 bits and are solid on 8- and 1-bit ones. Coordinates are logical.
#pragma once

#include "platform/gdi/dc_state.h"
#include "platform/gdi/text/font_types.h"

struct SIZE {
    LONG cx;
    LONG cy;
};

// ExtTextOutA's options.
inline constexpr UINT ETO_OPAQUE = 0x0002;
inline constexpr UINT ETO_CLIPPED = 0x0004;

// A font object holding a copy of `font` as given; 0 (ERROR_INVALID_PARAMETER) for null.
HFONT CreateFontIndirectA(const LOGFONTA* font);

// The selected font's metrics; FALSE for a dead DC or a null pointer.
BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics);
// The 212-byte record of 32-bit Windows followed by its names (font_outline_metrics.h),
// little-endian: with a null `buffer` the size it takes, else the bytes written (at most
// `size`). 0 for a dead DC or a font without an outline face.
UINT GetOutlineTextMetricsA(HDC dc, UINT size, void* buffer);
// The advance of `count` characters and the font's height.
BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int count, SIZE* size);
// As GetTextExtentPoint32A; `fit` (when given) gets how many characters from the start fit
// in `maxExtent`, `dx` (when given, `count` elements) the extent after each character.
BOOL GetTextExtentExPointA(HDC dc, LPCSTR text, int count, int maxExtent, int* fit, int* dx,
                           SIZE* size);

// One line at (x, y), placed by the DC's text alignment (TA_UPDATECP: from the current
// position, which moves along). With OPAQUE background mode the text's cell is filled in the
// background colour first.
BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int count);
// As TextOutA. ETO_OPAQUE fills `rect` in the background colour, ETO_CLIPPED keeps the text
// inside it; `dx` (when given, `count` elements) is the advance after each character.
BOOL ExtTextOutA(HDC dc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT count,
                 const INT* dx);

// Formatted text in `rect` (draw_text_layout.h has the flags); a `count` of -1 reads up to
// the text's NUL. The height of the text (one line's for an empty text read to its NUL,
// 0 for a count of 0), 0 on failure; DT_CALCRECT writes the rectangle the text takes into
// `rect` and draws nothing. `params`, when given, needs cbSize 20.
int DrawTextExA(HDC dc, LPCSTR text, int count, RECT* rect, UINT format, DRAWTEXTPARAMS* params);
int DrawTextA(HDC dc, LPCSTR text, int count, RECT* rect, UINT format);
