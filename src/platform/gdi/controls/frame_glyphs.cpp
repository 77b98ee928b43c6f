#include "platform/gdi/controls/frame_glyphs.h"

#include <algorithm>
#include <cstdlib>

#include "platform/gdi/shapes/scan_converter.h"

namespace platform::glyphs {
namespace {

LONG Width(const RECT& r) {
    return r.right - r.left;
}
LONG Height(const RECT& r) {
    return r.bottom - r.top;
}

// A window symbol: a frame whose top is two pixels thick.
void AddWindow(SpanList& out, LONG left, LONG top, LONG right, LONG bottom) {
    AddRect(out, left, top, right, top + 2);
    AddRect(out, left, top + 2, left + 1, bottom - 1);
    AddRect(out, right - 1, top + 2, right, bottom - 1);
    AddRect(out, left, bottom - 1, right, bottom);
}

// The side of a caption symbol's cell and where that cell lies in `box`.
LONG SymbolCell(const RECT& box, LONG& x0, LONG& y0) {
    LONG n = std::min(Width(box), Height(box)) - 6;
    x0 = box.left + (Width(box) - n) / 2;
    y0 = box.top + (Height(box) - (n - 1)) / 2;
    return n;
}

} // namespace

RECT Square(const RECT& r) {
    RECT square = r;
    if (Width(r) < Height(r)) {
        square.top += (Height(r) - Width(r)) / 2;
        square.bottom = square.top + Width(r);
    } else if (Width(r) > Height(r)) {
        square.left += (Width(r) - Height(r)) / 2;
        square.right = square.left + Height(r);
    }
    return square;
}

void AddRect(SpanList& out, LONG left, LONG top, LONG right, LONG bottom) {
    if (right <= left) return;
    for (LONG y = top; y < bottom; ++y)
        out.push_back(Span{y, left, right});
}

SpanList Moved(const SpanList& spans, int dx, int dy) {
    SpanList moved = spans;
    for (Span& s : moved) {
        s.y += dy;
        s.x0 += dx;
        s.x1 += dx;
    }
    return moved;
}

LONG ScrollArrowSize(const RECT& button) {
    return std::max<LONG>(1, (std::min(Width(button), Height(button)) - 4) / 3);
}

SpanList Arrow(const RECT& box, Direction direction, LONG size) {
    SpanList out;
    LONG n = std::max<LONG>(1, size);
    if (direction == Direction::Up || direction == Direction::Down) {
        LONG cx = box.left + (Width(box) - 1) / 2, top = box.top + (Height(box) - n) / 2;
        for (LONG i = 0; i < n; ++i) {
            LONG half = direction == Direction::Up ? i : n - 1 - i;
            out.push_back(Span{top + i, cx - half, cx + half + 1});
        }
        return out;
    }
    LONG cy = box.top + (Height(box) - 1) / 2, left = box.left + (Width(box) - n) / 2;
    for (LONG y = cy - (n - 1); y <= cy + n - 1; ++y) {
        LONG d = std::abs(y - cy);
        if (direction == Direction::Left)
            out.push_back(Span{y, left + d, left + n});
        else
            out.push_back(Span{y, left, left + n - d});
    }
    return out;
}

SpanList Tick(LONG x, LONG y) {
    static constexpr LONG kDrop[] = {2, 3, 4, 3, 2, 1, 0};
    SpanList out;
    for (LONG k = 0; k < 7; ++k)
        AddRect(out, x + k, y + kDrop[k], x + k + 1, y + kDrop[k] + 3);
    NormalizeSpans(out);
    return out;
}

SpanList Disc(const RECT& box) {
    ClipBands open({&box, 1});
    FigureSpans disc = ScanEllipse(box, ScanPen{PenKind::Solid, 1}, true, open);
    disc.outline.insert(disc.outline.end(), disc.interior.begin(), disc.interior.end());
    NormalizeSpans(disc.outline);
    return disc.outline;
}

void Ring(const RECT& box, SpanList& topLeft, SpanList& bottomRight) {
    SpanList ring = SubtractSpans(
        Disc(box), Disc(RECT{box.left + 1, box.top + 1, box.right - 1, box.bottom - 1}));
    LONG last = Width(box) - 1;
    for (const Span& s : ring) {
        // The lit half: (x - left) + (y - top) below the side less one; on that diagonal,
        // the pixels above the middle.
        LONG dy = s.y - box.top;
        LONG split = box.left + last - dy + (last - dy > dy ? 1 : 0);
        if (s.x0 < split) topLeft.push_back(Span{s.y, s.x0, std::min(s.x1, split)});
        if (s.x1 > split) bottomRight.push_back(Span{s.y, std::max(s.x0, split), s.x1});
    }
}

SpanList CloseCross(const RECT& box) {
    SpanList out;
    LONG x0, y0, n = SymbolCell(box, x0, y0);
    for (LONG r = 0; r + 1 < n; ++r) {
        out.push_back(Span{y0 + r, x0 + r, x0 + r + 2});
        out.push_back(Span{y0 + r, x0 + n - 2 - r, x0 + n - r});
    }
    NormalizeSpans(out);
    return out;
}

SpanList MinimizeBar(const RECT& box) {
    SpanList out;
    LONG x0, y0, n = SymbolCell(box, x0, y0);
    AddRect(out, x0, y0 + n - 2, x0 + n - 2, y0 + n);
    return out;
}

SpanList MaximizeBox(const RECT& box) {
    SpanList out;
    LONG x0, y0, n = SymbolCell(box, x0, y0);
    if (n < 2) return out;
    AddWindow(out, x0 - 1, y0 - 1, x0 + n, y0 + n - 1);
    NormalizeSpans(out);
    return out;
}

SpanList RestoreBoxes(const RECT& box) {
    SpanList back, front, hidden;
    LONG x0, y0, n = SymbolCell(box, x0, y0);
    LONG m = n - 2;
    if (m < 3) return back;
    AddWindow(back, x0 + 1, y0 - 1, x0 + 1 + m, y0 - 1 + m);
    AddWindow(front, x0 - 1, y0 + 2, x0 - 1 + m, y0 + 2 + m);
    AddRect(hidden, x0 - 1, y0 + 2, x0 - 1 + m, y0 + 2 + m);
    NormalizeSpans(back);
    NormalizeSpans(hidden);
    back = SubtractSpans(back, hidden);
    back.insert(back.end(), front.begin(), front.end());
    NormalizeSpans(back);
    return back;
}

SpanList HelpMark(const RECT& box) {
    static constexpr const char* kRows[] = {"..####..", ".##..##.", ".....##.",
                                            "....##..", "...##...", "...##...",
                                            "........", "...##...", "...##..."};
    SpanList out;
    LONG x0 = box.left + (Width(box) - 8) / 2, y0 = box.top + (Height(box) - 9) / 2;
    for (LONG y = 0; y < 9; ++y)
        for (LONG x = 0; x < 8; ++x)
            if (kRows[y][x] == '#') out.push_back(Span{y0 + y, x0 + x, x0 + x + 1});
    NormalizeSpans(out);
    return out;
}

void SizeGrip(const RECT& box, bool mirrored, SpanList& light, SpanList& shadow) {
    LONG side = std::min(Width(box), Height(box));
    LONG lines = std::min<LONG>(side - 1, 12);
    for (LONG dy = 0; dy < side; ++dy) {
        LONG y = box.bottom - 1 - dy;
        for (LONG t = std::max<LONG>(dy, 1); t < lines; ++t) {
            // From the corner out: a gap, two shadow diagonals, a light one; again.
            LONG phase = (t - 1) % 4;
            if (phase == 3) continue;
            LONG x = mirrored ? box.left + (t - dy) : box.right - 1 - (t - dy);
            (phase == 2 ? light : shadow).push_back(Span{y, x, x + 1});
        }
    }
    NormalizeSpans(light);
    NormalizeSpans(shadow);
}

} // namespace platform::glyphs
