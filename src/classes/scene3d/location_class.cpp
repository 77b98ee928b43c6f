#include "classes/scene3d/location_class.h"

#include "engine3d/scene/objects/object.h"
#include "script/interpreter/interpretor.h"

namespace {

// The makers of wrappers around existing engine objects, by class id (0x3D to 0x44).
constexpr uint32_t kFirstPlacedClass = CILocation::kCameraClassId;
constexpr uint32_t kLastPlacedClass = CILocation::kBlobClassId;
CILocation::WrapperMaker gMakers[kLastPlacedClass - kFirstPlacedClass + 1] = {};
const LocationWorldServices* gWorldServices = nullptr;

// The wrapper class of an engine type code; 0 for none.
uint32_t WrapperClassOf(uint32_t typeCode) {
    switch (typeCode) {
    case L3DObject::kPlain:
    case L3DObject::kAnimated:
    case L3DObject::kClone:
    case L3DObject::kAnimatedClone:
    case L3DObject::kDummy:
        return CILocation::kObjectClassId;
    case CILocation::kLightType:
    case CILocation::kLightType2:
        return CILocation::kLightClassId;
    case L3DObject::kCamera:
        return CILocation::kCameraClassId;
    case CILocation::kSoundType:
        return CILocation::kSpeakerClassId;
    case CILocation::kZoneType:
        return CILocation::kZoneClassId;
    case CILocation::kBlobType:
        return CILocation::kBlobClassId;
    default:
        return 0;
    }
}

} // namespace

void CILocationLink::EngineObjectDestroyed() {
    owner->OnEngineObjectDeleted();
}

CILocation::CILocation(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1), privateData(interpreter) {}

CILocation::~CILocation() {
    // A wrapper deleted without its class's destroy must not stay reachable from the
    // engine object, nor from a controller.
    DetachEngineObject();
    ClearController(true);
    CTDMTargeted::DeleteTargeting(this);
    // A pair naming this object would hand a freed object to the next OnCollisions.
    if (gWorldServices != nullptr && gWorldServices->forgetCollisionsOf != nullptr)
        gWorldServices->forgetCollisionsOf(this);
}

void CILocation::Destroy(int flag) {
    if (movingHandle != 0) {
        interpreter->RemoveMovingLocation(this);
        movingHandle = 0;
    }
    ClearController(true);
    interpreter->RemoveMovementsOf(this);
    CTDMTargeted::DeleteTargeting(this);
    CIBaseClassImpl::Destroy(flag);
    delete this;
}

int CILocation::ReleaseReferencesTo(CIBaseClassImpl* object) {
    if (controller == nullptr || !controller->Targets(object)) return 0;
    ClearController(true);
    return 1;
}

int CILocation::ReleaseWorldReferences(CIBaseClassImpl* object) {
    if (object == nullptr || object != worldObject) return CILocation::ReleaseReferencesTo(object);
    worldObject = nullptr;
    DetachEngineObject();
    MarkDeleted();
    return 1;
}

void CILocation::OnEngineObjectDeleted() {
    if (engineObject == nullptr) return;
    engineObject = nullptr;
    location = nullptr;
    if (interpreter->deleteWrappers != 0) interpreter->DeleteObject(this);
}

void CILocation::Init(L3DLocation* newLocation, L3DObject* newEngineObject, uint32_t newFlags,
                      CIBaseClassImpl* newAnimatedObject) {
    location = newLocation;
    engineObject = newEngineObject;
    animatedObject = newAnimatedObject;
    clearance = 0;
    flags = newFlags;
    Register();
}

void CILocation::AttachEngineObject(L3DObject* object) {
    if (object != nullptr) object->SetCLBKObject(&link);
    Init(object, object, 0, nullptr);
}

L3DObject* CILocation::DetachEngineObject() {
    L3DObject* object = engineObject;
    if (object != nullptr && object->GetCLBKObject() == &link) object->SetCLBKObject(nullptr);
    engineObject = nullptr;
    location = nullptr;
    return object;
}

CILocation* CILocation::GetWrapper(const L3DObject* object) {
    if (object == nullptr) return nullptr;
    // Every link an engine object of a scene carries belongs to a placed wrapper.
    auto* link = static_cast<CILocationLink*>(object->GetCLBKObject());
    return link != nullptr ? link->owner : nullptr;
}

void CILocation::SetWrapperMaker(uint32_t classId, WrapperMaker maker) {
    if (classId >= kFirstPlacedClass && classId <= kLastPlacedClass)
        gMakers[classId - kFirstPlacedClass] = maker;
}

CILocation* CILocation::GetScriptObject(CInterpretor& interpreter, CIBaseClassImpl* worldObject,
                                        L3DObject* object) {
    if (object == nullptr) return nullptr;
    if (CILocation* wrapper = GetWrapper(object)) return wrapper;
    uint32_t classId = WrapperClassOf(object->typeCode);
    if (classId == 0) return nullptr;
    WrapperMaker maker = gMakers[classId - kFirstPlacedClass];
    if (maker == nullptr) return nullptr;
    CILocation* wrapper = maker(interpreter, interpreter.GetClassRecord(classId));
    if (wrapper == nullptr) interpreter.RaiseError(15);
    object->SetCLBKObject(&wrapper->link);
    wrapper->worldObject = worldObject;
    wrapper->engineObject = object;
    wrapper->location = object;
    wrapper->LocationChanged();
    wrapper->Init(object, object, 0, wrapper->animatedObject);
    wrapper->Wrapped();
    return wrapper;
}

void CILocation::SetWorldServices(const LocationWorldServices* services) {
    gWorldServices = services;
}

const LocationWorldServices* CILocation::WorldServices() {
    return gWorldServices;
}

L3DWorld* CILocation::EngineWorldOf(CIBaseClassImpl* world) {
    if (world == nullptr || gWorldServices == nullptr) return nullptr;
    return gWorldServices->engineWorld(world);
}

void CILocation::RefreshWorldViews() {
    if (worldObject != nullptr && gWorldServices != nullptr)
        gWorldServices->refreshViews(worldObject);
}

bool CILocation::IsPlacedClass(uint32_t classId) {
    return classId >= kFirstPlacedClass && classId <= kLastPlacedClass &&
           classId != kTextureClassId;
}

CILocation* CILocation::GetLocationArg(int32_t i) {
    CValue* value = interpreter->GetArg(uint32_t(i));
    int32_t classId = value->GetType() == kValueObject ? value->GetObjectClassId() : -1;
    if (classId < 0 || !IsPlacedClass(uint32_t(classId)) || uint32_t(classId) == kZoneClassId)
        interpreter->RaiseError(47);
    auto* other = static_cast<CILocation*>(value->GetObject());
    if (other == nullptr || other->engineObject == nullptr) interpreter->RaiseError(47);
    return other;
}
