#include "platform/gdi/controls/draw_edge.h"

#include <algorithm>
#include <limits>

#include "platform/gdi/shapes/dc_drawing.h"

namespace {

constexpr int kNone = -1;

LONG Clamp(int64_t value) {
    return static_cast<LONG>(std::clamp<int64_t>(value, std::numeric_limits<LONG>::min(),
                                                 std::numeric_limits<LONG>::max()));
}

// The system colours of one line's two halves; kNone where it is not drawn.
struct LineColors {
    int topLeft = kNone;
    int bottomRight = kNone;
};

// A raised (1) or sunken (2) line, outer or inner. The outer line of a raised edge is
// lit less than the inner one, unless the edge is soft; sunken lines mirror that.
LineColors Shaded(UINT kind, bool outer, bool soft) {
    if (kind == 1) {
        if (outer) return {soft ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT, COLOR_3DDKSHADOW};
        return {soft ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW};
    }
    if (kind == 2) {
        if (outer) return {soft ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT};
        return {soft ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW, COLOR_3DLIGHT};
    }
    return {};
}

// The outer and inner lines of an edge. A lone inner line takes the outer place; a
// line whose raised and sunken bits are both set is not drawn, and an outer one of them
// hides the inner line too. Flat and mono edges draw every line that has a bit.
void EdgeColors(UINT edge, UINT flags, LineColors& outer, LineColors& inner) {
    UINT outerKind = edge & BDR_OUTER, innerKind = (edge & BDR_INNER) >> 2;
    if (flags & (BF_MONO | BF_FLAT)) {
        bool mono = (flags & BF_MONO) != 0;
        int line = mono ? COLOR_WINDOWFRAME : COLOR_BTNSHADOW;
        int fill = mono ? COLOR_WINDOW : COLOR_BTNFACE;
        if (outerKind != 0) outer = {line, line};
        if (outerKind != 0 && innerKind != 0) inner = {fill, fill};
        if (outerKind == 0 && innerKind != 0) outer = {fill, fill};
        return;
    }
    bool soft = (flags & BF_SOFT) != 0;
    if (outerKind == 3) return;
    if (outerKind == 0) {
        if (innerKind != 3) outer = Shaded(innerKind, false, soft);
        return;
    }
    outer = Shaded(outerKind, true, soft);
    if (innerKind != 3) inner = Shaded(innerKind, false, soft);
}

// Lines a rectangle's sides are moved in by under BF_ADJUST and BF_MIDDLE: as many as
// a mono edge of the same bits draws.
int LineCount(UINT edge) {
    bool outer = (edge & BDR_OUTER) != 0, inner = (edge & BDR_INNER) != 0;
    return (outer || inner ? 1 : 0) + (outer && inner ? 1 : 0);
}

class EdgePainter {
public:
    EdgePainter(platform::DcDrawing& drawing, const RECT& box)
        : drawing_(drawing), box_{box.left, box.top, box.right, box.bottom} {}

    // One line `depth` pixels in from each side asked for, shortened by `trim` at a
    // corner whose both sides are drawn (inner lines start after the outer ones).
    bool Line(const LineColors& colors, UINT sides, int depth) {
        const Box& b = box_;
        auto both = [&](UINT pair) { return (sides & pair) == pair ? int64_t{depth} : 0; };
        int64_t lt = both(BF_TOPLEFT), rt = both(BF_TOPRIGHT), lb = both(BF_BOTTOMLEFT),
                rb = both(BF_BOTTOMRIGHT);
        bool ok = true;
        if (colors.topLeft != kNone) {
            COLORREF c = GetSysColor(colors.topLeft);
            if (sides & BF_TOP)
                ok &= Fill(b.left + lt, b.top + depth, b.right - rt, b.top + depth + 1, c);
            if (sides & BF_LEFT)
                ok &= Fill(b.left + depth, b.top + lt, b.left + depth + 1, b.bottom - lb, c);
        }
        if (colors.bottomRight != kNone) {
            COLORREF c = GetSysColor(colors.bottomRight);
            if (sides & BF_BOTTOM)
                ok &= Fill(b.left + lb, b.bottom - 1 - depth, b.right - rb, b.bottom - depth, c);
            if (sides & BF_RIGHT)
                ok &= Fill(b.right - 1 - depth, b.top + rt, b.right - depth, b.bottom - rb, c);
        }
        return ok;
    }

private:
    struct Box {
        int64_t left, top, right, bottom;
    };

    bool Fill(int64_t left, int64_t top, int64_t right, int64_t bottom, COLORREF color) {
        return drawing_.FillRect(RECT{Clamp(left), Clamp(top), Clamp(right), Clamp(bottom)}, color);
    }

    platform::DcDrawing& drawing_;
    Box box_;
};

} // namespace

BOOL DrawEdge(HDC dc, RECT* rect, UINT edge, UINT flags) {
    platform::DcDrawing drawing;
    if (!rect || (flags & BF_DIAGONAL) || !drawing.Open(dc)) return FALSE;
    LineColors outer, inner;
    EdgeColors(edge, flags, outer, inner);
    EdgePainter painter(drawing, *rect);
    UINT sides = flags & BF_RECT;
    bool ok = painter.Line(outer, sides, 0) && painter.Line(inner, sides, 1);
    // A line both raised and sunken has no shading: the edge fails, its middle unfilled.
    bool contradictory = !(flags & (BF_FLAT | BF_MONO)) &&
                         ((edge & BDR_OUTER) == BDR_OUTER || (edge & BDR_INNER) == BDR_INNER);
    if (contradictory) flags &= ~BF_MIDDLE;
    if (flags & (BF_MIDDLE | BF_ADJUST)) {
        int64_t add = LineCount(edge);
        auto in = [&](UINT side, LONG v, int64_t by) { return Clamp(v + (sides & side ? by : 0)); };
        RECT middle{in(BF_LEFT, rect->left, add), in(BF_TOP, rect->top, add),
                    in(BF_RIGHT, rect->right, -add), in(BF_BOTTOM, rect->bottom, -add)};
        if (flags & BF_MIDDLE)
            ok = ok && drawing.FillRect(
                           middle, GetSysColor((flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE));
        if (flags & BF_ADJUST) *rect = middle;
    }
    return ok && !contradictory ? TRUE : FALSE;
}
