// The reference grid: up to three planes of grid lines through the world origin, shown
// one by one and drawn by the renderer after the scene.
#pragma once

#include <cstdint>
#include <memory>

#include "engine3d/scene/objects/object.h"

class LMaterial;

class L3DGrid : public L3DObject {
public:
    // The planes' flag bits: x and z, x and y, y and z.
    static constexpr uint32_t kAxisX = 2;
    static constexpr uint32_t kAxisY = 4;
    static constexpr uint32_t kAxisZ = 8;

    explicit L3DGrid(L3DWorld* world);
    // The children go before the materials their segments use.
    ~L3DGrid() override;

    // Made with its three planes hidden.
    static L3DGrid* Create(L3DWorld* world);
    static void Destroy(L3DGrid* grid);
    void ShowAxes(uint32_t flags);
    void HideAxes(uint32_t flags);
    // True when every selected plane is shown.
    bool AreAxesVisible(uint32_t flags) const;
    // The visible planes' segments in front of the camera, in their own order.
    void Draw(L3DCamera& camera) override;

    L3DObject* Clone(const L3DLocation*) override { return nullptr; }
    L3DObject* Duplicate(const L3DLocation*) override { return nullptr; }

    std::unique_ptr<LMaterial> lightGray;
    std::unique_ptr<LMaterial> mediumGray;
    std::unique_ptr<LMaterial> darkGray;

private:
    void BuildPlane(const char* name, int a, int b);
    L3DObject* Plane(uint32_t bit) const;
};
