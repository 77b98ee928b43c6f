// The system caret: one for the process, made by the window with the focus. It shows as an
// inverted rectangle in that window's client area and blinks by a timer of the window, so
// it blinks while the application pumps its messages. A window that paints over the caret
// hides it first and shows it again after (the edit does so around WM_PAINT). The caret is
// solid whatever bitmap CreateCaret is given.
#pragma once

#include "platform/gdi/bitmaps/bitmaps.h"
#include "platform/kernel/win_types.h"
#include "platform/user/hwnd.h"
#include "platform/user/window_geometry.h"

// GetCaretBlinkTime's answer before SetCaretBlinkTime; INFINITE stops the blinking.
inline constexpr UINT kDefaultCaretBlinkTime = 530;

// A width or height of 0 takes the window border's. The new caret is hidden, at (0, 0);
// a caret made before, by any window, goes.
BOOL CreateCaret(HWND window, HBITMAP bitmap, int width, int height);
BOOL DestroyCaret();
// Hiding counts: each HideCaret needs a ShowCaret. Window 0 names the caret's own window;
// another window than the caret's fails.
BOOL ShowCaret(HWND window);
BOOL HideCaret(HWND window);
// Client coordinates of the caret's window. Moving a shown caret shows it at once and
// starts its blinking again.
BOOL SetCaretPos(int x, int y);
BOOL GetCaretPos(POINT* point);
BOOL SetCaretBlinkTime(UINT milliseconds);
UINT GetCaretBlinkTime();
