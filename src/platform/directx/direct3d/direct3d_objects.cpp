#include <algorithm>
#include <memory>

#include "platform/directx/direct3d/d3d_executor.h"
#include "platform/directx/direct3d/d3d_objects.h"
#include "platform/directx/direct3d/direct3d_test_hooks.h"

namespace platform::d3d {
namespace {

test::Direct3DSetup& Setup() {
    return test::GetDirect3DSetup();
}

bool Faulty(unsigned fault) {
    return (Setup().faults & fault) != 0;
}

// The largest texture side offered.
constexpr DWORD kMaxTextureSide = 4096;

D3DDEVICEDESC Described(bool filled) {
    D3DDEVICEDESC desc{};
    desc.dwSize = sizeof desc;
    if (!filled) return desc;
    desc.dwFlags = D3DDD_COLORMODEL;
    desc.dcmColorModel = D3DCOLOR_RGB;
    D3DPRIMCAPS& tri = desc.dpcTriCaps;
    tri.dwSize = sizeof tri;
    tri.dwRasterCaps = D3DPRASTERCAPS_ZTEST | D3DPRASTERCAPS_FOGVERTEX | D3DPRASTERCAPS_ANISOTROPY;
    if (Setup().zBufferlessHSR) tri.dwRasterCaps |= D3DPRASTERCAPS_ZBUFFERLESSHSR;
    if (Setup().wBuffer) tri.dwRasterCaps |= D3DPRASTERCAPS_WBUFFER;
    tri.dwTextureCaps = D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_POW2 | D3DPTEXTURECAPS_ALPHA;
    if (Setup().squareOnly) tri.dwTextureCaps |= D3DPTEXTURECAPS_SQUAREONLY;
    desc.dpcLineCaps = tri;
    desc.dwDeviceRenderBitDepth = DDBD_16 | DDBD_24 | DDBD_32;
    desc.dwDeviceZBufferBitDepth = DDBD_16 | DDBD_24;
    desc.dwMinTextureWidth = desc.dwMinTextureHeight = 1;
    desc.dwMaxTextureWidth = desc.dwMaxTextureHeight = kMaxTextureSide;
    desc.dwMaxAnisotropy = 8;
    desc.dwFVFCaps = 2;
    desc.dwTextureOpCaps = D3DTEXOPCAPS_DISABLE | D3DTEXOPCAPS_SELECTARG1 | D3DTEXOPCAPS_MODULATE |
                           D3DTEXOPCAPS_ADD | D3DTEXOPCAPS_ADDSIGNED |
                           D3DTEXOPCAPS_BLENDFACTORALPHA;
    desc.wMaxTextureBlendStages = 2;
    desc.wMaxSimultaneousTextures = 2;
    return desc;
}

bool IsHardware(REFIID device) {
    return IsEqualGUID(device, IID_IDirect3DHALDevice);
}

bool IsKnownDevice(REFIID device) {
    return IsHardware(device) || IsEqualGUID(device, IID_IDirect3DRGBDevice);
}

DDPIXELFORMAT RGBFormat(DWORD bits, DWORD red, DWORD green, DWORD blue, DWORD alpha) {
    return DDPIXELFORMAT{sizeof(DDPIXELFORMAT),
                         DDPF_RGB | (alpha ? DDPF_ALPHAPIXELS : 0u),
                         0,
                         bits,
                         red,
                         green,
                         blue,
                         alpha};
}

std::vector<DDPIXELFORMAT> OfferedTextureFormats() {
    if (!Setup().textureFormats.empty()) return Setup().textureFormats;
    return {RGBFormat(16, 0xF800, 0x07E0, 0x001F, 0),
            RGBFormat(16, 0x7C00, 0x03E0, 0x001F, 0),
            RGBFormat(16, 0x7C00, 0x03E0, 0x001F, 0x8000),
            RGBFormat(16, 0x0F00, 0x00F0, 0x000F, 0xF000),
            RGBFormat(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000),
            RGBFormat(32, 0xFF0000, 0xFF00, 0xFF, 0)};
}

class DeviceObject;

class MaterialObject final : public IDirect3DMaterial3, LiveD3DObject {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (!IsEqualGUID(iid, IID_IUnknown)) return E_NOINTERFACE;
        AddRef();
        *object = static_cast<IDirect3DMaterial3*>(this);
        return S_OK;
    }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }
    HRESULT SetMaterial(D3DMATERIAL* material) override {
        if (!material || material->dwSize != sizeof(D3DMATERIAL)) return E_FAIL;
        material_ = *material;
        return DD_OK;
    }
    HRESULT GetHandle(IDirect3DDevice3* device, DWORD* handle) override {
        if (!device || !handle) return E_FAIL;
        *handle = handle_;
        return DD_OK;
    }

private:
    ~MaterialObject() = default;
    std::atomic<ULONG> refs_{1};
    D3DMATERIAL material_{};
    const DWORD handle_ = nextHandle_++;
    static inline std::atomic<DWORD> nextHandle_{1};
};

class ViewportObject final : public IDirect3DViewport3, LiveD3DObject {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (!IsEqualGUID(iid, IID_IUnknown)) return E_NOINTERFACE;
        AddRef();
        *object = static_cast<IDirect3DViewport3*>(this);
        return S_OK;
    }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }
    HRESULT SetViewport2(D3DVIEWPORT2* viewport) override;
    HRESULT Clear2(DWORD count, D3DRECT* rects, DWORD flags, DWORD colour, float z,
                   DWORD stencil) override;

    // The device it was added to, which forgets it when either goes.
    DeviceObject* device = nullptr;
    bool described = false;
    D3DVIEWPORT2 viewport{};

private:
    ~ViewportObject();
    std::atomic<ULONG> refs_{1};
};

class DeviceObject final : public IDirect3DDevice3, LiveD3DObject {
public:
    DeviceObject(Surface4Object* target, bool hardware, std::unique_ptr<Executor> made)
        : hardware(hardware), executor(std::move(made)), target_(target) {
        target_->AddRef();
        if (!Setup().recorderOnly) target_->drawer = executor.get();
    }

    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (!IsEqualGUID(iid, IID_IUnknown)) return E_NOINTERFACE;
        AddRef();
        *object = static_cast<IDirect3DDevice3*>(this);
        return S_OK;
    }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT AddViewport(IDirect3DViewport3* viewport) override {
        auto* added = static_cast<ViewportObject*>(viewport);
        if (!added || added->device) return E_FAIL;
        added->AddRef();
        added->device = this;
        viewports_.push_back(added);
        return DD_OK;
    }
    HRESULT SetCurrentViewport(IDirect3DViewport3* viewport) override {
        auto* chosen = static_cast<ViewportObject*>(viewport);
        if (!chosen || chosen->device != this || !chosen->described) return E_FAIL;
        current_ = chosen;
        executor->Viewport(chosen->viewport);
        return DD_OK;
    }
    void Forget(ViewportObject* viewport) {
        if (current_ == viewport) current_ = nullptr;
        std::erase(viewports_, viewport);
    }

    HRESULT BeginScene() override {
        if (inScene_) return E_FAIL;
        inScene_ = true;
        executor->Scene(true);
        return DD_OK;
    }
    HRESULT EndScene() override {
        if (!inScene_) return E_FAIL;
        inScene_ = false;
        executor->Scene(false);
        return DD_OK;
    }

    HRESULT Begin(DWORD primitive, DWORD vertexFormat, DWORD flags) override {
        if (begun_ || vertexFormat != D3DFVF_TLVERTEX2 || primitive < 1 || primitive > 6)
            return E_FAIL;
        begun_ = true;
        beginPrimitive_ = primitive;
        beginFlags_ = flags;
        listed_.clear();
        return DD_OK;
    }
    HRESULT Vertex(void* vertex) override {
        if (!begun_ || !vertex) return E_FAIL;
        listed_.push_back(*static_cast<const TLVertex*>(vertex));
        return DD_OK;
    }
    HRESULT End(DWORD) override {
        if (!begun_) return E_FAIL;
        begun_ = false;
        if (!inScene_) return E_FAIL;
        executor->Draw(beginPrimitive_, listed_.data(), DWORD(listed_.size()), nullptr, 0,
                       beginFlags_);
        return DD_OK;
    }
    HRESULT DrawPrimitive(DWORD primitive, DWORD vertexFormat, void* vertices, DWORD count,
                          DWORD flags) override {
        if (!inScene_ || vertexFormat != D3DFVF_TLVERTEX2 || !vertices || primitive < 1 ||
            primitive > 6)
            return E_FAIL;
        executor->Draw(primitive, static_cast<const TLVertex*>(vertices), count, nullptr, 0, flags);
        return DD_OK;
    }
    HRESULT DrawIndexedPrimitive(DWORD primitive, DWORD vertexFormat, void* vertices,
                                 DWORD vertexCount, WORD* indices, DWORD indexCount,
                                 DWORD flags) override {
        if (!inScene_ || vertexFormat != D3DFVF_TLVERTEX2 || !vertices || !indices ||
            primitive < 1 || primitive > 6)
            return E_FAIL;
        for (DWORD i = 0; i < indexCount; ++i)
            if (indices[i] >= vertexCount) return E_FAIL;
        executor->Draw(primitive, static_cast<const TLVertex*>(vertices), vertexCount, indices,
                       indexCount, flags);
        return DD_OK;
    }

    HRESULT EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK callback, void* context) override {
        if (!callback) return E_FAIL;
        for (DDPIXELFORMAT format : OfferedTextureFormats())
            if (callback(&format, context) == D3DENUMRET_CANCEL) break;
        return DD_OK;
    }
    HRESULT GetCaps(D3DDEVICEDESC* hw, D3DDEVICEDESC* sw) override {
        if (Faulty(test::kFailGetCaps)) return E_FAIL;
        if ((hw && hw->dwSize != sizeof(D3DDEVICEDESC)) ||
            (sw && sw->dwSize != sizeof(D3DDEVICEDESC)))
            return E_FAIL;
        if (hw) *hw = Described(hardware);
        if (sw) *sw = Described(!hardware);
        return DD_OK;
    }
    HRESULT GetRenderTarget(IDirectDrawSurface4** target) override {
        if (!target) return E_FAIL;
        target_->AddRef();
        *target = target_;
        return DD_OK;
    }

    HRESULT SetLightState(DWORD state, DWORD value) override {
        executor->LightState(state, value);
        return DD_OK;
    }
    HRESULT SetRenderState(DWORD state, DWORD value) override {
        executor->RenderState(state, value);
        return DD_OK;
    }
    HRESULT SetTexture(DWORD stage, IDirect3DTexture2* texture) override {
        if (stage > 1) return E_FAIL;
        auto* surface = static_cast<Surface4Object*>(texture);
        if (surface) surface->AddRef();
        if (textures_[stage]) textures_[stage]->Release();
        textures_[stage] = surface;
        executor->Texture(stage, surface);
        return DD_OK;
    }
    HRESULT SetTextureStageState(DWORD stage, DWORD state, DWORD value) override {
        if (stage > 1) return E_FAIL;
        if (state == D3DTSS_COLOROP) colourOps_[stage] = value;
        executor->StageState(stage, state, value);
        return DD_OK;
    }
    HRESULT ValidateDevice(DWORD* passes) override {
        if (Setup().refuseAddSigned && std::find(std::begin(colourOps_), std::end(colourOps_),
                                                 D3DTOP_ADDSIGNED) != std::end(colourOps_))
            return D3DERR_UNSUPPORTEDCOLOROPERATION;
        if (passes) *passes = 1;
        return DD_OK;
    }

    Surface4Object* Target() const { return target_; }

    const bool hardware;
    const std::unique_ptr<Executor> executor;

private:
    ~DeviceObject() {
        if (target_->drawer == executor.get()) {
            target_->ToMemory();
            target_->drawer = nullptr;
        }
        for (ViewportObject* viewport : viewports_) {
            viewport->device = nullptr;
            viewport->Release();
        }
        for (Surface4Object* texture : textures_)
            if (texture) texture->Release();
        target_->Release();
    }

    std::atomic<ULONG> refs_{1};
    Surface4Object* const target_;           // counted
    std::vector<ViewportObject*> viewports_; // counted
    ViewportObject* current_ = nullptr;
    Surface4Object* textures_[2] = {}; // counted
    DWORD colourOps_[2] = {D3DTOP_MODULATE, D3DTOP_DISABLE};
    bool inScene_ = false;
    bool begun_ = false;
    DWORD beginPrimitive_ = 0;
    DWORD beginFlags_ = 0;
    std::vector<TLVertex> listed_;
};

ViewportObject::~ViewportObject() {
    if (device) device->Forget(this);
}

HRESULT ViewportObject::SetViewport2(D3DVIEWPORT2* set) {
    if (!set || set->dwSize != sizeof(D3DVIEWPORT2) || set->dwWidth == 0 || set->dwHeight == 0)
        return E_FAIL;
    viewport = *set;
    described = true;
    return DD_OK;
}

HRESULT ViewportObject::Clear2(DWORD count, D3DRECT* rects, DWORD flags, DWORD colour, float z,
                               DWORD) {
    if (!device || !rects) return E_FAIL;
    if ((flags & D3DCLEAR_ZBUFFER) && !device->Target()->depth) flags &= ~D3DCLEAR_ZBUFFER;
    for (DWORD i = 0; i < count; ++i)
        device->executor->Clear(rects[i], flags, colour, z);
    return DD_OK;
}

class Direct3DObject final : public IDirect3D3, LiveD3DObject {
public:
    explicit Direct3DObject(DirectDraw4Object* owner) : owner_(owner) { owner_->AddRef(); }

    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IDirect3D3)) {
            AddRef();
            *object = static_cast<IDirect3D3*>(this);
            return S_OK;
        }
        return owner_->QueryInterface(iid, object);
    }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT CreateDevice(REFIID device, IDirectDrawSurface4* target, IDirect3DDevice3** made,
                         IUnknown* outer) override {
        if (!made) return E_FAIL;
        *made = nullptr;
        auto* surface = static_cast<Surface4Object*>(target);
        if (outer || !surface || !(surface->caps.dwCaps & DDSCAPS_3DDEVICE) ||
            !IsKnownDevice(device))
            return E_FAIL;
        if (Faulty(IsHardware(device) ? test::kFailHardwareDevice : test::kFailRGBDevice))
            return E_FAIL;
        std::unique_ptr<Executor> executor =
            Setup().recorderOnly ? MakeRecorder() : MakeGlExecutor(surface, MakeRecorder());
        if (!executor) return E_FAIL;
        *made = new DeviceObject(surface, IsHardware(device), std::move(executor));
        return DD_OK;
    }
    HRESULT CreateMaterial(IDirect3DMaterial3** material, IUnknown* outer) override {
        if (!material) return E_FAIL;
        *material = nullptr;
        if (outer || Faulty(test::kFailMaterial)) return E_FAIL;
        *material = new MaterialObject;
        return DD_OK;
    }
    HRESULT CreateViewport(IDirect3DViewport3** viewport, IUnknown* outer) override {
        if (!viewport) return E_FAIL;
        *viewport = nullptr;
        if (outer || Faulty(test::kFailViewport)) return E_FAIL;
        *viewport = new ViewportObject;
        return DD_OK;
    }
    HRESULT EnumDevices(LPD3DENUMDEVICESCALLBACK callback, void* context) override {
        if (!callback) return E_FAIL;
        struct Offered {
            GUID guid;
            char description[32];
            char name[32];
            bool hardware;
        };
        Offered offered[] = {{IID_IDirect3DHALDevice, "Direct3D HAL", "HAL", true},
                             {IID_IDirect3DRGBDevice, "RGB Emulation", "RGB", false}};
        for (Offered& device : offered) {
            D3DDEVICEDESC hw = Described(device.hardware), sw = Described(!device.hardware);
            if (callback(&device.guid, device.description, device.name, &hw, &sw, context) ==
                D3DENUMRET_CANCEL)
                break;
        }
        return DD_OK;
    }
    HRESULT EnumZBufferFormats(REFIID device, LPD3DENUMPIXELFORMATSCALLBACK callback,
                               void* context) override {
        if (!callback || !IsKnownDevice(device)) return E_FAIL;
        if (Faulty(test::kFailDepthFormats)) return DD_OK;
        for (DWORD bits : Setup().depthBits) {
            DWORD mask = bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
            DDPIXELFORMAT format{sizeof(DDPIXELFORMAT), DDPF_ZBUFFER, 0, bits, 0, mask, 0, 0};
            if (callback(&format, context) == D3DENUMRET_CANCEL) break;
        }
        return DD_OK;
    }
    HRESULT FindDevice(D3DFINDDEVICESEARCH* search, D3DFINDDEVICERESULT* result) override {
        if (!search || !result || result->dwSize != sizeof(D3DFINDDEVICERESULT) ||
            !(search->dwFlags & D3DFDS_GUID) || !IsKnownDevice(search->guid) ||
            Faulty(test::kFailFindDevice))
            return E_FAIL;
        result->guid = search->guid;
        result->ddHwDesc = Described(IsHardware(search->guid));
        result->ddSwDesc = Described(!IsHardware(search->guid));
        return DD_OK;
    }

private:
    ~Direct3DObject() { owner_->Release(); }
    std::atomic<ULONG> refs_{1};
    DirectDraw4Object* const owner_; // counted
};

} // namespace

IDirect3D3* MakeDirect3D(DirectDraw4Object* owner) {
    return new Direct3DObject(owner);
}

} // namespace platform::d3d
