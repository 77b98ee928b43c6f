// Text with tabs on one line: each tab moves to the next stop. Stops are pixel positions
// from the text's origin; none means one every eight average characters, one means a stop
// at every multiple of it.
#pragma once

#include "platform/controls/controls.h"

// Returns MAKELONG(width, height) of what was drawn, the origin being `tabOrigin`.
LONG TabbedTextOutA(HDC dc, int x, int y, LPCSTR text, int count, int tabCount, const int* tabStops,
                    int tabOrigin);
DWORD GetTabbedTextExtentA(HDC dc, LPCSTR text, int count, int tabCount, const int* tabStops);
