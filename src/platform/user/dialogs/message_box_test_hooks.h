// Hooks for tests of the message box window: showing boxes as windows on a display
// nobody sees (the headless one), and finding their parts to click. Recording boxes
// (test_hooks.h) still wins over both.
#pragma once

#include <functional>

#include "platform/user/dialogs/message_box.h"
#include "platform/user/window_geometry.h"

namespace platform::test {

// While set, boxes are shown as windows whatever the display; a preset answer
// (SetMessageBoxAnswer) is then left to the boxes that are not.
void ShowMessageBoxesAsWindows(bool show);
// Called on the box's thread with its window once it is shown and painted, before its
// loop takes a message: the place to inject what the user does. An empty hook removes it.
void SetMessageBoxShownHook(std::function<void(HWND)> hook);

// For a box that is up, on its thread: where its button answering `id` lies, and the
// rectangle its text takes, in its client coordinates; false when it has none.
bool MessageBoxButtonRect(HWND box, int id, RECT& rect);
bool MessageBoxTextRect(HWND box, RECT& rect);
// The answer of the button with the focus; 0 for a window that is no box.
int MessageBoxFocusedButton(HWND box);

} // namespace platform::test
