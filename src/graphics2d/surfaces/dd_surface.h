// Surfaces on DirectDraw. cDDSurface keeps its pixels in an off-screen surface in video
// memory, cDDSysMemSurface in system memory; both present to a window by blitting onto the
// thread's primary surface through a clipper bound to the window, and switch the display
// to an exclusive full-screen mode whose back buffer a screen instance draws on. Each
// thread has its own DirectDraw object and primary (surface_kinds.h), so a surface is used
// on the thread that made it.
//
// Pixels are addressable only while locked, and a device context only while no lock is
// held: both are counted, and each refuses while the other is open.
#pragma once

#include "graphics2d/surfaces/gdi_paths.h"
#include "graphics2d/surfaces/surface.h"
#include "platform/directx/ddraw.h"

class cDDSurface : public cSurface {
public:
    cDDSurface() = default;
    ~cDDSurface() override;

    cSurface* MakeInstance(int32_t width, int32_t height) override;
    // While full screen: a surface on the primary's back buffer, of the screen's size.
    cSurface* MakeScreenInstance() override;
    int IsBackBufferMode() override { return backBufferMode_ ? 1 : 0; }
    void EnumDisplayModes(DisplayModeCallback callback, void* param) override;
    int EnterFullScreen(HWND window, int32_t width, int32_t height, int32_t depth) override;
    void LeaveFullScreen(HWND window) override;
    void CopyDisplayState(cSurface* other) override;
    int WaitVSync() override;
    int32_t GetKind() override { return kSurfaceKindDirectDraw; }
    void SetOrigin(int32_t x, int32_t y) override;
    uint32_t GetOrigin() override;
    int HasOrigin() override { return 1; }
    int Lock() override;
    void Unlock() override;
    HDC GetDC() override;
    void ReleaseDC(HDC dc) override;
    // Copies from the screen (the primary) at (sx, sy); the DC is not used.
    int BlitFromDC(int32_t dx, int32_t dy, HDC source, int32_t sx, int32_t sy, int32_t width,
                   int32_t height, int32_t mode, int32_t op, uint32_t param) override;
    int StretchFromDC(int32_t dx, int32_t dy, int32_t dw, int32_t dh, HDC source, int32_t sx,
                      int32_t sy, int32_t sw, int32_t sh, int32_t mode, int32_t op,
                      uint32_t param) override;
    // Onto a device-only surface: to the screen at the attached window's place.
    int BlitTo(cSurface* destination, int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t width,
               int32_t height, int32_t mode, int32_t op, uint32_t param, int32_t smooth) override;
    int MoveRect(int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t width,
                 int32_t height) override;
    int FillRectRaw(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t value) override;
    int FillRect(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t colour) override;
    int StretchBlitViaDC(cSurface* destination, int32_t dx, int32_t dy, int32_t dw, int32_t dh,
                         int32_t sx, int32_t sy, int32_t sw, int32_t sh, int32_t mode, int32_t op,
                         uint32_t param, int32_t smooth) override;
    // Binds a clipper to the window, so presenting draws only what of it is visible.
    int AttachWindow(HWND window) override;
    // In back-buffer mode: shows the back buffer.
    void PresentFlip() override;

protected:
    // Makes the DirectDraw surface in video memory or system memory.
    cSurface* MakeDD(bool videoMemory, int32_t width, int32_t height);

private:
    enum class Access { Idle, Locked, DCOpen };

    // The back buffer anew in back-buffer mode (it belongs to the primary, which may have
    // changed); the surface otherwise. Null when there is none.
    IDirectDrawSurface* Surface();
    // The format of the DirectDraw surface's pixels; false for one the library cannot
    // draw in.
    bool TakePixelFormat();
    // Closes an open DC or lock whatever their counts.
    void CloseAccess();
    void ReleaseClipper();
    // Puts this surface's clipper on the primary unless it is there or the display is in
    // full screen.
    void ClipPrimary(IDirectDrawSurface* primary);
    // Fills with a pixel value through DirectDraw; the rectangle is clipped first.
    int ColorFill(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t pixel);
    int PresentToScreen(int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t width,
                        int32_t height);

    IDirectDrawSurface* surface_ = nullptr;
    IDirectDrawClipper* clipper_ = nullptr;
    bool backBufferMode_ = false;
    HDC dc_ = 0;
    int32_t originX_ = 0;
    int32_t originY_ = 0;
    HWND window_ = 0;
    Access access_ = Access::Idle;
    int32_t dcCount_ = 0;
    int32_t lockCount_ = 0;
    bool fullScreen_ = false;
    SavedWindow savedWindow_;
};

class cDDSysMemSurface : public cDDSurface {
public:
    cSurface* MakeInstance(int32_t width, int32_t height) override;
};

// The depth of the last DirectDraw surface made: the display's (0 before the first).
int32_t GetDirectDrawDepth();
