#include "platform/gdi/shapes/polygon_fill.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "platform/gdi/shapes/scan_arithmetic.h"

namespace platform::scan {
namespace {

struct Edge {
    int64_t x0, y0, x1, y1; // y0 < y1
    int winding;
};

// An edge crossing the rows from y0 on: its crossing x0 + ceil((y - y0) dx / dy) kept as
// the quotient and remainder of (y - y0) dx / dy, stepped a row at a time without dividing.
// It keeps what a row needs of its edge beside it.
struct ActiveEdge {
    int64_t x0;
    int64_t y1;
    int64_t dy;
    int64_t quotient;  // floor((y - y0) dx / dy)
    int64_t remainder; // 0 <= remainder < dy
    int64_t stepQuotient;
    int64_t stepRemainder;
    int64_t key = 0; // this row's crossing (CrossingKey)
    int winding;

    ActiveEdge(const Edge& e, int64_t y) : x0(e.x0), y1(e.y1), dy(e.y1 - e.y0), winding(e.winding) {
        Int128 dx = Int128(e.x1) - e.x0;
        Int128 q = FloorDiv((Int128(y) - e.y0) * dx, dy);
        quotient = static_cast<int64_t>(q);
        remainder = static_cast<int64_t>((Int128(y) - e.y0) * dx - q * dy);
        Int128 step = FloorDiv(dx, dy);
        stepQuotient = static_cast<int64_t>(step);
        stepRemainder = static_cast<int64_t>(dx - step * dy);
    }
    int64_t Crossing() const { return x0 + quotient + (remainder != 0 ? 1 : 0); }
    void Step() {
        // Without a branch: whether the remainder carries follows the slope's fraction.
        remainder += stepRemainder;
        const int64_t carry = remainder >= dy ? 1 : 0;
        quotient += stepQuotient + carry;
        remainder -= dy & -carry;
    }
};

// Where a row crosses an edge, 2x + 1 going down and 2x going up: x is the first pixel at
// or right of the edge. One word a crossing keeps sorting them a matter of plain integers.
int64_t CrossingKey(int64_t x, int winding) {
    return 2 * x + (winding > 0 ? 1 : 0);
}
int64_t CrossingX(int64_t crossing) {
    return crossing >> 1;
}

} // namespace

void ScanPolygonFill(std::span<const Point64> points, PolyFillMode mode, const ClipBands& clip,
                     SpanList& out) {
    if (points.size() < 3 || clip.Empty()) return;
    std::vector<Edge> edges;
    for (size_t i = 0; i < points.size(); ++i) {
        Point64 a = points[i], b = points[(i + 1) % points.size()];
        if (a.y == b.y) continue;
        if (a.y < b.y)
            edges.push_back(Edge{a.x, a.y, b.x, b.y, 1});
        else
            edges.push_back(Edge{b.x, b.y, a.x, a.y, -1});
    }
    if (edges.empty()) return;
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.y0 < b.y0; });
    int64_t top = edges.front().y0, bottom = top;
    for (const Edge& e : edges)
        bottom = std::max(bottom, e.y1);
    int64_t first = std::max<int64_t>(top, clip.Bounds().top);
    int64_t end = std::min<int64_t>(bottom, clip.Bounds().bottom);

    std::vector<ActiveEdge> active;
    size_t next = 0;
    int64_t expiry = std::numeric_limits<int64_t>::max(); // the first row an active edge leaves
    out.reserve(out.size() + (end > first ? static_cast<size_t>(end - first) : 0));
    // Runs come out of each row left to right; one that starts where the row's last one
    // ended joins it, so the list is in normal form as it is made.
    auto emit = [&](int64_t y, int64_t x0, int64_t x1) {
        const size_t before = out.size();
        clip.Emit(y, x0, x1, out);
        if (before == 0 || out.size() == before) return;
        Span& last = out[before - 1];
        if (last.y == out[before].y && last.x1 == out[before].x0) {
            last.x1 = out[before].x1;
            out.erase(out.begin() + static_cast<ptrdiff_t>(before));
        }
    };
    for (int64_t y = first; y < end; ++y) {
        while (next < edges.size() && edges[next].y0 <= y) {
            active.emplace_back(edges[next++], y);
            expiry = std::min(expiry, active.back().y1);
        }
        if (y >= expiry) {
            std::erase_if(active, [y](const ActiveEdge& e) { return e.y1 <= y; });
            expiry = std::numeric_limits<int64_t>::max();
            for (const ActiveEdge& e : active)
                expiry = std::min(expiry, e.y1);
        }
        for (ActiveEdge& e : active) {
            e.key = CrossingKey(e.Crossing(), e.winding);
            e.Step();
        }
        // The edges are kept in the order of their crossings, which changes only where two
        // of them cross: the insertion mostly finds them in place.
        for (size_t i = 1; i < active.size(); ++i) {
            if (active[i - 1].key <= active[i].key) continue;
            ActiveEdge moving = active[i];
            size_t at = i;
            for (; at > 0 && active[at - 1].key > moving.key; --at)
                active[at] = active[at - 1];
            active[at] = moving;
        }
        if (mode == PolyFillMode::Alternate) {
            for (size_t i = 0; i + 1 < active.size(); i += 2)
                emit(y, CrossingX(active[i].key), CrossingX(active[i + 1].key));
        } else {
            int winding = 0;
            int64_t start = 0;
            for (const ActiveEdge& e : active) {
                if (winding == 0) start = CrossingX(e.key);
                winding += e.winding;
                if (winding == 0) emit(y, start, CrossingX(e.key));
            }
        }
    }
}

} // namespace platform::scan
