#include <cstdlib>

#include "graphics2d/drawing/surface_handle.h"
#include "platform/gdi/gdi_objects.h"

namespace {

int OutCode(int64_t x, int64_t y, int64_t left, int64_t top, int64_t right, int64_t bottom) {
    return (y > bottom ? 1 : 0) | (y < top ? 2 : 0) | (x > right ? 4 : 0) | (x < left ? 8 : 0);
}

} // namespace

int ClipLine(int32_t* x1, int32_t* y1, int32_t* x2, int32_t* y2, int32_t left, int32_t top,
             int32_t right, int32_t bottom) {
    // In 64 bits: the products of far-apart end points do not fit 32.
    int64_t ax = *x1, ay = *y1, bx = *x2, by = *y2;
    for (;;) {
        const int a = OutCode(ax, ay, left, top, right, bottom);
        const int b = OutCode(bx, by, left, top, right, bottom);
        if (!a && !b) break;
        if (a & b) return 0;
        const int code = a ? a : b;
        int64_t x, y;
        if (code & 1) {
            y = bottom;
            x = ax + (y - ay) * (bx - ax) / (by - ay);
        } else if (code & 2) {
            y = top;
            x = ax + (y - ay) * (bx - ax) / (by - ay);
        } else if (code & 4) {
            x = right;
            y = ay + (x - ax) * (by - ay) / (bx - ax);
        } else {
            x = left;
            y = ay + (x - ax) * (by - ay) / (bx - ax);
        }
        if (code == a) {
            ax = x;
            ay = y;
        } else {
            bx = x;
            by = y;
        }
    }
    *x1 = int32_t(ax);
    *y1 = int32_t(ay);
    *x2 = int32_t(bx);
    *y2 = int32_t(by);
    return 1;
}

int SurfaceHandle::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t penWidth,
                            uint32_t colour) {
    if (penWidth != 1)
        return DrawFigure({Figure::Line, x1, y1, x2, y2, nullptr, 0}, true, PS_SOLID, penWidth,
                          colour, false, 0, false);
    int32_t cx, cy, cw, ch;
    GetClipRect(&cx, &cy, &cw, &ch);
    if (!ClipLine(&x1, &y1, &x2, &y2, cx, cy, int32_t(int64_t(cx) + cw), int32_t(int64_t(cy) + ch)))
        return 1;
    const int64_t dx = std::llabs(int64_t(x2) - x1), dy = std::llabs(int64_t(y2) - y1);
    const int32_t stepX = x2 >= x1 ? 1 : -1, stepY = y2 >= y1 ? 1 : -1;
    const bool xMajor = 2 * dx > 2 * dy;
    const int64_t major2 = 2 * (xMajor ? dx : dy), minor2 = 2 * (xMajor ? dy : dx);
    int64_t error = minor2 - major2 / 2;
    int64_t x = x1, y = y1;
    for (int64_t i = 0; i <= major2 / 2; i++) {
        impl_->SetPixel(int32_t(x - originX_), int32_t(y - originY_), colour);
        if (error >= 0) {
            (xMajor ? y : x) += xMajor ? stepY : stepX;
            error -= major2;
        }
        (xMajor ? x : y) += xMajor ? stepX : stepY;
        error += minor2;
    }
    return 1;
}
