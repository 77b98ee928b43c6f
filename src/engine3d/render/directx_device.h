// The DirectDraw back end's device: software polygons and renderers that present through
// DirectDraw surfaces, and the display modes DirectDraw offers.
#pragma once

#include "engine3d/render/backend_device.h"

class IDirectDraw2;

class LAPI_DirectX : public LAPIBackEnd {
public:
    // Creates the DirectDraw object and builds the mode tree; without DirectDraw the
    // tree has its driver and device but no modes.
    LAPI_DirectX();
    ~LAPI_DirectX() override;

    LRenderAPICLBK* CreateRenderer(L3DWorld* world) override;
    uint32_t GetFourCC() const override { return MakeFourCC("DX30"); }
    const char* GetDisplayName() const override { return "DirectDraw 3"; }
    int WaitForVerticalBlank() override;
    int CanWaitForVerticalBlank() override { return 1; }
    void EnumerateModes() override;

    // Null when DirectDraw could not be made.
    IDirectDraw2* GetDirectDraw() const { return directDraw_; }

private:
    IDirectDraw2* directDraw_ = nullptr;
};
