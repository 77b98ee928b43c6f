// Runs of pixels on one row, the scan converter's output and what a device fills: pixels
// x0 .. x1 - 1 of row y. A span list in normal form is sorted by y, then x, and its runs
// neither overlap nor touch.
#pragma once

#include <cstdint>
#include <vector>

namespace platform {

struct Span {
    int32_t y;
    int32_t x0;
    int32_t x1;

    friend bool operator==(const Span&, const Span&) = default;
};

using SpanList = std::vector<Span>;

// Sorts the runs and joins those that overlap or touch.
void NormalizeSpans(SpanList& spans);

// The pixels of `from` that are not in `cut`; both in normal form, and so is the result.
SpanList SubtractSpans(const SpanList& from, const SpanList& cut);

} // namespace platform
