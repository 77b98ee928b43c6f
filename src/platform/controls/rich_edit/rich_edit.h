// "RichEdit20A": a multi-line field of formatted text. Paragraphs end in one '\r', which
// counts as one position; WM_GETTEXT gives "\r\n" for it. Text is held in runs of
// character formats (CHARFORMATA) and paragraphs aligned left, centred or right; it wraps
// at the window's width less its margins, unless ES_AUTOHSCROLL or WS_HSCROLL asks for lines
// that scroll sideways. Pictures and objects of RTF take one position each
// (rich_edit/rich_object.h). Keys, mouse selection, the clipboard and the scroll bars work as
// in our EDIT; selected text dragged past SM_CXDRAG x SM_CYDRAG is moved where it is let go
// (copied with Ctrl), in this or another rich edit of the process, as one change to undo. Beyond the EDIT's messages the control answers
// the EM_EX* selection and limit messages, character formats, search, text ranges,
// streaming text and RTF in and out, rendering into any DC (EM_FORMATRANGE), multi-level
// undo and redo, and detects URLs as links, telling the parent of mouse messages over a
// link through WM_NOTIFY (EN_LINK). The parent hears EN_CHANGE, EN_VSCROLL and EN_HSCROLL
// only when EM_SETEVENTMASK asked for them. It sends no WM_CTLCOLOR* message: its
// background is EM_SETBKGNDCOLOR's and its text colours the runs'.
#pragma once

#include "platform/controls/edit.h"
#include "platform/controls/rich_edit/rich_text.h"

inline constexpr char kRichEditClass[] = "RichEdit20A";

inline constexpr DWORD ES_SAVESEL = 0x8000;
inline constexpr DWORD ES_SUNKEN = 0x4000;
inline constexpr DWORD ES_DISABLENOSCROLL = 0x2000;

inline constexpr UINT EM_SETMARGINS = 0x00D3;
inline constexpr UINT EM_CANPASTE = 0x0432;
inline constexpr UINT EM_EXGETSEL = 0x0434;
inline constexpr UINT EM_EXLIMITTEXT = 0x0435;
inline constexpr UINT EM_EXLINEFROMCHAR = 0x0436;
inline constexpr UINT EM_EXSETSEL = 0x0437;
inline constexpr UINT EM_FINDTEXT = 0x0438;
inline constexpr UINT EM_FORMATRANGE = 0x0439;
inline constexpr UINT EM_GETCHARFORMAT = 0x043A;
inline constexpr UINT EM_GETEVENTMASK = 0x043B;
inline constexpr UINT EM_HIDESELECTION = 0x043F;
inline constexpr UINT EM_SELECTIONTYPE = 0x0442;
inline constexpr UINT EM_SETBKGNDCOLOR = 0x0443;
inline constexpr UINT EM_SETCHARFORMAT = 0x0444;
inline constexpr UINT EM_SETEVENTMASK = 0x0445;
inline constexpr UINT EM_STREAMIN = 0x0449;
inline constexpr UINT EM_STREAMOUT = 0x044A;
inline constexpr UINT EM_GETTEXTRANGE = 0x044B;
inline constexpr UINT EM_SETUNDOLIMIT = 0x0452;
inline constexpr UINT EM_REDO = 0x0454;
inline constexpr UINT EM_CANREDO = 0x0455;
inline constexpr UINT EM_SETTEXTMODE = 0x0459;
inline constexpr UINT EM_AUTOURLDETECT = 0x045B;

inline constexpr WPARAM EC_LEFTMARGIN = 1;
inline constexpr WPARAM EC_RIGHTMARGIN = 2;
inline constexpr WPARAM SCF_DEFAULT = 0;
inline constexpr WPARAM SCF_SELECTION = 1;
inline constexpr WPARAM SCF_ALL = 4;
inline constexpr LRESULT SEL_EMPTY = 0;
inline constexpr LRESULT SEL_TEXT = 1;
inline constexpr LRESULT SEL_MULTICHAR = 4;
inline constexpr WPARAM FR_DOWN = 1;
inline constexpr WPARAM FR_WHOLEWORD = 2;
inline constexpr WPARAM FR_MATCHCASE = 4;
inline constexpr WPARAM SF_TEXT = 1;
inline constexpr WPARAM SF_RTF = 2;
inline constexpr WPARAM SFF_SELECTION = 0x8000;
inline constexpr WPARAM TM_PLAINTEXT = 1;
inline constexpr WPARAM TM_RICHTEXT = 2;
inline constexpr WPARAM TM_SINGLELEVELUNDO = 4;
inline constexpr WPARAM TM_MULTILEVELUNDO = 8;
inline constexpr WPARAM TM_MULTICODEPAGE = 32;

inline constexpr DWORD ENM_CHANGE = 0x00000001;
inline constexpr DWORD ENM_SCROLL = 0x00000004;
inline constexpr DWORD ENM_LINK = 0x04000000;
inline constexpr WORD EN_LINK = 0x070B;

// The stream errors the control itself reports in dwError (a callback's own non-zero
// answer is kept as it gave it).
inline constexpr DWORD kStreamTooLong = 0x8007000E; // more than the text limit
inline constexpr DWORD kStreamStalled = 0x80004005; // the callback took no byte

struct CHARRANGE {
    LONG cpMin;
    LONG cpMax;
};

struct CHARFORMATA {
    UINT cbSize;
    DWORD dwMask;
    DWORD dwEffects;
    LONG yHeight;
    LONG yOffset;
    COLORREF crTextColor;
    BYTE bCharSet;
    BYTE bPitchAndFamily;
    char szFaceName[LF_FACESIZE];
};
static_assert(sizeof(CHARFORMATA) == 60);

struct FINDTEXTA {
    CHARRANGE chrg;
    LPCSTR lpstrText;
};

struct TEXTRANGEA {
    CHARRANGE chrg;
    LPSTR lpstrText;
};

using EDITSTREAMCALLBACK = DWORD (*)(DWORD_PTR cookie, BYTE* buffer, LONG count, LONG* done);

struct EDITSTREAM {
    DWORD_PTR dwCookie;
    DWORD dwError;
    EDITSTREAMCALLBACK pfnCallback;
};

// rc and rcPage in twips; chrg.cpMax -1 is the end of the text.
struct FORMATRANGE {
    HDC hdc;
    HDC hdcTarget;
    RECT rc;
    RECT rcPage;
    CHARRANGE chrg;
};

struct ENLINK {
    NMHDR nmhdr;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    CHARRANGE chrg;
};

namespace platform {

LRESULT RichEditProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace platform
