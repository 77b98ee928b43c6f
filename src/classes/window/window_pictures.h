// Pictures a Window takes from its script: the image of SetShape, SetIcon and SetCursor, a
// Surface or an image element of the project, and the window region an image gives.
#pragma once

#include <cstdint>
#include <vector>

#include "graphics2d/drawing/surface_handle.h"
#include "platform/gdi/gdi_objects.h"

class CInterpretor;
class CValue;

// The picture a script value names: a Surface's own, else an image element (by name or
// index) copied into `holder` at `depth`. Null when the value names neither.
SurfaceHandle* PictureFromValue(CInterpretor& interpreter, const CValue& value,
                                SurfaceHandle& holder, int32_t depth);

// The rectangles of a window region cut from a picture: each run of pixels whose colour
// is not 0 is a rectangle one row high, merged down into the last rectangle when it has
// the same left and right and ends on the row above.
std::vector<RECT> ShapeRectangles(SurfaceHandle& picture);
// The region of those rectangles, made in one go; an empty region when there are none.
HRGN RegionFromRectangles(const std::vector<RECT>& rectangles, int32_t width, int32_t height);
