// "MCIWndClass": a window that plays a movie. Its timer draws the frame of the played
// position, stretched over the client area (less the play bar); while the movie plays
// forwards its sound track goes to a media voice, and the position follows the frames that
// voice has played (the clock when there is no sound, or once the track has ended).
// Reverse play is driven by the clock, each frame reached by a seek to the key frame before
// it. Without MCIWNDF_NOPLAYBAR a play bar runs along the bottom: a play/pause button and a
// trackbar of the position in frames, which seeks when moved.
//
// Commands come as messages: MCI_PLAY, MCI_STOP, MCI_PAUSE, MCI_RESUME, MCI_CLOSE and
// MCI_SEEK (lParam a position in the time format, or MCIWND_START / MCIWND_END) answer an
// MCI error (0 on success), as do MCIWNDM_OPENA (lParam the file's Windows name),
// MCIWNDM_PLAYREVERSE and MCIWNDM_SETTIMEFORMATA (lParam "ms" or "frames"). Like MCI's seek,
// a seek stops the movie. Playing from the end starts at the beginning; playing backwards
// from the beginning starts at the end.
#pragma once

#include "platform/kernel/win_types.h"
#include "platform/user/hwnd.h"
#include "platform/user/windows.h"

inline constexpr DWORD MCIWNDF_NOAUTOSIZEWINDOW = 0x0001;
inline constexpr DWORD MCIWNDF_NOPLAYBAR = 0x0002;
inline constexpr DWORD MCIWNDF_NOAUTOSIZEMOVIE = 0x0004;
inline constexpr DWORD MCIWNDF_NOMENU = 0x0008;
inline constexpr DWORD MCIWNDF_NOERRORDLG = 0x4000;

inline constexpr LPARAM MCIWND_START = -1;
inline constexpr LPARAM MCIWND_END = -2;

// Text answers (GETPOSITIONA, GETMODEA, GETTIMEFORMATA, GETERRORA) fill the buffer in
// lParam, wParam bytes long, when one is given; the result is the number (position, mode,
// time format, error).
inline constexpr UINT MCIWNDM_GETPOSITIONA = WM_USER + 102;
inline constexpr UINT MCIWNDM_GETSTART = WM_USER + 103;
inline constexpr UINT MCIWNDM_GETLENGTH = WM_USER + 104;
inline constexpr UINT MCIWNDM_GETEND = WM_USER + 105;
inline constexpr UINT MCIWNDM_GETMODEA = WM_USER + 106;
// lParam the zoom in percent, 1 and more; the window takes the movie's size at that zoom
// unless MCIWNDF_NOAUTOSIZEWINDOW.
inline constexpr UINT MCIWNDM_SETZOOM = WM_USER + 108;
inline constexpr UINT MCIWNDM_GETZOOM = WM_USER + 109;
inline constexpr UINT MCIWNDM_SETTIMEFORMATA = WM_USER + 119;
inline constexpr UINT MCIWNDM_GETTIMEFORMATA = WM_USER + 120;
// wParam a palette; frames are drawn in true colour, so it is taken and changes nothing.
inline constexpr UINT MCIWNDM_SETPALETTE = WM_USER + 126;
inline constexpr UINT MCIWNDM_GETERRORA = WM_USER + 128;
inline constexpr UINT MCIWNDM_PLAYREVERSE = WM_USER + 139;
inline constexpr UINT MCIWNDM_OPENA = WM_USER + 153;

// The play bar's height, and the ids of its button and trackbar.
inline constexpr int MCIWND_PLAYBAR_HEIGHT = 24;
inline constexpr int MCIWND_PLAYBAR_BUTTON = 1;
inline constexpr int MCIWND_PLAYBAR_TRACKBAR = 2;

// Makes a window of the class (registering it the first time) with `style`, a child of
// `parent` when the style has WS_CHILD, and opens `file` when given. A file that cannot be
// played leaves the window without a movie, its error kept (MCIWNDM_GETERRORA). The window
// takes the movie's size (and the play bar's) unless MCIWNDF_NOAUTOSIZEWINDOW. 0 when the
// window cannot be made.
HWND MCIWndCreateA(HWND parent, HINSTANCE instance, DWORD style, LPCSTR file);
