// Collisions of a moving object: with another object as two swept spheres, and with the
// static polygons its movement crosses. The script's callbacks choose the response.
#include <algorithm>
#include <cmath>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/objects/cluster.h"
#include "engine3d/scene/objects/object_walk.h"
#include "engine3d/scene/objects/world.h"

namespace {

using Vec = std::array<double, 3>;

Vec Sub(const float* a, const float* b) {
    return {double(a[0]) - b[0], double(a[1]) - b[1], double(a[2]) - b[2]};
}

double Dot(const Vec& a, const Vec& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

double Length(const Vec& v) {
    return std::sqrt(Dot(v, v));
}

Vec Scaled(const Vec& v, double s) {
    return {v[0] * s, v[1] * s, v[2] * s};
}

Vec Normalized(const Vec& v) {
    const double length = Length(v);
    return length > 0 ? Scaled(v, 1.0 / length) : Vec{0, 0, 0};
}

Vec Cross(const Vec& a, const Vec& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

struct SweepResult {
    int hit = 0;
    float contactA[4] = {};
    float contactB[4] = {};
    bool movedA = false;
    bool movedB = false;
};

// Two spheres moving from their previous to their current positions: where they first
// touch, each on its own path.
SweepResult SweptSpheres(const L3DObject& a, const L3DObject& b) {
    SweepResult result;
    const Vec mA = Sub(a.position, a.previousPosition);
    const Vec mB = Sub(b.position, b.previousPosition);
    const double lA = Length(mA), lB = Length(mB);
    if (lA < 0.001 && lB < 0.001) return result;
    const bool swapped = lB < 0.001;
    const L3DObject& p = swapped ? b : a;
    const L3DObject& o = swapped ? a : b;
    const Vec& mP = swapped ? mB : mA;
    const Vec& mO = swapped ? mA : mB;
    const double lP = swapped ? lB : lA, lO = swapped ? lA : lB;
    const bool pMoved = lP >= 0.001;
    (swapped ? result.movedA : result.movedB) = true;
    (swapped ? result.movedB : result.movedA) = pMoved;
    const double r = double(a.GetCollisionRadius()) + b.GetCollisionRadius();
    const double d0 = Length(Sub(a.previousPosition, b.previousPosition));
    const double d1 = Length(Sub(a.position, b.position));
    if (d0 < r && r < d1) return result;
    const Vec uO = Scaled(mO, 1.0 / lO);
    const double rho = pMoved ? lP / lO : 0.0;
    const Vec uP = pMoved ? Scaled(mP, 1.0 / lP) : Vec{0, 0, 0};
    const Vec delta = Sub(p.previousPosition, o.previousPosition);
    const Vec w = {uP[0] * rho - uO[0], uP[1] * rho - uO[1], uP[2] * rho - uO[2]};
    const double qa = Dot(w, w), qb = 2 * Dot(w, delta), qc = Dot(delta, delta) - r * r;
    const bool overlapStart = d0 <= r, overlapEnd = d1 <= r;
    double t;
    if (std::fabs(qa) <= 0.001) {
        if (std::fabs(qb) < 0.001) return result;
        t = -qc / qb;
    } else {
        const double disc = std::trunc((qb * qb - 4 * qa * qc) * 1000.0) / 1000.0;
        if (disc < 0) return result;
        if (disc == 0) {
            t = -qb / (2 * qa);
        } else {
            double t1 = (-qb - std::sqrt(disc)) / (2 * qa);
            double t2 = (std::sqrt(disc) - qb) / (2 * qa);
            auto outside = [&](double x) {
                return (!overlapStart && x < 0) || (!overlapEnd && x > lO);
            };
            if (outside(t1)) t1 = t2;
            if (outside(t2)) t2 = t1;
            t = std::fabs(t2) < std::fabs(t1) ? t2 : t1;
        }
    }
    if (!std::isfinite(t)) return result;
    const bool endOk = overlapEnd || (rho * t <= lP && t <= lO);
    const bool startOk = overlapStart || (rho * t >= 0 && t >= 0);
    if (!endOk || !startOk) return result;
    float* contactP = swapped ? result.contactB : result.contactA;
    float* contactO = swapped ? result.contactA : result.contactB;
    for (int i = 0; i < 3; ++i) {
        contactP[i] = float(p.previousPosition[i] + uP[i] * rho * t);
        contactO[i] = float(o.previousPosition[i] + uO[i] * t);
    }
    result.hit = 1;
    return result;
}

void SetPositionRaw(L3DObject& object, const Vec& v) {
    for (int i = 0; i < 3; ++i)
        object.position[i] = float(v[i]);
    object.worldTransformValid = 0;
}

// Slides what is left of the movement past the contact along the contact plane.
void Slide(L3DObject& object, const Vec& movement, const Vec& normal, const float* contact,
           double pushBack, bool allowVertical) {
    const Vec v = Sub(contact, object.previousPosition);
    const Vec w = {movement[0] - v[0], movement[1] - v[1], movement[2] - v[2]};
    Vec n = Scaled(normal, -1);
    if (!allowVertical) n[1] = 0;
    const Vec c = Cross(Normalized(w), n);
    Vec target = {contact[0], contact[1], contact[2]};
    if (Length(c) >= 0.001) {
        const Vec t = Normalized(Cross(c, n));
        const Vec along = Scaled(t, Dot(t, w));
        for (int i = 0; i < 3; ++i)
            target[i] += along[i];
    }
    if (pushBack != 0)
        for (int i = 0; i < 3; ++i)
            if (allowVertical || i != 1) target[i] -= normal[i] * pushBack;
    SetPositionRaw(object, target);
}

uint8_t Choose(L3DObject& self, int kind, L3DObject* other, LPolygon* polygon,
               const float* contact) {
    if (self.collisionCallback == nullptr) return 2;
    float offset[4] = {contact[0] - self.previousPosition[0], contact[1] - self.previousPosition[1],
                       contact[2] - self.previousPosition[2], 0};
    float point[4] = {contact[0], contact[1], contact[2], 0};
    return self.collisionCallback(kind, &self, other, polygon, offset, point,
                                  self.collisionCallbackData);
}

void Notify(L3DObject& self, uint8_t response, int kind, LPolygon* polygon) {
    if (self.collisionNotification != nullptr)
        self.collisionNotification(response, kind, &self, polygon, self.collisionNotificationData);
}

bool SamePosition(const L3DObject& object, const float* before) {
    return std::equal(before, before + 3, object.position);
}

} // namespace

int L3DObject::CollideWithObject(L3DCamera& camera, L3DObject& other) {
    const Vec movement = Sub(position, previousPosition);
    if (movement[0] == 0 && movement[1] == 0 && movement[2] == 0) return 0;
    const SweepResult sweep = SweptSpheres(*this, other);
    if (sweep.hit == 0) return 0;
    const float before[3] = {position[0], position[1], position[2]};
    const uint8_t response = Choose(*this, 0, &other, nullptr, sweep.contactA);
    double pushBack = world != nullptr ? world->objectPushBack : 5.0;
    if (sweep.movedA && sweep.movedB) pushBack *= 0.5;
    if (response == 2 && sweep.movedA) {
        const Vec direction = Normalized(movement);
        Vec target = {sweep.contactA[0], sweep.contactA[1], sweep.contactA[2]};
        if (pushBack != 0)
            for (int i = 0; i < 3; ++i)
                target[i] -= direction[i] * pushBack;
        SetPositionRaw(*this, target);
    } else if (response == 4 && sweep.movedA) {
        const Vec normal = Normalized(Sub(sweep.contactB, sweep.contactA));
        Slide(*this, movement, normal, sweep.contactA, pushBack, true);
    }
    Notify(*this, response, 0, nullptr);
    if (!SamePosition(*this, before)) {
        SetPositionChanged(1);
        ComputeWorldTransform(camera);
    }
    if (sweep.movedB) other.ComputeWorldTransform(camera);
    return 1;
}

void L3DObject::CollectStaticInBox(const float* min, const float* max,
                                   std::vector<LPolygon*>& out) {
    if (world != nullptr) world->cluster->CollectPolygons(min, max, out);
}

int L3DObject::CollideWithPolygons(L3DCamera& camera) {
    const Vec movement = Sub(position, previousPosition);
    if (std::fabs(movement[0]) < 0.00001 && std::fabs(movement[1]) < 0.00001 &&
        std::fabs(movement[2]) < 0.00001)
        return 0;
    float lo[4], hi[4];
    if (GetPointBounds(lo, hi) == 0) {
        const float r = GetCollisionRadius();
        for (int i = 0; i < 3; ++i) {
            lo[i] = position[i] - r;
            hi[i] = position[i] + r;
        }
    }
    float min[3], max[3];
    for (int i = 0; i < 3; ++i) {
        min[i] = std::min(lo[i], float(lo[i] - movement[i]));
        max[i] = std::max(hi[i], float(hi[i] - movement[i]));
    }
    std::vector<LPolygon*> polygons;
    CollectStaticInBox(min, max, polygons);
    return CollideWithPolygonList(camera, polygons);
}

int L3DObject::CollideWithPolygonList(L3DCamera& camera, const std::vector<LPolygon*>& polygons) {
    Vec movement = Sub(position, previousPosition);
    double length = Length(movement);
    Vec direction = Normalized(movement);
    const float before[3] = {position[0], position[1], position[2]};
    const float radius = GetBoundingRadius();
    int hit = 0;
    for (int pass = 0; pass < 2; ++pass) {
        for (LPolygon* polygon : polygons) {
            const bool floor = (polygon->facingCode & 2) != 0;
            if (floor != (pass == 0)) continue;
            if (length <= 0) break;
            const float p0[4] = {previousPosition[0], previousPosition[1], previousPosition[2], 0};
            const float p1[4] = {position[0], position[1], position[2], 0};
            const float d[4] = {float(direction[0]), float(direction[1]), float(direction[2]), 0};
            float contact[4];
            if (polygon->SweepTest(radius, p0, p1, contact, d, float(length)) == 0) continue;
            hit = 1;
            const uint8_t response = Choose(*this, 2, nullptr, polygon, contact);
            const double pushBack = polygon->facingCode == 2 ? 0.0
                                    : world != nullptr       ? world->polygonPushBack
                                                             : 10.0;
            const float* plane = polygon->GetPlane(0);
            const Vec normal = {plane[0], plane[1], plane[2]};
            const float was[3] = {position[0], position[1], position[2]};
            if (response == 4) {
                Slide(*this, movement, normal, contact, pushBack, gravity == 0);
            } else if (response != 0) {
                Vec target = {contact[0], contact[1], contact[2]};
                for (int i = 0; i < 3; ++i)
                    if (gravity == 0 || i != 1) target[i] -= normal[i] * pushBack;
                SetPositionRaw(*this, target);
            }
            Notify(*this, response, 2, polygon);
            if (!SamePosition(*this, was)) {
                movement = Sub(position, previousPosition);
                length = Length(movement);
                direction = Normalized(movement);
            }
        }
    }
    if (!SamePosition(*this, before)) {
        SetPositionChanged(1);
        if ((objectFlags & kShadowShown) != 0) PlaceShadow();
        ComputeWorldTransform(camera);
    }
    return hit;
}
