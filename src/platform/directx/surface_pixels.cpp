#include "platform/directx/surface_pixels.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "platform/gdi/dc.h"
#include "platform/gdi/raster_device.h"
#include "platform/kernel/kernel_objects.h"

namespace platform::ddraw {
namespace {

class SurfaceDevice : public RasterDevice {
public:
    explicit SurfaceDevice(std::shared_ptr<Pixels> pixels) : pixels_(std::move(pixels)) {}
    PixelFormat Format() const override { return pixels_->format; }
    std::vector<uint32_t> ColorTable() const override { return {}; }

protected:
    bool Access(const std::function<void(RasterTarget&)>& use) override {
        std::lock_guard guard(pixels_->lock);
        RasterTarget target;
        target.surface = pixels_->View();
        target.limit = Region(RECT{0, 0, pixels_->width, pixels_->height});
        use(target);
        return true;
    }

private:
    const std::shared_ptr<Pixels> pixels_;
};

} // namespace

std::shared_ptr<Pixels> MakePixels(int width, int height, PixelFormat format) {
    if (width <= 0 || height <= 0) return nullptr;
    int64_t pitch = RowBytes(width, BitsPerPixel(format), 4);
    if (pitch * height > std::numeric_limits<int32_t>::max()) return nullptr;
    auto pixels = std::make_shared<Pixels>();
    pixels->bits.reset(new (std::nothrow) uint8_t[static_cast<size_t>(pitch * height)]());
    if (!pixels->bits) return nullptr;
    pixels->width = width;
    pixels->height = height;
    pixels->format = format;
    pixels->pitch = static_cast<ptrdiff_t>(pitch);
    return pixels;
}

HDC OpenSurfaceDC(std::shared_ptr<Pixels> pixels) {
    return RegisterDC(DcKind::Surface, std::make_shared<SurfaceDevice>(std::move(pixels)));
}

void CloseSurfaceDC(HDC dc) {
    UnregisterObject(dc);
}

void FillPixels(Pixels& pixels, RECT area, uint32_t pixel) {
    area.left = std::max<LONG>(area.left, 0);
    area.top = std::max<LONG>(area.top, 0);
    area.right = std::min<LONG>(area.right, pixels.width);
    area.bottom = std::min<LONG>(area.bottom, pixels.height);
    if (area.left >= area.right || area.top >= area.bottom) return;
    std::lock_guard guard(pixels.lock);
    Surface view = pixels.View();
    for (LONG x = area.left; x < area.right; ++x)
        WritePixel(view, x, area.top, pixel);
    size_t bytes = static_cast<size_t>(area.right - area.left) * BitsPerPixel(view.format) / 8;
    const uint8_t* first = view.Row(area.top) + area.left * BitsPerPixel(view.format) / 8;
    for (LONG y = area.top + 1; y < area.bottom; ++y)
        std::memcpy(view.Row(y) + area.left * BitsPerPixel(view.format) / 8, first, bytes);
}

} // namespace platform::ddraw
