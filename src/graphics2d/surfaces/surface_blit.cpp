#include <algorithm>
#include <memory>

#include "graphics2d/blitter/blitter.h"
#include "graphics2d/blitter/pixel_traits.h"
#include "graphics2d/palette/palette.h"
#include "graphics2d/surfaces/surface.h"
#include "graphics2d/surfaces/surface_filters.h"

namespace {

// Locks two surfaces for one operation and unlocks them in reverse order.
class LockPair {
public:
    LockPair(cSurface& first, cSurface& second) : first_(first), second_(second) {
        if (!first_.Lock()) return;
        if (!second_.Lock()) {
            first_.Unlock();
            return;
        }
        locked_ = true;
    }
    ~LockPair() {
        if (!locked_) return;
        second_.Unlock();
        first_.Unlock();
    }
    LockPair(const LockPair&) = delete;
    LockPair& operator=(const LockPair&) = delete;
    explicit operator bool() const { return locked_; }

private:
    cSurface& first_;
    cSurface& second_;
    bool locked_ = false;
};

// Operations whose 8-bit routine looks colours up in the destination palette's inverse
// table.
bool NeedsInverseTable(int32_t op) {
    return op == kBlitOpBlend || op == kBlitOpTint || op == kBlitOpAdd;
}

// 0 when an 8-bit surface's palette cannot get its inverse table.
int EnsureInverse(const SurfaceBits& bits) {
    if (bits.formatIndex != kFormat8 || !bits.palette) return 1;
    return Palette_BuildInverse(bits.palette);
}

} // namespace

int cSurface::ClipCopy(const cSurface& destination, int32_t* dx, int32_t* dy, int32_t* sx,
                       int32_t* sy, int32_t* width, int32_t* height) const {
    const SurfaceBits& d = destination.bits_;
    int64_t x = *dx, y = *dy, u = *sx, v = *sy, w = *width, h = *height;
    // Against this whole surface.
    if (u < 0) {
        w += u;
        x -= u;
        u = 0;
    }
    if (v < 0) {
        h += v;
        y -= v;
        v = 0;
    }
    w = std::min<int64_t>(w, int64_t(bits_.width) - u);
    h = std::min<int64_t>(h, int64_t(bits_.height) - v);
    // Against the destination's clip rectangle, kept inside the destination.
    const int64_t left = std::max<int64_t>(d.clipLeft, 0);
    const int64_t top = std::max<int64_t>(d.clipTop, 0);
    const int64_t right = std::min<int64_t>(d.clipRight, d.width);
    const int64_t bottom = std::min<int64_t>(d.clipBottom, d.height);
    if (x < left) {
        w -= left - x;
        u += left - x;
        x = left;
    }
    if (y < top) {
        h -= top - y;
        v += top - y;
        y = top;
    }
    w = std::min(w, right - x);
    h = std::min(h, bottom - y);
    if (w <= 0 || h <= 0) return 0;
    *dx = int32_t(x);
    *dy = int32_t(y);
    *sx = int32_t(u);
    *sy = int32_t(v);
    *width = int32_t(w);
    *height = int32_t(h);
    return 1;
}

int cSurface::MoveRect(int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t width,
                       int32_t height) {
    const auto inside = [&](int64_t x, int64_t y) {
        return x >= 0 && y >= 0 && width > 0 && height > 0 && x + width <= bits_.width &&
               y + height <= bits_.height;
    };
    if (!inside(dx, dy) || !inside(sx, sy) || !Lock()) return 0;
    Blit_MoveRect(&bits_, dx, dy, sx, sy, width, height);
    Unlock();
    return 1;
}

int cSurface::BlitTo(cSurface* destination, int32_t dx, int32_t dy, int32_t sx, int32_t sy,
                     int32_t width, int32_t height, int32_t mode, int32_t op, uint32_t param,
                     int32_t smooth) {
    if (uint32_t(mode) >= 2 || uint32_t(op) >= uint32_t(kBlitOpCount) || op == kBlitOpGdi ||
        !destination || destination->IsDeviceOnly())
        return 0;
    const int32_t smoothX = dx, smoothY = dy;
    if (!ClipCopy(*destination, &dx, &dy, &sx, &sy, &width, &height)) return 0;
    const SurfaceBits& d = destination->bits_;
    if (d.depth != bits_.depth) {
        if (mode == 0 && op == 0 && !smooth) {
            if (!EnsureInverse(bits_) || !EnsureInverse(d)) return 0;
            LockPair locks(*this, *destination);
            if (!locks) return 0;
            bits_.formatOps->ConvertCopy(&d, dx, dy, &bits_, sx, sy, width, height);
            return 1;
        }
        // Converted into the destination's format first, then copied as asked.
        std::unique_ptr<cSurface> converted(destination->MakeInstance(width, height));
        if (!converted) return 0;
        if (!BlitTo(converted.get(), 0, 0, sx, sy, width, height, 0, 0, 0, 0)) return 0;
        return converted->BlitTo(destination, dx, dy, 0, 0, width, height, mode, op, param, smooth);
    }
    if (d.formatIndex == kFormat8 && NeedsInverseTable(op) && !EnsureInverse(d)) return 0;
    {
        LockPair locks(*this, *destination);
        if (!locks) return 0;
        const PixelFormatOps& ops = *bits_.formatOps;
        if (mode == 1 && op == 0)
            ops.CopyKeyed(&d, dx, dy, &bits_, sx, sy, width, height);
        else if (mode == 1)
            ops.CopyKeyedOp(&d, dx, dy, &bits_, sx, sy, width, height, op, param);
        else if (op == 0)
            ops.CopyPlain(&d, dx, dy, &bits_, sx, sy, width, height);
        else
            ops.CopyOp(&d, dx, dy, &bits_, sx, sy, width, height, op, param);
    }
    if (smooth) {
        const bool tinted = op == kBlitOpTint && (param & 0xFFFFFF) != 0;
        FilterTo(destination, smoothX, smoothY, 0, 0, bits_.width, bits_.height, 3, 3, 1, 1,
                 tinted ? SmoothEdgesOverColor : SmoothEdges, param);
    }
    return 1;
}

int cSurface::BlitToEx(cSurface* destination, int32_t dx, int32_t dy, int32_t sx, int32_t sy,
                       int32_t width, int32_t height, int32_t mode, BlitColorFunction function,
                       uintptr_t user) {
    if (!destination || destination->IsDeviceOnly() || !function ||
        destination->bits_.depth != bits_.depth)
        return 0;
    if (!ClipCopy(*destination, &dx, &dy, &sx, &sy, &width, &height)) return 0;
    const SurfaceBits& d = destination->bits_;
    if (!EnsureInverse(d)) return 0;
    LockPair locks(*this, *destination);
    if (!locks) return 0;
    if (mode == 1)
        bits_.formatOps->CopyCallbackKeyed(&d, dx, dy, &bits_, sx, sy, width, height, function,
                                           user);
    else
        bits_.formatOps->CopyCallback(&d, dx, dy, &bits_, sx, sy, width, height, function, user);
    return 1;
}

int cSurface::MirrorX(int32_t x, int32_t y, int32_t width, int32_t height) {
    if (!ClipToSurface(&x, &y, &width, &height)) return 0;
    if (width < 2) return 1;
    if (!Lock()) return 0;
    bits_.formatOps->MirrorHorizontal(&bits_, x, y, width, height);
    Unlock();
    return 1;
}

int cSurface::MirrorY(int32_t x, int32_t y, int32_t width, int32_t height) {
    if (!ClipToSurface(&x, &y, &width, &height)) return 0;
    if (height < 2) return 1;
    if (!Lock()) return 0;
    Surface_FlipVertical(&bits_, x * bits_.bytesPerPixel, y, width * bits_.bytesPerPixel, height);
    Unlock();
    return 1;
}

int cSurface::GetBounds(RECT* bounds) {
    if ((bits_.width <= 2 && bits_.height <= 2) || !Lock()) return 0;
    const int found = Surface_FindBounds(&bits_, bounds);
    Unlock();
    return found;
}

int cSurface::IsBlank() {
    if (!Lock()) return 0;
    const int blank = Surface_IsBlank(&bits_);
    Unlock();
    return blank;
}

int cSurface::ReplaceColor(uint32_t from, uint32_t to) {
    if (bits_.width <= 0 || bits_.height <= 0 || !Lock()) return 0;
    if (bits_.formatIndex == kFormat8) {
        // Index to index, so the pixels of the key entry stay apart from other dark ones.
        uint8_t map[256];
        for (int i = 0; i < 256; i++)
            map[i] = uint8_t(i);
        map[ColorIndex(bits_.palette, from)] = ColorIndex(bits_.palette, to);
        Surface_RemapIndices(&bits_, 0, 0, bits_.width, bits_.height, map);
    } else {
        bits_.formatOps->ReplaceColor(&bits_, 0, 0, bits_.width, bits_.height, to, from);
    }
    Unlock();
    return 1;
}

int cSurface::PixelsOverlap(cSurface* other, int32_t ox, int32_t oy, int32_t tx, int32_t ty,
                            int32_t width, int32_t height) {
    if (!other) return 0;
    // The window, clipped to both surfaces.
    int64_t w = width, h = height, x = tx, y = ty, u = ox, v = oy;
    const auto clipStart = [](int64_t& a, int64_t& b, int64_t& size) {
        const int64_t shift = std::max<int64_t>({0, -a, -b});
        a += shift;
        b += shift;
        size -= shift;
    };
    clipStart(x, u, w);
    clipStart(y, v, h);
    const SurfaceBits& o = other->bits_;
    w = std::min({w, int64_t(bits_.width) - x, int64_t(o.width) - u});
    h = std::min({h, int64_t(bits_.height) - y, int64_t(o.height) - v});
    if (w <= 0 || h <= 0) return 0;
    if (o.bytesPerPixel != bits_.bytesPerPixel) return 1;
    if (bits_.depth < 8 || bits_.depth > 32) return 0;
    LockPair locks(*this, *other);
    if (!locks) return 1;
    const int32_t bpp = bits_.bytesPerPixel;
    for (int64_t row = 0; row < h; row++) {
        const uint8_t* a = PixelAddress(&bits_, int32_t(x), int32_t(y + row));
        const uint8_t* b = PixelAddress(&o, int32_t(u), int32_t(v + row));
        for (int64_t i = 0; i < w * bpp; i += bpp) {
            bool aSet = false, bSet = false;
            for (int32_t k = 0; k < bpp; k++) {
                aSet |= a[i + k] != 0;
                bSet |= b[i + k] != 0;
            }
            if (aSet && bSet) return 1;
        }
    }
    return 0;
}
