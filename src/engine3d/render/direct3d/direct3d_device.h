// The Direct3D back end's device: the DirectDraw 4 and Direct3D 3 objects of the primary
// display, the tree of DirectDraw drivers, their Direct3D devices and the display modes
// each device renders at, the primary surface its renderers share, and its renderers.
#pragma once

#include "engine3d/render/backend_device.h"
#include "platform/directx/direct3d/d3d.h"

// The data word of a device of the tree.
struct Direct3DDeviceData {
    GUID guid{};
    GUID* guidPointer = nullptr; // &guid, or null when the device has none
    D3DDEVICEDESC description{};
    uint32_t hardware = 0;
    uint32_t windowed = 0;
};

// The data word of a driver of the tree.
struct Direct3DDriverData {
    GUID guid{};
    GUID* guidPointer = nullptr; // null for the primary driver
    DDCAPS hardware{};
    DDCAPS emulation{};
};

class LAPI_Direct3D : public LAPIBackEnd {
public:
    // DirectDraw for the primary display and its Direct3D; the tree is built at once.
    LAPI_Direct3D();
    ~LAPI_Direct3D() override;

    LRenderAPICLBK* CreateRenderer(L3DWorld* world) override;
    LPolygon* CreatePolygon(L3DObject* owner, int kind, uint32_t word) override;
    LTexture* CreateTexture(L3DWorld* world, const char* name, LCLBKObject* link) override;
    int IsHardware() override { return 1; }
    uint32_t GetFourCC() const override { return MakeFourCC("DX3D"); }
    const char* GetDisplayName() const override { return "Direct3D 6.x"; }
    void EnumerateModes() override;
    void FreeDeviceData(uintptr_t data) override;
    void FreeDriverData(uintptr_t data) override;
    void FreeModeData(uintptr_t data) override;
    int WaitForVerticalBlank() override;

    IDirectDraw4* GetDirectDraw() const { return directDraw_; }
    IDirect3D3* GetDirect3D() const { return direct3D_; }

    // The primary surface its renderers share: the same one again adds a use, a first
    // one is taken with one use, another one changes nothing; null drops a use and
    // releases the surface with the last. Answers the surface held.
    IDirectDrawSurface4* HoldSharedObject(IDirectDrawSurface4* surface);
    IDirectDrawSurface4* SharedObject() const { return shared_; }
    int SharedUses() const { return sharedUses_; }

private:
    IDirectDraw4* directDraw_ = nullptr;
    IDirect3D3* direct3D_ = nullptr;
    IDirectDrawSurface4* shared_ = nullptr;
    int sharedUses_ = 0;
};

// The device of the Direct3D back end; without DirectDraw its tree is empty and its
// renderers answer the set-up codes.
LAPICLBK* MakeDirect3DDevice();

// 1 where the layer can draw: a screen of at least 15 bits and a GL context to be had
// (ZORV_GL=off answers 0).
int ProbeDirect3D();
