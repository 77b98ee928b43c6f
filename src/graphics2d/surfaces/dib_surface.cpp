#include "graphics2d/surfaces/dib_surface.h"
#include "graphics2d/surfaces/gdi_paths.h"

#include <cstring>
#include <memory>
#include <new>

#include "graphics2d/palette/palette.h"
#include "platform/gdi/bitmaps/blits.h"
#include "platform/gdi/dc_state.h"
#include "platform/gdi/device_context.h"
#include "platform/user/windows.h"

namespace {

void ToColorTable(const PaletteRecord& palette, RGBQUAD* table) {
    for (uint32_t i = 0; i < 256; i++)
        table[i] = {palette.entries[i].blue, palette.entries[i].green, palette.entries[i].red, 0};
}

// Two device contexts taken for one copy and given back after it.
struct DCPair {
    DCPair(cSurface& destination, cSurface& source)
        : destination_(destination), source_(source), target(destination.GetDC()),
          from(source.GetDC()) {}
    ~DCPair() {
        if (from) source_.ReleaseDC(from);
        if (target) destination_.ReleaseDC(target);
    }
    DCPair(const DCPair&) = delete;
    DCPair& operator=(const DCPair&) = delete;

    cSurface& destination_;
    cSurface& source_;
    HDC target;
    HDC from;
};

} // namespace

cDIBSurface::~cDIBSurface() {
    CloseDC();
    if (dib_) DeleteObject(dib_);
    bits_.memoryBlock = bits_.pixels = nullptr;
}

int cDIBSurface::InitFormat(int32_t depth) {
    if (!cSurface::InitFormat(depth)) return 0;
    bits_.bottomUp = 1;
    header_ = {};
    header_.biSize = sizeof(BITMAPINFOHEADER);
    header_.biPlanes = 1;
    header_.biBitCount = WORD(depth == 15 ? 16 : bits_.bytesPerPixel * 8);
    header_.biCompression = depth == 16 ? BI_BITFIELDS : BI_RGB;
    return 1;
}

template <class Surface>
cSurface* cDIBSurface::MakeDIB(cDIBSurface& prototype, int32_t width, int32_t height) {
    const int64_t pitch = SurfacePitch(width, prototype.bits_.depth);
    if (width <= 0 || height <= 0 || pitch * height > kMaxSurfaceBytes) return nullptr;
    std::unique_ptr<Surface> made(new (std::nothrow) Surface);
    if (!made) return nullptr;
    made->CopyFormat(prototype);
    made->window_ = prototype.window_;
    made->header_ = prototype.header_;
    made->header_.biWidth = width;
    made->header_.biHeight = height;
    made->header_.biSizeImage = DWORD(pitch * height);

    // The header and 256 colour slots: masks at 16 bits, the palette's colours at 8, or
    // palette indexes when there is no palette.
    alignas(BITMAPINFO) uint8_t block[sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD)] = {};
    BITMAPINFO* info = reinterpret_cast<BITMAPINFO*>(block);
    info->bmiHeader = made->header_;
    UINT usage = DIB_RGB_COLORS;
    uint8_t* table = block + sizeof(BITMAPINFOHEADER);
    if (made->bits_.depth == 16) {
        const DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
        std::memcpy(table, masks, sizeof masks);
    } else if (made->bits_.formatIndex == kFormat8) {
        if (made->bits_.palette) {
            RGBQUAD colours[256];
            ToColorTable(*made->bits_.palette, colours);
            std::memcpy(table, colours, sizeof colours);
        } else {
            usage = DIB_PAL_COLORS;
            for (uint16_t i = 0; i < 256; i++)
                std::memcpy(table + 2 * i, &i, 2);
        }
    }
    const HDC reference = ::GetDC(made->window_);
    const HDC dc = CreateCompatibleDC(reference);
    void* bits = nullptr;
    made->dib_ = dc ? CreateDIBSection(dc, info, usage, &bits, 0, 0) : 0;
    ::ReleaseDC(made->window_, reference);
    if (!made->dib_ || !bits) {
        if (dc) DeleteDC(dc);
        return nullptr;
    }
    SurfaceBits& b = made->bits_;
    b.width = width;
    b.height = height;
    b.pitch = int32_t(pitch);
    b.signedPitch = -int32_t(pitch);
    b.memoryBlock = static_cast<uint8_t*>(bits);
    b.pixels = b.memoryBlock + (height - 1) * pitch;
    made->ResetClipRect();
    if constexpr (std::is_same_v<Surface, cDIBDCSurface>) {
        made->previousBitmap_ = SelectObject(dc, made->dib_);
        if (!made->previousBitmap_) {
            DeleteDC(dc);
            return nullptr;
        }
        made->dc_ = dc;
        made->dcUsers_ = 1;
        made->LoadColorTable(dc);
    } else {
        DeleteDC(dc);
    }
    return made.release();
}

cSurface* cDIBSurface::MakeInstance(int32_t width, int32_t height) {
    return MakeDIB<cDIBSurface>(*this, width, height);
}

cSurface* cDIBDCSurface::MakeInstance(int32_t width, int32_t height) {
    return MakeDIB<cDIBDCSurface>(*this, width, height);
}

void cDIBSurface::LoadColorTable(HDC dc) {
    if (bits_.formatIndex != kFormat8 || !bits_.palette) return;
    RGBQUAD colours[256];
    ToColorTable(*bits_.palette, colours);
    SetDIBColorTable(dc, 0, 256, colours);
}

HDC cDIBSurface::OpenDC() {
    const HDC reference = ::GetDC(window_);
    const HDC dc = CreateCompatibleDC(reference);
    ::ReleaseDC(window_, reference);
    if (!dc) return 0;
    previousBitmap_ = SelectObject(dc, dib_);
    if (!previousBitmap_) {
        DeleteDC(dc);
        return 0;
    }
    LoadColorTable(dc);
    SetWindowOrgEx(dc, originX_, originY_, nullptr);
    return dc;
}

void cDIBSurface::CloseDC() {
    if (!dc_) return;
    SelectObject(dc_, previousBitmap_);
    DeleteDC(dc_);
    dc_ = 0;
    dcUsers_ = 0;
}

HDC cDIBSurface::GetDC() {
    if (!dc_) dc_ = OpenDC();
    if (dc_) dcUsers_++;
    return dc_;
}

void cDIBSurface::ReleaseDC(HDC dc) {
    if (!dc_ || dc != dc_) return;
    if (--dcUsers_ <= 0) CloseDC();
}

void cDIBSurface::SetOrigin(int32_t x, int32_t y) {
    originX_ = x;
    originY_ = y;
}

void cDIBDCSurface::SetOrigin(int32_t x, int32_t y) {
    cDIBSurface::SetOrigin(x, y);
    if (dc_) SetWindowOrgEx(dc_, x, y, nullptr);
}

uint32_t cDIBSurface::GetOrigin() {
    return uint32_t(originY_) << 16 | (uint32_t(originX_) & 0xFFFF);
}

int cDIBSurface::AttachWindow(HWND window) {
    window_ = window;
    return 1;
}

int cDIBSurface::SetPalette(PaletteRecord* palette, int32_t remap) {
    const int done = cSurface::SetPalette(palette, remap);
    if (done && dc_) LoadColorTable(dc_);
    return done;
}

void cDIBSurface::EnumDisplayModes(DisplayModeCallback callback, void* param) {
    if (!callback) return;
    for (DWORD i = 0;; i++) {
        DEVMODEA mode{};
        mode.dmSize = sizeof mode;
        if (!EnumDisplaySettingsA(nullptr, i, &mode)) return;
        const SurfaceDisplayMode reported{int32_t(mode.dmPelsWidth), int32_t(mode.dmPelsHeight),
                                          int32_t(mode.dmBitsPerPel)};
        if (!callback(reported, param)) return;
    }
}

int cDIBSurface::EnterFullScreen(HWND window, int32_t width, int32_t height, int32_t depth) {
    // The state before the first switch is what leaving restores, however often the mode
    // changes in between.
    DEVMODEA before{};
    SavedWindow place;
    if (!fullScreen_) {
        before.dmSize = sizeof before;
        if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &before)) return 0;
        RememberWindowRect(window, place);
    }
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    mode.dmPelsWidth = DWORD(width);
    mode.dmPelsHeight = DWORD(height);
    mode.dmBitsPerPel = DWORD(depth);
    if (ChangeDisplaySettingsA(&mode, 0) != DISP_CHANGE_SUCCESSFUL) return 0;
    if (!fullScreen_) {
        savedMode_ = before;
        savedWindow_.rect = place.rect;
    }
    MakeWindowFullScreen(window, width, height, !fullScreen_, savedWindow_);
    fullScreen_ = true;
    return 1;
}

void cDIBSurface::LeaveFullScreen(HWND window) {
    if (!fullScreen_) return;
    if (ChangeDisplaySettingsA(&savedMode_, 0) != DISP_CHANGE_SUCCESSFUL) return;
    RestoreWindow(window, savedWindow_);
    fullScreen_ = false;
}

void cDIBSurface::CopyDisplayState(cSurface* other) {
    const cDIBSurface* from = dynamic_cast<const cDIBSurface*>(other);
    if (!from) return;
    fullScreen_ = from->fullScreen_;
    savedMode_ = from->savedMode_;
    savedWindow_ = from->savedWindow_;
}

int cDIBSurface::BlitFromDC(int32_t dx, int32_t dy, HDC source, int32_t sx, int32_t sy,
                            int32_t width, int32_t height, int32_t, int32_t op, uint32_t param) {
    const HDC dc = GetDC();
    if (!dc || !source) {
        if (dc) ReleaseDC(dc);
        return 0;
    }
    const BOOL done = BitBlt(dc, dx, dy, width, height, source, sx, sy, GdiRasterOp(op, param));
    ReleaseDC(dc);
    return done ? 1 : 0;
}

int cDIBSurface::StretchFromDC(int32_t dx, int32_t dy, int32_t dw, int32_t dh, HDC source,
                               int32_t sx, int32_t sy, int32_t sw, int32_t sh, int32_t, int32_t op,
                               uint32_t param) {
    const HDC dc = GetDC();
    if (!dc || !source) {
        if (dc) ReleaseDC(dc);
        return 0;
    }
    const BOOL done =
        StretchBlt(dc, dx, dy, dw, dh, source, sx, sy, sw, sh, GdiRasterOp(op, param));
    ReleaseDC(dc);
    return done ? 1 : 0;
}

int cDIBSurface::BlitTo(cSurface* destination, int32_t dx, int32_t dy, int32_t sx, int32_t sy,
                        int32_t width, int32_t height, int32_t mode, int32_t op, uint32_t param,
                        int32_t smooth) {
    if (!destination) return 0;
    if (op != kBlitOpGdi && !destination->IsDeviceOnly())
        return cSurface::BlitTo(destination, dx, dy, sx, sy, width, height, mode, op, param,
                                smooth);
    DCPair dcs(*destination, *this);
    if (!dcs.target || !dcs.from) return 0;
    const POINT to = SurfaceOrigin(*destination);
    return BitBlt(dcs.target, dx + to.x, dy + to.y, width, height, dcs.from, sx + originX_,
                  sy + originY_, GdiRasterOp(op, param))
               ? 1
               : 0;
}

int cDIBSurface::StretchBlitViaDC(cSurface* destination, int32_t dx, int32_t dy, int32_t dw,
                                  int32_t dh, int32_t sx, int32_t sy, int32_t sw, int32_t sh,
                                  int32_t mode, int32_t op, uint32_t param, int32_t smooth) {
    if (!destination) return 0;
    if (op != kBlitOpGdi && !destination->IsDeviceOnly())
        return StretchBlitTo(destination, dx, dy, dw, dh, sx, sy, sw, sh, mode, op, param, smooth);
    if (sw < dw && sh < dh) {
        // Enlarged by pixels, then copied through GDI.
        std::unique_ptr<cSurface> stretched(MakeInstance(dw, dh));
        if (!stretched || !StretchBlitTo(stretched.get(), 0, 0, dw, dh, sx, sy, sw, sh, 0, 0, 0, 0))
            return 0;
        return stretched->BlitTo(destination, dx, dy, 0, 0, dw, dh, mode, op, param, smooth);
    }
    DCPair dcs(*destination, *this);
    if (!dcs.target || !dcs.from) return 0;
    const POINT to = SurfaceOrigin(*destination);
    return StretchBlt(dcs.target, dx + to.x, dy + to.y, dw, dh, dcs.from, sx + originX_,
                      sy + originY_, sw, sh, GdiRasterOp(op, param))
               ? 1
               : 0;
}
