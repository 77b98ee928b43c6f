#include "classes/surface/surface_class.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "classes/surface/view3d.h"
#include "classes/window/child_window.h"
#include "classes/window/font_class.h"
#include "classes/window/window_class.h"
#include "engine3d/scene/render/renderer.h"
#include "graphics2d/drawing/fill_painter.h"
#include "graphics2d/drawing/surface_handle.h"
#include "graphics2d/palette/palette.h"
#include "graphics2d/surfaces/surface_kinds.h"
#include "platform/user/window_geometry.h"
#include "script/interpreter/interpretor.h"
#include "script/project/project_file.h"
#include "script/runtime/screen_depth.h"

namespace {

bool IsSurfaceDepth(int32_t depth) {
    return depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
}

} // namespace

PaletteRecord* GetInterpreterPalette(CInterpretor& interpreter) {
    if (interpreter.projectFile != nullptr) {
        if (PaletteRecord* palette = interpreter.projectFile->GetPalette()) {
            Palette_AddUse(palette);
            return palette;
        }
    }
    return Palette_GetDefault();
}

void GiveInterpreterPalette(CInterpretor& interpreter, SurfaceHandle* handle) {
    if (handle == nullptr || handle->GetDepth() != 8) return;
    PaletteRecord* palette = GetInterpreterPalette(interpreter);
    if (palette == nullptr) return;
    handle->SetPalette(palette, 0);
    Palette_Release(palette);
}

CISurface::CISurface(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1), CIFontContainer(interpreter),
      CIRefresh(interpreter, 0) {
    // A new Surface has nothing to show until it is drawn on.
    dirty = 0;
}

CISurface::~CISurface() {
    delete fillPainter;
    delete penPainter;
    DetachAllSprites(0);
    ForgetImageUsers();
    delete mainSurface;
}

void CISurface::Destroy(int) {
    delete fillPainter;
    delete penPainter;
    fillPainter = penPainter = nullptr;
    fillPainterKind = penPainterKind = kPainterNone;
    if (hostWindow != nullptr) {
        CIChildWindow* host = hostWindow;
        hostWindow = nullptr;
        if (auto* window = dynamic_cast<CIWindow*>(host);
            window != nullptr && window->surface == this)
            window->DetachSurface();
    }
    DetachAllSprites(0);
    ForgetImageUsers();
    plane.DropBackgroundStore();
    if (fullScreen != 0) SetWindowed(0);
    DetachView3D();
    ReleaseCameras();
    if (texture3D != nullptr) texture3D->SurfaceDestroyed(this);
    texture3D = nullptr;
    plane.dirty.Clear();
    CIRefresh::Detach();
    delete this;
}

int CISurface::ReleaseReferencesTo(CIBaseClassImpl* object) {
    if (object != nullptr && hostWindow != nullptr &&
        object == static_cast<CIBaseClassImpl*>(hostWindow)) {
        hostWindow = nullptr;
        InvalidateAll();
    }
    // The surface itself stays: only its view goes.
    if (object != nullptr && world3D != nullptr && object == world3D->GetWorldObject())
        DetachView3D();
    else if (object != nullptr && camera3D != nullptr && object == camera3D->GetCameraObject())
        SetViewCamera(nullptr);
    return CIBaseClassImpl::ReleaseReferencesTo(object);
}

// ---- Creation ------------------------------------------------------------------------

int CISurface::CreateSurface(int32_t newWidth, int32_t newHeight, int32_t newDepth, uint32_t flags,
                             int32_t& error) {
    error = 0;
    if (newDepth <= 0) newDepth = interpreter->surfaceDepth;
    if (!IsSurfaceDepth(newDepth)) {
        error = 23;
        return 0;
    }
    SurfaceHandle* prototype = nullptr;
    PickSurfaceType(&prototype, newDepth, (flags & kKeptDC) != 0 ? kPickDIBWithDC : kPickDIB,
                    (flags & kDirectDraw) != 0 ? kPickModeDirectDraw : kPickModeGDI);
    if (prototype == nullptr) {
        error = 9;
        return 0;
    }
    auto* handle = new (std::nothrow) SurfaceHandle();
    if (handle == nullptr) {
        error = 15;
        return 0;
    }
    if (newWidth <= 0) newWidth = 640;
    if (newHeight <= 0) newHeight = 480;
    handle->Create(newWidth, newHeight, prototype);
    if (!handle->IsValid()) {
        error = handle->GetLastError() == kSurfaceErrorNoMemory ? 15 : 9;
        delete handle;
        return 0;
    }
    GiveInterpreterPalette(*interpreter, handle);
    if (mainSurface != nullptr && fullScreen != 0) handle->CopyDisplayState(mainSurface);
    delete mainSurface;
    mainSurface = handle;
    plane.DropBackgroundStore();
    createFlags = flags;
    UpdateSize();
    return 1;
}

int CISurface::Recreate(int32_t newWidth, int32_t newHeight, int32_t newDepth) {
    if (mainSurface == nullptr) return 0;
    if (newDepth <= 0) newDepth = depth;
    newWidth = std::max(newWidth, 1);
    newHeight = std::max(newHeight, 1);
    if (newWidth == width && newHeight == height && newDepth == depth) return 1;
    SurfaceHandle* old = mainSurface;
    SurfaceHandle* prototype = old;
    if (newDepth != depth) {
        PickSurfaceType(&prototype, newDepth,
                        (createFlags & kKeptDC) != 0 ? kPickDIBWithDC : kPickDIB,
                        (createFlags & kDirectDraw) != 0 ? kPickModeDirectDraw : kPickModeGDI);
        if (prototype == nullptr) return 0;
    }
    auto* handle = new (std::nothrow) SurfaceHandle();
    if (handle == nullptr) return 0;
    handle->Create(newWidth, newHeight, prototype);
    if (!handle->IsValid()) {
        delete handle;
        return 0;
    }
    if (newDepth == depth && old->IsPaletted())
        handle->SetPalette(old->GetPalette(), 0);
    else
        GiveInterpreterPalette(*interpreter, handle);
    handle->FillRectAll(backgroundColor);
    old->Blit(handle, 0, 0, 0, 0, std::min(old->GetWidth(), handle->GetWidth()),
              std::min(old->GetHeight(), handle->GetHeight()), 0, 0, 0, 0);
    if (fullScreen != 0) handle->CopyDisplayState(old);
    if (hostWindow != nullptr && hostWindow->hwnd != 0) handle->AttachWindow(hostWindow->hwnd);
    mainSurface = handle;
    UpdateSize();
    RebindView3D();
    delete old;
    plane.DropBackgroundStore();
    InvalidateAll();
    return 1;
}

void CISurface::UpdateSize() {
    width = mainSurface != nullptr ? mainSurface->GetWidth() : 0;
    height = mainSurface != nullptr ? mainSurface->GetHeight() : 0;
    depth = mainSurface != nullptr ? mainSurface->GetDepth() : 0;
}

void CISurface::ResetDrawingState() {
    autoBack = 1;
    autoRefresh = 1;
    locked = 0;
    CIFontContainer::SetFont(GetDefaultFont(interpreter));
    penX = penY = 0;
    penSize = 1;
    delete fillPainter;
    delete penPainter;
    fillPainter = penPainter = nullptr;
    fillPainterKind = penPainterKind = kPainterNone;
    drawMode = 0;
    drawLevel = 0;
    transparentMode = 0;
    if (mainSurface != nullptr) mainSurface->SetOrigin(0, 0);
    UpdateDerivedFlags();
}

void CISurface::UpdateDerivedFlags() {
    simplePen = 1;
    fillMode = 0;
    if (drawMode != 0) simplePen = 0;
    if (antiAlias != 0) simplePen = 0;
    if (fillPainterKind != kPainterNone) {
        fillMode = 2;
        if (fillPainterKind != kPainterSolid) simplePen = 0;
    }
    if (penPainterKind != kPainterNone) {
        simplePen = 0;
        fillMode = fillMode == 2 ? 3 : 1;
    }
}

CWindowSurface* MakeSurfaceForWindow(CInterpretor& interpreter, int32_t width, int32_t height,
                                     int32_t depth, uint32_t flags) {
    auto* surface =
        new (std::nothrow) CISurface(&interpreter, interpreter.GetClassRecord(CISurface::kClassId));
    if (surface == nullptr) return nullptr;
    int32_t error = 0;
    if (!surface->CreateSurface(width, height, depth, flags, error)) {
        surface->Destroy(0);
        return nullptr;
    }
    surface->ResetDrawingState();
    surface->mainSurface->FillRectAll(surface->backgroundColor);
    surface->Register();
    return surface;
}

// ---- Refresh participant --------------------------------------------------------------

int CISurface::IsDirty() {
    return autoRefresh != 0 && refreshRequested != 0 ? 1 : 0;
}

int CISurface::SetDirty() {
    refreshRequested = 1;
    dirty = 1;
    if (autoRefresh != 0) interpreter->refreshPending = 1;
    return 1;
}

// ---- Change tracking ------------------------------------------------------------------

void CISurface::InvalidateRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (hostWindow != nullptr) AddDirtyRect(left, top, right, bottom);
    if (autoBack != 0) LiftSprites(left, top, right, bottom);
    SetDirty();
}

void CISurface::MarkChanged(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (locked == 0) InvalidateRect(left, top, right, bottom);
}

void CISurface::MarkChangedWide(int64_t left, int64_t top, int64_t right, int64_t bottom) {
    const auto held = [](int64_t v) {
        return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
    };
    MarkChanged(held(left), held(top), held(right), held(bottom));
}

void CISurface::InvalidateAll() {
    if (mainSurface != nullptr) AddDirtyRect(0, 0, width, height);
}

void CISurface::EraseRect(int32_t x, int32_t y, int32_t w, int32_t h, int mark) {
    if (w <= 0 || h <= 0 || mainSurface == nullptr) return;
    if (mark != 0) MarkChangedWide(x, y, int64_t(x) + w, int64_t(y) + h);
    mainSurface->FillRect(x, y, w, h, backgroundColor);
}

// ---- The Window's side ----------------------------------------------------------------

void CISurface::SetHostWindow(CIChildWindow* window) {
    hostWindow = window;
    if (window == nullptr) return;
    if (mainSurface != nullptr && window->hwnd != 0) mainSurface->AttachWindow(window->hwnd);
    InvalidateAll();
}

void CISurface::ResizeToWindow(int32_t newWidth, int32_t newHeight) {
    if (mainSurface == nullptr || (newWidth == width && newHeight == height)) return;
    // A full-screen picture keeps the size of the display mode.
    if (fullScreen == 0 && newWidth > 0 && newHeight > 0) Recreate(newWidth, newHeight);
    SetDirty();
}

void CISurface::SetPenColorValue(COLORREF colour) {
    penColor = colour;
    delete penPainter;
    penPainter = nullptr;
    penPainterKind = kPainterNone;
    UpdateDerivedFlags();
}

void CISurface::SetBackgroundColorValue(COLORREF colour) {
    backgroundColor = colour;
}

void CISurface::SetFontObject(CIFont* newFont) {
    CIFontContainer::SetFont(newFont);
}

int CISurface::SetFullScreen(int32_t newWidth, int32_t newHeight, int32_t newDepth) {
    if (mainSurface == nullptr || hostWindow == nullptr) return 0;
    if (!IsSurfaceDepth(newDepth)) newDepth = GetScreenDepth();
    if (newDepth == 15) newDepth = 16;
    if (view3D != nullptr) return SetViewFullScreen(newWidth, newHeight, newDepth);
    if (!mainSurface->EnterFullScreen(hostWindow->hwnd, newWidth, newHeight, newDepth)) return 0;
    fullScreen = 1;
    Recreate(newWidth, newHeight, newDepth);
    InvalidateAll();
    SetDirty();
    return 1;
}

void CISurface::SetWindowed(int) {
    if (mainSurface == nullptr || fullScreen == 0) return;
    HWND window = hostWindow != nullptr ? hostWindow->hwnd : 0;
    if (view3D != nullptr)
        LeaveViewFullScreen();
    else
        mainSurface->LeaveFullScreen(window);
    fullScreen = 0;
    if (window == 0) return;
    RECT client{};
    GetClientRect(window, &client);
    ResizeToWindow(client.right - client.left, client.bottom - client.top);
}

HPALETTE CISurface::GetHPALETTE() {
    if (mainSurface == nullptr || depth > 8) return 0;
    return Palette_GetHPALETTE(mainSurface->GetPalette());
}
