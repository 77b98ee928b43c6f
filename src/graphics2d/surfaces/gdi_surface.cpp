#include "graphics2d/surfaces/gdi_surface.h"

#include "graphics2d/surfaces/gdi_paths.h"

#include <new>

#include "platform/gdi/bitmaps/blits.h"
#include "platform/gdi/dc_state.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/region.h"

cGDISurface* cGDISurface::MakeOnDC(HDC dc) {
    cGDISurface* made = new (std::nothrow) cGDISurface;
    if (!made) return nullptr;
    made->dc_ = dc ? dc : ::GetDC(0);
    made->ownsDC_ = dc == 0;
    if (!made->dc_) {
        delete made;
        return nullptr;
    }
    return made;
}

cGDISurface::~cGDISurface() {
    if (ownsDC_) ::ReleaseDC(0, dc_);
}

void cGDISurface::SetOrigin(int32_t x, int32_t y) {
    originX_ = x;
    originY_ = y;
    SetWindowOrgEx(dc_, x, y, nullptr);
}

uint32_t cGDISurface::GetOrigin() {
    return uint32_t(originY_) << 16 | (uint32_t(originX_) & 0xFFFF);
}

void cGDISurface::GetClipRect(int32_t* x, int32_t* y, int32_t* width, int32_t* height) {
    RECT box{};
    const int kind = GetClipBox(dc_, &box);
    if (kind == SIMPLEREGION || kind == COMPLEXREGION) {
        *x = box.left;
        *y = box.top;
        *width = box.right - box.left;
        *height = box.bottom - box.top;
        return;
    }
    *x = *y = 0;
    *width = *height = 32767;
}

void cGDISurface::SetClipRect(int32_t x, int32_t y, int32_t width, int32_t height) {
    IntersectClipRect(dc_, x, y, int32_t(int64_t(x) + width), int32_t(int64_t(y) + height));
}

int cGDISurface::SetPixelIndex(int32_t x, int32_t y, uint32_t value) {
    return ::SetPixel(dc_, x, y, value) != CLR_INVALID;
}

int cGDISurface::SetPixel(int32_t x, int32_t y, uint32_t colour) {
    return ::SetPixel(dc_, x, y, colour) != CLR_INVALID;
}

int cGDISurface::BlitFromDC(int32_t dx, int32_t dy, HDC source, int32_t sx, int32_t sy,
                            int32_t width, int32_t height, int32_t, int32_t op, uint32_t param) {
    return source && BitBlt(dc_, dx, dy, width, height, source, sx, sy, GdiRasterOp(op, param));
}

int cGDISurface::StretchFromDC(int32_t dx, int32_t dy, int32_t dw, int32_t dh, HDC source,
                               int32_t sx, int32_t sy, int32_t sw, int32_t sh, int32_t, int32_t op,
                               uint32_t param) {
    return source &&
           StretchBlt(dc_, dx, dy, dw, dh, source, sx, sy, sw, sh, GdiRasterOp(op, param));
}

int cGDISurface::BlitTo(cSurface* destination, int32_t dx, int32_t dy, int32_t sx, int32_t sy,
                        int32_t width, int32_t height, int32_t mode, int32_t op, uint32_t param,
                        int32_t) {
    if (!destination) return 0;
    if (!destination->IsDeviceOnly())
        return destination->BlitFromDC(dx, dy, dc_, sx, sy, width, height, mode, op, param);
    const HDC target = destination->GetDC();
    if (!target) return 0;
    const BOOL done = BitBlt(target, dx, dy, width, height, dc_, sx, sy, GdiRasterOp(op, param));
    destination->ReleaseDC(target);
    return done ? 1 : 0;
}

int cGDISurface::StretchBlitViaDC(cSurface* destination, int32_t dx, int32_t dy, int32_t dw,
                                  int32_t dh, int32_t sx, int32_t sy, int32_t sw, int32_t sh,
                                  int32_t mode, int32_t op, uint32_t param, int32_t) {
    if (!destination) return 0;
    if (!destination->IsDeviceOnly())
        return destination->StretchFromDC(dx, dy, dw, dh, dc_, sx, sy, sw, sh, mode, op, param);
    const HDC target = destination->GetDC();
    if (!target) return 0;
    const BOOL done =
        StretchBlt(target, dx, dy, dw, dh, dc_, sx, sy, sw, sh, GdiRasterOp(op, param));
    destination->ReleaseDC(target);
    return done ? 1 : 0;
}
