// The objects behind the DirectDraw 4 and Direct3D 6 interfaces. Internal to direct3d/.
#pragma once

#include <atomic>
#include <vector>

#include "platform/directx/direct3d/d3d.h"

namespace platform::d3d {

// Counts the live objects of the layer, for tests.
class LiveD3DObject {
public:
    LiveD3DObject();
    LiveD3DObject(const LiveD3DObject&) = delete;
    LiveD3DObject& operator=(const LiveD3DObject&) = delete;
    ~LiveD3DObject();
};

class DirectDraw4Object;
class Executor;

// A surface of DirectDraw 4: an emulation surface it holds (the primary, its back buffer,
// an off-screen target), or memory of its own (a depth buffer, a texture level). It is its
// own IDirect3DTexture2 when it is a texture.
class Surface4Object final : public IDirectDrawSurface4, public IDirect3DTexture2, LiveD3DObject {
public:
    Surface4Object(DirectDraw4Object* owner, IDirectDrawSurface* inner, DWORD extraCaps);
    Surface4Object(DirectDraw4Object* owner, DWORD width, DWORD height, const DDPIXELFORMAT& format,
                   const DDSCAPS2& caps);

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT AddAttachedSurface(IDirectDrawSurface4* attached) override;
    HRESULT Blt(RECT* destination, IDirectDrawSurface4* source, RECT* sourceRect, DWORD flags,
                DDBLTFX* fx) override;
    HRESULT Flip(IDirectDrawSurface4* target, DWORD flags) override;
    HRESULT GetAttachedSurface(DDSCAPS2* caps, IDirectDrawSurface4** attached) override;
    HRESULT GetDC(HDC* dc) override;
    HRESULT GetDDInterface(void** directDraw) override;
    HRESULT GetSurfaceDesc(DDSURFACEDESC2* desc) override;
    HRESULT Lock(RECT* rect, DDSURFACEDESC2* desc, DWORD flags, HANDLE event) override;
    HRESULT ReleaseDC(HDC dc) override;
    HRESULT SetClipper(IDirectDrawClipper* clipper) override;
    HRESULT SetColorKey(DWORD flags, DDCOLORKEY* key) override;
    HRESULT Unlock(RECT* rect) override;

    // Chains a smaller mip level under this one, held counted.
    void AttachLevel(Surface4Object* level);
    Surface4Object* NextLevel() const { return level_; }
    // A surface of memory of our own: its pixels, rows `Pitch()` bytes apart.
    const uint8_t* Pixels() const { return memory_.data(); }
    LONG Pitch() const { return pitch_; }

    // The executor drawing into this render target, told before its memory is used and
    // after it was written; null for any other surface.
    Executor* drawer = nullptr;
    void ToMemory();
    void MemoryChanged();

    const uint32_t serial;
    DDSCAPS2 caps{};
    DWORD width = 0;
    DWORD height = 0;
    DDPIXELFORMAT format{};
    // Counts the changes of the pixels or the key, so that a texture made of them is
    // made again.
    uint32_t version = 0;
    bool keyed = false;
    DDCOLORKEY key{};
    Surface4Object* depth = nullptr; // counted

private:
    ~Surface4Object();
    bool Wrapped() const { return inner_ != nullptr; }

    std::atomic<ULONG> refs_{1};
    DirectDraw4Object* const owner_; // counted
    IDirectDrawSurface* const inner_;
    Surface4Object* back_ = nullptr;  // a flip chain's, counted
    Surface4Object* level_ = nullptr; // the next mip level, counted
    std::vector<uint8_t> memory_;
    LONG pitch_ = 0;
    void* lockedInner_ = nullptr;
    DWORD lockHandle_ = 0;
    bool syncing_ = false;
};

class DirectDraw4Object final : public IDirectDraw4, LiveD3DObject {
public:
    explicit DirectDraw4Object(IDirectDraw2* inner);

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT CreateClipper(DWORD flags, IDirectDrawClipper** clipper, IUnknown* outer) override;
    HRESULT CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface4** surface,
                          IUnknown* outer) override;
    HRESULT EnumDisplayModes(DWORD flags, DDSURFACEDESC2* filter, void* context,
                             LPDDENUMMODESCALLBACK2 callback) override;
    HRESULT GetCaps(DDCAPS* driver, DDCAPS* emulation) override;
    HRESULT GetDisplayMode(DDSURFACEDESC2* desc) override;
    HRESULT RestoreDisplayMode() override;
    HRESULT SetCooperativeLevel(HWND window, DWORD flags) override;
    HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD refreshRate,
                           DWORD flags) override;
    HRESULT WaitForVerticalBlank(DWORD flags, HANDLE event) override;

private:
    ~DirectDraw4Object();
    std::atomic<ULONG> refs_{1};
    IDirectDraw2* const inner_; // counted
};

// DirectDraw 2's description in DirectDraw 4's record.
void Widen(const DDSURFACEDESC& from, DDSURFACEDESC2& to);

// The Direct3D object of a DirectDraw 4 object, which it holds counted.
IDirect3D3* MakeDirect3D(DirectDraw4Object* owner);

} // namespace platform::d3d
