#include "platform/gdi/shapes/thin_line.h"

#include <algorithm>

#include "platform/gdi/shapes/scan_arithmetic.h"

namespace platform::scan {
namespace {

// The rows of the clip that lie between y0 and y1, both included.
bool ClipRows(const ClipBands& clip, int64_t y0, int64_t y1, int64_t& first, int64_t& last) {
    first = std::max<int64_t>(std::min(y0, y1), clip.Bounds().top);
    last = std::min<int64_t>(std::max(y0, y1), int64_t{clip.Bounds().bottom} - 1);
    return first <= last;
}

// Pixels of an x-major segment: step j (0 <= j < |dx|) lands on row ay + round(j dy / |dx|)
// with halves rounded down, so row ay + k holds the steps with
// (2k - 1) |dx| < 2 j dy <= (2k + 1) |dx|.
void ScanXMajor(Point64 a, int64_t dx, int64_t dy, const ClipBands& clip, SpanList& out) {
    const Int128 steps = dx < 0 ? -Int128(dx) : Int128(dx);
    int64_t first, last;
    if (!ClipRows(clip, a.y, a.y + dy, first, last)) return;
    for (int64_t y = first; y <= last; ++y) {
        Int128 k = Int128(y) - a.y;
        Int128 low, high;
        if (dy > 0) {
            low = FloorDiv((2 * k - 1) * steps, 2 * Int128(dy)) + 1;
            high = FloorDiv((2 * k + 1) * steps, 2 * Int128(dy));
        } else if (dy < 0) {
            low = CeilDiv(-(2 * k + 1) * steps, -2 * Int128(dy));
            high = CeilDiv(-(2 * k - 1) * steps, -2 * Int128(dy)) - 1;
        } else {
            low = 0;
            high = steps - 1;
        }
        low = std::max<Int128>(low, 0);
        high = std::min<Int128>(high, steps - 1);
        if (low > high) continue;
        if (dx > 0)
            clip.Emit(y, static_cast<int64_t>(a.x + low), static_cast<int64_t>(a.x + high + 1),
                      out);
        else
            clip.Emit(y, static_cast<int64_t>(a.x - high), static_cast<int64_t>(a.x - low + 1),
                      out);
    }
}

// Pixels of a y-major or diagonal segment: one per row, at ax + round(j dx / |dy|).
void ScanYMajor(Point64 a, int64_t dx, int64_t dy, const ClipBands& clip, SpanList& out) {
    const Int128 steps = dy < 0 ? -Int128(dy) : Int128(dy);
    int64_t first, last;
    if (!ClipRows(clip, a.y, a.y + dy, first, last)) return;
    for (int64_t y = first; y <= last; ++y) {
        Int128 j = dy > 0 ? Int128(y) - a.y : Int128(a.y) - y;
        if (j >= steps) continue;
        Int128 x = a.x + CeilDiv(2 * j * dx - steps, 2 * steps);
        clip.Emit(y, static_cast<int64_t>(x), static_cast<int64_t>(x + 1), out);
    }
}

} // namespace

void ScanThinSegment(Point64 from, Point64 to, const ClipBands& clip, SpanList& out) {
    if (from == to || clip.Empty()) return;
    int64_t dx = to.x - from.x, dy = to.y - from.y;
    if ((dx < 0 ? -dx : dx) > (dy < 0 ? -dy : dy))
        ScanXMajor(from, dx, dy, clip, out);
    else
        ScanYMajor(from, dx, dy, clip, out);
}

} // namespace platform::scan
