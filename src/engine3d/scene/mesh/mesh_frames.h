// The mesh of an object as frames of a vertex animation ("bases"), each a point list, a
// polygon list and the material batches of its triangles. Every polygon and point
// operation works on the current base, which is also the current frame of the mesh's
// sequences ("Main" spans every base). A current index outside the bases, after a base
// was removed or from a sequence that runs past them, means no current base.
#pragma once

#include <cstdint>
#include <vector>

#include "engine3d/scene/animation_sequences.h"
#include "foundation/containers/llist.h"

class ChunkWriter;
class L3DObject;
class LBasePoint;
class LCacheMaterialList;
class LMaterial;
class LPolygon;

class LMultiBasePoly : public LAnimationIK {
public:
    static constexpr int32_t kAllBases = 9999;

    LMultiBasePoly();
    ~LMultiBasePoly() override;

    // Then the owner's top ancestor learns that its geometry changed.
    void SetFrame(int32_t frame) override;
    void NextFrame();
    void PreviousFrame();
    int IsMorphPair(const SequenceRecord* record) const;
    // 7 without a current base; else appends, counting one use on the polygon.
    virtual int InsertPolygon(LList& list, LPolygon* polygon);

    LList* AddBase();
    void AddBaseLists(LList* polygonList, LBasePoint* pointList);
    int AddPolygon(LPolygon* polygon);
    // -1 removes every polygon of the list; 5 for a missing index.
    int RemovePolygonFromList(LList& list, int32_t index);
    // -1 as result without a current base.
    int RemovePolygon(int32_t index);
    int RemovePolygonObject(LPolygon* polygon);
    LPolygon* GetPolygonAt(int32_t i) const;
    int32_t GetPolygonIndex(const LPolygon* polygon) const;
    // GetPolygonIndex of a polygon that was just added and is in no other place of the
    // list: without a search, the last index, or -1 when it did not go in.
    int32_t GetIndexOfAdded(const LPolygon* polygon) const;
    int32_t GetPolygonCountOfBase() const;
    LBasePoint* GetCurrentPointList() const;
    LList* GetCurrentPolygonList() const;
    LCacheMaterialList* GetCurrentBatchList() const;
    LList* GetPolygonListOfBase(int32_t i) const;
    // The current base index, or -1 when it names no base.
    int32_t CurrentBase() const;
    void RemoveBase(int32_t i, int deleteContents);
    void AppendBasesFrom(LMultiBasePoly& other);
    void CopyFrom(const LMultiBasePoly& other);
    void GroupPolygonsByMaterial();
    // Base records and the "OANM" chunk; 0 written, non-zero when a record could not be
    // written (the file would be corrupt).
    int SaveMesh(ChunkWriter& writer, uint32_t flags);
    int32_t GetBaseCount() const { return int32_t(polygonLists_.size()); }

    uint32_t basesChanged = 0;
    L3DObject* meshOwner = nullptr;

private:
    void DestroyPolygonUse(LPolygon* polygon);
    void NotifyGeometryChanged();

    std::vector<LList*> polygonLists_;
    std::vector<LBasePoint*> pointLists_;
    std::vector<LCacheMaterialList*> batchLists_;
};
