// DefWindowProcA's non-client messages. Internal to the platform layer.
#pragma once

#include "platform/user/hwnd.h"

namespace platform {

// WM_NCPAINT: the frame, caption and scroll bars, through a window DC.
void DrawNonClient(HWND window);
// WM_NCACTIVATE: the caption drawn active or not.
bool SetCaptionActive(HWND window, bool active);

} // namespace platform
