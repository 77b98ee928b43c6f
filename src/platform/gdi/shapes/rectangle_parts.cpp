#include "platform/gdi/shapes/rectangle_parts.h"

#include <algorithm>

namespace platform {
namespace {

// The pen's disc is a square up to three pixels wide: every corner pixel's centre lies
// within its reach.
constexpr int64_t kWidestSquarePen = 3;

void AddSide(RectangleParts& parts, const Rect64& side) {
    if (!side.Empty()) parts.outline[parts.sides++] = side;
}

// The ring between `outer` and `hole` as its top and bottom bands and the two columns
// between them; all of `outer` when the hole is empty.
void Ring(RectangleParts& parts, const Rect64& outer, const Rect64& hole) {
    if (hole.Empty()) {
        AddSide(parts, outer);
        return;
    }
    AddSide(parts, Rect64{outer.left, outer.top, outer.right, hole.top});
    AddSide(parts, Rect64{outer.left, hole.top, hole.left, hole.bottom});
    AddSide(parts, Rect64{hole.right, hole.top, outer.right, hole.bottom});
    AddSide(parts, Rect64{outer.left, hole.bottom, outer.right, outer.bottom});
}

} // namespace

bool SplitRectangle(const RECT& rect, const ScanPen& pen, bool filled, RectangleParts& parts) {
    parts = RectangleParts{};
    Rect64 box{std::min(rect.left, rect.right), std::min(rect.top, rect.bottom),
               std::max(rect.left, rect.right), std::max(rect.top, rect.bottom)};
    if (box.Empty()) return true;
    if (pen.kind == PenKind::Null) {
        if (filled) parts.interior = Rect64{box.left, box.top, box.right - 1, box.bottom - 1};
        return true;
    }
    const int64_t width = std::max<int64_t>(pen.width, 1);
    if (pen.kind == PenKind::InsideFrame && width > 1) {
        if (box.right - box.left < width || box.bottom - box.top < width) {
            AddSide(parts, box);
            return true;
        }
        box = Rect64{box.left + width / 2, box.top + width / 2, box.right - (width - 1) / 2,
                     box.bottom - (width - 1) / 2};
    }
    if (width > kWidestSquarePen) return false;
    // A one-pixel outline of a single pixel is left out; one a pixel wide or high is its line.
    if (width == 1 && box.right - box.left == 1 && box.bottom - box.top == 1) return true;
    // The path runs through the centres of (left, top) and (right - 1, bottom - 1); the pen
    // reaches width / 2 before it and (width - 1) / 2 after it.
    const Rect64 outer{box.left - width / 2, box.top - width / 2, box.right + (width - 1) / 2,
                       box.bottom + (width - 1) / 2};
    const Rect64 hole{box.left + (width - 1) / 2 + 1, box.top + (width - 1) / 2 + 1,
                      box.right - 1 - width / 2, box.bottom - 1 - width / 2};
    Ring(parts, outer, hole);
    if (filled && !hole.Empty()) parts.interior = hole;
    return true;
}

} // namespace platform
