// What the DIB and DirectDraw back ends' devices share: the factory of base points,
// textures and sprites and of software polygons, the list of renderers they made, and
// their mode tree shown to the script runtime as its display API, where a driver is a
// display device and a device one of its drivers.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "engine3d/scene/render/device.h"
#include "script/runtime/display_list.h"

class LAPIBackEnd : public LAPICLBK, public CDisplayAPI {
public:
    LAPIBackEnd();
    // Every renderer made here is destroyed, then the tree.
    ~LAPIBackEnd() override;

    LSprite* CreateSprite(L3DWorld* world, LCLBKObject* link) override;
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
    // Every renderer loses its view, its grid and its world.
    void DetachAllRenderers() override;

    void GetName(char* buffer, int32_t size) const override { LAPICLBK::GetName(buffer, size); }
    uint32_t GetDeviceCount() const override;
    CDisplayDevice* GetDevice(uint32_t index) const override;

    const std::vector<LRenderAPICLBK*>& GetRenderers() const { return renderers_; }

protected:
    // Keeps a renderer just made; null passes through.
    LRenderAPICLBK* Keep(LRenderAPICLBK* renderer);
    // The tree as every software back end starts it: one driver and one device, both
    // "Default", the device able to draw into a window.
    LDisplayDevice* AddDefaultDevice();

private:
    class DriverView;
    class DeviceView;

    std::vector<LRenderAPICLBK*> renderers_;
    mutable std::map<const LDisplayDriver*, std::unique_ptr<DriverView>> driverViews_;
};
