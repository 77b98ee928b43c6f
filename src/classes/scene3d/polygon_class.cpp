#include "classes/scene3d/polygon_class.h"

#include <algorithm>
#include <new>

#include "classes/scene3d/matrix_class.h"
#include "classes/scene3d/object_class.h"
#include "classes/scene3d/point3d_class.h"
#include "classes/scene3d/point_arguments.h"
#include "classes/scene3d/polygon_material_arg.h"
#include "classes/scene3d/script_number.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/object.h"
#include "script/interpreter/interpretor.h"
#include "script/values/value.h"

namespace {

using P = CIPolygon;

const MethodNameRow kNameTable[] = {
    {P::kClassId, "Polygon", 0, 0},
    {0x01, "GetNPoints", 0, 0},
    {0x02, "GetPoint", 0, 0},
    {0x03, "Invert", 0, 0},
    {0x04, "Rotate", 0, 0},
    {0x05, "RemovePoint", 0, 0},
    {0x06, "AddPoints", 0, 0},
    {0x07, "InsertPoints", 0, 0},
    {0x08, "GetIndexInObject", 0, 0},
    {0x09, "SetMaterial", 0, 0},
    {0x0A, "GetMaterial", 0, 0},
    {0x0B, "GetParent", 0, 0},
    {0, nullptr, 0, 0},
};

CIBaseClassImpl* NewPolygon(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIPolygon(&interpreter, record);
}

const ScriptClassInfo kPolygonClass = {kNameTable, NewPolygon, 0, nullptr, 0, nullptr, nullptr};

// The rules of AddPoints and InsertPoints.
constexpr PointArgumentRules kAddRules = {123, 103, 103, 90, false, false};
constexpr PointArgumentRules kInsertRules = {123, 0, 90, 90, true, false};

} // namespace

const ScriptMethod<CIPolygon> CIPolygon::kMethods[0x0C] = {
    nullptr,         &P::GetNPoints, &P::GetPoint,     &P::Invert,           &P::Rotate,
    &P::RemovePoint, &P::AddPoints,  &P::InsertPoints, &P::GetIndexInObject, &P::SetMaterial,
    &P::GetMaterial, &P::GetParent,
};

void CIPolygonLink::EngineObjectDestroyed() {
    owner->EnginePolygonDeleted();
}

CIPolygon::CIPolygon(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1) {}

CIPolygon::~CIPolygon() {
    if (polygon_ != nullptr && polygon_->GetCLBKObject() == &link_)
        polygon_->SetCLBKObject(nullptr);
}

const ScriptClassInfo* CIPolygon::GetClassInfo() {
    return &kPolygonClass;
}

void CIPolygon::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CIPolygon::Destroy(int flag) {
    // Through the face's owner and its link: when the interpreter resets, the Object may
    // have gone before its faces' wrappers.
    CILocation* owner = polygon_ != nullptr ? CILocation::GetWrapper(polygon_->owner) : nullptr;
    if (flag == 0 && owner != nullptr) owner->LocationChanged();
    if (polygon_ != nullptr && polygon_->GetCLBKObject() == &link_)
        polygon_->SetCLBKObject(nullptr);
    polygon_ = nullptr;
    object_ = nullptr;
    CIBaseClassImpl::Destroy(flag);
    delete this;
}

int CIPolygon::ReleaseReferencesTo(CIBaseClassImpl* object) {
    if (object == nullptr || object != object_) return 0;
    if (polygon_ != nullptr && polygon_->GetCLBKObject() == &link_)
        polygon_->SetCLBKObject(nullptr);
    polygon_ = nullptr;
    object_ = nullptr;
    MarkDeleted();
    return 1;
}

void CIPolygon::EnginePolygonDeleted() {
    if (polygon_ == nullptr) return;
    polygon_ = nullptr;
    if (interpreter->deleteWrappers != 0) interpreter->DeleteObject(this);
}

CIPolygon* CIPolygon::GetWrapper(CInterpretor& interpreter, CIBaseClassImpl* world,
                                 LPolygon* polygon) {
    if (polygon == nullptr || polygon->owner == nullptr) return nullptr;
    // Every link a mesh face carries belongs to a Polygon.
    if (auto* link = static_cast<CIPolygonLink*>(polygon->GetCLBKObject())) return link->owner;
    CILocation* owner = CILocation::GetScriptObject(interpreter, world, polygon->owner);
    auto* wrapper =
        new (std::nothrow) CIPolygon(&interpreter, interpreter.GetClassRecord(kClassId));
    if (wrapper == nullptr) interpreter.RaiseError(15);
    wrapper->polygon_ = polygon;
    wrapper->object_ = owner != nullptr && owner->classIndex == CIObject::kClassId
                           ? static_cast<CIObject*>(owner)
                           : nullptr;
    polygon->SetCLBKObject(&wrapper->link_);
    wrapper->Register();
    return wrapper;
}

void CIPolygon::SetResult(CInterpretor& interpreter, CIBaseClassImpl* world, LPolygon* polygon) {
    CIPolygon* wrapper = GetWrapper(interpreter, world, polygon);
    if (wrapper != nullptr)
        interpreter.GetResultSlot()->SetObject(wrapper, 0);
    else
        interpreter.GetResultSlot()->SetInt(0);
}

void CIPolygon::Create() {
    CInterpretor& in = *interpreter;
    if (!in.GetArg(0)->IsObjectOfClass(CIObject::kClassId)) in.RaiseError(14);
    auto* object = static_cast<CIObject*>(in.GetArg(0)->GetObject());
    if (object->GetEngineObject() == nullptr) in.RaiseError(14);
    LPolygon* polygon = object->AddFace(1);
    if (polygon == nullptr) in.RaiseError(14);
    object_ = object;
    polygon_ = polygon;
    polygon->SetCLBKObject(&link_);
    Register();
    in.ApplyOrDeferPolygonChange(object, 1, 1);
    object->LocationChanged();
}

CIObject* CIPolygon::LiveObject() const {
    return polygon_ != nullptr && object_ != nullptr && object_->GetEngineObject() != nullptr
               ? object_
               : nullptr;
}

// ---- Methods ---------------------------------------------------------------------------

void CIPolygon::GetNPoints() {
    interpreter->GetResultSlot()->SetInt(polygon_ != nullptr ? polygon_->GetVertexCount() : 0);
}

void CIPolygon::GetPoint() {
    if (IsArgMissing(*interpreter, 0)) interpreter->RaiseError(88);
    const int32_t index = interpreter->GetArgInt(0);
    L3DPoint* point = polygon_ != nullptr ? polygon_->GetVertex(index) : nullptr;
    if (point == nullptr) interpreter->RaiseError(88);
    CIPoint3D::SetResult(*interpreter, object_ != nullptr ? object_->worldObject : nullptr, point,
                         object_);
}

void CIPolygon::Invert() {
    if (polygon_ != nullptr) polygon_->Flip();
}

void CIPolygon::Rotate() {
    if (!interpreter->GetArg(0)->IsObjectOfClass(CIMatrix::kClassId)) interpreter->RaiseError(14);
    const auto* matrix = static_cast<const CIMatrix*>(interpreter->GetArg(0)->GetObject());
    if (polygon_ == nullptr) return;
    polygon_->TransformVertices(matrix->m);
    if (object_ != nullptr) object_->LocationChanged();
}

void CIPolygon::RemovePoint() {
    if (IsArgMissing(*interpreter, 0)) interpreter->RaiseError(88);
    const int32_t index = interpreter->GetArgInt(0);
    if (polygon_ == nullptr || polygon_->GetVertex(index) == nullptr) interpreter->RaiseError(88);
    const bool removed = polygon_->RemoveVertexAt(index) == 0;
    interpreter->GetResultSlot()->SetInt(removed ? 1 : 0);
    if (object_ != nullptr) object_->LocationChanged();
}

void CIPolygon::AddPoints() {
    CIObject* object = LiveObject();
    if (object == nullptr) return;
    polygon_->capacity = std::max(polygon_->capacity, CIObject::kFaceRoom);
    ReadPointArguments(*interpreter, *polygon_, *object, 0, kAddRules, 0);
    object->LocationChanged();
}

void CIPolygon::InsertPoints() {
    if (IsArgMissing(*interpreter, 0)) interpreter->RaiseError(88);
    const int32_t index = interpreter->GetArgInt(0);
    CIObject* object = LiveObject();
    if (object == nullptr) return;
    polygon_->capacity = std::max(polygon_->capacity, CIObject::kFaceRoom);
    ReadPointArguments(*interpreter, *polygon_, *object, 1, kInsertRules, index);
    object->LocationChanged();
}

void CIPolygon::GetIndexInObject() {
    const L3DObject* engine = polygon_ != nullptr ? polygon_->owner : nullptr;
    interpreter->GetResultSlot()->SetInt(engine != nullptr ? engine->GetPolygonIndex(polygon_)
                                                           : -1);
}

void CIPolygon::SetMaterial() {
    LMaterial* material =
        MaterialArg(*interpreter, 0, object_ != nullptr ? object_->worldObject : nullptr, 47, 124);
    CIObject* object = LiveObject();
    if (object == nullptr) return;
    polygon_->SetMaterial(material);
    object->LocationChanged();
}

void CIPolygon::GetMaterial() {
    SetMaterialResult(*interpreter, object_ != nullptr ? object_->worldObject : nullptr,
                      polygon_ != nullptr ? polygon_->GetMaterial() : nullptr);
}

void CIPolygon::GetParent() {
    L3DObject* owner = polygon_ != nullptr ? polygon_->owner : nullptr;
    CILocation* wrapper =
        owner != nullptr
            ? CILocation::GetScriptObject(
                  *interpreter, object_ != nullptr ? object_->worldObject : nullptr, owner)
            : nullptr;
    if (wrapper != nullptr)
        interpreter->GetResultSlot()->SetObject(wrapper, 0);
    else
        interpreter->GetResultSlot()->SetInt(0);
}
