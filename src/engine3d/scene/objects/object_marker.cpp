// The wireframe markers that stand for lights, sounds and zones while their boxes are
// shown: meshes of the box object, in a marker material of the world.
#include <span>

#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/object.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/device.h"

void L3DObject::BuildMarker(const char* materialName, uint32_t colour,
                            std::span<const MarkerPoint> points,
                            std::span<const MarkerTriangle> triangles) {
    LAPICLBK* device = world != nullptr ? world->GetAPI() : nullptr;
    if (device == nullptr) return;
    if (boxObject == nullptr) boxObject = new L3DObject("Global_Box", world, nullptr);
    // The marker keeps its shape: the box is no longer fitted to the object's points.
    objectFlags &= ~kOwnsBox;
    boxObject->RemoveBase(kAllBases, 1);
    boxObject->AddBase();
    LBasePoint* list = boxObject->GetCurrentPointList();
    if (list == nullptr) return;
    std::vector<L3DPoint*> made;
    list->DisableMerging();
    for (const MarkerPoint& p : points)
        made.push_back(list->AddPoint(p[0], p[1], p[2], 0, 0, 0, 0, 0));
    list->EnableMerging();
    for (const MarkerTriangle& t : triangles) {
        LPolygon* polygon = device->CreatePolygon(boxObject, 2, 0);
        if (polygon == nullptr) continue;
        for (int corner : t)
            if (corner >= 0 && size_t(corner) < made.size())
                polygon->AddVertex(made[size_t(corner)]);
        boxObject->AddPolygon(polygon, 1);
    }
    boxObject->SetPolygonMaterial(-1, world->GetMarkerMaterial(materialName, colour));
}
