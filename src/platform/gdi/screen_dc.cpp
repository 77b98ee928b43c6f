#include "platform/gdi/screen_dc.h"

#include <algorithm>
#include <atomic>
#include <limits>
#include <mutex>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/framebuffer.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/raster_device.h"
#include "platform/gdi/screen_composition.h"
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

// 5- and 6-bit channels read back widened as from a 16-bit DIB: the kept bits repeat
// below themselves.
uint32_t Widened(uint32_t reduced, int greenBits) {
    uint32_t green = reduced >> 8 & 0xFFu;
    return reduced | (reduced >> 5 & 0x070007u) | (green >> greenBits) << 8;
}

uint32_t AsDisplayed(uint32_t pixel, int bitsPerPixel) {
    pixel &= 0x00FFFFFFu;
    switch (bitsPerPixel) {
    case 8:
        return Reduce(pixel, 3, 3, 2);
    case 16: {
        int greenBits = fiveFiveFive.load() ? 5 : 6;
        return Widened(Reduce(pixel, 5, greenBits, 5), greenBits);
    }
    default:
        return pixel;
    }
}

LONG Clamp(int64_t value) {
    return static_cast<LONG>(std::clamp<int64_t>(value, std::numeric_limits<LONG>::min(),
                                                 std::numeric_limits<LONG>::max()));
}

RECT PixelAt(int x, int y) {
    return RECT{x, y, Clamp(int64_t{x} + 1), Clamp(int64_t{y} + 1)};
}

RECT Union(const RECT& a, const RECT& b) {
    if (platform::IsEmptyRect(a)) return b;
    if (platform::IsEmptyRect(b)) return a;
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

// The screen's pixels, 0x00RRGGBB, holding only what the display's format keeps. They
// follow the display's size. A pixel drawn on the screen's DC keeps what was drawn; any
// other shows what the player's windows show there, brought in only where an operation
// touches the screen, so that drawing with the pixels underneath (raster operations,
// grey text) and reading both see the windows.
class ScreenDevice : public platform::RasterDevice {
public:
    platform::PixelFormat Format() const override { return platform::DisplayFormat(); }
    std::vector<uint32_t> ColorTable() const override { return platform::DisplayColorTable(); }

    bool Limit(platform::Region& limit) override {
        return Over(RECT{0, 0, 0, 0}, false, [&] { return RasterDevice::Limit(limit); });
    }
    bool FillSpans(std::span<const platform::Span> spans, COLORREF color, int rop2,
                   platform::ClipRegion clip) override {
        RECT bounds{0, 0, 0, 0};
        for (const platform::Span& span : spans)
            bounds = Union(bounds, RECT{span.x0, span.y, span.x1, Clamp(int64_t{span.y} + 1)});
        return Over(bounds, true,
                    [&] { return RasterDevice::FillSpans(spans, color, rop2, clip); });
    }
    // Through FillSpans above, which brings in what lies under the spans first.
    bool FillFigure(std::span<const platform::Span> interior, COLORREF brush,
                    std::span<const platform::Span> outline, COLORREF pen, int rop2,
                    platform::ClipRegion clip) override {
        return Device::FillFigure(interior, brush, outline, pen, rop2, clip);
    }
    // Through FillSpans above too.
    bool FillRects(std::span<const platform::ColorRect> rects, int rop2,
                   platform::ClipRegion clip) override {
        return Device::FillRects(rects, rop2, clip);
    }
    bool DrawGlyphs(std::span<const platform::GlyphMask> glyphs, COLORREF color,
                    platform::ClipRegion clip) override {
        RECT bounds{0, 0, 0, 0};
        for (const platform::GlyphMask& glyph : glyphs)
            bounds = Union(bounds, RECT{glyph.x, glyph.y, Clamp(int64_t{glyph.x} + glyph.width),
                                        Clamp(int64_t{glyph.y} + glyph.height)});
        return Over(bounds, true, [&] { return RasterDevice::DrawGlyphs(glyphs, color, clip); });
    }
    bool Blit(const RECT& area, const platform::Image* source, POINT at, uint8_t rop3,
              COLORREF brush, const platform::BlitColors& colors,
              platform::ClipRegion clip) override {
        return Over(area, true, [&] {
            return RasterDevice::Blit(area, source, at, rop3, brush, colors, clip);
        });
    }
    bool Read(const RECT& area, platform::Image& out) override {
        return Over(area, false, [&] { return RasterDevice::Read(area, out); });
    }
    COLORREF GetPixel(int x, int y, platform::ClipRegion clip) override {
        return Over(PixelAt(x, y), false, [&] { return RasterDevice::GetPixel(x, y, clip); });
    }
    // The colour the display really keeps.
    COLORREF SetPixel(int x, int y, COLORREF color, platform::ClipRegion clip) override {
        COLORREF stored =
            Over(PixelAt(x, y), true, [&] { return RasterDevice::SetPixel(x, y, color, clip); });
        return stored == CLR_INVALID ? CLR_INVALID : GetPixel(x, y, clip);
    }

protected:
    bool Access(const std::function<void(platform::RasterTarget&)>& use) override {
        platform::VirtualDisplay display = platform::GetVirtualDisplay();
        std::lock_guard guard(lock_);
        Fit(display.width, display.height);
        RECT touched = platform::IntersectRects(pending_.area, RECT{0, 0, width_, height_});
        Bring(touched, display.bitsPerPixel);
        std::vector<uint32_t> before;
        if (pending_.writes) Copy(touched, before);
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
        const LONG touchedWidth = touched.right - touched.left;
        for (LONG y = r.top; y < r.bottom; ++y)
            for (LONG x = r.left; x < r.right; ++x) {
                size_t at = static_cast<size_t>(y) * width_ + x;
                bool inside = x >= touched.left && x < touched.right && y >= touched.top &&
                              y < touched.bottom;
                // An operation writes only inside what it announced; a pixel it left as
                // the windows showed it stays theirs.
                if (pending_.writes && inside &&
                    pixels_[at] != before[static_cast<size_t>(y - touched.top) * touchedWidth +
                                          (x - touched.left)])
                    drawn_[at] = 1;
                pixels_[at] = AsDisplayed(pixels_[at], display.bitsPerPixel);
            }
        return true;
    }

private:
    struct Pending {
        RECT area{0, 0, 0, 0}; // screen coordinates
        bool writes = false;
        std::vector<uint32_t> shown; // what the windows show over `area`
    };

    // Runs `operation` (one call of Access) over `area`, what it reads or writes.
    template <class Operation>
    auto Over(const RECT& area, bool writes, Operation operation) -> decltype(operation()) {
        std::lock_guard guard(operation_);
        pending_.writes = writes;
        platform::VirtualDisplay display = platform::GetVirtualDisplay();
        RECT onScreen = platform::IntersectRects(area, RECT{0, 0, display.width, display.height});
        platform::ComposeWindows(onScreen, platform::PixelFromColor(GetSysColor(COLOR_BACKGROUND)),
                                 pending_.shown);
        pending_.area = onScreen;
        return operation();
    }

    // Puts what the windows show into the pixels of `area` never drawn on.
    void Bring(const RECT& area, int bitsPerPixel) {
        if (platform::IsEmptyRect(area) || pending_.shown.empty()) return;
        // `area` lies inside the announced one, which the display may have shrunk since.
        const RECT& from = pending_.area;
        const LONG width = from.right - from.left;
        for (LONG y = area.top; y < area.bottom; ++y)
            for (LONG x = area.left; x < area.right; ++x) {
                size_t at = static_cast<size_t>(y) * width_ + x;
                if (!drawn_[at])
                    pixels_[at] = AsDisplayed(
                        pending_.shown[static_cast<size_t>(y - from.top) * width + (x - from.left)],
                        bitsPerPixel);
            }
    }

    void Copy(const RECT& area, std::vector<uint32_t>& out) const {
        out.clear();
        for (LONG y = area.top; y < area.bottom; ++y)
            out.insert(out.end(), pixels_.begin() + static_cast<ptrdiff_t>(y) * width_ + area.left,
                       pixels_.begin() + static_cast<ptrdiff_t>(y) * width_ + area.right);
    }

    void Fit(int width, int height) {
        if (width == width_ && height == height_) return;
        std::vector<uint32_t> resized(static_cast<size_t>(width) * height, 0);
        std::vector<uint8_t> drawn(resized.size(), 0);
        for (int y = 0; y < std::min(height, height_); ++y)
            for (int x = 0; x < std::min(width, width_); ++x) {
                size_t from = static_cast<size_t>(y) * width_ + x;
                size_t to = static_cast<size_t>(y) * width + x;
                resized[to] = pixels_[from];
                drawn[to] = drawn_[from];
            }
        pixels_.swap(resized);
        drawn_.swap(drawn);
        width_ = width;
        height_ = height;
    }

    std::mutex operation_; // taken before the window locks, the pixels' lock after them
    Pending pending_;
    std::mutex lock_;
    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> pixels_;
    std::vector<uint8_t> drawn_; // 1 where the screen's DC drew
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
    std::shared_ptr<platform::DeviceContext> context =
        platform::LookupObjectAs<platform::DeviceContext>(dc);
    if (!context) return 0;
    int own = 0;
    if (context->device->Capability(index, own)) return own;
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
