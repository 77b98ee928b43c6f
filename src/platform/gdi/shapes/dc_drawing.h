// A DC made ready for the figure and control calls: its state copied out, its clip (with
// the device's bounds) turned into logical coordinates. Figures are scanned in the
// caller's coordinates, so a window origin never moves or clamps a vertex; only the
// spans that survive the clip are moved to the device. Internal to the GDI.
#pragma once

#include <optional>

#include "platform/gdi/dc.h"
#include "platform/gdi/shapes/rectangle_parts.h"
#include "platform/gdi/shapes/scan_converter.h"

namespace platform {

class DcDrawing {
public:
    // False for a dead DC or a device that is gone.
    bool Open(HDC dc);

    const DrawContext& Context() const { return context_; }
    const ClipBands& Clip() const { return *clip_; }

    // The selected pen as the scan converter takes it, and its colour.
    ScanPen Pen(COLORREF& color) const;
    // The selected brush's colour; false for the null brush.
    bool Brush(COLORREF& color) const { return context_.BrushColor(color); }
    int Rop2() const { return context_.state.rop2; }

    // Logical spans, already clipped, in a colour under a binary raster operation.
    // The spans are moved to device coordinates in place.
    bool Fill(SpanList& spans, COLORREF color, int rop2);
    // A figure's interior in the brush colour and its outline in the pen's, as Fill does
    // each.
    bool FillFigure(FigureSpans& figure, COLORREF brush, COLORREF pen, int rop2);
    // Whether the logical clip is the device's clip moved by the window origin, pixel for
    // pixel (no edge was cut to 32 bits on the way): only then may a figure skip the scan
    // and leave its clipping to the device.
    bool ExactClip() const { return exactClip_; }
    // Rectangle's parts under one operation, cut to the clip's bounds here and to the clip
    // by the device. Needs ExactClip().
    bool FillParts(const RectangleParts& parts, COLORREF brush, COLORREF pen, int rop2);
    // Logical spans not clipped yet, in a colour (R2_COPYPEN).
    bool FillShape(const SpanList& shape, COLORREF color);
    // A logical rectangle (right and bottom excluded) in a colour.
    bool FillRect(const RECT& rect, COLORREF color);
    // The pixels of a logical rectangle whose device x + y is even (`even`) or odd: the
    // checkerboard of GDI's grey pattern brush, aligned to the device.
    SpanList Checkerboard(const RECT& rect, bool even) const;

private:
    // Logical spans moved to device coordinates in place.
    void ToDevice(SpanList& spans) const;

    DrawContext context_;
    std::optional<ClipBands> clip_;
    bool exactClip_ = false;
};

} // namespace platform
