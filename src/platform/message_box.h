// Message boxes. There is no screen yet: a box is written as "caption: text" (UTF-8) to
// standard error and answered at once with its first button. Tests record the boxes and
// choose the answers instead (test_hooks.h).
#pragma once

#include "platform/hwnd.h"
#include "platform/win_types.h"

inline constexpr UINT MB_OK = 0x00;
inline constexpr UINT MB_OKCANCEL = 0x01;
inline constexpr UINT MB_ABORTRETRYIGNORE = 0x02;
inline constexpr UINT MB_YESNOCANCEL = 0x03;
inline constexpr UINT MB_YESNO = 0x04;
inline constexpr UINT MB_RETRYCANCEL = 0x05;
inline constexpr UINT MB_CANCELTRYCONTINUE = 0x06;
inline constexpr UINT MB_TYPEMASK = 0x0F;
inline constexpr UINT MB_ICONERROR = 0x10;
inline constexpr UINT MB_ICONQUESTION = 0x20;
inline constexpr UINT MB_ICONWARNING = 0x30;
inline constexpr UINT MB_ICONINFORMATION = 0x40;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;
inline constexpr int IDTRYAGAIN = 10;
inline constexpr int IDCONTINUE = 11;

// Texts are Windows-1252; a null text is empty, a null caption "Error". Returns the
// button chosen, or 0 with ERROR_INVALID_MSGBOX_STYLE for a button set it does not know.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
