#include "platform/gdi/icons/icon_object.h"

#include <algorithm>
#include <atomic>

namespace platform {
namespace {

uint64_t NextSerial() {
    static std::atomic<uint64_t> serial{0};
    return ++serial;
}

} // namespace

IconObject::IconObject(bool icon, int w, int h, POINT spot)
    : isIcon(icon), width(w), height(h), hotspot(spot), serial(NextSerial()),
      mask(static_cast<size_t>(w) * h, 1), color(static_cast<size_t>(w) * h, 0),
      alpha(static_cast<size_t>(w) * h, 0) {}

IconImage IconObject::Image() const {
    IconImage image{width, height, hotspot, {}, serial};
    image.pixels.resize(color.size());
    for (size_t i = 0; i < color.size(); ++i) {
        uint32_t a = hasAlpha ? alpha[i] : (mask[i] == 0 || color[i] != 0 ? 0xFFu : 0u);
        image.pixels[i] = a << 24 | (color[i] & 0x00FFFFFFu);
    }
    return image;
}

std::shared_ptr<IconObject> LookupIcon(HICON icon) {
    return LookupObjectAs<IconObject>(icon);
}

std::shared_ptr<IconObject> IconFromArt(bool isIcon, POINT hotspot,
                                        std::initializer_list<std::string_view> rows) {
    size_t width = 0;
    for (std::string_view row : rows)
        width = std::max(width, row.size());
    auto icon = std::make_shared<IconObject>(isIcon, static_cast<int>(width),
                                             static_cast<int>(rows.size()), hotspot);
    size_t y = 0;
    for (std::string_view row : rows) {
        for (size_t x = 0; x < row.size(); ++x) {
            size_t i = y * width + x;
            if (row[x] == ' ') continue;
            icon->mask[i] = 0;
            icon->color[i] = row[x] == '.' ? 0xFFFFFFu : 0u;
        }
        ++y;
    }
    icon->builtIn = true;
    return icon;
}

} // namespace platform
