// DirectDraw kept in memory: the DirectDraw object, surfaces and clippers the 2D library
// draws through, with Windows' method names and order (of the methods it calls).
//
// Surfaces are memory in the display's format (16, 24 or 32 bits; at 256 colours
// DirectDrawCreate fails), each with its own pixel format and pitch; they are never
// lost. The windowed primary is the screen: a Blt onto it lands in the client area of
// its clipper's window at the window's place on the screen, clipped as that window's DC
// is (without a clipper, in each top-level window beneath), and a Blt from it reads the
// screen DC. In exclusive full-screen mode the primary is memory of the mode's size
// shown in the cooperative window's client area whenever it changes; a complex flip chain
// (DDSCAPS_COMPLEX | DDSCAPS_FLIP, one back buffer) shows its back buffer at Flip.
// Showing only writes the windows' framebuffers, which the display presents at its next
// pump: nothing is dispatched inside a DirectDraw call.
#pragma once

#include "platform/directx/ddraw_types.h"
#include "platform/gdi/screen_dc.h"
#include "platform/user/window_geometry.h"

inline constexpr IID IID_IDirectDraw{
    0x6C14DB80, 0xA733, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
inline constexpr IID IID_IDirectDraw2{
    0xB3A6F3E0, 0x2B43, 0x11CF, {0xA2, 0xDE, 0x00, 0xAA, 0x00, 0xB9, 0x33, 0x56}};
inline constexpr IID IID_IDirectDrawSurface{
    0x6C14DB81, 0xA733, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
inline constexpr IID IID_IDirectDrawClipper{
    0x6C14DB85, 0xA733, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};

class IDirectDrawClipper : public IUnknown {
public:
    // The window whose visible client area clips blits onto the primary; 0 for none.
    // Flags must be 0.
    virtual HRESULT SetHWnd(DWORD flags, HWND window) = 0;

protected:
    ~IDirectDrawClipper() = default;
};

class IDirectDrawSurface : public IUnknown {
public:
    // `source`'s rectangle (null: all of it) stretched onto `destination` (null: all of
    // this surface), or with DDBLT_COLORFILL `fx`'s fill pixel over `destination`.
    // Rectangles reaching outside a surface are refused (DDERR_INVALIDRECT) unless the
    // destination has a clipper, which clips. DDERR_SURFACEBUSY while either surface is
    // locked or has a DC open.
    virtual HRESULT Blt(RECT* destination, IDirectDrawSurface* source, RECT* sourceRect,
                        DWORD flags, DDBLTFX* fx) = 0;
    // An unstretched copy to (x, y); it never clips: rectangles outside either surface are
    // refused, as is a destination with a clipper (DDERR_BLTFASTCANTCLIP).
    virtual HRESULT BltFast(DWORD x, DWORD y, IDirectDrawSurface* source, RECT* sourceRect,
                            DWORD flags) = 0;
    // The back buffer's pixels become the front's and are shown; `target` null or the
    // back buffer. Only a full-screen primary with a back buffer flips.
    virtual HRESULT Flip(IDirectDrawSurface* target, DWORD flags) = 0;
    // The back buffer (DDSCAPS_BACKBUFFER) of a flip chain, counted.
    virtual HRESULT GetAttachedSurface(DDSCAPS* caps, IDirectDrawSurface** attached) = 0;
    // A DC drawing on the surface's pixels, until ReleaseDC; refused while locked.
    virtual HRESULT GetDC(HDC* dc) = 0;
    virtual HRESULT GetPixelFormat(DDPIXELFORMAT* format) = 0;
    virtual HRESULT GetSurfaceDesc(DDSURFACEDESC* desc) = 0;
    // Surfaces are never lost: DD_OK.
    virtual HRESULT IsLost() = 0;
    // The pixels (from `rect`'s corner, null: the whole surface) in desc->lpSurface with
    // the pitch, until Unlock; refused while a DC is open or already locked.
    virtual HRESULT Lock(RECT* rect, DDSURFACEDESC* desc, DWORD flags, HANDLE event) = 0;
    virtual HRESULT ReleaseDC(HDC dc) = 0;
    virtual HRESULT Restore() = 0;
    // Counted; null takes the clipper away.
    virtual HRESULT SetClipper(IDirectDrawClipper* clipper) = 0;
    // `pixels` is what Lock gave, or null.
    virtual HRESULT Unlock(void* pixels) = 0;

protected:
    ~IDirectDrawSurface() = default;
};

class IDirectDraw : public IUnknown {
public:
    // Flags must be 0; no aggregation (`outer` null).
    virtual HRESULT CreateClipper(DWORD flags, IDirectDrawClipper** clipper, IUnknown* outer) = 0;
    // A primary (DDSCAPS_PRIMARYSURFACE, no size; one per object) or an off-screen
    // surface (width and height, in video memory or DDSCAPS_SYSTEMMEMORY). A pixel format
    // given must be the display's; other kinds of surface are refused (DDERR_INVALIDCAPS).
    virtual HRESULT CreateSurface(DDSURFACEDESC* desc, IDirectDrawSurface** surface,
                                  IUnknown* outer) = 0;
    // Each mode SetDisplayMode accepts that matches `filter`'s width, height and bit count
    // (as its flags name them), until the callback answers DDENUMRET_CANCEL.
    virtual HRESULT EnumDisplayModes(DWORD flags, DDSURFACEDESC* filter, void* context,
                                     LPDDENUMMODESCALLBACK callback) = 0;
    // Size, pitch, pixel format and refresh rate of the display's current mode.
    virtual HRESULT GetDisplayMode(DDSURFACEDESC* desc) = 0;
    // Back to the desktop's mode when this object changed it.
    virtual HRESULT RestoreDisplayMode() = 0;
    // DDSCL_NORMAL (any window or none) or DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE (a top-level
    // window; one object at a time). Needed before CreateSurface.
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD flags) = 0;
    // Returns at the start of the display's next refresh (at once headless).
    virtual HRESULT WaitForVerticalBlank(DWORD flags, HANDLE event) = 0;

protected:
    ~IDirectDraw() = default;
};

class IDirectDraw2 : public IDirectDraw {
public:
    // In exclusive mode only; 16, 24 and 32 bits (DDERR_INVALIDMODE for others and for
    // modes the display does not offer). Refresh 0 takes any.
    virtual HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD refreshRate,
                                   DWORD flags) = 0;

protected:
    ~IDirectDraw2() = default;
};

// A new DirectDraw object (IID_IDirectDraw; it answers IID_IDirectDraw2 too) for the
// display: `driver` must be null and `outer` null. DDERR_UNSUPPORTEDMODE while the
// display has 256 colours or fewer.
HRESULT DirectDrawCreate(GUID* driver, IDirectDraw** object, IUnknown* outer);
