#include "platform/directx/dd_objects.h"
#include "platform/display/display_backend.h"
#include "platform/gdi/bitmaps/blits.h"
#include "platform/gdi/dc_state.h"
#include "platform/gdi/device_context.h"
#include "platform/user/windows.h"

namespace platform::ddraw {
namespace {

bool Ordered(const RECT& r) {
    return r.left <= r.right && r.top <= r.bottom;
}

bool Empty(const RECT& r) {
    return r.left == r.right || r.top == r.bottom;
}

bool Inside(const RECT& r, const RECT& bounds) {
    return r.left >= bounds.left && r.top >= bounds.top && r.right <= bounds.right &&
           r.bottom <= bounds.bottom;
}

} // namespace

void SurfaceObject::Show() {
    if (kind_ != SurfaceKind::FullScreenPrimary || !IsWindow(showIn)) return;
    HDC window = ::GetDC(showIn);
    HDC source = OpenSurfaceDC(pixels_);
    if (window && source) BitBlt(window, 0, 0, width_, height_, source, 0, 0, SRCCOPY);
    if (source) CloseSurfaceDC(source);
    if (window) ::ReleaseDC(showIn, window);
}

HRESULT SurfaceObject::DrawThrough(const std::function<void(HDC)>& draw) {
    if (pixels_) {
        HDC dc = OpenSurfaceDC(pixels_);
        if (!dc) return DDERR_GENERIC;
        draw(dc);
        CloseSurfaceDC(dc);
        Show();
        return DD_OK;
    }
    if (clipper_) {
        HWND window = clipper_->window;
        if (window == 0) return DDERR_NOCLIPLIST;
        HDC dc = ::GetDC(window);
        if (!dc) return DD_OK; // the window is gone: nothing of it is visible
        POINT corner{0, 0};
        ClientToScreen(window, &corner);
        // A window of a class with its own DC keeps that DC's origin after ReleaseDC: what
        // draws in the window next expects the one it had.
        POINT previous{0, 0};
        SetWindowOrgEx(dc, corner.x, corner.y, &previous);
        draw(dc);
        SetWindowOrgEx(dc, previous.x, previous.y, nullptr);
        ::ReleaseDC(window, dc);
        return DD_OK;
    }
    for (const DisplayWindow& shown : VisibleTopLevelWindows()) {
        HDC dc = GetWindowDC(shown.window);
        if (!dc) continue;
        SetWindowOrgEx(dc, shown.rect.left, shown.rect.top, nullptr);
        draw(dc);
        ::ReleaseDC(shown.window, dc);
    }
    return DD_OK;
}

HRESULT SurfaceObject::Fill(const RECT& area, uint32_t pixel) {
    if (pixels_) {
        FillPixels(*pixels_, area, pixel);
        Show();
        return DD_OK;
    }
    Surface format{};
    format.format = format_;
    HBRUSH brush = CreateSolidBrush(PixelToColor(format, pixel));
    HRESULT result = DrawThrough([&](HDC dc) { FillRect(dc, &area, brush); });
    DeleteObject(brush);
    return result;
}

HRESULT SurfaceObject::Blt(RECT* destination, IDirectDrawSurface* source, RECT* sourceRect,
                           DWORD flags, DDBLTFX* fx) {
    if (flags & ~(DDBLT_COLORFILL | DDBLT_WAIT | DDBLT_ASYNC)) return DDERR_UNSUPPORTED;
    RECT to = destination ? *destination : Bounds();
    if (!Ordered(to) || (!clipper_ && !Inside(to, Bounds()))) return DDERR_INVALIDRECT;
    if (Busy()) return DDERR_SURFACEBUSY;
    if (flags & DDBLT_COLORFILL) {
        if (!fx || fx->dwSize != sizeof(DDBLTFX)) return DDERR_INVALIDPARAMS;
        return Empty(to) ? DD_OK : Fill(to, fx->dwFillColor);
    }
    auto* from = static_cast<SurfaceObject*>(source);
    if (!from) return DDERR_INVALIDPARAMS;
    RECT read = sourceRect ? *sourceRect : from->Bounds();
    if (!Ordered(read) || !Inside(read, from->Bounds())) return DDERR_INVALIDRECT;
    if (from->Busy()) return DDERR_SURFACEBUSY;
    if (Empty(to) || Empty(read)) return DD_OK;
    return CopyFrom(*from, to, read);
}

HRESULT SurfaceObject::BltFast(DWORD x, DWORD y, IDirectDrawSurface* source, RECT* sourceRect,
                               DWORD flags) {
    if (flags & (DDBLTFAST_SRCCOLORKEY | DDBLTFAST_DESTCOLORKEY)) return DDERR_NOCOLORKEY;
    if (flags & ~DDBLTFAST_WAIT) return DDERR_INVALIDPARAMS;
    if (clipper_) return DDERR_BLTFASTCANTCLIP;
    auto* from = static_cast<SurfaceObject*>(source);
    if (!from) return DDERR_INVALIDPARAMS;
    RECT read = sourceRect ? *sourceRect : from->Bounds();
    if (!Ordered(read) || !Inside(read, from->Bounds())) return DDERR_INVALIDRECT;
    int64_t right = int64_t{x} + (read.right - read.left);
    int64_t bottom = int64_t{y} + (read.bottom - read.top);
    if (right > width_ || bottom > height_) return DDERR_INVALIDRECT;
    if (Busy() || from->Busy()) return DDERR_SURFACEBUSY;
    RECT to{static_cast<LONG>(x), static_cast<LONG>(y), static_cast<LONG>(right),
            static_cast<LONG>(bottom)};
    if (Empty(read)) return DD_OK;
    return CopyFrom(*from, to, read);
}

HRESULT SurfaceObject::CopyFrom(SurfaceObject& from, const RECT& to, const RECT& read) {
    HDC source = from.pixels_ ? OpenSurfaceDC(from.pixels_) : ::GetDC(0);
    if (!source) return DDERR_GENERIC;
    HRESULT result = DrawThrough([&](HDC dc) {
        StretchBlt(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, source, read.left,
                   read.top, read.right - read.left, read.bottom - read.top, SRCCOPY);
    });
    if (from.pixels_)
        CloseSurfaceDC(source);
    else
        ::ReleaseDC(0, source);
    return result;
}

HRESULT SurfaceObject::Flip(IDirectDrawSurface* target, DWORD) {
    if (kind_ != SurfaceKind::FullScreenPrimary || !back_) return DDERR_NOTFLIPPABLE;
    if (target && target != back_) return DDERR_INVALIDPARAMS;
    if (Busy() || back_->Busy()) return DDERR_SURFACEBUSY;
    {
        std::scoped_lock guard(pixels_->lock, back_->pixels_->lock);
        pixels_->bits.swap(back_->pixels_->bits);
    }
    Show();
    return DD_OK;
}

} // namespace platform::ddraw
