// The base of every thing in a scene world: a mesh of frames, a transform, a link to the
// script object that wraps it and a type code, with its flag word, its children and its
// bounding-box object.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "engine3d/scene/clbk_object.h"
#include "engine3d/scene/key_track.h"
#include "engine3d/scene/location.h"
#include "engine3d/scene/mesh/mesh_frames.h"

class ChunkWriter;
class L3DCamera;
struct L3DPlane;
class L3DLight;
class L3DWorld;
class LMaterial;
class LPolygon;
class L3DPoint;
class LTexture;

// The data words are pointer-sized: the script side hands its World object through them.
// Asked for the response to a contact: 0 ignore, 2 stop, 4 slide. Kind 0 is a contact
// with another object (polygon null), kind 2 one with a static polygon (other null). The
// offset is the contact point minus the previous position; both are four floats.
using CollisionChooser = uint8_t (*)(int kind, L3DObject* self, L3DObject* other, LPolygon* polygon,
                                     float* offset, float* contact, uintptr_t data);
// Told the response that was applied.
using CollisionNotifier = void (*)(uint8_t response, int kind, L3DObject* self, LPolygon* polygon,
                                   uintptr_t data);
// The movement check of a movement step: 1 when the object's position was changed.
using MovementCheck = int (*)(L3DObject* self, uintptr_t data);

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
    static constexpr uint32_t kOctreeNode = 0x20002;
    static constexpr int kMaxLights = 8;

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
    // 5 for a polygon of neither 3 nor 4 vertices. With update 1 the face also counts in
    // its points' normals, and an object its world lists gets its point normals and box
    // afresh (RefreshShape).
    virtual int AddPolygon(LPolygon* polygon, int update);
    // As AddPolygon(polygon, 1) but without the whole object's recomputation, which only
    // the finished mesh needs: a reader adding many faces calls RefreshShape after the last.
    int AddPolygonOfMany(LPolygon* polygon);
    void RefreshShape();
    virtual int32_t GetPointCount(int withChildren) const;
    // Slots 19-30; each drawing switch applies to the children too.
    virtual void SetWireframe(int on);
    virtual void SetFlat(int on);
    virtual void SetMapped(int on);
    virtual void SetGouraud(int on);
    virtual void SetLambert(int on);
    // When the cluster merges this object into `other`: an `other` without polygons of
    // its own takes this object's lighting, else this object takes `other`'s.
    void CopyLightingFrom(L3DObject& other);
    virtual void ShowBox(int on, int withChildren);
    virtual void Show();
    virtual void Hide(int withChildren);
    virtual void SetCollision(int on);
    virtual void ShowAxis(int on);
    // Off is refused for a child: a child is written with its parent.
    virtual void SetPersistent(int on);
    virtual void SetShadowReceiver(int on);
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
    // Slots 43-50.
    virtual void SetCollisionRadius(float r);
    virtual float GetBoundingRadius() const { return boundingRadius; }
    virtual void MakeStatic(int optimize);
    virtual void MakeDynamic();
    // Null for a source that is not dynamic.
    virtual L3DObject* Clone(const L3DLocation* location);
    // Null for an object that is not a mesh object.
    virtual L3DObject* Duplicate(const L3DLocation* location);
    virtual void UpdateBox(int update);
    virtual void RebuildMaterialBatches();
    // Slots 51-60.
    virtual void PickAtScreenPoint(L3DCamera& camera, const float* point, L3DObject** outObject,
                                   float* inOutDistance);
    // Nothing for an object that is not persistent; non-zero when a record of the tree
    // could not be written.
    virtual int Save(ChunkWriter& writer, uint32_t mask);
    virtual int CollideWithPolygons(L3DCamera& camera);
    virtual int CollideWithObject(L3DCamera& camera, L3DObject& other);
    virtual void TransformPoints(L3DCamera& camera);
    virtual void TransformMesh(L3DCamera& camera);
    // Projects the current frame's points through the camera, unless they were projected in
    // its current pass and none has been moved since.
    void ProjectPoints(L3DCamera& camera);
    virtual void Draw(L3DCamera& camera);
    virtual void Update(L3DCamera& camera);
    virtual void Render(L3DCamera& camera);
    virtual void ComputeWorldTransform(L3DCamera& camera);

    // The object's own named sequences (animated objects and clones); null for others.
    virtual LAnimationIK* Sequences() { return nullptr; }

    // Location slots: flag changes reach the children and the ancestors, moves and turns
    // carry the children along.
    void SetPositionChanged(int on) override;
    void SetRotationChanged(int on) override;
    int CanMove() override { return (objectFlags & (kDynamic | kMovable)) != 0 ? 1 : 0; }
    void OnMoved() override;
    void OnRotated() override;
    void OnBeforeRotate() override;
    void InvalidateTransform() override;
    void ValidateTransform() override;

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

    // Flags and switches.
    float GetCollisionRadius() const;
    void SetCollisionContext(MovementCheck check, uintptr_t data);
    void SetCollisionCallback(CollisionChooser fn, int withChildren, uintptr_t data);
    void SetCollisionResponseCallback(CollisionNotifier fn, int withChildren, uintptr_t data);
    // The clone's flags follow this object's, keeping the clone's own shown box; null
    // for every clone.
    void SyncCloneFlags(L3DObject* clone);
    void Scale(float x, float y, float z);
    void ScaleUniform(float f);
    void ScalePoints(float f);
    // Extents of the box object's corners as last transformed; 0 without a box.
    float GetWidth() const;
    float GetHeight() const;
    float GetDepth() const;
    int IsVisibleThisFrame() const { return visibleThisFrame; }
    int OptimizeMesh(uint32_t mode);
    // Every point takes its world coordinates; angles, position and scale are reset.
    void FreezeTransform();
    // Copies the mesh, key tracks, children and switches of the source.
    void CopyFromObject(L3DObject& source);
    // The sequences, current sequence and current base of this object go to the other.
    void CopySequencesTo(L3DObject& other) const;

    // Shadows.
    int EnableShadow(int on);
    void SetShadowTextureSize(int32_t w, int32_t h);
    void GetShadowTextureSize(int32_t* w, int32_t* h) const;
    void SetShadowTexture(LTexture* texture);
    void SetShadowTextureAndSize(int32_t w, int32_t h, LTexture* texture);
    LTexture* GetShadowTexture() const;
    LMaterial* GetShadowMaterial() const;
    // Lays the shadow on the ground under the object.
    void PlaceShadow();
    int GetShadowPlane(float* plane);
    // Every face of the current frame, children's too, draws its shadow on the plane.
    void CastShadowOnPlane(L3DCamera& camera, const L3DPlane& plane, uint32_t flags);

    // Hierarchy. 35 when the parent is refused (a clone chain or a cycle); an animated
    // object re-parented without keeping its animation is destroyed and must not be used.
    int SetParent(L3DObject* newParent, int keepAnimation);
    static bool IsAncestor(const L3DObject* a, const L3DObject* b);
    L3DObject* Root();
    void SetRelativeData();
    void ComputeChildTransform();
    void ApplyAnimationFrame(int32_t frame);
    void ApplyAnimationFrameToSubtree(int32_t frame);
    // The frame the animation source shows, or -1.
    int32_t SourceFrame() const;
    // The mesh whose sequences drive this child's frame.
    void SetAnimationSource(L3DObject* source);

    // The frame.
    void LightAndTransform(L3DCamera& camera);
    // Both arrays: the static lights over the world light, then the dynamic ones.
    void RelightAll();
    // The dynamic lights again over the static colours.
    void RelightSecond();
    // The first array, then the second.
    std::vector<L3DLight*> AllLights() const;
    int AddLight(L3DLight* light);
    int AddSecondLight(L3DLight* light);
    void RemoveLight(L3DLight* light);
    void RemoveSecondLight(L3DLight* light);
    void SaveLastValidPosition();
    void FinishMovementStep(L3DCamera& camera);
    void GetCollisionExtents(const float* point, float* outLow, float* outHigh);
    int GetPointBounds(float* min, float* max) const;
    int OverlapsBox(const float* min, const float* max) const;
    int ContainsPoint(const float* p) const;
    int ContainsPointXZ(const float* p) const;

    // Collisions.
    int CollideWithPolygonList(L3DCamera& camera, const std::vector<LPolygon*>& polygons);
    void CollectStaticInBox(const float* min, const float* max, std::vector<LPolygon*>& out);

    // Picking.
    void WorldPointAtScreenPoint(L3DCamera& camera, L3DPoint* const* points, int n,
                                 const float* point, float* outX, float* outY, float* outZ);
    void PickPolygonAtScreenPoint(L3DCamera& camera, const float* point, L3DObject** outObject,
                                  LPolygon** outPolygon, float* inOutDepth);
    LPolygon* FindPolygonAtScreenPoint(L3DCamera& camera, const float* point, float* inOutDepth);
    // Puts a corner where the camera sees it, for picking and for the material batches:
    // the object's placing applied to the model position. Octree nodes hold world
    // positions already and only project them.
    virtual void PlacePoint(L3DPoint& point, L3DCamera& camera);

    // Saving.
    int SaveObjectRecord(ChunkWriter& writer, uint32_t mask);
    int SaveKeyTracks(ChunkWriter& writer) const;
    int SaveShadow(ChunkWriter& writer, uint32_t mask);
    int SaveClones(ChunkWriter& writer, uint32_t mask);
    // Clones of this object in the world's list, in list order.
    std::vector<L3DObject*> ClonesInWorld() const;

    uint32_t batchingAllowed = 1;
    uint32_t followParent = 1;
    uint32_t gravity = 0;
    float collisionRadius = 0;
    uint32_t collisionRadiusSet = 0;
    // The parent's angles and position, this object's angles and scale.
    float parentCache[12] = {};
    float relativeOffset[3] = {};
    float parentRelative[16];
    float childMatrix[16];
    float modelView[16] = {};
    L3DObject* animationSource = nullptr;
    int32_t cachedFrame = -1;
    uint32_t frameApplied = 0;
    uint32_t worldTransformValid = 0;
    L3DLight* lights[kMaxLights] = {};
    L3DLight* secondLights[kMaxLights] = {};
    uint8_t lightCount = 0;
    uint8_t secondLightCount = 0;
    uint8_t frameState = 2;
    uint32_t objectFlags = kInitialFlags;
    uint8_t visibleThisFrame = 1;
    // The camera pass, point list and count of the points' last projection; pass 0 trusts
    // nothing.
    uint64_t projectedPass = 0;
    const LBasePoint* projectedList = nullptr;
    int32_t projectedCount = 0;
    int32_t cloneCount = 0;
    // The world whose object list holds this object; null while no list does (asking the
    // list itself costs a walk of every object).
    L3DWorld* listedIn = nullptr;
    // Its node in that list, so that taking it out needs no search.
    LListNode* worldNode = nullptr;
    // Likewise in its world's cluster: the list of dynamic or of static objects it is in.
    LList* clusterList = nullptr;
    LListNode* clusterNode = nullptr;
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
    MovementCheck movementCheck = nullptr;
    uintptr_t movementData = 0;
    CollisionChooser collisionCallback = nullptr;
    uintptr_t collisionCallbackData = 0;
    CollisionNotifier collisionNotification = nullptr;
    uintptr_t collisionNotificationData = 0;
    // The source of a clone; null once the source died.
    L3DObject* source = nullptr;
    // The living clones of this source.
    std::vector<L3DObject*> clones;

protected:
    using MarkerPoint = std::array<float, 3>;
    using MarkerTriangle = std::array<int, 3>;

    // Recomputes the world transform of every visible child and marks it moved.
    void RecomputeChildren();
    // The box object becomes a wireframe marker of these triangles over these points, in
    // the world's marker material of that name and colour.
    void BuildMarker(const char* materialName, uint32_t colour, std::span<const MarkerPoint> points,
                     std::span<const MarkerTriangle> triangles);

private:
    int InsertFace(LPolygon* polygon, int averageNormals);
    int DrawingMode(uint32_t value) const;
    void BuildBox();
    LPolygon* CreateShadow();
    void ReprepareAll();

    std::unique_ptr<char[]> name_;
};

// The marker that names dummy objects, left out of the name objects show.
inline constexpr char kDummyMarker[] = "$$$DUMMY";
