#include "classes/scene3d/polygon_material_arg.h"

#include "script/interpreter/interpretor.h"
#include "script/values/value.h"

namespace {

const MeshMaterialServices* gServices = nullptr;

// The object of class `classId` in argument `i`, or null.
CIBaseClassImpl* ObjectArg(CInterpretor& interpreter, uint32_t i, uint32_t classId) {
    const CValue* value = interpreter.GetArg(i);
    return value->IsObjectOfClass(classId) ? value->GetObject() : nullptr;
}

} // namespace

void SetMeshMaterialServices(const MeshMaterialServices* services) {
    gServices = services;
}

LMaterial* MaterialArg(CInterpretor& interpreter, uint32_t i, CIBaseClassImpl* world,
                       int32_t notMaterial, int32_t otherWorld) {
    CIBaseClassImpl* object = ObjectArg(interpreter, i, MeshMaterialServices::kMaterialClassId);
    LMaterial* material =
        object != nullptr && gServices != nullptr ? gServices->engineMaterial(object) : nullptr;
    if (material == nullptr) interpreter.RaiseError(notMaterial);
    if (gServices->materialWorld(object) != world) interpreter.RaiseError(otherWorld);
    return material;
}

LTexture* TextureArg(CInterpretor& interpreter, uint32_t i, CIBaseClassImpl* world,
                     int32_t notTexture, int32_t otherWorld) {
    CIBaseClassImpl* object = ObjectArg(interpreter, i, MeshMaterialServices::kTextureClassId);
    LTexture* texture =
        object != nullptr && gServices != nullptr ? gServices->engineTexture(object) : nullptr;
    if (texture == nullptr) interpreter.RaiseError(notTexture);
    if (gServices->textureWorld(object) != world) interpreter.RaiseError(otherWorld);
    return texture;
}

void SetMaterialResult(CInterpretor& interpreter, CIBaseClassImpl* world, LMaterial* material) {
    CIBaseClassImpl* wrapper = material != nullptr && gServices != nullptr
                                   ? gServices->materialWrapper(interpreter, world, material)
                                   : nullptr;
    if (wrapper != nullptr)
        interpreter.GetResultSlot()->SetObject(wrapper, 0);
    else
        interpreter.GetResultSlot()->SetInt(0);
}

void SetTextureResult(CInterpretor& interpreter, CIBaseClassImpl* world, LTexture* texture) {
    CIBaseClassImpl* wrapper = texture != nullptr && gServices != nullptr
                                   ? gServices->textureWrapper(interpreter, world, texture)
                                   : nullptr;
    if (wrapper != nullptr)
        interpreter.GetResultSlot()->SetObject(wrapper, 0);
    else
        interpreter.GetResultSlot()->SetInt(0);
}
