// The device of a memory DC: the bitmap selected into it.
#pragma once

#include <memory>
#include <mutex>

#include "platform/gdi/bitmaps/bitmap_object.h"
#include "platform/gdi/raster_device.h"

namespace platform {

class MemoryDevice : public RasterDevice {
public:
    explicit MemoryDevice(std::shared_ptr<Bitmap> bitmap) : bitmap_(std::move(bitmap)) {}
    void Select(std::shared_ptr<Bitmap> bitmap);
    std::shared_ptr<Bitmap> Selected();

    PixelFormat Format() const override;
    std::vector<uint32_t> ColorTable() const override;

protected:
    bool Access(const std::function<void(RasterTarget&)>& use) override;
    // With another memory DC: both bitmaps locked at once, in no set order.
    bool AccessWith(RasterDevice& source,
                    const std::function<void(RasterTarget&, RasterTarget&)>& use) override;

private:
    mutable std::mutex lock_;
    std::shared_ptr<Bitmap> bitmap_;
};

// The 1 x 1 monochrome bitmap a memory DC starts with.
HBITMAP DefaultBitmap();

} // namespace platform
