#include "classes/scene3d/zone_class.h"

#include <new>

#include "classes/scene3d/location_method_table.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/zones/zone.h"
#include "script/interpreter/interpretor.h"

namespace {

enum : uint16_t {
    kIsIn = kFirstOwnLocationMethod,
    kSetSize,
    kGetWidth,
    kGetHeight,
    kGetDepth,
};

const MethodNameRow kNameTable[] = {
    {CIZone::kClassId, "Zone", 0, 0},
    ZORV_LOCATION_METHOD_ROWS,
    {kIsIn, "IsIn", 0, 0},
    {kSetSize, "SetSize", 0, 0},
    {kGetWidth, "GetWidth", 0, 0},
    {kGetHeight, "GetHeight", 0, 0},
    {kGetDepth, "GetDepth", 0, 0},
    ZORV_COLLISION_TYPE_ROWS(0x4A),
    {0, nullptr, 0, 0},
};

const ClassLevelHandler kConstants[] = {ZORV_COLLISION_TYPE_HANDLERS};

CIBaseClassImpl* NewZone(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIZone(&interpreter, record);
}

const ScriptClassInfo kClassInfo = {kNameTable, NewZone, 0x49, kConstants, 3, nullptr, nullptr};

// Argument i as a size: the engine's keep value when missing.
int32_t ReadSize(CInterpretor& interpreter, uint32_t i, int32_t missing) {
    return interpreter.IsArgDefault(i) ? missing : interpreter.GetArgInt(i);
}

} // namespace

const ScriptMethod<CIZone> CIZone::kMethods[] = {
    nullptr,           ZORV_LOCATION_METHODS, &CIZone::IsIn,     &CIZone::SetSize,
    &CIZone::GetWidth, &CIZone::GetHeight,    &CIZone::GetDepth,
};

const ScriptClassInfo* CIZone::GetClassInfo() {
    return &kClassInfo;
}

CILocation* CIZone::MakeWrapper(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIZone(&interpreter, record);
}

CIZone::CIZone(CInterpretor* interpreter, const CClassRecord* record)
    : CILocation(interpreter, record) {}

void CIZone::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

L3DZone* CIZone::Zone() const {
    return static_cast<L3DZone*>(engineObject);
}

void CIZone::Create() {
    if (!interpreter->GetArg(0)->IsObjectOfClass(kWorldClassId)) interpreter->RaiseError(54);
    CIBaseClassImpl* world = interpreter->GetArg(0)->GetObject();
    L3DWorld* engineWorld = EngineWorldOf(world);
    if (engineWorld == nullptr) interpreter->RaiseError(55);
    L3DLocation place;
    const uint32_t sizes = ReadPlace(place, 1, true, false) ? 2 : 4;
    const int32_t width = ReadSize(*interpreter, sizes, kDefaultSize);
    const int32_t height = ReadSize(*interpreter, sizes + 1, kDefaultSize);
    const int32_t depth = ReadSize(*interpreter, sizes + 2, kDefaultSize);
    worldObject = world;
    L3DZone* zone = engineWorld->zones.CreateZone(&place, width, height, depth, 1, 0);
    zone->SetCLBKObject(&link);
    engineObject = zone;
    location = zone;
    LocationChanged();
    Init(zone, zone, 1, nullptr);
}

void CIZone::LocationChanged() {
    RefreshWorldViews();
}

void CIZone::Destroy(int flag) {
    auto* zone = static_cast<L3DZone*>(DetachEngineObject());
    if (zone != nullptr && worldObject != nullptr && flag == 0) {
        if (L3DWorld* world = EngineWorld()) {
            world->zones.RemoveZone(zone, 1);
            RefreshWorldViews();
        }
    }
    CILocation::Destroy(flag);
}

int CIZone::ReleaseReferencesTo(CIBaseClassImpl* object) {
    return ReleaseWorldReferences(object);
}

void CIZone::IsIn() {
    L3DLocation point;
    ReadPlace(point, 0, true, false);
    L3DZone* zone = Zone();
    interpreter->GetResultSlot()->SetInt(
        zone != nullptr && zone->ContainsPoint(point.position) ? 1 : 0);
}

void CIZone::SetSize() {
    if (interpreter->GetArgCount() > 3) interpreter->RaiseError(13);
    L3DZone* zone = Zone();
    if (zone == nullptr) return;
    zone->SetSize(nullptr, ReadSize(*interpreter, 0, int32_t(kKeepValue)),
                  ReadSize(*interpreter, 1, int32_t(kKeepValue)),
                  ReadSize(*interpreter, 2, int32_t(kKeepValue)), zone->IsVisible());
    LocationChanged();
}

void CIZone::GetWidth() {
    L3DZone* zone = Zone();
    interpreter->GetResultSlot()->SetInt(zone != nullptr ? int32_t(zone->GetWidth()) : 0);
}

void CIZone::GetHeight() {
    L3DZone* zone = Zone();
    interpreter->GetResultSlot()->SetInt(zone != nullptr ? int32_t(zone->GetHeight()) : 0);
}

void CIZone::GetDepth() {
    L3DZone* zone = Zone();
    interpreter->GetResultSlot()->SetInt(zone != nullptr ? int32_t(zone->GetDepth()) : 0);
}
