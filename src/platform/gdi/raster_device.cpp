#include "platform/gdi/raster_device.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <vector>

#include "platform/gdi/bitmaps/raster_op.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform {
namespace {

constexpr int64_t kMaxImageBytes = std::numeric_limits<int32_t>::max();

LONG Clamp(int64_t value) {
    return static_cast<LONG>(std::clamp<int64_t>(value, std::numeric_limits<LONG>::min(),
                                                 std::numeric_limits<LONG>::max()));
}

RECT Moved(const RECT& r, POINT by) {
    return RECT{Clamp(int64_t{r.left} + by.x), Clamp(int64_t{r.top} + by.y),
                Clamp(int64_t{r.right} + by.x), Clamp(int64_t{r.bottom} + by.y)};
}

// Where drawing may go, in surface coordinates.
Region Drawable(const RasterTarget& target, ClipRegion clip) {
    Region area = target.limit;
    area.Intersect(RECT{0, 0, target.surface.width, target.surface.height});
    if (clip) {
        Region moved = *clip;
        moved.Offset(target.origin.x, target.origin.y);
        area.Intersect(moved);
    }
    return area;
}

void Grow(RECT& changed, const RECT& r) {
    if (IsEmptyRect(r)) return;
    if (IsEmptyRect(changed)) {
        changed = r;
        return;
    }
    changed = RECT{std::min(changed.left, r.left), std::min(changed.top, r.top),
                   std::max(changed.right, r.right), std::max(changed.bottom, r.bottom)};
}

uint32_t Blend(uint32_t from, uint32_t to, int coverage) {
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        int a = static_cast<int>(from >> shift & 0xFF);
        int b = static_cast<int>(to >> shift & 0xFF);
        out |= static_cast<uint32_t>(a + ((b - a) * coverage + 127) / 255) << shift;
    }
    return out;
}

int Coverage(const GlyphMask& glyph, int gx, int gy) {
    const uint8_t* row = glyph.bits + gy * glyph.pitch;
    if (glyph.bitsPerPixel == 1) return (row[gx >> 3] >> (7 - (gx & 7)) & 1) ? 255 : 0;
    return row[gx];
}

// Eight pixels at `out` take `solid` where `bits` has a 1 (most significant first), without
// a branch a pixel.
void MonoByte(uint32_t* out, uint8_t bits, uint32_t solid) {
#if defined(__SSE2__)
    const __m128i all = _mm_set1_epi32(bits);
    const __m128i color = _mm_set1_epi32(static_cast<int>(solid));
    const __m128i high = _mm_setr_epi32(0x80, 0x40, 0x20, 0x10);
    const __m128i low = _mm_setr_epi32(0x08, 0x04, 0x02, 0x01);
    for (int half = 0; half < 2; ++half) {
        const __m128i which = half == 0 ? high : low;
        __m128i set = _mm_cmpeq_epi32(_mm_and_si128(all, which), which);
        auto* at = reinterpret_cast<__m128i*>(out + 4 * half);
        __m128i under = _mm_loadu_si128(at);
        _mm_storeu_si128(at, _mm_or_si128(_mm_and_si128(set, color), _mm_andnot_si128(set, under)));
    }
#else
    for (int i = 0; i < 8; ++i)
        out[i] = (bits >> (7 - i) & 1) ? solid : out[i];
#endif
}

// A row of a 1-bit mask, pixels from .. to - 1 of it, onto 32-bit pixels starting at `out`
// (the mask's pixel `from`), of which `room` lie in the surface's row: a byte of the mask at
// a time, empty ones passed over. Glyphs are narrow, so most rows end inside a byte.
void MonoRow(uint32_t* out, const uint8_t* mask, int from, int to, int room, uint32_t solid) {
    for (int gx = from; gx < to;) {
        const int skip = gx & 7, count = std::min(8 - skip, to - gx);
        const auto bits =
            static_cast<uint8_t>((mask[gx >> 3] << skip) & (0xFF00 >> count)); // top `count`
        const int offset = gx - from;
        uint32_t* at = out + offset;
        gx += count;
        if (bits == 0) continue;
        if (count == 8 && bits == 0xFF) {
            std::fill_n(at, 8, solid);
        } else if (offset + 8 <= room) {
            // A part byte too: the pixels past its count keep their own values.
            MonoByte(at, bits, solid);
        } else {
            for (int i = 0; i < count; ++i)
                at[i] = (bits >> (7 - i) & 1) ? solid : at[i];
        }
    }
}

#if defined(__SSE2__)
// Four pixels of GreyRow at once: the same sums in 16-bit lanes. a + trunc(((b - a) c + 127)
// / 255) is, with d = b - a, a + floor((|d| c + 127) / 255) where d >= 0 and
// a - floor(max(|d| c - 127, 0) / 255) where d < 0, and floor(m / 255) is m * 0x8081 >> 23
// for every 16-bit m.
__m128i BlendFour(__m128i under, __m128i coverage, __m128i color) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i bias = _mm_set1_epi16(127);
    __m128i c16 = _mm_unpacklo_epi8(coverage, zero);
    __m128i c2 = _mm_unpacklo_epi16(c16, c16);
    __m128i halves[2] = {_mm_unpacklo_epi32(c2, c2), _mm_unpackhi_epi32(c2, c2)};
    __m128i b = _mm_unpacklo_epi8(color, zero);
    __m128i a[2] = {_mm_unpacklo_epi8(under, zero), _mm_unpackhi_epi8(under, zero)};
    for (int i = 0; i < 2; ++i) {
        __m128i d = _mm_sub_epi16(b, a[i]);
        __m128i negative = _mm_cmplt_epi16(d, zero);
        __m128i magnitude = _mm_sub_epi16(_mm_xor_si128(d, negative), negative);
        __m128i product = _mm_mullo_epi16(magnitude, halves[i]);
        __m128i m = _mm_or_si128(_mm_and_si128(negative, _mm_subs_epu16(product, bias)),
                                 _mm_andnot_si128(negative, _mm_add_epi16(product, bias)));
        __m128i q = _mm_srli_epi16(_mm_mulhi_epu16(m, _mm_set1_epi16(short(0x8081))), 7);
        a[i] = _mm_add_epi16(a[i], _mm_sub_epi16(_mm_xor_si128(q, negative), negative));
    }
    return _mm_packus_epi16(a[0], a[1]);
}
#endif

// A row of an 8-bit coverage mask blended onto 0x00RRGGBB pixels: none leaves a pixel as
// it is, full coverage stores the colour, the rest blend (dropping the unused byte).
void GreyRow(uint32_t* out, const uint8_t* mask, int from, int to, uint32_t solid, uint32_t rgb) {
    int gx = from;
#if defined(__SSE2__)
    const __m128i color = _mm_set1_epi32(static_cast<int>(rgb));
    const __m128i solids = _mm_set1_epi32(static_cast<int>(solid));
    const __m128i low = _mm_set1_epi32(0x00FFFFFF);
    const __m128i zero = _mm_setzero_si128();
    for (; gx + 4 <= to; gx += 4) {
        uint32_t four;
        std::memcpy(&four, mask + gx, 4);
        if (four == 0) continue;
        uint32_t* at = out + (gx - from);
        if (four == 0xFFFFFFFFu) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(at), solids);
            continue;
        }
        __m128i under = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        __m128i coverage = _mm_cvtsi32_si128(static_cast<int>(four));
        __m128i blended = BlendFour(_mm_and_si128(under, low), coverage, color);
        __m128i c32 = _mm_unpacklo_epi16(_mm_unpacklo_epi8(coverage, zero), zero);
        __m128i none = _mm_cmpeq_epi32(c32, zero);
        __m128i full = _mm_cmpeq_epi32(c32, _mm_set1_epi32(255));
        __m128i result = _mm_or_si128(_mm_and_si128(full, solids), _mm_andnot_si128(full, blended));
        result = _mm_or_si128(_mm_and_si128(none, under), _mm_andnot_si128(none, result));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(at), result);
    }
#endif
    for (; gx < to; ++gx) {
        int c = mask[gx];
        if (c == 0) continue;
        uint32_t& pixel = out[gx - from];
        pixel = c == 255 ? solid : Blend(pixel & 0x00FFFFFFu, rgb, c);
    }
}

bool SameColors(const Surface& a, const Surface& b) {
    if (a.format != b.format) return false;
    if (a.format != PixelFormat::Indexed8 && a.format != PixelFormat::Mono) return true;
    return a.tableSize == b.tableSize &&
           std::equal(a.table, a.table + a.tableSize, b.table, b.table + b.tableSize);
}

} // namespace

bool Image::Allocate(int width, int height, PixelFormat format, std::span<const uint32_t> colors) {
    int64_t stride = RowBytes(std::max(width, 0), BitsPerPixel(format), 4);
    int64_t bytes = stride * std::max(height, 0);
    if (width < 0 || height < 0 || bytes > kMaxImageBytes) return false;
    pixels.assign(static_cast<size_t>(bytes), 0);
    table.assign(colors.begin(), colors.end());
    surface = Surface{pixels.data(), static_cast<ptrdiff_t>(stride), width, height, format,
                      table.data(),  static_cast<int>(table.size())};
    return true;
}

void ConvertPixels(const Surface& from, int fx, int fy, const Surface& to,
                   const BlitColors& colors) {
    bool fromMono = from.format == PixelFormat::Mono;
    bool toMono = to.format == PixelFormat::Mono;
    if (SameColors(from, to) || (fromMono && toMono)) {
        for (int y = 0; y < to.height; ++y)
            for (int x = 0; x < to.width; ++x)
                WritePixel(to, x, y, ReadPixel(from, fx + x, fy + y));
        return;
    }
    if (toMono) {
        uint32_t background = ColorToPixel(from, colors.sourceBackground);
        for (int y = 0; y < to.height; ++y)
            for (int x = 0; x < to.width; ++x)
                WritePixel(to, x, y, ReadPixel(from, fx + x, fy + y) == background ? 1 : 0);
        return;
    }
    std::array<uint32_t, 256> lookup{};
    bool indexed = from.format == PixelFormat::Indexed8 || fromMono;
    if (fromMono) {
        lookup[0] = ColorToPixel(to, colors.text);
        lookup[1] = ColorToPixel(to, colors.background);
    } else if (indexed) {
        for (int i = 0; i < 256; ++i)
            lookup[i] = ColorToPixel(to, PixelToColor(from, static_cast<uint32_t>(i)));
    }
    // An 8-bit target's entry depends on the top five bits of each channel alone: a large
    // image searches the table once for each such colour it holds, not once a pixel.
    std::vector<int16_t> nearest;
    if (!indexed && to.format == PixelFormat::Indexed8 && int64_t{to.width} * to.height >= 4096)
        nearest.assign(32768, -1);
    auto convert = [&](uint32_t pixel) {
        COLORREF color = PixelToColor(from, pixel);
        if (nearest.empty()) return ColorToPixel(to, color);
        size_t key = (color & 0xF8) << 7 | (color >> 8 & 0xF8) << 2 | (color >> 19 & 0x1F);
        if (nearest[key] < 0) nearest[key] = static_cast<int16_t>(ColorToPixel(to, color));
        return static_cast<uint32_t>(nearest[key]);
    };
    uint32_t lastIn = 0, lastOut = convert(0);
    for (int y = 0; y < to.height; ++y) {
        for (int x = 0; x < to.width; ++x) {
            uint32_t pixel = ReadPixel(from, fx + x, fy + y);
            if (indexed) {
                WritePixel(to, x, y, lookup[pixel & 0xFF]);
                continue;
            }
            if (pixel != lastIn) {
                lastIn = pixel;
                lastOut = convert(pixel);
            }
            WritePixel(to, x, y, lastOut);
        }
    }
}

bool RasterDevice::Limit(Region& limit) {
    return Access([&](RasterTarget& target) {
        limit = target.limit;
        limit.Intersect(RECT{0, 0, target.surface.width, target.surface.height});
        limit.Offset(-target.origin.x, -target.origin.y);
    });
}

namespace {

// Fills spans of one colour under one operation within what may be drawn, and grows the
// changed box once, from the extremes of what it filled.
class SpanFiller {
public:
    SpanFiller(RasterTarget& target, const Region& area, COLORREF color, int rop2)
        : target_(target), rects_(area.Rects()), bounds_(area.Bounds()),
          single_(rects_.size() == 1), rop3_(Rop3FromRop2(rop2)),
          terms_(MakeRopTerms(rop3_, ColorToPixel(target.surface, color))),
          solid_(!RopUsesDestination(rop3_)),
          words_(solid_ && target.surface.format == PixelFormat::Bgrx32), pixel_(terms_.term[0]) {}
    ~SpanFiller() {
        if (left_ < right_) Grow(target_.changed, RECT{left_, top_, right_, bottom_});
    }
    SpanFiller(const SpanFiller&) = delete;
    SpanFiller& operator=(const SpanFiller&) = delete;

    // Spans in their colour; the loop keeps the state it changes in locals.
    void Fill(std::span<const Span> spans) {
        const Surface& surface = target_.surface;
        const int64_t ox = target_.origin.x, oy = target_.origin.y;
        LONG left = left_, top = top_, right = right_, bottom = bottom_;
        auto run = [&](LONG y, LONG x0, LONG x1) {
            if (words_ && x1 - x0 == 1)
                std::memcpy(surface.Row(y) + 4 * static_cast<ptrdiff_t>(x0), &pixel_, 4);
            else if (words_)
                FillPixels<uint32_t>(surface.Row(y) + 4 * static_cast<ptrdiff_t>(x0), x1 - x0,
                                     pixel_);
            else if (solid_)
                SolidRow(surface, y, x0, x1, pixel_);
            else
                RopRow(surface, y, x0, x1, nullptr, 0, 0, rop3_, terms_);
            left = std::min(left, x0);
            right = std::max(right, x1);
            top = std::min(top, y);
            bottom = std::max(bottom, y + 1);
        };
        for (const Span& span : spans) {
            int64_t y = int64_t{span.y} + oy;
            if (y < bounds_.top || y >= bounds_.bottom) continue;
            int64_t x0 = int64_t{span.x0} + ox, x1 = int64_t{span.x1} + ox;
            auto row = static_cast<LONG>(y);
            if (single_) {
                auto from = static_cast<LONG>(std::max<int64_t>(x0, bounds_.left));
                auto to = static_cast<LONG>(std::min<int64_t>(x1, bounds_.right));
                if (from < to) run(row, from, to);
                continue;
            }
            for (const RECT& r : rects_) {
                if (y < r.top || y >= r.bottom) continue;
                auto from = static_cast<LONG>(std::max<int64_t>(x0, r.left));
                auto to = static_cast<LONG>(std::min<int64_t>(x1, r.right));
                if (from < to) run(row, from, to);
            }
        }
        left_ = left;
        top_ = top;
        right_ = right;
        bottom_ = bottom;
    }

private:
    RasterTarget& target_;
    const std::vector<RECT>& rects_;
    const RECT bounds_;
    const bool single_;
    const uint8_t rop3_;
    const RopTerms terms_;
    const bool solid_;
    const bool words_;
    const uint32_t pixel_;
    LONG left_ = std::numeric_limits<LONG>::max(), top_ = left_;
    LONG right_ = std::numeric_limits<LONG>::min(), bottom_ = right_;
};

} // namespace

bool RasterDevice::FillSpans(std::span<const Span> spans, COLORREF color, int rop2,
                             ClipRegion clip) {
    return Access([&](RasterTarget& target) {
        Region area = Drawable(target, clip);
        if (area.Empty()) return;
        SpanFiller(target, area, color, rop2).Fill(spans);
    });
}

bool RasterDevice::FillFigure(std::span<const Span> interior, COLORREF brush,
                              std::span<const Span> outline, COLORREF pen, int rop2,
                              ClipRegion clip) {
    return Access([&](RasterTarget& target) {
        Region area = Drawable(target, clip);
        if (area.Empty()) return;
        // The two share no pixel: each list goes in one pass, with one lock and one clip.
        SpanFiller(target, area, brush, rop2).Fill(interior);
        SpanFiller(target, area, pen, rop2).Fill(outline);
    });
}

bool RasterDevice::FillRects(std::span<const ColorRect> rects, int rop2, ClipRegion clip) {
    return Access([&](RasterTarget& target) {
        Region area = Drawable(target, clip);
        if (area.Empty()) return;
        const Surface& out = target.surface;
        const uint8_t rop3 = Rop3FromRop2(rop2);
        const bool solid = !RopUsesDestination(rop3);
        for (const ColorRect& fill : rects) {
            RECT box = IntersectRects(Moved(fill.rect, target.origin), area.Bounds());
            if (IsEmptyRect(box)) continue;
            RopTerms terms = MakeRopTerms(rop3, ColorToPixel(out, fill.color));
            for (const RECT& r : area.Rects()) {
                RECT part = IntersectRects(r, box);
                if (IsEmptyRect(part)) continue;
                if (!solid)
                    for (LONG y = part.top; y < part.bottom; ++y)
                        RopRow(out, y, part.left, part.right, nullptr, 0, 0, rop3, terms);
                else if (part.right - part.left == 1 && out.format == PixelFormat::Bgrx32)
                    // A figure's side one pixel wide: a store a row.
                    for (LONG y = part.top; y < part.bottom; ++y)
                        std::memcpy(out.Row(y) + 4 * static_cast<ptrdiff_t>(part.left),
                                    &terms.term[0], 4);
                else
                    SolidRect(out, part, terms.term[0]);
                Grow(target.changed, part);
            }
        }
    });
}

bool RasterDevice::DrawGlyphs(std::span<const GlyphMask> glyphs, COLORREF color, ClipRegion clip) {
    return Access([&](RasterTarget& target) {
        Region area = Drawable(target, clip);
        const Surface& s = target.surface;
        bool blend = BitsPerPixel(s.format) > 8;
        uint32_t solid = ColorToPixel(s, color);
        uint32_t rgb = SwapRedBlue(color & 0x00FFFFFFu);
        for (const GlyphMask& glyph : glyphs) {
            RECT box = Moved(RECT{glyph.x, glyph.y, Clamp(int64_t{glyph.x} + glyph.width),
                                  Clamp(int64_t{glyph.y} + glyph.height)},
                             target.origin);
            for (const RECT& r : area.Rects()) {
                RECT part = IntersectRects(box, r);
                if (IsEmptyRect(part)) continue;
                if (s.format == PixelFormat::Bgrx32) {
                    for (LONG y = part.top; y < part.bottom; ++y) {
                        auto* row = reinterpret_cast<uint32_t*>(s.Row(y)) + part.left;
                        const uint8_t* mask = glyph.bits + (y - box.top) * glyph.pitch;
                        int from = part.left - box.left, to = part.right - box.left;
                        if (glyph.bitsPerPixel == 1)
                            MonoRow(row, mask, from, to, s.width - part.left, solid);
                        else
                            GreyRow(row, mask, from, to, solid, rgb);
                    }
                } else {
                    for (LONG y = part.top; y < part.bottom; ++y) {
                        for (LONG x = part.left; x < part.right; ++x) {
                            int c = Coverage(glyph, x - box.left, y - box.top);
                            if (c == 0 || (!blend && c < 128)) continue;
                            if (!blend || c == 255) {
                                WritePixel(s, x, y, solid);
                                continue;
                            }
                            uint32_t under = SwapRedBlue(PixelToColor(s, ReadPixel(s, x, y)));
                            WritePixel(s, x, y, ColorToPixel(s, SwapRedBlue(Blend(under, rgb, c))));
                        }
                    }
                }
                Grow(target.changed, part);
            }
        }
    });
}

bool RasterDevice::Blit(const RECT& area, const Image* source, POINT at, uint8_t rop3,
                        COLORREF brush, const BlitColors& colors, ClipRegion clip) {
    return Access([&](RasterTarget& target) {
        Region drawable = Drawable(target, clip);
        RECT box = IntersectRects(Moved(area, target.origin), drawable.Bounds());
        if (IsEmptyRect(box)) return;
        const Surface& out = target.surface;
        const Surface* in = nullptr;
        POINT sourceAt{0, 0}; // the source pixel under the box's corner
        Image converted;
        if (source && RopUsesSource(rop3)) {
            int64_t sx = int64_t{box.left} - target.origin.x - at.x;
            int64_t sy = int64_t{box.top} - target.origin.y - at.y;
            RECT inside =
                IntersectRects(RECT{Clamp(sx), Clamp(sy), Clamp(sx + (box.right - box.left)),
                                    Clamp(sy + (box.bottom - box.top))},
                               RECT{0, 0, source->surface.width, source->surface.height});
            if (IsEmptyRect(inside)) return;
            box =
                RECT{Clamp(box.left + (inside.left - sx)), Clamp(box.top + (inside.top - sy)),
                     Clamp(box.left + (inside.right - sx)), Clamp(box.top + (inside.bottom - sy))};
            if (SameColors(source->surface, out)) {
                in = &source->surface;
                sourceAt = POINT{inside.left, inside.top};
            } else {
                if (!converted.Allocate(inside.right - inside.left, inside.bottom - inside.top,
                                        out.format, std::span(out.table, out.tableSize)))
                    return;
                ConvertPixels(source->surface, inside.left, inside.top, converted.surface, colors);
                in = &converted.surface;
            }
        }
        RopTerms terms = MakeRopTerms(rop3, ColorToPixel(out, brush));
        // A fill that stores the pattern alone (PatBlt, FillRect) goes a rectangle at a time.
        const bool solid = !in && !RopUsesDestination(rop3);
        for (const RECT& r : drawable.Rects()) {
            RECT part = IntersectRects(r, box);
            if (IsEmptyRect(part)) continue;
            if (solid)
                SolidRect(out, part, terms.term[0]);
            else
                for (LONG y = part.top; y < part.bottom; ++y)
                    RopRow(out, y, part.left, part.right, in, sourceAt.x + (part.left - box.left),
                           sourceAt.y + (y - box.top), rop3, terms);
            Grow(target.changed, part);
        }
    });
}

bool RasterDevice::BlitFrom(const RECT& area, Device& source, POINT from, POINT to, uint8_t rop3,
                            COLORREF brush, ClipRegion clip) {
    auto* raster = dynamic_cast<RasterDevice*>(&source);
    if (!raster) return false;
    bool drawn = false;
    bool locked = AccessWith(*raster, [&](RasterTarget& target, RasterTarget& in) {
        const Surface& out = target.surface;
        const Surface& read = in.surface;
        bool mono = out.format == PixelFormat::Mono && read.format == PixelFormat::Mono;
        if (!SameColors(read, out) && !mono) return;
        Region drawable = Drawable(target, clip);
        RECT box = IntersectRects(Moved(area, target.origin), drawable.Bounds());
        // The source pixel of surface pixel (x, y) is (x + dx, y + dy) of the source's.
        int64_t dx = int64_t{from.x} + in.origin.x - to.x - target.origin.x;
        int64_t dy = int64_t{from.y} + in.origin.y - to.y - target.origin.y;
        if (!IsEmptyRect(box) && (box.left + dx < 0 || box.top + dy < 0 ||
                                  box.right + dx > read.width || box.bottom + dy > read.height))
            return;
        // On one surface, each row is written before the rows it is read from, and within a
        // row the parts go against the shift; a row moving right is only safe as one move.
        bool same = read.bits == out.bits;
        if (same && dy == 0 && dx < 0 && (rop3 != 0xCC || BitsPerPixel(out.format) < 8)) return;
        RopTerms terms = MakeRopTerms(rop3, ColorToPixel(out, brush));
        if (!same) {
            // Two surfaces: rows in any order, straight from one to the other.
            for (const RECT& r : drawable.Rects()) {
                RECT part = IntersectRects(r, box);
                for (LONG y = part.top; y < part.bottom; ++y)
                    RopRow(out, y, part.left, part.right, &read, static_cast<int>(part.left + dx),
                           static_cast<int>(y + dy), rop3, terms);
                Grow(target.changed, part);
            }
            drawn = true;
            return;
        }
        struct Part {
            LONG y, left, right;
        };
        std::vector<Part> parts;
        for (const RECT& r : drawable.Rects()) {
            RECT part = IntersectRects(r, box);
            for (LONG y = part.top; y < part.bottom; ++y)
                parts.push_back(Part{y, part.left, part.right});
            Grow(target.changed, part);
        }
        std::sort(parts.begin(), parts.end(), [&](const Part& a, const Part& b) {
            if (a.y != b.y) return dy >= 0 ? a.y < b.y : a.y > b.y;
            return dx >= 0 ? a.left < b.left : a.left > b.left;
        });
        for (const Part& p : parts)
            RopRow(out, p.y, p.left, p.right, &read, static_cast<int>(p.left + dx),
                   static_cast<int>(p.y + dy), rop3, terms);
        drawn = true;
    });
    return locked && drawn;
}

bool RasterDevice::StretchFrom(const RECT& area, Device& source, std::span<const int> columns,
                               std::span<const int> rows, uint8_t rop3, COLORREF brush,
                               ClipRegion clip) {
    auto* raster = dynamic_cast<RasterDevice*>(&source);
    if (!raster || columns.empty() || rows.empty()) return false;
    bool drawn = false;
    bool locked = AccessWith(*raster, [&](RasterTarget& target, RasterTarget& in) {
        const Surface& out = target.surface;
        const Surface& read = in.surface;
        const int bits = BitsPerPixel(out.format);
        // One surface would be read where it was already written.
        if (read.bits == out.bits || !SameColors(read, out) || bits < 8) return;
        auto [left, right] = std::minmax_element(columns.begin(), columns.end());
        auto [top, bottom] = std::minmax_element(rows.begin(), rows.end());
        if (int64_t{*left} + in.origin.x < 0 || int64_t{*right} + in.origin.x >= read.width ||
            int64_t{*top} + in.origin.y < 0 || int64_t{*bottom} + in.origin.y >= read.height)
            return;
        const int bytes = bits / 8;
        const RECT box = Moved(area, target.origin);
        const Region drawable = Drawable(target, clip);
        const RopTerms terms = MakeRopTerms(rop3, ColorToPixel(out, brush));
        const bool copy = rop3 == 0xCC;
        std::vector<uint8_t> line; // a sampled row, for operations that mix it with more
        for (const RECT& r : drawable.Rects()) {
            RECT part = IntersectRects(r, box);
            if (IsEmptyRect(part)) continue;
            const int count = part.right - part.left;
            const int* sampled = columns.data() + (part.left - box.left);
            if (!copy) line.resize(static_cast<size_t>(count) * bytes);
            for (LONG y = part.top; y < part.bottom; ++y) {
                const size_t j = static_cast<size_t>(y - box.top);
                uint8_t* to =
                    copy ? out.Row(y) + static_cast<ptrdiff_t>(part.left) * bytes : line.data();
                // An enlarged row repeats the one above it.
                if (copy && y > part.top && rows[j] == rows[j - 1])
                    std::memcpy(to, out.Row(y - 1) + static_cast<ptrdiff_t>(part.left) * bytes,
                                static_cast<size_t>(count) * bytes);
                else
                    SampleRow(to,
                              read.Row(rows[j] + in.origin.y) +
                                  static_cast<ptrdiff_t>(in.origin.x) * bytes,
                              sampled, count, bytes);
                if (!copy) {
                    Surface one{line.data(), 0, count, 1, out.format, out.table, out.tableSize};
                    RopRow(out, y, part.left, part.right, &one, 0, 0, rop3, terms);
                }
            }
            Grow(target.changed, part);
        }
        drawn = true;
    });
    return locked && drawn;
}

bool RasterDevice::Read(const RECT& area, Image& out) {
    bool allocated = false;
    bool alive = Access([&](RasterTarget& target) {
        const Surface& s = target.surface;
        if (!out.Allocate(area.right - area.left, area.bottom - area.top, s.format,
                          std::span(s.table, s.tableSize)))
            return;
        allocated = true;
        RECT from = IntersectRects(Moved(area, target.origin), RECT{0, 0, s.width, s.height});
        RopTerms copy = MakeRopTerms(0xCC, 0);
        for (LONG y = from.top; y < from.bottom; ++y) {
            int oy = static_cast<int>(int64_t{y} - target.origin.y - area.top);
            int ox = static_cast<int>(int64_t{from.left} - target.origin.x - area.left);
            RopRow(out.surface, oy, ox, ox + (from.right - from.left), &s, from.left, y, 0xCC,
                   copy);
        }
    });
    return alive && allocated;
}

COLORREF RasterDevice::GetPixel(int x, int y, ClipRegion clip) {
    COLORREF color = CLR_INVALID;
    Access([&](RasterTarget& target) {
        int64_t sx = int64_t{x} + target.origin.x, sy = int64_t{y} + target.origin.y;
        if (sx != Clamp(sx) || sy != Clamp(sy)) return;
        if (!Drawable(target, clip).Contains(static_cast<LONG>(sx), static_cast<LONG>(sy))) return;
        const Surface& s = target.surface;
        color = PixelToColor(s, ReadPixel(s, static_cast<int>(sx), static_cast<int>(sy)));
    });
    return color;
}

COLORREF RasterDevice::SetPixel(int x, int y, COLORREF color, ClipRegion clip) {
    COLORREF stored = CLR_INVALID;
    Access([&](RasterTarget& target) {
        int64_t sx = int64_t{x} + target.origin.x, sy = int64_t{y} + target.origin.y;
        if (sx != Clamp(sx) || sy != Clamp(sy)) return;
        auto px = static_cast<LONG>(sx), py = static_cast<LONG>(sy);
        if (!Drawable(target, clip).Contains(px, py)) return;
        const Surface& s = target.surface;
        uint32_t pixel = ColorToPixel(s, color);
        WritePixel(s, px, py, pixel);
        Grow(target.changed, RECT{px, py, px + 1, py + 1});
        stored = PixelToColor(s, pixel);
    });
    return stored;
}

} // namespace platform
