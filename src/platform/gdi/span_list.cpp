#include "platform/gdi/span_list.h"

#include <algorithm>

namespace platform {

void NormalizeSpans(SpanList& spans) {
    auto before = [](const Span& a, const Span& b) { return a.y != b.y ? a.y < b.y : a.x0 < b.x0; };
    if (!std::is_sorted(spans.begin(), spans.end(), before))
        std::sort(spans.begin(), spans.end(), before);
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
