#include "engine3d/scene/sprites/sprite.h"

#include <cmath>

#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/objects/world.h"

LSprite::LSprite(L3DWorld* owner, uint32_t, LCLBKObject* link)
    : LManageCLBKObject(link), world(owner) {}

LSprite::~LSprite() {
    CountUse(texture, -1);
}

void LSprite::CountUse(LTexture* t, int32_t change) const {
    if (t == nullptr || world == nullptr) return;
    if (LListNode* node = world->textures.list.FindNode(t)) node->useCount += change;
}

void LSprite::SetDrawMode(uint32_t mode) {
    if ((mode & kTextured) != 0 && texture == nullptr) mode = (mode & ~kTextured) | kSolid;
    drawMode = mode;
}

void LSprite::SetTexture(LTexture* next) {
    CountUse(next, 1);
    CountUse(texture, -1);
    if (next == nullptr) drawMode = (drawMode & ~uint32_t(2 | kTextured)) | kSolid;
    if (next == texture) return;
    texture = next;
    if (texture != nullptr) texture->SetAlpha(uint8_t(alpha));
    ComputeCorners();
}

void LSprite::SetAlpha(uint8_t value) {
    alpha = value;
    if (texture != nullptr) texture->SetAlpha(value);
}

void LSprite::SetAngle(float a) {
    if (!(a >= 0)) a = 0;
    if (a > kFullTurn) a = kFullTurn;
    if (a == angle) return;
    angle = a;
    ComputeCorners();
}

void LSprite::SetHotSpot(int32_t x, int32_t y) {
    if (x == hotSpot[0] && y == hotSpot[1]) return;
    hotSpot[0] = x;
    hotSpot[1] = y;
    ComputeCorners();
}

void LSprite::SetBounds(int32_t x, int32_t y, int32_t w, int32_t h) {
    if (x == bounds[0] && y == bounds[1] && w == size[0] && h == size[1]) return;
    bounds[0] = x;
    bounds[1] = y;
    size[0] = w;
    size[1] = h;
    ComputeCorners();
}

void LSprite::SetTiling(float x, float y) {
    if (!(x >= 0)) x = 0;
    if (!(y >= 0)) y = 0;
    if (x == tiling[0] && y == tiling[1]) return;
    tiling[0] = x;
    tiling[1] = y;
    ComputeCorners();
}

void LSprite::ComputeCorners() {
    // In 64 bits: positions and sizes come from scripts.
    const int64_t left = int64_t(bounds[0]) - hotSpot[0];
    const int64_t top = int64_t(bounds[1]) - hotSpot[1];
    const int64_t xs[4] = {left, left + size[0], left + size[0], left};
    const int64_t ys[4] = {top, top, top + size[1], top + size[1]};
    const double c = std::cos(double(angle)), s = std::sin(double(angle));
    const double tw = texture != nullptr ? double(texture->rowLength) * tiling[0] : 0;
    const double th = texture != nullptr ? double(texture->height) * tiling[1] : 0;
    const double us[4] = {0, tw, tw, 0};
    const double vs[4] = {0, 0, th, th};
    for (int i = 0; i < 4; ++i) {
        const double dx = double(xs[i] - bounds[0]), dy = double(ys[i] - bounds[1]);
        corners[i].x = float(c * dx - s * dy + bounds[0]);
        corners[i].y = float(c * dy + s * dx + bounds[1]);
        corners[i].u = float(us[i]);
        corners[i].v = float(vs[i]);
    }
}
