// The dirty list of a shown Surface and its way to the window: rectangles changed since the
// last refresh, kept disjoint, blitted to the window at the next refresh pass.
#include <algorithm>
#include <cstdlib>

#include "classes/surface/surface_class.h"
#include "classes/window/child_window.h"
#include "graphics2d/drawing/surface_handle.h"
#include "graphics2d/surfaces/gdi_surface.h"
#include "platform/gdi/palettes.h"
#include "platform/gdi/screen_dc.h"
#include "platform/user/window_geometry.h"

namespace {

bool Overlap(const RECT& a, const RECT& b) {
    return a.left < b.right && a.right > b.left && a.top < b.bottom && a.bottom > b.top;
}

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

void CISurface::AddDirtyRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (hostWindow == nullptr) return;
    RECT r{std::min(left, right), std::min(top, bottom), std::max(left, right),
           std::max(top, bottom)};
    if (dirtyRects == nullptr) {
        dirtyRects = static_cast<RECT*>(std::malloc(sizeof(RECT) * kMaxDirtyRects));
        if (dirtyRects == nullptr) return;
        dirtyCount = 0;
    }
    for (;;) {
        int32_t found = -1;
        for (int32_t i = 0; i < dirtyCount; ++i) {
            if (Overlap(r, dirtyRects[i])) {
                found = i;
                break;
            }
        }
        if (found >= 0) {
            const RECT s = dirtyRects[found];
            if (s.left <= r.left && s.top <= r.top && s.right >= r.right && s.bottom >= r.bottom)
                return;
            r = RECT{std::min(r.left, s.left), std::min(r.top, s.top), std::max(r.right, s.right),
                     std::max(r.bottom, s.bottom)};
            --dirtyCount;
            if (dirtyCount > 0) dirtyRects[found] = dirtyRects[dirtyCount];
            continue;
        }
        if (dirtyCount < kMaxDirtyRects) {
            dirtyRects[dirtyCount++] = r;
            return;
        }
        RECT box = dirtyRects[0];
        for (int32_t i = 1; i < dirtyCount; ++i) {
            box.left = std::min(box.left, dirtyRects[i].left);
            box.top = std::min(box.top, dirtyRects[i].top);
            box.right = std::max(box.right, dirtyRects[i].right);
            box.bottom = std::max(box.bottom, dirtyRects[i].bottom);
        }
        dirtyRects[0] = box;
        dirtyCount = 1;
    }
}

void CISurface::LiftSprites(int32_t, int32_t, int32_t, int32_t) {}

void CISurface::FlushDirtyRects(int clear) {
    if (dirtyCount > 0 && hostWindow != nullptr && hostWindow->hwnd != 0 &&
        mainSurface != nullptr) {
        HWND window = hostWindow->hwnd;
        if (HDC dc = GetDC(window)) {
            {
                SurfaceHandle target;
                target.Attach(cGDISurface::MakeOnDC(dc));
                SelectedPalette palette(dc, GetHPALETTE());
                for (int32_t i = 0; i < dirtyCount; ++i) {
                    const RECT& r = dirtyRects[i];
                    mainSurface->Blit(&target, r.left, r.top, r.left, r.top, r.right - r.left,
                                      r.bottom - r.top, 0, 0, 0, 0);
                }
            }
            ReleaseDC(window, dc);
        }
    }
    if (clear != 0) {
        std::free(dirtyRects);
        dirtyRects = nullptr;
        dirtyCount = 0;
    }
}

void CISurface::Refresh() {
    refreshRequested = 0;
    if (hostWindow != nullptr) FlushDirtyRects(1);
    refreshRequested = 0;
    dirty = 0;
}

void CISurface::PaintToWindow(HDC dc, const RECT* rect, const RECT* clip) {
    if (hostWindow == nullptr || mainSurface == nullptr || hostWindow->hwnd == 0) return;
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
