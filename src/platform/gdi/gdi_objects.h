// Brushes, regions and system colours: the drawing objects painting needs before the
// drawing calls themselves arrive. Every object is a handle of the kernel table, so a
// deleted or foreign handle is refused, never mistaken for another object. Stock objects
// and system-colour brushes live for the whole process; DeleteObject leaves them alone.
#pragma once

#include "platform/gdi/screen_dc.h"
#include "platform/kernel/win_types.h"
#include "platform/user/hwnd.h"
#include "platform/user/window_geometry.h"

using HGDIOBJ = uint32_t;
using HRGN = uint32_t;
using HPEN = uint32_t;
using HFONT = uint32_t;

// Stock objects.
inline constexpr int WHITE_BRUSH = 0;
inline constexpr int LTGRAY_BRUSH = 1;
inline constexpr int GRAY_BRUSH = 2;
inline constexpr int DKGRAY_BRUSH = 3;
inline constexpr int BLACK_BRUSH = 4;
inline constexpr int NULL_BRUSH = 5;
inline constexpr int HOLLOW_BRUSH = NULL_BRUSH;
inline constexpr int WHITE_PEN = 6;
inline constexpr int BLACK_PEN = 7;
inline constexpr int NULL_PEN = 8;
inline constexpr int OEM_FIXED_FONT = 10;
inline constexpr int ANSI_FIXED_FONT = 11;
inline constexpr int ANSI_VAR_FONT = 12;
inline constexpr int SYSTEM_FONT = 13;
inline constexpr int DEVICE_DEFAULT_FONT = 14;
inline constexpr int DEFAULT_PALETTE = 15;
inline constexpr int SYSTEM_FIXED_FONT = 16;
inline constexpr int DEFAULT_GUI_FONT = 17;

// Pen styles.
inline constexpr int PS_SOLID = 0;
inline constexpr int PS_NULL = 5;
inline constexpr int PS_INSIDEFRAME = 6;

// GetObjectType's answers.
inline constexpr DWORD OBJ_PEN = 1;
inline constexpr DWORD OBJ_BRUSH = 2;
inline constexpr DWORD OBJ_DC = 3;
inline constexpr DWORD OBJ_PAL = 5;
inline constexpr DWORD OBJ_FONT = 6;
inline constexpr DWORD OBJ_BITMAP = 7;
inline constexpr DWORD OBJ_REGION = 8;
inline constexpr DWORD OBJ_MEMDC = 10;

inline constexpr UINT BS_SOLID = 0;
inline constexpr UINT BS_NULL = 1;

struct LOGPEN {
    UINT lopnStyle;
    POINT lopnWidth; // x is the width
    COLORREF lopnColor;
};

struct LOGBRUSH {
    UINT lbStyle;
    COLORREF lbColor;
    UINT_PTR lbHatch;
};

inline constexpr DWORD RDH_RECTANGLES = 1;

struct RGNDATAHEADER {
    DWORD dwSize; // 32
    DWORD iType;  // RDH_RECTANGLES
    DWORD nCount;
    DWORD nRgnSize;
    RECT rcBound;
};

// The header, then nCount RECTs.
struct RGNDATA {
    RGNDATAHEADER rdh;
    char Buffer[1];
};

struct XFORM;

// System colours (a class brush may also be one of these plus one).
inline constexpr int COLOR_SCROLLBAR = 0;
inline constexpr int COLOR_BACKGROUND = 1;
inline constexpr int COLOR_ACTIVECAPTION = 2;
inline constexpr int COLOR_INACTIVECAPTION = 3;
inline constexpr int COLOR_MENU = 4;
inline constexpr int COLOR_WINDOW = 5;
inline constexpr int COLOR_WINDOWFRAME = 6;
inline constexpr int COLOR_MENUTEXT = 7;
inline constexpr int COLOR_WINDOWTEXT = 8;
inline constexpr int COLOR_CAPTIONTEXT = 9;
inline constexpr int COLOR_ACTIVEBORDER = 10;
inline constexpr int COLOR_INACTIVEBORDER = 11;
inline constexpr int COLOR_APPWORKSPACE = 12;
inline constexpr int COLOR_HIGHLIGHT = 13;
inline constexpr int COLOR_HIGHLIGHTTEXT = 14;
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int COLOR_BTNSHADOW = 16;
inline constexpr int COLOR_GRAYTEXT = 17;
inline constexpr int COLOR_BTNTEXT = 18;
inline constexpr int COLOR_INACTIVECAPTIONTEXT = 19;
inline constexpr int COLOR_BTNHIGHLIGHT = 20;
inline constexpr int COLOR_3DDKSHADOW = 21;
inline constexpr int COLOR_3DLIGHT = 22;
inline constexpr int COLOR_INFOTEXT = 23;
inline constexpr int COLOR_INFOBK = 24;
inline constexpr int COLOR_HOTLIGHT = 26;
inline constexpr int COLOR_GRADIENTACTIVECAPTION = 27;
inline constexpr int COLOR_GRADIENTINACTIVECAPTION = 28;
inline constexpr int COLOR_MENUHILIGHT = 29;
inline constexpr int COLOR_MENUBAR = 30;

// Region kinds, as CombineRgn, GetRgnBox and GetClipBox answer.
inline constexpr int ERROR = 0;
inline constexpr int NULLREGION = 1;
inline constexpr int SIMPLEREGION = 2;
inline constexpr int COMPLEXREGION = 3;

inline constexpr int RGN_AND = 1;
inline constexpr int RGN_OR = 2;
inline constexpr int RGN_XOR = 3;
inline constexpr int RGN_DIFF = 4;
inline constexpr int RGN_COPY = 5;

HBRUSH CreateSolidBrush(COLORREF color);
// PS_SOLID, PS_NULL or PS_INSIDEFRAME; a width below 1 is 1.
HPEN CreatePen(int style, int width, COLORREF color);
// 0 for an index it does not know. The fonts are logical records the text module draws.
HGDIOBJ GetStockObject(int index);
// LOGPEN, LOGBRUSH, LOGFONTA, a palette's WORD entry count, BITMAP or DIBSECTION: the
// bytes written (at most `size`), or with a null buffer the size needed; 0 for a dead
// handle.
int GetObjectA(HGDIOBJ object, int size, void* buffer);
// OBJ_ kind, 0 for a dead handle.
DWORD GetObjectType(HGDIOBJ object);
// FALSE for a handle that names no drawing object; TRUE, and nothing done, for a stock
// object or a system-colour brush.
BOOL DeleteObject(HGDIOBJ object);
// The classic default colours; 0 for an unknown index.
DWORD GetSysColor(int index);
// 0 for an unknown index.
HBRUSH GetSysColorBrush(int index);

// Regions in whatever coordinates their user gives them.
HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* rect);
// Writes into an existing region `destination` (which may be one of the sources).
int CombineRgn(HRGN destination, HRGN source1, HRGN source2, int mode);
BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom);
int OffsetRgn(HRGN region, int dx, int dy);
int GetRgnBox(HRGN region, RECT* rect);
BOOL PtInRegion(HRGN region, int x, int y);
BOOL EqualRgn(HRGN a, HRGN b);
// A region from RDH_RECTANGLES data: the OR of its rectangles. 0 when the header or the
// count does not fit `size` bytes. Transforms are refused.
HRGN ExtCreateRegion(const XFORM* transform, DWORD size, const RGNDATA* data);

namespace platform {

class Region;

// The colour of a brush handle, or of a system colour given as index + 1 (how class
// brushes name them); false for the null brush and anything else.
bool BrushColor(HBRUSH brush, COLORREF& color);
// A copy of a region's pixels; false for a handle that names no region.
bool RegionOf(HRGN region, Region& out);

} // namespace platform

namespace platform::test {

// GDI objects and DCs alive now, stock objects left out: a group of tests that gives
// back all it made leaves it where it found it.
long LiveGdiObjects();

} // namespace platform::test
