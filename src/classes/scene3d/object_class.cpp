#include "classes/scene3d/object_class.h"

#include <new>

#include "classes/scene3d/world_class.h"
#include "classes/scene3d/wrappers.h"
#include "engine3d/scene/objects/object.h"
#include "engine3d/scene/objects/world.h"
#include "script/interpreter/interpretor.h"
#include "script/values/value.h"

namespace {

using O = CIObject;

const MethodNameRow kNameTable[] = {
    {O::kClassId, "Object", 0, 0},
    {0x44, "Scale", 0, 0},
    {0x45, "GetNPolygons", 0, 0},
    {0x49, "SetGouraud", 0, 0},
    {0x4A, "IsGouraud", 0, 0},
    {0x4B, "SetLambert", 0, 0},
    {0x4C, "IsLambert", 0, 0},
    {0x4D, "GetWidth", 0, 0},
    {0x4E, "GetHeight", 0, 0},
    {0x4F, "GetDepth", 0, 0},
    {0x50, "HideBox", 0, 0},
    {0x51, "ShowBox", 0, 0},
    {0x52, "IsBoxVisible", 0, 0},
    {0x64, "SetWireFrame", 0, 0},
    {0x65, "SetFlat", 0, 0},
    {0x66, "SetMapped", 0, 0},
    {0x67, "IsWireFrame", 0, 0},
    {0x68, "IsFlat", 0, 0},
    {0x69, "IsMapped", 0, 0},
    {0x6B, "GetNPoints", 0, 0},
    {0x7A, "Clone", 0, 0},
    {0x7B, "Duplicate", 0, 0},
    {0x81, "COLLISION_TYPE_NONE", 0, kRowConstant},
    {0x82, "COLLISION_TYPE_STOP", 0, kRowConstant},
    {0x83, "COLLISION_TYPE_SLIDE", 0, kRowConstant},
    {0x87, "SHADOW_MODE_TRUE", 0, kRowConstant},
    {0x88, "SHADOW_MODE_TEXTURE", 0, kRowConstant},
    {0x8A, "ANIM_MODE_KINEMATIC", 0, kRowConstant},
    {0x8B, "ANIM_MODE_MESH", 0, kRowConstant},
    {0, nullptr, 0, 0},
};

template <int32_t Value> void Constant(CInterpretor& interpreter) {
    interpreter.GetResultSlot()->SetInt(Value);
}

// By id from 0x81; the animation constants belong to the animation methods, which come
// later.
const ClassLevelHandler kConstants[] = {
    Constant<0>, Constant<1>, Constant<2>, nullptr,     nullptr,     nullptr,
    Constant<0>, Constant<1>, nullptr,     Constant<1>, Constant<2>,
};

// The classes whose objects hold an Object: none besides script values yet.
const uint32_t kDependents[] = {0};

CIBaseClassImpl* NewObject(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIObject(&interpreter, record);
}

const ScriptClassInfo kObjectClass = {
    kNameTable,  NewObject, O::kFirstClassLevelId, kConstants, std::size(kConstants),
    kDependents, nullptr};

bool IsNumber(const CValue& value) {
    return value.GetType() == kValueInt || value.GetType() == kValueDouble;
}

bool IsObjectType(uint32_t type) {
    return type == L3DObject::kPlain || type == L3DObject::kAnimated || type == L3DObject::kClone ||
           type == L3DObject::kAnimatedClone || type == L3DObject::kDummy;
}

} // namespace

const ScriptMethod<CIObject> CIObject::kMethods[0x7C] = {
    nullptr,          nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    nullptr,          nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    nullptr,          nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    nullptr,          nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    nullptr,          nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    nullptr,          nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    nullptr,          nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    nullptr,          nullptr, nullptr, nullptr, nullptr,
    &O::Scale,        // 0x44
    &O::GetNPolygons, // 0x45
    nullptr,          nullptr, nullptr,
    &O::SetGouraud,   // 0x49
    &O::IsGouraud,    // 0x4A
    &O::SetLambert,   // 0x4B
    &O::IsLambert,    // 0x4C
    &O::GetWidth,     // 0x4D
    &O::GetHeight,    // 0x4E
    &O::GetDepth,     // 0x4F
    &O::HideBox,      // 0x50
    &O::ShowBox,      // 0x51
    &O::IsBoxVisible, // 0x52
    nullptr,          nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    nullptr,          nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, // 0x53-0x63
    &O::SetWireFrame,                                                                // 0x64
    &O::SetFlat,                                                                     // 0x65
    &O::SetMapped,                                                                   // 0x66
    &O::IsWireFrame,                                                                 // 0x67
    &O::IsFlat,                                                                      // 0x68
    &O::IsMapped,                                                                    // 0x69
    nullptr,
    &O::GetNPoints, // 0x6B
    nullptr,          nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    nullptr,          nullptr, nullptr, nullptr, nullptr, // 0x6C-0x79
    &O::Clone,                                            // 0x7A
    &O::Duplicate,                                        // 0x7B
};

CIObject::CIObject(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1) {}

CIObject::~CIObject() = default;

void CIObject::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CIObject::Destroy(int flag) {
    if (object_ != nullptr) {
        L3DObject* engine = object_;
        object_ = nullptr;
        engine->SetCLBKObject(nullptr);
        if (inWorld_ == 0) {
            delete engine;
        } else if (world != nullptr && flag == 0 && !world->IsTearingDown() &&
                   world->GetEngineWorld() != nullptr) {
            world->GetEngineWorld()->RemoveObject(engine);
            world->RefreshCameras();
        }
    }
    world = nullptr;
    delete this;
}

int CIObject::ReleaseReferencesTo(CIBaseClassImpl* object) {
    if (object == nullptr || world == nullptr || object != static_cast<CIBaseClassImpl*>(world))
        return CIBaseClassImpl::ReleaseReferencesTo(object);
    ForgetWorld();
    MarkDeleted();
    return 1;
}

void CIObject::ForgetWorld() {
    if (object_ != nullptr) {
        object_->SetCLBKObject(nullptr);
        // Only the world's own objects go with it.
        if (inWorld_ == 0) delete object_;
    }
    object_ = nullptr;
    world = nullptr;
}

void CIObject::EngineObjectDestroyed() {
    if (object_ == nullptr) return;
    object_ = nullptr;
    if (world != nullptr && world->IsTearingDown() == 0) interpreter->DeleteObject(this);
}

CIObject* CIObject::GetWrapper(CInterpretor& interpreter, CIWorld* world, L3DObject* object) {
    if (object == nullptr || !IsObjectType(object->typeCode)) return nullptr;
    if (LCLBKObject* link = object->GetCLBKObject()) return dynamic_cast<CIObject*>(link);
    auto* wrapper = new (std::nothrow) CIObject(&interpreter, interpreter.GetClassRecord(kClassId));
    if (wrapper == nullptr) interpreter.RaiseError(15);
    object->SetCLBKObject(wrapper);
    wrapper->object_ = object;
    wrapper->world = world;
    wrapper->inWorld_ = 1;
    wrapper->Register();
    wrapper->LocationChanged();
    return wrapper;
}

void CIObject::Create() {
    CInterpretor& in = *interpreter;
    CIWorld* owner = nullptr;
    const char* name = "Object";
    for (int32_t i = 0; i < in.GetArgCount(); ++i) {
        const CValue* value = in.GetArg(uint32_t(i));
        if (value->IsObjectOfClass(CIWorld::kClassId))
            owner = static_cast<CIWorld*>(value->GetObject());
        else if (value->GetType() == kValueString)
            name = value->GetString();
        else
            in.RaiseError(14);
    }
    if (owner == nullptr || owner->GetEngineWorld() == nullptr) in.RaiseError(54);
    object_ = new (std::nothrow) L3DObject(name, owner->GetEngineWorld(), this);
    if (object_ == nullptr) in.RaiseError(15);
    world = owner;
    Register();
    LocationChanged();
}

void CIObject::LocationChanged() {
    if (world == nullptr || world->IsTearingDown()) return;
    L3DWorld* engine = world->GetEngineWorld();
    if (object_ != nullptr && inWorld_ == 0 && engine != nullptr) {
        engine->AddObject(object_, 1);
        inWorld_ = 1;
    }
    world->RefreshCameras();
}

bool CIObject::IsClone() const {
    return object_ != nullptr && (object_->typeCode == L3DObject::kClone ||
                                  object_->typeCode == L3DObject::kAnimatedClone);
}

// ---- Methods ---------------------------------------------------------------------------

void CIObject::Scale() {
    if (object_ == nullptr) return;
    if (interpreter->GetArgCount() == 1) {
        object_->ScaleUniform(float(interpreter->GetArgDouble(0)));
    } else {
        float factors[3];
        for (uint32_t i = 0; i < 3; ++i)
            factors[i] = interpreter->IsArgDefault(i) ? 1.0f : float(interpreter->GetArgDouble(i));
        object_->Scale(factors[0], factors[1], factors[2]);
    }
    LocationChanged();
}

void CIObject::GetNPolygons() {
    interpreter->GetResultSlot()->SetInt(object_ != nullptr ? object_->GetPolygonCount(0) : 0);
}

void CIObject::GetNPoints() {
    interpreter->GetResultSlot()->SetInt(object_ != nullptr ? object_->GetPointCount(0) : 0);
}

void CIObject::Switch(void (L3DObject::*set)(int)) {
    const int on = interpreter->GetArgInt(0) != 0 ? 1 : 0;
    if (object_ == nullptr) return;
    (object_->*set)(on);
    LocationChanged();
}

void CIObject::Query(int (L3DObject::*query)() const) {
    interpreter->GetResultSlot()->SetInt(object_ != nullptr ? (object_->*query)() : 0);
}

void CIObject::SetGouraud() {
    Switch(&L3DObject::SetGouraud);
}

void CIObject::IsGouraud() {
    Query(&L3DObject::IsGouraud);
}

void CIObject::SetLambert() {
    Switch(&L3DObject::SetLambert);
}

void CIObject::IsLambert() {
    Query(&L3DObject::IsLambert);
}

void CIObject::SetWireFrame() {
    Switch(&L3DObject::SetWireframe);
}

void CIObject::SetFlat() {
    Switch(&L3DObject::SetFlat);
}

void CIObject::SetMapped() {
    if (IsClone()) interpreter->RaiseError(126);
    Switch(&L3DObject::SetMapped);
}

void CIObject::IsWireFrame() {
    Query(&L3DObject::IsWireframe);
}

void CIObject::IsFlat() {
    Query(&L3DObject::IsFlat);
}

void CIObject::IsMapped() {
    Query(&L3DObject::IsMapped);
}

void CIObject::IsBoxVisible() {
    Query(&L3DObject::IsBoxShown);
}

void CIObject::HideBox() {
    if (object_ == nullptr) return;
    object_->ShowBox(0, 0);
    LocationChanged();
}

void CIObject::ShowBox() {
    if (object_ == nullptr) return;
    object_->ShowBox(1, 0);
    LocationChanged();
}

void CIObject::GetWidth() {
    interpreter->GetResultSlot()->SetFloat(object_ != nullptr ? object_->GetWidth() : 0.0);
}

void CIObject::GetHeight() {
    interpreter->GetResultSlot()->SetFloat(object_ != nullptr ? object_->GetHeight() : 0.0);
}

void CIObject::GetDepth() {
    interpreter->GetResultSlot()->SetFloat(object_ != nullptr ? object_->GetDepth() : 0.0);
}

void CIObject::Copy(bool clone) {
    if (IsClone()) interpreter->RaiseError(126);
    if (object_ == nullptr) return interpreter->GetResultSlot()->SetInt(0);
    L3DLocation place;
    const L3DLocation* at = &place;
    const CValue* first = interpreter->GetArg(0);
    if (first->GetType() == kValueObject) {
        // A placed object gives its place; an object of another class leaves the placing
        // to the engine.
        L3DObject* placed = EngineObjectOfArg(*interpreter, 0);
        if (placed != nullptr)
            place.SetAnglesAndPosition(placed->GetXAngle(), placed->GetYAngle(),
                                       placed->GetZAngle(), placed->position[0],
                                       placed->position[1], placed->position[2]);
        else
            at = nullptr;
    } else {
        float values[6] = {};
        for (uint32_t i = 0; i < 6; ++i) {
            const CValue* value = interpreter->GetArg(i);
            if (IsNumber(*value)) values[i] = float(value->GetDouble());
        }
        place.SetAnglesAndPosition(values[3], values[4], values[5], values[0], values[1],
                                   values[2]);
    }
    L3DObject* copy = clone ? object_->Clone(at) : object_->Duplicate(at);
    CIBaseClassImpl* wrapper =
        copy != nullptr ? GetScriptWrapper(*interpreter, world, copy) : nullptr;
    if (wrapper != nullptr)
        interpreter->GetResultSlot()->SetObject(wrapper, 0);
    else
        interpreter->GetResultSlot()->SetInt(0);
    if (clone) LocationChanged();
}

void CIObject::Clone() {
    Copy(true);
}

void CIObject::Duplicate() {
    Copy(false);
}

const ScriptClassInfo* GetObjectClassInfo() {
    return &kObjectClass;
}
