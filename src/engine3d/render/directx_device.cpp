#include "engine3d/render/directx_device.h"

#include "engine3d/render/software/directx_presenter.h"
#include "platform/directx/ddraw.h"

LAPI_DirectX::LAPI_DirectX() {
    IDirectDraw* first = nullptr;
    if (DirectDrawCreate(nullptr, &first, nullptr) == DD_OK && first != nullptr) {
        void* second = nullptr;
        if (first->QueryInterface(IID_IDirectDraw2, &second) == DD_OK)
            directDraw_ = static_cast<IDirectDraw2*>(second);
        first->Release();
    }
    EnumerateModes();
}

LAPI_DirectX::~LAPI_DirectX() {
    // The renderers release their surfaces before the object they came from.
    while (!GetRenderers().empty())
        ReleaseRenderer(GetRenderers().back());
    if (directDraw_ != nullptr) directDraw_->Release();
}

LRenderAPICLBK* LAPI_DirectX::CreateRenderer(L3DWorld* world) {
    return Keep(new LRenderAPI_DirectX(world, this));
}

int LAPI_DirectX::WaitForVerticalBlank() {
    if (waitEnabled_ == 0 || directDraw_ == nullptr) return 0;
    return directDraw_->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, 0) == DD_OK ? 1 : 0;
}

void LAPI_DirectX::EnumerateModes() {
    if (enumerated_ != 0) return;
    enumerated_ = 1;
    LDisplayDevice* device = AddDefaultDevice();
    if (directDraw_ == nullptr) return;
    struct Context {
        LAPI_DirectX* self;
        LDisplayDevice* device;
    } context{this, device};
    directDraw_->EnumDisplayModes(0, nullptr, &context, [](DDSURFACEDESC* mode, void* param) {
        auto* c = static_cast<Context*>(param);
        c->self->AddMode(c->device, {int32_t(mode->dwWidth), int32_t(mode->dwHeight)},
                         int32_t(mode->ddpfPixelFormat.dwRGBBitCount), 0);
        return DDENUMRET_OK;
    });
}
