// The DirectDraw back end's renderer: draws into a DirectDraw back surface and presents
// it, in a window by a clipped copy to the primary surface, in full screen by flipping.
// A camera texture's renderer draws straight into the texture's pixels.
#pragma once

#include "engine3d/render/software/software_renderer.h"

class IDirectDrawClipper;
class IDirectDrawSurface;
class LAPI_DirectX;

class LRenderAPI_DirectX : public LRenderAPI_Software {
public:
    using LRenderAPICLBK::SetDisplayMode;

    LRenderAPI_DirectX(L3DWorld* world, LAPI_DirectX* device);
    ~LRenderAPI_DirectX() override;

    int SetDisplayMode(uint32_t flags, int32_t width, int32_t height, int32_t depth) override;
    void BeginFrame() override;
    void EndFrame() override;
    uint8_t* LockTarget() override;
    void UnlockTarget(uint8_t* pixels) override;
    int Initialize() override;

    // The background colour in the back surface's pixel format.
    uint32_t FillValue() const;
    IDirectDrawSurface* GetBackSurface() const { return back_; }

private:
    // 1 when the surfaces for the flags exist; what was made stays on failure.
    int CreateSurfaces();
    void ReleaseSurfaces();

    LAPI_DirectX* directX_;
    IDirectDrawSurface* primary_ = nullptr;
    IDirectDrawSurface* back_ = nullptr;
    IDirectDrawClipper* clipper_ = nullptr;
};
