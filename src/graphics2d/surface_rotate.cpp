#include <algorithm>
#include <cmath>
#include <cstring>

#include "graphics2d/pixel_traits.h"
#include "graphics2d/surface.h"

namespace {

uint32_t MixFour(const uint32_t* c, float fu, float fv) {
    const float w[4] = {(1 - fu) * (1 - fv), fu * (1 - fv), (1 - fu) * fv, fu * fv};
    uint32_t result = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        float sum = 0.5f;
        for (int k = 0; k < 4; k++)
            sum += w[k] * float(c[k] >> shift & 0xFF);
        result |= uint32_t(std::min(sum, 255.0f)) << shift;
    }
    return result;
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
    const float sw = float(bits_.width), sh = float(bits_.height);
    const int32_t lastX = bits_.width - 1, lastY = bits_.height - 1;
    const int32_t bpp = bits_.bytesPerPixel;
    const bool indexed = bits_.formatIndex == kFormat8;
    // The background as the destination stores it.
    uint8_t fill[4];
    d.formatOps->PutPixel(&d, x0, y0, background & 0xFFFFFF);
    std::memcpy(fill, PixelAddress(&d, x0, y0), size_t(bpp));
    const auto colourAt = [&](int32_t x, int32_t y) {
        const uint32_t raw = bits_.formatOps->GetPixel(&bits_, x, y);
        return indexed ? IndexColor(bits_.palette, raw) : raw;
    };
    // Source position of the centre of destination pixel (x0, y0), stepped along rows and
    // columns. Mapping centres (not corners) keeps quarter turns exact: a corner would land
    // on the source's far edge and lose a row.
    const float cx = float(d.width) * 0.5f - 0.5f, cy = float(d.height) * 0.5f - 0.5f;
    float rowU = sw * 0.5f + (float(x0) - cx) * cosine - (float(y0) - cy) * sine;
    float rowV = sh * 0.5f + (float(x0) - cx) * sine + (float(y0) - cy) * cosine;
    for (int32_t y = y0; y < y0 + h; y++, rowU -= sine, rowV += cosine) {
        float u = rowU, v = rowV;
        uint8_t* out = PixelAddress(&d, x0, y);
        for (int32_t x = 0; x < w; x++, u += cosine, v += sine, out += bpp) {
            if (!(u > -1.0f && u < sw && v > -1.0f && v < sh)) {
                std::memcpy(out, fill, size_t(bpp));
                continue;
            }
            const int32_t iu = int32_t(u), iv = int32_t(v);
            if (!smooth) {
                std::memcpy(out, PixelAddress(&bits_, iu, iv), size_t(bpp));
                continue;
            }
            const int32_t nu = iu < lastX ? iu + 1 : lastX, nv = iv < lastY ? iv + 1 : lastY;
            const uint32_t corners[4] = {colourAt(iu, iv), colourAt(nu, iv), colourAt(iu, nv),
                                         colourAt(nu, nv)};
            d.formatOps->PutPixel(&d, x0 + x, y, MixFour(corners, u - float(iu), v - float(iv)));
        }
    }
    destination->Unlock();
    Unlock();
    return 1;
}
