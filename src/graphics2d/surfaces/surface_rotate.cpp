#include <algorithm>
#include <cmath>
#include <cstring>

#include "graphics2d/blitter/pixel_traits.h"
#include "graphics2d/surfaces/surface.h"

namespace {

// Two colours mixed channel by channel, `w` (0 to 256) parts of b in 256, rounded: red and
// blue in one word, green in another.
inline uint32_t Lerp(uint32_t a, uint32_t b, uint32_t w) {
    const uint32_t rb = ((a & 0xFF00FF) * (256 - w) + (b & 0xFF00FF) * w + 0x800080) >> 8;
    const uint32_t g = ((a & 0xFF00) * (256 - w) + (b & 0xFF00) * w + 0x8000) >> 8;
    return (rb & 0xFF00FF) | (g & 0xFF00);
}

// The four corners (top left, top right, bottom left, bottom right) mixed by the fractions
// of the position, across then down, in 256ths. Positions just left of or above the first
// pixel (-1 < u < 0) take it whole.
inline uint32_t MixFour(const uint32_t* c, float fu, float fv) {
    const uint32_t u = fu > 0 ? uint32_t(fu * 256.0f + 0.5f) : 0;
    const uint32_t v = fv > 0 ? uint32_t(fv * 256.0f + 0.5f) : 0;
    return Lerp(Lerp(c[0], c[1], u), Lerp(c[2], c[3], u), v);
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
    float cosine, sine;
    const uint8_t* fill; // the background as the target stores it
    bool smooth;
};

template <int Bytes, bool Smooth>
void TurnRows(const Turn& t, int32_t x0, int32_t y0, int32_t w, int32_t h, float rowU, float rowV) {
    const SurfaceBits& s = *t.source;
    const SurfaceBits& d = *t.target;
    const int32_t bpp = Bytes ? Bytes : s.bytesPerPixel;
    const int32_t lastX = s.width - 1, lastY = s.height - 1;
    const bool indexed = s.formatIndex == kFormat8;
    const auto colourAt = [&](int32_t x, int32_t y) -> uint32_t {
        const uint32_t raw = s.formatOps->GetPixel(&s, x, y);
        return indexed ? IndexColor(s.palette, raw) : raw;
    };
    for (int32_t y = y0; y < y0 + h; y++, rowU -= t.sine, rowV += t.cosine) {
        float u = rowU, v = rowV;
        uint8_t* out = PixelAddress(&d, x0, y);
        for (int32_t x = 0; x < w; x++, u += t.cosine, v += t.sine, out += bpp) {
            // Truncated toward zero, -1 < u < width is 0 <= iu < width; positions stay
            // far inside 64 bits.
            const int64_t tu = int64_t(u), tv = int64_t(v);
            if (uint64_t(tu) >= uint64_t(s.width) || uint64_t(tv) >= uint64_t(s.height)) {
                std::memcpy(out, t.fill, size_t(bpp));
                continue;
            }
            const int32_t iu = int32_t(tu), iv = int32_t(tv);
            if constexpr (!Smooth) {
                std::memcpy(out, PixelAddress(&s, iu, iv), size_t(bpp));
                continue;
            } else {
                // The right and bottom neighbours of the last column and row are themselves.
                const int32_t nu = iu < lastX ? iu + 1 : lastX, nv = iv < lastY ? iv + 1 : lastY;
                const float fu = u - float(iu), fv = v - float(iv);
                if constexpr (Bytes != 0) {
                    // Blue, green, red bytes read as one word; the mix treats the channels
                    // alike, so their order does not matter.
                    const uint8_t* p = PixelAddress(&s, iu, iv);
                    const ptrdiff_t right = ptrdiff_t(nu - iu) * Bytes;
                    const ptrdiff_t down = ptrdiff_t(nv - iv) * s.signedPitch;
                    const uint32_t corners[4] = {LoadColour<Bytes>(p), LoadColour<Bytes>(p + right),
                                                 LoadColour<Bytes>(p + down),
                                                 LoadColour<Bytes>(p + down + right)};
                    const uint32_t mixed = MixFour(corners, fu, fv);
                    out[0] = uint8_t(mixed);
                    out[1] = uint8_t(mixed >> 8);
                    out[2] = uint8_t(mixed >> 16);
                } else {
                    const uint32_t corners[4] = {colourAt(iu, iv), colourAt(nu, iv),
                                                 colourAt(iu, nv), colourAt(nu, nv)};
                    d.formatOps->PutPixel(&d, x0 + x, y, MixFour(corners, fu, fv));
                }
            }
        }
    }
}

template <int Bytes>
void TurnRows(const Turn& t, int32_t x0, int32_t y0, int32_t w, int32_t h, float rowU, float rowV) {
    if (t.smooth)
        TurnRows<Bytes, true>(t, x0, y0, w, h, rowU, rowV);
    else
        TurnRows<Bytes, false>(t, x0, y0, w, h, rowU, rowV);
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
    float cosine, sine;
    if (angle == 90) {
        cosine = 0, sine = 1;
    } else if (angle == 270) {
        cosine = 0, sine = -1;
    } else {
        const double radians = angle * 0.017453292519943295;
        cosine = float(std::cos(radians));
        sine = float(std::sin(radians));
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
    const float cx = float(d.width) * 0.5f - 0.5f, cy = float(d.height) * 0.5f - 0.5f;
    const float sw = float(bits_.width), sh = float(bits_.height);
    const float rowU = sw * 0.5f + (float(x0) - cx) * cosine - (float(y0) - cy) * sine;
    const float rowV = sh * 0.5f + (float(x0) - cx) * sine + (float(y0) - cy) * cosine;
    const Turn turn{&bits_, &d, cosine, sine, fill, smooth != 0};
    if (bits_.formatIndex == kFormat32)
        TurnRows<4>(turn, x0, y0, w, h, rowU, rowV);
    else if (bits_.formatIndex == kFormat24)
        TurnRows<3>(turn, x0, y0, w, h, rowU, rowV);
    else
        TurnRows<0>(turn, x0, y0, w, h, rowU, rowV);
    destination->Unlock();
    Unlock();
    return 1;
}
