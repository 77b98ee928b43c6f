// Files dragged from outside and dropped on a window. A window that accepts files
// (WS_EX_ACCEPTFILES, set by DragAcceptFiles) gets WM_DROPFILES with an HDROP in wParam:
// the dropped names (Windows-1252, any length, longer than MAX_PATH too) and the point
// of the drop in its client coordinates. The receiver reads them with DragQueryFileA and
// DragQueryPoint and frees the HDROP with DragFinish; whatever its window never freed
// goes when the window is destroyed.
#pragma once

#include "platform/user/hwnd.h"
#include "platform/kernel/win_types.h"
#include "platform/user/window_geometry.h"

// A checked 32-bit handle: a freed or unknown one is answered with 0/FALSE.
using HDROP = uint32_t;

inline constexpr UINT WM_DROPFILES = 0x0233;

// Sets or clears the window's WS_EX_ACCEPTFILES.
void DragAcceptFiles(HWND window, BOOL accept);
// index 0xFFFFFFFF: the number of names. Otherwise, without a buffer, the length of the
// name at `index` without its terminator; with one, at most size - 1 characters of it,
// always terminated, and the number of characters copied. 0 for a bad handle or index.
UINT DragQueryFileA(HDROP drop, UINT index, LPSTR buffer, UINT size);
// The drop point in the receiving window's client coordinates; TRUE when it lies in its
// client area.
BOOL DragQueryPoint(HDROP drop, POINT* point);
// Frees the drop; a freed or unknown handle is ignored.
void DragFinish(HDROP drop);

namespace platform {

// Frees the drops sent to a window that is going away. Internal to the platform layer.
void ForgetWindowDrops(HWND window);
// How many drops are held and not yet freed (tests).
size_t LiveDropCount();

} // namespace platform
