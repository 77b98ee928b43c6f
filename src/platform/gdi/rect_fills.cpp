#include <algorithm>
#include <limits>

#include "platform/gdi/bitmaps/extent_box.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/device_context.h"
#include "platform/kernel/errors.h"

namespace {

using platform::DrawContext;

constexpr uint8_t kPatCopy = 0xF0;
constexpr uint8_t kDstInvert = 0x55;

// The colour of a brush given to a fill: a handle or a system colour index + 1.
// False, with `known` telling a null brush from a dead handle, when it paints nothing.
bool FillColor(const DrawContext& dc, HBRUSH brush, COLORREF& color, bool& known) {
    if (brush > 0 && brush <= 31) {
        known = platform::BrushColor(brush, color);
        return known;
    }
    auto found = platform::LookupObjectAs<platform::Brush>(brush);
    known = found != nullptr;
    if (!found || found->isNull) return false;
    color = dc.Resolve(found->color);
    return true;
}

bool Fill(const DrawContext& dc, const RECT& area, uint8_t rop3, COLORREF color) {
    if (platform::IsEmptyRect(area)) return true;
    return dc.device->Blit(dc.ToDevice(area), nullptr, POINT{0, 0}, rop3, color,
                           platform::BlitColors{}, dc.Clip());
}

// FillRect and InvertRect take a rectangle as PatBlt takes an origin and extents: one
// given backwards covers right + 1 .. left (and bottom + 1 .. top).
RECT AsExtents(const RECT& r) {
    return platform::ExtentBox(r.left, r.top, int64_t{r.right} - r.left, int64_t{r.bottom} - r.top);
}

// FillRect and FrameRect: the DC, the rectangle and the brush checked.
template <class Draw> int WithBrush(HDC dc, const RECT* rect, HBRUSH brush, Draw draw) {
    DrawContext context;
    COLORREF color = 0;
    bool known = false;
    if (!rect || !platform::GetDrawContext(dc, context)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    bool paints = FillColor(context, brush, color, known);
    if (!known) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!paints) {
        platform::Region limit;
        return context.device->Limit(limit) ? TRUE : FALSE;
    }
    return draw(context, color) ? TRUE : FALSE;
}

} // namespace

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    return WithBrush(dc, rect, brush, [&](const DrawContext& context, COLORREF color) {
        return Fill(context, AsExtents(*rect), kPatCopy, color);
    });
}

int FrameRect(HDC dc, const RECT* rect, HBRUSH brush) {
    return WithBrush(dc, rect, brush, [&](const DrawContext& context, COLORREF color) {
        const RECT& r = *rect;
        if (platform::IsEmptyRect(r)) return true;
        LONG innerTop = std::min(r.top + 1, r.bottom),
             innerBottom = std::max(r.bottom - 1, innerTop);
        return Fill(context, RECT{r.left, r.top, r.right, innerTop}, kPatCopy, color) &&
               Fill(context, RECT{r.left, innerBottom, r.right, r.bottom}, kPatCopy, color) &&
               Fill(context, RECT{r.left, innerTop, std::min(r.left + 1, r.right), innerBottom},
                    kPatCopy, color) &&
               Fill(context,
                    RECT{std::max(r.right - 1, r.left + 1), innerTop, r.right, innerBottom},
                    kPatCopy, color);
    });
}

BOOL InvertRect(HDC dc, const RECT* rect) {
    DrawContext context;
    if (!rect || !platform::GetDrawContext(dc, context)) return FALSE;
    return Fill(context, AsExtents(*rect), kDstInvert, 0) ? TRUE : FALSE;
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color) {
    DrawContext context;
    if (!platform::GetDrawContext(dc, context)) return CLR_INVALID;
    POINT at = context.ToDevice(x, y);
    return context.device->SetPixel(at.x, at.y, context.Resolve(color), context.Clip());
}

COLORREF GetPixel(HDC dc, int x, int y) {
    DrawContext context;
    if (!platform::GetDrawContext(dc, context)) return CLR_INVALID;
    POINT at = context.ToDevice(x, y);
    return context.device->GetPixel(at.x, at.y, context.Clip());
}

int GetClipBox(HDC dc, RECT* rect) {
    DrawContext context;
    platform::Region area;
    if (!rect || !platform::GetDrawContext(dc, context) || !context.device->Limit(area))
        return ERROR;
    if (context.Clip()) area.Intersect(*context.Clip());
    area.Offset(context.state.windowOrg.x, context.state.windowOrg.y);
    *rect = area.Bounds();
    if (area.Empty()) return NULLREGION;
    return area.IsRectangle() ? SIMPLEREGION : COMPLEXREGION;
}
