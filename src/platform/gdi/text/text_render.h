// Text of the layer's own windows (message boxes, later the standard controls): drawn in
// DEFAULT_GUI_FONT through the DC's text calls, the one path every program's text takes.
// Internal to the platform layer.
//
// Texts are Windows-1252; control characters take the room of a space and show nothing.
// Any thread may measure; drawing goes through a window DC, so it belongs to the windows'
// thread. Without a usable font file the font's fallback measures (each character its
// average width) and nothing is drawn.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi/screen_dc.h"

namespace platform {

struct UiFontMetrics {
    int ascent;     // from a line's top to its base line
    int lineHeight; // from one line's top to the next's
};

// Whether a font file stands behind DEFAULT_GUI_FONT.
bool UiFontAvailable();
UiFontMetrics UiFontLineMetrics();
// The advance of a line of text, in pixels.
int MeasureUiText(std::string_view text);
// The lines a text takes in `maxWidth` pixels: broken at each '\n' ("\r\n" counts as one),
// then between words, the spaces at a break dropped; a word wider than the width is
// broken between characters. An empty text is one empty line.
std::vector<std::string> WrapUiText(std::string_view text, int maxWidth);
// Draws one line with its top left corner at (x, top), in the DC's coordinates and within
// its clip, in `color`; the DC's own state is left as it was.
void DrawUiText(HDC dc, int x, int top, std::string_view text, COLORREF color);

} // namespace platform
