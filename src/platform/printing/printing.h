// Printers and printer DCs. The printers are our own "PDF" printer, always there, and with
// ZORV_PRINTER=file:<folder> a printer writing each document to a new numbered PDF in that
// folder without asking. The default printer is ZORV_PRINTER's ("none": no default at
// all), else "PDF"; GetProfileStringA("windows", "device") names it as "name,driver,port".
//
// A printer DC draws into a PDF page at 300 dots an inch: fills and shapes as filled
// areas, text as text in the font's own face, pictures as images. What would read the page
// back (GetPixel, raster operations other than copies and fills) fails with
// ERROR_NOT_SUPPORTED. The document is kept in memory until EndDoc writes it (a new file,
// then renamed over the name); AbortDoc and DeleteDC during a document discard it.
#pragma once

#include <string>
#include <vector>

#include "platform/gdi/screen_dc.h"
#include "platform/kernel/win_types.h"
#include "platform/user/dialogs/common_dialogs.h"

struct DOCINFOA {
    int cbSize;
    LPCSTR lpszDocName;
    LPCSTR lpszOutput; // a file (Windows path) to write, null for the printer's choice
    LPCSTR lpszDatatype;
    DWORD fwType;
};

inline constexpr int PHYSICALWIDTH = 110;
inline constexpr int PHYSICALHEIGHT = 111;
inline constexpr int PHYSICALOFFSETX = 112;
inline constexpr int PHYSICALOFFSETY = 113;
inline constexpr int DT_RASPRINTER = 2;
inline constexpr int GETPHYSPAGESIZE = 12;
inline constexpr int SP_ERROR = -1;
inline constexpr DWORD ERROR_CANCELLED = 1223;
inline constexpr DWORD ERROR_INVALID_PRINTER_NAME = 1801;

// A DC for the printer named `device` (null: the default printer) with the set-up's paper
// and orientation (A4, or Letter where LC_PAPER says so, portrait when not given). The port
// "FILE:" makes a printer that asks for a file at StartDocA. 0 with ERROR_INVALID_PRINTER_NAME
// for a printer that does not exist. The driver is not looked at.
HDC CreateDCA(LPCSTR driver, LPCSTR device, LPCSTR port, const DEVMODEA* setup);
// A job number above 0, or SP_ERROR: no printer DC, a document already open, or the file
// question cancelled (ERROR_CANCELLED). A printer writing files asks for the file with the
// save dialog unless lpszOutput names one.
int StartDocA(HDC dc, const DOCINFOA* info);
// Pages open and close inside a document; drawing outside a page draws nothing.
int StartPage(HDC dc);
int EndPage(HDC dc);
// Writes the document; above 0 when it was written.
int EndDoc(HDC dc);
int AbortDoc(HDC dc);
// GETPHYSPAGESIZE writes the page's size in dots as a POINT to `out`; 1 when done, 0 for an
// escape it does not know.
int Escape(HDC dc, int escape, int inCount, LPCSTR in, LPVOID out);

// WIN.INI's entries (the Windows directory's win.ini), except "device" of "windows": the
// default printer. As GetPrivateProfileStringA otherwise.
DWORD GetProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR returned,
                        DWORD size);

namespace platform {

// The printers' names, the default one first; empty when there is none.
std::vector<std::string> PrinterNames();
// The default printer's name, "" when there is none.
std::string DefaultPrinterName();

} // namespace platform
