#include "engine3d/render/opengl/opengl_device.h"

#include "engine3d/render/opengl/opengl_loader.h"
#include "engine3d/render/opengl/opengl_polygon.h"
#include "engine3d/render/opengl/opengl_renderer.h"
#include "engine3d/render/opengl/opengl_texture.h"
#include "platform/user/display_settings.h"

LAPI_OpenGL::LAPI_OpenGL() {
    loaded_ = CanLoadOpenGL() != 0 && LoadOpenGL() != 0 ? 1 : 0;
    EnumerateModes();
}

LAPI_OpenGL::~LAPI_OpenGL() {
    while (!GetRenderers().empty())
        ReleaseRenderer(GetRenderers().back());
    RemoveAllDrivers();
    if (loaded_ != 0) UnloadOpenGL();
}

LRenderAPICLBK* LAPI_OpenGL::CreateRenderer(L3DWorld* world) {
    return Keep(new LRenderAPI_OpenGL(world, this));
}

LPolygon* LAPI_OpenGL::CreatePolygon(L3DObject* owner, int kind, uint32_t) {
    return new LPolygon_OpenGL(owner, kind, this);
}

LTexture* LAPI_OpenGL::CreateTexture(L3DWorld* world, const char* name, LCLBKObject* link) {
    return new LTexture_OpenGL(world, name, link);
}

void LAPI_OpenGL::EnumerateModes() {
    if (enumerated_ != 0) return;
    enumerated_ = 1;
    LDisplayDevice* device = AddDefaultDevice();
    for (DWORD i = 0;; ++i) {
        auto* settings = new DEVMODEA{};
        settings->dmSize = sizeof(DEVMODEA);
        if (EnumDisplaySettingsA(nullptr, i, settings) == 0) {
            delete settings;
            break;
        }
        settings->dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
        const auto data = reinterpret_cast<uintptr_t>(settings);
        const LDisplayMode* mode =
            AddMode(device, {int32_t(settings->dmPelsWidth), int32_t(settings->dmPelsHeight)},
                    int32_t(settings->dmBitsPerPel), data);
        // A mode the device had already keeps its own record.
        if (mode == nullptr || mode->data != data) delete settings;
    }
}

void LAPI_OpenGL::FreeModeData(uintptr_t data) {
    delete reinterpret_cast<DEVMODEA*>(data);
}
