#include "platform/gdi/shapes/dc_drawing.h"

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

#include "platform/gdi/dc_state.h"
#include "platform/gdi/gdi_object.h"

namespace platform {
namespace {

int32_t Clamp(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

} // namespace

bool DcDrawing::Open(HDC dc) {
    Region area;
    if (!GetDrawContext(dc, context_) || !context_.device->Limit(area)) return false;
    if (context_.Clip()) area.Intersect(*context_.Clip());
    const POINT org = context_.state.windowOrg;
    std::vector<RECT> rects;
    rects.reserve(area.Rects().size());
    exactClip_ = true;
    auto moved = [&](int64_t value) {
        int32_t kept = Clamp(value);
        exactClip_ = exactClip_ && kept == value;
        return kept;
    };
    for (const RECT& r : area.Rects())
        rects.push_back(RECT{moved(int64_t{r.left} + org.x), moved(int64_t{r.top} + org.y),
                             moved(int64_t{r.right} + org.x), moved(int64_t{r.bottom} + org.y)});
    clip_.emplace(rects);
    return true;
}

ScanPen DcDrawing::Pen(COLORREF& color) const {
    auto pen = std::dynamic_pointer_cast<platform::Pen>(context_.state.pen.object);
    if (!pen || pen->style == PS_NULL) return ScanPen{PenKind::Null, 1};
    color = context_.Resolve(pen->color);
    return ScanPen{pen->style == PS_INSIDEFRAME ? PenKind::InsideFrame : PenKind::Solid,
                   std::max(pen->width, 1)};
}

void DcDrawing::ToDevice(SpanList& spans) const {
    const POINT org = context_.state.windowOrg;
    if (org.x == 0 && org.y == 0) return;
    for (Span& s : spans) {
        s.y = Clamp(int64_t{s.y} - org.y);
        s.x0 = Clamp(int64_t{s.x0} - org.x);
        s.x1 = Clamp(int64_t{s.x1} - org.x);
    }
}

bool DcDrawing::Fill(SpanList& spans, COLORREF color, int rop2) {
    if (spans.empty()) return true;
    ToDevice(spans);
    return context_.device->FillSpans(spans, color, rop2, context_.Clip());
}

bool DcDrawing::FillFigure(FigureSpans& figure, COLORREF brush, COLORREF pen, int rop2) {
    if (figure.interior.empty() && figure.outline.empty()) return true;
    ToDevice(figure.interior);
    ToDevice(figure.outline);
    return context_.device->FillFigure(figure.interior, brush, figure.outline, pen, rop2,
                                       context_.Clip());
}

bool DcDrawing::FillParts(const RectangleParts& parts, COLORREF brush, COLORREF pen, int rop2) {
    const RECT& bounds = Clip().Bounds();
    const POINT org = context_.state.windowOrg;
    std::array<ColorRect, 5> fills;
    size_t count = 0;
    auto add = [&](const Rect64& part, COLORREF color) {
        // Within the clip's bounds the device coordinates fit in 32 bits.
        Rect64 cut{std::max<int64_t>(part.left, bounds.left),
                   std::max<int64_t>(part.top, bounds.top),
                   std::min<int64_t>(part.right, bounds.right),
                   std::min<int64_t>(part.bottom, bounds.bottom)};
        if (cut.Empty()) return;
        fills[count++] = ColorRect{RECT{Clamp(cut.left - org.x), Clamp(cut.top - org.y),
                                        Clamp(cut.right - org.x), Clamp(cut.bottom - org.y)},
                                   color};
    };
    add(parts.interior, brush);
    for (size_t i = 0; i < parts.sides; ++i)
        add(parts.outline[i], pen);
    if (count == 0) return true;
    return context_.device->FillRects(std::span(fills.data(), count), rop2, context_.Clip());
}

bool DcDrawing::FillShape(const SpanList& shape, COLORREF color) {
    SpanList spans;
    for (const Span& s : shape)
        Clip().Emit(s.y, s.x0, s.x1, spans);
    return Fill(spans, color, R2_COPYPEN);
}

bool DcDrawing::FillRect(const RECT& rect, COLORREF color) {
    SpanList spans;
    int64_t top = std::max<int64_t>(rect.top, Clip().Bounds().top);
    int64_t bottom = std::min<int64_t>(rect.bottom, Clip().Bounds().bottom);
    for (int64_t y = top; y < bottom; ++y)
        Clip().Emit(y, rect.left, rect.right, spans);
    return Fill(spans, color, R2_COPYPEN);
}

SpanList DcDrawing::Checkerboard(const RECT& rect, bool even) const {
    SpanList rows, pixels;
    int64_t top = std::max<int64_t>(rect.top, Clip().Bounds().top);
    int64_t bottom = std::min<int64_t>(rect.bottom, Clip().Bounds().bottom);
    for (int64_t y = top; y < bottom; ++y)
        Clip().Emit(y, rect.left, rect.right, rows);
    const POINT org = context_.state.windowOrg;
    for (const Span& s : rows) {
        // Device parity: the logical pixel less the origin.
        int64_t phase = (int64_t{s.y} - org.y + s.x0 - org.x) & 1;
        int64_t first = s.x0 + ((phase == 0) == even ? 0 : 1);
        for (int64_t x = first; x < s.x1; x += 2)
            pixels.push_back(Span{s.y, static_cast<int32_t>(x), static_cast<int32_t>(x + 1)});
    }
    return pixels;
}

} // namespace platform
