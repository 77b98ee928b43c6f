// The mouse pointer: the system's cursor shapes, the cursor shown over the windows and
// the display count that hides it. The display back end shows what CurrentCursor
// (display_backend.h) answers.
//
// The cursor is process-wide: SetCursor changes it for every window until the next
// WM_SETCURSOR picks another (DefWindowProcA answers it with the class cursor over a
// client area and the arrow elsewhere).
#pragma once

#include <cstdint>

#include "platform/user/hwnd.h"
#include "platform/kernel/win_types.h"

// A resource named by a number instead of a text: the number in the pointer's value.
inline LPCSTR MAKEINTRESOURCEA(WORD id) {
    return reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(id));
}

// The system cursors LoadCursorA knows.
inline const LPCSTR IDC_ARROW = MAKEINTRESOURCEA(32512);
inline const LPCSTR IDC_IBEAM = MAKEINTRESOURCEA(32513);
inline const LPCSTR IDC_WAIT = MAKEINTRESOURCEA(32514);
inline const LPCSTR IDC_CROSS = MAKEINTRESOURCEA(32515);
inline const LPCSTR IDC_UPARROW = MAKEINTRESOURCEA(32516);
inline const LPCSTR IDC_SIZE = MAKEINTRESOURCEA(32640);
inline const LPCSTR IDC_ICON = MAKEINTRESOURCEA(32641);
inline const LPCSTR IDC_SIZENWSE = MAKEINTRESOURCEA(32642);
inline const LPCSTR IDC_SIZENESW = MAKEINTRESOURCEA(32643);
inline const LPCSTR IDC_SIZEWE = MAKEINTRESOURCEA(32644);
inline const LPCSTR IDC_SIZENS = MAKEINTRESOURCEA(32645);
inline const LPCSTR IDC_SIZEALL = MAKEINTRESOURCEA(32646);
inline const LPCSTR IDC_NO = MAKEINTRESOURCEA(32648);
inline const LPCSTR IDC_HAND = MAKEINTRESOURCEA(32649);
inline const LPCSTR IDC_APPSTARTING = MAKEINTRESOURCEA(32650);
inline const LPCSTR IDC_HELP = MAKEINTRESOURCEA(32651);

// The shared cursor of a system shape (instance 0, name an IDC_ value): the same handle
// every time. Anything else: 0 with ERROR_RESOURCE_NAME_NOT_FOUND.
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
// Shows `cursor` (0 hides the pointer; a system shape, or an image cursor or icon of
// gdi/icons.h) and returns the one shown before. An unknown handle is refused: 0 with
// ERROR_INVALID_CURSOR_HANDLE, nothing changed.
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
// Adds 1 (TRUE) or -1 to the display count, which starts at 0, and returns the new
// count; the pointer is shown while the count is 0 or more.
int ShowCursor(BOOL show);
// System cursors are shared and stay: TRUE and nothing happens; an image cursor goes
// as DestroyIcon makes it go. An unknown handle: FALSE with ERROR_INVALID_CURSOR_HANDLE.
BOOL DestroyCursor(HCURSOR cursor);

inline constexpr DWORD ERROR_INVALID_CURSOR_HANDLE = 1402;

// WM_NCHITTEST's answers on the sizing borders, for which WM_SETCURSOR's default handling
// shows the sizing cursors.
inline constexpr LRESULT HTLEFT = 10;
inline constexpr LRESULT HTRIGHT = 11;
inline constexpr LRESULT HTTOP = 12;
inline constexpr LRESULT HTTOPLEFT = 13;
inline constexpr LRESULT HTTOPRIGHT = 14;
inline constexpr LRESULT HTBOTTOM = 15;
inline constexpr LRESULT HTBOTTOMLEFT = 16;
inline constexpr LRESULT HTBOTTOMRIGHT = 17;

namespace platform {

// The IDC_ number of a cursor handle, 0 for none or an unknown handle.
uint32_t CursorShape(HCURSOR cursor);
// WM_SETCURSOR's default handling once the parents passed: over a client area (hit test
// HTCLIENT in lParam's low word) the class cursor of the window under the pointer
// (wParam), TRUE, or FALSE and nothing changed when its class has none; elsewhere the
// sizing cursor of a sizing border or the arrow, TRUE.
LRESULT DefaultSetCursor(HWND window, WPARAM wParam, LPARAM lParam);

} // namespace platform
