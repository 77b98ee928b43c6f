#include <algorithm>
#include <cmath>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/object.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/objects/world_light.h"
#include "engine3d/scene/plane.h"
#include "engine3d/scene/prefetch.h"
#include "engine3d/scene/render/frame_state.h"

namespace {

// Clip planes in the order they are applied, with their out-code bits.
constexpr uint32_t kClipOrder[6] = {32, 64, 8, 16, 4, 2};

double PlaneValue(const L3DPlane& plane, const float* c) {
    return double(plane.a) * c[0] + double(plane.b) * c[1] + double(plane.c) * c[2] - plane.d;
}

} // namespace

uint16_t LPolygon::ComputeVisibility(L3DCamera& camera) {
    uint16_t code = kCrossing;
    const int n = GetVertexCount();
    int shown = 0;
    for (const L3DPoint* v : vertices_)
        shown += v->visible != 0 ? 1 : 0;
    if (n > 0 && shown == n) {
        code = kInside;
    } else if (shown == 0) {
        double centre[3] = {0, 0, 0};
        for (const L3DPoint* v : vertices_)
            for (int i = 0; i < 3; ++i)
                centre[i] += v->world[i];
        for (int i = 0; i < 3; ++i)
            centre[i] = n > 0 ? centre[i] / n : 0.0;
        ComputeRadius();
        const float c[3] = {float(centre[0]), float(centre[1]), float(centre[2])};
        const int answer = camera.GetVisibility(c, radius);
        code = answer == L3DCamera::kVisible   ? kInside
               : answer == L3DCamera::kClipped ? kCrossing
                                               : kCulled;
    }
    if ((camera.objectFlags & L3DCamera::kUserClipPlane) != 0) {
        const UserClipPlane& plane = GetUserClipPlane();
        bool allOutside = true;
        for (const L3DPoint* v : vertices_) {
            double s = 0;
            for (int i = 0; i < 3; ++i)
                s += double(plane.normal[i]) * (double(plane.point[i]) - v->world[i]);
            allOutside = allOutside && s <= 0;
        }
        if (allOutside) code = kCulled;
    }
    visibility = code;
    return code;
}

void LPolygon::PrefetchGeometry() const {
    PrefetchBytes(vertices_.data(), vertices_.size() * sizeof(L3DPoint*));
    PrefetchBytes(planes_.data(), 3 * sizeof(float));
}

bool LPolygon::IsFrontFacing() const {
    return !vertices_.empty() && FacesFrom(vertices_[0]->camera);
}

bool LPolygon::FacesFrom(const float* c) const {
    if (owner == nullptr) return false;
    const float* m = owner->modelView;
    const float* n = planes_.data();
    double dot = 0;
    for (int r = 0; r < 3; ++r)
        dot +=
            (double(m[4 * r]) * n[0] + double(m[4 * r + 1]) * n[1] + double(m[4 * r + 2]) * n[2]) *
            c[r];
    return dot >= 0;
}

int LPolygon::DrawShadow(L3DCamera& camera, const L3DPlane& plane, uint32_t flags) {
    L3DWorld* world = GetWorld();
    const int n = GetVertexCount();
    if (world == nullptr || world->ambientLight == nullptr || n < 3 || n > L3DWorld::kShadowPoints)
        return 0;
    L3DPoint* const* points = world->GetShadowPoints();
    if (points == nullptr) return 0;
    const float* light = world->ambientLight->direction;
    for (int i = 0; i < n; ++i) {
        L3DPoint* p = points[i];
        if (plane.PlaneIntersectLine(vertices_[size_t(i)]->world, light, p->world) == 0) return 0;
        std::copy_n(p->world, 3, p->model);
        p->Project(camera);
        p->fog = 255;
        if (i == 0 && !FacesFrom(p->camera)) return 0;
    }
    LPolygon& scratch = GetScratchPolygon();
    scratch.RemoveVertexAt(-1);
    scratch.capacity = n;
    for (int i = 0; i < n; ++i)
        scratch.AppendVertex(points[i]);
    scratch.radius = radius;
    int drawn = 0;
    switch (scratch.ComputeVisibility(camera)) {
    case kInside:
        DrawVertices(scratch.Vertices(), n, flags);
        drawn = 1;
        break;
    case kCrossing: {
        L3DPoint* clipped[L3DCamera::kMaxClipVertices];
        int count = 0;
        scratch.ClipAndProject(camera, scratch.Vertices(), n, clipped, &count, 0);
        if (count >= 3) {
            DrawVertices(clipped, count, flags);
            drawn = 1;
        }
        break;
    }
    default:
        break;
    }
    // The points are the world's; the scratch polygon only borrowed them.
    scratch.RemoveVertexAt(-1);
    for (int i = 0; i < n; ++i)
        points[i]->useCount = 0;
    return drawn;
}

void LPolygon::ClipAndProject(L3DCamera& camera, L3DPoint* const* in, int inCount, L3DPoint** out,
                              int* outCount, int interpolateColours) {
    camera.clipPointCount = 0;
    *outCount = 0;
    const uint32_t codes = camera.GetOutCodes(in, inCount);
    CopyUVToVertices();
    if (inCount < 3 || inCount > L3DCamera::kMaxClipVertices - 6) return;
    L3DPoint* bufferA[L3DCamera::kMaxClipVertices];
    L3DPoint* bufferB[L3DCamera::kMaxClipVertices];
    std::copy_n(in, inCount, bufferA);
    L3DPoint** work = bufferA;
    L3DPoint** next = bufferB;
    int count = inCount;
    for (uint32_t bit : kClipOrder) {
        if ((codes & bit) == 0) continue;
        const L3DPlane& plane = camera.PlaneForOutCode(bit);
        int produced = 0;
        const L3DPoint* previous = work[count - 1];
        double sPrevious = PlaneValue(plane, previous->camera);
        for (int i = 0; i < count; ++i) {
            L3DPoint* current = work[i];
            const double sCurrent = PlaneValue(plane, current->camera);
            const bool currentInside = sCurrent > 0;
            const bool previousInside = sPrevious >= 0;
            if (previousInside != currentInside) {
                L3DPoint* p = camera.TakeClipPoint();
                if (p == nullptr) return;
                const double span = sPrevious - sCurrent;
                const double t = span != 0 ? sPrevious / span : 0.0;
                for (int k = 0; k < 3; ++k)
                    p->camera[k] = float(previous->camera[k] +
                                         t * (double(current->camera[k]) - previous->camera[k]));
                for (int k = 0; k < 4; ++k)
                    p->vertexUV[k] =
                        float(previous->vertexUV[k] +
                              t * (double(current->vertexUV[k]) - previous->vertexUV[k]));
                if (interpolateColours != 0)
                    for (int k = 0; k < 4; ++k)
                        p->frameColor[k] =
                            uint8_t(previous->frameColor[k] +
                                    t * (double(current->frameColor[k]) - previous->frameColor[k]));
                p->material = current->material;
                p->Reproject(camera);
                next[produced++] = p;
            }
            if (currentInside) next[produced++] = current;
            previous = current;
            sPrevious = sCurrent;
        }
        std::swap(work, next);
        count = produced;
        if (count < 3) break;
    }
    std::copy_n(work, count, out);
    *outCount = count;
}

void LPolygon::GetDrawableVertices(L3DCamera& camera, L3DPoint* const** outVertices, int* outCount,
                                   L3DPoint** scratch) {
    *outVertices = nullptr;
    *outCount = 0;
    if (visibility == kInside) {
        *outVertices = vertices_.data();
        *outCount = GetVertexCount();
    } else if (visibility == kCrossing) {
        int count = 0;
        ClipAndProject(camera, vertices_.data(), GetVertexCount(), scratch, &count, 0);
        if (count >= 3) {
            *outVertices = scratch;
            *outCount = count;
        }
    }
}

uint16_t LPolygon::TestVisibility(L3DCamera& camera) {
    // A face left with fewer than three vertices stays in its mesh but shows nothing.
    if (material_ == nullptr || GetVertexCount() < 3) {
        drawn = 0;
        return visibility;
    }
    L3DWorld* w = GetWorld();
    if (w != nullptr && w->backFaceCulling != 0) {
        drawn = IsFrontFacing() ? 1 : 0;
        if (drawn == 0) return visibility;
    } else {
        drawn = 1;
    }
    if (ComputeVisibility(camera) == kCulled) drawn = 0;
    return visibility;
}

void LPolygon::SubmitTested(L3DCamera& camera) {
    if (drawn == 0) return;
    const bool hasClones = owner != nullptr && owner->cloneCount > 0;
    if (hasClones || !material_->NeedsBlending() || (material_->mode & LMaterial::kPlanar) != 0)
        Draw(camera);
    else
        camera.QueueForDrawing(this);
}

void LPolygon::Submit(L3DCamera& camera) {
    TestVisibility(camera);
    SubmitTested(camera);
}

void LPolygon::SubmitDeferred(L3DCamera& camera) {
    TestVisibility(camera);
    if (drawn != 0) camera.QueueForDrawing(this);
}

void LPolygon::DeferIfDrawn(L3DCamera& camera) {
    if (drawn != 0) camera.QueueForDrawing(this);
}

void LPolygon::Draw(L3DCamera& camera) {
    if (material_ == nullptr) return;
    // A flat-lit face is filled with the mean of its points' lit colours of this frame.
    if (owner != nullptr && owner->IsGouraud() == 0 && owner->IsLambert() != 0)
        AverageVertexColours();
    if (visibility == kInside) {
        ++camera.polygonsDrawn;
        if (material_->drawRoutine != nullptr) material_->drawRoutine(*this, camera);
    } else if (visibility == kCrossing) {
        if (material_->drawThunk != nullptr) material_->drawThunk(*this, camera);
    }
}

void LPolygon::DrawUnclipped(L3DCamera&) {
    CopyUVToVertices();
    DrawVertices(vertices_.data(), GetVertexCount(), 0);
}

void LPolygon::DrawClipped(L3DCamera& camera) {
    L3DPoint* clipped[L3DCamera::kMaxClipVertices];
    int count = 0;
    ClipAndProject(camera, vertices_.data(), GetVertexCount(), clipped, &count, 0);
    if (count >= 3) DrawVertices(clipped, count, 0);
}

void LPolygon::DrawVertices(L3DPoint* const*, int, uint32_t) {}
