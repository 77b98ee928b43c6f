// A back end for tests: its polygons record every draw (polygon, material, the vertex
// list as drawn) and its renderers record the calls the scene makes with their arguments.
// The hardware answer and the texture limits are set per test.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/render/device.h"
#include "engine3d/scene/render/renderer.h"

struct RecordedDraw {
    LPolygon* polygon;
    LMaterial* material;
    // Camera-space positions of the vertices as drawn.
    std::vector<std::array<float, 3>> vertices;
    // The renderer calls recorded before this draw, which places it among them.
    size_t callsBefore = 0;
};

struct RecordedCall {
    std::string slot;
    void* first = nullptr;
    void* second = nullptr;
    void* third = nullptr;
    std::vector<uint32_t> values;
};

class L3DGrid;
class RecordingDevice;

class RecordingPolygon : public LPolygon {
public:
    RecordingPolygon(L3DObject* owner, int kind, RecordingDevice* device);
    void Prepare() override;
    void DrawVertices(L3DPoint* const* vertices, int count, uint32_t flags) override;

private:
    RecordingDevice* device_;
};

class RecordingRenderer : public LRenderAPICLBK {
public:
    explicit RecordingRenderer(std::vector<RecordedCall>* calls) : calls_(calls) {}

    uint32_t GetTextureDepth(uint32_t depth) override {
        return depthAnswer != 0 ? depthAnswer : depth;
    }
    int32_t GetMinTextureWidth() override { return minWidth; }
    int32_t GetMinTextureHeight() override { return minHeight; }
    int32_t GetMaxTextureWidth() override { return maxWidth; }
    int32_t GetMaxTextureHeight() override { return maxHeight; }
    // A frame as a back end draws it: under the render lock, as the current renderer,
    // between its begin and end, through the attached camera.
    void RenderFrame() override;
    int AttachView(L3DCamera* camera) override;
    void DrawElement2D(L3DCamera* camera, LSprite* sprite) override;
    void DrawQuad(L3DCamera* camera, LSprite* sprite) override;
    void BeginFrame() override { Record("BeginFrame"); }
    void DrawPolygonBatch(LCacheMaterial* batch, L3DCamera* camera, L3DObject* object) override;
    // With a grid and a camera, slot 32 draws the grid.
    void DrawGrid() override;
    void BeginExtraPass(uint32_t value) override;
    void EndExtraPass() override { Record("EndExtraPass"); }
    void DrawGridForCamera(L3DCamera* camera) override;
    int SetDisplayMode(int32_t width, int32_t height, uint32_t flags, uint32_t depth,
                       LTexture* target) override;

    // The texture depth the renderer maps every asked depth to; 0 keeps it.
    uint32_t depthAnswer = 0;
    int32_t minWidth = 0, minHeight = 0;
    int32_t maxWidth = 0x7FFFFFFF, maxHeight = 0x7FFFFFFF;
    // What DrawPolygonBatch saw: the batch's indices and vertex count.
    std::vector<std::vector<uint16_t>> batchIndices;
    std::vector<uint32_t> batchVertexCounts;
    L3DCamera* attached = nullptr;
    L3DGrid* grid = nullptr;

private:
    void Record(const char* slot, void* a = nullptr, void* b = nullptr, void* c = nullptr,
                std::vector<uint32_t> values = {});

    std::vector<RecordedCall>* calls_;
};

class RecordingDevice : public LAPICLBK {
public:
    ~RecordingDevice() override;

    LSprite* CreateSprite(L3DWorld* world, LCLBKObject* link) override;
    LRenderAPICLBK* CreateRenderer(L3DWorld* world) override;
    L3DPoint* CreatePoint(float x, float y, float z, float u1, float v1, float u2,
                          float v2) override;
    LPolygon* CreatePolygon(L3DObject* owner, int kind, uint32_t word) override;
    LTexture* CreateTexture(L3DWorld* world, const char* name, LCLBKObject* link) override;
    void ReleaseRenderer(LRenderAPICLBK* renderer) override;
    void DeletePoint(L3DPoint* point) override;
    void DeletePolygon(LPolygon* polygon) override;
    void DeleteTexture(LTexture* texture) override;
    void DeleteSprite(LSprite* sprite) override;
    int IsHardware() override { return hardware; }
    void DetachAllRenderers() override { ++detachCalls; }

    int hardware = 0;
    int detachCalls = 0;
    int pointsAlive = 0;
    int polygonsAlive = 0;
    std::vector<RecordedDraw> draws;
    std::vector<RecordedCall> calls;
    std::vector<std::unique_ptr<RecordingRenderer>> renderers;
};
