// A plane {a, b, c, w, d}: the unit normal (a, b, c) with w = 0 and the distance d, so
// that p lies on the plane when n·p = d (signed distance n·p - d).
#pragma once

struct L3DPlane {
    float a = 0, b = 0, c = 0, w = 0, d = 0;

    void PlaneSet(float na, float nb, float nc, float nd);
    // The normal of (p1 - p2) × (p1 - p3), (0, 0, 0) for collinear points; w is kept.
    void PlaneFromPoints(const float* p1, const float* p2, const float* p3);
    // The point where p + t·dir, t ≥ 0, meets the plane: 1 with it in out, or 0. A line
    // within 0.01 of parallel meets it only when its start's signed distance equals d,
    // and then out is the start. Non-finite inputs give 0.
    int PlaneIntersectLine(const float* p, const float* dir, float* out) const;
};
