#include "platform/controls/tabbed_text.h"

#include <algorithm>

namespace {

// The position of the stop after `x` (both from the origin).
int NextStop(int x, int tabCount, const int* stops, int average) {
    if (tabCount <= 0 || stops == nullptr) {
        int step = std::max(average * 8, 1);
        return (x / step + 1) * step;
    }
    if (tabCount == 1) {
        int step = std::max(stops[0], 1);
        return (x / step + 1) * step;
    }
    for (int i = 0; i < tabCount; ++i)
        if (stops[i] > x) return stops[i];
    return x + std::max(average, 1);
}

// Walks the runs between tabs, drawing each when `draw`; returns the width.
LONG Walk(HDC dc, int x, int y, LPCSTR text, int count, int tabCount, const int* stops, int origin,
          bool draw, int& height) {
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    height = metrics.tmHeight;
    if (text == nullptr || count <= 0) return 0;
    int at = x;
    int runStart = 0;
    for (int i = 0; i <= count; ++i) {
        if (i < count && text[i] != '\t') continue;
        SIZE size{};
        if (i > runStart) {
            GetTextExtentPoint32A(dc, text + runStart, i - runStart, &size);
            if (draw) TextOutA(dc, at, y, text + runStart, i - runStart);
        }
        at += size.cx;
        if (i < count) at = origin + NextStop(at - origin, tabCount, stops, metrics.tmAveCharWidth);
        runStart = i + 1;
    }
    return at - x;
}

} // namespace

LONG TabbedTextOutA(HDC dc, int x, int y, LPCSTR text, int count, int tabCount, const int* tabStops,
                    int tabOrigin) {
    int height = 0;
    LONG width = Walk(dc, x, y, text, count, tabCount, tabStops, tabOrigin, true, height);
    return MAKELONG(static_cast<int>(width), height);
}

DWORD GetTabbedTextExtentA(HDC dc, LPCSTR text, int count, int tabCount, const int* tabStops) {
    int height = 0;
    LONG width = Walk(dc, 0, 0, text, count, tabCount, tabStops, 0, false, height);
    return static_cast<DWORD>(MAKELONG(static_cast<int>(width), height));
}
