#include "engine3d/scene/camera/camera.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/float_to_int.h"
#include "engine3d/scene/matrix.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/object_walk.h"

namespace {

constexpr int kRenderVertexPoints = 30;

// Fractions of the far distance: below 0 or NaN give 0, above 1 gives 1.
float ClampFraction(float value) {
    return std::isnan(value) ? 0.0f : std::clamp(value, 0.0f, 1.0f);
}

} // namespace

const UserClipPlane& GetUserClipPlane() {
    static const UserClipPlane plane;
    return plane;
}

L3DCamera::L3DCamera(L3DWorld* owner, uint32_t) : L3DObject("Camera", owner, nullptr) {
    typeCode = kCamera;
    objectFlags = (objectFlags & ~kStatic) | kDynamic;
    SetMirrored(0);
    for (int i = 0; i < kRenderVertexPoints; ++i)
        clipPool_[size_t(i)].ownVertex = std::make_unique<RenderVertex>();
    InvertView();
    DeriveFocal();
    ComputeFrustumPlanes();
    UpdateFogDistances();
    collisionRadius = cameraRadius;
    collisionRadiusSet = 1;
}

void L3DCamera::InvertView() {
    MatrixInvert(worldMatrix, viewMatrix);
}

int L3DCamera::SetRotationMatrix(const float* m) {
    const int result = L3DObject::SetRotationMatrix(m);
    MatrixCopy(localMatrix, worldMatrix);
    InvertView();
    return result;
}

int L3DCamera::SetAngles(float x, float y, float z, int relative) {
    const int result = L3DObject::SetAngles(x, y, z, relative);
    MatrixCopy(localMatrix, worldMatrix);
    InvertView();
    return result;
}

void L3DCamera::DeriveFocal() {
    const double t = std::tan(double(fieldOfView) * 0.5 * 0.0174532924);
    focalX = float(std::fabs(halfWidth / t));
    focalY = float(std::fabs((halfHeight / ratio) / t));
}

void L3DCamera::ComputeFrustumPlanes() {
    const double ax = std::atan2(double(halfWidth), double(focalX));
    const double ay = std::atan2(double(halfHeight), double(focalY));
    planes[0].PlaneSet(float(std::cos(ax)), 0, float(std::sin(ax)), 0);
    planes[1].PlaneSet(float(-std::cos(ax)), 0, float(std::sin(ax)), 0);
    planes[2].PlaneSet(0, float(std::cos(ay)), float(std::sin(ay)), 0);
    planes[3].PlaneSet(0, float(-std::cos(ay)), float(std::sin(ay)), 0);
    planes[4].PlaneSet(0, 0, 1, float(nearDistance));
    planes[5].PlaneSet(0, 0, -1, float(-farDistance));
}

void L3DCamera::SetFieldOfView(float degrees) {
    fieldOfView = std::isnan(degrees) ? 30.0f : std::clamp(degrees, 10.0f, 179.0f);
    SetRotationChanged(1);
    DeriveFocal();
    ComputeFrustumPlanes();
}

void L3DCamera::SetViewSize(int32_t width, int32_t height) {
    viewWidth = width;
    viewHeight = height;
    halfWidth = float(width) * 0.5f;
    halfHeight = float(height) * 0.5f;
    const float r = width != 0 ? float(height) / float(width) : 0.0f;
    ratio = r > 0 ? r : 0.75f;
    fieldOfView = std::clamp(fieldOfView, 10.0f, 179.0f);
    DeriveFocal();
    ComputeFrustumPlanes();
    SetRotationChanged(1);
}

void L3DCamera::SetViewRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    viewRect[0] = left;
    viewRect[1] = top;
    viewRect[2] = right;
    viewRect[3] = bottom;
}

void L3DCamera::SetMinVisibleDistance(int32_t near) {
    nearDistance = std::clamp(near, 0, 65536);
    SetRotationChanged(1);
    ComputeFrustumPlanes();
}

void L3DCamera::SetMaxVisibleDistance(int32_t far) {
    farDistance = std::clamp(far, 500, 65536);
    UpdateFogDistances();
    SetRotationChanged(1);
    ComputeFrustumPlanes();
}

void L3DCamera::UpdateFogDistances() {
    fogStartDistance = TruncateToInt32(double(fogStart) * farDistance);
    fogEndDistance = TruncateToInt32(double(fogEnd) * farDistance);
}

void L3DCamera::EnableFog(int on) {
    fogMode = on != 0 ? kFogLinear : kFogOff;
}

void L3DCamera::SetFogColor(uint32_t rgb) {
    fogColor[0] = uint8_t(rgb & 0xFF);
    fogColor[1] = uint8_t(rgb >> 8 & 0xFF);
    fogColor[2] = uint8_t(rgb >> 16 & 0xFF);
}

void L3DCamera::SetFogRange(float start, float end) {
    fogStart = ClampFraction(start);
    fogEnd = std::max(ClampFraction(end), fogStart);
    UpdateFogDistances();
}

void L3DCamera::SetFog(int on, uint32_t rgb, float start, float end, float density) {
    EnableFog(on);
    SetFogColor(rgb);
    SetFogRange(start, end);
    fogDensity = ClampFraction(density);
}

void L3DCamera::GetFogRange(float* start, float* end) const {
    *start = fogStart;
    *end = fogEnd;
}

uint8_t L3DCamera::FogAt(float z) const {
    switch (fogMode) {
    case kFogLinear:
        if (z <= float(fogStartDistance)) return 255;
        if (z >= float(fogEndDistance)) return 0;
        return uint8_t(TruncateToInt32(255.0 * (double(fogEndDistance) - z) /
                                       (double(fogEndDistance) - fogStartDistance)));
    case kFogExponential:
        return uint8_t(
            std::clamp(TruncateToInt32(255.0 * std::exp(-double(fogDensity) * z)), 0, 255));
    case kFogSquared: {
        const double d = double(fogDensity) * z;
        return uint8_t(std::clamp(TruncateToInt32(255.0 * std::exp(-d * d)), 0, 255));
    }
    default:
        return 255;
    }
}

int L3DCamera::GetVisibility(const float* centre, float r) const {
    const double d[3] = {double(centre[0]) - position[0], double(centre[1]) - position[1],
                         double(centre[2]) - position[2]};
    const float* v = viewMatrix;
    const double x = v[0] * d[0] + v[1] * d[1] + v[2] * d[2];
    const double y = v[4] * d[0] + v[5] * d[1] + v[6] * d[2];
    const double z = v[8] * d[0] + v[9] * d[1] + v[10] * d[2];
    int result = kVisible;
    const double far = farDistance, near = nearDistance;
    if (z >= far) {
        if (z - far >= r) return kInvisible;
        result = kClipped;
    } else if (far - z < r) {
        result = kClipped;
    }
    if (z >= near && z - near < r) result = kClipped;
    if (z < near) {
        if (near - z >= r) return kInvisible;
        result = kClipped;
    }
    const L3DPlane& px = x >= 0 ? planes[1] : planes[0];
    double s = px.a * x + px.c * z;
    if (s > 0) {
        if (s <= r) result = kClipped;
    } else {
        if (-s > r) return kInvisible;
        result = kClipped;
    }
    const L3DPlane& py = y <= 0 ? planes[2] : planes[3];
    s = py.b * y + py.c * z;
    if (s > 0) {
        if (s <= r) result = kClipped;
    } else {
        if (-s > r) return kInvisible;
        result = kClipped;
    }
    return result;
}

bool L3DCamera::IsPointVisible(const float* c) const {
    if (c[2] >= float(farDistance) || c[2] < float(nearDistance)) return false;
    const L3DPlane& px = c[0] < 0 ? planes[0] : planes[1];
    if (double(px.a) * c[0] + double(px.c) * c[2] <= 0) return false;
    const L3DPlane& py = c[1] <= 0 ? planes[2] : planes[3];
    return double(py.b) * c[1] + double(py.c) * c[2] > 0;
}

uint32_t L3DCamera::GetOutCodes(L3DPoint* const* points, int n) const {
    uint32_t codes = 0;
    for (int i = 0; i < n; ++i) {
        const float* c = points[i]->camera;
        if (double(planes[2].b) * c[1] + double(planes[2].c) * c[2] <= 0) codes |= 2;
        if (double(planes[3].b) * c[1] + double(planes[3].c) * c[2] <= 0) codes |= 4;
        if (double(planes[0].a) * c[0] + double(planes[0].c) * c[2] <= 0) codes |= 8;
        if (double(planes[1].a) * c[0] + double(planes[1].c) * c[2] <= 0) codes |= 16;
        if (c[2] >= float(farDistance)) codes |= 32;
        if (c[2] < float(nearDistance)) codes |= 64;
    }
    return codes;
}

const L3DPlane& L3DCamera::PlaneForOutCode(uint32_t bit) const {
    switch (bit) {
    case 8:
        return planes[0];
    case 16:
        return planes[1];
    case 2:
        return planes[2];
    case 4:
        return planes[3];
    case 64:
        return planes[4];
    default:
        return planes[5];
    }
}

L3DPoint* L3DCamera::TakeClipPoint() {
    if (clipPointCount >= kClipPoolSize) return nullptr;
    return &clipPool_[size_t(clipPointCount++)];
}

// A new frame starts with empty buckets, whatever an earlier one left queued.
void L3DCamera::PrepareDepthSort() {
    queued_.clear();
    queued_.reserve(kQueueReserve);
}

int32_t L3DCamera::QueuedCount() const {
    std::vector<bool> seen(static_cast<size_t>(kBucketCount));
    int32_t count = 0;
    for (const Queued& q : queued_)
        if (!seen[size_t(q.bucket)]) {
            seen[size_t(q.bucket)] = true;
            ++count;
        }
    return count;
}

void L3DCamera::DrawBuckets() {
    if (queued_.empty()) return;
    if (bucketStarts_.empty()) bucketStarts_.assign(size_t(kBucketCount), 0);
    int32_t lowest = kBucketCount, highest = 0;
    for (const Queued& q : queued_) {
        ++bucketStarts_[size_t(q.bucket)];
        lowest = std::min(lowest, q.bucket);
        highest = std::max(highest, q.bucket);
    }
    // The counts become each bucket's first place; equal buckets keep queueing order.
    uint32_t place = 0;
    for (int32_t i = lowest; i <= highest; ++i) {
        const uint32_t count = bucketStarts_[size_t(i)];
        bucketStarts_[size_t(i)] = place;
        place += count;
    }
    sorted_.resize(queued_.size());
    for (const Queued& q : queued_)
        sorted_[bucketStarts_[size_t(q.bucket)]++] = q.polygon;
    std::fill(bucketStarts_.begin() + lowest, bucketStarts_.begin() + highest + 1, 0u);
    queued_.clear();
    // Depth order is no memory order: the polygons a few places ahead are fetched early.
    constexpr size_t kAhead = 16;
    for (size_t i = 0; i < sorted_.size(); ++i) {
        if (i + kAhead < sorted_.size()) __builtin_prefetch(sorted_[i + kAhead]);
        sorted_[i]->Draw(*this);
        ++polygonsDrawn;
    }
}

int L3DCamera::Save(ChunkWriter& writer, uint32_t) const {
    const uint32_t start = writer.BeginChunk(ChunkTag("CAME"), 0);
    writer.WriteU8(world != nullptr ? 1 : 0);
    writer.WriteU16(uint16_t(drawMode));
    auto writeFloat = [&writer](float value) {
        uint32_t bits;
        std::memcpy(&bits, &value, 4);
        writer.WriteU32(bits);
    };
    writeFloat(fieldOfView);
    writer.WriteU16(fogMode != kFogOff ? 1 : 0);
    writer.WriteU32(uint32_t(fogColor[0]) | uint32_t(fogColor[1]) << 8 |
                    uint32_t(fogColor[2]) << 16);
    writeFloat(fogStart);
    writeFloat(fogEnd);
    writeFloat(fogDensity);
    char name[260];
    GetName(name, sizeof name);
    writer.WriteString(name);
    SaveChunk(writer);
    return writer.EndChunk(start) == 0 ? 1 : 0;
}

void L3DCamera::SetCollisionRadius(float r) {
    L3DObject::SetCollisionRadius(r);
    cameraRadius = r;
    if (boxObject == nullptr) return;
    // The shown box encloses the sphere: a cube whose corners lie r * sqrt(3) out.
    static const float kRootThree = std::sqrt(3.0f);
    const float s = r * kRootThree;
    const float corners[8][3] = {{-s, s, -s}, {s, s, -s}, {s, -s, -s}, {-s, -s, -s},
                                 {-s, s, s},  {s, s, s},  {s, -s, s},  {-s, -s, s}};
    LBasePoint* box = boxObject->GetCurrentPointList();
    for (int c = 0; c < 8 && box != nullptr && c < box->GetCount(); ++c)
        std::copy_n(corners[c], 3, box->GetPoint(c)->model);
    if (box != nullptr) box->ValuesChanged();
    ForEachPolygon(boxObject->GetCurrentPolygonList(), [](LPolygon* p) { p->ComputePlanes(0); });
}

int L3DCamera::CollideWithPolygons(L3DCamera& camera) {
    return MoveStep(camera);
}

int L3DCamera::MoveStep(L3DCamera& camera) {
    if ((L3DLocation::flags & (kPositionChanged | kRotationChanged)) != 0 && boxObject != nullptr)
        if (LBasePoint* box = boxObject->GetCurrentPointList())
            for (int32_t i = 0; i < box->GetCount(); ++i)
                box->GetPoint(i)->TransformAndProject(*this, camera);
    float movement[3];
    bool moved = false;
    for (int i = 0; i < 3; ++i) {
        movement[i] = position[i] - previousPosition[i];
        moved = moved || std::fabs(movement[i]) > 0.00001f;
    }
    if (!moved) return 0;
    const float r = GetCollisionRadius();
    float min[3], max[3];
    for (int i = 0; i < 3; ++i) {
        min[i] = std::min(previousPosition[i], position[i]) - r;
        max[i] = std::max(previousPosition[i], position[i]) + r;
    }
    std::vector<LPolygon*> polygons;
    CollectStaticInBox(min, max, polygons);
    return CollideWithPolygonList(camera, polygons);
}

void L3DCamera::StartProjectionPass() {
    // Unique over every camera, so that points projected through one camera never pass for
    // projected through another.
    static std::atomic<uint64_t> last{0};
    pass_ = ++last;
    passInputs_ = CurrentProjectionInputs();
}

uint64_t L3DCamera::ProjectionPass() {
    if (pass_ == 0) return 0;
    const ProjectionInputs now = CurrentProjectionInputs();
    if (std::memcmp(&now, &passInputs_, sizeof now) != 0) StartProjectionPass();
    return pass_;
}

L3DCamera::ProjectionInputs L3DCamera::CurrentProjectionInputs() const {
    ProjectionInputs in;
    std::copy_n(viewMatrix, 12, in.view);
    std::copy_n(position, 3, in.position);
    in.half[0] = halfWidth;
    in.half[1] = halfHeight;
    in.focal[0] = focalX;
    in.focal[1] = focalY;
    in.range[0] = nearDistance;
    in.range[1] = farDistance;
    for (int i = 0; i < 4; ++i) {
        in.planes[i][0] = planes[i].a;
        in.planes[i][1] = planes[i].b;
        in.planes[i][2] = planes[i].c;
    }
    in.fog[0] = fogMode;
    in.fog[1] = fogStartDistance;
    in.fog[2] = fogEndDistance;
    in.fog[3] = 0;
    in.fogDensity = fogDensity;
    return in;
}
