// DrawFocusRect: the dotted frame of the control that has the focus, drawn by inverting
// every other pixel of the rectangle's one-pixel border (GDI's grey pattern, aligned to
// the device), so that drawing it again takes it away.
#pragma once

#include "platform/gdi/gdi_objects.h"

// FALSE for a dead DC or a null rectangle; an empty rectangle draws nothing.
BOOL DrawFocusRect(HDC dc, const RECT* rect);
