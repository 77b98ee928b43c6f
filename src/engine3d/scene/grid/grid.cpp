#include "engine3d/scene/grid/grid.h"

#include <string_view>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/device.h"

namespace {

constexpr int kExtent = 2000;
constexpr int kLineStep = 1000;
constexpr int kSampleStep = 100;

struct PlaneName {
    uint32_t bit;
    const char* name;
};
constexpr PlaneName kPlanes[] = {
    {L3DGrid::kAxisX, "Axe_X"}, {L3DGrid::kAxisY, "Axe_Y"}, {L3DGrid::kAxisZ, "Axe_Z"}};

std::unique_ptr<LMaterial> GridMaterial(L3DWorld* world, const char* name, uint32_t colour) {
    auto material = std::make_unique<LMaterial>(world, name, nullptr, colour, 0, nullptr);
    material->SetWireFrame(1);
    return material;
}

} // namespace

L3DGrid::L3DGrid(L3DWorld* world)
    : L3DObject("3DGrid", world, nullptr), lightGray(GridMaterial(world, "Light_GRAY", 0xC8C8C8)),
      mediumGray(GridMaterial(world, "Med_GRAY", 0xFFFFFF)),
      darkGray(GridMaterial(world, "Dark_GRAY", 0x646464)) {
    objectFlags |= kDynamic;
    BuildPlane("Axe_X", 0, 2);
    BuildPlane("Axe_Y", 0, 1);
    BuildPlane("Axe_Z", 1, 2);
}

L3DGrid::~L3DGrid() {
    while (children != nullptr && children->GetHead() != nullptr)
        delete static_cast<L3DObject*>(children->GetHead()->item);
}

L3DGrid* L3DGrid::Create(L3DWorld* world) {
    auto* grid = new L3DGrid(world);
    grid->HideAxes(kAxisX | kAxisY | kAxisZ);
    return grid;
}

void L3DGrid::Destroy(L3DGrid* grid) {
    delete grid;
}

void L3DGrid::BuildPlane(const char* name, int a, int b) {
    LAPICLBK* device = world != nullptr ? world->GetAPI() : nullptr;
    auto* plane = new L3DObject(name, world, nullptr);
    LinkChild(plane);
    if (device == nullptr) return;
    LBasePoint* points = plane->GetCurrentPointList();
    const auto at = [&](int along, int across, int lineAxis) {
        float p[3] = {};
        p[lineAxis] = float(along);
        p[lineAxis == a ? b : a] = float(across);
        return points->AddPoint(p[0], p[1], p[2], 0, 0, 0, 0, -1);
    };
    // Five lines across each axis, each a chain of segments; the two lines through the
    // origin stand out.
    for (int lineAxis : {a, b})
        for (int across = -kExtent; across <= kExtent; across += kLineStep)
            for (int along = -kExtent; along < kExtent; along += kSampleStep) {
                L3DPoint* from = at(along, across, lineAxis);
                L3DPoint* to = at(along + kSampleStep, across, lineAxis);
                LPolygon* segment = device->CreatePolygon(plane, 2, 0);
                if (segment == nullptr) continue;
                segment->capacity = 3;
                segment->AddVertex(from);
                segment->AddVertex(to);
                segment->AddVertex(to);
                plane->AddPolygon(segment, 0);
                segment->SetMaterial(across == 0 ? mediumGray.get() : darkGray.get());
            }
}

L3DObject* L3DGrid::Plane(uint32_t bit) const {
    for (const PlaneName& plane : kPlanes)
        if (plane.bit == bit) {
            for (LListNode* node = children != nullptr ? children->GetHead() : nullptr;
                 node != nullptr; node = node->next) {
                auto* child = static_cast<L3DObject*>(node->item);
                char text[16];
                child->GetName(text, sizeof text);
                if (std::string_view(text) == plane.name) return child;
            }
        }
    return nullptr;
}

void L3DGrid::ShowAxes(uint32_t flags) {
    for (const PlaneName& plane : kPlanes)
        if ((flags & plane.bit) != 0)
            if (L3DObject* child = Plane(plane.bit)) child->Show();
}

void L3DGrid::HideAxes(uint32_t flags) {
    for (const PlaneName& plane : kPlanes)
        if ((flags & plane.bit) != 0)
            if (L3DObject* child = Plane(plane.bit)) child->Hide(1);
}

bool L3DGrid::AreAxesVisible(uint32_t flags) const {
    for (const PlaneName& plane : kPlanes)
        if ((flags & plane.bit) != 0) {
            const L3DObject* child = Plane(plane.bit);
            if (child == nullptr || child->IsVisible() == 0) return false;
        }
    return true;
}

void L3DGrid::Draw(L3DCamera& camera) {
    Update(camera);
    for (LListNode* node = children != nullptr ? children->GetHead() : nullptr; node != nullptr;
         node = node->next) {
        auto* plane = static_cast<L3DObject*>(node->item);
        if (plane->IsVisible() == 0) continue;
        LBasePoint* points = plane->GetCurrentPointList();
        for (int32_t i = 0; i < points->GetCount(); ++i)
            points->GetPoint(i)->TransformAndProject(*plane, camera);
        for (LListNode* p = plane->GetCurrentPolygonList()->GetHead(); p != nullptr; p = p->next) {
            auto* segment = static_cast<LPolygon*>(p->item);
            if (segment->ComputeVisibility(camera) != LPolygon::kCulled) segment->Draw(camera);
        }
    }
}
