// DirectDraw 4 and Direct3D 6 as our own abstract classes, with Windows' method names (of
// the methods the 3D renderer calls). The DirectDraw object answers IID_IDirectDraw4 (the
// emulation's object hands that out) and IID_IDirect3D3; surfaces of DirectDraw 4 stand
// on the emulation's: the primary, its flip chain and off-screen 3D targets are its
// surfaces, shown as they are; depth buffers and textures are memory of their own format.
//
// A device carries its calls out through an executor (direct3d_executor.h). Every failure
// is E_FAIL, except ValidateDevice's refusal of a colour operation.
#pragma once

#include "platform/directx/ddraw.h"
#include "platform/directx/direct3d/d3d_types.h"

inline constexpr IID IID_IDirectDraw4{
    0x9C59509A, 0x39BD, 0x11D1, {0x8C, 0x4A, 0x00, 0xC0, 0x4F, 0xD9, 0x30, 0xC5}};
inline constexpr IID IID_IDirectDrawSurface4{
    0x0B2B8630, 0xAD35, 0x11D0, {0x8E, 0xA6, 0x00, 0x60, 0x97, 0x97, 0xEA, 0x5B}};
inline constexpr IID IID_IDirect3D3{
    0xBB223240, 0xE72B, 0x11D0, {0xA9, 0xB4, 0x00, 0xAA, 0x00, 0xC0, 0x99, 0x3E}};
inline constexpr IID IID_IDirect3DTexture2{
    0x93281502, 0x8CF8, 0x11D0, {0x89, 0xAB, 0x00, 0xA0, 0xC9, 0x05, 0x41, 0x29}};
inline constexpr IID IID_IDirect3DHALDevice{
    0x84E63DE0, 0x46AA, 0x11CF, {0x81, 0x6F, 0x00, 0x00, 0xC0, 0x20, 0x15, 0x6E}};
inline constexpr IID IID_IDirect3DRGBDevice{
    0xA4665C60, 0x2673, 0x11CF, {0xA3, 0x1A, 0x00, 0xAA, 0x00, 0xB9, 0x33, 0x56}};
inline constexpr IID IID_IDirect3DNullDevice{
    0x8767DF22, 0xBACC, 0x11D1, {0x89, 0x69, 0x00, 0xA0, 0xC9, 0x06, 0x29, 0xA8}};

class IDirectDrawSurface4;
class IDirect3DDevice3;

using LPDDENUMMODESCALLBACK2 = HRESULT (*)(DDSURFACEDESC2* mode, void* context);
using LPDDENUMCALLBACKA = BOOL (*)(GUID* driver, char* description, char* name, void* context);
using LPDDENUMCALLBACKEXA = BOOL (*)(GUID* driver, char* description, char* name, void* context,
                                     HANDLE monitor);
using LPD3DENUMDEVICESCALLBACK = HRESULT (*)(GUID* device, char* description, char* name,
                                             D3DDEVICEDESC* hardware, D3DDEVICEDESC* software,
                                             void* context);
using LPD3DENUMPIXELFORMATSCALLBACK = HRESULT (*)(DDPIXELFORMAT* format, void* context);

class IDirectDraw4 : public IUnknown {
public:
    virtual HRESULT CreateClipper(DWORD flags, IDirectDrawClipper** clipper, IUnknown* outer) = 0;
    // The primary (a flip chain in exclusive mode), an off-screen 3D target in the display's
    // format, a depth buffer (DDSCAPS_ZBUFFER with a DDPF_ZBUFFER format of 16, 24 or 32
    // bits) or a texture (DDSCAPS_TEXTURE with an RGB format of 8 to 32 bits, with
    // DDSCAPS_MIPMAP and DDSD_MIPMAPCOUNT a chain of smaller levels).
    virtual HRESULT CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface4** surface,
                                  IUnknown* outer) = 0;
    virtual HRESULT EnumDisplayModes(DWORD flags, DDSURFACEDESC2* filter, void* context,
                                     LPDDENUMMODESCALLBACK2 callback) = 0;
    virtual HRESULT GetCaps(DDCAPS* driver, DDCAPS* emulation) = 0;
    virtual HRESULT GetDisplayMode(DDSURFACEDESC2* desc) = 0;
    virtual HRESULT RestoreDisplayMode() = 0;
    // DDSCL_FPUSETUP and DDSCL_ALLOWREBOOT are accepted and change nothing.
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD flags) = 0;
    virtual HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD refreshRate,
                                   DWORD flags) = 0;
    virtual HRESULT WaitForVerticalBlank(DWORD flags, HANDLE event) = 0;

protected:
    ~IDirectDraw4() = default;
};

class IDirectDrawSurface4 : public IUnknown {
public:
    // A depth buffer onto a 3D target; the target holds it counted.
    virtual HRESULT AddAttachedSurface(IDirectDrawSurface4* attached) = 0;
    virtual HRESULT Blt(RECT* destination, IDirectDrawSurface4* source, RECT* sourceRect,
                        DWORD flags, DDBLTFX* fx) = 0;
    virtual HRESULT Flip(IDirectDrawSurface4* target, DWORD flags) = 0;
    // A flip chain's back buffer, a target's depth buffer or a texture's next mip level,
    // counted.
    virtual HRESULT GetAttachedSurface(DDSCAPS2* caps, IDirectDrawSurface4** attached) = 0;
    virtual HRESULT GetDC(HDC* dc) = 0;
    // The IDirectDraw4 that made the surface, counted.
    virtual HRESULT GetDDInterface(void** directDraw) = 0;
    virtual HRESULT GetSurfaceDesc(DDSURFACEDESC2* desc) = 0;
    virtual HRESULT Lock(RECT* rect, DDSURFACEDESC2* desc, DWORD flags, HANDLE event) = 0;
    virtual HRESULT ReleaseDC(HDC dc) = 0;
    virtual HRESULT SetClipper(IDirectDrawClipper* clipper) = 0;
    // Only DDCKEY_SRCBLT; a null key takes it away.
    virtual HRESULT SetColorKey(DWORD flags, DDCOLORKEY* key) = 0;
    virtual HRESULT Unlock(RECT* rect) = 0;

protected:
    ~IDirectDrawSurface4() = default;
};

// A texture surface seen by a device.
class IDirect3DTexture2 : public IUnknown {
protected:
    ~IDirect3DTexture2() = default;
};

class IDirect3DMaterial3 : public IUnknown {
public:
    virtual HRESULT SetMaterial(D3DMATERIAL* material) = 0;
    virtual HRESULT GetHandle(IDirect3DDevice3* device, DWORD* handle) = 0;

protected:
    ~IDirect3DMaterial3() = default;
};

class IDirect3DViewport3 : public IUnknown {
public:
    virtual HRESULT SetViewport2(D3DVIEWPORT2* viewport) = 0;
    // Fills the rectangles of the device's render target (D3DCLEAR_TARGET, colour
    // 0x00RRGGBB) and of its depth buffer (D3DCLEAR_ZBUFFER); stencil is ignored.
    virtual HRESULT Clear2(DWORD count, D3DRECT* rects, DWORD flags, DWORD colour, float z,
                           DWORD stencil) = 0;

protected:
    ~IDirect3DViewport3() = default;
};

class IDirect3DDevice3 : public IUnknown {
public:
    virtual HRESULT AddViewport(IDirect3DViewport3* viewport) = 0;
    virtual HRESULT Begin(DWORD primitive, DWORD vertexFormat, DWORD flags) = 0;
    virtual HRESULT BeginScene() = 0;
    // Drawing takes 40-byte vertices of format D3DFVF_TLVERTEX2 only.
    virtual HRESULT DrawIndexedPrimitive(DWORD primitive, DWORD vertexFormat, void* vertices,
                                         DWORD vertexCount, WORD* indices, DWORD indexCount,
                                         DWORD flags) = 0;
    virtual HRESULT DrawPrimitive(DWORD primitive, DWORD vertexFormat, void* vertices,
                                  DWORD vertexCount, DWORD flags) = 0;
    virtual HRESULT End(DWORD flags) = 0;
    virtual HRESULT EndScene() = 0;
    virtual HRESULT EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK callback, void* context) = 0;
    virtual HRESULT GetCaps(D3DDEVICEDESC* hardware, D3DDEVICEDESC* software) = 0;
    virtual HRESULT GetRenderTarget(IDirectDrawSurface4** target) = 0;
    virtual HRESULT SetCurrentViewport(IDirect3DViewport3* viewport) = 0;
    virtual HRESULT SetLightState(DWORD state, DWORD value) = 0;
    virtual HRESULT SetRenderState(DWORD state, DWORD value) = 0;
    virtual HRESULT SetTexture(DWORD stage, IDirect3DTexture2* texture) = 0;
    virtual HRESULT SetTextureStageState(DWORD stage, DWORD state, DWORD value) = 0;
    // D3DERR_UNSUPPORTEDCOLOROPERATION when a stage's colour operation cannot be done.
    virtual HRESULT ValidateDevice(DWORD* passes) = 0;
    virtual HRESULT Vertex(void* vertex) = 0;

protected:
    ~IDirect3DDevice3() = default;
};

class IDirect3D3 : public IUnknown {
public:
    virtual HRESULT CreateDevice(REFIID device, IDirectDrawSurface4* target,
                                 IDirect3DDevice3** made, IUnknown* outer) = 0;
    virtual HRESULT CreateMaterial(IDirect3DMaterial3** material, IUnknown* outer) = 0;
    virtual HRESULT CreateViewport(IDirect3DViewport3** viewport, IUnknown* outer) = 0;
    // "Direct3D HAL" (hardware) and "RGB Emulation".
    virtual HRESULT EnumDevices(LPD3DENUMDEVICESCALLBACK callback, void* context) = 0;
    virtual HRESULT EnumZBufferFormats(REFIID device, LPD3DENUMPIXELFORMATSCALLBACK callback,
                                       void* context) = 0;
    virtual HRESULT FindDevice(D3DFINDDEVICESEARCH* search, D3DFINDDEVICERESULT* result) = 0;

protected:
    ~IDirect3D3() = default;
};

// The one driver, "Primary Display Driver" (a null GUID); the flags are accepted.
BOOL DirectDrawEnumerateExA(LPDDENUMCALLBACKEXA callback, void* context, DWORD flags);
// The same driver through the older entry point, which names no monitor.
BOOL DirectDrawEnumerateA(LPDDENUMCALLBACKA callback, void* context);

namespace platform::d3d {
// The IDirectDraw4 of an emulation DirectDraw object, which it holds counted.
HRESULT MakeDirectDraw4(IDirectDraw2* inner, void** object);
} // namespace platform::d3d
