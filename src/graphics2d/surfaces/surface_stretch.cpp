#include <algorithm>
#include <memory>

#include "graphics2d/blitter/blitter.h"
#include "graphics2d/surfaces/surface.h"
#include "graphics2d/surfaces/surface_resample.h"

int cSurface::StretchBlitTo(cSurface* destination, int32_t dx, int32_t dy, int32_t destinationWidth,
                            int32_t destinationHeight, int32_t sx, int32_t sy, int32_t sourceWidth,
                            int32_t sourceHeight, int32_t mode, int32_t op, uint32_t param,
                            int32_t smooth) {
    const int32_t dw = destinationWidth, dh = destinationHeight;
    const int32_t sw = sourceWidth, sh = sourceHeight;
    if (dw == sw && dh == sh)
        return BlitTo(destination, dx, dy, sx, sy, dw, dh, mode, op, param, 0);
    if (!destination || destination->IsDeviceOnly()) return 0;
    if (sx < 0 || sw < 1 || int64_t(sx) + sw > bits_.width || sy < 0 || sh < 1 ||
        int64_t(sy) + sh > bits_.height)
        return 0;
    const SurfaceBits& d = destination->bits_;
    const int64_t left = std::max<int64_t>(d.clipLeft, 0);
    const int64_t top = std::max<int64_t>(d.clipTop, 0);
    const int64_t right = std::min<int64_t>(d.clipRight, d.width);
    const int64_t bottom = std::min<int64_t>(d.clipBottom, d.height);
    const int64_t x0 = dx, y0 = dy, x1 = x0 + dw, y1 = y0 + dh;
    if (std::max(x0, left) >= std::min(x1, right) || std::max(y0, top) >= std::min(y1, bottom))
        return 0;
    const bool clipped = x0 < left || y0 < top || x1 > right || y1 > bottom;
    if (d.depth == bits_.depth && mode == 0 && op == 0 && !clipped) {
        if (smooth) {
            std::unique_ptr<cSurface> resampled(MakeInstance(dw, dh));
            if (!resampled || !Lock()) return 0;
            const bool done =
                resampled->Lock() && ResampleSurface(resampled->bits_, bits_, sx, sy, sw, sh);
            if (resampled->bits_.memoryBlock) resampled->Unlock();
            Unlock();
            return done && resampled->BlitTo(destination, dx, dy, 0, 0, dw, dh, 0, 0, param, 0);
        }
        if (!Lock()) return 0;
        if (!destination->Lock()) {
            Unlock();
            return 0;
        }
        Blit_Stretch(&d, dx, dy, &bits_, sx, sy, dw, dh, sw, sh);
        destination->Unlock();
        Unlock();
        return 1;
    }
    // Stretched whole into a temporary of this format, then copied as asked.
    std::unique_ptr<cSurface> stretched(MakeInstance(dw, dh));
    if (!stretched) return 0;
    stretched->FillRect(0, 0, dw, dh, 0);
    if (!StretchBlitTo(stretched.get(), 0, 0, dw, dh, sx, sy, sw, sh, 0, 0, 0, 0)) return 0;
    return stretched->BlitTo(destination, dx, dy, 0, 0, dw, dh, mode, op, param, 0);
}
