#include "graphics2d/surfaces/surface.h"

#include <algorithm>

#include "graphics2d/blitter/blitter.h"
#include "graphics2d/blitter/pixel_traits.h"
#include "graphics2d/palette/palette.h"

cSurface::cSurface() : bits_{} {
    if (CpuHasMMX()) bits_.flags |= kSurfaceFlagVector;
}

cSurface::~cSurface() {
    Palette_Release(bits_.palette);
}

int cSurface::EnterFullScreen(HWND, int32_t, int32_t, int32_t) {
    return 0;
}

void cSurface::LeaveFullScreen(HWND) {}

void cSurface::CopyDisplayState(cSurface*) {}

int cSurface::Resize(int32_t, int32_t) {
    return 0;
}

int cSurface::SetFormat(int32_t depth) {
    const int32_t formatIndex = DepthToFormatIndex(depth);
    if (formatIndex < 0) return 0;
    bits_.depth = depth;
    bits_.formatIndex = formatIndex;
    bits_.bytesPerPixel = (depth + 7) / 8;
    bits_.formatOps = GetPixelFormatOps(formatIndex);
    return 1;
}

int cSurface::InitFormat(int32_t depth) {
    if (!SetFormat(depth)) return 0;
    bits_.bottomUp = 0;
    PaletteRecord* palette = nullptr;
    if (bits_.formatIndex == kFormat8) {
        palette = Palette_GetDefault();
        if (!palette) return 0;
    }
    Palette_Release(bits_.palette);
    bits_.palette = palette;
    return 1;
}

void cSurface::SetOrigin(int32_t, int32_t) {}

int cSurface::GetOpSupport(int32_t index) {
    return index >= 0 && index <= 5 ? 1 : 0;
}

int cSurface::Lock() {
    return bits_.memoryBlock != nullptr;
}

void cSurface::GetClipRect(int32_t* x, int32_t* y, int32_t* width, int32_t* height) {
    *x = bits_.clipLeft;
    *y = bits_.clipTop;
    *width = bits_.clipRight - bits_.clipLeft;
    *height = bits_.clipBottom - bits_.clipTop;
}

void cSurface::SetClipRect(int32_t x, int32_t y, int32_t width, int32_t height) {
    bits_.clipLeft = x;
    bits_.clipTop = y;
    bits_.clipRight = int32_t(std::min<int64_t>(int64_t(x) + width, bits_.width));
    bits_.clipBottom = int32_t(std::min<int64_t>(int64_t(y) + height, bits_.height));
}

void cSurface::ResetClipRect() {
    SetClipRect(0, 0, bits_.width, bits_.height);
}

int cSurface::ClipToSurface(int32_t* x, int32_t* y, int32_t* width, int32_t* height) const {
    const int64_t left = std::max<int64_t>({*x, bits_.clipLeft, 0});
    const int64_t top = std::max<int64_t>({*y, bits_.clipTop, 0});
    const int64_t right = std::min<int64_t>({int64_t(*x) + *width, bits_.clipRight, bits_.width});
    const int64_t bottom =
        std::min<int64_t>({int64_t(*y) + *height, bits_.clipBottom, bits_.height});
    if (left >= right || top >= bottom) return 0;
    *x = int32_t(left);
    *y = int32_t(top);
    *width = int32_t(right - left);
    *height = int32_t(bottom - top);
    return 1;
}

int cSurface::SetPixelIndex(int32_t x, int32_t y, uint32_t value) {
    int32_t width = 1, height = 1;
    if (!ClipToSurface(&x, &y, &width, &height)) return 0;
    const bool locked = bits_.memoryBlock != nullptr;
    if (!locked && !Lock()) return 0;
    bits_.pixels[ptrdiff_t(y) * bits_.signedPitch + x] = uint8_t(value);
    if (!locked) Unlock();
    return 1;
}

int cSurface::SetPixel(int32_t x, int32_t y, uint32_t colour) {
    int32_t width = 1, height = 1;
    if (!ClipToSurface(&x, &y, &width, &height)) return 0;
    const bool locked = bits_.memoryBlock != nullptr;
    if (!locked && !Lock()) return 0;
    bits_.formatOps->PutPixel(&bits_, x, y, colour);
    if (!locked) Unlock();
    return 1;
}

int cSurface::GetPixelRaw(int32_t x, int32_t y, uint32_t* value) {
    int32_t width = 1, height = 1;
    if (!ClipToSurface(&x, &y, &width, &height) || !Lock()) return 0;
    *value = bits_.formatOps->GetPixel(&bits_, x, y);
    Unlock();
    return 1;
}

int cSurface::GetPixel(int32_t x, int32_t y, uint32_t* colour) {
    uint32_t value;
    if (!GetPixelRaw(x, y, &value)) return 0;
    *colour = bits_.formatIndex == kFormat8 ? IndexColor(bits_.palette, value) : value;
    return 1;
}

int cSurface::FillRectRaw(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t value) {
    if (!ClipToSurface(&x, &y, &width, &height) || !Lock()) return 0;
    Surface_FillBytes(&bits_, x * bits_.bytesPerPixel, y, width * bits_.bytesPerPixel, height,
                      uint8_t(value));
    Unlock();
    return 1;
}

int cSurface::FillRect(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t colour) {
    if (!ClipToSurface(&x, &y, &width, &height) || !Lock()) return 0;
    bits_.formatOps->FillRect(&bits_, x, y, width, height, colour);
    Unlock();
    return 1;
}

int cSurface::AttachWindow(HWND) {
    return 1;
}

int cSurface::ReadPixels(HANDLE) {
    return 0;
}

int cSurface::WritePixels(HANDLE) {
    return 0;
}

void cSurface::CopyFormat(const cSurface& prototype) {
    const SurfaceBits& p = prototype.bits_;
    bits_.depth = p.depth;
    bits_.formatIndex = p.formatIndex;
    bits_.flags = p.flags;
    bits_.bytesPerPixel = p.bytesPerPixel;
    bits_.bottomUp = p.bottomUp;
    bits_.formatOps = p.formatOps;
    Palette_AddUse(p.palette);
    Palette_Release(bits_.palette);
    bits_.palette = p.palette;
}
