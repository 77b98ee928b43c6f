#include "engine3d/scene/render/renderer.h"

#include <cstdio>
#include <cstdlib>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/grid/grid.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/device.h"
#include "platform/gdi/screen_dc.h"
#include "platform/kernel/clock.h"

namespace {

constexpr int32_t kPreferences8[] = {16, 15, 32, 24, 0};
constexpr int32_t kPreferences15[] = {15, 16, 32, 24, 0};
constexpr int32_t kPreferences16[] = {16, 15, 32, 24, 0};
constexpr int32_t kPreferences24[] = {24, 16, 15, 32, 0};
constexpr int32_t kPreferences32[] = {32, 16, 15, 24, 0};
// A window's pixels are counted as 10 seconds' worth of frames.
constexpr uint32_t kStatisticsWindow = 10000;
constexpr uint32_t kGridParts = L3DGrid::kAxisX | L3DGrid::kAxisY | L3DGrid::kAxisZ;

} // namespace

LRenderAPICLBK::LRenderAPICLBK(L3DWorld* w, LAPICLBK* d) : world(w), device(d) {
    if (device != nullptr) currentDriver = device->GetCurrentDriver();
    if (currentDriver == nullptr)
        currentDriver = device != nullptr ? device->GetDrivers() : nullptr;
    if (LDisplayDevice* current = CurrentDevice()) currentMode = current->modes;
}

LRenderAPICLBK::~LRenderAPICLBK() {
    L3DGrid::Destroy(grid);
}

const int32_t* LRenderAPICLBK::DepthPreferences(int32_t requested) {
    switch (requested) {
    case 8:
        return kPreferences8;
    case 15:
        return kPreferences15;
    case 24:
        return kPreferences24;
    case 32:
        return kPreferences32;
    default:
        return kPreferences16;
    }
}

int32_t LRenderAPICLBK::GetScreenDepth() {
    HDC dc = GetDC(0);
    if (dc == 0) return 0;
    int32_t bits = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
    if (bits == 16) {
        // A 5-5-5 screen drops the lowest green bit of 0x000400.
        const COLORREF saved = GetPixel(dc, 0, 0);
        SetPixel(dc, 0, 0, 0x000400);
        if (GetPixel(dc, 0, 0) == 0) bits = 15;
        SetPixel(dc, 0, 0, saved);
    }
    ReleaseDC(0, dc);
    return bits;
}

int LRenderAPICLBK::AttachView(L3DCamera* camera) {
    if (view != nullptr && view->renderer == this) view->renderer = nullptr;
    view = camera;
    if (camera == nullptr) return kNoView;
    camera->renderer = this;
    camera->SetViewSize(int32_t(width), int32_t(height));
    if (world != nullptr) world->SetColorDepth(depth);
    viewFar = camera->farDistance;
    camera->SetViewRect(int32_t(viewLeft), int32_t(viewTop), int32_t(viewRight),
                        int32_t(viewBottom));
    return 0;
}

void LRenderAPICLBK::DetachView() {
    if (view != nullptr && view->renderer == this) view->renderer = nullptr;
    view = nullptr;
}

void LRenderAPICLBK::SetViewport(int32_t left, int32_t bottom, int32_t top, int32_t right,
                                 int32_t far) {
    viewLeft = left == -1 ? 0 : uint32_t(left);
    viewBottom = bottom == -1 ? height : uint32_t(bottom);
    viewTop = top == -1 ? 0 : uint32_t(top);
    viewRight = right == -1 ? width : uint32_t(right);
    viewFar = far == -1 ? 0x10000 : far;
    if (view == nullptr) return;
    view->SetMaxVisibleDistance(viewFar);
    view->SetViewRect(int32_t(viewLeft), int32_t(viewTop), int32_t(viewRight), int32_t(viewBottom));
}

void LRenderAPICLBK::SetPitch(int32_t value) {
    signedPitch = value;
    pitch = uint32_t(std::abs(value));
}

int32_t LRenderAPICLBK::SetStateBits(uint32_t bits) {
    if (IsCapable(bits) == 0) return 0;
    stateBits |= int32_t(bits);
    if (bits == 8 && (stateBits & 16) != 0) stateBits &= ~16;
    if (bits == 16 && (stateBits & 8) != 0) stateBits &= ~8;
    return stateBits;
}

int LRenderAPICLBK::SetDisplayMode(uint32_t, int32_t, int32_t, int32_t) {
    return kNotSupported;
}

int LRenderAPICLBK::StepDisplayMode(bool forward) {
    if ((flags & kMemoryTarget) != 0) return kMemoryTargetCode;
    LDisplayDevice* current = CurrentDevice();
    LDisplayMode* mode = nullptr;
    if ((flags & kWindowed) != 0) {
        mode = LAPICLBK::FindNearestDisplayMode({int32_t(width), int32_t(height)}, currentDriver,
                                                current, currentMode, depth);
        if (mode == nullptr && current != nullptr)
            for (LDisplayMode* m = current->modes; m != nullptr && mode == nullptr; m = m->next)
                if (m->depth == depth) mode = m;
    } else {
        if (currentMode == nullptr) return kNoFurtherMode;
        for (LDisplayMode* m = forward ? currentMode->next : currentMode->previous; m != nullptr;
             m = forward ? m->next : m->previous)
            if (m->depth == depth) {
                mode = m;
                break;
            }
    }
    if (mode == nullptr) return kNoFurtherMode;
    currentMode = mode;
    width = mode->width;
    height = mode->height;
    return SetDisplayMode(flags, int32_t(width), int32_t(height), kKeep);
}

int LRenderAPICLBK::NextDisplayMode() {
    return StepDisplayMode(true);
}

int LRenderAPICLBK::PreviousDisplayMode() {
    return StepDisplayMode(false);
}

int LRenderAPICLBK::SetWindowed(int windowed) {
    uint32_t next = windowed != 0 ? kWindowed : kFullScreen;
    next |= flags & (kStatistics | kClearEachFrame | kDepthBuffer);
    flags = next;
    if (currentMode != nullptr) {
        depth = uint8_t(currentMode->depth);
        if (world != nullptr) world->SetColorDepth(depth);
        return SetDisplayMode(flags, int32_t(currentMode->width), int32_t(currentMode->height),
                              kKeep);
    }
    depth = uint8_t(useScreenDepth == 1 ? GetScreenDepth() : 16);
    if (world != nullptr) world->SetColorDepth(depth);
    return SetDisplayMode(flags, int32_t(width), int32_t(height), kKeep);
}

int LRenderAPICLBK::SetDriver(LDisplayDriver* driver, int windowed, int apply) {
    currentDriver = driver;
    return apply != 0 ? SetWindowed(windowed) : 0;
}

int LRenderAPICLBK::SetDisplayMode(int32_t w, int32_t h, uint32_t f, uint32_t d, LTexture* target) {
    targetTexture = target;
    return SetDisplayMode(w, h, f, int32_t(d), 0, 0);
}

int LRenderAPICLBK::SetDisplayMode(int32_t w, int32_t h, uint32_t f, int32_t d, uint32_t colour,
                                   HWND window) {
    targetWindow = window;
    flags = f;
    LDisplayDevice* current = CurrentDevice();
    if ((f & kFullScreen) == 0 && (f & kSkipModeChecks) == 0 && (f & kWindowed) != 0) {
        d = useScreenDepth == 1 ? GetScreenDepth() : 16;
        if (LAPICLBK::CheckDepthAvailable(current, kWindowed, d) != 0)
            for (const int32_t* p = DepthPreferences(d); *p != 0; ++p)
                if (LAPICLBK::CheckDepthAvailable(current, kWindowed, *p) == 0) {
                    d = *p;
                    break;
                }
    }
    depth = uint8_t(d);
    width = uint32_t(w);
    height = uint32_t(h);
    background = colour;
    SetPitch(0);
    if (stateBits == -1) {
        stateBits = 0;
        for (uint32_t bit : {2u, 4u, 8u, 0x200u})
            SetStateBits(bit);
        ClearStateBits(0x20);
    }
    int result = 0;
    if ((f & kSkipModeChecks) == 0) {
        result = LAPICLBK::CheckModeAvailable(current, w, h, d);
        if (result != 0 && deviceFixed == 0 && currentDriver != nullptr) {
            const auto fits = [&](LDisplayDevice* candidate, int32_t candidateDepth) {
                if ((f & kFullScreen) != 0)
                    return LAPICLBK::CheckModeAvailable(candidate, w, h, candidateDepth) == 0 &&
                           LAPICLBK::CheckDepthAvailable(candidate, kFullScreen, candidateDepth) ==
                               0;
                return LAPICLBK::CheckDepthAvailable(candidate, kWindowed, candidateDepth) == 0;
            };
            const auto search = [&](int32_t candidateDepth) {
                for (LDisplayDevice* c = currentDriver->devices; c != nullptr; c = c->next)
                    if (fits(c, candidateDepth)) {
                        currentDriver->currentDevice = c;
                        // A texture's pixels keep their depth whatever the display has.
                        if ((f & kMemoryTarget) == 0) depth = uint8_t(candidateDepth);
                        return true;
                    }
                return false;
            };
            if (search(d)) result = 0;
            for (const int32_t* p = DepthPreferences(d); result != 0 && *p != 0; ++p)
                if (search(*p)) result = 0;
        }
    }
    if ((f & kFullScreen) != 0 && result != 0) return result;
    result = Initialize();
    if (result != 0) return result;
    if (view != nullptr) view->SetViewSize(int32_t(width), int32_t(height));
    if (world != nullptr) world->SetColorDepth(depth);
    SetViewport(-1, -1, -1, -1, -1);
    return 0;
}

void LRenderAPICLBK::ShowGrid(uint32_t parts) {
    parts &= kGridParts;
    if (parts == 0) return;
    if (grid == nullptr) grid = L3DGrid::Create(world);
    grid->ShowAxes(parts);
}

void LRenderAPICLBK::HideGrid(uint32_t parts) {
    if (grid == nullptr) return;
    grid->HideAxes(parts & kGridParts);
    for (uint32_t part : {L3DGrid::kAxisX, L3DGrid::kAxisY, L3DGrid::kAxisZ})
        if (grid->AreAxesVisible(part)) return;
    L3DGrid::Destroy(grid);
    grid = nullptr;
}

void LRenderAPICLBK::DrawGrid() {
    DrawGridForCamera(view);
}

void LRenderAPICLBK::DrawGridForCamera(L3DCamera* camera) {
    if (grid == nullptr || camera == nullptr) return;
    grid->SetPositionChanged(1);
    grid->Draw(*camera);
}

void LRenderAPICLBK::UpdateFrameStatistics(char* text, int32_t size, int longForm) {
    if (text != nullptr && size >= 64) {
        if (longForm != 0)
            std::snprintf(text, size_t(size), "%d*%d*%d %d %d %d", int(width), int(height),
                          int(depth), int(framesInWindow),
                          world != nullptr ? int(world->CountPolygons()) : 0,
                          world != nullptr && world->IsAccelerated() != 0 ? 1 : 0);
        else
            std::snprintf(text, size_t(size), "%d*%d*%d %d", int(width), int(height), int(depth),
                          int(framesInWindow));
    }
    frameTime = timeGetTime();
    // The first timed frame starts the clock rather than counting the time since start-up.
    if (!timingStarted_) previousFrameTime = frameTime;
    timingStarted_ = true;
    lastFrameDuration = frameTime - previousFrameTime;
    accumulatedTime += lastFrameDuration;
    previousFrameTime = frameTime;
    ++frameCount;
    if (accumulatedTime > kStatisticsWindow) {
        framesInWindow = frameCount;
        frameCount = 0;
        accumulatedTime = 0;
    }
}
