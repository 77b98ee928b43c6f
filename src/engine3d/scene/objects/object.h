// The base of every thing in a scene world: a mesh of frames, a transform, a link to the
// script object that wraps it and a type code, with its flag word, its children and its
// bounding-box object.
#pragma once

#include <cstdint>
#include <memory>

#include "engine3d/scene/clbk_object.h"
#include "engine3d/scene/key_track.h"
#include "engine3d/scene/location.h"
#include "engine3d/scene/mesh/mesh_frames.h"

class L3DWorld;
class LMaterial;
class LPolygon;
class L3DPoint;

class L3DObjectType {
public:
    uint32_t typeCode = 0xFFFFFFFFu;
};

class L3DObject : public LMultiBasePoly,
                  public L3DLocation,
                  public LManageCLBKObject,
                  public L3DObjectType {
public:
    static constexpr uint32_t kPlain = 0x000A;
    static constexpr uint32_t kAnimated = 0x0402;
    static constexpr uint32_t kClone = 0x800A;
    static constexpr uint32_t kAnimatedClone = 0x840A;
    static constexpr uint32_t kCamera = 0x0804;
    static constexpr uint32_t kDummy = 0x10002;

    static constexpr uint32_t kGouraud = 0x10;
    static constexpr uint32_t kLambert = 0x20;
    static constexpr uint32_t kHiddenFlag = 0x200;
    static constexpr uint32_t kBoxShown = 0x400;
    static constexpr uint32_t kUnlit = 0x800;
    static constexpr uint32_t kStatic = 0x1000;
    static constexpr uint32_t kDynamic = 0x2000;
    static constexpr uint32_t kOwnsBox = 0x10000;
    static constexpr uint32_t kCollision = 0x20000;
    static constexpr uint32_t kMovable = 0x80000;
    static constexpr uint32_t kShadowShown = 0x400000;
    static constexpr uint32_t kAxisShown = 0x800000;
    static constexpr uint32_t kPersistent = 0x2000000;
    static constexpr uint32_t kShadowReceiver = 0x4000000;
    static constexpr uint32_t kInitialFlags = kUnlit | kDynamic | kPersistent;

    L3DObject(const char* name, L3DWorld* world, LCLBKObject* link);
    ~L3DObject() override;

    // Slots 15-18.
    virtual int32_t GetPolygonCount(int withChildren) const;
    virtual bool HasPolygons(int withChildren) const;
    // 5 for a polygon of neither 3 nor 4 vertices.
    virtual int AddPolygon(LPolygon* polygon, int update);
    virtual int32_t GetPointCount(int withChildren) const;
    // Slots 31-42.
    virtual int IsShadowReceiver() const { return (objectFlags & kShadowReceiver) != 0; }
    virtual int IsPersistent() const { return (objectFlags & kPersistent) != 0; }
    virtual int IsAxisShown() const { return (objectFlags & kAxisShown) != 0; }
    virtual int IsCollisionOn() const { return (objectFlags & kCollision) != 0; }
    virtual int IsBoxShown() const { return (objectFlags & kBoxShown) != 0; }
    virtual int IsVisible() const { return (objectFlags & kHiddenFlag) == 0; }
    virtual int IsGouraud() const { return (objectFlags & kGouraud) != 0; }
    virtual int IsLambert() const { return (objectFlags & kLambert) != 0; }
    virtual int IsDynamic() const { return (objectFlags & kDynamic) != 0; }
    virtual int IsFlat() const { return DrawingMode(4); }
    virtual int IsWireframe() const { return DrawingMode(2); }
    virtual int IsMapped() const { return DrawingMode(8); }
    // Slot 44.
    virtual float GetBoundingRadius() const { return boundingRadius; }
    // Slot 49.
    virtual void UpdateBox(int update);

    void GetName(char* buffer, int n) const;
    const char* RawName() const { return name_.get(); }
    void SetName(const char* text);
    L3DObject* FindChild(const char* name);
    int SetPolygonMaterial(int32_t i, LMaterial* material);
    void ReplaceMaterial(LMaterial* from, LMaterial* to, int children);
    void ApplyPlanarMapping();
    void ComputePointNormals(LPolygon* polygon, L3DPoint* point);
    // Hangs a child under this object (the hierarchy's own operations build on it).
    void LinkChild(L3DObject* child);
    void UnlinkChild(L3DObject* child);

    uint32_t batchingAllowed = 1;
    uint32_t followParent = 1;
    uint32_t gravity = 0;
    float collisionRadius = 0;
    uint32_t collisionRadiusSet = 0;
    float modelView[16] = {};
    L3DObject* animationSource = nullptr;
    int32_t cachedFrame = -1;
    uint32_t frameApplied = 0;
    uint32_t worldTransformValid = 0;
    uint8_t lightCount = 0;
    uint8_t secondLightCount = 0;
    uint8_t frameState = 2;
    uint32_t objectFlags = kInitialFlags;
    uint8_t visibleThisFrame = 1;
    int32_t cloneCount = 0;
    LList* children = nullptr;
    L3DObject* parent = nullptr;
    L3DObject* boxObject = nullptr;
    float lastValidPosition[4] = {};
    float boundingRadius = 0;
    uint32_t boundingRadiusValid = 0;
    std::unique_ptr<LKeyTrackSet> keyTracks;
    LPolygon* shadow = nullptr;
    uint32_t userValue = 0;
    int32_t shadowStrength = 128;
    // The source of a clone.
    L3DObject* source = nullptr;

private:
    int DrawingMode(uint32_t value) const;
    void BuildBox();

    std::unique_ptr<char[]> name_;
};

// The marker that names dummy objects, left out of the name objects show.
inline constexpr char kDummyMarker[] = "$$$DUMMY";
