#include "classes/surface/texture_feed.h"

#include <memory>
#include <new>

#include "classes/surface/surface_class.h"
#include "classes/surface/view3d.h"
#include "classes/window/controls/animation_class.h"
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

namespace {

CISurfaceTexture* AsTexture(CIBaseClassImpl* object) {
    if (object == nullptr || object->classRecord == nullptr ||
        object->classRecord->classIndex != CISurfaceTexture::kClassId)
        return nullptr;
    return dynamic_cast<CISurfaceTexture*>(object);
}

SurfaceHandle* AnimationTextureImage(CIBaseClassImpl* object, CValue& holder) {
    CISurfaceTexture* texture = AsTexture(object);
    if (texture == nullptr) return nullptr;
    GiveTextureASurface(*object->interpreter, texture, holder);
    CWindowSurface* feeding = SurfaceFeedingTexture(*object->interpreter, texture);
    return feeding != nullptr ? feeding->GetSurfaceHandle() : nullptr;
}

void AnimationTextureDrawn(CIBaseClassImpl* object) {
    CISurfaceTexture* texture = AsTexture(object);
    CWindowSurface* feeding =
        texture != nullptr ? SurfaceFeedingTexture(*object->interpreter, texture) : nullptr;
    if (feeding != nullptr) TextureFrameDrawn(*feeding);
}

const AnimationTextureHook kAnimationHook{&AnimationTextureImage, &AnimationTextureDrawn};

} // namespace

void InstallAnimationTextureFeed(bool install) {
    SetAnimationTextureHook(install ? &kAnimationHook : nullptr);
}
