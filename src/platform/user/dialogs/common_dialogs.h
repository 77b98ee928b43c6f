// The common dialogs: choosing files, a colour, a font and a printer. As with the folder
// picker, what the user answers comes from a provider for each kind of dialog: the display
// back end installs the interactive ones, tests scripted ones (scripted_dialogs.h); a kind
// without a provider is cancelled at once. A cancel leaves the caller's structure as it was
// and CommDlgExtendedError at 0; a failure sets one of the CDERR_/FNERR_/PDERR_ codes.
//
// Texts are Windows-1252; paths are Windows paths. Hooks and templates are never used.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/screen_dc.h"
#include "platform/gdi/text/font_types.h"
#include "platform/kernel/win_types.h"
#include "platform/user/hwnd.h"

using LPOFNHOOKPROC = uintptr_t (*)(HWND, UINT, WPARAM, LPARAM);

struct OPENFILENAMEA {
    DWORD lStructSize;
    HWND hwndOwner;
    HINSTANCE hInstance;
    LPCSTR lpstrFilter; // pairs of description and pattern, each ending in a zero byte
    LPSTR lpstrCustomFilter;
    DWORD nMaxCustFilter;
    DWORD nFilterIndex; // from 1; 0 counts as 1
    LPSTR lpstrFile;    // in: the initial name; out: the choice
    DWORD nMaxFile;
    LPSTR lpstrFileTitle;
    DWORD nMaxFileTitle;
    LPCSTR lpstrInitialDir;
    LPCSTR lpstrTitle;
    DWORD Flags;
    WORD nFileOffset;
    WORD nFileExtension;
    LPCSTR lpstrDefExt;
    LPARAM lCustData;
    LPOFNHOOKPROC lpfnHook;
    LPCSTR lpTemplateName;
};

inline constexpr DWORD OFN_READONLY = 0x1;
inline constexpr DWORD OFN_OVERWRITEPROMPT = 0x2;
inline constexpr DWORD OFN_HIDEREADONLY = 0x4;
inline constexpr DWORD OFN_NOCHANGEDIR = 0x8;
inline constexpr DWORD OFN_ENABLEHOOK = 0x20;
inline constexpr DWORD OFN_ALLOWMULTISELECT = 0x200;
inline constexpr DWORD OFN_PATHMUSTEXIST = 0x800;
inline constexpr DWORD OFN_FILEMUSTEXIST = 0x1000;
inline constexpr DWORD OFN_CREATEPROMPT = 0x2000;
inline constexpr DWORD OFN_NONETWORKBUTTON = 0x20000;
inline constexpr DWORD OFN_EXPLORER = 0x80000;
inline constexpr DWORD OFN_NODEREFERENCELINKS = 0x100000;

using LPCCHOOKPROC = LPOFNHOOKPROC;

struct CHOOSECOLORA {
    DWORD lStructSize;
    HWND hwndOwner;
    HWND hInstance;
    COLORREF rgbResult;
    COLORREF* lpCustColors; // 16 colours, read and written back
    DWORD Flags;
    LPARAM lCustData;
    LPCCHOOKPROC lpfnHook;
    LPCSTR lpTemplateName;
};

inline constexpr DWORD CC_RGBINIT = 0x1;
inline constexpr DWORD CC_FULLOPEN = 0x2;

struct CHOOSEFONTA {
    DWORD lStructSize;
    HWND hwndOwner;
    HDC hDC;
    LOGFONTA* lpLogFont;
    INT iPointSize; // tenths of a point
    DWORD Flags;
    COLORREF rgbColors;
    LPARAM lCustData;
    LPCCHOOKPROC lpfnHook;
    LPCSTR lpTemplateName;
    HINSTANCE hInstance;
    LPSTR lpszStyle;
    WORD nFontType;
    WORD reserved;
    INT nSizeMin;
    INT nSizeMax;
};

inline constexpr DWORD CF_SCREENFONTS = 0x1;
inline constexpr DWORD CF_INITTOLOGFONTSTRUCT = 0x40;
inline constexpr DWORD CF_EFFECTS = 0x100;

// What the print dialogs pass to CreateDCA: the printer and its set-up.
struct DEVMODEA {
    CHAR dmDeviceName[32];
    WORD dmSize;
    DWORD dmFields;
    short dmOrientation;
    short dmPaperSize;
    short dmCopies;
};

inline constexpr DWORD DM_ORIENTATION = 0x1;
inline constexpr DWORD DM_PAPERSIZE = 0x2;
inline constexpr DWORD DM_COPIES = 0x100;
inline constexpr short DMORIENT_PORTRAIT = 1;
inline constexpr short DMORIENT_LANDSCAPE = 2;
inline constexpr short DMPAPER_LETTER = 1;
inline constexpr short DMPAPER_A4 = 9;

using LPPRINTHOOKPROC = LPOFNHOOKPROC;

struct PRINTDLGA {
    DWORD lStructSize;
    HWND hwndOwner;
    HGLOBAL hDevMode;
    HGLOBAL hDevNames;
    HDC hDC;
    DWORD Flags;
    WORD nFromPage;
    WORD nToPage;
    WORD nMinPage;
    WORD nMaxPage;
    WORD nCopies;
    HINSTANCE hInstance;
    LPARAM lCustData;
    LPPRINTHOOKPROC lpfnPrintHook;
    LPPRINTHOOKPROC lpfnSetupHook;
    LPCSTR lpPrintTemplateName;
    LPCSTR lpSetupTemplateName;
    HGLOBAL hPrintTemplate;
    HGLOBAL hSetupTemplate;
};

inline constexpr DWORD PD_ALLPAGES = 0x0;
inline constexpr DWORD PD_SELECTION = 0x1;
inline constexpr DWORD PD_PAGENUMS = 0x2;
inline constexpr DWORD PD_NOSELECTION = 0x4;
inline constexpr DWORD PD_NOPAGENUMS = 0x8;
inline constexpr DWORD PD_PRINTTOFILE = 0x20;
inline constexpr DWORD PD_PRINTSETUP = 0x40;
inline constexpr DWORD PD_NOWARNING = 0x80;
inline constexpr DWORD PD_RETURNDC = 0x100;
inline constexpr DWORD PD_DISABLEPRINTTOFILE = 0x80000;
inline constexpr DWORD PD_HIDEPRINTTOFILE = 0x100000;

inline constexpr DWORD CDERR_STRUCTSIZE = 0x0001;
inline constexpr DWORD CDERR_INITIALIZATION = 0x0002;
inline constexpr DWORD CDERR_MEMALLOCFAILURE = 0x0009;
inline constexpr DWORD PDERR_NODEFAULTPRN = 0x1008;
inline constexpr DWORD PDERR_PRINTERNOTFOUND = 0x100B;
inline constexpr DWORD PDERR_CREATEICFAILURE = 0x100A;
inline constexpr DWORD FNERR_BUFFERTOOSMALL = 0x3003;
inline constexpr DWORD FNERR_INVALIDFILENAME = 0x3002;

// TRUE with lpstrFile holding the choice: one full path, or with OFN_ALLOWMULTISELECT and
// several names the folder and each name, every one ending in a zero byte, then another
// zero. A choice that does not fit fails with FNERR_BUFFERTOOSMALL and the size needed
// in the first two bytes (when there are two). nFileOffset and nFileExtension point into
// the first path. Unless OFN_NOCHANGEDIR, the current directory becomes the chosen folder.
BOOL GetOpenFileNameA(OPENFILENAMEA* request);
BOOL GetSaveFileNameA(OPENFILENAMEA* request);
// TRUE with rgbResult and the custom colours as the user left them.
BOOL ChooseColorA(CHOOSECOLORA* request);
// TRUE with the LOGFONT, iPointSize and (CF_EFFECTS) rgbColors chosen.
BOOL ChooseFontA(CHOOSEFONTA* request);
// TRUE with the pages, copies and flags chosen and, with PD_RETURNDC, hDC a printer DC
// for the chosen printer and set-up (the caller deletes it). hDevMode and hDevNames stay 0.
BOOL PrintDlgA(PRINTDLGA* request);
// The failure of the calling thread's last common dialog, 0 after a success or cancel.
DWORD CommDlgExtendedError();

namespace platform {

// A file dialog as its provider sees it.
struct FileDialogRequest {
    HWND owner = 0;
    bool save = false;
    std::string title;
    // Description and pattern ("*.bmp;*.dib") of each filter.
    std::vector<std::pair<std::string, std::string>> filters;
    DWORD filterIndex = 1;
    std::string initialName;
    std::string initialFolder;
    std::string defaultExtension;
    DWORD flags = 0;
};

struct FileDialogAnswer {
    // The folder and the names chosen in it (one unless multi-selection).
    std::string folder;
    std::vector<std::string> names;
    DWORD filterIndex = 1;
};

struct ColorDialogRequest {
    HWND owner = 0;
    COLORREF initial = 0;
    COLORREF custom[16] = {};
    DWORD flags = 0;
};

struct ColorDialogAnswer {
    COLORREF color = 0;
    COLORREF custom[16] = {};
};

struct FontDialogRequest {
    HWND owner = 0;
    LOGFONTA initial{};
    COLORREF color = 0;
    DWORD flags = 0;
};

struct FontDialogAnswer {
    LOGFONTA font{};
    INT pointSize = 0; // tenths of a point
    COLORREF color = 0;
};

struct PrintDialogRequest {
    HWND owner = 0;
    DWORD flags = 0;
    WORD fromPage = 0;
    WORD toPage = 0;
    WORD minPage = 1;
    WORD maxPage = 1;
    WORD copies = 1;
    std::vector<std::string> printers; // the default one first
};

struct PrintDialogAnswer {
    std::string printer;
    DWORD range = PD_ALLPAGES; // PD_ALLPAGES, PD_SELECTION or PD_PAGENUMS
    WORD fromPage = 0;
    WORD toPage = 0;
    WORD copies = 1;
    bool toFile = false;
    short paper = 0; // 0: the printer's default
    short orientation = DMORIENT_PORTRAIT;
};

class CommonDialogProvider {
public:
    virtual ~CommonDialogProvider() = default;
    // Each returns true with the answer when the user confirmed.
    virtual bool ChooseFile(const FileDialogRequest& request, FileDialogAnswer& answer) = 0;
    virtual bool ChooseColor(const ColorDialogRequest& request, ColorDialogAnswer& answer) = 0;
    virtual bool ChooseFont(const FontDialogRequest& request, FontDialogAnswer& answer) = 0;
    virtual bool ChoosePrinter(const PrintDialogRequest& request, PrintDialogAnswer& answer) = 0;
};

// Null removes the provider: every dialog is then cancelled.
void SetCommonDialogProvider(std::shared_ptr<CommonDialogProvider> provider);

// The filters of an OPENFILENAMEA filter text: pairs of zero-ended texts up to an empty
// one. A description without its pattern is dropped; nothing is read past `limit` bytes.
std::vector<std::pair<std::string, std::string>> SplitFilterText(const char* filter, size_t limit);

} // namespace platform
