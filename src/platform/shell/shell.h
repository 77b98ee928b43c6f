// The Windows shell, session and version-install calls the system services use.
#pragma once

#include "platform/kernel/win_types.h"
#include "platform/user/hwnd.h"
#include "platform/user/window_geometry.h"

inline constexpr UINT_PTR SE_ERR_NOASSOC = 31;

// Only the "open" verb (or none) of a document or URL: xdg-open is started with `file` as
// its one argument. Above 32 when it started; 2 (file not found) for an empty `file`,
// SE_ERR_NOASSOC for another verb or when xdg-open could not be started.
UINT_PTR ShellExecuteA(HWND window, LPCSTR operation, LPCSTR file, LPCSTR parameters,
                       LPCSTR directory, int show);

inline constexpr UINT EWX_LOGOFF = 0;
inline constexpr UINT EWX_SHUTDOWN = 1;
inline constexpr UINT EWX_REBOOT = 2;
inline constexpr UINT EWX_FORCE = 4;
inline constexpr UINT EWX_POWEROFF = 8;

// EWX_SHUTDOWN and EWX_POWEROFF: "systemctl poweroff"; EWX_REBOOT: "systemctl reboot";
// EWX_LOGOFF: "loginctl terminate-session $XDG_SESSION_ID". EWX_FORCE is ignored. TRUE
// when the program started.
BOOL ExitWindowsEx(UINT flags, DWORD reason);

inline constexpr DWORD VFFF_ISSHAREDFILE = 1;
inline constexpr DWORD VIF_CANNOTREADSRC = 0x00100000;
inline constexpr DWORD VIF_CANNOTCREATE = 0x00000800;
inline constexpr DWORD VIF_BUFFTOOSMALL = 0x00040000;

// The destination of a shared file is the system directory (GetSystemDirectoryA), and
// `currentDir` the same directory when the file is there already, else empty. 0, or
// VIF_BUFFTOOSMALL when a buffer is too small (each length is the buffer's size on entry
// and the length written, terminator included, on return).
DWORD VerFindFileA(DWORD flags, LPCSTR fileName, LPCSTR windowsDir, LPCSTR appDir, LPSTR currentDir,
                   UINT* currentDirLength, LPSTR destDir, UINT* destDirLength);
// Copies sourceDir\sourceName to destDir\destName, replacing the file there atomically (a
// new file, then a rename); ELF libraries have no version resource, so no version is
// compared. 0 on success, VIF_CANNOTREADSRC for a missing source, VIF_CANNOTCREATE when
// the copy failed. `tempFile` receives an empty text.
DWORD VerInstallFileA(DWORD flags, LPCSTR sourceName, LPCSTR destName, LPCSTR sourceDir,
                      LPCSTR destDir, LPCSTR currentDir, LPSTR tempFile, UINT* tempFileLength);
