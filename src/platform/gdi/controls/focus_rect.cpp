#include "platform/gdi/controls/focus_rect.h"

#include <algorithm>

#include "platform/gdi/dc_state.h"
#include "platform/gdi/shapes/dc_drawing.h"

BOOL DrawFocusRect(HDC dc, const RECT* rect) {
    platform::DcDrawing drawing;
    if (!rect || !drawing.Open(dc)) return FALSE;
    const RECT& r = *rect;
    if (platform::IsEmptyRect(r)) return TRUE;
    // Each pixel of the border once: inverting one twice would leave it as it was.
    LONG innerTop = std::min(r.top + 1, r.bottom), innerBottom = std::max(r.bottom - 1, innerTop);
    const RECT sides[] = {
        {r.left, r.top, r.right, innerTop},
        {r.left, innerBottom, r.right, r.bottom},
        {r.left, innerTop, std::min(r.left + 1, r.right), innerBottom},
        {std::max(r.right - 1, r.left + 1), innerTop, r.right, innerBottom},
    };
    platform::SpanList dots;
    for (const RECT& side : sides) {
        platform::SpanList part = drawing.Checkerboard(side, true);
        dots.insert(dots.end(), part.begin(), part.end());
    }
    return drawing.Fill(dots, 0, R2_NOT) ? TRUE : FALSE;
}
