// A back end that draws nothing: base points, textures and polygons and no renderer, for
// worlds that are only loaded, saved or computed.
#pragma once

#include "engine3d/scene/render/device.h"

class LAPINull : public LAPICLBK {
public:
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
    int IsHardware() override { return 0; }
    void DetachAllRenderers() override {}
};
