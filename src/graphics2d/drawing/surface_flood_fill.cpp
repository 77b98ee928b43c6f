#include <algorithm>
#include <cstdlib>
#include <new>
#include <vector>

#include "graphics2d/blitter/pixel_traits.h"
#include "graphics2d/drawing/surface_handle.h"
#include "graphics2d/palette/palette.h"

namespace {

// A run of a row still to be explored from the row `direction` away.
struct Segment {
    int32_t y;
    int32_t left;
    int32_t right;
    int32_t direction;
};

bool Near(uint32_t a, uint32_t b, int32_t tolerance) {
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(int32_t(a >> shift & 0xFF) - int32_t(b >> shift & 0xFF)) > tolerance)
            return false;
    return true;
}

bool InClip(const SurfaceBits& b, int32_t x, int32_t y) {
    return x >= b.clipLeft && x < b.clipRight && y >= b.clipTop && y < b.clipBottom && x >= 0 &&
           y >= 0 && x < b.width && y < b.height;
}

uint32_t ColourAt(const SurfaceBits& b, int32_t x, int32_t y) {
    const uint32_t raw = b.formatOps->GetPixel(&b, x, y);
    return b.formatIndex == kFormat8 ? IndexColor(b.palette, raw) : raw;
}

} // namespace

int SurfaceHandle::Fill(int32_t x, int32_t y, uint32_t colour, int32_t extra, int32_t tolerance,
                        int32_t mode, uint32_t modeArgument) {
    colour &= 0xFFFFFF;
    uint32_t stored = colour;
    switch (GetDepth()) {
    case 8:
        stored = kColorIsIndex | ColorToIndex(colour);
        colour = IndexToColor(stored & 0xFF);
        break;
    case 15:
        colour &= 0xF8F8F8;
        break;
    case 16:
        colour &= 0xF8FCF8;
        break;
    default:
        break;
    }
    x -= originX_;
    y -= originY_;
    uint32_t seed = 0;
    if (!impl_->GetPixel(x, y, &seed) || seed == colour) return 0;

    SurfaceHandle temporary;
    cSurface* target = impl_;
    if (colour != 0 && modeArgument != 0) {
        if (!temporary.Create(GetWidth(), GetHeight(), this)) return 0;
        int32_t cx, cy, cw, ch;
        impl_->GetClipRect(&cx, &cy, &cw, &ch);
        temporary.impl_->SetClipRect(cx, cy, cw, ch);
        temporary.impl_->FillRectRaw(0, 0, GetWidth(), GetHeight(), 0);
        target = temporary.impl_;
    }
    std::vector<Segment> stack;
    try {
        stack.reserve(10000);
    } catch (const std::bad_alloc&) {
        lastError_ = kSurfaceErrorNoMemory;
        return 0;
    }
    if (!impl_->Lock()) return 0;
    if (!target->Lock()) {
        impl_->Unlock();
        return 0;
    }
    const SurfaceBits& source = *impl_->GetBits();
    const SurfaceBits& out = *target->GetBits();
    const int32_t lastX = source.width - 1, lastY = source.height - 1;
    const auto inside = [&](int32_t px, int32_t py) {
        return InClip(source, px, py) && Near(ColourAt(source, px, py), seed, tolerance) &&
               InClip(out, px, py) && ColourAt(out, px, py) != colour;
    };
    bool complete = true;
    const auto push = [&](int32_t row, int32_t left, int32_t right, int32_t direction) {
        const int64_t next = int64_t(row) + direction;
        if (next < 0 || next > lastY) return;
        try {
            stack.push_back({row, left, right, direction});
        } catch (const std::bad_alloc&) {
            complete = false;
        }
    };
    // The scan-line seed fill: each segment popped was filled on its row; the runs of the
    // next row beside it are filled and pushed, with the leaks past its ends turned back.
    push(y, x, x, 1);
    push(y + 1, x, x, -1);
    while (!stack.empty()) {
        const Segment s = stack.back();
        stack.pop_back();
        const int32_t row = s.y + s.direction, x1 = s.left, x2 = s.right, dy = s.direction;
        int32_t px = x1;
        for (; px >= 0 && inside(px, row); px--)
            out.formatOps->PutPixel(&out, px, row, stored);
        int32_t left;
        if (px >= x1) goto skip;
        left = px + 1;
        if (left < x1) push(row, left, x1 - 1, -dy);
        px = x1 + 1;
        do {
            for (; px <= lastX && inside(px, row); px++)
                out.formatOps->PutPixel(&out, px, row, stored);
            push(row, left, px - 1, dy);
            if (px > x2 + 1) push(row, x2 + 1, px - 1, -dy);
        skip:
            for (px++; px <= x2 && !inside(px, row); px++) {}
            left = px;
        } while (px <= x2);
    }
    target->Unlock();
    impl_->Unlock();
    if (target != impl_)
        target->BlitTo(impl_, 0, 0, 0, 0, GetWidth(), GetHeight(), 1, mode, modeArgument, extra);
    if (!complete) lastError_ = kSurfaceErrorNoMemory;
    return complete ? 1 : 0;
}
