// An invisible box placed and turned like any object, asked whether a point or an object
// is inside it; the script decides what an answer means.
#pragma once

#include <cstdint>

#include "engine3d/scene/objects/object.h"
#include "foundation/containers/llist.h"

class LBase3DZone;

class L3DZone : public L3DObject {
public:
    static constexpr uint32_t kType = 0x2004;

    L3DZone(LBase3DZone* list, L3DWorld* world, const L3DLocation* location, int32_t width,
            int32_t height, int32_t depth, int show, uint32_t flags);
    // Leaves its list.
    ~L3DZone() override;

    // -99999 keeps a size; a location gives the position with angles 0.
    void SetSize(const L3DLocation* location, int32_t width, int32_t height, int32_t depth,
                 int show);
    // Faces count as inside.
    bool ContainsPoint(const float* p);
    bool ContainsObject(const L3DObject& object) { return ContainsPoint(object.position); }
    uint32_t GetWidth() const { return size[0]; }
    uint32_t GetHeight() const { return size[1]; }
    uint32_t GetDepth() const { return size[2]; }

    void SetGouraud(int) override {}
    void SetLambert(int) override {}
    L3DObject* Clone(const L3DLocation*) override { return nullptr; }
    L3DObject* Duplicate(const L3DLocation*) override { return nullptr; }
    // The box shows only while the list shows zones.
    void ShowBox(int on, int withChildren) override;
    void Show() override;

    float inverse[16];
    float cachedAngles[3] = {};
    uint32_t size[3] = {};
    LBase3DZone* list;
};

class LBase3DZone {
public:
    LBase3DZone() = default;
    LBase3DZone(const LBase3DZone&) = delete;
    LBase3DZone& operator=(const LBase3DZone&) = delete;
    ~LBase3DZone();

    L3DZone* CreateZone(const L3DLocation* location, int32_t width, int32_t height, int32_t depth,
                        int show, uint32_t flags);
    // 8 for null.
    int AddZone(L3DZone* zone);
    // 8 when not listed.
    int RemoveZone(L3DZone* zone, int destroy);
    // -1 removes every zone; 8 for an index outside the list.
    int RemoveZoneAt(int32_t index, int destroy);
    L3DZone* FindNextByName(const L3DZone* from, const char* name) const;
    L3DZone* GetAt(int32_t i) const;
    void UpdateForFrame(L3DCamera& camera);
    void PickAll(L3DCamera& camera, const float* point, L3DObject** best, float* distance);
    // "BZON"; non-zero when a record could not be written.
    int Save(ChunkWriter& writer, uint32_t flags) const;

    LList list;
    L3DWorld* world = nullptr;
    uint32_t zonesShown = 1;
};
