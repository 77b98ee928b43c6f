// The back end's device, as the scene model calls it: the factory of every point,
// polygon, texture, sprite and renderer of a world. Back ends derive their devices from
// it; the null device serves worlds that are only loaded, saved or computed.
#pragma once

#include <cstdint>

class L3DObject;
class L3DPoint;
class L3DWorld;
class LCLBKObject;
class LPolygon;
class LRenderAPICLBK;
class LSprite;
class LTexture;

class LAPICLBK {
public:
    LAPICLBK() = default;
    LAPICLBK(const LAPICLBK&) = delete;
    LAPICLBK& operator=(const LAPICLBK&) = delete;
    virtual ~LAPICLBK() = default;

    virtual LSprite* CreateSprite(L3DWorld* world, LCLBKObject* link) = 0;
    virtual LRenderAPICLBK* CreateRenderer(L3DWorld* world) = 0;
    // Seven values: the model position and the two texture pairs.
    virtual L3DPoint* CreatePoint(float x, float y, float z, float u1, float v1, float u2,
                                  float v2) = 0;
    // An empty polygon of the back end's class; kind is 2 in every call.
    virtual LPolygon* CreatePolygon(L3DObject* owner, int kind, uint32_t word) = 0;
    virtual LTexture* CreateTexture(L3DWorld* world, const char* name, LCLBKObject* link) = 0;
    virtual void ReleaseRenderer(LRenderAPICLBK* renderer) = 0;
    virtual void DeletePoint(L3DPoint* point) = 0;
    virtual void DeletePolygon(LPolygon* polygon) = 0;
    virtual void DeleteTexture(LTexture* texture) = 0;
    virtual void DeleteSprite(LSprite* sprite) = 0;
    // 1 for the back ends that draw with hardware.
    virtual int IsHardware() = 0;
    virtual void DetachAllRenderers() = 0;
};
