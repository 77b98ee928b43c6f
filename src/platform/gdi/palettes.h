// Logical palettes. A palette selected into a DC names the colours of PALETTEINDEX
// values drawn there and of DIB_PAL_COLORS tables. The display is never a palette
// device: realising a palette maps nothing and the system palette cannot be read.
#pragma once

#include "platform/gdi/gdi_objects.h"

using HPALETTE = HGDIOBJ;

struct PALETTEENTRY {
    BYTE peRed;
    BYTE peGreen;
    BYTE peBlue;
    BYTE peFlags;
};

struct LOGPALETTE {
    WORD palVersion; // 0x300
    WORD palNumEntries;
    PALETTEENTRY palPalEntry[1];
};

inline constexpr COLORREF PALETTEINDEX(WORD index) {
    return 0x01000000u | index;
}
inline constexpr COLORREF PALETTERGB(BYTE red, BYTE green, BYTE blue) {
    return 0x02000000u | RGB(red, green, blue);
}

// 1 to 1024 entries, version 0x300.
HPALETTE CreatePalette(const LOGPALETTE* palette);
// The number of entries copied; GetPaletteEntries with null entries gives the count.
UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries);
UINT SetPaletteEntries(HPALETTE palette, UINT start, UINT count, const PALETTEENTRY* entries);
// The index of the entry nearest the colour (ties to the first one), CLR_INVALID for a
// dead palette.
UINT GetNearestPaletteIndex(HPALETTE palette, COLORREF color);
// The previous palette, 0 on failure.
HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL background);
// 0: nothing changes on a display without a palette.
UINT RealizePalette(HDC dc);
UINT GetSystemPaletteEntries(HDC dc, UINT start, UINT count, PALETTEENTRY* entries);
