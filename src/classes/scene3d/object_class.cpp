#include "classes/scene3d/object_class.h"

#include <array>
#include <new>

#include "classes/scene3d/location_method_table.h"
#include "classes/scene3d/point3d_class.h"
#include "classes/scene3d/polygon_class.h"
#include "classes/scene3d/script_number.h"
#include "classes/scene3d/world_class.h"
#include "engine3d/scene/objects/object.h"
#include "engine3d/scene/objects/world.h"
#include "script/interpreter/interpretor.h"
#include "script/values/value.h"

namespace {

using O = CIObject;

const MethodNameRow kNameTable[] = {
    {O::kClassId, "Object", 0, 0},
    ZORV_LOCATION_METHOD_ROWS,
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
    {0x53, "ReplacePolygonMaterial", 0, 0},
    {0x54, "ReplaceMaterial", 0, 0},
    {0x55, "ApplyMaterial", 0, 0},
    {0x63, "SetStatic", 0, 0},
    {0x64, "SetWireFrame", 0, 0},
    {0x65, "SetFlat", 0, 0},
    {0x66, "SetMapped", 0, 0},
    {0x67, "IsWireFrame", 0, 0},
    {0x68, "IsFlat", 0, 0},
    {0x69, "IsMapped", 0, 0},
    {0x6B, "GetNPoints", 0, 0},
    {0x7A, "Clone", 0, 0},
    {0x7B, "Duplicate", 0, 0},
    {0x7E, "Save", 0, 0},
    {0x46, "AddPolygon", 0, 0},
    {0x47, "RemovePolygon", 0, 0},
    {0x48, "SetPolygon", 0, 0},
    {0x6A, "GetPolygon", 0, 0},
    {0x6C, "RemovePoint", 0, 0},
    {0x6D, "GetPoint", 0, 0},
    {0x6E, "AddPoint", 0, 0},
    {0x6F, "SetShadowMode", 0, 0},
    {0x70, "GetShadowMode", 0, 0},
    {0x71, "EnableShadow", 0, 0},
    {0x72, "SetShadowTexture", 0, 0},
    {0x73, "SetShadowTextureSize", 0, 0},
    {0x74, "GetShadowTexture", 0, 0},
    {0x75, "GetShadowTextureWidth", 0, 0},
    {0x76, "GetShadowTextureHeight", 0, 0},
    {0x77, "AppendObjectAsMeshFrame", 0, 0},
    {0x78, "GetNMeshFrames", 0, 0},
    {0x79, "RemoveMeshFrame", 0, 0},
    {0x7F, "GetShadowMaterial", 0, 0},
    {0x56, "AddAnimDefinition", 0, 0},
    {0x57, "SetAnimDefinition", 0, 0},
    {0x58, "DelAnimDefinition", 0, 0},
    {0x59, "SetAnim", 0, 0},
    {0x5A, "GetAnim", 0, 0},
    {0x5B, "GetNFrames", 0, 0},
    {0x5C, "SetFrame", 0, 0},
    {0x5D, "GetFrame", 0, 0},
    {0x5E, "NextFrame", 0, 0},
    {0x5F, "PreviousFrame", 0, 0},
    {0x60, "PlayAnim", 0, 0},
    {0x61, "StopAnim", 0, 0},
    {0x62, "SetAnimSpeed", 0, 0},
    {0x7C, "SetAnimMode", 0, 0},
    {0x7D, "GetAnimMode", 0, 0},
    {0x81, "COLLISION_TYPE_NONE", 0, kRowConstant},
    {0x82, "COLLISION_TYPE_STOP", 0, kRowConstant},
    {0x83, "COLLISION_TYPE_SLIDE", 0, kRowConstant},
    {0x87, "SHADOW_MODE_TRUE", 0, kRowConstant},
    {0x88, "SHADOW_MODE_TEXTURE", 0, kRowConstant},
    {0x8A, "ANIM_MODE_KINEMATIC", 0, kRowConstant},
    {0x8B, "ANIM_MODE_MESH", 0, kRowConstant},
    {0x84, "RESTART", 0, kRowConstant},
    {0x85, "REVERSE", 0, kRowConstant},
    {0x86, "LOOPINFINITE", 0, kRowConstant},
    {0x89, "LOOPREVERSE", 0, kRowConstant},
    {0, nullptr, 0, 0},
};

template <int32_t Value> void Constant(CInterpretor& interpreter) {
    interpreter.GetResultSlot()->SetInt(Value);
}

// By id from 0x81.
const ClassLevelHandler kConstants[] = {
    Constant<0>,
    Constant<1>,
    Constant<2>,
    Constant<int32_t(0xABCD0002u)>,
    Constant<int32_t(0xABCD0001u)>,
    Constant<-1>,
    Constant<0>,
    Constant<1>,
    Constant<int32_t(0xABCD0004u)>,
    Constant<1>,
    Constant<2>,
};

// The classes whose objects hold an Object: the views of its faces and points.
const uint32_t kDependents[] = {CIPolygon::kClassId, CIPoint3D::kClassId, 0};

CIBaseClassImpl* NewObject(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIObject(&interpreter, record);
}

const ScriptClassInfo kObjectClass = {
    kNameTable,  NewObject, O::kFirstClassLevelId, kConstants, std::size(kConstants),
    kDependents, nullptr};

} // namespace

const std::array<ScriptMethod<CIObject>, 0x80>& CIObject::Methods() {
    static const std::array<ScriptMethod<CIObject>, 0x80> table = [] {
        std::array<ScriptMethod<CIObject>, 0x80> t{};
        t[0x44] = &CIObject::Scale;
        t[0x45] = &CIObject::GetNPolygons;
        t[0x49] = &CIObject::SetGouraud;
        t[0x4A] = &CIObject::IsGouraud;
        t[0x4B] = &CIObject::SetLambert;
        t[0x4C] = &CIObject::IsLambert;
        t[0x4D] = &CIObject::GetWidth;
        t[0x4E] = &CIObject::GetHeight;
        t[0x4F] = &CIObject::GetDepth;
        t[0x50] = &CIObject::HideBox;
        t[0x51] = &CIObject::ShowBox;
        t[0x52] = &CIObject::IsBoxVisible;
        t[0x64] = &CIObject::SetWireFrame;
        t[0x65] = &CIObject::SetFlat;
        t[0x66] = &CIObject::SetMapped;
        t[0x67] = &CIObject::IsWireFrame;
        t[0x68] = &CIObject::IsFlat;
        t[0x69] = &CIObject::IsMapped;
        t[0x63] = &CIObject::SetStatic;
        t[0x6B] = &CIObject::GetNPoints;
        t[0x7A] = &CIObject::Clone;
        t[0x7B] = &CIObject::Duplicate;
        t[0x53] = &CIObject::ReplacePolygonMaterial;
        t[0x54] = &CIObject::ReplaceMaterial;
        t[0x55] = &CIObject::ApplyMaterial;
        t[0x7E] = &CIObject::Save;
        t[0x46] = &CIObject::AddPolygon;
        t[0x47] = &CIObject::RemovePolygon;
        t[0x48] = &CIObject::SetPolygon;
        t[0x6A] = &CIObject::GetPolygon;
        t[0x6C] = &CIObject::RemovePoint;
        t[0x6D] = &CIObject::GetPoint;
        t[0x6E] = &CIObject::AddPoint;
        t[0x6F] = &CIObject::SetShadowMode;
        t[0x70] = &CIObject::GetShadowMode;
        t[0x71] = &CIObject::EnableShadow;
        t[0x72] = &CIObject::SetShadowTexture;
        t[0x73] = &CIObject::SetShadowTextureSize;
        t[0x74] = &CIObject::GetShadowTexture;
        t[0x75] = &CIObject::GetShadowTextureWidth;
        t[0x76] = &CIObject::GetShadowTextureHeight;
        t[0x77] = &CIObject::AppendObjectAsMeshFrame;
        t[0x78] = &CIObject::GetNMeshFrames;
        t[0x79] = &CIObject::RemoveMeshFrame;
        t[0x7F] = &CIObject::GetShadowMaterial;
        t[0x56] = &CIObject::AddAnimDefinition;
        t[0x57] = &CIObject::SetAnimDefinition;
        t[0x58] = &CIObject::DelAnimDefinition;
        t[0x59] = &CIObject::SetAnim;
        t[0x5A] = &CIObject::GetAnim;
        t[0x5B] = &CIObject::GetNFrames;
        t[0x5C] = &CIObject::SetFrame;
        t[0x5D] = &CIObject::GetFrame;
        t[0x5E] = &CIObject::NextFrame;
        t[0x5F] = &CIObject::PreviousFrame;
        t[0x60] = &CIObject::PlayAnim;
        t[0x61] = &CIObject::StopAnim;
        t[0x62] = &CIObject::SetAnimSpeed;
        t[0x7C] = &CIObject::SetAnimMode;
        t[0x7D] = &CIObject::GetAnimMode;
        return t;
    }();
    return table;
}

CIObject::CIObject(CInterpretor* interpreter, const CClassRecord* record)
    : CILocation(interpreter, record) {
    animatedObject = this;
    channels_[kMeshChannel].timer.animation = kMeshChannel;
}

CIObject::~CIObject() = default;

CILocation* CIObject::Make(CInterpretor& interpreter, const CClassRecord* record) {
    auto* object = new (std::nothrow) CIObject(&interpreter, record);
    if (object != nullptr) object->inWorld_ = 1;
    return object;
}

CIWorld* CIObject::World() const {
    return static_cast<CIWorld*>(worldObject);
}

void CIObject::CallMethod(uint16_t methodId) {
    CallPlacedMethod(*this, Methods(), methodId);
}

void CIObject::Destroy(int flag) {
    interpreter->CancelDeferredPolygonChange(this);
    StopChannels();
    L3DObject* engine = DetachEngineObject();
    L3DWorld* scene = EngineWorld();
    if (engine != nullptr) {
        if (inWorld_ == 0) {
            delete engine;
        } else if (scene != nullptr && flag == 0) {
            scene->RemoveObject(engine);
            RefreshWorldViews();
        }
    }
    worldObject = nullptr;
    CILocation::Destroy(flag);
}

int CIObject::ReleaseReferencesTo(CIBaseClassImpl* object) {
    if (object == nullptr || worldObject == nullptr || object != worldObject)
        return CILocation::ReleaseReferencesTo(object);
    StopChannels();
    L3DObject* engine = DetachEngineObject();
    // Only the world's own objects go with it.
    if (engine != nullptr && inWorld_ == 0) delete engine;
    worldObject = nullptr;
    MarkDeleted();
    return 1;
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
    auto* engine = new (std::nothrow) L3DObject(name, owner->GetEngineWorld(), &link);
    if (engine == nullptr) in.RaiseError(15);
    worldObject = owner;
    engineObject = engine;
    location = engine;
    LocationChanged();
    Init(engine, engine, 0, this);
}

void CIObject::LocationChanged() {
    L3DWorld* scene = EngineWorld();
    if (scene == nullptr) return;
    if (engineObject != nullptr && inWorld_ == 0) {
        scene->AddObject(engineObject, 1);
        inWorld_ = 1;
    }
    RefreshWorldViews();
}

template <class Setter> void CIObject::Switch(Setter set) {
    const int on = interpreter->GetArgInt(0) != 0 ? 1 : 0;
    if (engineObject == nullptr) return;
    set(*engineObject, on);
    LocationChanged();
}

template <class Getter> void CIObject::Query(Getter get) {
    interpreter->GetResultSlot()->SetInt(engineObject != nullptr ? get(*engineObject) : 0);
}

bool CIObject::IsClone() const {
    return engineObject != nullptr && (engineObject->typeCode == L3DObject::kClone ||
                                       engineObject->typeCode == L3DObject::kAnimatedClone);
}

// ---- Methods ---------------------------------------------------------------------------

void CIObject::Scale() {
    if (engineObject == nullptr) return;
    if (interpreter->GetArgCount() == 1) {
        engineObject->ScaleUniform(float(interpreter->GetArgDouble(0)));
    } else {
        float factors[3];
        for (uint32_t i = 0; i < 3; ++i)
            factors[i] = interpreter->IsArgDefault(i) ? 1.0f : float(interpreter->GetArgDouble(i));
        engineObject->Scale(factors[0], factors[1], factors[2]);
    }
    LocationChanged();
}

void CIObject::GetNPolygons() {
    interpreter->GetResultSlot()->SetInt(engineObject != nullptr ? engineObject->GetPolygonCount(0)
                                                                 : 0);
}

void CIObject::SetStatic() {
    staticMark = 1;
}

void CIObject::GetNPoints() {
    interpreter->GetResultSlot()->SetInt(engineObject != nullptr ? engineObject->GetPointCount(0)
                                                                 : 0);
}

void CIObject::SetGouraud() {
    Switch([](L3DObject& o, int on) { o.SetGouraud(on); });
}

void CIObject::IsGouraud() {
    Query([](const L3DObject& o) { return o.IsGouraud(); });
}

void CIObject::SetLambert() {
    Switch([](L3DObject& o, int on) { o.SetLambert(on); });
}

void CIObject::IsLambert() {
    Query([](const L3DObject& o) { return o.IsLambert(); });
}

void CIObject::SetWireFrame() {
    Switch([](L3DObject& o, int on) { o.SetWireframe(on); });
}

void CIObject::SetFlat() {
    Switch([](L3DObject& o, int on) { o.SetFlat(on); });
}

void CIObject::SetMapped() {
    if (IsClone()) interpreter->RaiseError(126);
    Switch([](L3DObject& o, int on) { o.SetMapped(on); });
}

void CIObject::IsWireFrame() {
    Query([](const L3DObject& o) { return o.IsWireframe(); });
}

void CIObject::IsFlat() {
    Query([](const L3DObject& o) { return o.IsFlat(); });
}

void CIObject::IsMapped() {
    Query([](const L3DObject& o) { return o.IsMapped(); });
}

void CIObject::IsBoxVisible() {
    Query([](const L3DObject& o) { return o.IsBoxShown(); });
}

void CIObject::HideBox() {
    if (engineObject == nullptr) return;
    engineObject->ShowBox(0, 0);
    LocationChanged();
}

void CIObject::ShowBox() {
    if (engineObject == nullptr) return;
    engineObject->ShowBox(1, 0);
    LocationChanged();
}

void CIObject::GetWidth() {
    interpreter->GetResultSlot()->SetFloat(engineObject != nullptr ? engineObject->GetWidth()
                                                                   : 0.0);
}

void CIObject::GetHeight() {
    interpreter->GetResultSlot()->SetFloat(engineObject != nullptr ? engineObject->GetHeight()
                                                                   : 0.0);
}

void CIObject::GetDepth() {
    interpreter->GetResultSlot()->SetFloat(engineObject != nullptr ? engineObject->GetDepth()
                                                                   : 0.0);
}

void CIObject::Copy(bool clone) {
    if (IsClone()) interpreter->RaiseError(126);
    if (engineObject == nullptr) return interpreter->GetResultSlot()->SetInt(0);
    L3DLocation place;
    const L3DLocation* at = &place;
    const CValue* first = interpreter->GetArg(0);
    if (first->GetType() == kValueObject) {
        // A placed object gives its place; an object of another class leaves the placing
        // to the engine.
        const int32_t classId = first->GetObjectClassId();
        L3DObject* placed = IsPlacedClass(uint32_t(classId)) && uint32_t(classId) != kZoneClassId
                                ? static_cast<CILocation*>(first->GetObject())->engineObject
                                : nullptr;
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
    L3DObject* copy = clone ? engineObject->Clone(at) : engineObject->Duplicate(at);
    CIBaseClassImpl* wrapper =
        copy != nullptr ? GetScriptObject(*interpreter, worldObject, copy) : nullptr;
    if (wrapper != nullptr && wrapper->classRecord->classIndex == kClassId)
        static_cast<CIObject*>(wrapper)->animMode_ = animMode_;
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
