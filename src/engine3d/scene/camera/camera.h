// The viewpoint through which a world is drawn and picked: the projection, the six view
// planes, fog, the visibility tests objects and polygons ask of it, the clip-point pool
// and the depth buckets that sort blended polygons back to front.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/object.h"
#include "engine3d/scene/plane.h"

class ChunkWriter;
class LPolygon;
class LRenderAPICLBK;

// The user clip plane applied while a camera has object flag 0x80000; nothing sets it
// yet, so it stays zero.
struct UserClipPlane {
    float normal[3] = {};
    float point[3] = {};
};
const UserClipPlane& GetUserClipPlane();

class L3DCamera : public L3DObject {
public:
    static constexpr int kVisible = 2;
    static constexpr int kClipped = 4;
    static constexpr int kInvisible = 8;
    static constexpr uint32_t kUserClipPlane = 0x80000;
    static constexpr int kClipPoolSize = 64;
    static constexpr int kMaxClipVertices = 64;
    static constexpr int32_t kBucketCount = 16384;
    static constexpr uint32_t kQueueReserve = 10000;
    static constexpr uint8_t kFogOff = 0;
    static constexpr uint8_t kFogLinear = 2;
    static constexpr uint8_t kFogExponential = 4;
    static constexpr uint8_t kFogSquared = 8;

    L3DCamera(L3DWorld* world, uint32_t flags);

    int SetRotationMatrix(const float* m) override;
    // The camera's sphere, whatever its mesh.
    float GetBoundingRadius() const override { return cameraRadius; }
    // The collision sphere is the camera's own sphere: the sweep against the scene uses
    // the one, the floor query the other, and they must agree for the camera to land.
    void SetCollisionRadius(float r) override;
    // The camera's movement against the static scene, as a sphere of its collision radius.
    int CollideWithPolygons(L3DCamera& camera) override;
    int MoveStep(L3DCamera& camera);
    int SetAngles(float x, float y, float z, int relative) override;

    void SetFieldOfView(float degrees);
    void SetViewSize(int32_t width, int32_t height);
    void SetViewRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
    void SetMinVisibleDistance(int32_t near);
    void SetMaxVisibleDistance(int32_t far);
    void EnableFog(int on);
    void SetFogColor(uint32_t rgb);
    void SetFogRange(float start, float end);
    void SetFog(int on, uint32_t rgb, float start, float end, float density);
    void GetFogRange(float* start, float* end) const;
    float GetFogDensity() const { return fogDensity; }
    // The fog byte of a camera depth: 255 no fog, 0 full fog.
    uint8_t FogAt(float depth) const;

    int GetVisibility(const float* centre, float radius) const;
    bool IsPointVisible(const float* c) const;
    uint32_t GetOutCodes(L3DPoint* const* points, int n) const;
    const L3DPlane& PlaneForOutCode(uint32_t bit) const;
    // Null once the pool is used up for this polygon.
    L3DPoint* TakeClipPoint();

    // One frame through this camera; nothing without a renderer or a world.
    void DrawWorld(LRenderAPICLBK* renderer);
    // The number of the projection points get in this frame: new for each frame and
    // whenever what a point's projection reads of the camera changes, 0 outside a frame.
    // Points projected under the current number need not be projected again.
    uint64_t ProjectionPass();

    void PrepareDepthSort();
    // Keeps the polygon for the far-to-near walk by the depth it has now; a depth beyond
    // the buckets, NaN included, drops it. Inline and short, so that the depths of many
    // polygons are fetched at once.
    void QueueForDrawing(LPolygon* polygon) {
        const float depth = polygon->GetMaxDepth();
        // The whole depth's quarter between 1 and kBucketCount - nearDistance, tested in
        // floats: NaN fails both tests.
        const float end = float(kBucketCount + 1 - std::max(nearDistance, 0)) * 4.0f;
        if (!(depth >= 4.0f) || !(depth < end)) return;
        queued_.push_back(Queued{kBucketCount - (int32_t(depth) >> 2), polygon});
    }
    // Draws the queued polygons far to near and empties the buckets.
    void DrawBuckets();
    // The buckets holding queued polygons.
    int32_t QueuedCount() const;
    // "CAME"; 0 written.
    int Save(ChunkWriter& writer, uint32_t flags) const;

    float viewMatrix[16];
    uint32_t drawMode = 4;
    uint32_t polygonsDrawn = 0;
    float fieldOfView = 30;
    float ratio = 0.75f;
    float halfWidth = 1, halfHeight = 1;
    int32_t viewWidth = 0, viewHeight = 0;
    int32_t viewRect[4] = {};
    float focalX = 0, focalY = 0;
    int32_t farDistance = 65536;
    int32_t nearDistance = 20;
    uint8_t fogMode = kFogOff;
    uint8_t fogColor[3] = {};
    float fogStart = 0, fogEnd = 1;
    int32_t fogStartDistance = 0, fogEndDistance = 65536;
    float fogDensity = 1;
    uint32_t frameCounter = 0;
    // Bits 8, 16, 2, 4, 64, 32 in this order.
    L3DPlane planes[6];
    LRenderAPICLBK* renderer = nullptr;
    float cameraRadius = 175;
    int32_t clipPointCount = 0;

private:
    // What a point's projection reads of the camera, compared bit for bit.
    struct ProjectionInputs {
        float view[12];
        float position[3];
        float half[2];
        float focal[2];
        int32_t range[2];
        float planes[4][3];
        int32_t fog[4];
        float fogDensity;
    };
    ProjectionInputs CurrentProjectionInputs() const;
    void StartProjectionPass();

    struct Queued {
        int32_t bucket;
        LPolygon* polygon;
    };

    void DeriveFocal();
    void ComputeFrustumPlanes();
    void InvertView();
    void UpdateFogDistances();

    std::array<L3DPoint, kClipPoolSize> clipPool_;
    // The polygons in queueing order with their buckets, then ordered far to near by a
    // counting sort over the buckets: three flat arrays kept from frame to frame, so that
    // a frame allocates nothing once they have grown and its draw walk reads memory in
    // order instead of chasing links.
    std::vector<Queued> queued_;
    std::vector<uint32_t> bucketStarts_;
    std::vector<LPolygon*> sorted_;
    ProjectionInputs passInputs_{};
    // While a frame is drawn through this camera.
    uint64_t pass_ = 0;
};
