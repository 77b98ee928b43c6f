// A flat rectangle of two triangles that turns towards the camera every frame around the
// axes its facing mode allows: trees, explosions, halos.
#pragma once

#include <cstdint>

#include "engine3d/scene/objects/object.h"

class LBase3DBlob;

class L3DBlob : public L3DObject {
public:
    static constexpr uint32_t kType = 0x4004;
    // Axis bits of LookAt: only the vertical axis follows by default.
    static constexpr uint8_t kDefaultFacing = 4;

    L3DBlob(LBase3DBlob* list, L3DWorld* world, const char* name, uint32_t flags);
    // Leaves the list.
    ~L3DBlob() override;

    // -99999 keeps a side; a material given and different from the present one is taken.
    void SetSize(int32_t w, int32_t h, LMaterial* material);

    void Show() override;
    L3DObject* Clone(const L3DLocation*) override { return nullptr; }
    L3DObject* Duplicate(const L3DLocation*) override { return nullptr; }
    int Save(ChunkWriter& writer, uint32_t mask) override;

    int32_t width = 10;
    int32_t height = 10;
    uint8_t facing = kDefaultFacing;
    LBase3DBlob* list;

private:
    void BuildMesh();
    void MoveCorners();
};
