#include "engine3d/render/dib_device.h"

#include "engine3d/render/software/dib_presenter.h"
#include "graphics2d/surfaces/surface_kinds.h"

LAPI_Surface_Win32::LAPI_Surface_Win32() {
    EnumerateModes();
}

LRenderAPICLBK* LAPI_Surface_Win32::CreateRenderer(L3DWorld* world) {
    return Keep(new LRenderAPI_Surface_Win32(world, this));
}

void LAPI_Surface_Win32::EnumerateModes() {
    if (enumerated_ != 0) return;
    enumerated_ = 1;
    LDisplayDevice* device = AddDefaultDevice();
    SurfaceHandle* prototype = nullptr;
    PickSurfaceType(&prototype, 8, kPickDIB, 0);
    if (prototype == nullptr || prototype->GetImpl() == nullptr) return;
    struct Context {
        LAPI_Surface_Win32* self;
        LDisplayDevice* device;
    } context{this, device};
    prototype->GetImpl()->EnumDisplayModes(
        [](const SurfaceDisplayMode& mode, void* param) {
            auto* c = static_cast<Context*>(param);
            c->self->AddMode(c->device, {mode.width, mode.height}, mode.depth, 0);
            return 1;
        },
        &context);
}
