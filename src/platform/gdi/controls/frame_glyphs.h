// The small pictures on frame controls, as span lists in the control's coordinates (not
// clipped): arrows, check marks, caption symbols, discs and the size grip, drawn as the
// classic look draws them at its usual sizes. Internal to the GDI.
#pragma once

#include "platform/gdi/shapes/span_list.h"
#include "platform/user/window_geometry.h"

namespace platform::glyphs {

enum class Direction { Up, Down, Left, Right };

// The largest square centred in `r`.
RECT Square(const RECT& r);
// `r`'s rows as spans, appended.
void AddRect(SpanList& out, LONG left, LONG top, LONG right, LONG bottom);
// `spans` moved by (dx, dy).
SpanList Moved(const SpanList& spans, int dx, int dy);

// A solid triangle pointing one way, centred in `box`: `size` rows (columns) of 1, 3,
// 5 ... pixels.
SpanList Arrow(const RECT& box, Direction direction, LONG size);
// The size of a scroll-bar arrow on a button: 4 on the usual 16 pixels.
LONG ScrollArrowSize(const RECT& button);
// The seven-column tick, three pixels tall in each column, its corner at (x, y).
SpanList Tick(LONG x, LONG y);
// The disc filling `box`, as Ellipse draws it with a one-pixel pen.
SpanList Disc(const RECT& box);
// `box`'s disc less the disc of `box` shrunk by one on each side, in two halves split
// along the diagonal from its bottom-left to its top-right corner (the upper half of
// that diagonal goes with the top-left).
void Ring(const RECT& box, SpanList& topLeft, SpanList& bottomRight);

// The symbols of caption buttons, centred in `box`.
SpanList CloseCross(const RECT& box);
SpanList MinimizeBar(const RECT& box);
SpanList MaximizeBox(const RECT& box);
// Two windows, the front one hiding part of the back one.
SpanList RestoreBoxes(const RECT& box);
SpanList HelpMark(const RECT& box);

// The diagonal ridges of a size grip in the bottom-right (or bottom-left) corner of
// `box`: their light and shadow lines.
void SizeGrip(const RECT& box, bool mirrored, SpanList& light, SpanList& shadow);

} // namespace platform::glyphs
