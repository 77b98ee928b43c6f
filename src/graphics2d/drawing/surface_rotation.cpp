#include <algorithm>
#include <cmath>

#include "graphics2d/drawing/surface_handle.h"

namespace {

int32_t NormalizeDegrees(int32_t degrees) {
    const int64_t d = degrees % 360;
    return int32_t(d < 0 ? d + 360 : d);
}

int32_t SpanOf(const float* values) {
    const float low = *std::min_element(values, values + 4);
    float widest = 0;
    for (int i = 0; i < 4; i++)
        widest = std::max(widest, values[i] - low);
    // Turned sizes stay below the largest surface a handle can hold.
    return 1 + int32_t(std::min(widest, float(0x3FFFFFFF)));
}

} // namespace

void RotatedSize(int32_t* width, int32_t* height, int32_t degrees) {
    float cosine, sine;
    if (degrees == 90) {
        cosine = 0, sine = 1;
    } else if (degrees == 270) {
        cosine = 0, sine = -1;
    } else {
        const double radians = degrees * 0.01745329251993889;
        cosine = float(std::cos(radians));
        sine = float(std::sin(radians));
    }
    const float w = float(*width - 1), h = float(*height - 1);
    const float xs[4] = {0, w * cosine, h * sine, w * cosine + h * sine};
    const float ys[4] = {0, -w * sine, h * cosine, h * cosine - w * sine};
    *width = SpanOf(xs);
    *height = SpanOf(ys);
}

int SurfaceHandle::RotateInto(SurfaceHandle* destination, int32_t degrees, int32_t smooth,
                              uint32_t background) {
    if (!impl_->GetOpSupport(4)) {
        lastError_ = kSurfaceErrorFailed;
        return 0;
    }
    if (!destination) return 0;
    return impl_->RotateInto(destination->impl_, NormalizeDegrees(degrees), smooth, background);
}

int SurfaceHandle::RotateToNew(SurfaceHandle* destination, int32_t degrees, int32_t smooth,
                               uint32_t background) {
    if (!destination) return 0;
    degrees = NormalizeDegrees(degrees);
    int32_t width = GetWidth(), height = GetHeight();
    RotatedSize(&width, &height, degrees);
    if (width < 1 || height < 1 || !IsValid()) return 0;
    if (!destination->Create(width, height, this)) return 0;
    destination->FillRectAll(background);
    return RotateInto(destination, degrees, smooth, background) ? 1 : 0;
}

int SurfaceHandle::Rotate(SurfaceHandle* destination, double radians, int32_t smooth,
                          uint32_t background) {
    double degrees = radians * 57.29577951309679;
    degrees = std::isfinite(degrees) ? std::fmod(degrees, 360.0) : 0;
    return RotateToNew(destination, int32_t(degrees), smooth, background);
}
