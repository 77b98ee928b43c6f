#include "engine3d/render/direct3d/direct3d_device.h"

#include "engine3d/render/direct3d/direct3d_polygon.h"
#include "engine3d/render/direct3d/direct3d_renderer.h"
#include "engine3d/render/direct3d/direct3d_texture.h"
#include "platform/gl/gl_probe.h"
#include "platform/process/shared_library.h"

namespace {

// Whether a device renders at a mode's depth.
bool RendersAt(const D3DDEVICEDESC& description, int32_t depth) {
    switch (depth) {
    case 32:
        return (description.dwDeviceRenderBitDepth & DDBD_32) != 0;
    case 24:
        return (description.dwDeviceRenderBitDepth & DDBD_24) != 0;
    case 16:
        return (description.dwDeviceRenderBitDepth & DDBD_16) != 0;
    case 8:
        return false;
    default:
        return true;
    }
}

struct DriverWalk {
    LAPI_Direct3D* self;
    LDisplayDriver* driver;
    Direct3DDriverData* data;
};

HRESULT ListMode(DDSURFACEDESC2* mode, void* context) {
    auto* walk = static_cast<std::pair<LAPI_Direct3D*, LDisplayDevice*>*>(context);
    auto* data = reinterpret_cast<Direct3DDeviceData*>(walk->second->data);
    const auto depth = int32_t(mode->ddpfPixelFormat.dwRGBBitCount);
    if (!RendersAt(data->description, depth)) return DDENUMRET_OK;
    auto* kept = new DDSURFACEDESC2(*mode);
    const LDisplayMode* added =
        walk->first->AddMode(walk->second, {int32_t(mode->dwWidth), int32_t(mode->dwHeight)}, depth,
                             reinterpret_cast<uintptr_t>(kept));
    if (added == nullptr || added->data != reinterpret_cast<uintptr_t>(kept)) delete kept;
    return DDENUMRET_OK;
}

HRESULT ListDevice(GUID* guid, char* description, char*, D3DDEVICEDESC* hw, D3DDEVICEDESC* sw,
                   void* context) {
    auto* walk = static_cast<DriverWalk*>(context);
    if (guid == nullptr || IsEqualGUID(*guid, IID_IDirect3DNullDevice)) return D3DENUMRET_OK;
    const bool hardware = hw->dwFlags != 0;
    // Secondary drivers offer their hardware only.
    if (!hardware && walk->data->guidPointer != nullptr) return D3DENUMRET_OK;
    auto* data = new Direct3DDeviceData;
    data->guid = *guid;
    data->guidPointer = &data->guid;
    data->description = hardware ? *hw : *sw;
    data->hardware = hardware ? 1 : 0;
    LDisplayDriver* driver = walk->driver;
    LDisplayDevice* previous = driver->currentDevice;
    LDisplayDevice* device =
        walk->self->AddDevice(driver, description, 1, reinterpret_cast<uintptr_t>(data));
    if (device == nullptr) {
        delete data;
        return D3DENUMRET_OK;
    }
    if (hardware)
        driver->currentDevice = device;
    else if (previous != nullptr || (sw->dcmColorModel & D3DCOLOR_RGB) == 0)
        driver->currentDevice = previous;
    IDirectDraw4* dd = walk->self->GetDirectDraw();
    std::pair<LAPI_Direct3D*, LDisplayDevice*> modes{walk->self, device};
    dd->EnumDisplayModes(0, nullptr, &modes, ListMode);
    DDSURFACEDESC2 desktop{};
    desktop.dwSize = sizeof desktop;
    dd->GetDisplayMode(&desktop);
    device->firstParameter = 0;
    if ((walk->data->hardware.dwCaps2 & DDCAPS2_CANRENDERWINDOWED) == 0) {
        if (device->modes == nullptr) walk->self->RemoveDevice(driver, device);
        return D3DENUMRET_OK;
    }
    for (LDisplayMode* mode = device->modes; mode != nullptr; mode = mode->next)
        if (uint32_t(mode->depth) == desktop.ddpfPixelFormat.dwRGBBitCount) {
            data->windowed = 1;
            if (walk->data->guidPointer == nullptr) device->firstParameter = 1;
            break;
        }
    if (device->modes == nullptr) walk->self->RemoveDevice(driver, device);
    return D3DENUMRET_OK;
}

BOOL ListDriver(GUID* guid, char* description, char* name, void* context, HANDLE monitor);

BOOL ListDriverWithoutMonitor(GUID* guid, char* description, char* name, void* context) {
    return ListDriver(guid, description, name, context, HANDLE{});
}

BOOL ListDriver(GUID* guid, char* description, char*, void* context, HANDLE) {
    auto* self = static_cast<LAPI_Direct3D*>(context);
    void* d3d = nullptr;
    if (self->GetDirectDraw()->QueryInterface(IID_IDirect3D3, &d3d) != DD_OK) return TRUE;
    auto* data = new Direct3DDriverData;
    if (guid != nullptr) {
        data->guid = *guid;
        data->guidPointer = &data->guid;
    }
    data->hardware.dwSize = data->emulation.dwSize = sizeof(DDCAPS);
    self->GetDirectDraw()->GetCaps(&data->hardware, &data->emulation);
    LDisplayDriver* driver = self->AddDriver(description, reinterpret_cast<uintptr_t>(data));
    if (driver == nullptr) {
        delete data;
    } else {
        DriverWalk walk{self, driver, data};
        static_cast<IDirect3D3*>(d3d)->EnumDevices(ListDevice, &walk);
        if (driver->devices == nullptr) self->RemoveDriver(driver);
    }
    static_cast<IDirect3D3*>(d3d)->Release();
    return TRUE;
}

} // namespace

LAPI_Direct3D::LAPI_Direct3D() {
    IDirectDraw* first = nullptr;
    if (DirectDrawCreate(nullptr, &first, nullptr) == DD_OK && first != nullptr) {
        void* wide = nullptr;
        if (first->QueryInterface(IID_IDirectDraw4, &wide) == DD_OK) {
            directDraw_ = static_cast<IDirectDraw4*>(wide);
            void* d3d = nullptr;
            if (directDraw_->QueryInterface(IID_IDirect3D3, &d3d) == DD_OK)
                direct3D_ = static_cast<IDirect3D3*>(d3d);
        }
        first->Release();
    }
    EnumerateModes();
}

LAPI_Direct3D::~LAPI_Direct3D() {
    RemoveAllDrivers();
    while (!GetRenderers().empty())
        ReleaseRenderer(GetRenderers().back());
    if (shared_ != nullptr) shared_->Release();
    if (direct3D_ != nullptr) direct3D_->Release();
    if (directDraw_ != nullptr) directDraw_->Release();
}

LRenderAPICLBK* LAPI_Direct3D::CreateRenderer(L3DWorld* world) {
    return Keep(new LRenderAPI_Direct3D(world, this));
}

LPolygon* LAPI_Direct3D::CreatePolygon(L3DObject* owner, int kind, uint32_t) {
    return new LPolygon_Direct3D(owner, kind, this);
}

LTexture* LAPI_Direct3D::CreateTexture(L3DWorld* world, const char* name, LCLBKObject* link) {
    return new LTexture_Direct3D(world, name, link);
}

void LAPI_Direct3D::EnumerateModes() {
    if (enumerated_ != 0) return;
    enumerated_ = 1;
    if (directDraw_ == nullptr || direct3D_ == nullptr) return;
    // Found as any program finds it: an older DirectDraw has only the entry point without
    // monitors; without either there are no drivers.
    const HMODULE ddraw = GetModuleHandleA("DDRAW.DLL");
    using EnumerateEx = BOOL (*)(LPDDENUMCALLBACKEXA, void*, DWORD);
    using Enumerate = BOOL (*)(LPDDENUMCALLBACKA, void*);
    if (const auto enumerateEx =
            reinterpret_cast<EnumerateEx>(GetProcAddress(ddraw, "DirectDrawEnumerateExA")))
        enumerateEx(ListDriver, this, 7);
    else if (const auto enumerate =
                 reinterpret_cast<Enumerate>(GetProcAddress(ddraw, "DirectDrawEnumerateA")))
        enumerate(ListDriverWithoutMonitor, this);
}

void LAPI_Direct3D::FreeDeviceData(uintptr_t data) {
    delete reinterpret_cast<Direct3DDeviceData*>(data);
}

void LAPI_Direct3D::FreeDriverData(uintptr_t data) {
    delete reinterpret_cast<Direct3DDriverData*>(data);
}

void LAPI_Direct3D::FreeModeData(uintptr_t data) {
    delete reinterpret_cast<DDSURFACEDESC2*>(data);
}

int LAPI_Direct3D::WaitForVerticalBlank() {
    if (waitEnabled_ == 0 || directDraw_ == nullptr) return 0;
    return directDraw_->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, 0) == DD_OK ? 1 : 0;
}

IDirectDrawSurface4* LAPI_Direct3D::HoldSharedObject(IDirectDrawSurface4* surface) {
    if (surface != nullptr) {
        if (surface == shared_) {
            ++sharedUses_;
        } else if (shared_ == nullptr) {
            shared_ = surface;
            sharedUses_ = 1;
        }
        return shared_;
    }
    if (shared_ != nullptr && --sharedUses_ <= 0) {
        shared_->Release();
        shared_ = nullptr;
        sharedUses_ = 0;
    }
    return shared_;
}

LAPICLBK* MakeDirect3DDevice() {
    return new LAPI_Direct3D;
}

int ProbeDirect3D() {
    // The platform remembers its answer; the screen's depth can change after it.
    return LRenderAPICLBK::GetScreenDepth() >= 15 && platform::OpenGLAvailable() ? 1 : 0;
}
