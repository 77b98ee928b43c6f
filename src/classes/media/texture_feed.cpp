#include "classes/media/texture_feed.h"

#include <memory>
#include <new>

#include "classes/surface/surface_class.h"
#include "classes/window/window_surface.h"
#include "script/interpreter/interpretor.h"

CWindowSurface* SurfaceFeedingTexture(CInterpretor& interpreter, CISurfaceTexture* texture) {
    for (uint32_t position = interpreter.GetFirstObjectPos(CISurface::kClassId); position != 0;) {
        auto* surface =
            static_cast<CISurface*>(interpreter.GetNextObject(CISurface::kClassId, position));
        if (surface != nullptr && surface->texture3D == texture) return AsWindowSurface(surface);
    }
    return nullptr;
}

void GiveTextureASurface(CInterpretor& interpreter, CISurfaceTexture* texture, CValue& holder) {
    if (SurfaceFeedingTexture(interpreter, texture) != nullptr) return;
    auto* surface =
        new (std::nothrow) CISurface(&interpreter, interpreter.GetClassRecord(CISurface::kClassId));
    if (surface == nullptr) interpreter.RaiseError(15);
    std::unique_ptr<CISurface> pending(surface);
    surface->CreateFromTexture(texture, 0);
    surface->Register();
    holder.SetObject(pending.release(), 0);
}

void TextureFrameDrawn(CWindowSurface& surface) {
    surface.InvalidateAll();
    static_cast<CISurface*>(surface.GetSurfaceObject())->Refresh();
}
