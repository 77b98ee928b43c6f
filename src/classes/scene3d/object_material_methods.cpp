// The Object's materials and its one-object save.
#include "classes/scene3d/material_class.h"
#include "classes/scene3d/object_class.h"
#include "classes/scene3d/world_class.h"
#include "engine3d/scene/objects/object.h"
#include "script/interpreter/interpretor.h"
#include "script/values/value.h"

LMaterial* CIObject::MaterialArg(uint32_t i) {
    LMaterial* material = MaterialArgument(*interpreter, i, worldObject);
    if (IsClone()) interpreter->RaiseError(126);
    return material;
}

void CIObject::ReplacePolygonMaterial() {
    LMaterial* material = MaterialArg(0);
    const int32_t index = interpreter->IsArgDefault(1) ? -1 : interpreter->GetArgInt(1);
    if (engineObject == nullptr || material == nullptr) {
        interpreter->GetResultSlot()->SetInt(0);
        return;
    }
    const int result = engineObject->SetPolygonMaterial(index, material);
    interpreter->GetResultSlot()->SetInt(result == 0 ? 1 : 0);
    LocationChanged();
}

void CIObject::ReplaceMaterial() {
    LMaterial* material = MaterialArg(0);
    const bool pair = !interpreter->IsArgDefault(1);
    LMaterial* replacement = pair ? MaterialArgument(*interpreter, 1, nullptr) : nullptr;
    if (engineObject == nullptr || material == nullptr) return;
    if (pair) {
        if (replacement == nullptr) return;
        engineObject->ReplaceMaterial(material, replacement, 0);
    } else {
        engineObject->SetPolygonMaterial(-1, material);
    }
    LocationChanged();
}

void CIObject::ApplyMaterial() {
    LMaterial* material = MaterialArg(0);
    const int32_t mapping = interpreter->IsArgDefault(1) ? 1 : interpreter->GetArgInt(1);
    if (engineObject == nullptr || material == nullptr) return;
    if (mapping == 1) engineObject->ApplyPlanarMapping();
    engineObject->SetPolygonMaterial(-1, material);
    LocationChanged();
}

void CIObject::Save() {
    if (IsClone()) interpreter->RaiseError(126);
    const CValue* value = interpreter->GetArg(0);
    const bool named = value->GetType() == kValueString;
    CIWorld* owner = World();
    const int written = named && owner != nullptr && engineObject != nullptr
                            ? owner->SaveToFile(value->GetString(), 0, engineObject)
                            : 0;
    interpreter->GetResultSlot()->SetInt(written);
}
