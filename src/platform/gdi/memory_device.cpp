#include "platform/gdi/memory_device.h"

namespace platform {

void MemoryDevice::Select(std::shared_ptr<Bitmap> bitmap) {
    std::lock_guard guard(lock_);
    bitmap_ = std::move(bitmap);
}

std::shared_ptr<Bitmap> MemoryDevice::Selected() {
    std::lock_guard guard(lock_);
    return bitmap_;
}

PixelFormat MemoryDevice::Format() const {
    std::lock_guard guard(lock_);
    return bitmap_ ? bitmap_->format : PixelFormat::Mono;
}

std::vector<uint32_t> MemoryDevice::ColorTable() const {
    std::shared_ptr<Bitmap> bitmap;
    {
        std::lock_guard guard(lock_);
        bitmap = bitmap_;
    }
    if (!bitmap) return {};
    std::lock_guard pixels(bitmap->lock);
    return bitmap->table;
}

namespace {

// Needs the bitmap's lock.
RasterTarget TargetOf(const Bitmap& bitmap) {
    RasterTarget target;
    target.surface = bitmap.View();
    target.limit = Region(RECT{0, 0, bitmap.width, bitmap.height});
    return target;
}

} // namespace

bool MemoryDevice::Access(const std::function<void(RasterTarget&)>& use) {
    std::shared_ptr<Bitmap> bitmap = Selected();
    if (!bitmap) return false;
    std::lock_guard pixels(bitmap->lock);
    RasterTarget target = TargetOf(*bitmap);
    use(target);
    return true;
}

bool MemoryDevice::AccessWith(RasterDevice& source,
                              const std::function<void(RasterTarget&, RasterTarget&)>& use) {
    auto* other = dynamic_cast<MemoryDevice*>(&source);
    if (!other) return false;
    std::shared_ptr<Bitmap> mine = Selected(), theirs = other->Selected();
    if (!mine || !theirs) return false;
    if (mine == theirs) {
        std::lock_guard pixels(mine->lock);
        RasterTarget target = TargetOf(*mine);
        use(target, target);
        return true;
    }
    std::scoped_lock pixels(mine->lock, theirs->lock);
    RasterTarget target = TargetOf(*mine), from = TargetOf(*theirs);
    use(target, from);
    return true;
}

HBITMAP DefaultBitmap() {
    static const HBITMAP handle =
        RegisterPermanent(Bitmap::Make(1, 1, PixelFormat::Mono, {0x000000u, 0xFFFFFFu}, false, 2));
    return handle;
}

} // namespace platform
