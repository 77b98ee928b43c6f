// GDI's figures and lines on a DC: the selected pen outlines, the selected brush fills
// what the outline leaves inside, both under the DC's SetROP2 mode, in logical
// coordinates through the window origin and the clip. The pixel rules are the scan
// converter's (shapes/scan_converter.h).
#pragma once

#include "platform/gdi/dc_state.h"

// FALSE for a dead DC; an empty box draws nothing and succeeds.
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);
// Closed by a line back to the first point, filled by the DC's SetPolyFillMode.
// FALSE for fewer than two points.
BOOL Polygon(HDC dc, const POINT* points, int count);
// Neither reads nor moves the current position. FALSE for fewer than two points.
BOOL Polyline(HDC dc, const POINT* points, int count);
// From the current position (MoveToEx) to (x, y), which becomes the current position.
BOOL LineTo(HDC dc, int x, int y);
