#include "platform/gdi/shapes/shapes_dc.h"

#include <span>

#include "platform/gdi/shapes/dc_drawing.h"

namespace {

using platform::DcDrawing;
using platform::FigureSpans;
using platform::ScanPen;

// The interior first, then the outline over it, as GDI draws them.
template <class Scan> BOOL DrawFigure(HDC dc, Scan scan) {
    DcDrawing drawing;
    if (!drawing.Open(dc)) return FALSE;
    COLORREF penColor = 0, brushColor = 0;
    ScanPen pen = drawing.Pen(penColor);
    bool filled = drawing.Brush(brushColor);
    FigureSpans figure = scan(drawing, pen, filled);
    return drawing.FillFigure(figure, brushColor, penColor, drawing.Rop2()) ? TRUE : FALSE;
}

BOOL DrawLine(HDC dc, std::span<const POINT> points) {
    DcDrawing drawing;
    if (!drawing.Open(dc)) return FALSE;
    COLORREF color = 0;
    ScanPen pen = drawing.Pen(color);
    platform::SpanList line = platform::ScanPolyline(points, pen, drawing.Clip());
    return drawing.Fill(line, color, drawing.Rop2()) ? TRUE : FALSE;
}

} // namespace

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
    DcDrawing drawing;
    if (!drawing.Open(dc)) return FALSE;
    COLORREF penColor = 0, brushColor = 0;
    ScanPen pen = drawing.Pen(penColor);
    bool filled = drawing.Brush(brushColor);
    const RECT box{left, top, right, bottom};
    // A square-cornered outline and its interior are at most five rectangles, which the
    // device fills whole, without a span a row.
    platform::RectangleParts parts;
    if (drawing.ExactClip() && platform::SplitRectangle(box, pen, filled, parts))
        return drawing.FillParts(parts, brushColor, penColor, drawing.Rop2()) ? TRUE : FALSE;
    platform::FigureSpans figure = platform::ScanRectangle(box, pen, filled, drawing.Clip());
    return drawing.FillFigure(figure, brushColor, penColor, drawing.Rop2()) ? TRUE : FALSE;
}

BOOL Ellipse(HDC dc, int left, int top, int right, int bottom) {
    return DrawFigure(dc, [&](const DcDrawing& drawing, const ScanPen& pen, bool filled) {
        return platform::ScanEllipse(RECT{left, top, right, bottom}, pen, filled, drawing.Clip());
    });
}

BOOL Polygon(HDC dc, const POINT* points, int count) {
    if (!points || count < 2) return FALSE;
    return DrawFigure(dc, [&](const DcDrawing& drawing, const ScanPen& pen, bool filled) {
        auto mode = drawing.Context().state.polyFillMode == WINDING
                        ? platform::PolyFillMode::Winding
                        : platform::PolyFillMode::Alternate;
        return platform::ScanPolygon(std::span(points, static_cast<size_t>(count)), mode, pen,
                                     filled, drawing.Clip());
    });
}

BOOL Polyline(HDC dc, const POINT* points, int count) {
    if (!points || count < 2) return FALSE;
    return DrawLine(dc, std::span(points, static_cast<size_t>(count)));
}

BOOL LineTo(HDC dc, int x, int y) {
    POINT from{};
    if (!GetCurrentPositionEx(dc, &from)) return FALSE;
    const POINT path[] = {from, POINT{x, y}};
    BOOL drawn = DrawLine(dc, path);
    MoveToEx(dc, x, y, nullptr);
    return drawn;
}
