// The objects behind the DirectDraw interfaces. Internal to directx/. An object is used
// on the thread that made it, as DirectDraw's callers do; its counts are atomic so a
// stray Release elsewhere stays safe.
#pragma once

#include <atomic>
#include <functional>
#include <memory>

#include "platform/directx/ddraw.h"
#include "platform/directx/surface_pixels.h"

namespace platform::ddraw {

class SurfaceObject;

// What a DirectDraw object and its surfaces share; it outlives the object while a
// surface lives.
struct Session {
    HWND window = 0;        // of the cooperative level
    bool levelSet = false;  // SetCooperativeLevel succeeded once
    bool exclusive = false; // DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE
    bool changedMode = false;
    SurfaceObject* primary = nullptr;
};

// Counts the live DirectDraw objects of every kind, for tests.
class LiveObject {
public:
    LiveObject();
    LiveObject(const LiveObject&) = delete;
    LiveObject& operator=(const LiveObject&) = delete;
    ~LiveObject();
};

class ClipperObject final : public IDirectDrawClipper, LiveObject {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT SetHWnd(DWORD flags, HWND window) override;

    HWND window = 0;

private:
    std::atomic<ULONG> refs_{1};
};

enum class SurfaceKind {
    OffScreen,
    WindowedPrimary,   // the screen: no memory of its own
    FullScreenPrimary, // memory shown in the cooperative window
    BackBuffer,        // of a full-screen primary
};

class SurfaceObject final : public IDirectDrawSurface, LiveObject {
public:
    SurfaceObject(std::shared_ptr<Session> session, SurfaceKind kind, DWORD caps, int width,
                  int height, PixelFormat format, std::shared_ptr<Pixels> pixels);

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT Blt(RECT* destination, IDirectDrawSurface* source, RECT* sourceRect, DWORD flags,
                DDBLTFX* fx) override;
    HRESULT BltFast(DWORD x, DWORD y, IDirectDrawSurface* source, RECT* sourceRect,
                    DWORD flags) override;
    HRESULT Flip(IDirectDrawSurface* target, DWORD flags) override;
    HRESULT GetAttachedSurface(DDSCAPS* caps, IDirectDrawSurface** attached) override;
    HRESULT GetDC(HDC* dc) override;
    HRESULT GetPixelFormat(DDPIXELFORMAT* format) override;
    HRESULT GetSurfaceDesc(DDSURFACEDESC* desc) override;
    HRESULT IsLost() override;
    HRESULT Lock(RECT* rect, DDSURFACEDESC* desc, DWORD flags, HANDLE event) override;
    HRESULT ReleaseDC(HDC dc) override;
    HRESULT Restore() override;
    HRESULT SetClipper(IDirectDrawClipper* clipper) override;
    HRESULT Unlock(void* pixels) override;

    // A full-screen primary's back buffer, which the primary holds counted.
    void AttachBackBuffer(SurfaceObject* back);
    // The cooperative window a full-screen primary is shown in.
    HWND showIn = 0;

private:
    ~SurfaceObject();
    RECT Bounds() const { return RECT{0, 0, width_, height_}; }
    bool Busy() const { return locked_ || dc_ != 0; }
    // The full-screen primary's pixels into its window's client area.
    void Show();
    // Runs `draw` with each DC the surface is drawn through, in surface coordinates;
    // false when there is none to draw through (DDERR_NOCLIPLIST for a clipper without a
    // window).
    HRESULT DrawThrough(const std::function<void(HDC)>& draw);
    HRESULT Fill(const RECT& area, uint32_t pixel);
    // `from`'s `read` stretched onto `to`.
    HRESULT CopyFrom(SurfaceObject& from, const RECT& to, const RECT& read);

    std::atomic<ULONG> refs_{1};
    const std::shared_ptr<Session> session_;
    const SurfaceKind kind_;
    const DWORD caps_;
    const int width_;
    const int height_;
    const PixelFormat format_;
    const std::shared_ptr<Pixels> pixels_; // null for the windowed primary
    SurfaceObject* back_ = nullptr;        // counted
    ClipperObject* clipper_ = nullptr;     // counted
    bool locked_ = false;
    HDC dc_ = 0;
};

// DirectDraw's description of a pixel format.
DDPIXELFORMAT DescribeFormat(PixelFormat format);
// The display's format; false when DirectDraw cannot use it (256 colours).
bool UsableDisplayFormat(PixelFormat& format);

} // namespace platform::ddraw
