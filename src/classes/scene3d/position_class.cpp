#include "classes/scene3d/position_class.h"

#include <new>

#include "classes/scene3d/location_method_table.h"
#include "engine3d/scene/objects/world.h"
#include "script/interpreter/interpretor.h"

namespace {

const MethodNameRow kNameTable[] = {
    {CIPosition::kClassId, "Position", 0, 0},
    ZORV_LOCATION_METHOD_ROWS,
    ZORV_COLLISION_TYPE_ROWS(0x45),
    {0, nullptr, 0, 0},
};

const ClassLevelHandler kConstants[] = {ZORV_COLLISION_TYPE_HANDLERS};

CIBaseClassImpl* NewPosition(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIPosition(&interpreter, record);
}

const ScriptClassInfo kClassInfo = {kNameTable, NewPosition, 0x44, kConstants, 3, nullptr, nullptr};

} // namespace

const ScriptClassInfo* CIPosition::GetClassInfo() {
    return &kClassInfo;
}

CIPosition::CIPosition(CInterpretor* interpreter, const CClassRecord* record)
    : CILocation(interpreter, record) {}

void CIPosition::CallMethod(uint16_t methodId) {
    CallLocationMethod(*this, methodId);
}

void CIPosition::Create() {
    if (!interpreter->GetArg(0)->IsObjectOfClass(kWorldClassId)) interpreter->RaiseError(54);
    CIBaseClassImpl* world = interpreter->GetArg(0)->GetObject();
    if (EngineWorldOf(world) == nullptr) interpreter->RaiseError(55);
    L3DLocation place;
    if (interpreter->GetArgCount() >= 2) ReadPlace(place, 1, true, true);
    MakeEngineObject(&place, world);
}

CIPosition* CIPosition::MakeAt(CInterpretor& interpreter, CIBaseClassImpl* world,
                               const L3DLocation* place) {
    auto* position =
        new (std::nothrow) CIPosition(&interpreter, interpreter.GetClassRecord(kClassId));
    if (position == nullptr) interpreter.RaiseError(15);
    position->MakeEngineObject(place, world);
    return position;
}

void CIPosition::MakeEngineObject(const L3DLocation* place, CIBaseClassImpl* world) {
    auto* object = new (std::nothrow) L3DObject("", EngineWorldOf(world), &link);
    if (object == nullptr) interpreter->RaiseError(15);
    if (place != nullptr) {
        L3DLocation copy(*place);
        object->SetFrom(copy);
    }
    engineObject = object;
    location = object;
    worldObject = world;
    inWorld = 0;
    LocationChanged();
    Init(object, object, 0, nullptr);
}

void CIPosition::LocationChanged() {
    if (engineObject != nullptr && inWorld == 0) {
        if (L3DWorld* world = EngineWorld()) {
            world->AddObject(engineObject, 1);
            inWorld = 1;
        }
    }
    RefreshWorldViews();
}

void CIPosition::Destroy(int flag) {
    L3DObject* object = DetachEngineObject();
    if (object != nullptr) {
        if (inWorld == 0) {
            delete object;
        } else if (L3DWorld* world = EngineWorld(); world != nullptr && flag == 0) {
            // A Position hung under another object is not in the world's list, and a world
            // that does not delete what leaves it would keep it for ever.
            if (world->RemoveObject(object) != 0 || world->autoDelete != 1) delete object;
            RefreshWorldViews();
        }
    }
    CILocation::Destroy(flag);
}

int CIPosition::ReleaseReferencesTo(CIBaseClassImpl* object) {
    return ReleaseWorldReferences(object);
}
