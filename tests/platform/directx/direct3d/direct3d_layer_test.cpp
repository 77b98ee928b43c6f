// DirectDraw 4 surfaces over the emulation's, the Direct3D objects and the recorder.
#include <cstring>
#include <string>

#include "platform/directx/ddraw_test_support.h"
#include "platform/directx/direct3d/d3d.h"
#include "platform/directx/direct3d/d3d_executor.h"
#include "platform/directx/direct3d/direct3d_test_hooks.h"
#include "platform/process/shared_library.h"

namespace {

class Direct3DLayer : public ddraw_test::DirectDraw {
protected:
    void SetUp() override {
        DirectDraw::SetUp();
        platform::test::ResetDirect3DSetup();
        liveD3D = platform::test::LiveDirect3DObjects();
    }
    void TearDown() override {
        EXPECT_EQ(platform::test::LiveDirect3DObjects(), liveD3D);
        platform::test::ResetDirect3DSetup();
        DirectDraw::TearDown();
    }

    static IDirectDraw4* Open4(HWND window = 0) {
        IDirectDraw2* dd = Open(window);
        void* wide = nullptr;
        EXPECT_EQ(dd->QueryInterface(IID_IDirectDraw4, &wide), S_OK);
        dd->Release();
        return static_cast<IDirectDraw4*>(wide);
    }

    static DDSURFACEDESC2 Desc2(DWORD flags, DWORD caps, DWORD width = 0, DWORD height = 0) {
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = flags;
        desc.ddsCaps.dwCaps = caps;
        desc.dwWidth = width;
        desc.dwHeight = height;
        return desc;
    }

    static IDirectDrawSurface4* Target(IDirectDraw4* dd, DWORD width, DWORD height) {
        DDSURFACEDESC2 desc = Desc2(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT,
                                    DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE, width, height);
        IDirectDrawSurface4* surface = nullptr;
        EXPECT_EQ(dd->CreateSurface(&desc, &surface, nullptr), DD_OK);
        return surface;
    }

    static IDirect3D3* D3D(IDirectDraw4* dd) {
        void* d3d = nullptr;
        EXPECT_EQ(dd->QueryInterface(IID_IDirect3D3, &d3d), S_OK);
        return static_cast<IDirect3D3*>(d3d);
    }

    long liveD3D = 0;
};

TEST_F(Direct3DLayer, RecordsHaveTheirWindowsSizes) {
    EXPECT_EQ(sizeof(DDSURFACEDESC2), 124u);
    EXPECT_EQ(sizeof(DDCAPS), 380u);
    EXPECT_EQ(sizeof(D3DDEVICEDESC), 252u);
    EXPECT_EQ(sizeof(D3DVIEWPORT2), 44u);
    EXPECT_EQ(sizeof(D3DMATERIAL), 80u);
}

TEST_F(Direct3DLayer, SurfacesOfEveryKindAttachLockAndGoAway) {
    IDirectDraw4* dd = Open4();
    ASSERT_NE(dd, nullptr);
    IDirectDrawSurface4* target = Target(dd, 64, 32);
    ASSERT_NE(target, nullptr);

    DDSURFACEDESC2 depthDesc = Desc2(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT,
                                     DDSCAPS_ZBUFFER | DDSCAPS_VIDEOMEMORY, 64, 32);
    depthDesc.ddpfPixelFormat = {sizeof(DDPIXELFORMAT), DDPF_ZBUFFER, 0, 16, 0, 0xFFFF, 0, 0};
    IDirectDrawSurface4* depth = nullptr;
    ASSERT_EQ(dd->CreateSurface(&depthDesc, &depth, nullptr), DD_OK);
    EXPECT_EQ(target->AddAttachedSurface(depth), DD_OK);
    EXPECT_EQ(target->AddAttachedSurface(depth), E_FAIL); // one depth buffer only
    DDSCAPS2 zCaps{DDSCAPS_ZBUFFER, 0, 0, 0};
    IDirectDrawSurface4* found = nullptr;
    EXPECT_EQ(target->GetAttachedSurface(&zCaps, &found), DD_OK);
    EXPECT_EQ(found, depth);
    found->Release();
    depth->Release();

    // A texture with three levels under it, each half the one above.
    DDSURFACEDESC2 textureDesc =
        Desc2(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT | DDSD_MIPMAPCOUNT,
              DDSCAPS_TEXTURE | DDSCAPS_MIPMAP | DDSCAPS_COMPLEX, 16, 8);
    textureDesc.dwMipMapCount = 4;
    textureDesc.ddsCaps.dwCaps2 = DDSCAPS2_TEXTUREMANAGE;
    textureDesc.ddpfPixelFormat = {sizeof(DDPIXELFORMAT), DDPF_RGB, 0, 16, 0xF800, 0x07E0, 0x1F, 0};
    IDirectDrawSurface4* texture = nullptr;
    ASSERT_EQ(dd->CreateSurface(&textureDesc, &texture, nullptr), DD_OK);
    DWORD sizes[4][2] = {};
    IDirectDrawSurface4* level = texture;
    level->AddRef();
    int levels = 0;
    while (level && levels < 5) {
        DDSURFACEDESC2 desc = Desc2(0, 0);
        ASSERT_EQ(level->Lock(nullptr, &desc, DDLOCK_WAIT, 0), DD_OK);
        uint8_t* memory = SurfaceMemory(desc);
        ASSERT_NE(memory, nullptr);
        std::memset(memory, 0xAB, size_t(desc.lPitch) * desc.dwHeight);
        EXPECT_EQ(level->Unlock(nullptr), DD_OK);
        EXPECT_EQ(SurfaceMemory(desc), nullptr); // the handle ends with the lock
        sizes[levels][0] = desc.dwWidth;
        sizes[levels][1] = desc.dwHeight;
        ++levels;
        DDSCAPS2 mip{DDSCAPS_TEXTURE | DDSCAPS_MIPMAP, 0, 0, 0};
        IDirectDrawSurface4* next = nullptr;
        level->GetAttachedSurface(&mip, &next);
        level->Release();
        level = next;
    }
    EXPECT_EQ(levels, 4);
    EXPECT_EQ(sizes[3][0], 2u);
    EXPECT_EQ(sizes[3][1], 1u);

    void* asTexture = nullptr;
    EXPECT_EQ(texture->QueryInterface(IID_IDirect3DTexture2, &asTexture), S_OK);
    static_cast<IDirect3DTexture2*>(asTexture)->Release();
    EXPECT_EQ(target->QueryInterface(IID_IDirect3DTexture2, &asTexture), E_NOINTERFACE);

    void* owner = nullptr;
    EXPECT_EQ(texture->GetDDInterface(&owner), DD_OK);
    EXPECT_EQ(owner, dd);
    static_cast<IDirectDraw4*>(owner)->Release();

    // A target's pixels are the emulation's: a fill shows through Lock.
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = 0x00123456;
    EXPECT_EQ(target->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx), DD_OK);
    DDSURFACEDESC2 locked = Desc2(0, 0);
    ASSERT_EQ(target->Lock(nullptr, &locked, DDLOCK_WAIT, 0), DD_OK);
    uint32_t pixel = 0;
    std::memcpy(&pixel, SurfaceMemory(locked), 4);
    EXPECT_EQ(pixel, 0x00123456u);
    EXPECT_EQ(locked.ddsCaps.dwCaps & DDSCAPS_3DDEVICE, DDSCAPS_3DDEVICE);
    target->Unlock(nullptr);

    texture->Release();
    target->Release();
    dd->Release();
}

TEST_F(Direct3DLayer, FullScreenChainGivesABackBufferToDrawOn) {
    HWND window = Window(0, 0, 640, 480);
    IDirectDraw4* dd = Open4();
    ASSERT_EQ(dd->SetCooperativeLevel(window, DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT |
                                                  DDSCL_EXCLUSIVE | DDSCL_FPUSETUP),
              DD_OK);
    DDSURFACEDESC2 desc = Desc2(DDSD_CAPS | DDSD_BACKBUFFERCOUNT, 0x2218);
    desc.dwBackBufferCount = 1;
    IDirectDrawSurface4* primary = nullptr;
    ASSERT_EQ(dd->CreateSurface(&desc, &primary, nullptr), DD_OK);
    DDSCAPS2 backCaps{DDSCAPS_BACKBUFFER, 0, 0, 0};
    IDirectDrawSurface4* back = nullptr;
    ASSERT_EQ(primary->GetAttachedSurface(&backCaps, &back), DD_OK);
    IDirectDrawSurface4* again = nullptr;
    ASSERT_EQ(primary->GetAttachedSurface(&backCaps, &again), DD_OK);
    EXPECT_EQ(back, again); // one object, so its depth buffer stays with it
    again->Release();
    IDirect3D3* d3d = D3D(dd);
    IDirect3DDevice3* device = nullptr;
    EXPECT_EQ(d3d->CreateDevice(IID_IDirect3DHALDevice, back, &device, nullptr), DD_OK);
    EXPECT_EQ(primary->Flip(nullptr, 0), DD_OK);
    device->Release();
    d3d->Release();
    back->Release();
    primary->Release();
    dd->Release();
}

struct Listed {
    std::vector<std::string> names;
    std::vector<DWORD> depths;
    int hardware = 0;
};

HRESULT ListDevice(GUID*, char* description, char*, D3DDEVICEDESC* hw, D3DDEVICEDESC*,
                   void* context) {
    auto* listed = static_cast<Listed*>(context);
    listed->names.emplace_back(description);
    listed->hardware += hw->dwFlags != 0;
    return D3DENUMRET_OK;
}

HRESULT ListDepth(DDPIXELFORMAT* format, void* context) {
    static_cast<Listed*>(context)->depths.push_back(format->dwRGBBitCount);
    return D3DENUMRET_OK;
}

BOOL ListDriver(GUID* guid, char* description, char*, void* context, HANDLE) {
    auto* listed = static_cast<Listed*>(context);
    listed->names.emplace_back(description);
    listed->hardware += guid == nullptr;
    return TRUE;
}

TEST_F(Direct3DLayer, DriversDevicesAndDepthFormatsAreListed) {
    // Reached as a program reaches it, through the built-in module.
    HMODULE ddraw = GetModuleHandleA("ddraw.dll");
    ASSERT_NE(ddraw, 0u);
    EXPECT_EQ(GetModuleHandleA("DDRAW"), ddraw);
    EXPECT_EQ(GetModuleHandleA("d3dim.dll"), 0u);
    EXPECT_EQ(GetProcAddress(ddraw, "DirectDrawEnumerateW"), nullptr);
    using Enumerate = BOOL (*)(LPDDENUMCALLBACKEXA, void*, DWORD);
    auto enumerate = reinterpret_cast<Enumerate>(GetProcAddress(ddraw, "DirectDrawEnumerateExA"));
    ASSERT_NE(enumerate, nullptr);
    Listed drivers;
    EXPECT_TRUE(enumerate(ListDriver, &drivers, DDENUM_ATTACHEDSECONDARYDEVICES));
    EXPECT_EQ(drivers.names, std::vector<std::string>{"Primary Display Driver"});
    EXPECT_EQ(drivers.hardware, 1);
    // The older entry point, without monitors, lists the same driver.
    using Older = BOOL (*)(LPDDENUMCALLBACKA, void*);
    auto older = reinterpret_cast<Older>(GetProcAddress(ddraw, "DirectDrawEnumerateA"));
    ASSERT_NE(older, nullptr);
    EXPECT_TRUE(
        older([](GUID* guid, char* description, char* name,
                 void* context) { return ListDriver(guid, description, name, context, HANDLE{}); },
              &drivers));
    EXPECT_EQ(drivers.names,
              (std::vector<std::string>{"Primary Display Driver", "Primary Display Driver"}));

    IDirectDraw4* dd = Open4();
    IDirect3D3* d3d = D3D(dd);
    Listed devices;
    EXPECT_EQ(d3d->EnumDevices(ListDevice, &devices), DD_OK);
    EXPECT_EQ(devices.names, (std::vector<std::string>{"Direct3D HAL", "RGB Emulation"}));
    EXPECT_EQ(devices.hardware, 1);
    EXPECT_EQ(d3d->EnumZBufferFormats(IID_IDirect3DHALDevice, ListDepth, &devices), DD_OK);
    EXPECT_EQ(devices.depths, (std::vector<DWORD>{16, 24}));

    D3DFINDDEVICESEARCH search{};
    search.dwSize = sizeof search;
    search.dwFlags = D3DFDS_GUID;
    search.guid = IID_IDirect3DRGBDevice;
    D3DFINDDEVICERESULT result{};
    result.dwSize = sizeof result;
    ASSERT_EQ(d3d->FindDevice(&search, &result), DD_OK);
    EXPECT_EQ(result.ddHwDesc.dwFlags, 0u);
    EXPECT_EQ(result.ddSwDesc.wMaxSimultaneousTextures, 2);
    EXPECT_EQ(result.ddSwDesc.dpcTriCaps.dwTextureCaps & D3DPTEXTURECAPS_SQUAREONLY, 0u);
    EXPECT_EQ(result.ddSwDesc.dpcTriCaps.dwRasterCaps &
                  (D3DPRASTERCAPS_ZBUFFERLESSHSR | D3DPRASTERCAPS_WBUFFER),
              0u);
    search.guid = IID_IDirect3DNullDevice;
    EXPECT_EQ(d3d->FindDevice(&search, &result), E_FAIL);
    d3d->Release();
    dd->Release();
}

TEST_F(Direct3DLayer, DeviceCallsAreRecordedAndCheckedFirst) {
    platform::test::GetDirect3DSetup().recording = true;
    platform::test::GetDirect3DSetup().refuseAddSigned = true;
    IDirectDraw4* dd = Open4();
    IDirectDrawSurface4* target = Target(dd, 32, 32);
    IDirect3D3* d3d = D3D(dd);
    IDirect3DDevice3* device = nullptr;
    platform::test::GetDirect3DSetup().faults = platform::test::kFailHardwareDevice;
    EXPECT_EQ(d3d->CreateDevice(IID_IDirect3DHALDevice, target, &device, nullptr), E_FAIL);
    ASSERT_EQ(d3d->CreateDevice(IID_IDirect3DRGBDevice, target, &device, nullptr), DD_OK);

    IDirect3DViewport3* viewport = nullptr;
    ASSERT_EQ(d3d->CreateViewport(&viewport, nullptr), DD_OK);
    D3DVIEWPORT2 vp{sizeof(D3DVIEWPORT2), 0, 0, 32, 32, 0, 0, 32, 32, 0, 1};
    EXPECT_EQ(device->AddViewport(viewport), DD_OK);
    EXPECT_EQ(device->SetCurrentViewport(viewport), E_FAIL); // not described yet
    EXPECT_EQ(viewport->SetViewport2(&vp), DD_OK);
    EXPECT_EQ(device->SetCurrentViewport(viewport), DD_OK);

    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_ADDSIGNED);
    EXPECT_EQ(device->ValidateDevice(nullptr), D3DERR_UNSUPPORTEDCOLOROPERATION);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    EXPECT_EQ(device->ValidateDevice(nullptr), DD_OK);

    platform::d3d::TLVertex vertices[3] = {};
    WORD indices[3] = {0, 1, 2};
    WORD outside[3] = {0, 1, 3};
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_TLVERTEX2, vertices, 3, 0), E_FAIL);
    EXPECT_EQ(device->BeginScene(), DD_OK);
    EXPECT_EQ(device->BeginScene(), E_FAIL);
    D3DRECT all{0, 0, 32, 32};
    EXPECT_EQ(viewport->Clear2(1, &all, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x102030, 1.0f, 0),
              DD_OK);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX2, vertices, 3,
                                           outside, 3, 0),
              E_FAIL);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0x1C4, vertices, 3, indices, 3, 0),
              E_FAIL);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX2, vertices, 3,
                                           indices, 3, D3DDP_DONOTLIGHT),
              DD_OK);
    device->Begin(D3DPT_LINELIST, D3DFVF_TLVERTEX2, D3DDP_DONOTUPDATEEXTENTS);
    device->Vertex(&vertices[0]);
    device->Vertex(&vertices[1]);
    device->End(0);
    EXPECT_EQ(device->EndScene(), DD_OK);

    std::vector<std::string> expected = {
        "SetViewport2 0 0 32 32",
        "SetTextureStageState 0 1 8",
        "SetTextureStageState 0 1 4",
        "BeginScene",
        // No depth buffer is attached: only the target is cleared.
        "Clear2 0 0 32 32 flags 1 colour 102030 z 1",
        "Draw 4 vertices 3 indices 3 flags 10",
        "Draw 2 vertices 2 indices 0 flags 8",
        "EndScene",
    };
    EXPECT_EQ(platform::test::GetDirect3DSetup().log, expected);

    IDirectDrawSurface4* renderTarget = nullptr;
    EXPECT_EQ(device->GetRenderTarget(&renderTarget), DD_OK);
    EXPECT_EQ(renderTarget, target);
    renderTarget->Release();
    viewport->Release();
    device->Release();
    d3d->Release();
    target->Release();
    dd->Release();
}

} // namespace
