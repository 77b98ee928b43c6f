// The world's background: a sprite over the whole view whose texture scrolls with the
// camera's yaw and pitch and turns with its roll.
#include <cmath>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/float_to_int.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/device.h"
#include "engine3d/scene/render/renderer.h"
#include "engine3d/scene/sprites/sprite.h"

namespace {

constexpr double kInverseTwoPi = 0.15915494;

float OrOne(float value) {
    return value < 0 || std::isnan(value) ? 1.0f : value;
}

} // namespace

LSprite* L3DWorld::BackgroundSprite() {
    if (backgroundSprite == nullptr && backend_ != nullptr)
        backgroundSprite = backend_->CreateSprite(this, nullptr);
    return backgroundSprite;
}

void L3DWorld::DeleteBackgroundSprite() {
    if (backgroundSprite == nullptr) return;
    if (backend_ != nullptr)
        backend_->DeleteSprite(backgroundSprite);
    else
        delete backgroundSprite;
    backgroundSprite = nullptr;
}

int L3DWorld::SetBackgroundMaterial(LMaterial* material) {
    LTexture* texture = material != nullptr ? material->GetTexture(0) : nullptr;
    if (texture == nullptr) {
        DeleteBackgroundSprite();
        backgroundMaterial = nullptr;
        return 2;
    }
    if (materials.IndexOf(material) < 0) materials.AddMaterial(material);
    LSprite* sprite = BackgroundSprite();
    if (sprite == nullptr) return 3;
    backgroundMaterial = material;
    sprite->SetTexture(texture);
    sprite->SetDrawMode(LSprite::kTextured);
    sprite->SetTiling(1, 1);
    return 0;
}

int L3DWorld::SetBackgroundParams(float w, float h, float tileX, float tileY) {
    LSprite* sprite = BackgroundSprite();
    if (sprite == nullptr) return 3;
    w = OrOne(w);
    h = OrOne(h);
    sprite->SetTiling(OrOne(tileX), OrOne(tileY));
    sprite->SetBounds(0, 0, TruncateToInt32(double(w) * 640), TruncateToInt32(double(h) * 480));
    backgroundScale[0] = w;
    backgroundScale[1] = h;
    return 0;
}

void L3DWorld::DrawBackground(L3DCamera& camera) {
    LSprite* sprite = backgroundSprite;
    const LTexture* texture = sprite != nullptr ? sprite->GetTexture() : nullptr;
    if (texture == nullptr) return;
    const double width = double(camera.viewWidth) * backgroundScale[0];
    const double height = double(camera.viewHeight) * backgroundScale[1];
    const double tw = texture->width, th = texture->height;
    const double tx = sprite->GetTilingX(), ty = sprite->GetTilingY();
    const bool follow = backgroundFollowsCamera != 0;
    double ou = kInverseTwoPi, ov = kInverseTwoPi;
    if (follow) {
        // A tiling of 0 leaves the texture where it is rather than dividing by it.
        ou = (1.0 - (tx != 0 ? camera.angles[1] / tx : 0)) * tw * kInverseTwoPi;
        ov = (1.0 - (ty != 0 ? camera.angles[0] / ty : 0)) * th * kInverseTwoPi;
    }
    const double c = std::cos(double(camera.angles[2])), s = std::sin(double(camera.angles[2]));
    for (SpriteCorner& corner : sprite->corners) {
        double u, v;
        if (corner.x != 0) {
            corner.x = float(width);
            u = (ou + tw) * tx;
        } else {
            u = ou * tx;
        }
        if (corner.y != 0) {
            corner.y = float(height);
            v = (ov + th) * ty;
        } else {
            v = ov * ty;
        }
        if (follow) {
            const double du = u - tw / 2, dv = v - th / 2;
            u = c * du - s * dv + tw / 2;
            v = c * dv + s * du + th / 2;
        }
        corner.u = float(u);
        corner.v = float(v);
    }
    if (camera.renderer != nullptr) camera.renderer->DrawQuad(&camera, sprite);
}
