// A one-bit picture of span lists over a fixed area, for tests: which pixels a shape set,
// written out as rows of characters.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gdi/shapes/span_list.h"
#include "platform/user/window_geometry.h"

namespace platform {

class SpanPicture {
public:
    explicit SpanPicture(const RECT& area);

    // Sets the pixels of the spans; those outside the area are counted, not kept.
    void Set(const SpanList& spans);
    bool Get(int32_t x, int32_t y) const;
    int64_t Outside() const { return outside_; }

    // One line per row, top first, `on` for set pixels and `off` for the others.
    std::string Text(char on = '#', char off = '.') const;

private:
    RECT area_;
    int32_t width_;
    int32_t height_;
    std::vector<bool> bits_;
    int64_t outside_ = 0;
};

} // namespace platform
