// A Surface showing a 3D world: the view a render device makes of the world's scene,
// drawn through the Camera bound to it. With the software device the view draws into the
// surface's own picture, which its window then shows.
#include "classes/surface/surface_class.h"
#include "classes/surface/view3d.h"
#include "classes/window/child_window.h"
#include "engine3d/render/software/dib_presenter.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/device.h"
#include "engine3d/scene/render/display_modes.h"
#include "engine3d/scene/render/renderer.h"
#include "script/interpreter/interpretor.h"
#include "script/runtime/display_list.h"

namespace {

// The flags every view is shown with besides windowed or full screen: a depth buffer,
// and the target cleared before each frame.
constexpr uint32_t kViewFlags = LRenderAPICLBK::kDepthBuffer | LRenderAPICLBK::kClearEachFrame;
// The state bit that enables a view, and that anti-aliasing switches.
constexpr uint32_t kEnableBit = 2;

LAPICLBK* AsDevice(CDisplayAPI* api) {
    return dynamic_cast<LAPICLBK*>(api);
}

// The n-th entry of one of the mode tree's lists; null past its end.
template <typename T> T* NthOf(T* first, int32_t n) {
    for (; first != nullptr && n > 0; --n)
        first = first->next;
    return first;
}

bool IsSoftwareDevice(const LAPICLBK* device) {
    return device != nullptr && device->GetFourCC() == MakeFourCC("SW32");
}

} // namespace

LAPICLBK* CISurface::GetRenderDevice() {
    if (device3D != nullptr) return device3D;
    if (hostWindow != nullptr) {
        if (LAPICLBK* device = AsDevice(interpreter->GetDisplayAPI())) return device;
    }
    return AsDevice(interpreter->GetSoftwareDisplayAPI());
}

int32_t CISurface::GetViewDepth() const {
    return view3D != nullptr ? int32_t(view3D->depth) : depth;
}

int CISurface::AttachWorld(CISurfaceWorld* world) {
    if (view3D != nullptr) return 1;
    if (world == nullptr) interpreter->RaiseError(44);
    L3DWorld* scene = world->GetEngineWorld();
    if (scene == nullptr) interpreter->RaiseError(55);
    LAPICLBK* device = GetRenderDevice();
    if (device == nullptr || scene->GetAPI() != device) interpreter->RaiseError(97);
    if (mainSurface == nullptr) return 0;
    device3D = device;
    LRenderAPICLBK* view = device->CreateRenderer(scene);
    if (view == nullptr) return 0;
    if (fullScreen != 0) SetWindowed(0);
    if (hostWindow != nullptr) UseChosenDriver(*view);
    const HWND window = hostWindow != nullptr ? hostWindow->hwnd : 0;
    if (view->SetDisplayMode(width, height, LRenderAPICLBK::kWindowed | kViewFlags, depth, 0,
                             window) != 0) {
        device->ReleaseRenderer(view);
        return 0;
    }
    view->SetStateBits(kEnableBit);
    view3D = view;
    world3D = world;
    if (hostWindow != nullptr) {
        interpreter->SetSurfaceDepth(view->depth);
        interpreter->SetImageDepth(view->depth, 1);
    }
    if (int32_t(view->depth) != depth) Recreate(width, height, view->depth);
    RebindView3D();
    InvalidateAll();
    SetDirty();
    return 1;
}

void CISurface::UseChosenDriver(LRenderAPICLBK& view) {
    // The Display class numbers the tree's drivers as display devices and their devices as
    // drivers; without a choice the view keeps the device's own.
    const int32_t chosenDevice = interpreter->GetSelectedDisplayDevice();
    if (chosenDevice < 0) return;
    LDisplayDriver* driver = NthOf(device3D->GetDrivers(), chosenDevice);
    if (driver == nullptr) return;
    const int32_t chosenDriver = interpreter->GetSelectedDisplayDriver();
    if (LDisplayDevice* device = NthOf(driver->devices, chosenDriver < 0 ? 0 : chosenDriver))
        driver->currentDevice = device;
    view.SetDriver(driver, 1, 0);
}

void CISurface::RebindView3D() {
    if (view3D == nullptr || mainSurface == nullptr) return;
    // The view follows the picture's size first: drawing into a smaller picture than the
    // view would write past its rows.
    if (int32_t(view3D->width) != width || int32_t(view3D->height) != height ||
        int32_t(view3D->depth) != depth)
        view3D->SetDisplayMode(uint32_t(LRenderAPICLBK::kKeep), width, height, depth);
    // A view that could not follow keeps a picture of its own.
    if (int32_t(view3D->width) != width || int32_t(view3D->height) != height ||
        int32_t(view3D->depth) != depth)
        return;
    if (IsSoftwareDevice(device3D))
        static_cast<LRenderAPI_Surface_Win32*>(view3D)->AttachSurface(mainSurface);
}

void CISurface::SetViewCamera(CISurfaceCamera* camera) {
    if (view3D == nullptr) return;
    if (camera == nullptr) {
        DropOverlays();
        view3D->DetachView();
        camera3D = nullptr;
        InvalidateAll();
        SetDirty();
        return;
    }
    if (L3DCamera* engineCamera = camera->GetEngineCamera()) view3D->AttachView(engineCamera);
    camera3D = camera;
    SetDirty();
}

void CISurface::DetachView3D() {
    if (view3D == nullptr) return;
    DropOverlays();
    LRenderAPICLBK* view = view3D;
    view3D = nullptr;
    camera3D = nullptr;
    world3D = nullptr;
    if (IsSoftwareDevice(device3D))
        static_cast<LRenderAPI_Surface_Win32*>(view)->AttachSurface(nullptr);
    view->DetachView();
    device3D->ReleaseRenderer(view);
    device3D = nullptr;
    InvalidateAll();
    SetDirty();
}

int CISurface::SetViewFullScreen(int32_t newWidth, int32_t newHeight, int32_t newDepth) {
    if (fullScreen != 0) SetWindowed(0);
    RECT before{};
    const bool placed = hostWindow != nullptr && GetWindowRect(hostWindow->hwnd, &before);
    if (view3D->SetDisplayMode(LRenderAPICLBK::kFullScreen | kViewFlags, newWidth, newHeight,
                               newDepth) != 0) {
        RebindView3D();
        return 0;
    }
    fullScreen = 1;
    savedWindowRect = before;
    windowRectSaved = placed ? 1 : 0;
    if (!Recreate(int32_t(view3D->width), int32_t(view3D->height), view3D->depth)) RebindView3D();
    InvalidateAll();
    SetDirty();
    return 1;
}

void CISurface::LeaveViewFullScreen() {
    view3D->SetDisplayMode(LRenderAPICLBK::kWindowed | kViewFlags, LRenderAPICLBK::kKeep,
                           LRenderAPICLBK::kKeep, LRenderAPICLBK::kKeep);
    // Not every renderer puts the window back where it stood.
    if (windowRectSaved != 0 && hostWindow != nullptr) {
        const RECT& r = savedWindowRect;
        SetWindowPos(hostWindow->hwnd, 0, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    windowRectSaved = 0;
    RebindView3D();
}

void CISurface::ReleaseCameras() {
    for (uint32_t position = interpreter->GetFirstObjectPos(CISurfaceCamera::kClassId);
         position != 0;) {
        auto* camera = dynamic_cast<CISurfaceCamera*>(
            interpreter->GetNextObject(CISurfaceCamera::kClassId, position));
        if (camera != nullptr) camera->SurfaceDestroyed(this);
    }
}

int IsAny3DViewOpen(CInterpretor& interpreter) {
    uint32_t position = interpreter.GetFirstObjectPos(CISurface::kClassId);
    while (position != 0) {
        auto* surface =
            static_cast<CISurface*>(interpreter.GetNextObject(CISurface::kClassId, position));
        if (surface != nullptr && surface->view3D != nullptr) return 1;
    }
    return 0;
}
