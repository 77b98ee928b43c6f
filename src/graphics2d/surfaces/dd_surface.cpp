#include "graphics2d/surfaces/dd_surface.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <new>

#include "graphics2d/palette/palette.h"
#include "graphics2d/surfaces/surface_kinds.h"
#include "platform/gdi/bitmaps/blits.h"
#include "platform/gdi/dc_state.h"
#include "platform/system/debug_output.h"
#include "platform/user/windows.h"

namespace {

constexpr DWORD kExclusiveLevel = DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE;

// What the library's DirectDraw surfaces share across threads.
struct DisplayState {
    // The clipper on the primary, so that setting it again can be skipped.
    IDirectDrawClipper* clipper = nullptr;
    bool fullScreen = false;
    int32_t width = 0;
    int32_t height = 0;
};
DisplayState display;
std::atomic<int32_t> lastDepth{0};

HWND TopLevel(HWND window) {
    while (const HWND parent = GetParent(window))
        window = parent;
    return window;
}

// A DirectDraw object at the normal cooperative level, through the interface the library
// uses.
HRESULT MakeDirectDraw(IDirectDraw2** made) {
    *made = nullptr;
    IDirectDraw* first = nullptr;
    HRESULT result = DirectDrawCreate(nullptr, &first, nullptr);
    if (result != DD_OK) return result;
    result = first->SetCooperativeLevel(0, DDSCL_NORMAL);
    void* second = nullptr;
    if (result == DD_OK) result = first->QueryInterface(IID_IDirectDraw2, &second);
    first->Release();
    if (result == DD_OK) *made = static_cast<IDirectDraw2*>(second);
    return result;
}

DDSURFACEDESC Describe(DWORD flags, DWORD caps) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = flags;
    desc.ddsCaps.dwCaps = caps;
    return desc;
}

// The primary, with one back buffer to flip to in full screen.
HRESULT MakePrimary(IDirectDraw2* object, bool flipChain, IDirectDrawSurface** made) {
    DDSURFACEDESC desc = Describe(DDSD_CAPS, DDSCAPS_PRIMARYSURFACE);
    if (flipChain) {
        desc.dwFlags |= DDSD_BACKBUFFERCOUNT;
        desc.dwBackBufferCount = 1;
        desc.ddsCaps.dwCaps |= DDSCAPS_COMPLEX | DDSCAPS_FLIP;
    }
    const HRESULT result = object->CreateSurface(&desc, made, nullptr);
    if (result == DD_OK) display.clipper = nullptr;
    return result;
}

HRESULT MakeOffScreen(IDirectDraw2* object, bool videoMemory, int32_t width, int32_t height,
                      IDirectDrawSurface** made) {
    DDSURFACEDESC desc =
        Describe(DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH,
                 DDSCAPS_OFFSCREENPLAIN | (videoMemory ? 0 : DDSCAPS_SYSTEMMEMORY));
    desc.dwWidth = DWORD(width);
    desc.dwHeight = DWORD(height);
    return object->CreateSurface(&desc, made, nullptr);
}

// The library's depth of a DirectDraw pixel format: 0 keeps the prototype's, -1 is one
// the library cannot draw in.
int32_t DepthOfFormat(const DDPIXELFORMAT& format) {
    const auto masks = [&format](DWORD red, DWORD green, DWORD blue) {
        return format.dwRBitMask == red && format.dwGBitMask == green && format.dwBBitMask == blue;
    };
    switch (format.dwRGBBitCount) {
    case 8:
        return 8;
    case 16:
        if (masks(0x7C00, 0x3E0, 0x1F)) return 15;
        return masks(0xF800, 0x7E0, 0x1F) ? 16 : -1;
    case 24:
    case 32:
        return masks(0xFF0000, 0xFF00, 0xFF) ? int32_t(format.dwRGBBitCount) : -1;
    case 1:
    case 4:
        return -1;
    default:
        return 0;
    }
}

// A copy of width x height from (sx, sy) inside `source` to (dx, dy) inside `target`, both
// corners moving together; false when nothing is left.
bool ClipCopyTo(const RECT& target, const RECT& source, int64_t& dx, int64_t& dy, int64_t& sx,
                int64_t& sy, int64_t& width, int64_t& height) {
    const int64_t left = std::max({int64_t{0}, target.left - dx, source.left - sx});
    const int64_t top = std::max({int64_t{0}, target.top - dy, source.top - sy});
    dx += left;
    sx += left;
    width -= left;
    dy += top;
    sy += top;
    height -= top;
    width = std::min({width, target.right - dx, source.right - sx});
    height = std::min({height, target.bottom - dy, source.bottom - sy});
    return width > 0 && height > 0;
}

struct ModeReport {
    DisplayModeCallback callback;
    void* param;
};

HRESULT ReportMode(DDSURFACEDESC* mode, void* context) {
    const ModeReport& report = *static_cast<ModeReport*>(context);
    const SurfaceDisplayMode reported{int32_t(mode->dwWidth), int32_t(mode->dwHeight),
                                      int32_t(mode->ddpfPixelFormat.dwRGBBitCount)};
    return report.callback(reported, report.param) ? DDENUMRET_OK : DDENUMRET_CANCEL;
}

} // namespace

int32_t GetDirectDrawDepth() {
    return lastDepth.load();
}

cDDSurface::~cDDSurface() {
    CloseAccess();
    ReleaseClipper();
    if (surface_ && !backBufferMode_) surface_->Release();
    surface_ = nullptr;
}

cSurface* cDDSurface::MakeInstance(int32_t width, int32_t height) {
    return MakeDD(true, width, height);
}

cSurface* cDDSysMemSurface::MakeInstance(int32_t width, int32_t height) {
    return MakeDD(false, width, height);
}

cSurface* cDDSurface::MakeDD(bool videoMemory, int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) return nullptr;
    IDirectDraw2* object = GetThreadDirectDraw();
    IDirectDrawSurface* primary = GetThreadDDPrimary();
    const bool madeObject = object == nullptr;
    std::unique_ptr<cDDSurface> made(videoMemory ? new (std::nothrow) cDDSurface
                                                 : new (std::nothrow) cDDSysMemSurface);
    bool done = made != nullptr;
    if (done) {
        made->CopyFormat(*this);
        made->bits_.width = width;
        made->bits_.height = height;
        made->backBufferMode_ = backBufferMode_;
    }
    if (done && !object) done = MakeDirectDraw(&object) == DD_OK;
    if (done && !primary) done = MakePrimary(object, false, &primary) == DD_OK;
    if (done) {
        SetThreadDirectDraw(object, primary);
        done = made->backBufferMode_
                   ? made->Surface() != nullptr
                   : MakeOffScreen(object, videoMemory, width, height, &made->surface_) == DD_OK;
    }
    done = done && made->TakePixelFormat() &&
           SurfacePitch(width, made->bits_.depth) * height <= kMaxSurfaceBytes;
    if (done) {
        made->bits_.pitch = int32_t(SurfacePitch(width, made->bits_.depth));
        made->ResetClipRect();
        return made.release();
    }
    OutputDebugStringA(">> cDDSurface::MakeInstance failed!\n");
    made.reset();
    if (madeObject) {
        if (primary) primary->Release();
        if (object) object->Release();
        RemoveThreadDirectDrawRecord();
    }
    return nullptr;
}

cSurface* cDDSurface::MakeScreenInstance() {
    if (!display.fullScreen || !GetThreadDirectDraw() || !GetThreadDDPrimary()) return nullptr;
    const bool wasBackBuffer = backBufferMode_;
    backBufferMode_ = true;
    cSurface* made = MakeInstance(display.width, display.height);
    backBufferMode_ = wasBackBuffer;
    return made;
}

IDirectDrawSurface* cDDSurface::Surface() {
    if (!backBufferMode_) return surface_;
    surface_ = nullptr;
    IDirectDrawSurface* primary = GetThreadDDPrimary();
    DDSCAPS caps{DDSCAPS_BACKBUFFER};
    IDirectDrawSurface* back = nullptr;
    if (primary && primary->GetAttachedSurface(&caps, &back) == DD_OK) {
        // The primary holds the back buffer; this surface only borrows it.
        back->Release();
        surface_ = back;
    }
    return surface_;
}

bool cDDSurface::TakePixelFormat() {
    IDirectDrawSurface* surface = Surface();
    if (!surface) return false;
    DDPIXELFORMAT format{};
    format.dwSize = sizeof format;
    if (surface->GetPixelFormat(&format) != DD_OK) return false;
    const int32_t depth = DepthOfFormat(format);
    if (depth < 0 || (depth > 0 && !SetFormat(depth))) return false;
    lastDepth.store(bits_.depth);
    if (bits_.formatIndex != kFormat8) {
        Palette_Release(bits_.palette);
        bits_.palette = nullptr;
    }
    return true;
}

int cDDSurface::Lock() {
    if (access_ == Access::Locked && lockCount_ > 0 && bits_.pixels) {
        lockCount_++;
        return 1;
    }
    if (access_ == Access::DCOpen) return 0;
    IDirectDrawSurface* surface = Surface();
    if (!surface) return 0;
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    if (surface->Lock(nullptr, &desc, DDLOCK_WAIT, 0) != DD_OK) return 0;
    if (!desc.lpSurface) {
        surface->Unlock(nullptr);
        return 0;
    }
    bits_.pitch = bits_.signedPitch = int32_t(desc.lPitch);
    bits_.memoryBlock = bits_.pixels = static_cast<uint8_t*>(desc.lpSurface);
    lockCount_ = 1;
    access_ = Access::Locked;
    return 1;
}

void cDDSurface::Unlock() {
    // A stray unlock leaves an open DC alone: closing it is ReleaseDC's.
    if (access_ != Access::Locked || lockCount_ <= 0) {
        lockCount_ = 0;
        return;
    }
    if (--lockCount_ > 0) return;
    if (IDirectDrawSurface* surface = Surface()) surface->Unlock(bits_.pixels);
    access_ = Access::Idle;
    bits_.memoryBlock = bits_.pixels = nullptr;
    bits_.pitch = bits_.signedPitch = 0;
}

HDC cDDSurface::GetDC() {
    if (access_ == Access::DCOpen) {
        dcCount_++;
        return dc_;
    }
    if (access_ == Access::Locked) return 0;
    IDirectDrawSurface* surface = Surface();
    HDC dc = 0;
    if (!surface || surface->GetDC(&dc) != DD_OK || !dc) return 0;
    dc_ = dc;
    dcCount_ = 1;
    SetWindowOrgEx(dc, originX_, originY_, nullptr);
    access_ = Access::DCOpen;
    return dc;
}

void cDDSurface::ReleaseDC(HDC) {
    // A stray release leaves a lock alone: ending it is Unlock's.
    if (access_ != Access::DCOpen || dcCount_ <= 0) {
        dcCount_ = 0;
        return;
    }
    if (--dcCount_ > 0) return;
    if (IDirectDrawSurface* surface = Surface()) surface->ReleaseDC(dc_);
    dc_ = 0;
    access_ = Access::Idle;
}

void cDDSurface::CloseAccess() {
    if (access_ == Access::DCOpen) {
        dcCount_ = 1;
        ReleaseDC(dc_);
    }
    if (access_ == Access::Locked) {
        lockCount_ = 1;
        Unlock();
    }
}

void cDDSurface::SetOrigin(int32_t x, int32_t y) {
    originX_ = x;
    originY_ = y;
    if (access_ == Access::DCOpen) SetWindowOrgEx(dc_, x, y, nullptr);
}

uint32_t cDDSurface::GetOrigin() {
    return uint32_t(originY_) << 16 | (uint32_t(originX_) & 0xFFFF);
}

void cDDSurface::ReleaseClipper() {
    if (!clipper_) return;
    if (display.clipper == clipper_) {
        // Off the primary too, or blits of surfaces without a window would stay clipped to
        // this one's.
        if (IDirectDrawSurface* primary = GetThreadDDPrimary()) primary->SetClipper(nullptr);
        display.clipper = nullptr;
    }
    clipper_->Release();
    clipper_ = nullptr;
}

void cDDSurface::ClipPrimary(IDirectDrawSurface* primary) {
    if (display.fullScreen || clipper_ == display.clipper) return;
    if (primary->SetClipper(clipper_) == DD_OK) display.clipper = clipper_;
}

int cDDSurface::AttachWindow(HWND window) {
    if (backBufferMode_) return 1;
    ReleaseClipper();
    window_ = 0;
    if (window) {
        IDirectDraw2* object = GetThreadDirectDraw();
        if (object && object->CreateClipper(0, &clipper_, nullptr) == DD_OK &&
            clipper_->SetHWnd(0, window) == DD_OK) {
            window_ = window;
            return 1;
        }
    }
    OutputDebugStringA(">> cDDSurface::AttachWindow didn't succeed!\n");
    ReleaseClipper();
    return window ? 0 : 1;
}

int cDDSurface::PresentToScreen(int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t width,
                                int32_t height) {
    IDirectDrawSurface* primary = GetThreadDDPrimary();
    IDirectDrawSurface* own = Surface();
    if (!primary || !own) return 0;
    if (primary->IsLost() == DDERR_SURFACELOST) primary->Restore();
    if (own->IsLost() == DDERR_SURFACELOST) own->Restore();
    ClipPrimary(primary);
    POINT offset{0, 0};
    if (!display.fullScreen && window_) ClientToScreen(window_, &offset);
    if (sx >= bits_.width || sy >= bits_.height || width <= 0 || height <= 0) return 1;
    // The source is cut to the surface; the destination only by the window's clipper.
    int64_t left = sx, top = sy, toLeft = int64_t{dx} + offset.x, toTop = int64_t{dy} + offset.y;
    const int64_t right = std::min<int64_t>(int64_t{sx} + width, bits_.width);
    const int64_t bottom = std::min<int64_t>(int64_t{sy} + height, bits_.height);
    if (left < 0) {
        toLeft -= left;
        left = 0;
    }
    if (top < 0) {
        toTop -= top;
        top = 0;
    }
    if (left >= right || top >= bottom) return 1;
    const int64_t toRight = toLeft + (right - left), toBottom = toTop + (bottom - top);
    if (toLeft < INT32_MIN || toTop < INT32_MIN || toRight > INT32_MAX || toBottom > INT32_MAX)
        return 1;
    RECT from{LONG(left), LONG(top), LONG(right), LONG(bottom)};
    RECT to{LONG(toLeft), LONG(toTop), LONG(toRight), LONG(toBottom)};
    if (primary->Blt(&to, own, &from, 0, nullptr) == DD_OK) return 1;
    return primary->Blt(&to, own, &from, DDBLT_WAIT, nullptr) == DD_OK ? 1 : 0;
}

int cDDSurface::BlitTo(cSurface* destination, int32_t dx, int32_t dy, int32_t sx, int32_t sy,
                       int32_t width, int32_t height, int32_t mode, int32_t op, uint32_t param,
                       int32_t smooth) {
    if (!destination) return 0;
    if (destination->IsDeviceOnly()) return PresentToScreen(dx, dy, sx, sy, width, height);
    if (op == kBlitOpGdi) {
        const HDC target = destination->GetDC();
        const HDC from = target ? GetDC() : 0;
        BOOL done = FALSE;
        if (from) {
            const POINT to = SurfaceOrigin(*destination);
            done = BitBlt(target, dx + to.x, dy + to.y, width, height, from, sx + originX_,
                          sy + originY_, param);
            ReleaseDC(from);
        }
        if (target) destination->ReleaseDC(target);
        return done ? 1 : 0;
    }
    cDDSurface* to = dynamic_cast<cDDSurface*>(destination);
    if (to && to != this && access_ == Access::Idle && to->access_ == Access::Idle && mode == 0 &&
        op == 0 && !smooth) {
        IDirectDrawSurface* own = Surface();
        IDirectDrawSurface* target = to->Surface();
        if (own && target) {
            if (own->IsLost() == DDERR_SURFACELOST) own->Restore();
            if (target->IsLost() == DDERR_SURFACELOST) target->Restore();
            if (!ClipCopy(*to, &dx, &dy, &sx, &sy, &width, &height)) return 0;
            RECT from{sx, sy, sx + width, sy + height};
            return target->BltFast(DWORD(dx), DWORD(dy), own, &from, DDBLTFAST_WAIT) == DD_OK ? 1
                                                                                              : 0;
        }
    }
    return cSurface::BlitTo(destination, dx, dy, sx, sy, width, height, mode, op, param, smooth);
}

int cDDSurface::BlitFromDC(int32_t dx, int32_t dy, HDC, int32_t sx, int32_t sy, int32_t width,
                           int32_t height, int32_t, int32_t, uint32_t) {
    IDirectDrawSurface* primary = GetThreadDDPrimary();
    IDirectDrawSurface* own = Surface();
    if (!primary || !own || access_ != Access::Idle) return 0;
    DDSURFACEDESC screen{};
    screen.dwSize = sizeof screen;
    if (primary->GetSurfaceDesc(&screen) != DD_OK) return 0;
    const RECT screenRect{0, 0, LONG(screen.dwWidth), LONG(screen.dwHeight)};
    const RECT target{std::max(bits_.clipLeft, 0), std::max(bits_.clipTop, 0),
                      std::min(bits_.clipRight, bits_.width),
                      std::min(bits_.clipBottom, bits_.height)};
    int64_t x = dx, y = dy, fromX = sx, fromY = sy, w = width, h = height;
    if (!ClipCopyTo(target, screenRect, x, y, fromX, fromY, w, h)) return 0;
    RECT from{LONG(fromX), LONG(fromY), LONG(fromX + w), LONG(fromY + h)};
    return own->BltFast(DWORD(x), DWORD(y), primary, &from, DDBLTFAST_WAIT) == DD_OK ? 1 : 0;
}

int cDDSurface::MoveRect(int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t width,
                         int32_t height) {
    IDirectDrawSurface* own = Surface();
    if (!own || !ClipCopy(*this, &dx, &dy, &sx, &sy, &width, &height)) return 0;
    RECT to{dx, dy, dx + width, dy + height};
    RECT from{sx, sy, sx + width, sy + height};
    return own->Blt(&to, own, &from, DDBLT_WAIT, nullptr) == DD_OK ? 1 : 0;
}

int cDDSurface::StretchFromDC(int32_t dx, int32_t dy, int32_t dw, int32_t dh, HDC source,
                              int32_t sx, int32_t sy, int32_t sw, int32_t sh, int32_t, int32_t op,
                              uint32_t param) {
    if (!source) return 0;
    const HDC dc = GetDC();
    if (!dc) return 0;
    if (IDirectDrawSurface* primary = GetThreadDDPrimary()) ClipPrimary(primary);
    const BOOL done =
        StretchBlt(dc, dx, dy, dw, dh, source, sx, sy, sw, sh, GdiRasterOp(op, param));
    ReleaseDC(dc);
    return done ? 1 : 0;
}

int cDDSurface::StretchBlitViaDC(cSurface* destination, int32_t dx, int32_t dy, int32_t dw,
                                 int32_t dh, int32_t sx, int32_t sy, int32_t sw, int32_t sh,
                                 int32_t mode, int32_t op, uint32_t param, int32_t smooth) {
    if (!destination) return 0;
    if (op != kBlitOpGdi && !destination->IsDeviceOnly())
        return StretchBlitTo(destination, dx, dy, dw, dh, sx, sy, sw, sh, mode, op, param, smooth);
    const HDC target = destination->GetDC();
    const HDC from = target ? GetDC() : 0;
    BOOL done = FALSE;
    if (from) {
        const POINT to = SurfaceOrigin(*destination);
        done = StretchBlt(target, dx + to.x, dy + to.y, dw, dh, from, sx + originX_, sy + originY_,
                          sw, sh, GdiRasterOp(op, param));
        ReleaseDC(from);
    }
    if (target) destination->ReleaseDC(target);
    return done ? 1 : 0;
}

int cDDSurface::ColorFill(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t pixel) {
    if (!ClipToSurface(&x, &y, &width, &height)) return 0;
    IDirectDrawSurface* surface = Surface();
    if (!surface) return 0;
    RECT area{x, y, x + width, y + height};
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = pixel;
    return surface->Blt(&area, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx) == DD_OK ? 1
                                                                                             : 0;
}

int cDDSurface::FillRectRaw(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t value) {
    if (access_ != Access::Idle) return cSurface::FillRectRaw(x, y, width, height, value);
    return ColorFill(x, y, width, height, value);
}

int cDDSurface::FillRect(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t colour) {
    if (access_ != Access::Idle) return cSurface::FillRect(x, y, width, height, colour);
    const uint32_t c = colour;
    uint32_t pixel = 0;
    if (c != 0) {
        switch (bits_.depth) {
        case 8:
            pixel = NearestIndex(c);
            break;
        case 15:
            pixel = ((c >> 13 & 0x7C0) | (c & 0xF800)) >> 6 | (c & 0xF8) << 7;
            break;
        case 16:
            pixel = ((c >> 14 & 0x3E0) | (c & 0xFC00)) >> 5 | (c & 0xF8) << 8;
            break;
        default:
            pixel = (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
            break;
        }
    }
    return ColorFill(x, y, width, height, pixel);
}

void cDDSurface::EnumDisplayModes(DisplayModeCallback callback, void* param) {
    if (!callback || !IsSurfaceThreadRegistered()) return;
    IDirectDraw2* object = GetThreadDirectDraw();
    IDirectDraw2* temporary = nullptr;
    if (!object) {
        if (MakeDirectDraw(&temporary) != DD_OK) return;
        object = temporary;
    }
    ModeReport report{callback, param};
    object->EnumDisplayModes(0, nullptr, &report, ReportMode);
    if (temporary) temporary->Release();
}

int cDDSurface::EnterFullScreen(HWND window, int32_t width, int32_t height, int32_t depth) {
    if (!IsSurfaceThreadRegistered()) return 0;
    // The window as it was before the first switch is what leaving restores.
    SavedWindow place;
    if (!fullScreen_) RememberWindowRect(window, place);
    IDirectDraw2* object = GetThreadDirectDraw();
    const bool madeObject = object == nullptr;
    if (madeObject && MakeDirectDraw(&object) != DD_OK) return 0;
    const HWND top = TopLevel(window);
    if (object->SetCooperativeLevel(top, kExclusiveLevel) != DD_OK) {
        if (madeObject) object->Release();
        return 0;
    }
    IDirectDrawSurface* primary = GetThreadDDPrimary();
    if (primary) primary->SetClipper(nullptr);
    display.clipper = nullptr;
    if (object->SetDisplayMode(DWORD(width), DWORD(height), DWORD(depth), 0, 0) != DD_OK) {
        object->SetCooperativeLevel(top, DDSCL_NORMAL);
        if (madeObject) object->Release();
        return 0;
    }

    CloseAccess();
    ReleaseClipper();
    if (surface_ && !backBufferMode_) surface_->Release();
    surface_ = nullptr;
    backBufferMode_ = false;
    if (primary) primary->Release();
    SetThreadDirectDraw(object, nullptr);
    if (MakePrimary(object, true, &primary) != DD_OK) {
        LeaveFullScreen(window);
        return 0;
    }
    SetThreadDirectDraw(object, primary);
    bits_.width = width;
    bits_.height = height;
    if (MakeOffScreen(object, false, width, height, &surface_) != DD_OK || !TakePixelFormat()) {
        LeaveFullScreen(window);
        return 0;
    }
    ResetClipRect();

    if (!fullScreen_) savedWindow_.rect = place.rect;
    MakeWindowFullScreen(window, width, height, !fullScreen_, savedWindow_);
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    primary->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx);
    fullScreen_ = true;
    display.fullScreen = true;
    display.width = width;
    display.height = height;
    return 1;
}

void cDDSurface::LeaveFullScreen(HWND window) {
    display.fullScreen = false;
    IDirectDraw2* object = GetThreadDirectDraw();
    if (!object) return;
    IDirectDrawSurface* primary = GetThreadDDPrimary();
    if (primary) primary->SetClipper(nullptr);
    display.clipper = nullptr;
    if (object->RestoreDisplayMode() != DD_OK) return;
    if (primary) primary->Release();
    SetThreadDirectDraw(object, nullptr);
    object->SetCooperativeLevel(TopLevel(window), DDSCL_NORMAL);
    if (MakePrimary(object, false, &primary) != DD_OK) return;
    SetThreadDirectDraw(object, primary);
    if (fullScreen_) RestoreWindow(window, savedWindow_);
    fullScreen_ = false;
}

void cDDSurface::CopyDisplayState(cSurface* other) {
    const cDDSurface* from = dynamic_cast<const cDDSurface*>(other);
    if (!from) return;
    fullScreen_ = from->fullScreen_;
    savedWindow_ = from->savedWindow_;
}

int cDDSurface::WaitVSync() {
    IDirectDraw2* object = GetThreadDirectDraw();
    return object && object->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, 0) == DD_OK ? 1 : 0;
}

void cDDSurface::PresentFlip() {
    if (!backBufferMode_) return;
    if (IDirectDrawSurface* primary = GetThreadDDPrimary()) primary->Flip(nullptr, DDFLIP_WAIT);
    Surface();
}
