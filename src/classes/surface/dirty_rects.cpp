// The dirty list of a shown Surface and its way to the window: rectangles changed since the
// last refresh, kept disjoint, blitted to the window at the next refresh pass.
#include <algorithm>

#include "classes/surface/sprite_class.h"
#include "classes/surface/surface_class.h"
#include "classes/surface/view3d.h"
#include "classes/window/child_window.h"
#include "graphics2d/drawing/surface_handle.h"
#include "graphics2d/surfaces/gdi_surface.h"
#include "platform/gdi/palettes.h"
#include "platform/gdi/screen_dc.h"
#include "platform/user/window_geometry.h"
#include "script/interpreter/interpretor.h"

namespace {

// Selects and realises an 8-bit picture's palette into `dc` for as long as it lives.
class SelectedPalette {
public:
    SelectedPalette(HDC dc, HPALETTE palette) : dc_(dc) {
        if (palette == 0) return;
        old_ = SelectPalette(dc, palette, TRUE);
        RealizePalette(dc);
    }
    ~SelectedPalette() {
        if (old_ != 0) SelectPalette(dc_, old_, TRUE);
    }
    SelectedPalette(const SelectedPalette&) = delete;
    SelectedPalette& operator=(const SelectedPalette&) = delete;

private:
    HDC dc_;
    HPALETTE old_ = 0;
};

} // namespace

SpritePlane& CISurface::Plane() {
    if (plane.GetPicture() != mainSurface) plane.SetPicture(mainSurface);
    if (plane.IsHosted() != (hostWindow != nullptr)) plane.SetHosted(hostWindow != nullptr);
    plane.autoBack = autoBack != 0;
    return plane;
}

void CISurface::AddDirtyRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    Plane().AddDirtyRect({left, top, right, bottom});
}

void CISurface::LiftSprites(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    Plane().LiftSprites({left, top, right, bottom});
}

void CISurface::MarkSpriteDirty(CISprite* sprite) {
    Plane().MarkSpriteDirty(sprite);
}

void CISurface::FlushDirtyRects(int clear) {
    SpritePlane& sprites = Plane();
    const int32_t count = sprites.dirty.GetCount();
    if (count > 0 && hostWindow != nullptr && hostWindow->hwnd != 0 && mainSurface != nullptr) {
        HWND window = hostWindow->hwnd;
        if (interpreter->waitForVerticalBlank != 0 && interpreter->verticalBlankRequest != 0 &&
            mainSurface->WaitVSync() != 0)
            interpreter->verticalBlankRequest = 0;
        if (HDC dc = GetDC(window)) {
            {
                SurfaceHandle target;
                target.Attach(cGDISurface::MakeOnDC(dc));
                SelectedPalette palette(dc, GetHPALETTE());
                for (int32_t i = 0; i < count; ++i) {
                    const DirtyRect& r = sprites.dirty.GetRects()[i];
                    mainSurface->Blit(&target, r.left, r.top, r.left, r.top, r.right - r.left,
                                      r.bottom - r.top, 0, 0, 0, 0);
                }
            }
            ReleaseDC(window, dc);
        }
    }
    if (clear != 0) sprites.dirty.Clear();
}

void CISurface::Refresh() {
    refreshRequested = 0;
    SpritePlane& sprites = Plane();
    if (camera3D != nullptr) {
        // The view's frame replaces the 2D passes and the copy of changed rectangles; the
        // sprites show over it.
        sprites.UpdateStates();
        UpdateOverlays();
        camera3D->RenderToSurface();
        sprites.dirty.Clear();
    } else {
        sprites.RunPasses();
        if (hostWindow != nullptr) FlushDirtyRects(1);
    }
    // Sprites showing this surface's picture are drawn again with it.
    const std::vector<CISprite*> users = imageUsers;
    for (CISprite* user : users)
        user->ImageRefreshed();
    if (texture3D != nullptr) texture3D->SurfaceRefreshed(this);
    refreshRequested = 0;
    dirty = 0;
}

void CISurface::PaintToWindow(HDC dc, const RECT* rect, const RECT* clip) {
    if (hostWindow == nullptr || mainSurface == nullptr || hostWindow->hwnd == 0) return;
    if (camera3D != nullptr) {
        camera3D->RenderToSurface();
        return;
    }
    HWND window = hostWindow->hwnd;
    RECT client{};
    GetClientRect(window, &client);
    RECT area = rect != nullptr ? *rect : RECT{0, 0, width, height};
    if (clip != nullptr) {
        RECT limit{std::max(clip->left, client.left), std::max(clip->top, client.top),
                   std::min(clip->right, client.right), std::min(clip->bottom, client.bottom)};
        if (limit.right <= limit.left || limit.bottom <= limit.top) return;
        area = RECT{std::max(area.left, limit.left), std::max(area.top, limit.top),
                    std::min(area.right, limit.right), std::min(area.bottom, limit.bottom)};
        if (area.right <= area.left || area.bottom <= area.top) return;
    }
    HDC target = dc != 0 ? dc : GetDC(window);
    if (target == 0) return;
    {
        SurfaceHandle onDC;
        onDC.Attach(cGDISurface::MakeOnDC(target));
        SelectedPalette palette(target, GetHPALETTE());
        mainSurface->Blit(&onDC, area.left, area.top, area.left, area.top, area.right - area.left,
                          area.bottom - area.top, 0, 0, 0, 0);
    }
    if (dc == 0) ReleaseDC(window, target);
}
