#include "engine3d/scene/render/null_device.h"

#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/sprites/sprite.h"

LSprite* LAPINull::CreateSprite(L3DWorld* world, LCLBKObject* link) {
    return new LSprite(world, 0, link);
}

LRenderAPICLBK* LAPINull::CreateRenderer(L3DWorld*) {
    return nullptr;
}

L3DPoint* LAPINull::CreatePoint(float x, float y, float z, float u1, float v1, float u2, float v2) {
    return new L3DPoint(x, y, z, u1, v1, u2, v2);
}

LPolygon* LAPINull::CreatePolygon(L3DObject* owner, int kind, uint32_t) {
    return new LPolygon(owner, kind, this);
}

LTexture* LAPINull::CreateTexture(L3DWorld* world, const char* name, LCLBKObject* link) {
    return new LTexture(world, name, link);
}

void LAPINull::ReleaseRenderer(LRenderAPICLBK*) {}

void LAPINull::DeletePoint(L3DPoint* point) {
    delete point;
}

void LAPINull::DeletePolygon(LPolygon* polygon) {
    delete polygon;
}

void LAPINull::DeleteTexture(LTexture* texture) {
    delete texture;
}

void LAPINull::DeleteSprite(LSprite* sprite) {
    delete sprite;
}
