// The DIB back end's device: software polygons and renderers that present through a 2D
// surface, and the display modes the 2D library reports.
#pragma once

#include "engine3d/render/backend_device.h"

class LAPI_Surface_Win32 : public LAPIBackEnd {
public:
    // Builds the mode tree.
    LAPI_Surface_Win32();

    LRenderAPICLBK* CreateRenderer(L3DWorld* world) override;
    uint32_t GetFourCC() const override { return MakeFourCC("SW32"); }
    const char* GetDisplayName() const override { return "DIB"; }
    void EnumerateModes() override;
};
