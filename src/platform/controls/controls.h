// The conventions every standard control keeps: the font it draws with, the colours its
// parent chooses through WM_CTLCOLOR*, and the dialog base units. The control classes
// ("BUTTON", "STATIC", "msctls_progress32", "msctls_trackbar32", "msctls_updown32") exist
// from the start, as Windows' do; their messages and styles are in button.h,
// static_text.h, progress_bar.h, trackbar.h and up_down.h.
#pragma once

#include "platform/gdi/text/text_out.h"
#include "platform/user/scroll/scroll_bar.h"
#include "platform/user/windows.h"

inline constexpr UINT WM_SETFONT = 0x0030;
inline constexpr UINT WM_GETFONT = 0x0031;
inline constexpr UINT WM_DRAWITEM = 0x002B;
inline constexpr UINT WM_CTLCOLORMSGBOX = 0x0132;
inline constexpr UINT WM_CTLCOLOREDIT = 0x0133;
inline constexpr UINT WM_CTLCOLORLISTBOX = 0x0134;
inline constexpr UINT WM_CTLCOLORBTN = 0x0135;
inline constexpr UINT WM_CTLCOLORDLG = 0x0136;
inline constexpr UINT WM_CTLCOLORSTATIC = 0x0138;

// WM_NOTIFY(id, NMHDR*): what the common controls tell their parent; the header opens a
// larger structure of the notification's own.
inline constexpr UINT WM_NOTIFY = 0x004E;
struct NMHDR {
    HWND hwndFrom;
    UINT_PTR idFrom;
    UINT code;
};

inline constexpr WPARAM MAKEWPARAM(int low, int high) {
    return static_cast<WPARAM>(static_cast<DWORD>(MAKELPARAM(low, high)));
}
inline constexpr LONG MAKELONG(int low, int high) {
    return static_cast<LONG>(static_cast<DWORD>(MAKELPARAM(low, high)));
}

// WM_DRAWITEM, sent to the parent of an owner-drawn control with wParam its id.
inline constexpr UINT ODT_BUTTON = 4;
inline constexpr UINT ODT_STATIC = 5;
inline constexpr UINT ODA_DRAWENTIRE = 0x0001;
inline constexpr UINT ODA_SELECT = 0x0002;
inline constexpr UINT ODA_FOCUS = 0x0004;
inline constexpr UINT ODS_SELECTED = 0x0001;
inline constexpr UINT ODS_GRAYED = 0x0002;
inline constexpr UINT ODS_DISABLED = 0x0004;
inline constexpr UINT ODS_CHECKED = 0x0008;
inline constexpr UINT ODS_FOCUS = 0x0010;

struct DRAWITEMSTRUCT {
    UINT CtlType;
    UINT CtlID;
    UINT itemID;
    UINT itemAction;
    UINT itemState;
    HWND hwndItem;
    HDC hDC;
    RECT rcItem;
    uintptr_t itemData;
};

// 8 across and 16 down (MAKELONG), the classic system font's average character.
LONG GetDialogBaseUnits();

namespace platform {

// DefWindowProcA's answer to WM_CTLCOLOR*: text in COLOR_WINDOWTEXT on COLOR_WINDOW for
// edits and list boxes, on COLOR_BTNFACE for the others (the scroll bar's track in
// COLOR_SCROLLBAR); the brush is the matching system colour brush.
HBRUSH DefaultControlColor(UINT message, HDC dc);

} // namespace platform
