#include "engine3d/scene/plane.h"

#include <cmath>

void L3DPlane::PlaneSet(float na, float nb, float nc, float nd) {
    a = na;
    b = nb;
    c = nc;
    w = 0;
    d = nd;
}

void L3DPlane::PlaneFromPoints(const float* p1, const float* p2, const float* p3) {
    double u[3], v[3];
    for (int i = 0; i < 3; ++i) {
        u[i] = double(p1[i]) - p2[i];
        v[i] = double(p1[i]) - p3[i];
    }
    double n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
    double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    for (double& component : n)
        component = length == 0 ? 0.0 : component / length;
    a = static_cast<float>(n[0]);
    b = static_cast<float>(n[1]);
    c = static_cast<float>(n[2]);
    d = static_cast<float>(n[0] * p1[0] + n[1] * p1[1] + n[2] * p1[2]);
}

// Solved in closed form: the engine used to march along the line in steps of 10000,
// which never ended for NaN input or for distances where a step no longer moves t.
int L3DPlane::PlaneIntersectLine(const float* p, const float* dir, float* out) const {
    double normalDotP = double(a) * p[0] + double(b) * p[1] + double(c) * p[2];
    double normalDotDir = double(a) * dir[0] + double(b) * dir[1] + double(c) * dir[2];
    double startDistance = normalDotP - d;
    if (!std::isfinite(normalDotP) || !std::isfinite(normalDotDir) || !std::isfinite(startDistance))
        return 0;
    if (std::fabs(normalDotDir) < 0.01) {
        if (startDistance != d) return 0;
        for (int i = 0; i < 3; ++i)
            out[i] = p[i];
        return 1;
    }
    double t = -startDistance / normalDotDir;
    if (t < 0) return 0;
    float point[3];
    for (int i = 0; i < 3; ++i) {
        point[i] = static_cast<float>(p[i] + t * dir[i]);
        if (!std::isfinite(point[i])) return 0;
    }
    for (int i = 0; i < 3; ++i)
        out[i] = point[i];
    return 1;
}
