#include "platform/gdi/screen_dc.h"

#include <atomic>
#include <mutex>
#include <unordered_map>

#include "platform/gdi/device_context.h"
#include "platform/user/display_settings.h"
#include "platform/kernel/errors.h"
#include "platform/kernel/kernel_objects.h"
#include "platform/kernel/system_info.h"
#include "platform/kernel/test_hooks.h"
#include "platform/user/window_geometry.h"

namespace {

// A DC is a handle of the kernel table, so its value never collides with another
// handle, but only ReleaseDC ends it.
class ScreenDC : public platform::KernelObject {
public:
    bool ClosableByCloseHandle() const override { return false; }
};

std::atomic<bool> fiveFiveFive{false};

// Pixels hold what the display could show: the colour with the low bits the format
// drops cleared. Only pixels ever set are kept.
struct ScreenPixels {
    std::mutex lock;
    std::unordered_map<uint64_t, COLORREF> colors;
};

ScreenPixels& Pixels() {
    static auto* pixels = new ScreenPixels;
    return *pixels;
}

// Keeps `bits` high bits of each channel, red, green, blue.
COLORREF Reduce(COLORREF color, int redBits, int greenBits, int blueBits) {
    auto mask = [](int bits) { return static_cast<COLORREF>(0xFF00u >> bits & 0xFFu); };
    return color & (mask(redBits) | mask(greenBits) << 8 | mask(blueBits) << 16);
}

COLORREF AsDisplayed(COLORREF color, int bitsPerPixel) {
    color &= 0x00FFFFFFu;
    switch (bitsPerPixel) {
    case 8:
        return Reduce(color, 3, 3, 2);
    case 16:
        return fiveFiveFive.load() ? Reduce(color, 5, 5, 5) : Reduce(color, 5, 6, 5);
    default:
        return color;
    }
}

// The key of a pixel inside the display; false outside it or for another DC.
bool PixelKey(HDC dc, int x, int y, const platform::VirtualDisplay& display, uint64_t& key) {
    if (!platform::IsScreenDC(dc) || x < 0 || y < 0 || x >= display.width || y >= display.height)
        return false;
    key = static_cast<uint64_t>(y) << 32 | static_cast<uint32_t>(x);
    return true;
}

} // namespace

namespace platform {

HDC NewScreenDC() {
    return RegisterObject(std::make_shared<ScreenDC>());
}

bool IsScreenDC(HDC dc) {
    return dc != 0 && std::dynamic_pointer_cast<ScreenDC>(LookupObject(dc)) != nullptr;
}

bool ReleaseScreenDC(HDC dc) {
    return IsScreenDC(dc) && UnregisterObject(dc);
}

} // namespace platform

int GetDeviceCaps(HDC dc, int index) {
    if (!platform::IsScreenDC(dc) && !platform::IsWindowDC(dc)) return 0;
    platform::VirtualDisplay display = platform::GetVirtualDisplay();
    switch (index) {
    case HORZRES:
        return display.width;
    case VERTRES:
        return display.height;
    case BITSPIXEL:
        return display.bitsPerPixel;
    case PLANES:
        return 1;
    case LOGPIXELSX:
    case LOGPIXELSY:
        return 96;
    case VREFRESH:
        return platform::CurrentDisplayFrequency();
    default:
        return 0;
    }
}

COLORREF platform::ScreenSetPixel(HDC dc, int x, int y, COLORREF color) {
    platform::VirtualDisplay display = platform::GetVirtualDisplay();
    uint64_t key = 0;
    if (!PixelKey(dc, x, y, display, key)) return CLR_INVALID;
    COLORREF stored = AsDisplayed(color, display.bitsPerPixel);
    ScreenPixels& pixels = Pixels();
    std::lock_guard guard(pixels.lock);
    pixels.colors[key] = stored;
    return stored;
}

COLORREF platform::ScreenGetPixel(HDC dc, int x, int y) {
    platform::VirtualDisplay display = platform::GetVirtualDisplay();
    uint64_t key = 0;
    if (!PixelKey(dc, x, y, display, key)) return CLR_INVALID;
    ScreenPixels& pixels = Pixels();
    std::lock_guard guard(pixels.lock);
    auto it = pixels.colors.find(key);
    return it == pixels.colors.end() ? 0 : it->second;
}

namespace platform::test {

void SetScreenPixels555(bool on) {
    fiveFiveFive.store(on);
}

} // namespace platform::test
