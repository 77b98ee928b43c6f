#include "engine3d/render/software/directx_presenter.h"

#include <cstring>

#include "engine3d/render/directx_device.h"
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/objects/world.h"
#include "graphics2d/palette/palette.h"
#include "platform/directx/ddraw.h"
#include "platform/gdi/dc_state.h"
#include "platform/gdi/text/text_out.h"

namespace {

constexpr DWORD kExclusiveLevel = DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT;
constexpr COLORREF kStatisticsColour = 0xFFFFFF;

} // namespace

LRenderAPI_DirectX::LRenderAPI_DirectX(L3DWorld* w, LAPI_DirectX* d)
    : LRenderAPI_Software(w, d), directX_(d) {}

LRenderAPI_DirectX::~LRenderAPI_DirectX() {
    DetachView();
    ReleaseSurfaces();
    targetWindow = 0;
}

void LRenderAPI_DirectX::ReleaseSurfaces() {
    if (back_ != nullptr) back_->Release();
    if (primary_ != nullptr) primary_->Release();
    if (clipper_ != nullptr) clipper_->Release();
    back_ = nullptr;
    primary_ = nullptr;
    clipper_ = nullptr;
}

int LRenderAPI_DirectX::Initialize() {
    if ((flags & kMemoryTarget) != 0) {
        const int32_t rowPitch = MemoryPitch(width, depth);
        SetPitch(rowPitch);
        ApplyPitch(rowPitch);
        return 0;
    }
    if (targetWindow == 0) return kNoWindow;
    MakeRasterCurrent();
    IDirectDraw2* dd = directX_ != nullptr ? directX_->GetDirectDraw() : nullptr;
    // Without 2 or 4 there is no surface to draw into: refused rather than drawn nowhere.
    if (dd == nullptr || (flags & (kFullScreen | kWindowed)) == 0) return kSurfacesFailed;
    const DWORD level = (flags & kFullScreen) != 0 ? kExclusiveLevel : DDSCL_NORMAL;
    if (dd->SetCooperativeLevel(targetWindow, level) != DD_OK) return kSurfacesFailed;
    if (CreateSurfaces() == 0) {
        ReleaseSurfaces();
        return kSurfacesFailed;
    }
    SetTextureDepth(depth);
    if (world != nullptr) world->textures.ReloadAll();
    ApplyPitch(signedPitch);
    return 0;
}

int LRenderAPI_DirectX::CreateSurfaces() {
    IDirectDraw2* dd = directX_->GetDirectDraw();
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    if ((flags & kFullScreen) != 0) {
        LDisplayMode* mode = LAPICLBK::FindNearestDisplayMode(
            {int32_t(width), int32_t(height)}, currentDriver, CurrentDevice(), currentMode, depth);
        if (mode == nullptr) return 0;
        currentMode = mode;
        if (dd->SetCooperativeLevel(targetWindow, kExclusiveLevel) != DD_OK) return 0;
        if (dd->SetDisplayMode(mode->width, mode->height, depth, 0, 0) != DD_OK) return 0;
        width = mode->width;
        height = mode->height;
        desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
        desc.dwBackBufferCount = 1;
        if (dd->CreateSurface(&desc, &primary_, nullptr) != DD_OK) return 0;
        DDSCAPS caps{DDSCAPS_BACKBUFFER | DDSCAPS_FLIP};
        if (primary_->GetAttachedSurface(&caps, &back_) != DD_OK) return 0;
    } else {
        if (dd->SetCooperativeLevel(targetWindow, DDSCL_NORMAL) != DD_OK) return 0;
        desc.dwFlags = DDSD_CAPS;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        if (dd->CreateSurface(&desc, &primary_, nullptr) != DD_OK) return 0;
        if (dd->CreateClipper(0, &clipper_, nullptr) != DD_OK) return 0;
        clipper_->SetHWnd(0, targetWindow);
        primary_->SetClipper(clipper_);
        DDSURFACEDESC backDesc{};
        backDesc.dwSize = sizeof backDesc;
        backDesc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
        backDesc.dwWidth = width;
        backDesc.dwHeight = height;
        backDesc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
        if (dd->CreateSurface(&backDesc, &back_, nullptr) != DD_OK) return 0;
    }
    DDPIXELFORMAT format{};
    format.dwSize = sizeof format;
    if (back_->GetPixelFormat(&format) == DD_OK) {
        if (format.dwRBitMask == 0x7C00 && format.dwGBitMask == 0x3E0 && format.dwBBitMask == 0x1F)
            depth = 15;
        else if (format.dwRBitMask == 0xF800 && format.dwGBitMask == 0x7E0 &&
                 format.dwBBitMask == 0x1F)
            depth = 16;
    }
    DDSURFACEDESC backDesc{};
    backDesc.dwSize = sizeof backDesc;
    if (back_->GetSurfaceDesc(&backDesc) != DD_OK) return 0;
    SetPitch(backDesc.lPitch);
    return 1;
}

int LRenderAPI_DirectX::SetDisplayMode(uint32_t newFlags, int32_t w, int32_t h, int32_t d) {
    if ((flags & kMemoryTarget) != 0) return kMemoryTargetCode;
    const uint32_t f = newFlags != uint32_t(kKeep) ? newFlags : flags;
    // Without full screen or a window there would be no surface to draw into.
    if ((f & (kFullScreen | kWindowed)) == 0) return kSurfacesFailed;
    if (int refused = CheckRequest(f, w != kKeep ? w : int32_t(width),
                                   h != kKeep ? h : int32_t(height), d != kKeep ? d : depth))
        return refused;
    ReleaseSurfaces();
    if (d != kKeep) depth = uint8_t(d);
    if (w != kKeep) width = uint32_t(w);
    if (h != kKeep) height = uint32_t(h);
    flags = f;
    const int result = LRenderAPICLBK::SetDisplayMode(int32_t(width), int32_t(height), flags, depth,
                                                      background, targetWindow);
    if (view != nullptr) view->SetPositionChanged(1);
    SetTextureDepth(depth);
    if (world != nullptr) world->textures.ReloadAll();
    return result;
}

uint32_t LRenderAPI_DirectX::FillValue() const {
    const uint32_t red = background & 0xFF;
    const uint32_t green = (background >> 8) & 0xFF;
    const uint32_t blue = (background >> 16) & 0xFF;
    switch (depth) {
    case 8:
        if (world != nullptr && world->GetColorDepth() == 8 && world->palette != nullptr)
            return uint32_t(Palette_ColorToIndex(world->palette, background));
        return background;
    case 15:
        return (red >> 3) << 10 | (green >> 3) << 5 | (blue >> 3);
    case 16:
        return (red >> 3) << 11 | (green >> 2) << 5 | (blue >> 3);
    default:
        return red << 16 | green << 8 | blue;
    }
}

void LRenderAPI_DirectX::BeginFrame() {
    if ((flags & kClearEachFrame) == 0) return;
    if ((flags & kMemoryTarget) != 0) {
        if (uint8_t* pixels = MemoryTargetPixels()) std::memset(pixels, 0, size_t(pitch) * height);
        return;
    }
    if (back_ == nullptr) return;
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = FillValue();
    back_->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx);
}

uint8_t* LRenderAPI_DirectX::LockTarget() {
    if ((flags & kMemoryTarget) != 0) return MemoryTargetPixels();
    if (back_ == nullptr) return nullptr;
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    if (back_->Lock(nullptr, &desc, DDLOCK_WAIT, 0) != DD_OK) return nullptr;
    return static_cast<uint8_t*>(desc.lpSurface);
}

void LRenderAPI_DirectX::UnlockTarget(uint8_t* pixels) {
    if ((flags & kMemoryTarget) != 0) return;
    if (pixels != nullptr && back_ != nullptr) back_->Unlock(nullptr);
}

void LRenderAPI_DirectX::EndFrame() {
    if ((flags & kMemoryTarget) != 0) return;
    if ((flags & kStatistics) != 0) {
        char text[256];
        UpdateFrameStatistics(text, sizeof text, 0);
        HDC dc = 0;
        if (back_ != nullptr && back_->GetDC(&dc) == DD_OK) {
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, kStatisticsColour);
            TextOutA(dc, 0, 0, text, int(std::strlen(text)));
            back_->ReleaseDC(dc);
        }
    }
    RECT source{0, 0, LONG(width), LONG(height)};
    RECT destination = source;
    if ((flags & kFullScreen) == 0) {
        POINT origin{0, 0};
        ClientToScreen(targetWindow, &origin);
        destination.left += origin.x;
        destination.right += origin.x;
        destination.top += origin.y;
        destination.bottom += origin.y;
    }
    if (primary_ == nullptr) return;
    HRESULT shown;
    if ((flags & kFullScreen) != 0) {
        shown = primary_->Flip(nullptr, 0);
    } else {
        directX_->WaitForVerticalBlank();
        shown = primary_->Blt(&destination, back_, &source, DDBLT_WAIT, nullptr);
    }
    if (shown == DD_OK) {
        repaintDone = 1;
        repaintRequested = 0;
    }
}
