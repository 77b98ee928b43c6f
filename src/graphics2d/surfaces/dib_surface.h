// Surfaces on GDI. cDIBSurface keeps its pixels in a DIB section, rows bottom-up, and makes
// a memory device context only while one is asked for; cDIBDCSurface makes that context
// with the bitmap and keeps it. Both can switch the display mode for a full-screen window.
// Copies and stretches with the GDI raster operation (op 7), or onto a surface that has only
// a device context, go through GDI; everything else through the shared pixel bodies.
#pragma once

#include "graphics2d/surfaces/gdi_paths.h"
#include "graphics2d/surfaces/surface.h"
#include "platform/gdi/bitmaps/bitmaps.h"
#include "platform/user/display_settings.h"

class cDIBSurface : public cSurface {
public:
    cDIBSurface() = default;
    ~cDIBSurface() override;

    cSurface* MakeInstance(int32_t width, int32_t height) override;
    // The base format, rows bottom-up; a 15-bit surface's DIB has 16 bits without masks.
    int InitFormat(int32_t depth) override;
    int32_t GetKind() override { return kSurfaceKindDIB; }
    void SetOrigin(int32_t x, int32_t y) override;
    uint32_t GetOrigin() override;
    int HasOrigin() override { return 1; }
    // Counted: nested users share one context, which the last ReleaseDC deletes.
    HDC GetDC() override;
    void ReleaseDC(HDC dc) override;
    int AttachWindow(HWND window) override;
    void EnumDisplayModes(DisplayModeCallback callback, void* param) override;
    int EnterFullScreen(HWND window, int32_t width, int32_t height, int32_t depth) override;
    void LeaveFullScreen(HWND window) override;
    void CopyDisplayState(cSurface* other) override;
    int SetPalette(PaletteRecord* palette, int32_t remap) override;
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

protected:
    // A new surface of this class on the prototype's format; null on any failure.
    template <class Surface>
    static cSurface* MakeDIB(cDIBSurface& prototype, int32_t width, int32_t height);
    // Selects the DIB into a new memory DC compatible with the window's (the screen's
    // without one) and gives it the palette's colours; 0 on failure.
    HDC OpenDC();
    void CloseDC();
    // The colour table of an 8-bit DIB from the palette, in the open DC.
    void LoadColorTable(HDC dc);

    HDC dc_ = 0;
    int32_t dcUsers_ = 0;
    int32_t originX_ = 0;
    int32_t originY_ = 0;
    HWND window_ = 0;
    BITMAPINFOHEADER header_{};
    HBITMAP dib_ = 0;
    HGDIOBJ previousBitmap_ = 0;
    bool fullScreen_ = false;
    DEVMODEA savedMode_{};
    SavedWindow savedWindow_;
};

class cDIBDCSurface : public cDIBSurface {
public:
    cSurface* MakeInstance(int32_t width, int32_t height) override;
    int32_t GetKind() override { return kSurfaceKindDIBDC; }
    void SetOrigin(int32_t x, int32_t y) override;
    // The kept context.
    HDC GetDC() override { return dc_; }
    void ReleaseDC(HDC) override {}
};
