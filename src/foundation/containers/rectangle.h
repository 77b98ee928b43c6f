// A rectangle that is a Win32 RECT, so it goes wherever the window calls take one, and
// the rectangle of the whole desktop.
#pragma once

#include "platform/user/window_geometry.h"

class CRectangle : public RECT {
public:
    // Leaves the fields as they are: callers fill the rectangle straight away.
    CRectangle() = default;
    CRectangle(const RECT& rect) : RECT(rect) {}

    void Set(LONG left, LONG top, LONG right, LONG bottom);
    // Right and bottom are exclusive: x + width and y + height.
    void SetXYWH(LONG x, LONG y, LONG width, LONG height);
    LONG Width() const;
    LONG Height() const;
    // Swaps left with right and top with bottom where the first is the greater.
    void Normalize();
};

// The desktop across every monitor, right and bottom exclusive.
void GetDesktopRect(RECT* rect);
