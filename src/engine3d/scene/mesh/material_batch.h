// Triangles of one material in one mesh frame, drawn in one renderer call: a shared
// vertex record per distinct vertex and a 16-bit index list refilled each frame.
#pragma once

#include <cstdint>
#include <vector>

#include "engine3d/scene/render/renderer.h"
#include "foundation/containers/llist.h"

class L3DCamera;
class L3DObject;
class LMaterial;
class LPolygon;

class LCacheMaterial {
public:
    // 16-bit indices number at most this many vertices; a larger batch is drawn triangle
    // by triangle.
    static constexpr uint32_t kMaxVertices = 65535;

    explicit LCacheMaterial(LMaterial* m) : material(m) {}
    LCacheMaterial(const LCacheMaterial&) = delete;
    LCacheMaterial& operator=(const LCacheMaterial&) = delete;
    // Lets go of every triangle: their vertices keep no record pointer or number.
    virtual ~LCacheMaterial();

    // Only triangles join.
    virtual void AddPolygon(LPolygon* polygon);
    virtual void RemovePolygon(LPolygon* polygon);
    // Renumbers the vertices and refills their records after a membership change.
    virtual void Rebuild(L3DCamera& camera, L3DObject* object);
    virtual void Draw(L3DCamera& camera, L3DObject* object);

    bool IsBatchable() const { return vertexCount <= kMaxVertices; }
    // The triangles in list order as an array, made again after each change, so that the
    // walk of every frame does not chase the list's links.
    const std::vector<LPolygon*>& Triangles();
    const uint16_t* Indices() const { return indices.data(); }

    LList triangles;
    std::vector<uint16_t> indices;
    uint32_t indexCount = 0;
    uint32_t vertexCount = 0;
    std::vector<RenderVertex> records;
    LMaterial* material;
    uint32_t dirty = 1;
    // False until a rebuild made the index array.
    bool built = false;

private:
    std::vector<LPolygon*> ordered_;
    bool orderedValid_ = false;
};

class LCacheMaterialList {
public:
    LCacheMaterialList() = default;
    LCacheMaterialList(const LCacheMaterialList&) = delete;
    LCacheMaterialList& operator=(const LCacheMaterialList&) = delete;
    ~LCacheMaterialList();

    void AddPolygon(LMaterial* material, LPolygon* polygon);
    // A batch left empty is deleted.
    void RemovePolygon(LMaterial* material, LPolygon* polygon);
    // -1 deletes every batch; 1 when batch i does not exist.
    int RemoveAt(int32_t i);
    void RemoveMaterial(const LMaterial* material);
    LCacheMaterial* FindBatch(const LMaterial* material) const;
    void SetVisibilityTest() { testVisibility = 1; }
    void ClearVisibilityTest() { testVisibility = 0; }
    void DrawAll(L3DCamera& camera, L3DObject* object);
    uint32_t GetCount() const { return batches.GetCount(); }

    LList batches;
    uint32_t testVisibility = 0;

private:
    void Gather(LCacheMaterial& batch, L3DCamera& camera, L3DObject* object);
};
