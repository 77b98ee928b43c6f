// The DIB back end's renderer: draws into a 2D surface, its own or one a caller attaches
// (a script Surface showing a world), and presents each frame by copying that surface
// into its window. A camera texture's renderer draws straight into the texture's pixels
// and shows nothing.
#pragma once

#include "engine3d/render/software/software_renderer.h"

class SurfaceHandle;

class LRenderAPI_Surface_Win32 : public LRenderAPI_Software {
public:
    using LRenderAPICLBK::SetDisplayMode;

    LRenderAPI_Surface_Win32(L3DWorld* world, LAPICLBK* device);
    ~LRenderAPI_Surface_Win32() override;

    // Draws into `surface` (kept by the caller) from now on; null leaves no surface. An
    // owned surface is destroyed first.
    void AttachSurface(SurfaceHandle* surface);
    SurfaceHandle* GetSurface() const { return surface_; }

    int SetDisplayMode(uint32_t flags, int32_t width, int32_t height, int32_t depth) override;
    void BeginFrame() override;
    void EndFrame() override;
    uint8_t* LockTarget() override;
    void UnlockTarget(uint8_t* pixels) override;
    int Initialize() override;

private:
    void DropSurface();

    SurfaceHandle* surface_ = nullptr;
    int ownsSurface_ = 1;
};
