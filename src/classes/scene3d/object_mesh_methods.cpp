// The Object's mesh methods: its faces and points, its shadows and its mesh frames.
#include <algorithm>
#include <string>
#include <vector>

#include "classes/scene3d/object_class.h"
#include "classes/scene3d/point3d_class.h"
#include "classes/scene3d/point_arguments.h"
#include "classes/scene3d/polygon_class.h"
#include "classes/scene3d/polygon_material_arg.h"
#include "classes/scene3d/script_number.h"
#include "engine3d/scene/animation_sequences.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/object.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/device.h"
#include "engine3d/scene/scene_codes.h"
#include "foundation/containers/llist.h"
#include "script/interpreter/interpretor.h"
#include "script/values/value.h"

namespace {

// Releases a face that did not make it into a mesh, its new points with it.
class FaceGuard {
public:
    FaceGuard(LAPICLBK& device, LPolygon* face) : device_(device), face_(face) {}
    ~FaceGuard() {
        if (face_ != nullptr) device_.DeletePolygon(face_);
    }
    FaceGuard(const FaceGuard&) = delete;
    FaceGuard& operator=(const FaceGuard&) = delete;
    void Keep() { face_ = nullptr; }

private:
    LAPICLBK& device_;
    LPolygon* face_;
};

// Values AddPoint takes at most: x, y, z, u, v, u2, v2.
constexpr uint32_t kPointValues = 7;

} // namespace

void CIObject::RefuseOnClone() {
    interpreter->RaiseError(126);
}

void CIObject::ApplyPolygonChange(int geometry, int box) {
    if (engineObject != nullptr) {
        if (geometry != 0) {
            engineObject->ComputePointNormals(nullptr, nullptr);
            engineObject->SetRotationChanged(1);
        }
        if (box != 0) engineObject->UpdateBox(1);
    }
    LocationChanged();
}

LPolygon* CIObject::AddFace(uint32_t first) {
    if (IsClone()) RefuseOnClone();
    L3DWorld* scene = EngineWorld();
    LAPICLBK* device = scene != nullptr ? scene->GetAPI() : nullptr;
    LPolygon* face = device != nullptr && engineObject != nullptr
                         ? device->CreatePolygon(engineObject, 2, 0)
                         : nullptr;
    if (face == nullptr) interpreter->RaiseError(15);
    FaceGuard guard(*device, face);
    face->capacity = kFaceRoom;
    // Counted before the engine is asked: a face given five vertices holds only four of
    // them and would pass for a quad.
    const int32_t given = ReadPointArguments(*interpreter, *face, *this, first, kFacePointRules, 0);
    if (given != 3 && given != 4) return nullptr;
    const int update = interpreter->IsPolygonChangeOpen() ? 0 : 1;
    if (engineObject->AddPolygon(face, update) != kSceneOk) return nullptr;
    guard.Keep();
    // The world gives its default material only to the faces of objects it takes in: a
    // face added later would never be drawn.
    if (face->GetMaterial() == nullptr && scene->GetDefaultMaterial() != nullptr)
        face->SetMaterial(scene->GetDefaultMaterial());
    return face;
}

// ---- Faces and points --------------------------------------------------------------------

void CIObject::AddPolygon() {
    if (IsClone()) RefuseOnClone();
    if (engineObject == nullptr) return interpreter->GetResultSlot()->SetInt(-1);
    LPolygon* face = AddFace(0);
    interpreter->GetResultSlot()->SetInt(face != nullptr ? engineObject->GetIndexOfAdded(face)
                                                         : -1);
    const int deferred = interpreter->IsPolygonChangeOpen() ? 1 : 0;
    interpreter->ApplyOrDeferPolygonChange(this, deferred, deferred);
    LocationChanged();
}

void CIObject::RemovePolygon() {
    if (IsClone()) RefuseOnClone();
    if (engineObject == nullptr) return;
    const int32_t index = IsArgMissing(*interpreter, 0) ? -1 : interpreter->GetArgInt(0);
    engineObject->RemovePolygon(index);
    interpreter->ApplyOrDeferPolygonChange(this, 0, 1);
    LocationChanged();
}

void CIObject::SetPolygon() {
    if (IsClone()) RefuseOnClone();
    LPolygon* face =
        engineObject != nullptr ? engineObject->GetPolygonAt(interpreter->GetArgInt(0)) : nullptr;
    if (face == nullptr) interpreter->RaiseError(52);
    face->RemoveVertexAt(-1);
    face->capacity = std::max(face->capacity, kFaceRoom);
    ReadPointArguments(*interpreter, *face, *this, 1, kFacePointRules, 0);
    interpreter->ApplyOrDeferPolygonChange(this, 1, 1);
    LocationChanged();
}

void CIObject::GetPolygon() {
    LPolygon* face =
        engineObject != nullptr ? engineObject->GetPolygonAt(interpreter->GetArgInt(0)) : nullptr;
    if (face == nullptr) interpreter->RaiseError(52);
    CIPolygon::SetResult(*interpreter, worldObject, face);
}

void CIObject::GetPoint() {
    const LBasePoint* list =
        engineObject != nullptr ? engineObject->GetCurrentPointList() : nullptr;
    L3DPoint* point = list != nullptr ? list->GetPoint(interpreter->GetArgInt(0)) : nullptr;
    if (point == nullptr) interpreter->RaiseError(89);
    CIPoint3D::SetResult(*interpreter, worldObject, point, this);
}

void CIObject::RemovePoint() {
    if (IsClone()) RefuseOnClone();
    LBasePoint* list = engineObject != nullptr ? engineObject->GetCurrentPointList() : nullptr;
    const int32_t index = interpreter->GetArgInt(0);
    L3DPoint* point = list != nullptr ? list->GetPoint(index) : nullptr;
    if (point == nullptr) interpreter->RaiseError(89);
    // Only a use no face holds goes: taking a face's use would let the point be deleted
    // while another face still draws it.
    if (list->GetListUse(index) > point->useCount) list->RemovePointRef(point);
    LocationChanged();
}

void CIObject::AddPoint() {
    if (IsClone()) RefuseOnClone();
    CInterpretor& in = *interpreter;
    if (in.GetArgCount() > int32_t(kPointValues) + 1) in.RaiseError(14);
    float values[kPointValues] = {};
    for (uint32_t i = 0; i < kPointValues; ++i)
        values[i] = IsArgMissing(in, i + 1) ? 0.0f : float(NumberOf(in, *in.GetArg(i + 1)));
    if (in.GetArgCount() <= 6) {
        values[5] = values[3];
        values[6] = values[4];
    }
    L3DWorld* scene = EngineWorld();
    LAPICLBK* device = scene != nullptr ? scene->GetAPI() : nullptr;
    LBasePoint* list = engineObject != nullptr ? engineObject->GetCurrentPointList() : nullptr;
    L3DPoint* point = device != nullptr && list != nullptr
                          ? device->CreatePoint(values[0], values[1], values[2], values[3],
                                                values[4], values[5], values[6])
                          : nullptr;
    if (point == nullptr) in.RaiseError(15);
    const int32_t index = list->AddPointRef(point);
    LocationChanged();
    in.GetResultSlot()->SetInt(index);
}

// ---- Shadows -------------------------------------------------------------------------------

namespace {

bool TextureShadowOn(const L3DObject& object) {
    return (object.objectFlags & L3DObject::kShadowShown) != 0;
}

} // namespace

void CIObject::SetShadowMode() {
    const int32_t mode = interpreter->GetArgInt(0);
    if (mode != 0 && mode != 1) interpreter->RaiseError(14);
    if (engineObject != nullptr) {
        if (mode == 0) {
            if (TextureShadowOn(*engineObject)) engineObject->EnableShadow(0);
            engineObject->SetShadowReceiver(1);
        } else {
            if (engineObject->IsShadowReceiver() != 0) engineObject->SetShadowReceiver(0);
            engineObject->EnableShadow(1);
        }
    }
    shadowMode_ = uint32_t(mode);
    LocationChanged();
}

void CIObject::GetShadowMode() {
    interpreter->GetResultSlot()->SetInt(int32_t(shadowMode_));
}

void CIObject::EnableShadow() {
    int32_t on = 1;
    if (!IsArgMissing(*interpreter, 0)) {
        on = interpreter->GetArgInt(0);
        if (on != 0 && on != 1) interpreter->RaiseError(14);
    }
    if (engineObject == nullptr) return;
    bool changed;
    if (shadowMode_ == 0) {
        changed = (engineObject->IsShadowReceiver() != 0) != (on == 1);
        engineObject->SetShadowReceiver(on);
    } else {
        changed = TextureShadowOn(*engineObject) != (on == 1);
        engineObject->EnableShadow(on);
    }
    if (changed) LocationChanged();
}

void CIObject::SetShadowTexture() {
    if (IsClone()) RefuseOnClone();
    LTexture* texture = TextureArg(*interpreter, 0, worldObject, 93, 121);
    if (engineObject == nullptr) return;
    engineObject->SetShadowTexture(texture);
    LocationChanged();
}

void CIObject::SetShadowTextureSize() {
    if (IsClone()) RefuseOnClone();
    if (engineObject == nullptr) return;
    int32_t size[2];
    engineObject->GetShadowTextureSize(&size[0], &size[1]);
    for (uint32_t i = 0; i < 2; ++i)
        if (!IsArgMissing(*interpreter, i)) size[i] = interpreter->GetArgInt(i);
    engineObject->SetShadowTextureSize(size[0], size[1]);
    LocationChanged();
}

void CIObject::GetShadowTexture() {
    SetTextureResult(*interpreter, worldObject,
                     engineObject != nullptr ? engineObject->GetShadowTexture() : nullptr);
}

void CIObject::GetShadowMaterial() {
    SetMaterialResult(*interpreter, worldObject,
                      engineObject != nullptr ? engineObject->GetShadowMaterial() : nullptr);
}

void CIObject::GetShadowTextureWidth() {
    int32_t w = 0, h = 0;
    if (engineObject != nullptr) engineObject->GetShadowTextureSize(&w, &h);
    interpreter->GetResultSlot()->SetInt(w);
}

void CIObject::GetShadowTextureHeight() {
    int32_t w = 0, h = 0;
    if (engineObject != nullptr) engineObject->GetShadowTextureSize(&w, &h);
    interpreter->GetResultSlot()->SetInt(h);
}

// ---- Mesh frames -------------------------------------------------------------------------

void CIObject::GetNMeshFrames() {
    if (IsClone()) RefuseOnClone();
    interpreter->GetResultSlot()->SetInt(engineObject != nullptr ? engineObject->GetBaseCount()
                                                                 : 0);
}

void CIObject::AppendObjectAsMeshFrame() {
    if (IsClone()) RefuseOnClone();
    const CValue* value = interpreter->GetArg(0);
    if (!value->IsObjectOfClass(kClassId)) interpreter->RaiseError(94);
    auto* other = static_cast<CIObject*>(value->GetObject());
    if (other->worldObject != worldObject) interpreter->RaiseError(122);
    // An object's frames cannot move into itself, and a clone's mesh is its source's.
    if (other == this || other->IsClone()) interpreter->RaiseError(14);
    if (engineObject == nullptr || other->engineObject == nullptr) return;
    const LBasePoint* points = engineObject->GetCurrentPointList();
    if (engineObject->GetBaseCount() == 1 && points != nullptr && points->GetCount() == 0)
        engineObject->RemoveBase(0, 1);
    engineObject->AppendBasesFrom(*other->engineObject);
}

void CIObject::RemoveMeshFrame() {
    if (IsClone()) RefuseOnClone();
    const int32_t count = engineObject != nullptr ? engineObject->GetBaseCount() : 0;
    if (IsArgMissing(*interpreter, 0)) interpreter->RaiseError(14);
    const int32_t index = interpreter->GetArgInt(0);
    if (index < 0 || index >= count) interpreter->RaiseError(14);
    if (IsChannelPlaying(kMeshChannel)) interpreter->RaiseError(95);
    std::vector<std::string> doomed;
    LList& sequences = engineObject->sequences;
    if (count == 1) {
        for (LListNode* node = sequences.GetHead(); node != nullptr; node = node->next)
            doomed.emplace_back(static_cast<SequenceRecord*>(node->item)->name);
    } else {
        // The sequences made only of the removed frame go before the others are lowered:
        // one lowered onto that frame is kept.
        for (LListNode* node = sequences.GetHead(); node != nullptr; node = node->next) {
            const auto* record = static_cast<SequenceRecord*>(node->item);
            if (record->start == index && record->end == index) doomed.emplace_back(record->name);
        }
    }
    for (const std::string& name : doomed)
        engineObject->RemoveSequence(name.c_str());
    if (count == 1) return;
    for (LListNode* node = sequences.GetHead(); node != nullptr; node = node->next) {
        auto* record = static_cast<SequenceRecord*>(node->item);
        for (int32_t* frame : {&record->start, &record->end, &record->current})
            if (*frame > index) --*frame;
    }
    engineObject->RemoveBase(index, 1);
    interpreter->GetResultSlot()->SetInt(engineObject->GetBaseCount() == count - 1 ? 1 : 0);
}
