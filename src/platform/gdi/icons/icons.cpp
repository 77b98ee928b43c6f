#include "platform/gdi/icons/icons.h"

#include <algorithm>

#include "platform/display/display_backend.h"
#include "platform/gdi/bitmaps/bitmap_object.h"
#include "platform/gdi/bitmaps/bitmaps.h"
#include "platform/gdi/icons/icon_object.h"
#include "platform/gdi/icons/system_icons.h"
#include "platform/kernel/errors.h"
#include "platform/system/system_info.h"
#include "platform/user/atoms.h"
#include "platform/user/window_table.h"

namespace platform {
namespace {

constexpr WORD kProgramIcon = 100;

// A window on a blue title bar, 32 x 32, clear round its frame.
HICON ApplicationIcon() {
    static const HICON handle = [] {
        auto icon = std::make_shared<IconObject>(true, 32, 32, POINT{16, 16});
        for (int y = 2; y < 30; ++y)
            for (int x = 1; x < 31; ++x) {
                size_t i = static_cast<size_t>(y) * 32 + x;
                bool frame = x == 1 || x == 30 || y == 2 || y == 29;
                icon->mask[i] = 0;
                icon->color[i] = frame ? 0u : y < 8 ? 0x000080u : 0xFFFFFFu;
            }
        icon->builtIn = true;
        return RegisterObject(icon);
    }();
    return handle;
}

const IconObject& UpArrow() {
    static const auto* arrow = new std::shared_ptr<IconObject>(
        IconFromArt(false, POINT{7, 0},
                    {"       X", "      X.X", "     X...X", "    X.....X", "   X.......X",
                     "  X.........X", " X...........X", "XXXXXX...XXXXXX", "     X...X",
                     "     X...X", "     X...X", "     X...X", "     X...X", "     X...X",
                     "     X...X", "     X...X", "     X...X", "     XXXXX"}));
    return **arrow;
}

const IconObject& HelpArrow() {
    static const auto* arrow = new std::shared_ptr<IconObject>(
        IconFromArt(false, POINT{0, 0},
                    {"X", "XX", "X.X", "X..X", "X...X", "X....X", "X.....X", "X......X      XXXXX",
                     "X.......X    X.....X", "X........X  X..XXX..X", "X.....XXXXX X..X X..X",
                     "X..X..X     XXXX X..X", "X.X X..X        X..X", "XX  X..X       X..X",
                     "X    X..X      X..X", "     X..X      XXXX", "      XX       X..X",
                     "               X..X", "               XXXX"}));
    return **arrow;
}

// The pixel of a bitmap as a COLORREF, and its alpha byte when it has 32 bits.
struct BitmapReader {
    std::shared_ptr<Bitmap> bitmap;
    std::unique_lock<std::mutex> lock;
    Surface view;

    explicit BitmapReader(std::shared_ptr<Bitmap> b) : bitmap(std::move(b)), lock(bitmap->lock) {
        view = bitmap->View();
    }
    uint32_t Raw(int x, int y) const { return ReadPixel(view, x, y); }
    uint32_t Rgb(int x, int y) const { return SwapRedBlue(PixelToColor(view, Raw(x, y))); }
};

} // namespace

bool IsIconHandle(HICON icon) {
    return icon != 0 && LookupIcon(icon) != nullptr;
}

bool GetIconImage(HICON icon, IconImage& image) {
    auto found = LookupIcon(icon);
    if (!found) return false;
    image = found->Image();
    return true;
}

bool SystemCursorImage(uint32_t shape, IconImage& image) {
    auto id = [](LPCSTR name) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(name)); };
    if (shape == id(IDC_UPARROW))
        image = UpArrow().Image();
    else if (shape == id(IDC_HELP))
        image = HelpArrow().Image();
    else
        return false;
    return true;
}

HICON WindowIcon(HWND handle) {
    std::lock_guard lock(WindowLock());
    WindowPtr window = LookupWindowLocked(handle);
    if (!window) return 0;
    for (HICON icon : {window->icons[ICON_BIG], window->icons[ICON_SMALL],
                       window->windowClass->icon, window->windowClass->smallIcon})
        if (icon != 0) return icon;
    return 0;
}

} // namespace platform

namespace platform::test {

bool ShownCursorImage(IconImage& image) {
    CursorState state = CurrentCursor();
    if (!state.visible) return false;
    if (state.image != 0) return GetIconImage(state.image, image);
    return SystemCursorImage(state.shape, image);
}

} // namespace platform::test

using platform::IconObject;

HICON CreateIconIndirect(const ICONINFO* info) {
    auto mask = info ? platform::LookupBitmap(info->hbmMask) : nullptr;
    auto color = info && info->hbmColor ? platform::LookupBitmap(info->hbmColor) : nullptr;
    if (!mask || (info->hbmColor && !color)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int width = color ? color->width : mask->width;
    int height = color ? color->height : mask->height / 2;
    if (width <= 0 || height <= 0 || mask->width < width ||
        mask->height < (color ? height : height * 2)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    POINT hotspot = info->fIcon ? POINT{width / 2, height / 2}
                                : POINT{static_cast<LONG>(std::min<DWORD>(info->xHotspot, width)),
                                        static_cast<LONG>(std::min<DWORD>(info->yHotspot, height))};
    auto icon = std::make_shared<IconObject>(info->fIcon != FALSE, width, height, hotspot);
    icon->monochrome = !color;
    {
        platform::BitmapReader bits(mask);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                size_t i = static_cast<size_t>(y) * width + x;
                icon->mask[i] = bits.Rgb(x, y) != 0 ? 1 : 0;
                if (!color) icon->color[i] = bits.Rgb(x, y + height) & 0x00FFFFFFu;
            }
    }
    if (color) {
        platform::BitmapReader bits(color);
        bool wide = color->format == platform::PixelFormat::Bgrx32;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                size_t i = static_cast<size_t>(y) * width + x;
                icon->color[i] = bits.Rgb(x, y);
                icon->alpha[i] = wide ? static_cast<uint8_t>(bits.Raw(x, y) >> 24) : 0;
                icon->hasAlpha = icon->hasAlpha || icon->alpha[i] != 0;
            }
    }
    return platform::RegisterObject(icon);
}

BOOL GetIconInfo(HICON handle, ICONINFO* info) {
    auto icon = platform::LookupIcon(handle);
    if (!icon || !info) {
        SetLastError(icon ? ERROR_INVALID_PARAMETER : ERROR_INVALID_ICON_HANDLE);
        return FALSE;
    }
    int width = icon->width, height = icon->height;
    int rows = icon->monochrome ? height * 2 : height;
    auto stride = static_cast<size_t>((width + 15) / 16 * 2);
    std::vector<uint8_t> maskBits(stride * rows, 0);
    auto setBit = [&](int x, int y) {
        maskBits[static_cast<size_t>(y) * stride + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    };
    std::vector<uint32_t> colorBits(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            size_t i = static_cast<size_t>(y) * width + x;
            if (icon->mask[i]) setBit(x, y);
            if (icon->monochrome && icon->color[i]) setBit(x, y + height);
            colorBits[i] = (icon->hasAlpha ? uint32_t{icon->alpha[i]} << 24 : 0) | icon->color[i];
        }
    info->fIcon = icon->isIcon ? TRUE : FALSE;
    info->xHotspot = static_cast<DWORD>(icon->hotspot.x);
    info->yHotspot = static_cast<DWORD>(icon->hotspot.y);
    info->hbmMask = CreateBitmap(width, rows, 1, 1, maskBits.data());
    info->hbmColor = icon->monochrome ? 0 : CreateBitmap(width, height, 1, 32, colorBits.data());
    if (!info->hbmMask || (!icon->monochrome && !info->hbmColor)) {
        DeleteObject(info->hbmMask);
        DeleteObject(info->hbmColor);
        return FALSE;
    }
    return TRUE;
}

BOOL DestroyIcon(HICON handle) {
    auto icon = platform::LookupIcon(handle);
    if (!icon) {
        SetLastError(ERROR_INVALID_ICON_HANDLE);
        return FALSE;
    }
    if (!icon->builtIn) platform::UnregisterObject(handle);
    return TRUE;
}

BOOL DrawIconEx(HDC dc, int x, int y, HICON handle, int width, int height, UINT, HBRUSH,
                UINT flags) {
    auto icon = platform::LookupIcon(handle);
    if (!icon) {
        SetLastError(ERROR_INVALID_ICON_HANDLE);
        return FALSE;
    }
    bool defaultSize = (flags & DI_DEFAULTSIZE) != 0;
    if (width == 0) width = defaultSize ? GetSystemMetrics(SM_CXICON) : icon->width;
    if (height == 0) height = defaultSize ? GetSystemMetrics(SM_CYICON) : icon->height;
    bool mask = (flags & DI_MASK) != 0, image = (flags & DI_IMAGE) != 0;
    if (width <= 0 || height <= 0 || (!mask && !image)) return FALSE;
    // Pixel by pixel through the DC, so its origin, clip and format all apply.
    for (int dy = 0; dy < height; ++dy)
        for (int dx = 0; dx < width; ++dx) {
            size_t i = static_cast<size_t>(int64_t{dy} * icon->height / height) * icon->width +
                       static_cast<size_t>(int64_t{dx} * icon->width / width);
            COLORREF under = GetPixel(dc, x + dx, y + dy);
            if (under == CLR_INVALID) continue;
            uint32_t below = platform::SwapRedBlue(under);
            uint32_t shown;
            if (icon->hasAlpha && mask && image) {
                uint32_t a = icon->alpha[i], c = icon->color[i];
                shown = 0;
                for (int shift = 0; shift < 24; shift += 8) {
                    uint32_t blended =
                        ((c >> shift & 0xFF) * a + (below >> shift & 0xFF) * (255 - a) + 127) / 255;
                    shown |= blended << shift;
                }
            } else {
                shown = mask ? (icon->mask[i] ? below : 0u) : 0u;
                shown = image ? (mask ? shown ^ icon->color[i] : icon->color[i]) : shown;
            }
            if (shown != below) SetPixel(dc, x + dx, y + dy, platform::SwapRedBlue(shown));
        }
    return TRUE;
}

HICON LoadIconA(HINSTANCE instance, LPCSTR name) {
    if (platform::IsAtomName(name)) {
        auto id = static_cast<WORD>(reinterpret_cast<uintptr_t>(name));
        if ((instance == 0 && name == IDI_APPLICATION) ||
            (instance != 0 && id == platform::kProgramIcon))
            return platform::ApplicationIcon();
        if (instance == 0)
            if (HICON icon = platform::SystemIcon(name)) return icon;
    }
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return 0;
}

HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int, int, UINT) {
    switch (type) {
    case IMAGE_ICON:
        return LoadIconA(instance, name);
    case IMAGE_CURSOR:
        return LoadCursorA(instance, name);
    default:
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return 0;
    }
}
