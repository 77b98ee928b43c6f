#include "engine3d/render/software/software_renderer.h"

#include <algorithm>

#include "engine3d/render/software/polygon/software_polygon.h"
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/device.h"
#include "engine3d/scene/render/frame_state.h"
#include "engine3d/scene/sprites/sprite.h"

namespace {

constexpr float kSpritePointDepth = 20.0f;

} // namespace

LRenderAPI_Software::LRenderAPI_Software(L3DWorld* w, LAPICLBK* d) : LRenderAPICLBK(w, d) {
    useScreenDepth = 1;
    if (device == nullptr) return;
    spritePolygon_ = static_cast<LPolygon_Software*>(device->CreatePolygon(nullptr, 2, 0));
    spritePolygon_->capacity = 4;
    spriteMaterial_ = new LMaterial(world, "SpriteMat", nullptr, 0xFFFFFFFFu, 0, nullptr);
    spritePolygon_->SetMaterialWithPoints(spriteMaterial_, device);
    for (L3DPoint*& point : spritePoints_) {
        point = device->CreatePoint(0, 0, 0, 0, 0, 0, 0);
        point->depth = kSpritePointDepth;
        spritePolygon_->AddVertex(point);
    }
}

LRenderAPI_Software::~LRenderAPI_Software() {
    if (spritePolygon_ != nullptr) {
        spritePolygon_->owner = nullptr;
        spritePolygon_->dirty = 1;
        device->DeletePolygon(spritePolygon_);
        for (L3DPoint* point : spritePoints_)
            device->DeletePoint(point);
    }
    delete spriteMaterial_;
    LRenderAPICLBK::DetachView();
    FreeTables();
    targetWindow = 0;
    targetTexture = nullptr;
    if (CurrentSoftwareRaster() == &raster_) SetCurrentSoftwareRaster(nullptr);
    if (GetCurrentRenderer() == this) SetCurrentRenderer(nullptr);
}

int32_t LRenderAPI_Software::MemoryPitch(uint32_t w, uint32_t bits) {
    return int32_t(((bits + 7) / 8 * w + 3) & ~3u);
}

uint8_t* LRenderAPI_Software::MemoryTargetPixels() const {
    if (targetTexture == nullptr || targetTexture->pixels == nullptr) return nullptr;
    // A view larger than the texture, or deeper than its pixels, would write past them.
    const LTexture& t = *targetTexture;
    if (t.pitch < pitch || t.height < height || (t.bitsPerPixel + 7) / 8 != (depth + 7u) / 8u)
        return nullptr;
    return t.pixels;
}

void LRenderAPI_Software::MakeRasterCurrent() {
    SyncRaster(raster_.Pixels);
    SetCurrentSoftwareRaster(&raster_);
    SetCurrentRenderer(this);
}

int LRenderAPI_Software::CheckRequest(uint32_t f, int32_t w, int32_t h, int32_t d) {
    constexpr int32_t kLargest = 32767;
    if (w < 1 || h < 1 || w > kLargest || h > kLargest) return kBadArgument;
    if ((f & (kFullScreen | kWindowed)) == (kFullScreen | kWindowed)) return kBadArgument;
    if (d != 8 && d != 15 && d != 16 && d != 24 && d != 32) return kDepthNotShown;
    return 0;
}

void LRenderAPI_Software::ApplyPitch(int32_t value) {
    if (value != kKeep) SetPitch(value);
    SetViewport(-1, -1, -1, -1, -1);
}

void LRenderAPI_Software::SyncRaster(uint8_t* pixels) {
    raster_.Pixels = pixels;
    raster_.Pitch = signedPitch;
    raster_.BitsPerPixel = depth;
    raster_.ViewWidth = int32_t(width);
    raster_.ViewHeight = int32_t(height);
    raster_.DepthBuffer = depthBuffer_.empty() ? nullptr : depthBuffer_.data();
    raster_.DepthPitch = depthWidth_;
    raster_.StateBits = uint32_t(stateBits);
    raster_.ClippedDraw = ClippedDraw;
    raster_.XTableA = xTableA_.empty() ? nullptr : xTableA_.data();
    raster_.XTableB = xTableB_.empty() ? nullptr : xTableB_.data();
    raster_.EdgeTableA = edgeTableA_.empty() ? nullptr : edgeTableA_.data();
    raster_.EdgeTableB = edgeTableB_.empty() ? nullptr : edgeTableB_.data();
    raster_.TableRows = int32_t(xTableA_.size());
}

void LRenderAPI_Software::AllocateTables() {
    // One entry per row of the target: a tall narrow target has more rows than bytes
    // per row.
    const size_t rows = std::max<size_t>(pitch, size_t(height) + 1);
    xTableA_.assign(rows, 0);
    xTableB_.assign(rows, 0);
    edgeTableA_.assign(rows, ScanEdge{});
    edgeTableB_.assign(rows, ScanEdge{});
}

void LRenderAPI_Software::FreeTables() {
    xTableA_ = {};
    xTableB_ = {};
    edgeTableA_ = {};
    edgeTableB_ = {};
}

int LRenderAPI_Software::AttachView(L3DCamera* camera) {
    const int result = LRenderAPICLBK::AttachView(camera);
    if (camera != nullptr) AllocateTables();
    return result;
}

void LRenderAPI_Software::DetachView() {
    LRenderAPICLBK::DetachView();
    FreeTables();
}

void LRenderAPI_Software::ForgetWorld() {
    LRenderAPICLBK::ForgetWorld();
    if (spriteMaterial_ != nullptr) spriteMaterial_->world = nullptr;
}

int LRenderAPI_Software::IsCapable(uint32_t bits) {
    return bits == 4 || bits == 8 || bits == 16 || bits == 256 || bits == 32768 ? 1 : 0;
}

int32_t LRenderAPI_Software::SetStateBits(uint32_t bits) {
    const int32_t result = LRenderAPICLBK::SetStateBits(bits);
    if (bits == 4 && result != 0 && world != nullptr) world->InvalidateMaterials();
    return result;
}

void LRenderAPI_Software::ClearStateBits(uint32_t bits) {
    LRenderAPICLBK::ClearStateBits(bits);
    if (bits == 4 && world != nullptr) world->InvalidateMaterials();
}

void LRenderAPI_Software::PrepareDepthBuffer() {
    const int32_t bytesPerPixel = std::max((int32_t(depth) + 1) / 8, 1);
    const int32_t w = int32_t(pitch) / bytesPerPixel;
    const int32_t h = int32_t(height);
    if (w != depthWidth_ || h != depthHeight_) {
        depthBuffer_.assign(size_t(std::max(w, 0)) * size_t(std::max(h, 0)), 0);
        depthWidth_ = w;
        depthHeight_ = h;
    }
    std::fill(depthBuffer_.begin(), depthBuffer_.end(), 0);
}

void LRenderAPI_Software::RenderFrame() {
    LockRender();
    LRenderAPICLBK* previous = GetCurrentRenderer();
    SoftwareRasterState* previousRaster = CurrentSoftwareRaster();
    SetCurrentRenderer(this);
    SetCurrentSoftwareRaster(&raster_);
    repaintDone = 0;
    BeginFrame();
    if ((flags & kDepthBuffer) != 0) PrepareDepthBuffer();
    if (view != nullptr) {
        if (xTableA_.size() < std::max<size_t>(pitch, size_t(height) + 1)) AllocateTables();
        if (uint8_t* pixels = LockTarget()) {
            SyncRaster(pixels);
            view->DrawWorld(this);
            UnlockTarget(pixels);
            raster_.Pixels = nullptr;
        }
    }
    EndFrame();
    SetCurrentSoftwareRaster(previousRaster);
    SetCurrentRenderer(previous);
    UnlockRender();
}

bool LRenderAPI_Software::LendClipped(L3DCamera& camera, L3DPoint** clipped) {
    int count = 0;
    spritePolygon_->ClipAndProject(camera, spritePolygon_->Vertices(), 4, clipped, &count, 0);
    if (count < 1) return false;
    spritePolygon_->LendVertices(clipped, count);
    ClippedDraw = 1;
    raster_.ClippedDraw = 1;
    return true;
}

void LRenderAPI_Software::ReturnClipped() {
    spritePolygon_->ReturnVertices();
    ClippedDraw = 0;
    raster_.ClippedDraw = 0;
}

void LRenderAPI_Software::FillSprite(const LSprite& sprite) {
    LPolygon_Software& p = *spritePolygon_;
    const bool keyed = (sprite.drawMode & LSprite::kTransparentColor) != 0;
    const bool translucent = depth != 8 && sprite.alpha < 255;
    if (depth != 8) spriteMaterial_->SetAlphaValue(uint8_t(sprite.alpha));
    switch (depth) {
    case 8:
        keyed ? p.FillQuadTexturedKeyed8() : p.FillQuadTextured8();
        break;
    case 15:
    case 16:
        if (translucent && keyed) {
            depth == 15 ? p.FillQuadTexturedKeyedTranslucent15()
                        : p.FillQuadTexturedKeyedTranslucent16();
        } else if (translucent) {
            depth == 15 ? p.FillQuadTexturedTranslucent15() : p.FillQuadTexturedTranslucent16();
        } else {
            keyed ? p.FillQuadTexturedKeyed16(depth) : p.FillQuadTextured16(depth);
        }
        break;
    case 24:
        if (translucent)
            keyed ? p.FillQuadTexturedKeyedTranslucent24() : p.FillQuadTexturedTranslucent24();
        else
            keyed ? p.FillQuadTexturedKeyed24() : p.FillQuadTextured24();
        break;
    case 32:
        if (translucent)
            keyed ? p.FillQuadTexturedKeyedTranslucent32() : p.FillQuadTexturedTranslucent32();
        else
            keyed ? p.FillQuadTexturedKeyed32() : p.FillQuadTextured32();
        break;
    default:
        break;
    }
}

void LRenderAPI_Software::FillSolidSprite(const LSprite& sprite) {
    LPolygon_Software& p = *spritePolygon_;
    const bool translucent = depth != 8 && depth != 24 && sprite.alpha < 255;
    if (depth != 8 && depth != 24) spriteMaterial_->SetAlphaValue(uint8_t(sprite.alpha));
    switch (depth) {
    case 8:
        p.FillQuadSolid8();
        break;
    case 15:
        translucent ? p.FillQuadSolidTranslucent15() : p.FillQuadSolid16(depth);
        break;
    case 16:
        translucent ? p.FillQuadSolidTranslucent16() : p.FillQuadSolid16(depth);
        break;
    case 24:
        p.FillQuadSolid24();
        break;
    case 32:
        translucent ? p.FillQuadSolidTranslucent32() : p.FillQuadSolid32();
        break;
    default:
        break;
    }
}

void LRenderAPI_Software::DrawElement2D(L3DCamera* camera, LSprite* sprite) {
    if (spritePolygon_ == nullptr || camera == nullptr || sprite == nullptr) return;
    LPolygon_Software& p = *spritePolygon_;
    p.owner = camera;
    p.dirty = 1;
    const float near = float(camera->nearDistance);
    for (int i = 0; i < 4; ++i) {
        const SpriteCorner& corner = sprite->corners[i];
        L3DPoint* v = p.GetVertex(i);
        v->camera[0] = (corner.x - camera->halfWidth) / (camera->focalX * 0.05f);
        v->camera[1] = (camera->halfHeight - corner.y) / (camera->focalY * 0.05f);
        v->camera[2] = near;
        v->screenX = corner.x;
        v->screenY = corner.y;
        v->depth = near;
        v->visible = camera->IsPointVisible(v->camera) ? 1 : 0;
        p.SetUV(i, corner.u, corner.v);
    }
    uint16_t visibility = p.ComputeVisibility(*camera);
    if (visibility == LPolygon::kCulled) visibility = LPolygon::kCrossing;
    const bool crossing = visibility == LPolygon::kCrossing;
    L3DPoint* clipped[L3DCamera::kMaxClipVertices] = {};
    const uint32_t mode = sprite->drawMode;
    if ((mode & (LSprite::kTextured | LSprite::kSolid)) != 0) {
        spriteMaterial_->SetWireFrame(0);
        const bool textured = (mode & LSprite::kTextured) != 0;
        // The colour's setter also picks the palette index the 8-bit fillers write.
        if (textured)
            spriteMaterial_->textures[0] = sprite->texture;
        else
            spriteMaterial_->SetColor(sprite->color);
        if (!crossing || LendClipped(*camera, clipped)) {
            SyncRaster(raster_.Pixels);
            textured ? FillSprite(*sprite) : FillSolidSprite(*sprite);
            if (crossing) ReturnClipped();
        } else {
            return;
        }
    }
    if ((mode & 2) == 0) return;
    spriteMaterial_->SetWireFrame(1);
    spriteMaterial_->SetColor(sprite->color);
    if (crossing && !LendClipped(*camera, clipped)) return;
    SyncRaster(raster_.Pixels);
    switch (depth) {
    case 8:
        p.DrawWire8();
        break;
    case 15:
        p.DrawWire15();
        break;
    case 16:
        p.DrawWire16();
        break;
    case 24:
        p.DrawWire24();
        break;
    case 32:
        p.DrawWire32();
        break;
    default:
        break;
    }
    if (crossing) ReturnClipped();
}

void LRenderAPI_Software::DrawQuad(L3DCamera* camera, LSprite* backdrop) {
    if (spritePolygon_ == nullptr || camera == nullptr || backdrop == nullptr) return;
    LPolygon_Software& p = *spritePolygon_;
    p.owner = camera;
    p.dirty = 1;
    if ((backdrop->drawMode & LSprite::kTextured) == 0) return;
    spriteMaterial_->textures[0] = backdrop->texture;
    const float near = float(camera->nearDistance);
    for (int i = 0; i < 4; ++i) {
        const SpriteCorner& corner = backdrop->corners[i];
        L3DPoint* v = p.GetVertex(i);
        v->screenX = corner.x;
        v->screenY = corner.y;
        v->depth = near;
        p.SetUV(i, corner.u, corner.v);
    }
    SyncRaster(raster_.Pixels);
    switch (depth) {
    case 8:
        p.DrawSpansTexturedAffine8();
        break;
    case 15:
    case 16:
        p.DrawSpansTexturedAffine16();
        break;
    case 24:
        p.DrawSpansTexturedAffine24();
        break;
    case 32:
        p.DrawSpansTexturedAffine32();
        break;
    default:
        break;
    }
}
