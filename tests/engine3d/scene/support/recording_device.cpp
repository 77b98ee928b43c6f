#include "engine3d/scene/support/recording_device.h"

#include <algorithm>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/grid/grid.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/mesh/material_batch.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/render/frame_state.h"
#include "engine3d/scene/sprites/sprite.h"

RecordingPolygon::RecordingPolygon(L3DObject* owner, int kind, RecordingDevice* device)
    : LPolygon(owner, kind, device), device_(device) {}

void RecordingPolygon::Prepare() {
    if (LMaterial* m = GetMaterial()) {
        m->drawRoutine = [](LPolygon& p, L3DCamera& c) { p.DrawUnclipped(c); };
        m->drawThunk = [](LPolygon& p, L3DCamera& c) { p.DrawClipped(c); };
    }
}

void RecordingPolygon::DrawVertices(L3DPoint* const* vertices, int count, uint32_t) {
    RecordedDraw draw{this, GetMaterial(), {}, device_->calls.size()};
    for (int i = 0; i < count; ++i)
        draw.vertices.push_back(
            {vertices[i]->camera[0], vertices[i]->camera[1], vertices[i]->camera[2]});
    device_->draws.push_back(std::move(draw));
}

void RecordingRenderer::Record(const char* slot, void* a, void* b, void* c,
                               std::vector<uint32_t> values) {
    calls_->push_back(RecordedCall{slot, a, b, c, std::move(values)});
}

int RecordingRenderer::AttachView(L3DCamera* camera) {
    Record("AttachView", camera);
    attached = camera;
    return 0;
}

void RecordingRenderer::RenderFrame() {
    Record("RenderFrame");
    LockRender();
    LRenderAPICLBK* previous = GetCurrentRenderer();
    SetCurrentRenderer(this);
    BeginFrame();
    if (attached != nullptr) attached->DrawWorld(this);
    Record("EndFrame");
    SetCurrentRenderer(previous);
    UnlockRender();
}

void RecordingRenderer::DrawElement2D(L3DCamera* camera, LSprite* sprite) {
    Record("DrawElement2D", camera, sprite);
}

void RecordingRenderer::DrawQuad(L3DCamera* camera, LSprite* sprite) {
    Record("DrawQuad", camera, sprite);
}

void RecordingRenderer::DrawPolygonBatch(LCacheMaterial* batch, L3DCamera* camera,
                                         L3DObject* object) {
    Record("DrawPolygonBatch", batch, camera, object);
    batchIndices.emplace_back(batch->Indices(), batch->Indices() + batch->indexCount);
    batchVertexCounts.push_back(batch->vertexCount);
}

void RecordingRenderer::BeginExtraPass(uint32_t value) {
    Record("BeginExtraPass", nullptr, nullptr, nullptr, {value});
}

void RecordingRenderer::DrawGrid() {
    Record("DrawGrid");
    if (grid != nullptr && attached != nullptr) DrawGridForCamera(attached);
}

void RecordingRenderer::DrawGridForCamera(L3DCamera* camera) {
    Record("DrawGridForCamera", camera);
    if (grid != nullptr && camera != nullptr) grid->Draw(*camera);
}

int RecordingRenderer::SetDisplayMode(int32_t width, int32_t height, uint32_t flags, uint32_t depth,
                                      LTexture* target) {
    Record("SetDisplayMode", target, nullptr, nullptr,
           {uint32_t(width), uint32_t(height), flags, depth});
    stateFlags |= uint8_t(flags & kNoCameraTextures);
    return 0;
}

RecordingDevice::~RecordingDevice() = default;

LRenderAPICLBK* RecordingDevice::CreateRenderer(L3DWorld*) {
    renderers.push_back(std::make_unique<RecordingRenderer>(&calls));
    return renderers.back().get();
}

L3DPoint* RecordingDevice::CreatePoint(float x, float y, float z, float u1, float v1, float u2,
                                       float v2) {
    ++pointsAlive;
    return new L3DPoint(x, y, z, u1, v1, u2, v2);
}

LPolygon* RecordingDevice::CreatePolygon(L3DObject* owner, int kind, uint32_t) {
    ++polygonsAlive;
    return new RecordingPolygon(owner, kind, this);
}

LTexture* RecordingDevice::CreateTexture(L3DWorld* world, const char* name, LCLBKObject* link) {
    return new LTexture(world, name, link);
}

void RecordingDevice::ReleaseRenderer(LRenderAPICLBK* renderer) {
    std::erase_if(renderers, [renderer](const auto& r) { return r.get() == renderer; });
}

void RecordingDevice::DeletePoint(L3DPoint* point) {
    --pointsAlive;
    delete point;
}

void RecordingDevice::DeletePolygon(LPolygon* polygon) {
    --polygonsAlive;
    delete polygon;
}

void RecordingDevice::DeleteTexture(LTexture* texture) {
    delete texture;
}

LSprite* RecordingDevice::CreateSprite(L3DWorld* world, LCLBKObject* link) {
    return new LSprite(world, 0, link);
}

void RecordingDevice::DeleteSprite(LSprite* sprite) {
    delete sprite;
}
