#include <mutex>

#include "platform/directx/dd_objects.h"
#include "platform/directx/direct3d/d3d.h"
#include "platform/display/display_backend.h"
#include "platform/gdi/dc.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/faults.h"
#include "platform/system/system_info.h"
#include "platform/user/display_settings.h"
#include "platform/user/menus/menus.h"
#include "platform/user/windows.h"

namespace platform::ddraw {
namespace {

// The one session in exclusive mode, process-wide.
std::mutex exclusiveLock;
Session* exclusiveOwner = nullptr;

bool SizeIs(const DDSURFACEDESC* desc) {
    return desc && desc->dwSize == sizeof(DDSURFACEDESC);
}

bool UsableDepth(DWORD bits) {
    return bits == 16 || bits == 24 || bits == 32;
}

// The format a display mode of `bits` has: the display's own at its depth.
PixelFormat FormatOfDepth(DWORD bits) {
    PixelFormat current = DisplayFormat();
    if (static_cast<DWORD>(BitsPerPixel(current)) == bits) return current;
    return bits == 16 ? PixelFormat::Rgb565 : bits == 24 ? PixelFormat::Bgr24 : PixelFormat::Bgrx32;
}

// A full-screen primary shows in its cooperative window's client area, which covers the
// new screen from its top left corner for the picture to be seen whole; the window's
// frame, caption and menu bar lie beyond the screen's edges.
void CoverScreen(HWND window, DWORD width, DWORD height) {
    if (!IsWindow(window)) return;
    RECT wanted{0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
    AdjustWindowRectEx(&wanted, static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)),
                       GetMenu(window) != 0 ? TRUE : FALSE,
                       static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)));
    SetWindowPos(window, 0, wanted.left, wanted.top, wanted.right - wanted.left,
                 wanted.bottom - wanted.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void DescribeMode(const DEVMODEA& mode, PixelFormat format, DDSURFACEDESC& desc) {
    DWORD size = desc.dwSize;
    desc = DDSURFACEDESC{};
    desc.dwSize = size;
    desc.dwFlags = DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT | DDSD_REFRESHRATE;
    desc.dwWidth = mode.dmPelsWidth;
    desc.dwHeight = mode.dmPelsHeight;
    desc.lPitch = static_cast<LONG>(RowBytes(mode.dmPelsWidth, BitsPerPixel(format), 4));
    desc.dwRefreshRate = mode.dmDisplayFrequency;
    desc.ddpfPixelFormat = DescribeFormat(format);
}

class DirectDrawObject final : public IDirectDraw2, LiveObject {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (IsEqualGUID(iid, IID_IDirectDraw4)) return d3d::MakeDirectDraw4(this, object);
        if (!IsEqualGUID(iid, IID_IUnknown) && !IsEqualGUID(iid, IID_IDirectDraw) &&
            !IsEqualGUID(iid, IID_IDirectDraw2))
            return E_NOINTERFACE;
        AddRef();
        *object = static_cast<IDirectDraw2*>(this);
        return S_OK;
    }

    ULONG AddRef() override { return ++refs_; }

    ULONG Release() override {
        ULONG left = --refs_;
        if (left == 0) {
            LeaveExclusive();
            delete this;
        }
        return left;
    }

    HRESULT CreateClipper(DWORD flags, IDirectDrawClipper** clipper, IUnknown* outer) override {
        if (!clipper) return DDERR_INVALIDPARAMS;
        *clipper = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        if (flags != 0) return DDERR_INVALIDPARAMS;
        *clipper = new ClipperObject;
        return DD_OK;
    }

    HRESULT CreateSurface(DDSURFACEDESC* desc, IDirectDrawSurface** surface,
                          IUnknown* outer) override;

    HRESULT EnumDisplayModes(DWORD, DDSURFACEDESC* filter, void* context,
                             LPDDENUMMODESCALLBACK callback) override {
        if (!callback || (filter && !SizeIs(filter))) return DDERR_INVALIDPARAMS;
        std::vector<DEVMODEA> listed;
        DEVMODEA mode{};
        mode.dmSize = sizeof(DEVMODEA);
        for (DWORD index = 0; EnumDisplaySettingsA(nullptr, index, &mode); ++index) {
            if (!UsableDepth(mode.dmBitsPerPel) || !Matches(mode, filter)) continue;
            bool seen = false;
            for (const DEVMODEA& earlier : listed)
                seen = seen || (earlier.dmPelsWidth == mode.dmPelsWidth &&
                                earlier.dmPelsHeight == mode.dmPelsHeight &&
                                earlier.dmBitsPerPel == mode.dmBitsPerPel);
            if (seen) continue;
            listed.push_back(mode);
            DDSURFACEDESC described{};
            described.dwSize = sizeof(DDSURFACEDESC);
            DescribeMode(mode, FormatOfDepth(mode.dmBitsPerPel), described);
            if (callback(&described, context) == DDENUMRET_CANCEL) break;
        }
        return DD_OK;
    }

    HRESULT GetDisplayMode(DDSURFACEDESC* desc) override {
        if (!SizeIs(desc)) return DDERR_INVALIDPARAMS;
        DEVMODEA mode{};
        mode.dmSize = sizeof(DEVMODEA);
        if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode)) return DDERR_GENERIC;
        DescribeMode(mode, DisplayFormat(), *desc);
        return DD_OK;
    }

    HRESULT RestoreDisplayMode() override {
        if (session_->changedMode) ChangeDisplaySettingsA(nullptr, 0);
        session_->changedMode = false;
        return DD_OK;
    }

    HRESULT SetCooperativeLevel(HWND window, DWORD flags) override {
        if (ShouldFail(test::Fault::DirectDrawCooperativeLevel))
            return DDERR_EXCLUSIVEMODEALREADYSET;
        bool fullScreen = (flags & DDSCL_FULLSCREEN) != 0;
        bool exclusive = (flags & DDSCL_EXCLUSIVE) != 0;
        bool normal = (flags & DDSCL_NORMAL) != 0;
        if (fullScreen != exclusive || normal == fullScreen) return DDERR_INVALIDPARAMS;
        if (window != 0 && !IsWindow(window)) return DDERR_INVALIDPARAMS;
        if (normal) {
            LeaveExclusive();
        } else {
            if (window == 0 || (GetWindowLongA(window, GWL_STYLE) & WS_CHILD))
                return DDERR_INVALIDPARAMS;
            std::lock_guard guard(exclusiveLock);
            if (exclusiveOwner && exclusiveOwner != session_.get())
                return DDERR_EXCLUSIVEMODEALREADYSET;
            exclusiveOwner = session_.get();
            session_->exclusive = true;
        }
        session_->window = window;
        session_->levelSet = true;
        return DD_OK;
    }

    HRESULT WaitForVerticalBlank(DWORD flags, HANDLE) override {
        if (flags == DDWAITVB_BLOCKBEGINEVENT) return DDERR_UNSUPPORTED;
        if (flags != DDWAITVB_BLOCKBEGIN && flags != DDWAITVB_BLOCKEND) return DDERR_INVALIDPARAMS;
        if (ActiveDisplay().Name() == "headless") return DD_OK;
        DWORD period = 1000u / static_cast<DWORD>(std::max(CurrentDisplayFrequency(), 1));
        Sleep(period - timeGetTime() % period);
        return DD_OK;
    }

    HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD refreshRate,
                           DWORD) override {
        if (!session_->exclusive) return DDERR_NOEXCLUSIVEMODE;
        if (!UsableDepth(bitsPerPixel)) return DDERR_INVALIDMODE;
        DEVMODEA mode{};
        mode.dmSize = sizeof(DEVMODEA);
        mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
        mode.dmPelsWidth = width;
        mode.dmPelsHeight = height;
        mode.dmBitsPerPel = bitsPerPixel;
        if (refreshRate != 0) {
            mode.dmFields |= DM_DISPLAYFREQUENCY;
            mode.dmDisplayFrequency = refreshRate;
        }
        if (ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL)
            return DDERR_INVALIDMODE;
        session_->changedMode = true;
        CoverScreen(session_->window, width, height);
        return DD_OK;
    }

private:
    ~DirectDrawObject() = default;

    static bool Matches(const DEVMODEA& mode, const DDSURFACEDESC* filter) {
        if (!filter) return true;
        if ((filter->dwFlags & DDSD_WIDTH) && filter->dwWidth != mode.dmPelsWidth) return false;
        if ((filter->dwFlags & DDSD_HEIGHT) && filter->dwHeight != mode.dmPelsHeight) return false;
        return !(filter->dwFlags & DDSD_PIXELFORMAT) ||
               filter->ddpfPixelFormat.dwRGBBitCount == mode.dmBitsPerPel;
    }

    // Gives the display back: its mode, and exclusive mode to others.
    void LeaveExclusive() {
        RestoreDisplayMode();
        std::lock_guard guard(exclusiveLock);
        if (exclusiveOwner == session_.get()) exclusiveOwner = nullptr;
        session_->exclusive = false;
    }

    std::atomic<ULONG> refs_{1};
    const std::shared_ptr<Session> session_ = std::make_shared<Session>();
};

bool SameFormat(const DDPIXELFORMAT& a, const DDPIXELFORMAT& b) {
    return (a.dwFlags & (DDPF_RGB | DDPF_PALETTEINDEXED8)) ==
               (b.dwFlags & (DDPF_RGB | DDPF_PALETTEINDEXED8)) &&
           a.dwRGBBitCount == b.dwRGBBitCount && a.dwRBitMask == b.dwRBitMask &&
           a.dwGBitMask == b.dwGBitMask && a.dwBBitMask == b.dwBBitMask;
}

constexpr DWORD kKnownCaps = DDSCAPS_COMPLEX | DDSCAPS_FLIP | DDSCAPS_OFFSCREENPLAIN |
                             DDSCAPS_PRIMARYSURFACE | DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY |
                             DDSCAPS_LOCALVIDMEM;
constexpr DWORD kVideo = DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM;

HRESULT MakePrimary(const std::shared_ptr<Session>& session, const DDSURFACEDESC& desc,
                    PixelFormat format, IDirectDrawSurface** made) {
    DWORD caps = desc.ddsCaps.dwCaps;
    if ((caps & DDSCAPS_OFFSCREENPLAIN) || (caps & DDSCAPS_SYSTEMMEMORY)) return DDERR_INVALIDCAPS;
    if (desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) return DDERR_INVALIDPARAMS;
    if (session->primary) return DDERR_PRIMARYSURFACEALREADYEXISTS;
    bool chain = (caps & (DDSCAPS_COMPLEX | DDSCAPS_FLIP)) != 0;
    if (chain) {
        if ((caps & (DDSCAPS_COMPLEX | DDSCAPS_FLIP)) != (DDSCAPS_COMPLEX | DDSCAPS_FLIP) ||
            !(desc.dwFlags & DDSD_BACKBUFFERCOUNT) || desc.dwBackBufferCount == 0)
            return DDERR_INVALIDPARAMS;
        if (desc.dwBackBufferCount > 1) return DDERR_UNSUPPORTED;
        if (!session->exclusive) return DDERR_NOEXCLUSIVEMODE;
    }
    VirtualDisplay display = GetVirtualDisplay();
    DWORD shown = DDSCAPS_PRIMARYSURFACE | DDSCAPS_VISIBLE | kVideo;
    SurfaceObject* primary;
    if (!session->exclusive) {
        primary = new SurfaceObject(session, SurfaceKind::WindowedPrimary, shown, display.width,
                                    display.height, format, nullptr);
    } else {
        auto front = MakePixels(display.width, display.height, format);
        auto back = chain ? MakePixels(display.width, display.height, format) : nullptr;
        if (!front || (chain && !back)) return DDERR_OUTOFVIDEOMEMORY;
        DWORD flip = chain ? DDSCAPS_COMPLEX | DDSCAPS_FLIP : 0;
        primary = new SurfaceObject(session, SurfaceKind::FullScreenPrimary,
                                    shown | flip | (chain ? DDSCAPS_FRONTBUFFER : 0), display.width,
                                    display.height, format, front);
        primary->showIn = session->window;
        if (chain)
            primary->AttachBackBuffer(new SurfaceObject(
                session, SurfaceKind::BackBuffer, DDSCAPS_BACKBUFFER | flip | kVideo, display.width,
                display.height, format, back));
    }
    session->primary = primary;
    *made = primary;
    return DD_OK;
}

HRESULT MakeOffScreen(const std::shared_ptr<Session>& session, const DDSURFACEDESC& desc,
                      PixelFormat format, IDirectDrawSurface** made) {
    DWORD caps = desc.ddsCaps.dwCaps;
    if (caps & (DDSCAPS_COMPLEX | DDSCAPS_FLIP)) return DDERR_INVALIDCAPS;
    if ((desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT) ||
        desc.dwWidth == 0 || desc.dwHeight == 0 || desc.dwWidth > 0x7FFFFFFFu ||
        desc.dwHeight > 0x7FFFFFFFu)
        return DDERR_INVALIDPARAMS;
    bool system = (caps & DDSCAPS_SYSTEMMEMORY) != 0;
    int width = static_cast<int>(desc.dwWidth), height = static_cast<int>(desc.dwHeight);
    auto pixels = MakePixels(width, height, format);
    if (!pixels) return system ? DDERR_OUTOFMEMORY : DDERR_OUTOFVIDEOMEMORY;
    *made = new SurfaceObject(session, SurfaceKind::OffScreen,
                              DDSCAPS_OFFSCREENPLAIN | (system ? DDSCAPS_SYSTEMMEMORY : kVideo),
                              width, height, format, pixels);
    return DD_OK;
}

HRESULT DirectDrawObject::CreateSurface(DDSURFACEDESC* desc, IDirectDrawSurface** surface,
                                        IUnknown* outer) {
    if (!SizeIs(desc) || !surface) return DDERR_INVALIDPARAMS;
    *surface = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    if (!session_->levelSet) return DDERR_NOCOOPERATIVELEVELSET;
    if (ShouldFail(test::Fault::DirectDrawCreateSurface)) return DDERR_OUTOFVIDEOMEMORY;
    PixelFormat format;
    if (!UsableDisplayFormat(format)) return DDERR_UNSUPPORTEDMODE;
    DWORD caps = (desc->dwFlags & DDSD_CAPS) ? desc->ddsCaps.dwCaps : 0;
    if ((caps & ~kKnownCaps) ||
        (caps & DDSCAPS_SYSTEMMEMORY && caps & (DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM)))
        return DDERR_INVALIDCAPS;
    if ((desc->dwFlags & DDSD_PIXELFORMAT) &&
        !SameFormat(desc->ddpfPixelFormat, DescribeFormat(format)))
        return DDERR_INVALIDPIXELFORMAT;
    DDSURFACEDESC asked = *desc;
    asked.ddsCaps.dwCaps = caps;
    if (caps & DDSCAPS_PRIMARYSURFACE) return MakePrimary(session_, asked, format, surface);
    return MakeOffScreen(session_, asked, format, surface);
}

} // namespace
} // namespace platform::ddraw

HRESULT DirectDrawCreate(GUID* driver, IDirectDraw** object, IUnknown* outer) {
    if (!object) return DDERR_INVALIDPARAMS;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    if (driver) return DDERR_INVALIDDIRECTDRAWGUID;
    if (platform::ShouldFail(platform::test::Fault::DirectDrawCreate)) return DDERR_NODIRECTDRAWHW;
    platform::PixelFormat format;
    if (!platform::ddraw::UsableDisplayFormat(format)) return DDERR_UNSUPPORTEDMODE;
    *object = new platform::ddraw::DirectDrawObject;
    return DD_OK;
}
