// DefWindowProcA's non-client messages. Internal to the platform layer.
#pragma once

#include "platform/user/hwnd.h"

namespace platform {

// WM_NCPAINT: the frame, caption and scroll bars, through a window DC.
void DrawNonClient(HWND window);
// WM_NCACTIVATE: the caption drawn active or not.
bool SetCaptionActive(HWND window, bool active);

// WM_NCLBUTTONDOWN on the frame (`hit` its WM_NCHITTEST code, `point` on the screen):
// the caption moves the window, a sizing edge sizes it (WM_SIZING on each move), a
// caption button sends its WM_SYSCOMMAND when released on it. Anything else is ignored.
void BeginFrameTracking(HWND window, LRESULT hit, POINT point);
// The capture's messages while a press is tracked; false when they are not the frame's.
bool FrameTrackingMessage(HWND window, UINT message, LPARAM lParam);
// The caption button (HTCLOSE, HTMINBUTTON, HTMAXBUTTON) drawn pressed, or HTNOWHERE.
LRESULT PressedCaptionButton(HWND window);

} // namespace platform
