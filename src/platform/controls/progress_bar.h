// "msctls_progress32": a bar filled in proportion to a position within a range, in
// blocks or (PBS_SMOOTH) as one piece, from the left or (PBS_VERTICAL) from the bottom.
// The position always lies within the range; PBM_STEPIT past the maximum starts again
// from the minimum. A progress bar never takes the focus and notifies nobody.
#pragma once

#include "platform/controls/controls.h"

inline constexpr DWORD PBS_SMOOTH = 0x01;
inline constexpr DWORD PBS_VERTICAL = 0x04;

// PBM_SETRANGE: lParam's words are the minimum and maximum (0 to 65535); the old range
// comes back the same way. PBM_SETPOS, PBM_DELTAPOS, PBM_STEPIT answer the old position,
// PBM_SETSTEP the old step (10 at first). PBM_GETRANGE answers the minimum (wParam TRUE)
// or the maximum and fills a PBRANGE when lParam gives one.
inline constexpr UINT PBM_SETRANGE = WM_USER + 1;
inline constexpr UINT PBM_SETPOS = WM_USER + 2;
inline constexpr UINT PBM_DELTAPOS = WM_USER + 3;
inline constexpr UINT PBM_SETSTEP = WM_USER + 4;
inline constexpr UINT PBM_STEPIT = WM_USER + 5;
inline constexpr UINT PBM_SETRANGE32 = WM_USER + 6;
inline constexpr UINT PBM_GETRANGE = WM_USER + 7;
inline constexpr UINT PBM_GETPOS = WM_USER + 8;

struct PBRANGE {
    int iLow;
    int iHigh;
};

namespace platform {

LRESULT ProgressProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace platform
