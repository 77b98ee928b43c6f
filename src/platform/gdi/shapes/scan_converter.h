// GDI's figures and lines as pixels on a DIB in MM_TEXT: Rectangle, Ellipse, Polygon,
// Polyline and LineTo, as span lists clipped to a list of rectangles. Pure geometry: the
// caller fills the interior with its brush and the outline with its pen.
//
// Rules, for a box (l, t, r, b) given in either order:
// - A figure covers l .. r-1 and t .. b-1 with a one-pixel pen; with the null pen its
//   interior is one pixel smaller each way. An empty box draws nothing.
// - A pen w > 1 pixels wide covers c - w/2 ... c + (w-1)/2 across its path, whose corners
//   are pixel centres; Rectangle's path runs through (l, t) and (r-1, b-1). Joins and caps
//   are round. A width below 2 draws one pixel wide.
// - PS_INSIDEFRAME shrinks the box of Rectangle and Ellipse by w/2 at the top left and
//   (w-1)/2 at the bottom right, so the outline stays inside the box; a box narrower than
//   the pen is all outline. For polygons and lines it is a solid pen.
// - One-pixel lines leave out their last pixel; a polyline's segments meet end to start.
//   A line that does not move draws nothing, a figure that does not move one dot. A
//   rectangle of one pixel with a one-pixel pen draws nothing; one a pixel wide or high
//   draws its one-pixel line.
// - The interior is what the brush shows: never under the outline.
#pragma once

#include <cstdint>
#include <span>

#include "platform/gdi/shapes/clip_bands.h"
#include "platform/gdi/shapes/polygon_fill.h"
#include "platform/gdi/shapes/span_list.h"
#include "platform/user/window_geometry.h"

namespace platform {

// The pen styles figures know: PS_SOLID, PS_INSIDEFRAME and PS_NULL.
enum class PenKind { Solid, InsideFrame, Null };

struct ScanPen {
    PenKind kind = PenKind::Solid;
    int32_t width = 1;
};

struct FigureSpans {
    SpanList interior; // for the brush; empty when not filled
    SpanList outline;  // for the pen
};

// `filled` asks for the interior (the brush is not the null brush).
FigureSpans ScanRectangle(const RECT& box, const ScanPen& pen, bool filled, const ClipBands& clip);
FigureSpans ScanEllipse(const RECT& box, const ScanPen& pen, bool filled, const ClipBands& clip);
FigureSpans ScanPolygon(std::span<const POINT> points, PolyFillMode mode, const ScanPen& pen,
                        bool filled, const ClipBands& clip);
// Polyline; LineTo is the polyline from the current position to its point.
SpanList ScanPolyline(std::span<const POINT> points, const ScanPen& pen, const ClipBands& clip);

} // namespace platform
