#include "platform/gdi/shapes/clip_bands.h"

#include <algorithm>

namespace platform {

ClipBands::ClipBands(std::span<const RECT> rects) {
    std::vector<int32_t> edges;
    for (const RECT& r : rects) {
        if (r.right <= r.left || r.bottom <= r.top) continue;
        edges.push_back(r.top);
        edges.push_back(r.bottom);
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    for (size_t i = 0; i + 1 < edges.size(); ++i) {
        Band band{edges[i], edges[i + 1], {}};
        for (const RECT& r : rects)
            if (r.left < r.right && r.top <= band.top && band.bottom <= r.bottom)
                band.runs.emplace_back(r.left, r.right);
        if (band.runs.empty()) continue;
        std::sort(band.runs.begin(), band.runs.end());
        size_t kept = 0;
        for (const auto& run : band.runs) {
            if (kept > 0 && band.runs[kept - 1].second >= run.first)
                band.runs[kept - 1].second = std::max(band.runs[kept - 1].second, run.second);
            else
                band.runs[kept++] = run;
        }
        band.runs.resize(kept);
        if (!bands_.empty() && bands_.back().bottom == band.top && bands_.back().runs == band.runs)
            bands_.back().bottom = band.bottom;
        else
            bands_.push_back(std::move(band));
    }
    if (bands_.empty()) return;
    bounds_ = RECT{bands_.front().runs.front().first, bands_.front().top,
                   bands_.front().runs.back().second, bands_.back().bottom};
    for (const Band& band : bands_) {
        bounds_.left = std::min(bounds_.left, band.runs.front().first);
        bounds_.right = std::max(bounds_.right, band.runs.back().second);
    }
    rectangle_ = bands_.size() == 1 && bands_.front().runs.size() == 1;
}

void ClipBands::EmitBanded(int64_t y, int64_t x0, int64_t x1, SpanList& out) const {
    if (x1 <= x0) return;
    auto band = std::upper_bound(bands_.begin(), bands_.end(), y,
                                 [](int64_t row, const Band& b) { return row < b.bottom; });
    if (band == bands_.end() || y < band->top) return;
    for (const auto& [left, right] : band->runs) {
        if (right <= x0) continue;
        if (left >= x1) break;
        out.push_back(Span{static_cast<int32_t>(y),
                           static_cast<int32_t>(std::max<int64_t>(left, x0)),
                           static_cast<int32_t>(std::min<int64_t>(right, x1))});
    }
}

} // namespace platform
