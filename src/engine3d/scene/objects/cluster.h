// The world's spatial structure, as far as the scene model keeps it now: the lists of the
// dynamic objects and of the static objects waiting to be baked.
#pragma once

#include "engine3d/scene/objects/object.h"

class LBase3DCluster : public L3DObject {
public:
    explicit LBase3DCluster(L3DWorld* world);

    // Clones at the front, others appended.
    void AddDynamic(L3DObject* object);
    // 1 when not listed.
    int RemoveDynamic(L3DObject* object);
    // 1 (refused) for an object without polygons.
    int AddStatic(L3DObject* object);
    int RemoveStatic(L3DObject* object);
    void RemoveAll();
    // The polygons of the merged static geometry (none until the octree is built).
    int32_t CountOctreePolygons() const { return 0; }

    LList dynamicObjects;
    LList staticObjects;
};
