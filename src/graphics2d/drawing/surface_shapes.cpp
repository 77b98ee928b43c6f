#include <algorithm>
#include <vector>

#include "graphics2d/drawing/fill_painter.h"
#include "graphics2d/drawing/surface_handle.h"
#include "graphics2d/surfaces/surface_kinds.h"
#include "platform/gdi/dc_state.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/shapes/shapes_dc.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
// The AND of the blit operations: the mask keeps the picture only where it is white.
constexpr int32_t kMaskOp = 4;

void Normalise(int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2) {
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
}

struct Box {
    int64_t left, top, right, bottom;
    bool Empty() const { return left >= right || top >= bottom; }
    int32_t Width() const { return int32_t(right - left); }
    int32_t Height() const { return int32_t(bottom - top); }
};

} // namespace

POINT SurfaceHandle::ToDC(int32_t x, int32_t y) {
    if (impl_->HasOrigin()) return {x, y};
    return {int32_t(int64_t(x) - originX_), int32_t(int64_t(y) - originY_)};
}

int SurfaceHandle::DrawFigure(const Outline& shape, bool withPen, int penStyle, int32_t penWidth,
                              uint32_t pen, bool withBrush, uint32_t fill, bool whiteBrush) {
    const HDC dc = impl_->GetDC();
    if (!dc) {
        lastError_ = kSurfaceErrorBadArgument;
        return 0;
    }
    // The DC may be kept for the surface's life: its clip and objects go back as they were.
    const int saved = SaveDC(dc);
    int32_t cx, cy, cw, ch;
    GetClipRect(&cx, &cy, &cw, &ch);
    const POINT clip = ToDC(cx, cy);
    IntersectClipRect(dc, clip.x, clip.y, int32_t(int64_t(clip.x) + cw),
                      int32_t(int64_t(clip.y) + ch));
    const HPEN penObject = withPen ? CreatePen(penStyle, penWidth, pen) : 0;
    const HBRUSH brushObject = withBrush && !whiteBrush ? CreateSolidBrush(fill) : 0;
    SelectObject(dc, penObject ? penObject : GetStockObject(NULL_PEN));
    SelectObject(dc, brushObject  ? brushObject
                     : whiteBrush ? GetStockObject(WHITE_BRUSH)
                                  : GetStockObject(NULL_BRUSH));
    const POINT a = ToDC(shape.x1, shape.y1), b = ToDC(shape.x2, shape.y2);
    switch (shape.figure) {
    case Figure::Ellipse:
        Ellipse(dc, a.x, a.y, b.x, b.y);
        break;
    case Figure::Rectangle:
        Rectangle(dc, a.x, a.y, b.x, b.y);
        break;
    case Figure::Polygon: {
        std::vector<POINT> points(size_t(std::max(shape.count, 0)));
        for (size_t i = 0; i < points.size(); i++)
            points[i] = ToDC(shape.points[i].x, shape.points[i].y);
        Polygon(dc, points.data(), shape.count);
        break;
    }
    case Figure::Line:
        MoveToEx(dc, a.x, a.y, nullptr);
        LineTo(dc, b.x, b.y);
        break;
    }
    RestoreDC(dc, saved);
    if (penObject) DeleteObject(penObject);
    if (brushObject) DeleteObject(brushObject);
    impl_->ReleaseDC(dc);
    return 1;
}

int SurfaceHandle::DrawEllipse(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t fill,
                               int32_t penWidth, uint32_t pen, int32_t filled) {
    Normalise(x1, y1, x2, y2);
    // Filled without an outline: no pen. Otherwise the outline lies inside the box.
    const bool withPen = !(filled && penWidth == 0);
    if (withPen) {
        x1 += penWidth / 2;
        y1 += penWidth / 2;
        x2 -= (penWidth - 1) / 2;
        y2 -= (penWidth - 1) / 2;
    }
    return DrawFigure({Figure::Ellipse, x1, y1, x2, y2, nullptr, 0}, withPen, PS_SOLID, penWidth,
                      pen, filled != 0, fill, false);
}

int SurfaceHandle::StrokeEllipse(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t penWidth,
                                 uint32_t pen) {
    return penWidth == 0 ? 1 : DrawEllipse(x1, y1, x2, y2, 0, penWidth, pen, 0);
}

int SurfaceHandle::DrawRectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t fill,
                                 int32_t penWidth, uint32_t pen, int32_t filled) {
    if (filled && penWidth == 0)
        return FillRect(x1, y1, int32_t(int64_t(x2) - x1), int32_t(int64_t(y2) - y1), fill);
    Normalise(x1, y1, x2, y2);
    x1 += penWidth / 2;
    y1 += penWidth / 2;
    x2 -= (penWidth - 1) / 2;
    y2 -= (penWidth - 1) / 2;
    return DrawFigure({Figure::Rectangle, x1, y1, x2, y2, nullptr, 0}, true, PS_SOLID, penWidth,
                      pen, filled != 0, fill, false);
}

int SurfaceHandle::StrokeRectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t penWidth,
                                   uint32_t pen) {
    return penWidth == 0 ? 1 : DrawRectangle(x1, y1, x2, y2, 0, penWidth, pen, 0);
}

int SurfaceHandle::DrawPolygon(const POINT* points, int32_t count, uint32_t fill, int32_t penWidth,
                               uint32_t pen, int32_t filled) {
    if (!points || count <= 0) return 0;
    return DrawFigure({Figure::Polygon, 0, 0, 0, 0, points, count}, !(filled && penWidth == 0),
                      PS_SOLID, penWidth, pen, filled != 0, fill, false);
}

int SurfaceHandle::StrokePolygon(const POINT* points, int32_t count, int32_t penWidth,
                                 uint32_t pen) {
    return penWidth == 0 ? 1 : DrawPolygon(points, count, 0, penWidth, pen, 0);
}

int SurfaceHandle::DrawPainted(Outline shape, CFillBase* fill, int32_t penWidth, CFillBase* pen,
                               CopyArguments copy, int32_t filled) {
    // The shape's box; ellipses and rectangles only ever draw inside the clip rectangle.
    Box box{};
    int64_t shapeLeft, shapeTop, shapeWidth, shapeHeight;
    if (shape.figure == Figure::Polygon) {
        if (!shape.points || shape.count <= 0) return 0;
        box = {INT64_MAX, INT64_MAX, INT64_MIN, INT64_MIN};
        for (int32_t i = 0; i < shape.count; i++) {
            box.left = std::min<int64_t>(box.left, shape.points[i].x);
            box.top = std::min<int64_t>(box.top, shape.points[i].y);
            box.right = std::max<int64_t>(box.right, shape.points[i].x + int64_t(1));
            box.bottom = std::max<int64_t>(box.bottom, shape.points[i].y + int64_t(1));
        }
    } else {
        Normalise(shape.x1, shape.y1, shape.x2, shape.y2);
        box = {shape.x1, shape.y1, shape.x2, shape.y2};
        if (shape.figure == Figure::Line) {
            const int64_t reach = std::max(penWidth, 1);
            box = {box.left - reach, box.top - reach, box.right + reach + 1,
                   box.bottom + reach + 1};
        }
    }
    shapeLeft = box.left;
    shapeTop = box.top;
    shapeWidth = box.right - box.left;
    shapeHeight = box.bottom - box.top;
    int32_t cx, cy, cw, ch;
    GetClipRect(&cx, &cy, &cw, &ch);
    box = {std::max<int64_t>(box.left, cx), std::max<int64_t>(box.top, cy),
           std::min<int64_t>(box.right, int64_t(cx) + cw),
           std::min<int64_t>(box.bottom, int64_t(cy) + ch)};
    if (box.Empty()) return 1;
    if (shape.figure == Figure::Line) {
        shapeWidth = box.Width();
        shapeHeight = box.Height();
    }

    SurfaceHandle picture, mask;
    SurfaceHandle* prototype = GetPrototypeForDepth(GetDepth());
    if (!picture.Create(box.Width(), box.Height(), prototype) ||
        !mask.Create(box.Width(), box.Height(), prototype))
        return 0;
    // The mask is drawn in this surface's coordinates.
    mask.SetOrigin(int32_t(box.left), int32_t(box.top));
    const auto paint = [&](CFillBase* painter) {
        painter->SetOrigin(int32_t(box.left - shapeLeft), int32_t(box.top - shapeTop));
        painter->FillAll(&picture, int32_t(shapeWidth), int32_t(shapeHeight), 1);
    };
    const auto cut = [&]() {
        mask.BlitWhole(&picture, 0, 0, 0, kMaskOp, 0, 0);
        return picture.Blit(this, int32_t(box.left), int32_t(box.top), 0, 0, box.Width(),
                            box.Height(), 1, copy.op, copy.param, copy.smooth);
    };
    const bool frame = shape.figure == Figure::Ellipse || shape.figure == Figure::Rectangle;
    if (pen && (penWidth != 0 || shape.figure == Figure::Line)) {
        mask.FillRectAll(0);
        paint(pen);
        if (shape.figure == Figure::Line && penWidth == 1) {
            mask.DrawLine(shape.x1, shape.y1, shape.x2, shape.y2, 1, kWhite);
        } else if (!mask.DrawFigure(shape, true, frame ? PS_INSIDEFRAME : PS_SOLID, penWidth,
                                    kWhite, false, 0, false)) {
            lastError_ = mask.lastError_;
            return 0;
        }
        cut();
    }
    if (fill && filled && shape.figure != Figure::Line) {
        mask.FillRectAll(0);
        paint(fill);
        // A black outline of the pen's width keeps the interior inside the outline.
        if (!mask.DrawFigure(shape, penWidth != 0, frame ? PS_INSIDEFRAME : PS_SOLID, penWidth, 0,
                             true, 0, true)) {
            lastError_ = mask.lastError_;
            return 0;
        }
        cut();
    }
    return 1;
}

int SurfaceHandle::DrawEllipsePainted(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                                      CFillBase* fill, int32_t penWidth, CFillBase* pen,
                                      CopyArguments copy, int32_t filled) {
    return DrawPainted({Figure::Ellipse, x1, y1, x2, y2, nullptr, 0}, fill, penWidth, pen, copy,
                       filled);
}

int SurfaceHandle::DrawRectanglePainted(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                                        CFillBase* fill, int32_t penWidth, CFillBase* pen,
                                        CopyArguments copy, int32_t filled) {
    return DrawPainted({Figure::Rectangle, x1, y1, x2, y2, nullptr, 0}, fill, penWidth, pen, copy,
                       filled);
}

int SurfaceHandle::DrawPolygonPainted(const POINT* points, int32_t count, CFillBase* fill,
                                      int32_t penWidth, CFillBase* pen, CopyArguments copy,
                                      int32_t filled) {
    return DrawPainted({Figure::Polygon, 0, 0, 0, 0, points, count}, fill, penWidth, pen, copy,
                       filled);
}

int SurfaceHandle::DrawLinePainted(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t penWidth,
                                   CFillBase* pen, CopyArguments copy) {
    if (!pen) return 0;
    return DrawPainted({Figure::Line, x1, y1, x2, y2, nullptr, 0}, nullptr, penWidth, pen, copy, 0);
}
