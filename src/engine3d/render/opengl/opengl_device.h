// The OpenGL back end's device: OpenGL polygons, textures and renderers, and the display
// modes the display offers, each keeping the display-settings record that switches to it.
// It holds a load of the OpenGL libraries from construction to destruction.
#pragma once

#include "engine3d/render/backend_device.h"

class LAPI_OpenGL : public LAPIBackEnd {
public:
    // Loads the libraries (the registry made sure they can be) and builds the mode tree.
    LAPI_OpenGL();
    // The renderers go before the libraries do.
    ~LAPI_OpenGL() override;

    LRenderAPICLBK* CreateRenderer(L3DWorld* world) override;
    LPolygon* CreatePolygon(L3DObject* owner, int kind, uint32_t word) override;
    LTexture* CreateTexture(L3DWorld* world, const char* name, LCLBKObject* link) override;
    int IsHardware() override { return 1; }
    uint32_t GetFourCC() const override { return MakeFourCC("GL11"); }
    const char* GetDisplayName() const override { return "OpenGL 1.1"; }
    void EnumerateModes() override;
    void FreeModeData(uintptr_t data) override;

    // 1 when the libraries were loaded for this device.
    int IsLoaded() const { return loaded_; }

private:
    int loaded_ = 0;
};
