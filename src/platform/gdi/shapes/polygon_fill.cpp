#include "platform/gdi/shapes/polygon_fill.h"

#include <algorithm>
#include <vector>

#include "platform/gdi/shapes/scan_arithmetic.h"

namespace platform::scan {
namespace {

struct Edge {
    int64_t x0, y0, x1, y1; // y0 < y1
    int winding;
};

struct Crossing {
    int64_t x; // the first pixel at or right of the edge
    int winding;
};

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

    std::vector<const Edge*> active;
    std::vector<Crossing> crossings;
    size_t next = 0;
    for (int64_t y = first; y < end; ++y) {
        while (next < edges.size() && edges[next].y0 <= y)
            active.push_back(&edges[next++]);
        std::erase_if(active, [y](const Edge* e) { return e->y1 <= y; });
        crossings.clear();
        for (const Edge* e : active) {
            Int128 dx = Int128(e->x1) - e->x0, dy = Int128(e->y1) - e->y0;
            int64_t x = static_cast<int64_t>(e->x0 + CeilDiv((Int128(y) - e->y0) * dx, dy));
            crossings.push_back(Crossing{x, e->winding});
        }
        std::sort(crossings.begin(), crossings.end(),
                  [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
        if (mode == PolyFillMode::Alternate) {
            for (size_t i = 0; i + 1 < crossings.size(); i += 2)
                clip.Emit(y, crossings[i].x, crossings[i + 1].x, out);
        } else {
            int winding = 0;
            int64_t start = 0;
            for (const Crossing& c : crossings) {
                if (winding == 0) start = c.x;
                winding += c.winding;
                if (winding == 0) clip.Emit(y, start, c.x, out);
            }
        }
    }
}

} // namespace platform::scan
