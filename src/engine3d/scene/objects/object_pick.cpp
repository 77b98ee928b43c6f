// Picking: the object under a screen point, nearest by the centre of its projection, and
// the polygon under it, nearest by the depth of the world point it shows there.
#include <algorithm>
#include <cmath>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/matrix.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/objects/object_walk.h"

namespace {

// The Frobenius norm of a matrix's 3 x 3 part: no vector grows by more under it.
double LinearBound(const float* m) {
    double sum = 0;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            sum += double(m[4 * r + c]) * m[4 * r + c];
    return std::sqrt(sum);
}

// Whether the line of sight through the screen point passes clear of a sphere holding
// every point of the object: then none of its polygons can hold the screen point, and
// projecting its points is not needed. The test leaves a wide margin, as the
// projections it stands for are rounded; anything not finite is never passed by.
bool SightMisses(const L3DObject& object, const LBasePoint& points, const L3DCamera& camera,
                 const float* point) {
    double largest = 0;
    for (int32_t i = 0; i < points.GetCount(); ++i) {
        const L3DPoint* p = points.GetPoint(i);
        double sum = 0;
        for (int k = 0; k < 3; ++k) {
            const double v = (double(p->model[k]) + object.hotSpot[k]) * object.scale[k];
            sum += v * v;
        }
        largest = std::max(largest, sum);
    }
    const float* v = camera.viewMatrix;
    const double offset[3] = {double(object.position[0]) - camera.position[0],
                              double(object.position[1]) - camera.position[1],
                              double(object.position[2]) - camera.position[2]};
    double centre[3];
    for (int r = 0; r < 3; ++r)
        centre[r] = v[4 * r] * offset[0] + v[4 * r + 1] * offset[1] + v[4 * r + 2] * offset[2];
    const double radius =
        LinearBound(v) * LinearBound(object.worldMatrix) * std::sqrt(largest);
    const double sight[3] = {(double(point[0]) - camera.halfWidth) / camera.focalX,
                             (camera.halfHeight - double(point[1])) / camera.focalY, 1};
    const double along = centre[0] * sight[0] + centre[1] * sight[1] + centre[2] * sight[2];
    const double sightSquared = sight[0] * sight[0] + sight[1] * sight[1] + 1;
    const double centreSquared = centre[0] * centre[0] + centre[1] * centre[1] + centre[2] * centre[2];
    const double apart = std::sqrt(std::max(0.0, centreSquared - along * along / sightSquared));
    const double margin = radius * 0.01 + std::sqrt(centreSquared) * 0.01 + 0.01;
    return std::isfinite(apart) && std::isfinite(radius) && apart > radius + margin;
}

} // namespace

void L3DObject::PickAtScreenPoint(L3DCamera& camera, const float* point, L3DObject** outObject,
                                  float* inOutDistance) {
    const LBasePoint* points = GetCurrentPointList();
    if (IsVisible() != 0 && points != nullptr && points->GetCount() > 0 &&
        !SightMisses(*this, *points, camera, point)) {
        double cx = 0, cy = 0;
        for (int32_t i = 0; i < points->GetCount(); ++i) {
            L3DPoint* p = points->GetPoint(i);
            p->TransformAndProject(*this, camera);
            cx += p->screenX;
            cy += p->screenY;
        }
        cx /= points->GetCount();
        cy /= points->GetCount();
        const double distance = std::hypot(cx - point[0], cy - point[1]);
        if (inOutDistance == nullptr || distance <= *inOutDistance) {
            // A corner behind the camera projects mirrored through the centre of the view,
            // so a polygon reaching behind it is not where its projection says.
            bool hit = false;
            ForEachPolygon(GetCurrentPolygonList(), [&](LPolygon* polygon) {
                if (hit) return;
                for (int i = 0; i < polygon->GetVertexCount(); ++i)
                    if (!(polygon->GetVertex(i)->depth > 0)) return;
                hit = polygon->ContainsScreenPoint(point[0], point[1]) != 0;
            });
            if (hit) {
                *outObject = this;
                if (inOutDistance != nullptr) *inOutDistance = float(distance);
            }
        }
    }
    ForEachChild(children, [&](L3DObject* child) {
        child->PickAtScreenPoint(camera, point, outObject, inOutDistance);
    });
}

void L3DObject::WorldPointAtScreenPoint(L3DCamera&, L3DPoint* const* points, int n,
                                        const float* point, float* outX, float* outY, float* outZ) {
    *outX = *outY = *outZ = -1;
    if (n < 3) return;
    const L3DPoint* picked[3] = {};
    int count = 0;
    for (int i = 0; i < n && count < 3; ++i) {
        bool distinct = true;
        for (int k = 0; k < count; ++k)
            distinct =
                distinct && !std::equal(points[i]->world, points[i]->world + 3, picked[k]->world);
        if (distinct) picked[count++] = points[i];
    }
    double result[3] = {picked[0]->world[0], picked[0]->world[1], picked[0]->world[2]};
    double weights[3] = {1, 0, 0};
    if (count == 3) {
        const double x0 = picked[0]->screenX, y0 = picked[0]->screenY;
        const double ax = picked[1]->screenX - x0, ay = picked[1]->screenY - y0;
        const double bx = picked[2]->screenX - x0, by = picked[2]->screenY - y0;
        const double det = ax * by - ay * bx;
        if (det != 0) {
            const double px = point[0] - x0, py = point[1] - y0;
            weights[1] = (px * by - py * bx) / det;
            weights[2] = (ax * py - ay * px) / det;
            weights[0] = 1 - weights[1] - weights[2];
        } else {
            count = 2;
        }
    }
    if (count == 2) {
        const double dx = picked[1]->screenX - picked[0]->screenX;
        const double dy = picked[1]->screenY - picked[0]->screenY;
        const double along = dx * dx + dy * dy;
        const double u =
            along > 0
                ? ((point[0] - picked[0]->screenX) * dx + (point[1] - picked[0]->screenY) * dy) /
                      along
                : 0.0;
        weights[0] = 1 - u;
        weights[1] = u;
        weights[2] = 0;
    }
    for (int k = 0; k < 3; ++k) {
        result[k] = 0;
        for (int v = 0; v < count; ++v)
            result[k] += weights[v] * picked[v]->world[k];
    }
    double lo[3], hi[3], mean[3] = {};
    for (int k = 0; k < 3; ++k) {
        lo[k] = hi[k] = points[0]->world[k];
        for (int i = 0; i < n; ++i) {
            lo[k] = std::min(lo[k], double(points[i]->world[k]));
            hi[k] = std::max(hi[k], double(points[i]->world[k]));
            mean[k] += points[i]->world[k] / n;
        }
    }
    bool inside = true;
    for (int k = 0; k < 3; ++k)
        inside = inside && result[k] >= lo[k] - 1e-3 && result[k] <= hi[k] + 1e-3;
    const double* chosen = inside ? result : mean;
    *outX = float(chosen[0]);
    *outY = float(chosen[1]);
    *outZ = float(chosen[2]);
}

LPolygon* L3DObject::FindPolygonAtScreenPoint(L3DCamera& camera, const float* point,
                                              float* inOutDepth) {
    Update(camera);
    LightAndTransform(camera);
    if (IsDynamic() != 0)
        MatrixMultiply(camera.viewMatrix, worldMatrix, modelView);
    else
        MatrixCopy(camera.viewMatrix, modelView);
    LPolygon* best = nullptr;
    ForEachPolygon(GetCurrentPolygonList(), [&](LPolygon* polygon) {
        for (int i = 0; i < polygon->GetVertexCount(); ++i)
            PlacePoint(*polygon->GetVertex(i), camera);
        polygon->TestVisibility(camera);
        if (polygon->drawn == 0 || polygon->ContainsScreenPoint(point[0], point[1]) == 0) return;
        float w[3];
        WorldPointAtScreenPoint(camera, polygon->Vertices(), polygon->GetVertexCount(), point,
                                &w[0], &w[1], &w[2]);
        const float* v = camera.viewMatrix;
        const double d[3] = {double(w[0]) - camera.position[0], double(w[1]) - camera.position[1],
                             double(w[2]) - camera.position[2]};
        const double depth = v[8] * d[0] + v[9] * d[1] + v[10] * d[2];
        if (depth >= camera.nearDistance && depth < *inOutDepth) {
            *inOutDepth = float(depth);
            best = polygon;
        }
    });
    return best;
}

void L3DObject::PlacePoint(L3DPoint& point, L3DCamera& camera) {
    point.TransformAndProject(*this, camera);
}

void L3DObject::PickPolygonAtScreenPoint(L3DCamera& camera, const float* point,
                                         L3DObject** outObject, LPolygon** outPolygon,
                                         float* inOutDepth) {
    if (IsVisible() != 0 && HasPolygons(0)) {
        if (LPolygon* found = FindPolygonAtScreenPoint(camera, point, inOutDepth)) {
            *outObject = this;
            *outPolygon = found;
        }
    }
    ForEachChild(children, [&](L3DObject* child) {
        child->PickPolygonAtScreenPoint(camera, point, outObject, outPolygon, inOutDepth);
    });
}
