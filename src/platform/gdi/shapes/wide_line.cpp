#include "platform/gdi/shapes/wide_line.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/gdi/shapes/scan_arithmetic.h"

namespace platform::scan {
namespace {

// Doubled coordinates below this keep every product of two differences (and their sums)
// within 63 bits.
constexpr int64_t kSmall = int64_t{1} << 29;

// Whether a point `across` (the cross product with the segment) from the line lies closer
// than the radius: across^2 < radius^2 length^2, exactly.
bool AcrossWithin(Int128 across, Int128 radius2, Int128 length2) {
    UInt128 magnitude = Magnitude(across);
    return CompareProducts(magnitude, magnitude, UInt128(radius2), UInt128(length2)) < 0;
}
// The segment in doubled units, where the centre of pixel (x, y) is (2x, 2y) and the
// pen's radius is its width; for coordinates SmallCapsule cannot take.
class Capsule {
public:
    Capsule(Point64 a, Point64 b, int64_t width)
        : ax_(2 * Int128(a.x)), ay_(2 * Int128(a.y)), bx_(2 * Int128(b.x)), by_(2 * Int128(b.y)),
          radius_(width) {
        if (width % 2 == 0) {
            ax_ -= 1;
            ay_ -= 1;
            bx_ -= 1;
            by_ -= 1;
        }
        dx_ = bx_ - ax_;
        dy_ = by_ - ay_;
        length2_ = dx_ * dx_ + dy_ * dy_;
        radius2_ = radius_ * radius_;
        originX_ = Approximate(ax_);
        slopeX_ = Approximate(dx_);
        slopeY_ = Approximate(dy_);
        reach_ = Approximate(radius_) * std::sqrt(Approximate(length2_));
    }

    Int128 Top() const { return Int128(std::min(ay_, by_)) - radius_; }
    Int128 Bottom() const { return Int128(std::max(ay_, by_)) + radius_; }
    Int128 Left() const { return Int128(std::min(ax_, bx_)) - radius_; }
    Int128 Right() const { return Int128(std::max(ax_, bx_)) + radius_; }

    // Whether the centre of pixel (x, y) lies strictly within the pen's reach.
    bool Inside(int64_t x, int64_t y) const {
        Int128 qx = 2 * Int128(x) - ax_, qy = 2 * Int128(y) - ay_;
        if (length2_ == 0) return qx * qx + qy * qy < radius2_;
        Int128 along = qx * dx_ + qy * dy_;
        if (along <= 0) return qx * qx + qy * qy < radius2_;
        if (along >= length2_) {
            Int128 rx = 2 * Int128(x) - bx_, ry = 2 * Int128(y) - by_;
            return rx * rx + ry * ry < radius2_;
        }
        return AcrossWithin(dx_ * qy - dy_ * qx, radius2_, length2_);
    }

    // An estimate of the row's reach in doubled units, good to a small fraction of its
    // length; false when the row seems missed.
    bool Estimate(int64_t y, double& low, double& high) const {
        const double infinity = std::numeric_limits<double>::infinity();
        Int128 row = 2 * Int128(y);
        bool any = false;
        auto add = [&](double from, double to) {
            low = any ? std::min(low, from) : from;
            high = any ? std::max(high, to) : to;
            any = true;
        };
        for (auto [cx, cy] : {std::pair{ax_, ay_}, std::pair{bx_, by_}}) {
            Int128 left = radius2_ - (row - cy) * (row - cy);
            if (left > 0) {
                double half = std::sqrt(Approximate(left));
                add(Approximate(cx) - half, Approximate(cx) + half);
            }
        }
        if (length2_ == 0) return any;
        double cross = Approximate(dx_ * (row - ay_));
        double stripLow = -infinity, stripHigh = infinity;
        if (dy_ != 0) {
            double a = originX_ + (cross - reach_) / slopeY_;
            double b = originX_ + (cross + reach_) / slopeY_;
            stripLow = std::min(a, b);
            stripHigh = std::max(a, b);
        } else if (std::fabs(cross) >= reach_) {
            return any;
        }
        double slabLow = -infinity, slabHigh = infinity;
        Int128 along = dy_ * (row - ay_);
        if (dx_ != 0) {
            double a = originX_ - Approximate(along) / slopeX_;
            double b = originX_ + Approximate(length2_ - along) / slopeX_;
            slabLow = std::min(a, b);
            slabHigh = std::max(a, b);
        } else if (along <= 0 || along >= length2_) {
            return any;
        }
        double from = std::max(stripLow, slabLow), to = std::min(stripHigh, slabHigh);
        if (from <= to) add(from, to);
        return any;
    }

private:
    Int128 ax_, ay_, bx_, by_;
    Int128 dx_ = 0, dy_ = 0, length2_ = 0;
    Int128 radius_, radius2_ = 0;
    double originX_ = 0, slopeX_ = 0, slopeY_ = 0, reach_ = 0; // the line, for estimates
};

int64_t ClampToPixel(double value, int64_t low, int64_t high) {
    if (!(value > static_cast<double>(low))) return low;
    if (!(value < static_cast<double>(high))) return high;
    return static_cast<int64_t>(value);
}

// The first pixel of [limit, inside] that is in the capsule's row, `inside` being one;
// `hint` is the estimate. The row is convex, so the pixels are out, then in.
template <typename In>
int64_t FirstInside(const In& in, int64_t limit, int64_t inside, int64_t hint) {
    int64_t low = limit, high = inside;
    if (in(hint)) {
        if (hint == limit || !in(hint - 1)) return hint;
        high = hint - 1;
    } else {
        low = hint + 1;
    }
    while (low < high) {
        int64_t middle = low + (high - low) / 2;
        if (in(middle))
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

template <typename In>
int64_t LastInside(const In& in, int64_t inside, int64_t limit, int64_t hint) {
    int64_t low = inside, high = limit;
    if (in(hint)) {
        if (hint == limit || !in(hint + 1)) return hint;
        low = hint + 1;
    } else {
        high = hint - 1;
    }
    while (low < high) {
        int64_t middle = high - (high - low) / 2;
        if (in(middle))
            low = middle;
        else
            high = middle - 1;
    }
    return low;
}

// From pixel `at`, whose state is `state`, towards `end` (step `direction`, +1 or -1): the
// last pixel with that state before the row changes, or `end`. Along the way the state
// changes at most once (the row is convex and `end` is on the same side of the change), so
// the search strides out from `at`, then halves: a change one or two pixels away costs one
// or two tests.
template <typename In>
int64_t Boundary(const In& in, int64_t at, bool state, int64_t end, int64_t direction) {
    int64_t good = at, bad = 0, stride = 1, next = 1; // strides 1, 1, 2, 4, ...
    while (true) {
        int64_t remaining = (end - good) * direction;
        if (remaining <= 0) return good;
        int64_t probe = good + direction * std::min(stride, remaining);
        if (in(probe) != state) {
            bad = probe;
            break;
        }
        good = probe;
        stride = next;
        next *= 2;
    }
    while ((bad - good) * direction > 1) {
        int64_t middle = good + (bad - good) / 2;
        if (in(middle) == state)
            good = middle;
        else
            bad = middle;
    }
    return good;
}

void ScanCapsule(const Capsule& capsule, const ClipBands& clip, SpanList& out) {
    const RECT& bounds = clip.Bounds();
    const int64_t left = bounds.left, right = int64_t{bounds.right} - 1;
    if (capsule.Right() < 2 * Int128(left) || capsule.Left() > 2 * Int128(right)) return;
    // Rows whose centre 2y lies strictly between the capsule's top and bottom.
    int64_t first = static_cast<int64_t>(
        Clamp(FloorDiv(capsule.Top(), 2) + 1, bounds.top, int64_t{bounds.bottom}));
    int64_t last = static_cast<int64_t>(Clamp(CeilDiv(capsule.Bottom(), 2) - 1,
                                              int64_t{bounds.top} - 1, int64_t{bounds.bottom} - 1));
    // The row before, and how its ends moved: a row's ends lie next to where they would be
    // if they kept moving so, which the tests settle in a few steps.
    bool previous = false;
    int64_t lastFrom = 0, lastTo = 0, moveFrom = 0, moveTo = 0;
    for (int64_t y = first; y <= last; ++y) {
        auto in = [&capsule, y](int64_t x) { return capsule.Inside(x, y); };
        if (previous) {
            int64_t guessFrom = std::clamp(lastFrom + moveFrom, left, right);
            int64_t guessTo = std::clamp(lastTo + moveTo, guessFrom, right);
            bool fromIn = in(guessFrom);
            bool toIn = guessTo == guessFrom ? fromIn : in(guessTo);
            if (fromIn || toIn) {
                int64_t inside = fromIn ? guessFrom : guessTo;
                int64_t from = fromIn ? Boundary(in, guessFrom, true, left, -1)
                                      : Boundary(in, guessFrom, false, inside, 1) + 1;
                int64_t to = toIn ? Boundary(in, guessTo, true, right, 1)
                                  : Boundary(in, guessTo, false, inside, -1) - 1;
                clip.Emit(y, from, to + 1, out);
                moveFrom = from - lastFrom;
                moveTo = to - lastTo;
                lastFrom = from;
                lastTo = to;
                continue;
            }
        }
        previous = false;
        double low, high;
        if (!capsule.Estimate(y, low, high)) continue;
        low /= 2;
        high /= 2;
        if (high < static_cast<double>(left) - 1 || low > static_cast<double>(right) + 1) continue;
        int64_t middle = ClampToPixel(std::floor((low + high) / 2 + 0.5), left, right);
        int64_t inside = middle;
        if (!in(inside)) {
            if (middle > left && in(middle - 1))
                inside = middle - 1;
            else if (middle < right && in(middle + 1))
                inside = middle + 1;
            else
                continue;
        }
        int64_t from = FirstInside(in, left, inside, ClampToPixel(std::ceil(low), left, inside));
        int64_t to = LastInside(in, inside, right, ClampToPixel(std::floor(high), inside, right));
        clip.Emit(y, from, to + 1, out);
        previous = true;
        lastFrom = from;
        lastTo = to;
        moveFrom = moveTo = 0;
    }
}

// floor(n / d) and ceil(n / d), d != 0.
int64_t Floor(int64_t n, int64_t d) {
    if (d < 0) n = -n, d = -d;
    return n >= 0 ? n / d : -((-n + d - 1) / d);
}
int64_t Ceil(int64_t n, int64_t d) {
    return -Floor(-n, d);
}

// The largest s with s * s <= value.
uint64_t SquareRootFloor(UInt128 value) {
    auto s = static_cast<uint64_t>(std::sqrt(static_cast<double>(value)));
    while (s > 0 && UInt128(s) * s > value)
        --s;
    while (UInt128(s + 1) * (s + 1) <= value)
        ++s;
    return s;
}

// A capsule's rows in closed form where coordinates are below kSmall: the pixels whose
// centres lie within the pen's reach make up, on a row, the union of the rows of the discs
// round the two ends and of the band along the segment between them, each an interval
// found by exact division. Doubled units as Capsule.
class SmallCapsule {
public:
    SmallCapsule(Point64 a, Point64 b, int64_t width) : radius2_(width * width) {
        int64_t shift = width % 2 == 0 ? 1 : 0;
        ax_ = 2 * a.x - shift;
        ay_ = 2 * a.y - shift;
        bx_ = 2 * b.x - shift;
        by_ = 2 * b.y - shift;
        dx_ = bx_ - ax_;
        dy_ = by_ - ay_;
        length2_ = dx_ * dx_ + dy_ * dy_;
        // |across| < radius * length, across being an integer.
        if (length2_ > 0)
            reach_ = static_cast<int64_t>(
                SquareRootFloor(UInt128(radius2_) * static_cast<uint64_t>(length2_) - 1));
    }

    // Pixels x0 .. x1 of row y (both included); false when the row has none.
    bool Row(int64_t y, int64_t& x0, int64_t& x1) const {
        x0 = std::numeric_limits<int64_t>::max();
        x1 = std::numeric_limits<int64_t>::min();
        const int64_t row = 2 * y;
        Disc(ax_, row - ay_, x0, x1);
        Disc(bx_, row - by_, x0, x1);
        if (length2_ > 0) Band(row - ay_, x0, x1);
        return x0 <= x1;
    }

private:
    // Adds doubled columns low .. high (both included) as pixels.
    static void Add(int64_t low, int64_t high, int64_t& x0, int64_t& x1) {
        int64_t from = Ceil(low, 2), to = Floor(high, 2);
        if (from > to) return;
        x0 = std::min(x0, from);
        x1 = std::max(x1, to);
    }
    // qx^2 + qy^2 < radius^2 round centre column cx.
    void Disc(int64_t cx, int64_t qy, int64_t& x0, int64_t& x1) const {
        int64_t room = radius2_ - qy * qy;
        if (room <= 0) return;
        auto half = static_cast<int64_t>(SquareRootFloor(static_cast<uint64_t>(room - 1)));
        Add(cx - half, cx + half, x0, x1);
    }
    // |dx qy - dy qx| <= reach and 0 < dx qx + dy qy < length^2, qx from a's column.
    void Band(int64_t qy, int64_t& x0, int64_t& x1) const {
        int64_t low = std::numeric_limits<int64_t>::min() / 4;
        int64_t high = std::numeric_limits<int64_t>::max() / 4;
        // c * qx within [from, to]: narrows low .. high, or empties it.
        auto within = [&](int64_t c, int64_t from, int64_t to) {
            if (c == 0) {
                if (from > 0 || to < 0) high = low - 1;
                return;
            }
            if (c < 0) {
                c = -c;
                std::swap(from, to);
                from = -from;
                to = -to;
            }
            low = std::max(low, Ceil(from, c));
            high = std::min(high, Floor(to, c));
        };
        within(dy_, dx_ * qy - reach_, dx_ * qy + reach_);
        within(dx_, 1 - dy_ * qy, length2_ - dy_ * qy - 1);
        if (low <= high) Add(low + ax_, high + ax_, x0, x1);
    }

    int64_t radius2_;
    int64_t ax_ = 0, ay_ = 0, bx_ = 0, by_ = 0;
    int64_t dx_ = 0, dy_ = 0, length2_ = 0;
    int64_t reach_ = 0;
};

void ScanSmallCapsule(const SmallCapsule& capsule, Point64 a, Point64 b, int64_t width,
                      const ClipBands& clip, SpanList& out) {
    const RECT& bounds = clip.Bounds();
    // Rows the pen can reach: within width / 2 of the ends' rows, and the clip's.
    int64_t first = std::max<int64_t>(std::min(a.y, b.y) - width, bounds.top);
    int64_t last = std::min<int64_t>(std::max(a.y, b.y) + width, int64_t{bounds.bottom} - 1);
    for (int64_t y = first; y <= last; ++y) {
        int64_t x0, x1;
        if (!capsule.Row(y, x0, x1)) continue;
        x0 = std::max<int64_t>(x0, bounds.left);
        x1 = std::min<int64_t>(x1, int64_t{bounds.right} - 1);
        if (x0 <= x1) clip.Emit(y, x0, x1 + 1, out);
    }
}

} // namespace

void ScanWideSegment(Point64 a, Point64 b, int64_t width, const ClipBands& clip, SpanList& out) {
    if (clip.Empty()) return;
    const RECT& bounds = clip.Bounds();
    auto small = [](int64_t v) { return v > -kSmall / 2 && v < kSmall / 2; };
    if (small(a.x) && small(a.y) && small(b.x) && small(b.y) && width < kSmall / 2 &&
        small(bounds.left) && small(bounds.right) && small(bounds.top) && small(bounds.bottom))
        ScanSmallCapsule(SmallCapsule(a, b, width), a, b, width, clip, out);
    else
        ScanCapsule(Capsule(a, b, width), clip, out);
}

} // namespace platform::scan
