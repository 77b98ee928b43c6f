#include "platform/gdi/shapes/scan_converter.h"

#include <algorithm>
#include <vector>

#include "platform/gdi/shapes/ellipse_spans.h"
#include "platform/gdi/shapes/thin_line.h"
#include "platform/gdi/shapes/wide_line.h"

namespace platform {
namespace {

using scan::EllipseRows;
using scan::Point64;

int64_t PenWidth(const ScanPen& pen) {
    return std::max<int64_t>(pen.width, 1);
}

struct Box {
    int64_t left, top, right, bottom;

    bool Empty() const { return right <= left || bottom <= top; }
};

Box Normalized(const RECT& r) {
    return Box{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
               std::max(r.top, r.bottom)};
}

// The box whose outline, drawn with a centred pen, stays inside `box`.
Box InsideFrame(const Box& box, int64_t width) {
    return Box{box.left + width / 2, box.top + width / 2, box.right - (width - 1) / 2,
               box.bottom - (width - 1) / 2};
}

bool TooSmallForPen(const Box& box, int64_t width) {
    return box.right - box.left < width || box.bottom - box.top < width;
}

std::vector<Point64> Widen(std::span<const POINT> points) {
    std::vector<Point64> wide;
    wide.reserve(points.size());
    for (const POINT& p : points)
        wide.push_back(Point64{p.x, p.y});
    return wide;
}

void ClipRows(const ClipBands& clip, int64_t top, int64_t bottom, int64_t& first, int64_t& end) {
    first = std::max<int64_t>(top, clip.Bounds().top);
    end = std::min<int64_t>(bottom, clip.Bounds().bottom);
}

// Room for a span a row (rows already cut to the clip).
size_t Rows(int64_t first, int64_t end) {
    return end > first ? static_cast<size_t>(end - first) : 0;
}

SpanList RectangleSpans(const Box& box, const ClipBands& clip) {
    SpanList spans;
    int64_t first, end;
    ClipRows(clip, box.top, box.bottom, first, end);
    spans.reserve(Rows(first, end));
    for (int64_t y = first; y < end; ++y)
        clip.Emit(y, box.left, box.right, spans);
    return spans;
}

SpanList EllipseSpans(const EllipseRows& ellipse, const ClipBands& clip) {
    SpanList spans;
    int64_t first, end, x0, x1;
    ClipRows(clip, ellipse.Top(), ellipse.Bottom(), first, end);
    spans.reserve(Rows(first, end));
    for (int64_t y = first; y < end; ++y)
        if (ellipse.Row(y, x0, x1)) clip.Emit(y, x0, x1, spans);
    return spans;
}

// The pen's pixels along a path; a closed path also joins its last point to its first.
SpanList StrokePath(std::span<const Point64> path, bool closed, int64_t width,
                    const ClipBands& clip) {
    SpanList spans;
    if (path.empty() || clip.Empty()) return spans;
    size_t segments = closed ? path.size() : path.size() - 1;
    bool moved = false;
    for (size_t i = 0; i < segments; ++i) {
        Point64 a = path[i], b = path[(i + 1) % path.size()];
        if (a == b) continue;
        moved = true;
        if (width == 1)
            scan::ScanThinSegment(a, b, clip, spans);
        else
            scan::ScanWideSegment(a, b, width, clip, spans);
    }
    if (!moved && closed) {
        if (width == 1)
            clip.Emit(path[0].y, path[0].x, path[0].x + 1, spans);
        else
            scan::ScanWideSegment(path[0], path[0], width, clip, spans);
    }
    NormalizeSpans(spans);
    return spans;
}

// A one-pixel outline round the box, row by row: the same pixels as its closed path, already
// in normal form, without sorting the path's runs or cutting them out of the interior.
FigureSpans ThinRectangle(const Box& box, bool filled, const ClipBands& clip) {
    FigureSpans figure;
    int64_t first, end;
    ClipRows(clip, box.top, box.bottom, first, end);
    figure.outline.reserve(2 * Rows(first, end));
    if (filled) figure.interior.reserve(Rows(first, end));
    const bool narrow = box.right - box.left <= 2;
    for (int64_t y = first; y < end; ++y) {
        if (narrow || y == box.top || y == box.bottom - 1) {
            clip.Emit(y, box.left, box.right, figure.outline);
            continue;
        }
        clip.Emit(y, box.left, box.left + 1, figure.outline);
        clip.Emit(y, box.right - 1, box.right, figure.outline);
        if (filled) clip.Emit(y, box.left + 1, box.right - 1, figure.interior);
    }
    return figure;
}

// A one-pixel outline: the pixels of the ellipse with a side neighbour outside it.
FigureSpans ThinEllipse(const Box& box, bool filled, const ClipBands& clip) {
    FigureSpans figure;
    EllipseRows ellipse(box.left, box.top, box.right, box.bottom);
    int64_t first, end;
    ClipRows(clip, ellipse.Top(), ellipse.Bottom(), first, end);
    for (int64_t y = first; y < end; ++y) {
        int64_t x0, x1, above0, above1, below0, below1;
        if (!ellipse.Row(y, x0, x1)) continue;
        int64_t inner0 = x1, inner1 = x1;
        if (ellipse.Row(y - 1, above0, above1) && ellipse.Row(y + 1, below0, below1)) {
            inner0 = std::max({x0 + 1, above0, below0});
            inner1 = std::min({x1 - 1, above1, below1});
            if (inner1 <= inner0) inner0 = inner1 = x1;
        }
        clip.Emit(y, x0, inner0, figure.outline);
        clip.Emit(y, inner1, x1, figure.outline);
        if (filled) clip.Emit(y, inner0, inner1, figure.interior);
    }
    NormalizeSpans(figure.outline);
    return figure;
}

// A wide outline: the ring between the ellipse the pen's outer edge follows and the one
// its inner edge leaves free.
FigureSpans WideEllipse(const Box& box, int64_t width, bool filled, const ClipBands& clip) {
    FigureSpans figure;
    EllipseRows outer(box.left - width / 2, box.top - width / 2, box.right + (width - 1) / 2,
                      box.bottom + (width - 1) / 2);
    EllipseRows hole(box.left + (width - 1) / 2 + 1, box.top + (width - 1) / 2 + 1,
                     box.right - 1 - width / 2, box.bottom - 1 - width / 2);
    int64_t first, end;
    ClipRows(clip, outer.Top(), outer.Bottom(), first, end);
    for (int64_t y = first; y < end; ++y) {
        int64_t x0, x1, inner0, inner1;
        if (!outer.Row(y, x0, x1)) continue;
        if (!hole.Row(y, inner0, inner1)) {
            clip.Emit(y, x0, x1, figure.outline);
            continue;
        }
        inner0 = std::max(inner0, x0);
        inner1 = std::min(inner1, x1);
        clip.Emit(y, x0, inner0, figure.outline);
        clip.Emit(y, inner1, x1, figure.outline);
        if (filled) clip.Emit(y, inner0, inner1, figure.interior);
    }
    NormalizeSpans(figure.outline);
    return figure;
}

} // namespace

FigureSpans ScanRectangle(const RECT& rect, const ScanPen& pen, bool filled,
                          const ClipBands& clip) {
    FigureSpans figure;
    Box box = Normalized(rect);
    if (box.Empty() || clip.Empty()) return figure;
    if (pen.kind == PenKind::Null) {
        if (filled)
            figure.interior =
                RectangleSpans(Box{box.left, box.top, box.right - 1, box.bottom - 1}, clip);
        return figure;
    }
    int64_t width = PenWidth(pen);
    if (pen.kind == PenKind::InsideFrame && width > 1) {
        if (TooSmallForPen(box, width)) {
            figure.outline = RectangleSpans(box, clip);
            return figure;
        }
        box = InsideFrame(box, width);
    }
    // A one-pixel outline of a single pixel is left out; one a pixel wide or high is its line.
    if (width == 1 && box.right - box.left == 1 && box.bottom - box.top == 1) return figure;
    if (width == 1) return ThinRectangle(box, filled, clip);
    const Point64 path[] = {{box.left, box.top},
                            {box.right - 1, box.top},
                            {box.right - 1, box.bottom - 1},
                            {box.left, box.bottom - 1}};
    figure.outline = StrokePath(path, true, width, clip);
    if (filled)
        figure.interior = SubtractSpans(
            RectangleSpans(Box{box.left, box.top, box.right - 1, box.bottom - 1}, clip),
            figure.outline);
    return figure;
}

FigureSpans ScanEllipse(const RECT& rect, const ScanPen& pen, bool filled, const ClipBands& clip) {
    FigureSpans figure;
    Box box = Normalized(rect);
    if (box.Empty() || clip.Empty()) return figure;
    if (pen.kind == PenKind::Null) {
        if (filled)
            figure.interior =
                EllipseSpans(EllipseRows(box.left, box.top, box.right - 1, box.bottom - 1), clip);
        return figure;
    }
    int64_t width = PenWidth(pen);
    if (pen.kind == PenKind::InsideFrame && width > 1) {
        if (TooSmallForPen(box, width)) {
            figure.outline =
                EllipseSpans(EllipseRows(box.left, box.top, box.right, box.bottom), clip);
            return figure;
        }
        box = InsideFrame(box, width);
    }
    return width == 1 ? ThinEllipse(box, filled, clip) : WideEllipse(box, width, filled, clip);
}

FigureSpans ScanPolygon(std::span<const POINT> points, PolyFillMode mode, const ScanPen& pen,
                        bool filled, const ClipBands& clip) {
    FigureSpans figure;
    if (points.empty() || clip.Empty()) return figure;
    std::vector<Point64> path = Widen(points);
    if (pen.kind != PenKind::Null) figure.outline = StrokePath(path, true, PenWidth(pen), clip);
    if (filled) {
        scan::ScanPolygonFill(path, mode, clip, figure.interior);
        if (!figure.outline.empty())
            figure.interior = SubtractSpans(figure.interior, figure.outline);
    }
    return figure;
}

SpanList ScanPolyline(std::span<const POINT> points, const ScanPen& pen, const ClipBands& clip) {
    if (pen.kind == PenKind::Null) return {};
    std::vector<Point64> path = Widen(points);
    return StrokePath(path, false, PenWidth(pen), clip);
}

} // namespace platform
