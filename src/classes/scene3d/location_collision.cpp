// Collisions of placed objects: the engine asks the object's wrapper for the response to
// each contact it finds during a frame; the wrapper posts the World's OnCollide, records
// the pair for OnCollisions and lands a falling object on the floor it touched.
#include <algorithm>
#include <cfloat>
#include <new>

#include "classes/scene3d/location_class.h"
#include "classes/scene3d/polygon_class.h"
#include "classes/scene3d/vector_class.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/object.h"
#include "script/interpreter/interpretor.h"

namespace {

constexpr uint8_t kRespondNone = 0;
constexpr uint8_t kRespondStop = 2;
constexpr uint8_t kRespondSlide = 4;
// The side flag of a polygon facing down the Y axis: a floor.
constexpr uint8_t kFloorFlag = 0x02;

float ToFloat(double value) {
    return float(std::clamp(value, double(-FLT_MAX), double(FLT_MAX)));
}

// The collision type of an engine object: its wrapper's, STOP without one.
uint32_t TypeOf(const CILocation* wrapper) {
    return wrapper != nullptr ? wrapper->collisionType : CILocation::kCollisionStop;
}

void SetObjectOrZero(CValue& value, CIBaseClassImpl* object) {
    if (object != nullptr)
        value.SetObject(object, 1);
    else
        value.SetInt(0);
}

} // namespace

void CILocation::ApplyCollision(int on) {
    if (engineObject == nullptr) return;
    const uintptr_t world = on != 0 ? reinterpret_cast<uintptr_t>(worldObject) : 0;
    engineObject->SetCollisionContext(nullptr, on != 0 ? reinterpret_cast<uintptr_t>(this) : 0);
    engineObject->SetCollisionCallback(on != 0 ? &CollisionCallback : nullptr, 1, world);
    engineObject->SetCollisionResponseCallback(on != 0 ? &CollisionResponseCallback : nullptr, 1,
                                               world);
    engineObject->SetCollision(on);
}

uint8_t CILocation::CollisionCallback(int kind, L3DObject* object, L3DObject* other,
                                      LPolygon* polygon, float* contact, float*,
                                      uintptr_t worldObject) {
    auto* world = reinterpret_cast<CIBaseClassImpl*>(worldObject);
    CILocation* self = GetWrapper(object);
    CInterpretor* in = world != nullptr  ? world->interpreter
                       : self != nullptr ? self->interpreter
                                         : nullptr;
    if (in == nullptr) return kind == 0 ? kRespondStop : kRespondSlide;
    // Called from inside the engine's collision step: nothing may unwind through it. An
    // event that cannot be posted, or a wrapper that cannot be made, is dropped and the
    // engine stops the object, which it does for an object without a say.
    try {
        self = GetScriptObject(*in, world, object);
        CILocation* otherWrapper = other != nullptr ? GetScriptObject(*in, world, other) : nullptr;
        CIPolygon* face = polygon != nullptr ? CIPolygon::GetWrapper(*in, world, polygon) : nullptr;
        const int32_t flags = polygon != nullptr ? polygon->facingCode : 0;
        const LocationWorldServices* services = WorldServices();
        const BlockRecord* handler =
            world != nullptr && services != nullptr && services->collideHandler != nullptr
                ? services->collideHandler(world)
                : nullptr;
        if (handler != nullptr) {
            CValue vector(in);
            if (contact != nullptr)
                vector.SetObject(CIVector::Make(*in, contact), 1);
            else
                vector.SetInt(0);
            const CValue source(world);
            CValue first(in), second(in), third(in);
            SetObjectOrZero(first, self);
            SetObjectOrZero(second, otherWrapper);
            SetObjectOrZero(third, face);
            CValue side(in);
            side.SetInt(flags);
            in->PostEvent(handler, &source, &first, &second, &third, &vector, &side);
        }
        if (world != nullptr && services != nullptr && services->recordCollision != nullptr &&
            self != nullptr && otherWrapper != nullptr)
            services->recordCollision(world, self, otherWrapper);
        if (kind != 0) return kRespondSlide;
        if (TypeOf(self) == kCollisionNone ||
            (other != nullptr && TypeOf(otherWrapper) == kCollisionNone))
            return kRespondNone;
        return TypeOf(self) == kCollisionStop ? kRespondStop : kRespondSlide;
    } catch (CIError* error) {
        delete error;
    } catch (const std::bad_alloc&) {}
    return kRespondStop;
}

void CILocation::CollisionResponseCallback(uint8_t, int kind, L3DObject* object, LPolygon* polygon,
                                           uintptr_t worldObject) {
    if (kind != 2 || polygon == nullptr || (polygon->facingCode & kFloorFlag) == 0) return;
    auto* world = reinterpret_cast<CIBaseClassImpl*>(worldObject);
    CILocation* self = GetWrapper(object);
    try {
        if (self == nullptr && world != nullptr)
            self = GetScriptObject(*world->interpreter, world, object);
    } catch (CIError* error) {
        delete error;
        return;
    }
    if (self == nullptr) return;
    self->speed = 0;
    self->resting = 1;
    float below = 9999999.0f, above = 9999999.0f;
    const float p[4] = {object->position[0], object->position[1], object->position[2], 0};
    object->GetCollisionExtents(p, &below, &above);
    self->clearance = std::min(self->clearance, below);
}

void CILocation::SetCollision() {
    const int32_t on = interpreter->GetArgInt(0);
    if (on != 0 && on != 1) interpreter->RaiseError(14);
    if (engineObject == nullptr) return;
    if (interpreter->IsArgDefault(1)) {
        collisionType = kCollisionStop;
    } else {
        const int32_t type = interpreter->GetArgInt(1);
        if (type < 0 || type > 2) interpreter->RaiseError(14);
        collisionType = uint32_t(type);
    }
    ApplyCollision(on);
}

void CILocation::SetCollisionType() {
    if (interpreter->IsArgDefault(0)) {
        collisionType = kCollisionStop;
        return;
    }
    const int32_t type = interpreter->GetArgInt(0);
    if (type < 0 || type > 2) interpreter->RaiseError(14);
    collisionType = uint32_t(type);
}

void CILocation::SetCollisionRadius() {
    if (engineObject == nullptr || interpreter->IsArgDefault(0)) return;
    engineObject->SetCollisionRadius(ToFloat(interpreter->GetArgDouble(0)));
    LocationChanged();
}

void CILocation::GetCollisionRadius() {
    interpreter->GetResultSlot()->SetFloat(
        engineObject != nullptr ? engineObject->GetCollisionRadius() : 0.0);
}
