#include "classes/scene3d/light_class.h"

#include <new>

#include "classes/scene3d/location_method_table.h"
#include "engine3d/scene/lights/light.h"
#include "engine3d/scene/lights/light_list.h"
#include "engine3d/scene/objects/world.h"
#include "script/interpreter/interpretor.h"

namespace {

enum : uint16_t {
    kSetIntensity = kFirstOwnLocationMethod,
    kSetRadius,
    kGetColor,
    kGetIntensity,
    kGetRadius,
    kSetColor,
    kHideBox,
    kShowBox,
    kIsBoxVisible,
};

constexpr uint32_t kFirstConstant = 0x4E;

const MethodNameRow kNameTable[] = {
    {CILight::kClassId, "Light", 0, 0},
    ZORV_LOCATION_METHOD_ROWS,
    {kSetIntensity, "SetIntensity", 0, 0},
    {kSetRadius, "SetRadius", 0, 0},
    {kGetColor, "GetColor", 0, 0},
    {kGetIntensity, "GetIntensity", 0, 0},
    {kGetRadius, "GetRadius", 0, 0},
    {kSetColor, "SetColor", 0, 0},
    {kHideBox, "HideBox", 0, 0},
    {kShowBox, "ShowBox", 0, 0},
    {kIsBoxVisible, "IsBoxVisible", 0, 0},
    ZORV_COLLISION_TYPE_ROWS(kFirstConstant),
    {kFirstConstant + 3, "STATIC", 0, kRowConstant},
    {kFirstConstant + 4, "DYNAMIC", 0, kRowConstant},
    {0, nullptr, 0, 0},
};

const ClassLevelHandler kConstants[] = {
    ZORV_COLLISION_TYPE_HANDLERS,
    &LocationConstant<int32_t(CILight::kStatic)>,
    &LocationConstant<int32_t(CILight::kDynamic)>,
};

CIBaseClassImpl* NewLight(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CILight(&interpreter, record);
}

const ScriptClassInfo kClassInfo = {kNameTable, NewLight, kFirstConstant - 1, kConstants, 5,
                                    nullptr,    nullptr};

// Script colours are 0xRRGGBB, the engine's have red and blue exchanged.
uint32_t SwapRedBlue(uint32_t colour) {
    return (colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF);
}

} // namespace

const ScriptMethod<CILight> CILight::kMethods[] = {
    nullptr,
    ZORV_LOCATION_METHODS,
    &CILight::SetIntensity,
    &CILight::SetRadius,
    &CILight::GetColor,
    &CILight::GetIntensity,
    &CILight::GetRadius,
    &CILight::SetColor,
    &CILight::HideBox,
    &CILight::ShowBox,
    &CILight::IsBoxVisible,
};

const ScriptClassInfo* CILight::GetClassInfo() {
    return &kClassInfo;
}

CILocation* CILight::MakeWrapper(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CILight(&interpreter, record);
}

CILight::CILight(CInterpretor* interpreter, const CClassRecord* record)
    : CILocation(interpreter, record) {}

void CILight::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

L3DLight* CILight::Light() const {
    return static_cast<L3DLight*>(engineObject);
}

void CILight::Create() {
    const int32_t count = interpreter->GetArgCount();
    CIBaseClassImpl* world = nullptr;
    const CILocation* place = nullptr;
    // Colour, intensity, radius and kind, in that order.
    int32_t values[4] = {0xFFFFFF, 100, 40, 0};
    int32_t next = 0;
    for (int32_t i = 0; i < count; ++i) {
        CValue* arg = interpreter->GetArg(uint32_t(i));
        if (arg->GetType() == kValueObject) {
            const int32_t classId = arg->GetObjectClassId();
            if (classId == int32_t(kWorldClassId)) {
                world = arg->GetObject();
                continue;
            }
            if (classId < 0 || !IsPlacedClass(uint32_t(classId)) ||
                uint32_t(classId) == kZoneClassId)
                interpreter->RaiseError(14);
            place = static_cast<CILocation*>(arg->GetObject());
            // A placed object whose engine object is gone has no place to give.
            if (place->location == nullptr) interpreter->RaiseError(47);
            continue;
        }
        if (next < 4 && !arg->IsDefault()) values[next] = arg->GetInt();
        ++next;
    }
    if (world == nullptr) interpreter->RaiseError(50);
    L3DWorld* engineWorld = EngineWorldOf(world);
    if (engineWorld == nullptr || engineWorld->lights == nullptr) interpreter->RaiseError(55);
    kind = uint32_t(values[3]) == kStatic ? kStaticKind : kDynamicKind;
    const float* position = place != nullptr ? place->location->position : nullptr;
    L3DLight* light = engineWorld->lights->CreateLight(kind, position, values[2], values[1],
                                                       SwapRedBlue(uint32_t(values[0])), 0);
    if (light == nullptr) interpreter->RaiseError(15);
    if (place != nullptr) light->SetAnglesFrom(*place->location, 0);
    worldObject = world;
    light->SetCLBKObject(&link);
    engineObject = light;
    location = light;
    LocationChanged();
    Init(light, light, 1, nullptr);
}

void CILight::LocationChanged() {
    RefreshWorldViews();
}

void CILight::Destroy(int flag) {
    auto* light = static_cast<L3DLight*>(DetachEngineObject());
    if (light != nullptr && worldObject != nullptr && flag == 0) {
        L3DWorld* world = EngineWorld();
        if (world != nullptr && world->lights != nullptr) {
            world->lights->RemoveLight(light, 1);
            RefreshWorldViews();
        }
    }
    CILocation::Destroy(flag);
}

int CILight::ReleaseReferencesTo(CIBaseClassImpl* object) {
    return ReleaseWorldReferences(object);
}

void CILight::SetIntensity() {
    L3DLight* light = Light();
    if (light == nullptr || interpreter->IsArgDefault(0)) return;
    light->SetIntensityAndRadius(int32_t(kKeepValue), interpreter->GetArgInt(0),
                                 light->IsVisible());
    LocationChanged();
}

void CILight::SetRadius() {
    L3DLight* light = Light();
    if (light == nullptr || interpreter->IsArgDefault(0)) return;
    light->SetIntensityAndRadius(interpreter->GetArgInt(0), int32_t(kKeepValue),
                                 light->IsVisible());
    LocationChanged();
}

void CILight::SetColor() {
    L3DLight* light = Light();
    if (light == nullptr) return;
    // A missing colour keeps the present one; the views still repaint.
    if (!interpreter->IsArgDefault(0))
        light->SetColor(SwapRedBlue(uint32_t(interpreter->GetArgInt(0))));
    LocationChanged();
}

void CILight::GetColor() {
    L3DLight* light = Light();
    interpreter->GetResultSlot()->SetInt(light != nullptr ? int32_t(SwapRedBlue(light->GetColor()))
                                                          : 0);
}

void CILight::GetIntensity() {
    L3DLight* light = Light();
    interpreter->GetResultSlot()->SetInt(light != nullptr ? light->GetIntensity() : 0);
}

void CILight::GetRadius() {
    L3DLight* light = Light();
    interpreter->GetResultSlot()->SetInt(light != nullptr ? light->GetRadius() : 0);
}

void CILight::HideBox() {
    L3DLight* light = Light();
    if (light == nullptr) return;
    light->ShowBox(0, 0);
    LocationChanged();
}

void CILight::ShowBox() {
    L3DLight* light = Light();
    if (light == nullptr) return;
    light->ShowBox(1, 0);
    LocationChanged();
}

void CILight::IsBoxVisible() {
    L3DLight* light = Light();
    interpreter->GetResultSlot()->SetInt(light != nullptr && light->IsBoxShown() != 0 ? 1 : 0);
}
