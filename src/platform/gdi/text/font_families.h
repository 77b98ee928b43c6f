// Listing the installed font families, as the font dialog and scripts see them.
#pragma once

#include "platform/gdi/screen_dc.h"
#include "platform/gdi/text/font_types.h"
#include "platform/user/hwnd.h"

inline constexpr DWORD TRUETYPE_FONTTYPE = 4;

using FONTENUMPROCA = int (*)(const LOGFONTA* font, const TEXTMETRICA* metrics, DWORD fontType,
                              LPARAM data);

// One report per family covering Windows-1252 (ANSI_CHARSET or DEFAULT_CHARSET asked),
// sorted by name without regard to case; with a face name, only that family's. Each report
// carries the family's regular face at a cell of 16 pixels. The callback's last answer is
// returned (0 stops the enumeration); 1 when nothing was reported.
int EnumFontFamiliesExA(HDC dc, const LOGFONTA* font, FONTENUMPROCA callback, LPARAM data,
                        DWORD flags);
