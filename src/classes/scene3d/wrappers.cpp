#include "classes/scene3d/wrappers.h"

#include "classes/scene3d/camera_class.h"
#include "classes/scene3d/object_class.h"
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/objects/object.h"
#include "script/interpreter/interpretor.h"
#include "script/values/value.h"

CIBaseClassImpl* GetScriptWrapper(CInterpretor& interpreter, CIWorld* world, L3DObject* object) {
    if (object == nullptr) return nullptr;
    if (object->typeCode == L3DObject::kCamera)
        return CICamera::GetWrapper(interpreter, world, static_cast<L3DCamera*>(object));
    return CIObject::GetWrapper(interpreter, world, object);
}

L3DObject* EngineObjectOfArg(CInterpretor& interpreter, uint32_t i) {
    const CValue* value = interpreter.GetArg(i);
    if (value->IsObjectOfClass(CIObject::kClassId))
        return static_cast<CIObject*>(value->GetObject())->GetEngineObject();
    if (value->IsObjectOfClass(CICamera::kClassId))
        return static_cast<CICamera*>(value->GetObject())->GetEngineCamera();
    return nullptr;
}
