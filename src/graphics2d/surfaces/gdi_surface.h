// A surface on a device context that exists elsewhere (a window's or the screen's): no
// addressable pixels, only the DC, which pixel surfaces copy to and from through GDI.
#pragma once

#include "graphics2d/surfaces/surface.h"

class cGDISurface : public cSurface {
public:
    // On `dc` (not owned), or on the screen's DC (owned) when `dc` is 0; null when no DC
    // can be had.
    static cGDISurface* MakeOnDC(HDC dc);
    ~cGDISurface() override;

    cSurface* MakeInstance(int32_t, int32_t) override { return nullptr; }
    int32_t GetKind() override { return kSurfaceKindGDI; }
    int IsDeviceOnly() override { return 1; }
    int Lock() override { return 0; }
    void SetOrigin(int32_t x, int32_t y) override;
    uint32_t GetOrigin() override;
    int HasOrigin() override { return 1; }
    HDC GetDC() override { return dc_; }
    // The DC's clip box; (0, 0, 32767, 32767) when it has none.
    void GetClipRect(int32_t* x, int32_t* y, int32_t* width, int32_t* height) override;
    void SetClipRect(int32_t x, int32_t y, int32_t width, int32_t height) override;
    int SetPixelIndex(int32_t x, int32_t y, uint32_t value) override;
    int SetPixel(int32_t x, int32_t y, uint32_t colour) override;
    int GetPixelRaw(int32_t, int32_t, uint32_t*) override { return 0; }
    int GetPixel(int32_t, int32_t, uint32_t*) override { return 0; }
    int MirrorX(int32_t, int32_t, int32_t, int32_t) override { return 0; }
    int MirrorY(int32_t, int32_t, int32_t, int32_t) override { return 0; }
    int FillRectRaw(int32_t, int32_t, int32_t, int32_t, uint32_t) override { return 0; }
    int FillRect(int32_t, int32_t, int32_t, int32_t, uint32_t) override { return 0; }
    int BlitFromDC(int32_t dx, int32_t dy, HDC source, int32_t sx, int32_t sy, int32_t width,
                   int32_t height, int32_t mode, int32_t op, uint32_t param) override;
    int StretchFromDC(int32_t dx, int32_t dy, int32_t dw, int32_t dh, HDC source, int32_t sx,
                      int32_t sy, int32_t sw, int32_t sh, int32_t mode, int32_t op,
                      uint32_t param) override;
    int BlitTo(cSurface* destination, int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t width,
               int32_t height, int32_t mode, int32_t op, uint32_t param, int32_t smooth) override;
    int StretchBlitViaDC(cSurface* destination, int32_t dx, int32_t dy, int32_t dw, int32_t dh,
                         int32_t sx, int32_t sy, int32_t sw, int32_t sh, int32_t mode, int32_t op,
                         uint32_t param, int32_t smooth) override;

private:
    cGDISurface() = default;

    HDC dc_ = 0;
    bool ownsDC_ = false;
    int32_t originX_ = 0;
    int32_t originY_ = 0;
};
