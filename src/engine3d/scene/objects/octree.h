// The static scene merged into boxes of at most about 2000 polygons, so that whole boxes
// are culled by their corners and drawn through material batches. A node keeps its
// polygons in its own mesh and its eight children (child 0 for polygons that straddle
// the others, children 1 to 8 the octants) in its children list.
#pragma once

#include <vector>

#include "engine3d/scene/objects/object.h"
#include "engine3d/scene/plane.h"

class L3DOctreeNode : public L3DObject {
public:
    static constexpr int32_t kMaxPolygons = 2000;
    // Splitting stops here: polygons that straddle octants would otherwise go to child 0,
    // which has its parent's whole box, again and again.
    static constexpr int kMaxDepth = 8;

    L3DOctreeNode(const float* min, const float* max, L3DWorld* world, L3DOctreeNode* parent,
                  const char* name);

    // Takes the source's polygons: copied here while the node stays small, else spread
    // over the children. The source's mesh is emptied.
    void Insert(L3DObject& source);
    void Split();
    void PrepareGeometry(int force);
    // The smallest box around the node's points.
    void ComputeBounds();
    // Every node with polygons whose box meets the box, this one and its descendants.
    void QueryBox(std::vector<L3DOctreeNode*>& result, const float* min, const float* max);
    // The nearest floor under and ceiling over the point, in this node and its children.
    void MeasureClearance(const float* point, float* below, float* above);
    int32_t CountPolygons() const;

    void ComputeWorldTransform(L3DCamera& camera) override;
    void Draw(L3DCamera& camera) override;
    void PlacePoint(L3DPoint& point, L3DCamera& camera) override;
    int Save(ChunkWriter& writer, uint32_t mask) override;

    const float* Min() const { return min_; }
    const float* Max() const { return max_; }
    L3DOctreeNode* Child(int i) const;

    L3DPlane faces[6];
    int depth = 0;

private:
    void SetBox(const float* min, const float* max);
    bool Holds(const float* p) const;
    // Whether the point lies above or below the node's box, or in it.
    bool HoldsColumn(const float* p) const;
    // The child (1 to 8) whose box holds every vertex, else 0.
    int ChildFor(const LPolygon& polygon) const;
    int OctantFor(const LPolygon& polygon) const;
    void OctantBox(int i, float* min, float* max) const;
    // Hands the polygon, out of its source's list already, to `to` with new corners
    // (their normals kept) in `to`'s point list.
    static void MovePolygon(LPolygon& polygon, L3DObject& from, L3DObject& to);
    void EmptyMesh(L3DObject& object);

    float min_[3] = {};
    float max_[3] = {};
};
