// Inside the clipboard: CF_DIB and CF_BITMAP made from each other.
#pragma once

#include "platform/gdi/bitmaps/bitmaps.h"
#include "platform/kernel/win_types.h"

namespace platform {

// A DIB section holding the packed bitmap of global block `dib`, or 0.
HBITMAP BitmapFromPackedDib(HGLOBAL dib);
// A 32-bit packed bitmap of `bitmap` in a new global block, or 0.
HGLOBAL PackedDibFromBitmap(HBITMAP bitmap);

} // namespace platform
