#include "graphics2d/drawing/fill_painter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "graphics2d/drawing/surface_handle.h"

namespace {

constexpr uint32_t kNearBlack = 8;

int32_t Channel(uint32_t colour, int i) {
    return int32_t(colour >> (8 * i) & 0xFF);
}

} // namespace

int CFillBase::FillAll(SurfaceHandle* handle, int32_t, int32_t, int32_t avoidKey) {
    return FillRect(handle, 0, 0, handle->GetWidth(), handle->GetHeight(), avoidKey);
}

CFillSolid::CFillSolid(uint32_t colour) : colour_(colour ? colour : kNearBlack) {}

// The colour is never the key (the constructor saw to it), so `avoidKey` changes nothing.
int CFillSolid::FillRect(SurfaceHandle* handle, int32_t left, int32_t top, int32_t right,
                         int32_t bottom, int32_t) {
    return handle->FillRect(left, top, int32_t(int64_t(right) - left),
                            int32_t(int64_t(bottom) - top), colour_);
}

CFillGradient::CFillGradient(uint32_t first, uint32_t second, int32_t direction, int32_t originX,
                             int32_t originY)
    : originX_(originX), originY_(originY), first_(first), second_(second), direction_(direction) {}

uint32_t CFillGradient::SetOrigin(int32_t x, int32_t y) {
    originX_ = x;
    originY_ = y;
    return uint32_t(y) << 16 | (uint32_t(x) & 0xFFFF);
}

int32_t CFillGradient::BandCount() const {
    int32_t count = 1;
    for (int i = 0; i < 3; i++)
        count = std::max(count, std::abs(Channel(second_, i) - Channel(first_, i)));
    return count;
}

uint32_t CFillGradient::BandColour(int32_t band, int32_t count, int32_t avoidKey) const {
    int32_t c[3];
    for (int i = 0; i < 3; i++) {
        const double step = double(Channel(second_, i) - Channel(first_, i)) / count;
        c[i] = Channel(first_, i) + int32_t(band * step);
    }
    if (avoidKey && c[0] < 8 && c[1] < 8 && c[2] < 8) {
        if (c[2] > c[0] && c[2] > c[1])
            c[2] = 8;
        else if (c[1] > c[0] && c[1] > c[2])
            c[1] = 8;
        else
            c[0] = 8;
    }
    return uint32_t(c[0]) | uint32_t(c[1]) << 8 | uint32_t(c[2]) << 16;
}

int CFillGradient::FillRect(SurfaceHandle* handle, int32_t left, int32_t top, int32_t right,
                            int32_t bottom, int32_t avoidKey) {
    const int32_t count = BandCount();
    const bool across = direction_ == 0;
    const int64_t start = across ? left : top;
    const int64_t extent = across ? int64_t(right) - left : int64_t(bottom) - top;
    for (int32_t i = 1; i <= count; i++) {
        const int64_t from = start + (i - 1) * extent / count, to = start + i * extent / count;
        if (from == to) continue;
        const uint32_t colour = BandColour(i, count, avoidKey);
        if (across)
            handle->FillRect(int32_t(from), top, int32_t(to - from), bottom - top, colour);
        else
            handle->FillRect(left, int32_t(from), right - left, int32_t(to - from), colour);
    }
    return 1;
}

int CFillGradient::FillAll(SurfaceHandle* handle, int32_t width, int32_t height, int32_t avoidKey) {
    const int32_t count = BandCount();
    const bool across = direction_ == 0;
    const int64_t extent = std::max<int64_t>(1, across ? width : height);
    const int64_t size = across ? handle->GetWidth() : handle->GetHeight();
    const int64_t offset = across ? originX_ : originY_;
    const double band = double(extent) / count;
    // Band i covers [(i - 1) x band, i x band) of the shape; this surface shows the shape
    // from `offset` on.
    for (int32_t i = 1; i <= count; i++) {
        const int64_t from = std::max<int64_t>(0, std::llround((i - 1) * band) - offset);
        const int64_t to = std::min<int64_t>(size, std::llround(i * band) - offset);
        if (from >= to) continue;
        const uint32_t colour = BandColour(i, count, avoidKey);
        if (across)
            handle->FillRect(int32_t(from), 0, int32_t(to - from), handle->GetHeight(), colour);
        else
            handle->FillRect(0, int32_t(from), handle->GetWidth(), int32_t(to - from), colour);
    }
    return 1;
}
