// The Object class: a mesh object of a World, as built by a script, made by a primitive
// or found in the world; its clones and duplicates. One engine object has at most one
// Object, linked both ways.
#pragma once

#include <cstdint>

#include "engine3d/scene/clbk_object.h"
#include "script/classes/base_class.h"

class CIWorld;
class L3DObject;

class CIObject final : public CIBaseClassImpl, public LCLBKObject {
public:
    static constexpr uint32_t kClassId = 62;
    static constexpr uint32_t kFirstClassLevelId = 0x80;

    CIObject(CInterpretor* interpreter, const CClassRecord* record);
    ~CIObject() override;

    void CallMethod(uint16_t methodId) override;
    // An object not yet in the world is deleted; one in it leaves the world, unless the
    // World is deleting it or the interpreter is ending.
    void Destroy(int flag) override;
    // The World going detaches the Object, which is deleted with it.
    int ReleaseReferencesTo(CIBaseClassImpl* object) override;
    // new Object(world [, name]).
    void Create() override;
    // An Object is never collected: the script reaches it through its World.
    int IsReferenced() override { return 1; }
    void EngineObjectDestroyed() override;

    // The Object of an engine object of the World, made on first use; null for none or
    // for an engine object of another kind.
    static CIObject* GetWrapper(CInterpretor& interpreter, CIWorld* world, L3DObject* object);

    // Joins the world when not in it yet, then the World's cameras repaint.
    void LocationChanged();
    L3DObject* GetEngineObject() const { return object_; }
    // The World is going: the Object keeps nothing of it.
    void ForgetWorld();

    CIWorld* world = nullptr;

private:
    // The engine's switch of a rendering mode from argument 0, then a repaint.
    void Switch(void (L3DObject::*set)(int));
    // The engine's answer as an integer.
    void Query(int (L3DObject::*query)() const);
    // Clone or Duplicate from the location arguments.
    void Copy(bool clone);
    bool IsClone() const;

    void Scale();
    void GetNPolygons();
    void SetGouraud();
    void IsGouraud();
    void SetLambert();
    void IsLambert();
    void GetWidth();
    void GetHeight();
    void GetDepth();
    void HideBox();
    void ShowBox();
    void IsBoxVisible();
    void SetWireFrame();
    void SetFlat();
    void SetMapped();
    void IsWireFrame();
    void IsFlat();
    void IsMapped();
    void GetNPoints();
    void Clone();
    void Duplicate();

    static const ScriptMethod<CIObject> kMethods[0x7C];

    L3DObject* object_ = nullptr;
    uint32_t inWorld_ = 0;
};

const ScriptClassInfo* GetObjectClassInfo();
