#include "platform/gdi/screen_dc.h"

#include <atomic>
#include <mutex>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/raster_device.h"
#include "platform/kernel/errors.h"
#include "platform/kernel/test_hooks.h"
#include "platform/system/system_info.h"
#include "platform/user/display_settings.h"

namespace {

std::atomic<bool> fiveFiveFive{false};

// Keeps `bits` high bits of each channel of a 0x00RRGGBB pixel.
uint32_t Reduce(uint32_t pixel, int redBits, int greenBits, int blueBits) {
    auto mask = [](int bits) { return static_cast<uint32_t>(0xFF00u >> bits & 0xFFu); };
    return pixel & (mask(redBits) << 16 | mask(greenBits) << 8 | mask(blueBits));
}

uint32_t AsDisplayed(uint32_t pixel, int bitsPerPixel) {
    pixel &= 0x00FFFFFFu;
    switch (bitsPerPixel) {
    case 8:
        return Reduce(pixel, 3, 3, 2);
    case 16:
        return fiveFiveFive.load() ? Reduce(pixel, 5, 5, 5) : Reduce(pixel, 5, 6, 5);
    default:
        return pixel;
    }
}

// The screen's pixels, 0x00RRGGBB, holding only what the display's format keeps. They
// follow the display's size; pixels never set read as black.
class ScreenDevice : public platform::RasterDevice {
public:
    platform::PixelFormat Format() const override { return platform::DisplayFormat(); }
    std::vector<uint32_t> ColorTable() const override { return platform::DisplayColorTable(); }

    // The colour the display really keeps.
    COLORREF SetPixel(int x, int y, COLORREF color, platform::ClipRegion clip) override {
        if (RasterDevice::SetPixel(x, y, color, clip) == CLR_INVALID) return CLR_INVALID;
        return GetPixel(x, y, clip);
    }

protected:
    bool Access(const std::function<void(platform::RasterTarget&)>& use) override {
        platform::VirtualDisplay display = platform::GetVirtualDisplay();
        std::lock_guard guard(lock_);
        Fit(display.width, display.height);
        platform::RasterTarget target;
        target.surface = platform::Surface{reinterpret_cast<uint8_t*>(pixels_.data()),
                                           static_cast<ptrdiff_t>(width_) * 4,
                                           width_,
                                           height_,
                                           platform::PixelFormat::Bgrx32,
                                           nullptr,
                                           0};
        target.limit = platform::Region(RECT{0, 0, width_, height_});
        use(target);
        const RECT& r = target.changed;
        for (LONG y = r.top; y < r.bottom; ++y)
            for (LONG x = r.left; x < r.right; ++x) {
                uint32_t& p = pixels_[static_cast<size_t>(y) * width_ + x];
                p = AsDisplayed(p, display.bitsPerPixel);
            }
        return true;
    }

private:
    void Fit(int width, int height) {
        if (width == width_ && height == height_) return;
        std::vector<uint32_t> resized(static_cast<size_t>(width) * height, 0);
        for (int y = 0; y < std::min(height, height_); ++y)
            for (int x = 0; x < std::min(width, width_); ++x)
                resized[static_cast<size_t>(y) * width + x] =
                    pixels_[static_cast<size_t>(y) * width_ + x];
        pixels_.swap(resized);
        width_ = width;
        height_ = height;
    }

    std::mutex lock_;
    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> pixels_;
};

// One screen, whatever number of DCs draw on it.
std::shared_ptr<ScreenDevice> Screen() {
    static auto* screen = new std::shared_ptr<ScreenDevice>(std::make_shared<ScreenDevice>());
    return *screen;
}

} // namespace

namespace platform {

HDC NewScreenDC() {
    return RegisterDC(DcKind::Screen, Screen());
}

bool IsScreenDC(HDC dc) {
    auto found = LookupObjectAs<DeviceContext>(dc);
    return found && found->kind == DcKind::Screen;
}

bool ReleaseScreenDC(HDC dc) {
    return IsScreenDC(dc) && UnregisterObject(dc);
}

PixelFormat DisplayFormat() {
    switch (GetVirtualDisplay().bitsPerPixel) {
    case 8:
        return PixelFormat::Indexed8;
    case 16:
        return fiveFiveFive.load() ? PixelFormat::Rgb555 : PixelFormat::Rgb565;
    case 24:
        return PixelFormat::Bgr24;
    default:
        return PixelFormat::Bgrx32;
    }
}

std::vector<uint32_t> DisplayColorTable() {
    if (DisplayFormat() != PixelFormat::Indexed8) return {};
    std::vector<uint32_t> table(256);
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t r = i >> 5 & 7, g = i >> 2 & 7, b = i & 3;
        table[i] = (r * 255 / 7) << 16 | (g * 255 / 7) << 8 | b * 255 / 3;
    }
    return table;
}

} // namespace platform

int GetDeviceCaps(HDC dc, int index) {
    if (!platform::LookupObjectAs<platform::DeviceContext>(dc)) return 0;
    platform::VirtualDisplay display = platform::GetVirtualDisplay();
    switch (index) {
    case TECHNOLOGY:
        return DT_RASDISPLAY;
    case HORZSIZE:
        return display.width * 254 / 960;
    case VERTSIZE:
        return display.height * 254 / 960;
    case HORZRES:
        return display.width;
    case VERTRES:
        return display.height;
    case BITSPIXEL:
        return display.bitsPerPixel;
    case PLANES:
        return 1;
    case NUMCOLORS:
        return display.bitsPerPixel <= 8 ? 20 : -1;
    case ASPECTX:
    case ASPECTY:
    case ASPECTXY:
        return 36;
    case LOGPIXELSX:
    case LOGPIXELSY:
        return 96;
    case RASTERCAPS:
        return RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
    case SIZEPALETTE:
    case NUMRESERVED:
        return 0;
    case COLORRES:
        return display.bitsPerPixel <= 8 ? 18 : 24;
    case VREFRESH:
        return platform::CurrentDisplayFrequency();
    default:
        return 0;
    }
}

namespace platform::test {

void SetScreenPixels555(bool on) {
    fiveFiveFive.store(on);
}

} // namespace platform::test
