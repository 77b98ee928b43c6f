#include <algorithm>
#include <cmath>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/matrix.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/object.h"

namespace {

const double kFacingThreshold = std::cos(0.5235987901687622);

// Unit vector, or zero for a degenerate one.
void Normalize(double* v) {
    const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    for (int i = 0; i < 3; ++i)
        v[i] = length > 0 ? v[i] / length : 0.0;
}

void Cross(const double* a, const double* b, double* out) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

// The point transform of the owner's location, on model coordinates.
void ToWorld(const L3DLocation& location, const double* p, double* out) {
    const float* w = location.worldMatrix;
    double s[3];
    for (int i = 0; i < 3; ++i)
        s[i] = (p[i] + location.hotSpot[i]) * location.scale[i];
    for (int r = 0; r < 3; ++r)
        out[r] = w[4 * r] * s[0] + w[4 * r + 1] * s[1] + w[4 * r + 2] * s[2] + location.position[r];
}

} // namespace

void LPolygon::ComputePlanes(int averageNormals) {
    const int n = GetVertexCount();
    if (n < 3) return;
    planes_.assign(size_t(n + 1) * 8, 0.0f);
    const float* p0 = vertices_[0]->model;
    const float* p1 = vertices_[1]->model;
    const float* p2 = vertices_[2]->model;
    const double e1[3] = {double(p1[0]) - p0[0], double(p1[1]) - p0[1], double(p1[2]) - p0[2]};
    const double e2[3] = {double(p2[0]) - p0[0], double(p2[1]) - p0[1], double(p2[2]) - p0[2]};
    double face[3];
    Cross(e1, e2, face);
    Normalize(face);
    for (int i = 0; i < 3; ++i) {
        planes_[size_t(i)] = float(face[i]);
        planes_[size_t(4 + i)] = p0[i];
    }
    for (int v = 0; v < n; ++v) {
        const float* a = vertices_[size_t(v)]->model;
        const float* b = vertices_[size_t((v + 1) % n)]->model;
        const double e[3] = {double(b[0]) - a[0], double(b[1]) - a[1], double(b[2]) - a[2]};
        double edge[3];
        Cross(face, e, edge);
        Normalize(edge);
        float* entry = &planes_[size_t(v + 1) * 8];
        for (int i = 0; i < 3; ++i) {
            entry[i] = edge[i] == 0 ? 0.0f : float(-edge[i]);
            entry[4 + i] = a[i];
        }
    }
    if (averageNormals != 0) {
        for (L3DPoint* v : vertices_)
            for (int i = 0; i < 3; ++i)
                v->normal[i] = float((double(v->normal[i]) + face[i]) * 0.5);
    }
    ComputeFacingCode();
}

const float* LPolygon::GetPlane(int entry) const {
    return entry >= 0 && size_t(entry) * 8 < planes_.size() ? &planes_[size_t(entry) * 8] : nullptr;
}

void LPolygon::ComputeFacingCode() {
    const float* n = planes_.data();
    uint8_t code = 0;
    if (n[0] > kFacingThreshold) code |= 8;
    if (n[0] < -kFacingThreshold) code |= 16;
    if (n[1] > kFacingThreshold) code |= 4;
    if (n[1] < -kFacingThreshold) code |= 2;
    if (n[2] > kFacingThreshold) code |= 32;
    if (n[2] < -kFacingThreshold) code |= 64;
    facingCode = material_ != nullptr && material_->collision == 0 ? 0 : code;
}

void LPolygon::WorldCentre(double* centre) const {
    centre[0] = centre[1] = centre[2] = 0;
    for (const L3DPoint* v : vertices_)
        for (int i = 0; i < 3; ++i)
            centre[i] += v->model[i];
    if (!vertices_.empty())
        for (int i = 0; i < 3; ++i)
            centre[i] /= double(vertices_.size());
}

void LPolygon::ComputeRadius() {
    if (owner != nullptr && dirty == 0 &&
        (owner->L3DLocation::flags & L3DLocation::kRotationChanged) == 0)
        return;
    dirty = 0;
    if (vertices_.empty()) return;
    double centre[3];
    WorldCentre(centre);
    double largest = 0;
    if (owner != nullptr) {
        double worldCentre[3];
        ToWorld(*owner, centre, worldCentre);
        dirty = 1;
        for (const L3DPoint* v : vertices_) {
            const double m[3] = {v->model[0], v->model[1], v->model[2]};
            double w[3];
            ToWorld(*owner, m, w);
            const double d =
                std::hypot(w[0] - worldCentre[0], w[1] - worldCentre[1], w[2] - worldCentre[2]);
            largest = std::max(largest, d);
        }
    } else {
        for (const L3DPoint* v : vertices_) {
            const double d = std::hypot(v->model[0] - centre[0], v->model[1] - centre[1],
                                        v->model[2] - centre[2]);
            largest = std::max(largest, d);
        }
    }
    radius = float(largest);
}

void LPolygon::ComputeWorldBox() {
    std::fill(std::begin(worldBox), std::end(worldBox), 0.0f);
    if (vertices_.empty()) return;
    for (int i = 0; i < 3; ++i) {
        worldBox[i] = worldBox[4 + i] = vertices_[0]->world[i];
        for (const L3DPoint* v : vertices_) {
            worldBox[i] = std::max(worldBox[i], v->world[i]);
            worldBox[4 + i] = std::min(worldBox[4 + i], v->world[i]);
        }
    }
}

bool LPolygon::IsInsideBoxXZ(const float* p) const {
    return worldBox[4] <= p[0] && p[0] <= worldBox[0] && worldBox[6] <= p[2] && p[2] <= worldBox[2];
}

void LPolygon::AverageVertexColours() {
    if (vertices_.empty()) return;
    for (int c = 0; c < 4; ++c) {
        uint32_t sum = 0;
        for (const L3DPoint* v : vertices_)
            sum += v->frameColor[c];
        averageColor[c] = uint8_t(sum / vertices_.size());
    }
    const uint32_t diffuse = uint32_t(averageColor[3]) << 24 | uint32_t(averageColor[0]) << 16 |
                             uint32_t(averageColor[1]) << 8 | averageColor[2];
    for (L3DPoint* v : vertices_)
        if (RenderVertex* r = v->GetRenderVertex()) r->diffuse = diffuse;
}

void LPolygon::ComputeEnvironmentUV() {
    L3DCamera* camera = GetCamera();
    if (material_ == nullptr || owner == nullptr || camera == nullptr) return;
    const LTexture* first = material_->GetTexture(0);
    if (first == nullptr || (first->flags & LTexture::kEnvironmentMapping) == 0) return;
    const LTexture* second = material_->GetTexture(1);
    const int pair = second != nullptr && (second->flags & LTexture::kEnvironmentMapping) ? 2 : 0;
    float m[16];
    MatrixMultiply(camera->viewMatrix, owner->worldMatrix, m);
    for (size_t i = 0; i < vertices_.size(); ++i) {
        const float* n = vertices_[i]->normal;
        const double nx = m[0] * n[0] + m[1] * n[1] + m[2] * n[2];
        const double ny = m[4] * n[0] + m[5] * n[1] + m[6] * n[2];
        uv_[i * 4 + size_t(pair)] = float((1.0 - nx) * 0.5);
        uv_[i * 4 + size_t(pair) + 1] = float((ny + 1.0) * 0.5);
    }
}

float LPolygon::GetMaxDepth() const {
    float depth = -100000.0f;
    for (const L3DPoint* v : vertices_)
        depth = std::max(depth, v->depth);
    return depth;
}

int LPolygon::ContainsScreenPoint(float x, float y) const {
    const int n = GetVertexCount();
    if (n < 3) return 0;
    float minX = vertices_[0]->screenX, maxX = minX;
    float minY = vertices_[0]->screenY, maxY = minY;
    for (const L3DPoint* v : vertices_) {
        minX = std::min(minX, v->screenX);
        maxX = std::max(maxX, v->screenX);
        minY = std::min(minY, v->screenY);
        maxY = std::max(maxY, v->screenY);
    }
    if (x < minX || x > maxX || y < minY || y > maxY) return 0;
    std::vector<double> sx(static_cast<size_t>(n)), sy(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        sx[size_t(i)] = std::trunc(vertices_[size_t(i)]->screenX);
        sy[size_t(i)] = std::trunc(vertices_[size_t(i)]->screenY);
    }
    const double px = std::trunc(x), py = std::trunc(y);
    for (int i = 0; i < n; ++i) {
        const int j = (i + 1) % n;
        const double dx = sx[size_t(j)] - sx[size_t(i)];
        auto side = [&](double qx, double qy) {
            if (dx == 0) return qx - sx[size_t(i)];
            const double k = (sy[size_t(j)] - sy[size_t(i)]) / dx;
            return qy - (k * qx + (sy[size_t(i)] - k * sx[size_t(i)]));
        };
        const double test = side(px, py);
        for (int v = 0; v < n; ++v) {
            if (v == i || v == j) continue;
            const double other = side(sx[size_t(v)], sy[size_t(v)]);
            if ((test > 0 && other < 0) || (test < 0 && other > 0)) return 0;
        }
    }
    return 1;
}
