// Text of the layer's own windows (message boxes, later the standard controls): the
// system's user-interface font, a proportional sans-serif face at the classic 8 points of a
// 96-dpi screen, found through fontconfig and rendered anti-aliased by FreeType. Internal
// to the platform layer.
//
// Texts are Windows-1252. Rendered glyphs are cached for the life of the process. Any
// thread may measure; drawing goes through a window DC, so it belongs to the windows'
// thread. Without a usable font every character measures a fixed width and drawing draws
// nothing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi/screen_dc.h"

namespace platform {

// Without a font, each character is this wide and a line this high.
inline constexpr int FALLBACK_CHAR_WIDTH = 6;
inline constexpr int FALLBACK_LINE_HEIGHT = 13;

struct UiFontMetrics {
    int ascent;     // from a line's top to its base line
    int lineHeight; // from one line's top to the next's
};

// Whether a font was found and loaded (it is looked for at the first question).
bool UiFontAvailable();
UiFontMetrics UiFontLineMetrics();
// The advance of a line of text, in pixels.
int MeasureUiText(std::string_view text);
// The lines a text takes in `maxWidth` pixels: broken at each '\n' ("\r\n" counts as one),
// then between words, the spaces at a break dropped; a word wider than the width is
// broken between characters. An empty text is one empty line.
std::vector<std::string> WrapUiText(std::string_view text, int maxWidth);
// Draws one line with its top left corner at (x, top), in the DC's coordinates and within
// its clip, blending the glyphs' coverage into what is there.
void DrawUiText(HDC dc, int x, int top, std::string_view text, COLORREF color);

// Uses the font file at `path` from now on instead of fontconfig's choice; an empty path
// goes back to that choice, a file that is no font leaves none. For tests.
void SetUiFontFile(const std::string& path);

} // namespace platform
