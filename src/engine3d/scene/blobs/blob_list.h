// The world's blobs: turned towards the camera before the cluster's update, collided and
// drawn after it.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/containers/llist.h"

class ChunkWriter;
class L3DBlob;
class L3DCamera;
class L3DLocation;
class L3DObject;
class L3DWorld;
class LMaterial;

class LBase3DBlob {
public:
    LBase3DBlob() = default;
    LBase3DBlob(const LBase3DBlob&) = delete;
    LBase3DBlob& operator=(const LBase3DBlob&) = delete;
    // Removes and destroys every blob.
    ~LBase3DBlob();

    L3DBlob* CreateBlob(const L3DLocation* location, const char* name, int32_t width,
                        int32_t height, LMaterial* material, uint32_t flags);
    // 11 when the blob is not listed.
    int RemoveBlob(L3DBlob* blob, int destroy);
    // -1 removes every blob; 11 for an index outside the list.
    int RemoveBlobAt(int32_t index, int destroy);
    L3DBlob* GetAt(int32_t i) const;
    L3DBlob* FindByName(const char* name) const;
    // The search starts at `from`, which is included.
    L3DBlob* FindNextByName(const L3DBlob* from, const char* name) const;
    void SetWorld(L3DWorld* owner) { world = owner; }
    void UpdateForFrame(L3DCamera& camera);
    void CollideAndUpdate(L3DCamera& camera, const LList& objects);
    std::vector<L3DObject*> Blobs() const;
    // "BBLO"; non-zero when a record could not be written.
    int Save(ChunkWriter& writer, uint32_t flags);

    LList list;
    L3DWorld* world = nullptr;
    uint32_t blobsShown = 1;
};
