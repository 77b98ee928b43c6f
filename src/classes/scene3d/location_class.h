// The script side of every placed 3D object: Blob, Camera, Light, Object, Position, Speaker
// and Zone derive from CILocation. It wraps one engine object through the object's
// location, carries the 67 methods every placed class shares (ids 1 to 67, see
// location_method_table.h), keeps the gravity state and the collision type, and hears
// from the engine object, through its link, when the engine destroys it.
//
// A placed class:
//   - constructs its engine object (or wraps an existing one) and calls Init with it,
//     after pointing the engine object's link at `link` (AttachEngineObject does both);
//   - dispatches ids 1 to 67 through the shared table and its own ids from 68 on;
//   - in Destroy, calls DetachEngineObject or its own teardown, then CILocation::Destroy.
#pragma once

#include <cstdint>

#include "classes/scene3d/movement/movement_controller.h"
#include "engine3d/scene/clbk_object.h"
#include "script/classes/base_class.h"
#include "script/runtime/time_driven.h"
#include "script/values/value.h"

class CILocation;
class CTDMSimple;
class L3DLocation;
class L3DObject;
class L3DWorld;
class LPolygon;
struct BlockRecord;

// What the placed classes need of a World object; the World class provides it when it
// registers (CILocation::SetWorldServices).
struct LocationWorldServices {
    // The World's engine world; null when it has none.
    L3DWorld* (*engineWorld)(CIBaseClassImpl* world);
    // Each camera of the World's render list has its surface repainted.
    void (*refreshViews)(CIBaseClassImpl* world);
    // The World's OnCollide handler; null when none is set.
    const BlockRecord* (*collideHandler)(CIBaseClassImpl* world);
    // The pair goes on the World's list for OnCollisions.
    void (*recordCollision)(CIBaseClassImpl* world, CIBaseClassImpl* first,
                            CIBaseClassImpl* second);
    // A placed object going leaves the pair list of every World.
    void (*forgetCollisionsOf)(CIBaseClassImpl* object);
};

// The link an engine object calls when it dies; it belongs to one wrapper.
class CILocationLink final : public LCLBKObject {
public:
    explicit CILocationLink(CILocation* owner) : owner(owner) {}
    void EngineObjectDestroyed() override;

    CILocation* const owner;
};

class CILocation : public CIBaseClassImpl, public CInterrupt {
public:
    // Class ids of the placed classes and of the classes their methods take or make.
    static constexpr uint32_t kCameraClassId = 0x3D;
    static constexpr uint32_t kObjectClassId = 0x3E;
    static constexpr uint32_t kLightClassId = 0x3F;
    static constexpr uint32_t kPositionClassId = 0x40;
    static constexpr uint32_t kTextureClassId = 0x41;
    static constexpr uint32_t kZoneClassId = 0x42;
    static constexpr uint32_t kSpeakerClassId = 0x43;
    static constexpr uint32_t kBlobClassId = 0x44;
    static constexpr uint32_t kWorldClassId = 0x45;
    static constexpr uint32_t kVectorClassId = 0x47;
    static constexpr uint32_t kMatrixClassId = 0x48;

    static constexpr uint32_t kCollisionNone = 0;
    static constexpr uint32_t kCollisionStop = 1;
    static constexpr uint32_t kCollisionSlide = 2;

    // Engine type codes of the wrapped objects.
    static constexpr uint32_t kLightType = 0x0044;
    static constexpr uint32_t kLightType2 = 0x1004;
    static constexpr uint32_t kSoundType = 0x0204;
    static constexpr uint32_t kZoneType = 0x2004;
    static constexpr uint32_t kBlobType = 0x4004;

    CILocation(CInterpretor* interpreter, const CClassRecord* record);
    ~CILocation() override;

    // Leaves the moving list, deletes the controller and every controller involving
    // this object, then deletes the object. Subclasses first let go of their engine
    // object.
    void Destroy(int flag) override;
    // Drops the controller when it targets `object`.
    int ReleaseReferencesTo(CIBaseClassImpl* object) override;
    // Placed objects are never collected.
    int IsReferenced() override { return 1; }
    int32_t GetProjectKindMask() override { return -1; }
    // After a change of place, orientation, visibility or hierarchy: the owning World's
    // views repaint. Nothing here; the classes with views to tell override it.
    virtual void LocationChanged() {}
    // The timed relative moves and turns of an Object play its animation from the
    // arguments `firstArg` on; 1 when that started one. The other classes have none.
    virtual int StartMoveAnimation(uint32_t /*firstArg*/) { return 0; }
    // The move that started the animation has ended.
    virtual void StopMoveAnimation() {}
    // A wrapper GetScriptObject made around an existing engine object is complete; the
    // classes that need more than the engine object (a Speaker's camera and sound) take it
    // here.
    virtual void Wrapped() {}
    // The engine object is gone. While the interpreter deletes wrappers, the wrapper is
    // deleted; otherwise (a reset, a World's teardown) it is only detached.
    virtual void OnEngineObjectDeleted();
    // The interpreter's tick while the object has a gravity: the object falls, lands on
    // the floor under it or climbs back onto it (location_gravity.cpp). Never throws.
    void Tick(uint32_t now) override;

    // ---- Collisions (location_collision.cpp) -----------------------------------------
    // Hands the engine object the collision context and both callbacks, with the World
    // as their data, and switches its collisions on; or takes them away and switches off.
    void ApplyCollision(int on);
    // The engine asks for the response to a contact: 0 none, 2 stop, 4 slide. Posts the
    // World's OnCollide and records the pair for OnCollisions. Never throws: an event that
    // cannot be posted is dropped and the contact stops.
    static uint8_t CollisionCallback(int kind, L3DObject* object, L3DObject* other,
                                     LPolygon* polygon, float* contact, float* point,
                                     uintptr_t worldObject);
    // The engine applied `response`: a contact with a floor polygon lands a falling object.
    static void CollisionResponseCallback(uint8_t response, int kind, L3DObject* object,
                                          LPolygon* polygon, uintptr_t worldObject);

    // Stores the engine object and its location, clears the floor clearance and
    // registers the object.
    void Init(L3DLocation* newLocation, L3DObject* newEngineObject, uint32_t newFlags,
              CIBaseClassImpl* newAnimatedObject);
    // The controller of `kind` (CTDMController::Kind): the present one when it is of that
    // kind, else a new one in place of the present one; null for kind 0 or another.
    CTDMController* SetMovement(uint32_t kind);
    // Forgets the controller, deleting it when asked, and sets the kind to 0.
    void ClearController(bool deleteIt);
    // Points the engine object's link at this wrapper, then Init.
    void AttachEngineObject(L3DObject* object);
    // Clears the engine object's link to this wrapper and forgets the engine object,
    // which is returned (null when there was none) for the class to delete or unlist.
    L3DObject* DetachEngineObject();

    // The wrapper of an engine object, made on first use for the classes that have a
    // maker; null for null, for a type without a wrapper class, or when the maker fails.
    // Error 15 when a wrapper cannot be allocated.
    static CILocation* GetScriptObject(CInterpretor& interpreter, CIBaseClassImpl* worldObject,
                                       L3DObject* object);
    // The wrapper that the engine object's link points at, or null.
    static CILocation* GetWrapper(const L3DObject* object);
    // Makes a wrapper of class `classId` around an existing engine object: the object's
    // link, the world object and Init are left to GetScriptObject. Null when out of memory.
    using WrapperMaker = CILocation* (*)(CInterpretor& interpreter, const CClassRecord* record);
    static void SetWrapperMaker(uint32_t classId, WrapperMaker maker);

    // The World's part; null when no World class has registered.
    static void SetWorldServices(const LocationWorldServices* services);
    static const LocationWorldServices* WorldServices();
    // The engine world of `world` (a World object), or null.
    static L3DWorld* EngineWorldOf(CIBaseClassImpl* world);
    // The engine world of this object's World, or null.
    L3DWorld* EngineWorld() const { return EngineWorldOf(worldObject); }
    // The owning World's views repaint; nothing without a World.
    void RefreshWorldViews();

    // The placed object that argument `i` holds: an object of one of the six classes a
    // location argument may be (Zone is not one), with an engine object. Error 47 for
    // anything else, a detached wrapper included.
    CILocation* GetLocationArg(int32_t i);
    // True for the placed classes (Zone included).
    static bool IsPlacedClass(uint32_t classId);

    // ---- Shared script methods (ids in location_method_table.h) ---------------------
    void SetPosition();
    void GetPosition();
    void SetAngle();
    void Set();
    void AddAngle();
    void Move();
    void GetX();
    void GetY();
    void GetZ();
    void GetXAngle();
    void GetYAngle();
    void GetZAngle();
    void TurnUp();
    void TurnDown();
    void TurnRight();
    void TurnLeft();
    void TurnBack();
    void MoveRight();
    void MoveLeft();
    void MoveUp();
    void MoveDown();
    void MoveBack();
    void RollRight();
    void RollLeft();
    void TurnTo();
    void SubAngle();
    void AddPosition();
    void SubPosition();
    void SetGravity();
    void SetCollision();
    void SetCollisionType();
    void FindChild();
    void SetParent();
    void GetParent();
    void GetChild();
    void Show();
    void Hide();
    void IsVisible();
    void GetNChildren();
    void GetName();
    void SetName();
    void Recalc();
    void GetDistance();
    void SetRelativeAngle();
    void GetRotMatrix();
    void SetRotMatrix();
    void SetPrivateData();
    void GetPrivateData();
    void GetLookAtAngleX();
    void GetLookAtAngleY();
    void GetLookAtAngleZ();
    void GetDirectionVector();
    void InvertDirectionVector();
    void SetHotSpot();
    void GetHotSpotX();
    void GetHotSpotY();
    void GetHotSpotZ();
    void SetCollisionRadius();
    void GetCollisionRadius();
    void Follow();
    void LookAt();
    void Stop();
    void Pause();
    void Resume();
    void MoveAround();
    void Walk();
    void OnStopMovement();

    // ---- Fields ---------------------------------------------------------------------
    CIBaseClassImpl* worldObject = nullptr;
    // Starts at STOP: the engine may ask for it before the script set one.
    uint32_t collisionType = kCollisionStop;
    CValue privateData;
    uint32_t resting = 0;
    float speed = 0;
    float clearance = 0;
    float gravity = 0;
    float lastPosition[4] = {};
    uint32_t movingHandle = 0;
    const BlockRecord* onStopMovement = nullptr;
    CTDMController* controller = nullptr;
    L3DLocation* location = nullptr;
    L3DObject* engineObject = nullptr;
    CIBaseClassImpl* animatedObject = nullptr;
    uint32_t controllerKind = 0;
    uint32_t flags = 0;
    CILocationLink link{this};

protected:
    // Fills `target` from the arguments `first` on: an object of the six location classes
    // (error 47 for another) gives its position, its angles or both; numbers give x, y, z
    // then ax, ay, az, each missing one 0. True for the object form.
    bool ReadPlace(L3DLocation& target, uint32_t first, bool position, bool angles);
    // The release-references operation of Light, Position and Zone: the owning World
    // going, the engine object goes with it and this object is marked deleted; any other
    // object goes to the controller check.
    int ReleaseWorldReferences(CIBaseClassImpl* object);

private:
    // The relative moves and turns: `op` moves or turns the location by the amount at
    // once; with a duration the simple controller takes a step of `stepKind`.
    void RelativeStep(void (L3DLocation::*op)(float), bool isTurn, float sign, uint32_t stepKind);
    // ReadPlace from argument 0, then the duration of a timed form: argument `numericCount`
    // when exactly `timedCount` numbers were given, argument 1 when an object and one
    // more argument were. The duration in milliseconds, -1 for an immediate form.
    int64_t ReadTarget(L3DLocation& target, bool position, bool angles, int32_t numericCount,
                       int32_t timedCount);
    // The simple controller, made when the object has another kind.
    CTDMSimple& SimpleController();
    // A rotation tween to the angles plus (sign 1) or minus (sign -1) `change`, the
    // shorter way round.
    void StartAngleChange(const float* change, float sign, uint32_t ms);
    void LookAtAngle(int axis);
    void SwitchGravity(float value);
    // The two branches of the gravity tick.
    void Fall(uint32_t now);
    void Rest();
    // The engine location moves to `p` (only its Y when asked), which the next tick
    // measures from.
    void MoveTo(const float* p, bool onlyY);
};
