#include "classes/surface/dirty_rect_list.h"

#include <algorithm>
#include <new>

void DirtyRectList::Add(DirtyRect rect) {
    if (rect.left > rect.right) std::swap(rect.left, rect.right);
    if (rect.top > rect.bottom) std::swap(rect.top, rect.bottom);
    if (rects_ == nullptr) {
        rects_.reset(new (std::nothrow) DirtyRect[kDirtyRectCapacity]);
        if (rects_ == nullptr) return;
        count_ = 0;
    }
    for (;;) {
        int32_t found = -1;
        for (int32_t i = 0; i < count_; ++i) {
            if (RectsOverlap(rect, rects_[i])) {
                found = i;
                break;
            }
        }
        if (found >= 0) {
            const DirtyRect stored = rects_[found];
            if (stored.left <= rect.left && stored.top <= rect.top && stored.right >= rect.right &&
                stored.bottom >= rect.bottom)
                return;
            rect = {std::min(rect.left, stored.left), std::min(rect.top, stored.top),
                    std::max(rect.right, stored.right), std::max(rect.bottom, stored.bottom)};
            --count_;
            if (count_ > 0) rects_[found] = rects_[count_];
            continue;
        }
        if (count_ < kDirtyRectCapacity) {
            rects_[count_++] = rect;
            return;
        }
        DirtyRect box = rects_[0];
        for (int32_t i = 1; i < count_; ++i) {
            box.left = std::min(box.left, rects_[i].left);
            box.top = std::min(box.top, rects_[i].top);
            box.right = std::max(box.right, rects_[i].right);
            box.bottom = std::max(box.bottom, rects_[i].bottom);
        }
        rects_[0] = box;
        count_ = 1;
    }
}

void DirtyRectList::Clear() {
    rects_.reset();
    count_ = 0;
}
