#include "platform/directx/dd_objects.h"

namespace platform::ddraw {

SurfaceObject::SurfaceObject(std::shared_ptr<Session> session, SurfaceKind kind, DWORD caps,
                             int width, int height, PixelFormat format,
                             std::shared_ptr<Pixels> pixels)
    : session_(std::move(session)), kind_(kind), caps_(caps), width_(width), height_(height),
      format_(format), pixels_(std::move(pixels)) {}

SurfaceObject::~SurfaceObject() {
    if (dc_) CloseSurfaceDC(dc_);
    if (back_) back_->Release();
    if (clipper_) clipper_->Release();
    if (session_->primary == this) session_->primary = nullptr;
}

void SurfaceObject::AttachBackBuffer(SurfaceObject* back) {
    back_ = back;
}

HRESULT SurfaceObject::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!IsEqualGUID(iid, IID_IUnknown) && !IsEqualGUID(iid, IID_IDirectDrawSurface))
        return E_NOINTERFACE;
    AddRef();
    *object = static_cast<IDirectDrawSurface*>(this);
    return S_OK;
}

ULONG SurfaceObject::AddRef() {
    return ++refs_;
}

ULONG SurfaceObject::Release() {
    ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

HRESULT SurfaceObject::GetAttachedSurface(DDSCAPS* caps, IDirectDrawSurface** attached) {
    if (!caps || !attached) return DDERR_INVALIDPARAMS;
    *attached = nullptr;
    if (!back_ || !(caps->dwCaps & DDSCAPS_BACKBUFFER) || (caps->dwCaps & ~back_->caps_))
        return DDERR_NOTFOUND;
    back_->AddRef();
    *attached = back_;
    return DD_OK;
}

HRESULT SurfaceObject::GetDC(HDC* dc) {
    if (!dc) return DDERR_INVALIDPARAMS;
    *dc = 0;
    if (!pixels_) return DDERR_CANTCREATEDC;
    if (dc_) return DDERR_DCALREADYCREATED;
    if (locked_) return DDERR_SURFACEBUSY;
    dc_ = OpenSurfaceDC(pixels_);
    if (!dc_) return DDERR_CANTCREATEDC;
    *dc = dc_;
    return DD_OK;
}

HRESULT SurfaceObject::ReleaseDC(HDC dc) {
    if (!dc_) return DDERR_NODC;
    if (dc != dc_) return DDERR_INVALIDPARAMS;
    CloseSurfaceDC(dc_);
    dc_ = 0;
    Show();
    return DD_OK;
}

HRESULT SurfaceObject::GetPixelFormat(DDPIXELFORMAT* format) {
    if (!format || format->dwSize != sizeof(DDPIXELFORMAT)) return DDERR_INVALIDPARAMS;
    *format = DescribeFormat(format_);
    return DD_OK;
}

HRESULT SurfaceObject::GetSurfaceDesc(DDSURFACEDESC* desc) {
    if (!desc || desc->dwSize != sizeof(DDSURFACEDESC)) return DDERR_INVALIDPARAMS;
    *desc = DDSURFACEDESC{};
    desc->dwSize = sizeof(DDSURFACEDESC);
    desc->dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT;
    desc->dwWidth = static_cast<DWORD>(width_);
    desc->dwHeight = static_cast<DWORD>(height_);
    desc->lPitch =
        static_cast<LONG>(pixels_ ? pixels_->pitch : RowBytes(width_, BitsPerPixel(format_), 4));
    desc->ddpfPixelFormat = DescribeFormat(format_);
    desc->ddsCaps.dwCaps = caps_;
    if (back_) {
        desc->dwFlags |= DDSD_BACKBUFFERCOUNT;
        desc->dwBackBufferCount = 1;
    }
    return DD_OK;
}

HRESULT SurfaceObject::IsLost() {
    return DD_OK;
}

HRESULT SurfaceObject::Restore() {
    return DD_OK;
}

HRESULT SurfaceObject::Lock(RECT* rect, DDSURFACEDESC* desc, DWORD, HANDLE) {
    if (!pixels_) return DDERR_CANTLOCKSURFACE;
    HRESULT described = GetSurfaceDesc(desc);
    if (described != DD_OK) return described;
    if (Busy()) return DDERR_SURFACEBUSY;
    RECT area = rect ? *rect : Bounds();
    if (area.left < 0 || area.top < 0 || area.left > area.right || area.top > area.bottom ||
        area.right > width_ || area.bottom > height_)
        return DDERR_INVALIDRECT;
    desc->dwFlags |= DDSD_LPSURFACE;
    desc->lpSurface = pixels_->bits.get() + static_cast<ptrdiff_t>(area.top) * pixels_->pitch +
                      static_cast<ptrdiff_t>(area.left) * BitsPerPixel(format_) / 8;
    locked_ = true;
    return DD_OK;
}

HRESULT SurfaceObject::Unlock(void*) {
    if (!locked_) return DDERR_NOTLOCKED;
    locked_ = false;
    Show();
    return DD_OK;
}

HRESULT SurfaceObject::SetClipper(IDirectDrawClipper* clipper) {
    if (clipper) clipper->AddRef();
    if (clipper_) clipper_->Release();
    clipper_ = static_cast<ClipperObject*>(clipper);
    return DD_OK;
}

} // namespace platform::ddraw
