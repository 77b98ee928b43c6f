// The Point3D class: the script view of one vertex of a World, a free point of the World
// or a point of an Object's mesh. The wrapper does not own a mesh point: the point lists
// and faces that use it do, and its death reaches the wrapper through the point's link.
// A free point belongs to its wrapper until a face takes it.
#pragma once

#include <cstdint>
#include <vector>

#include "engine3d/scene/clbk_object.h"
#include "script/classes/base_class.h"

class CIObject;
class L3DPoint;

class CIPoint3D;

// The link a point calls when it dies.
class CIPoint3DLink final : public LCLBKObject {
public:
    explicit CIPoint3DLink(CIPoint3D* owner) : owner(owner) {}
    void EngineObjectDestroyed() override;

    CIPoint3D* const owner;
};

class CIPoint3D final : public CIBaseClassImpl {
public:
    static constexpr uint32_t kClassId = 75;

    CIPoint3D(CInterpretor* interpreter, const CClassRecord* record);
    ~CIPoint3D() override;

    void CallMethod(uint16_t methodId) override;
    void Destroy(int flag) override;
    // The World going: the point is forgotten (a free one deleted) and the wrapper goes.
    // An Object going only leaves the owners.
    int ReleaseReferencesTo(CIBaseClassImpl* object) override;
    // new Point3D(world, polygon or object [, x, y, z, u, v, u2, v2]).
    void Create() override;

    // The wrapper of a point of `world`, made on first use; `owner` (may be null) joins
    // the owners. Null for a null point; error 15 when it cannot be made.
    static CIPoint3D* GetWrapper(CInterpretor& interpreter, CIBaseClassImpl* world, L3DPoint* point,
                                 CIObject* owner);
    // The wrapper, or 0, as the method's result.
    static void SetResult(CInterpretor& interpreter, CIBaseClassImpl* world, L3DPoint* point,
                          CIObject* owner);
    static const ScriptClassInfo* GetClassInfo();

    L3DPoint* GetEnginePoint() const { return point_; }
    CIBaseClassImpl* GetWorld() const { return world_; }
    // A face of an Object now uses the point: its mesh keeps it from here on.
    void Adopted() { free_ = false; }
    void EnginePointDeleted();

private:
    void AddOwner(CIObject* owner);
    // Forgets the point, deleting a free one nothing uses.
    void LetGoOfPoint();
    // One of the setters of a value of the point that only repaints.
    void SetValue(float* field);
    void Coordinate(int axis);

    void GetX();
    void GetY();
    void GetZ();
    void SetX();
    void SetY();
    void SetZ();
    void GetXNormal();
    void GetYNormal();
    void GetZNormal();
    void SetXNormal();
    void SetYNormal();
    void SetZNormal();
    void GetMaterial();
    void SetU();
    void SetV();
    void GetU();
    void GetV();
    void GetIndex();
    void GetXWorld();
    void GetYWorld();
    void GetZWorld();
    void SetU2();
    void SetV2();
    void GetU2();
    void GetV2();

    static const ScriptMethod<CIPoint3D> kMethods[0x1A];

    CIBaseClassImpl* world_ = nullptr;
    L3DPoint* point_ = nullptr;
    std::vector<CIObject*> owners_;
    bool free_ = false;
    CIPoint3DLink link_{this};
};
