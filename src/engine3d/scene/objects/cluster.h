// The world's spatial structure: the dynamic objects, the static objects waiting to be
// baked, and the octree the static geometry is merged into. It updates, collides, draws,
// picks and saves them for the world.
#pragma once

#include <memory>
#include <vector>

#include "engine3d/scene/objects/object.h"

class L3DOctreeNode;

class LBase3DCluster : public L3DObject {
public:
    static constexpr uint32_t kSaveStatic = 0x08;
    static constexpr uint32_t kSaveDynamic = 0x10;

    explicit LBase3DCluster(L3DWorld* world);
    ~LBase3DCluster() override;

    // Clones at the front, others appended.
    void AddDynamic(L3DObject* object);
    // 1 when not listed.
    int RemoveDynamic(L3DObject* object);
    // 1 (refused) for an object without polygons.
    int AddStatic(L3DObject* object);
    int RemoveStatic(L3DObject* object);
    void RemoveAll();
    void BuildOctree();
    // Merges the static objects into the octree (built when missing); the merged
    // objects leave the world.
    void Optimize();
    int OptimizeObjects(L3DCamera* camera, uint32_t mode);
    void Update(L3DCamera& camera) override;
    // Each moving dynamic object against the other dynamic objects, then the extra ones,
    // then the static scene.
    void ResolveCollisions(L3DCamera& camera, const std::vector<L3DObject*>& extra);
    void CheckCollisions(L3DCamera& camera, const std::vector<L3DObject*>& extra);
    void DrawCluster(L3DCamera& camera, const std::vector<L3DObject*>& extra);
    void SetSpatialOption(int value);
    // 1 when the object is dynamic (nothing done).
    int SetGouraud(int value, L3DObject* object);
    int SetLambert(int value, L3DObject* object);
    using L3DObject::SetGouraud;
    using L3DObject::SetLambert;
    void ScaleUniform(float factor);
    void QueryBox(std::vector<L3DOctreeNode*>& result, const float* min, const float* max);
    // The objects (children too) and octree nodes whose point boxes meet the box.
    void CollectObjectsInBox(const float* min, const float* max, std::vector<L3DObject*>& out);
    // The octree's polygons in the nodes whose boxes meet the box.
    void CollectPolygons(const float* min, const float* max, std::vector<LPolygon*>& out);
    // The nearest floor under and ceiling over the point, in multiples of 0.001;
    // 9999999 where there is none.
    void MeasureClearance(const float* point, float* below, float* above);
    void InvalidateOctree();
    void PickObject(L3DCamera& camera, const float* point, L3DObject** best, float* distance);
    LPolygon* PickPolygon(L3DCamera& camera, const float* point, float limit);
    // "BCLU"; with an object, that object only and no octree. Non-zero when a record
    // could not be written or a count does not fit its field.
    int SaveCluster(ChunkWriter& writer, L3DObject* object, uint32_t flags);
    int32_t CountOctreePolygons() const;

    LList dynamicObjects;
    LList staticObjects;
    uint32_t words[4] = {};
    std::unique_ptr<L3DOctreeNode> octree;
    // The lights whose cubes meet no object.
    std::vector<L3DLight*> unlitLights;

private:
    // The object keeps its node, so that taking it out needs no search.
    static void Listed(L3DObject* object, LList& list, LListNode* node);
    // 1 when the object is not in the list.
    static int Unlist(L3DObject* object, LList& list);
};
