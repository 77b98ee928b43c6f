#include "platform/gdi/shapes/span_picture.h"

#include <algorithm>

namespace platform {

SpanPicture::SpanPicture(const RECT& area)
    : area_(area), width_(std::max(area.right - area.left, 0)),
      height_(std::max(area.bottom - area.top, 0)),
      bits_(static_cast<size_t>(width_) * static_cast<size_t>(height_)) {}

void SpanPicture::Set(const SpanList& spans) {
    for (const Span& span : spans) {
        int64_t length = int64_t{span.x1} - span.x0;
        if (span.y < area_.top || span.y >= area_.bottom) {
            outside_ += length;
            continue;
        }
        int64_t x0 = std::max<int64_t>(span.x0, area_.left);
        int64_t x1 = std::min<int64_t>(span.x1, area_.right);
        outside_ += length - std::max<int64_t>(x1 - x0, 0);
        size_t row = static_cast<size_t>(span.y - area_.top) * static_cast<size_t>(width_);
        for (int64_t x = x0; x < x1; ++x)
            bits_[row + static_cast<size_t>(x - area_.left)] = true;
    }
}

bool SpanPicture::Get(int32_t x, int32_t y) const {
    if (x < area_.left || x >= area_.right || y < area_.top || y >= area_.bottom) return false;
    return bits_[static_cast<size_t>(y - area_.top) * width_ + (x - area_.left)];
}

std::string SpanPicture::Text(char on, char off) const {
    std::string text;
    for (int32_t y = 0; y < height_; ++y) {
        for (int32_t x = 0; x < width_; ++x)
            text += bits_[static_cast<size_t>(y) * width_ + x] ? on : off;
        text += '\n';
    }
    return text;
}

} // namespace platform
