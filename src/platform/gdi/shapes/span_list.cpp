#include "platform/gdi/shapes/span_list.h"

#include <algorithm>

namespace platform {

void NormalizeSpans(SpanList& spans) {
    auto before = [](const Span& a, const Span& b) { return a.y != b.y ? a.y < b.y : a.x0 < b.x0; };
    if (!std::is_sorted(spans.begin(), spans.end(), before)) {
        // Shapes made of several parts give runs in row order part by part: sorting them
        // by row in one counting pass, then each row's few runs, is linear.
        auto [low, high] = std::minmax_element(
            spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.y < b.y; });
        uint64_t rows = uint64_t(int64_t{high->y} - low->y) + 1;
        if (rows > 4 * spans.size()) {
            std::sort(spans.begin(), spans.end(), before);
        } else {
            std::vector<size_t> starts(rows + 1, 0);
            for (const Span& span : spans)
                ++starts[span.y - low->y + 1];
            for (size_t row = 1; row <= rows; ++row)
                starts[row] += starts[row - 1];
            int32_t top = low->y;
            SpanList sorted(spans.size());
            for (const Span& span : spans)
                sorted[starts[span.y - top]++] = span;
            for (auto row = sorted.begin(); row != sorted.end();) {
                auto end = std::find_if(row, sorted.end(),
                                        [y = row->y](const Span& s) { return s.y != y; });
                std::sort(row, end, before);
                row = end;
            }
            spans = std::move(sorted);
        }
    }
    size_t kept = 0;
    for (const Span& span : spans) {
        if (span.x1 <= span.x0) continue;
        if (kept > 0 && spans[kept - 1].y == span.y && spans[kept - 1].x1 >= span.x0) {
            spans[kept - 1].x1 = std::max(spans[kept - 1].x1, span.x1);
            continue;
        }
        spans[kept++] = span;
    }
    spans.resize(kept);
}

SpanList SubtractSpans(const SpanList& from, const SpanList& cut) {
    SpanList result;
    result.reserve(from.size());
    size_t c = 0;
    for (const Span& span : from) {
        while (c < cut.size() &&
               (cut[c].y < span.y || (cut[c].y == span.y && cut[c].x1 <= span.x0)))
            ++c;
        int32_t x = span.x0;
        for (size_t k = c; k < cut.size() && cut[k].y == span.y && cut[k].x0 < span.x1; ++k) {
            if (cut[k].x0 > x) result.push_back(Span{span.y, x, cut[k].x0});
            x = std::max(x, cut[k].x1);
        }
        if (x < span.x1) result.push_back(Span{span.y, x, span.x1});
    }
    return result;
}

} // namespace platform
