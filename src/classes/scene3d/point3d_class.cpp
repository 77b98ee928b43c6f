#include "classes/scene3d/point3d_class.h"

#include <algorithm>
#include <new>

#include "classes/scene3d/object_class.h"
#include "classes/scene3d/polygon_class.h"
#include "classes/scene3d/polygon_material_arg.h"
#include "classes/scene3d/script_number.h"
#include "classes/scene3d/world_class.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/object.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/device.h"
#include "script/interpreter/interpretor.h"
#include "script/values/value.h"

namespace {

using P = CIPoint3D;

const MethodNameRow kNameTable[] = {
    {P::kClassId, "Point3D", 0, 0}, {0x01, "GetX", 0, 0},        {0x02, "GetY", 0, 0},
    {0x03, "GetZ", 0, 0},           {0x04, "SetX", 0, 0},        {0x05, "SetY", 0, 0},
    {0x06, "SetZ", 0, 0},           {0x07, "GetXNormal", 0, 0},  {0x08, "GetYNormal", 0, 0},
    {0x09, "GetZNormal", 0, 0},     {0x0A, "SetXNormal", 0, 0},  {0x0B, "SetYNormal", 0, 0},
    {0x0C, "SetZNormal", 0, 0},     {0x0D, "GetMaterial", 0, 0}, {0x0E, "SetU", 0, 0},
    {0x0F, "SetV", 0, 0},           {0x10, "GetU", 0, 0},        {0x11, "GetV", 0, 0},
    {0x12, "GetIndex", 0, 0},       {0x13, "GetXWorld", 0, 0},   {0x14, "GetYWorld", 0, 0},
    {0x15, "GetZWorld", 0, 0},      {0x16, "SetU2", 0, 0},       {0x17, "SetV2", 0, 0},
    {0x18, "GetU2", 0, 0},          {0x19, "GetV2", 0, 0},       {0, nullptr, 0, 0},
};

CIBaseClassImpl* NewPoint3D(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIPoint3D(&interpreter, record);
}

const ScriptClassInfo kPoint3DClass = {kNameTable, NewPoint3D, 0, nullptr, 0, nullptr, nullptr};

// Values given at most: x, y, z, u, v, u2, v2.
constexpr int32_t kMaxValues = 7;

} // namespace

const ScriptMethod<CIPoint3D> CIPoint3D::kMethods[0x1A] = {
    nullptr,        &P::GetX,        &P::GetY,       &P::GetZ,       &P::SetX,       &P::SetY,
    &P::SetZ,       &P::GetXNormal,  &P::GetYNormal, &P::GetZNormal, &P::SetXNormal, &P::SetYNormal,
    &P::SetZNormal, &P::GetMaterial, &P::SetU,       &P::SetV,       &P::GetU,       &P::GetV,
    &P::GetIndex,   &P::GetXWorld,   &P::GetYWorld,  &P::GetZWorld,  &P::SetU2,      &P::SetV2,
    &P::GetU2,      &P::GetV2,
};

void CIPoint3DLink::EngineObjectDestroyed() {
    owner->EnginePointDeleted();
}

CIPoint3D::CIPoint3D(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1) {}

CIPoint3D::~CIPoint3D() {
    if (point_ != nullptr && point_->GetCLBKObject() == &link_) point_->SetCLBKObject(nullptr);
}

const ScriptClassInfo* CIPoint3D::GetClassInfo() {
    return &kPoint3DClass;
}

void CIPoint3D::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CIPoint3D::LetGoOfPoint() {
    L3DPoint* point = point_;
    point_ = nullptr;
    if (point == nullptr) return;
    if (point->GetCLBKObject() == &link_) point->SetCLBKObject(nullptr);
    // Deleted as the back ends delete points: the World may be gone already.
    if (free_ && point->useCount == 0) delete point;
}

void CIPoint3D::Destroy(int flag) {
    LetGoOfPoint();
    owners_.clear();
    CIBaseClassImpl::Destroy(flag);
    delete this;
}

int CIPoint3D::ReleaseReferencesTo(CIBaseClassImpl* object) {
    if (object == nullptr) return 0;
    if (object == world_) {
        LetGoOfPoint();
        world_ = nullptr;
        owners_.clear();
        MarkDeleted();
        return 1;
    }
    owners_.erase(std::remove(owners_.begin(), owners_.end(), object), owners_.end());
    return 0;
}

void CIPoint3D::EnginePointDeleted() {
    if (point_ == nullptr) return;
    point_ = nullptr;
    if (interpreter->deleteWrappers != 0) interpreter->DeleteObject(this);
}

void CIPoint3D::AddOwner(CIObject* owner) {
    if (owner != nullptr && std::find(owners_.begin(), owners_.end(), owner) == owners_.end())
        owners_.push_back(owner);
}

CIPoint3D* CIPoint3D::GetWrapper(CInterpretor& interpreter, CIBaseClassImpl* world, L3DPoint* point,
                                 CIObject* owner) {
    if (point == nullptr) return nullptr;
    // Every link a mesh point carries belongs to a Point3D.
    if (auto* link = static_cast<CIPoint3DLink*>(point->GetCLBKObject())) {
        link->owner->AddOwner(owner);
        return link->owner;
    }
    auto* wrapper =
        new (std::nothrow) CIPoint3D(&interpreter, interpreter.GetClassRecord(kClassId));
    if (wrapper == nullptr) interpreter.RaiseError(15);
    wrapper->world_ = world;
    wrapper->point_ = point;
    wrapper->AddOwner(owner);
    point->SetCLBKObject(&wrapper->link_);
    wrapper->Register();
    return wrapper;
}

void CIPoint3D::SetResult(CInterpretor& interpreter, CIBaseClassImpl* world, L3DPoint* point,
                          CIObject* owner) {
    CIPoint3D* wrapper = GetWrapper(interpreter, world, point, owner);
    if (wrapper != nullptr)
        interpreter.GetResultSlot()->SetObject(wrapper, 0);
    else
        interpreter.GetResultSlot()->SetInt(0);
}

void CIPoint3D::Create() {
    CInterpretor& in = *interpreter;
    const CValue* anchor = in.GetArg(0);
    CIObject* object = nullptr;
    CIBaseClassImpl* world = nullptr;
    if (anchor->IsObjectOfClass(CIWorld::kClassId)) {
        world = anchor->GetObject();
    } else if (anchor->IsObjectOfClass(CIPolygon::kClassId)) {
        object = static_cast<CIPolygon*>(anchor->GetObject())->GetObject();
        if (object == nullptr) in.RaiseError(14);
    } else if (anchor->IsObjectOfClass(CIObject::kClassId)) {
        object = static_cast<CIObject*>(anchor->GetObject());
    } else {
        in.RaiseError(14);
    }
    if (object != nullptr) world = object->worldObject;
    if (in.GetArgCount() > kMaxValues + 1) in.RaiseError(14);
    float values[kMaxValues] = {};
    for (int32_t i = 0; i < kMaxValues; ++i) {
        const uint32_t arg = uint32_t(i) + 1;
        if (IsArgMissing(in, arg))
            values[i] = i >= 5 ? values[i - 2] : 0.0f;
        else
            values[i] = float(NumberOf(in, *in.GetArg(arg)));
    }
    LBasePoint* list = nullptr;
    if (object != nullptr) {
        list = object->GetEngineObject() != nullptr
                   ? object->GetEngineObject()->GetCurrentPointList()
                   : nullptr;
        if (list == nullptr) in.RaiseError(14);
    }
    L3DWorld* scene = world != nullptr ? static_cast<CIWorld*>(world)->GetEngineWorld() : nullptr;
    LAPICLBK* device = scene != nullptr ? scene->GetAPI() : nullptr;
    L3DPoint* point = device != nullptr
                          ? device->CreatePoint(values[0], values[1], values[2], values[3],
                                                values[4], values[5], values[6])
                          : nullptr;
    if (point == nullptr) in.RaiseError(15);
    world_ = world;
    point_ = point;
    point->SetCLBKObject(&link_);
    if (list != nullptr) {
        list->AddPointRef(point);
        AddOwner(object);
    } else {
        free_ = true;
    }
    Register();
    static_cast<CIWorld*>(world)->RefreshCameras();
}

// ---- Methods ---------------------------------------------------------------------------

void CIPoint3D::GetX() {
    interpreter->GetResultSlot()->SetFloat(point_ != nullptr ? point_->model[0] : 0.0);
}

void CIPoint3D::GetY() {
    interpreter->GetResultSlot()->SetFloat(point_ != nullptr ? point_->model[1] : 0.0);
}

void CIPoint3D::GetZ() {
    interpreter->GetResultSlot()->SetFloat(point_ != nullptr ? point_->model[2] : 0.0);
}

void CIPoint3D::Coordinate(int axis) {
    CInterpretor& in = *interpreter;
    if (IsArgMissing(in, 0)) return;
    const float value = float(NumberOf(in, *in.GetArg(0)));
    int32_t update = 1;
    if (!IsArgMissing(in, 1)) {
        update = in.GetArgInt(1);
        if (update != 0 && update != 1) in.RaiseError(14);
    }
    if (point_ == nullptr) return;
    point_->model[axis] = value;
    if (update == 1) {
        // A copy: an owner's repaint may not change the list under the walk, but a
        // deferred change is applied later against the owners still alive.
        const std::vector<CIObject*> owners = owners_;
        for (CIObject* owner : owners) {
            if (L3DObject* engine = owner->GetEngineObject()) engine->SetRotationChanged(1);
            in.ApplyOrDeferPolygonChange(owner, 1, 1);
            owner->LocationChanged();
        }
    }
    if (world_ != nullptr) static_cast<CIWorld*>(world_)->RefreshCameras();
}

void CIPoint3D::SetX() {
    Coordinate(0);
}

void CIPoint3D::SetY() {
    Coordinate(1);
}

void CIPoint3D::SetZ() {
    Coordinate(2);
}

void CIPoint3D::SetValue(float* field) {
    if (IsArgMissing(*interpreter, 0)) return;
    const float value = float(NumberOf(*interpreter, *interpreter->GetArg(0)));
    if (point_ == nullptr) return;
    *field = value;
    if (world_ != nullptr) static_cast<CIWorld*>(world_)->RefreshCameras();
}

void CIPoint3D::GetXNormal() {
    interpreter->GetResultSlot()->SetFloat(point_ != nullptr ? point_->normal[0] : 0.0);
}

void CIPoint3D::GetYNormal() {
    interpreter->GetResultSlot()->SetFloat(point_ != nullptr ? point_->normal[1] : 0.0);
}

void CIPoint3D::GetZNormal() {
    interpreter->GetResultSlot()->SetFloat(point_ != nullptr ? point_->normal[2] : 0.0);
}

void CIPoint3D::SetXNormal() {
    SetValue(point_ != nullptr ? &point_->normal[0] : nullptr);
}

void CIPoint3D::SetYNormal() {
    SetValue(point_ != nullptr ? &point_->normal[1] : nullptr);
}

void CIPoint3D::SetZNormal() {
    SetValue(point_ != nullptr ? &point_->normal[2] : nullptr);
}

void CIPoint3D::GetMaterial() {
    SetMaterialResult(*interpreter, world_, point_ != nullptr ? point_->material : nullptr);
}

void CIPoint3D::SetU() {
    SetValue(point_ != nullptr ? &point_->texture[0] : nullptr);
}

void CIPoint3D::SetV() {
    SetValue(point_ != nullptr ? &point_->texture[1] : nullptr);
}

void CIPoint3D::GetU() {
    interpreter->GetResultSlot()->SetFloat(point_ != nullptr ? point_->texture[0] : 0.0);
}

void CIPoint3D::GetV() {
    interpreter->GetResultSlot()->SetFloat(point_ != nullptr ? point_->texture[1] : 0.0);
}

void CIPoint3D::SetU2() {
    SetValue(point_ != nullptr ? &point_->texture[2] : nullptr);
}

void CIPoint3D::SetV2() {
    SetValue(point_ != nullptr ? &point_->texture[3] : nullptr);
}

void CIPoint3D::GetU2() {
    interpreter->GetResultSlot()->SetFloat(point_ != nullptr ? point_->texture[2] : 0.0);
}

void CIPoint3D::GetV2() {
    interpreter->GetResultSlot()->SetFloat(point_ != nullptr ? point_->texture[3] : 0.0);
}

void CIPoint3D::GetIndex() {
    const CValue* value = interpreter->GetArg(0);
    int32_t index = -1;
    if (value->IsObjectOfClass(CIObject::kClassId)) {
        const L3DObject* engine = static_cast<CIObject*>(value->GetObject())->GetEngineObject();
        const LBasePoint* list = engine != nullptr ? engine->GetCurrentPointList() : nullptr;
        if (list != nullptr && point_ != nullptr) index = list->IndexOf(point_);
    } else if (value->IsObjectOfClass(CIPolygon::kClassId)) {
        const LPolygon* polygon = static_cast<CIPolygon*>(value->GetObject())->GetEnginePolygon();
        if (polygon != nullptr && point_ != nullptr) index = polygon->IndexOfVertex(point_);
    } else {
        interpreter->RaiseError(14);
    }
    interpreter->GetResultSlot()->SetInt(index);
}

void CIPoint3D::GetXWorld() {
    interpreter->GetResultSlot()->SetFloat(point_ != nullptr ? point_->world[0] : 0.0);
}

void CIPoint3D::GetYWorld() {
    interpreter->GetResultSlot()->SetFloat(point_ != nullptr ? point_->world[1] : 0.0);
}

void CIPoint3D::GetZWorld() {
    interpreter->GetResultSlot()->SetFloat(point_ != nullptr ? point_->world[2] : 0.0);
}
