// The Polygon class: the script view of one face of an Object's mesh. The wrapper does
// not own the face: the mesh does, and the face's death reaches the wrapper through the
// face's link.
#pragma once

#include <cstdint>

#include "engine3d/scene/clbk_object.h"
#include "script/classes/base_class.h"

class CIObject;
class LPolygon;

class CIPolygon;

// The link a face calls when it dies.
class CIPolygonLink final : public LCLBKObject {
public:
    explicit CIPolygonLink(CIPolygon* owner) : owner(owner) {}
    void EngineObjectDestroyed() override;

    CIPolygon* const owner;
};

class CIPolygon final : public CIBaseClassImpl {
public:
    static constexpr uint32_t kClassId = 74;

    CIPolygon(CInterpretor* interpreter, const CClassRecord* record);
    ~CIPolygon() override;

    void CallMethod(uint16_t methodId) override;
    // The face's Object repaints, unless the interpreter is ending; the face stays.
    void Destroy(int flag) override;
    // The Object going takes the wrapper with it.
    int ReleaseReferencesTo(CIBaseClassImpl* object) override;
    // new Polygon(object, point arguments...).
    void Create() override;

    // The wrapper of a face of an Object of `world`, made on first use; null for a null
    // face or one without owner. Error 15 when it cannot be made.
    static CIPolygon* GetWrapper(CInterpretor& interpreter, CIBaseClassImpl* world,
                                 LPolygon* polygon);
    // The wrapper, or 0, as the method's result.
    static void SetResult(CInterpretor& interpreter, CIBaseClassImpl* world, LPolygon* polygon);
    static const ScriptClassInfo* GetClassInfo();

    LPolygon* GetEnginePolygon() const { return polygon_; }
    CIObject* GetObject() const { return object_; }
    void EnginePolygonDeleted();

private:
    // The Object, with its face, or null when either is gone.
    CIObject* LiveObject() const;

    void GetNPoints();
    void GetPoint();
    void Invert();
    void Rotate();
    void RemovePoint();
    void AddPoints();
    void InsertPoints();
    void GetIndexInObject();
    void SetMaterial();
    void GetMaterial();
    void GetParent();

    static const ScriptMethod<CIPolygon> kMethods[0x0C];

    LPolygon* polygon_ = nullptr;
    CIObject* object_ = nullptr;
    CIPolygonLink link_{this};
};
