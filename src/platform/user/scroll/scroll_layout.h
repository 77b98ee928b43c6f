// Where the parts of a scroll bar lie along it: pure geometry, in pixels from the bar's
// start, for drawing, hit testing and turning a dragged thumb into a position.
#pragma once

namespace platform {

struct ScrollValues {
    int min = 0;
    int max = 0;
    unsigned page = 0;
    int pos = 0;
};

// The highest position the values allow: max - max(page - 1, 0), never below min.
int LastPosition(const ScrollValues& values);
// Whether the bar can scroll at all.
bool CanScroll(const ScrollValues& values);

enum class ScrollPart { None, LineUp, PageUp, Thumb, PageDown, LineDown };

struct ScrollLayout {
    int length = 0; // of the whole bar
    int arrow = 0;  // of each arrow button
    int thumbStart = 0;
    int thumbSize = 0; // 0: no thumb shown
};

// `length` along the bar, `thickness` across it; the thumb shows `position`.
ScrollLayout LayOut(int length, int thickness, const ScrollValues& values, int position);
// The part at `offset` pixels along the bar.
ScrollPart PartAt(const ScrollLayout& layout, int offset);
// The position a thumb starting at `thumbStart` shows.
int PositionForThumb(const ScrollLayout& layout, const ScrollValues& values, int thumbStart);

} // namespace platform
