#include "engine3d/render/software/dib_presenter.h"

#include <cstring>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/device.h"
#include "graphics2d/drawing/surface_handle.h"
#include "graphics2d/palette/palette.h"
#include "graphics2d/surfaces/gdi_surface.h"
#include "graphics2d/surfaces/surface_kinds.h"
#include "platform/gdi/dc_state.h"
#include "platform/gdi/palettes.h"
#include "platform/gdi/text/text_out.h"

namespace {

constexpr COLORREF kStatisticsColour = 0xFFFFFF;

int32_t SurfacePitch(const SurfaceHandle& surface) {
    return surface.GetImpl()->GetBits()->signedPitch;
}

} // namespace

LRenderAPI_Surface_Win32::LRenderAPI_Surface_Win32(L3DWorld* w, LAPICLBK* d)
    : LRenderAPI_Software(w, d) {}

LRenderAPI_Surface_Win32::~LRenderAPI_Surface_Win32() {
    DetachView();
    DropSurface();
    targetWindow = 0;
}

void LRenderAPI_Surface_Win32::DropSurface() {
    if (ownsSurface_ != 0) delete surface_;
    surface_ = nullptr;
    ownsSurface_ = 1;
}

void LRenderAPI_Surface_Win32::AttachSurface(SurfaceHandle* surface) {
    DropSurface();
    surface_ = surface;
    if (surface == nullptr) return;
    ApplyPitch(SurfacePitch(*surface));
    ownsSurface_ = 0;
}

int LRenderAPI_Surface_Win32::Initialize() {
    MakeRasterCurrent();
    if ((flags & kMemoryTarget) != 0) {
        // The texture's own pixels are the frame; no surface stands between.
        const int32_t rowPitch = MemoryPitch(width, depth);
        SetPitch(rowPitch);
        ApplyPitch(rowPitch);
        return 0;
    }
    SurfaceHandle* prototype = nullptr;
    PickSurfaceType(&prototype, depth, kPickDIBWithDC, 0);
    DropSurface();
    surface_ = SurfaceHandle::New();
    if (surface_ != nullptr) surface_->Create(int32_t(width), int32_t(height), prototype);
    if (surface_ == nullptr || surface_->IsValid() == 0) {
        DropSurface();
        return kNoSurface;
    }
    if (targetWindow != 0) surface_->AttachWindow(targetWindow);
    ApplyPitch(SurfacePitch(*surface_));
    SetTextureDepth(depth);
    if (world != nullptr) world->textures.ReloadAll();
    return 0;
}

int LRenderAPI_Surface_Win32::SetDisplayMode(uint32_t newFlags, int32_t w, int32_t h, int32_t d) {
    if ((flags & kMemoryTarget) != 0) return kMemoryTargetCode;
    if (d == kKeep) d = depth;
    if (int refused =
            CheckRequest(newFlags == uint32_t(kKeep) ? flags : newFlags,
                         w == kKeep ? int32_t(width) : w, h == kKeep ? int32_t(height) : h, d))
        return refused;
    const uint32_t oldFlags = flags;
    const bool toFullScreen = newFlags != uint32_t(kKeep) && (newFlags & kFullScreen) != 0;
    if (toFullScreen) {
        // Without a mode to switch to the request is refused and the view stays as it was.
        LDisplayMode* mode = LAPICLBK::FindNearestDisplayMode(
            {int32_t(width), int32_t(height)}, currentDriver, CurrentDevice(), currentMode, d);
        if (mode == nullptr) return kNoFurtherMode;
    }
    DropSurface();
    SurfaceHandle* prototype = nullptr;
    PickSurfaceType(&prototype, d, kPickDIBWithDC, 0);
    if (newFlags != uint32_t(kKeep)) {
        if ((oldFlags & kFullScreen) != 0 && (newFlags & kWindowed) != 0) {
            if (prototype != nullptr) prototype->LeaveFullScreen(targetWindow);
        } else if (toFullScreen) {
            LDisplayMode* mode = LAPICLBK::FindNearestDisplayMode(
                {int32_t(width), int32_t(height)}, currentDriver, CurrentDevice(), currentMode, d);
            currentMode = mode;
            width = mode->width;
            height = mode->height;
            d = mode->depth;
            depth = uint8_t(d);
            if (prototype != nullptr)
                prototype->EnterFullScreen(targetWindow, int32_t(width), int32_t(height), d);
        }
    }
    if (w != kKeep) width = uint32_t(w);
    if (h != kKeep) height = uint32_t(h);
    if (newFlags != uint32_t(kKeep)) flags = newFlags;
    const int result = LRenderAPICLBK::SetDisplayMode(int32_t(width), int32_t(height), flags, d,
                                                      background, targetWindow);
    if (view != nullptr) view->SetPositionChanged(1);
    SetTextureDepth(depth);
    if (world != nullptr) world->textures.ReloadAll();
    return result;
}

void LRenderAPI_Surface_Win32::BeginFrame() {
    if ((flags & kMemoryTarget) != 0) {
        uint8_t* pixels = MemoryTargetPixels();
        if ((flags & kClearEachFrame) != 0 && pixels != nullptr)
            std::memset(pixels, 0, size_t(pitch) * height);
        return;
    }
    if (surface_ != nullptr) surface_->FillRectAll(background);
}

uint8_t* LRenderAPI_Surface_Win32::LockTarget() {
    if ((flags & kMemoryTarget) != 0) return MemoryTargetPixels();
    return surface_ != nullptr ? surface_->Lock() : nullptr;
}

void LRenderAPI_Surface_Win32::UnlockTarget(uint8_t*) {
    if ((flags & kMemoryTarget) != 0) return;
    if (surface_ != nullptr) surface_->Unlock();
}

void LRenderAPI_Surface_Win32::EndFrame() {
    if ((flags & kMemoryTarget) != 0 || targetWindow == 0 || surface_ == nullptr) return;
    HDC dc = GetDC(targetWindow);
    if (dc == 0) return;
    HPALETTE old = 0;
    bool paletteSelected = false;
    if (surface_->GetDepth() == 8)
        if (HPALETTE palette = Palette_GetHPALETTE(surface_->GetPalette())) {
            old = SelectPalette(dc, palette, FALSE);
            paletteSelected = true;
        }
    SurfaceHandle onDC;
    onDC.Attach(cGDISurface::MakeOnDC(dc));
    const bool shown = surface_->Blit(&onDC, 0, 0, 0, 0, surface_->GetWidth(),
                                      surface_->GetHeight(), 0, 0, 0, 0) != 0;
    if (paletteSelected) SelectPalette(dc, old, TRUE);
    // The handle on the DC goes before the DC it draws on.
    onDC.Release();
    ReleaseDC(targetWindow, dc);
    if (shown) {
        repaintDone = 1;
        repaintRequested = 0;
    }
    if ((flags & kStatistics) == 0) return;
    char text[256];
    UpdateFrameStatistics(text, sizeof text, 0);
    HDC textDC = GetDC(targetWindow);
    if (textDC == 0) return;
    SetBkMode(textDC, TRANSPARENT);
    SetTextColor(textDC, kStatisticsColour);
    TextOutA(textDC, 0, 0, text, int(std::strlen(text)));
    ReleaseDC(targetWindow, textDC);
}
