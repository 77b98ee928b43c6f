#include <algorithm>
#include <cmath>
#include <cstring>

#include <emmintrin.h>

#include "graphics2d/blitter/pixel_traits.h"
#include "graphics2d/surfaces/surface.h"

namespace {

// Source positions in fixed point, 16 bits of fraction, 64 bits wide so that any surface
// size fits; stepping along a row is one addition per pixel.
constexpr int kFraction = 16;
constexpr int64_t kOne = int64_t(1) << kFraction;

int64_t ToFixed(double value) {
    return std::llround(value * double(kOne));
}

// The weight of the right or lower neighbour in 256ths, rounded, from a position's fraction.
inline uint32_t Weight(int64_t position) {
    return uint32_t(((position & (kOne - 1)) + (kOne >> 9)) >> (kFraction - 8));
}

// The four corners of a position mixed by its weights, across then down, each step
// rounded, channel by channel. `top` holds the top left and top right pixels in its low 8
// bytes, `bottom` the lower two; `across` and `down` hold in every 32-bit lane 256 - w in
// the low and w in the high half, w the weight (0 to 256 in 256) of the right or lower
// neighbour. The two pixels of a step are interleaved channel by channel in 16-bit lanes,
// so that one multiply-add per step weighs and sums them.
inline uint32_t MixPairs(__m128i top, __m128i bottom, __m128i across, __m128i down) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i half = _mm_set1_epi32(128);
    const __m128i upperPair =
        _mm_unpacklo_epi8(_mm_unpacklo_epi8(top, _mm_srli_epi64(top, 32)), zero);
    const __m128i lowerPair =
        _mm_unpacklo_epi8(_mm_unpacklo_epi8(bottom, _mm_srli_epi64(bottom, 32)), zero);
    const __m128i upper = _mm_srli_epi32(_mm_add_epi32(_mm_madd_epi16(upperPair, across), half), 8);
    const __m128i lower = _mm_srli_epi32(_mm_add_epi32(_mm_madd_epi16(lowerPair, across), half), 8);
    const __m128i rows = _mm_or_si128(upper, _mm_slli_epi32(lower, 16));
    const __m128i mixed = _mm_srli_epi32(_mm_add_epi32(_mm_madd_epi16(rows, down), half), 8);
    const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(mixed, zero), zero);
    return uint32_t(_mm_cvtsi128_si32(bytes)) & 0xFFFFFF;
}

inline __m128i WeightPair(uint32_t w) {
    return _mm_set1_epi32(int(w << 16 | (256 - w)));
}

// The same from four colours (top left, top right, bottom left, bottom right) and the
// weights of the right and lower neighbours.
inline uint32_t MixFour(uint32_t c0, uint32_t c1, uint32_t c2, uint32_t c3, uint32_t u,
                        uint32_t v) {
    return MixPairs(_mm_unpacklo_epi32(_mm_cvtsi32_si128(int(c0)), _mm_cvtsi32_si128(int(c1))),
                    _mm_unpacklo_epi32(_mm_cvtsi32_si128(int(c2)), _mm_cvtsi32_si128(int(c3))),
                    WeightPair(u), WeightPair(v));
}

// The weights of u and v together, from their fractions in 16-bit lanes 0 and 1 (rounded
// as Weight does): `across` and `down` as MixPairs takes them.
inline void WeightPairs(__m128i fractions, __m128i* across, __m128i* down) {
    const __m128i weights =
        _mm_add_epi16(_mm_srli_epi16(fractions, 8),
                      _mm_and_si128(_mm_srli_epi16(fractions, 7), _mm_set1_epi16(1)));
    const __m128i pairs = _mm_unpacklo_epi16(_mm_sub_epi16(_mm_set1_epi16(256), weights), weights);
    *across = _mm_shuffle_epi32(pairs, 0x00);
    *down = _mm_shuffle_epi32(pairs, 0x55);
}

template <int Bytes> inline uint32_t LoadColour(const uint8_t* p) {
    if constexpr (Bytes == 4) return LoadU32(p) & 0xFFFFFF;
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
}

// One turn of the pixels: `Bytes` per pixel when both sides hold plain blue, green, red
// bytes (24 and 32 bits), so smoothing reads and writes them directly; 0 for the other
// formats, which go through their pixel routines.
struct Turn {
    const SurfaceBits* source;
    const SurfaceBits* target;
    double cosine, sine;
    // The source position of the centre of the first pixel of the first row.
    double firstU, firstV;
    const uint8_t* fill; // the background as the target stores it
    bool smooth;
};

// a / b rounded down and up, for any signs (b not 0).
int64_t FloorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return q * b != a && (a < 0) != (b < 0) ? q - 1 : q;
}
int64_t CeilDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return q * b != a && (a < 0) == (b < 0) ? q + 1 : q;
}

// Narrows the columns [from, to) to those where low <= start + x * step <= high.
void Narrow(int64_t start, int64_t step, int64_t low, int64_t high, int32_t* from, int32_t* to) {
    int64_t first, last;
    if (step == 0) {
        if (start >= low && start <= high) return;
        first = 0, last = -1;
    } else if (step > 0) {
        first = CeilDiv(low - start, step), last = FloorDiv(high - start, step);
    } else {
        first = CeilDiv(high - start, step), last = FloorDiv(low - start, step);
    }
    if (first > *from) *from = int32_t(std::min<int64_t>(first, *to));
    if (last + 1 < *to) *to = int32_t(std::max<int64_t>(last + 1, *from));
}

template <int Bytes, bool Smooth>
void TurnRows(const Turn& t, int32_t x0, int32_t y0, int32_t w, int32_t h) {
    const SurfaceBits& s = *t.source;
    const SurfaceBits& d = *t.target;
    const int32_t bpp = Bytes ? Bytes : s.bytesPerPixel;
    const int32_t lastX = s.width - 1, lastY = s.height - 1;
    const bool indexed = s.formatIndex == kFormat8;
    const auto colourAt = [&](int32_t x, int32_t y) -> uint32_t {
        const uint32_t raw = s.formatOps->GetPixel(&s, x, y);
        return indexed ? IndexColor(s.palette, raw) : raw;
    };
    // Held in locals: the stores to the target cannot be taken to change them.
    const uint8_t* const pixels = s.pixels;
    const ptrdiff_t pitch = s.signedPitch;
    const uint8_t* const fill = t.fill;
    const int64_t stepU = ToFixed(t.cosine), stepV = ToFixed(t.sine);
    const __m128i fractionSteps = _mm_setr_epi16(short(stepU), short(stepV), 0, 0, 0, 0, 0, 0);
    // -1 < u < width is inside: positions just left of or above the first pixel take it
    // whole. Shifted by one pixel less one step of the fraction, one unsigned comparison
    // tells it.
    const uint64_t spanU = uint64_t(s.width) << kFraction, spanV = uint64_t(s.height) << kFraction;
    const int64_t shift = kOne - 1;
    const auto store = [](uint8_t* out, uint32_t mixed) {
        if constexpr (Bytes == 4) {
            // The fourth byte of the target stays as it was.
            StoreU32(out, (LoadU32(out) & 0xFF000000u) | mixed);
        } else {
            out[0] = uint8_t(mixed);
            out[1] = uint8_t(mixed >> 8);
            out[2] = uint8_t(mixed >> 16);
        }
    };
    // Any pixel, with every check.
    const auto edgePixel = [&](int32_t x, int32_t y, int64_t u, int64_t v, uint8_t* out) {
        if (uint64_t(u + shift) >= spanU + uint64_t(shift) ||
            uint64_t(v + shift) >= spanV + uint64_t(shift)) {
            std::memcpy(out, fill, size_t(bpp));
            return;
        }
        const int32_t iu = u < 0 ? 0 : int32_t(u >> kFraction);
        const int32_t iv = v < 0 ? 0 : int32_t(v >> kFraction);
        if constexpr (!Smooth) {
            std::memcpy(out, pixels + iv * pitch + ptrdiff_t(iu) * bpp, size_t(bpp));
        } else {
            const uint32_t wu = u < 0 ? 0 : Weight(u), wv = v < 0 ? 0 : Weight(v);
            // The right and bottom neighbours of the last column and row are themselves.
            const int32_t nu = iu < lastX ? iu + 1 : lastX, nv = iv < lastY ? iv + 1 : lastY;
            if constexpr (Bytes != 0) {
                // Blue, green, red bytes read as one word; the mix treats the channels
                // alike, so their order does not matter.
                const uint8_t* p = pixels + iv * pitch + ptrdiff_t(iu) * Bytes;
                const ptrdiff_t right = ptrdiff_t(nu - iu) * Bytes;
                const ptrdiff_t down = (nv - iv) * pitch;
                store(out, MixFour(LoadColour<Bytes>(p), LoadColour<Bytes>(p + right),
                                   LoadColour<Bytes>(p + down), LoadColour<Bytes>(p + down + right),
                                   wu, wv));
            } else {
                d.formatOps->PutPixel(&d, x, y,
                                      MixFour(colourAt(iu, iv), colourAt(nu, iv), colourAt(iu, nv),
                                              colourAt(nu, nv), wu, wv));
            }
        }
    };
    // Where every pixel read lies inside the source, whole pixels of it: smoothing reads the
    // right and lower neighbours too.
    const int64_t highU = ((int64_t(s.width) - (Smooth ? 1 : 0)) << kFraction) - 1;
    const int64_t highV = ((int64_t(s.height) - (Smooth ? 1 : 0)) << kFraction) - 1;
    for (int32_t row = 0; row < h; row++) {
        const int32_t y = y0 + row;
        // Each row starts from its own exact position, so rounding never builds up down
        // the rows.
        const int64_t rowU = ToFixed(t.firstU - double(row) * t.sine);
        const int64_t rowV = ToFixed(t.firstV + double(row) * t.cosine);
        uint8_t* const rowOut = PixelAddress(&d, x0, y);
        int32_t from = 0, to = w;
        if constexpr (Bytes != 0) {
            Narrow(rowU, stepU, 0, highU, &from, &to);
            Narrow(rowV, stepV, 0, highV, &from, &to);
        } else {
            from = to = w;
        }
        int64_t u = rowU, v = rowV;
        uint8_t* out = rowOut;
        for (int32_t x = 0; x < from; x++, u += stepU, v += stepV, out += bpp)
            edgePixel(x0 + x, y, u, v, out);
        // The fractions of u and v in 16-bit lanes: their additions wrap just as the low
        // bits of the positions do.
        __m128i fractions = _mm_setr_epi16(short(u), short(v), 0, 0, 0, 0, 0, 0);
        for (int32_t x = from; x < to; x++, u += stepU, v += stepV, out += bpp) {
            const uint8_t* p = pixels + (v >> kFraction) * pitch + (u >> kFraction) * bpp;
            if constexpr (!Smooth) {
                std::memcpy(out, p, size_t(bpp));
            } else {
                __m128i across, down;
                WeightPairs(fractions, &across, &down);
                fractions = _mm_add_epi16(fractions, fractionSteps);
                if constexpr (Bytes == 4)
                    store(out,
                          MixPairs(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)),
                                   _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + pitch)),
                                   across, down));
                else
                    store(
                        out,
                        MixPairs(_mm_unpacklo_epi32(
                                     _mm_cvtsi32_si128(int(LoadColour<Bytes>(p))),
                                     _mm_cvtsi32_si128(int(LoadColour<Bytes>(p + Bytes)))),
                                 _mm_unpacklo_epi32(
                                     _mm_cvtsi32_si128(int(LoadColour<Bytes>(p + pitch))),
                                     _mm_cvtsi32_si128(int(LoadColour<Bytes>(p + pitch + Bytes)))),
                                 across, down));
            }
        }
        for (int32_t x = to; x < w; x++, u += stepU, v += stepV, out += bpp)
            edgePixel(x0 + x, y, u, v, out);
    }
}

template <int Bytes> void TurnRows(const Turn& t, int32_t x0, int32_t y0, int32_t w, int32_t h) {
    if (t.smooth)
        TurnRows<Bytes, true>(t, x0, y0, w, h);
    else
        TurnRows<Bytes, false>(t, x0, y0, w, h);
}

} // namespace

int cSurface::RotateInto(cSurface* destination, int32_t angle, int32_t smooth,
                         uint32_t background) {
    if (angle == 0) return BlitTo(destination, 0, 0, 0, 0, bits_.width, bits_.height, 0, 0, 0, 0);
    if (angle == 180) {
        if (!BlitTo(destination, 0, 0, 0, 0, bits_.width, bits_.height, 0, 0, 0, 0)) return 0;
        destination->MirrorX(0, 0, bits_.width, bits_.height);
        destination->MirrorY(0, 0, bits_.width, bits_.height);
        return 1;
    }
    if (!destination || destination->IsDeviceOnly() || destination->bits_.depth != bits_.depth)
        return 0;
    double cosine, sine;
    if (angle == 90) {
        cosine = 0, sine = 1;
    } else if (angle == 270) {
        cosine = 0, sine = -1;
    } else {
        const double radians = angle * 0.017453292519943295;
        cosine = std::cos(radians);
        sine = std::sin(radians);
    }
    const SurfaceBits& d = destination->bits_;
    int32_t x0 = 0, y0 = 0, w = d.width, h = d.height;
    if (!destination->ClipToSurface(&x0, &y0, &w, &h)) return 0;
    if (!Lock()) return 0;
    if (!destination->Lock()) {
        Unlock();
        return 0;
    }
    const int32_t bpp = bits_.bytesPerPixel;
    // The background as the destination stores it.
    uint8_t fill[4];
    d.formatOps->PutPixel(&d, x0, y0, background & 0xFFFFFF);
    std::memcpy(fill, PixelAddress(&d, x0, y0), size_t(bpp));
    // Source position of the centre of destination pixel (x0, y0), stepped along rows and
    // columns. Mapping centres (not corners) keeps quarter turns exact: a corner would land
    // on the source's far edge and lose a row.
    const double cx = d.width * 0.5 - 0.5, cy = d.height * 0.5 - 0.5;
    const double firstU = bits_.width * 0.5 + (x0 - cx) * cosine - (y0 - cy) * sine;
    const double firstV = bits_.height * 0.5 + (x0 - cx) * sine + (y0 - cy) * cosine;
    const Turn turn{&bits_, &d, cosine, sine, firstU, firstV, fill, smooth != 0};
    if (bits_.formatIndex == kFormat32)
        TurnRows<4>(turn, x0, y0, w, h);
    else if (bits_.formatIndex == kFormat24)
        TurnRows<3>(turn, x0, y0, w, h);
    else
        TurnRows<0>(turn, x0, y0, w, h);
    destination->Unlock();
    Unlock();
    return 1;
}
