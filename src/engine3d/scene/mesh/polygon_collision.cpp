#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/world.h"

namespace {

// The floor and sweep tests compare at three decimals.
double Truncate3(double x) {
    return std::trunc(x * 1000.0) * 0.001;
}

double Dot(const double* a, const double* b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

void NormalizeXZ(double* v) {
    v[1] = 0;
    const double length = std::sqrt(v[0] * v[0] + v[2] * v[2]);
    v[0] = length > 0 ? v[0] / length : 0;
    v[2] = length > 0 ? v[2] / length : 0;
}

// The smallest sphere radius used against the edges.
constexpr double kEdgeTolerance = 15.0;

} // namespace

int LPolygon::ContainsPointXZ(const float* p, float tolerance) const {
    const int n = GetVertexCount();
    if (n < 3) return 0;
    for (int i = 0; i < n; ++i) {
        const float* a = vertices_[size_t(i)]->model;
        const float* b = vertices_[size_t((i + 1) % n)]->model;
        double e[3] = {double(b[0]) - a[0], 0, double(b[2]) - a[2]};
        NormalizeXZ(e);
        auto sideOf = [&](const float* q, double* s) {
            const double rel[3] = {double(q[0]) - a[0], 0, double(q[2]) - a[2]};
            *s = Truncate3(Dot(rel, e));
            double m[3] = {rel[0] - e[0] * *s, 0, rel[2] - e[2] * *s};
            NormalizeXZ(m);
            return std::array<double, 3>{m[0], 0, m[2]};
        };
        double s = 0;
        const auto m = sideOf(p, &s);
        for (int v = 0; v < n; ++v) {
            if (v == i || v == (i + 1) % n) continue;
            double sv = 0;
            const auto mv = sideOf(vertices_[size_t(v)]->model, &sv);
            const double facing = Truncate3(mv[0] * m[0] + mv[2] * m[2]);
            if (facing < 0 && std::fabs(s) > tolerance) return 0;
        }
    }
    return 1;
}

int LPolygon::GetFloorPoint(const float* p, float r, float* out, float tolerance) const {
    if (GetVertexCount() < 3) return 0;
    const double ny = Truncate3(planes_[1]);
    if (ny == 0 || ContainsPointXZ(p, tolerance) == 0) return 0;
    const float* p0 = vertices_[0]->model;
    // The face's height straight below (or above) the point.
    const double floorY =
        p0[1] -
        (planes_[0] * (double(p[0]) - p0[0]) + planes_[2] * (double(p[2]) - p0[2])) / planes_[1];
    out[0] = p[0];
    out[1] = float(floorY);
    out[2] = p[2];
    const double tr = Truncate3(r);
    const double h = Truncate3(floorY - p[1]);
    if (tr == h) return 1;
    return (tr >= 0) == (h >= 0) ? 1 : 0;
}

int LPolygon::SweepTest(float r, const float* p0, const float* p1, float* out, const float* d,
                        float maxDistance) const {
    if (GetVertexCount() < 3) return 0;
    const double n[3] = {planes_[0], planes_[1], planes_[2]};
    const double dir[3] = {d[0], d[1], d[2]};
    const double k = Truncate3(Dot(n, dir));
    if (k == 0) return 0;
    const double edgeRadius = r > kEdgeTolerance ? r : kEdgeTolerance;
    const float* v0 = vertices_[0]->model;
    const double rel0[3] = {double(p0[0]) - v0[0], double(p0[1]) - v0[1], double(p0[2]) - v0[2]};
    const double rel1[3] = {double(p1[0]) - v0[0], double(p1[1]) - v0[1], double(p1[2]) - v0[2]};
    const double s0 = Dot(n, rel0);
    const double s1 = Dot(n, rel1);
    const L3DWorld* w = GetWorld();
    if (w != nullptr && w->backFaceCulling != 0 && s0 > 0) return 0;
    // How far outside edge plane i a point lies.
    auto edgeValue = [this](int i, const double* q) {
        const float* plane = &planes_[size_t(i + 1) * 8];
        return plane[0] * (q[0] - plane[4]) + plane[1] * (q[1] - plane[5]) +
               plane[2] * (q[2] - plane[6]);
    };
    const double start[3] = {p0[0], p0[1], p0[2]};
    const int edges = GetVertexCount();
    if (std::fabs(k) == 1) {
        double radius = r;
        if ((facingCode & 2) == 0) radius = edgeRadius;
        if (!(s0 < 0 && (s1 > 0 || -s1 < radius))) return 0;
        for (int i = 0; i < edges; ++i)
            if (edgeValue(i, start) > edgeRadius) return 0;
        for (int c = 0; c < 3; ++c)
            out[c] = float(p1[c] + d[c] * -(s1 + radius));
        out[3] = p1[3];
        return 1;
    }
    const double t = -s0 / Dot(n, dir);
    if (t < 0) return 0;
    double lo = t, hi = t;
    if (r != 0) {
        const double reference = s0 != 0 ? std::fabs(s0) : std::fabs(s1);
        const double spread = reference > 0 ? r / reference * std::fabs(t) : 0.0;
        lo = t - spread;
        hi = t + spread;
    }
    if (hi < 0 || lo > maxDistance) return 0;
    lo = std::max(lo, 0.0);
    hi = std::min(hi, double(maxDistance));
    for (int i = 0; i < edges; ++i) {
        const float* plane = &planes_[size_t(i + 1) * 8];
        const double toward = Truncate3(plane[0] * dir[0] + plane[1] * dir[1] + plane[2] * dir[2]);
        const double g0 = edgeValue(i, start);
        if (toward == 0) {
            if (g0 > edgeRadius) return 0;
            continue;
        }
        // The sphere stays within reach of the edge while g0 + toward·t <= edgeRadius.
        const double limit = (edgeRadius - g0) / toward;
        if (toward > 0)
            hi = std::min(hi, limit);
        else
            lo = std::max(lo, limit);
        if (lo > hi) return 0;
    }
    for (int c = 0; c < 4; ++c)
        out[c] = float(p0[c] + d[c] * lo);
    return 1;
}
