#include "engine3d/scene/mesh/point.h"

#include <cmath>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/float_to_int.h"
#include "engine3d/scene/location.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/texture.h"

namespace {

struct IdentityCurve {
    int32_t values[256];
    constexpr IdentityCurve() : values() {
        for (int i = 0; i < 256; ++i)
            values[i] = i - 128;
    }
};

constexpr IdentityCurve kIdentityCurve;

bool EnvironmentMapped(const LTexture* texture) {
    return texture != nullptr && (texture->flags & LTexture::kEnvironmentMapping) != 0;
}

} // namespace

const int32_t* IdentityReflectionCurve() {
    return kIdentityCurve.values;
}

L3DPoint::L3DPoint() : LManageCLBKObject(nullptr) {}

L3DPoint::L3DPoint(float x, float y, float z, float u1, float v1, float u2, float v2)
    : LManageCLBKObject(nullptr), model{x, y, z}, texture{u1, v1, u2, v2} {}

L3DPoint::~L3DPoint() = default;

void L3DPoint::Transform(const L3DLocation& location, const L3DCamera* cam) {
    const float* w = location.worldMatrix;
    double p[3];
    for (int i = 0; i < 3; ++i)
        p[i] = (double(model[i]) + location.hotSpot[i]) * location.scale[i];
    for (int r = 0; r < 3; ++r)
        world[r] = float(w[4 * r] * p[0] + w[4 * r + 1] * p[1] + w[4 * r + 2] * p[2] +
                         location.position[r]);
    if (cam != nullptr) EnvironmentCoordinates(w, *cam);
}

void L3DPoint::TransformAndProject(const L3DLocation& location, const L3DCamera& cam) {
    Transform(location, nullptr);
    Project(cam);
    EnvironmentCoordinates(location.worldMatrix, cam);
}

void L3DPoint::ToCamera(const L3DCamera& cam) {
    const float* v = cam.viewMatrix;
    const double d[3] = {double(world[0]) - cam.position[0], double(world[1]) - cam.position[1],
                         double(world[2]) - cam.position[2]};
    for (int r = 0; r < 3; ++r)
        camera[r] = float(v[4 * r] * d[0] + v[4 * r + 1] * d[1] + v[4 * r + 2] * d[2]);
}

void L3DPoint::Project(const L3DCamera& cam) {
    ToCamera(cam);
    visible = cam.IsPointVisible(camera) ? 1 : 0;
    Reproject(cam);
}

void L3DPoint::Reproject(const L3DCamera& cam) {
    depth = camera[2];
    if (depth == 0) {
        screenX = cam.halfWidth + camera[0];
        screenY = cam.halfHeight - camera[1];
        reciprocalDepth = 1.0f;
    } else {
        const double r = 1.0 / depth;
        reciprocalDepth = float(r);
        screenX = float(cam.halfWidth + cam.focalX * camera[0] * r);
        screenY = float(cam.halfHeight - cam.focalY * camera[1] * r);
    }
    bufferDepth = depth / float(cam.farDistance);
    fog = cam.FogAt(depth);
    if (RenderVertex* vertex = GetRenderVertex()) {
        vertex->x = screenX;
        vertex->y = screenY;
        vertex->z = bufferDepth;
        vertex->rhw = reciprocalDepth;
        vertex->diffuse = uint32_t(frameColor[3]) << 24 | uint32_t(frameColor[0]) << 16 |
                          uint32_t(frameColor[1]) << 8 | frameColor[2];
        vertex->specular = uint32_t(fog) << 24;
    }
}

void L3DPoint::EnvironmentCoordinates(const float* w, const L3DCamera& cam) {
    RenderVertex* vertex = GetRenderVertex();
    if (material == nullptr || vertex == nullptr) return;
    const bool first = EnvironmentMapped(material->GetTexture(0));
    const bool second = EnvironmentMapped(material->GetTexture(1));
    if (!first && !second) return;
    double n[3];
    for (int r = 0; r < 3; ++r)
        n[r] = w[4 * r] * normal[0] + w[4 * r + 1] * normal[1] + w[4 * r + 2] * normal[2];
    const float* v = cam.viewMatrix;
    const float u = float((1.0 - (v[0] * n[0] + v[1] * n[1] + v[2] * n[2])) * 0.5);
    const float t = float((v[4] * n[0] + v[5] * n[1] + v[6] * n[2] + 1.0) * 0.5);
    if (first) {
        vertex->u1 = u;
        vertex->v1 = t;
    }
    if (second) {
        vertex->u2 = u;
        vertex->v2 = t;
    } else {
        vertex->u2 = vertex->u1;
        vertex->v2 = vertex->v1;
    }
}
