// The axis marker: three arrows of 50 units along x, y and z with a letter beyond each
// tip, drawn in wireframe at the origin or at an object that shows its axis.
#include <array>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/object.h"
#include "engine3d/scene/objects/object_walk.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/device.h"

namespace {

using Segment = std::array<std::array<float, 3>, 2>;

constexpr Segment kAxisSegments[] = {
    // Shafts and arrow heads.
    {{{0, 0, 0}, {50, 0, 0}}},
    {{{50, 0, 0}, {43, 7, 0}}},
    {{{50, 0, 0}, {43, -7, 0}}},
    {{{0, 0, 0}, {0, 50, 0}}},
    {{{0, 50, 0}, {7, 43, 0}}},
    {{{0, 50, 0}, {-7, 43, 0}}},
    {{{0, 0, 0}, {0, 0, 50}}},
    {{{0, 0, 50}, {0, 7, 43}}},
    {{{0, 0, 50}, {0, -7, 43}}},
    // X.
    {{{60, -7, 0}, {70, 7, 0}}},
    {{{60, 7, 0}, {70, -7, 0}}},
    // Y.
    {{{0, 63, 0}, {-7, 70, 0}}},
    {{{0, 63, 0}, {7, 70, 0}}},
    {{{0, 63, 0}, {0, 56, 0}}},
    // Z.
    {{{0, 7, 60}, {0, 7, 70}}},
    {{{0, 7, 70}, {0, -7, 60}}},
    {{{0, -7, 60}, {0, -7, 70}}},
};

} // namespace

void L3DWorld::BuildAxis() {
    if (backend_ == nullptr) return;
    axis_ = std::make_unique<L3DObject>("Axis_Obj", this, nullptr);
    // Each segment is a triangle with its end twice, which a wireframe draws as a line.
    for (const Segment& s : kAxisSegments) {
        LPolygon* polygon = backend_->CreatePolygon(axis_.get(), 2, 0);
        if (polygon == nullptr) continue;
        for (const auto& p : {s[0], s[1], s[1]})
            polygon->AddNewVertex(p[0], p[1], p[2], 0, 0, 0, 0);
        axis_->AddPolygon(polygon, 1);
    }
    axis_->SetPolygonMaterial(-1, defaultMaterial_);
}

void L3DWorld::ShowAxis(int value) {
    worldFlags = value != 0 ? worldFlags | kAxisFlag : worldFlags & ~kAxisFlag;
}

void L3DWorld::DrawAxis(L3DCamera& camera, const L3DObject* at) {
    // Made on first use: most worlds never show an axis.
    if (axis_ == nullptr) BuildAxis();
    if (axis_ == nullptr) return;
    if (at != nullptr)
        axis_->SetAnglesAndPosition(at->angles[0], at->angles[1], at->angles[2], at->position[0],
                                    at->position[1], at->position[2]);
    else
        axis_->SetAnglesAndPosition(0, 0, 0, 0, 0, 0);
    axis_->Update(camera);
    if (axis_->IsVisible() == 0) return;
    if (LBasePoint* points = axis_->GetCurrentPointList())
        for (int32_t i = 0; i < points->GetCount(); ++i)
            points->GetPoint(i)->TransformAndProject(*axis_, camera);
    ForEachPolygon(axis_->GetCurrentPolygonList(), [&camera](LPolygon* p) {
        if (p->ComputeVisibility(camera) != LPolygon::kCulled) p->Draw(camera);
    });
}
