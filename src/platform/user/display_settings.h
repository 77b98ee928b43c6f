// The display's modes: which ones it offers and switching between them, with Windows'
// record and codes. The modes are those of the display back end, the desktop's first; a
// switch makes GetSystemMetrics and GetDeviceCaps report the new size and depth.
#pragma once

#include <cstddef>

#include "platform/kernel/win_types.h"
#include "platform/user/window_geometry.h"

inline constexpr int CCHDEVICENAME = 32;
inline constexpr int CCHFORMNAME = 32;

// The display-settings record, laid out as Windows lays it out (156 bytes); callers set
// dmSize to that before passing it.
struct DEVMODEA {
    BYTE dmDeviceName[CCHDEVICENAME];
    WORD dmSpecVersion;
    WORD dmDriverVersion;
    WORD dmSize;
    WORD dmDriverExtra;
    DWORD dmFields;
    // The printer's orientation and paper fields share these 16 bytes with the display's.
    POINT dmPosition;
    DWORD dmDisplayOrientation;
    DWORD dmDisplayFixedOutput;
    short dmColor;
    short dmDuplex;
    short dmYResolution;
    short dmTTOption;
    short dmCollate;
    BYTE dmFormName[CCHFORMNAME];
    WORD dmLogPixels;
    DWORD dmBitsPerPel;
    DWORD dmPelsWidth;
    DWORD dmPelsHeight;
    DWORD dmDisplayFlags;
    DWORD dmDisplayFrequency;
    DWORD dmICMMethod;
    DWORD dmICMIntent;
    DWORD dmMediaType;
    DWORD dmDitherType;
    DWORD dmReserved1;
    DWORD dmReserved2;
    DWORD dmPanningWidth;
    DWORD dmPanningHeight;
};
static_assert(sizeof(DEVMODEA) == 156);
static_assert(offsetof(DEVMODEA, dmBitsPerPel) == 104);
static_assert(offsetof(DEVMODEA, dmDisplayFrequency) == 120);

inline constexpr WORD DM_SPECVERSION = 0x0401;

// dmFields: which of the fields a record carries.
inline constexpr DWORD DM_BITSPERPEL = 0x00040000;
inline constexpr DWORD DM_PELSWIDTH = 0x00080000;
inline constexpr DWORD DM_PELSHEIGHT = 0x00100000;
inline constexpr DWORD DM_DISPLAYFREQUENCY = 0x00400000;

// EnumDisplaySettingsA's special indexes.
inline constexpr DWORD ENUM_CURRENT_SETTINGS = static_cast<DWORD>(-1);
inline constexpr DWORD ENUM_REGISTRY_SETTINGS = static_cast<DWORD>(-2);

// ChangeDisplaySettingsA's results.
inline constexpr LONG DISP_CHANGE_SUCCESSFUL = 0;
inline constexpr LONG DISP_CHANGE_RESTART = 1;
inline constexpr LONG DISP_CHANGE_FAILED = -1;
inline constexpr LONG DISP_CHANGE_BADMODE = -2;
inline constexpr LONG DISP_CHANGE_BADFLAGS = -5;
inline constexpr LONG DISP_CHANGE_BADPARAM = -6;

// ChangeDisplaySettingsA's flags.
inline constexpr DWORD CDS_UPDATEREGISTRY = 0x00000001;
inline constexpr DWORD CDS_TEST = 0x00000002;
inline constexpr DWORD CDS_FULLSCREEN = 0x00000004;

// Fills `mode` (whose dmSize must cover the fields up to dmDisplayFrequency; no more than
// dmSize bytes are written) with the display's mode `index` (0 the desktop's, then the
// others), the current one (ENUM_CURRENT_SETTINGS) or the desktop's
// (ENUM_REGISTRY_SETTINGS). Only the null device, the display, is known. FALSE past the
// last mode, and with ERROR_INVALID_PARAMETER for a bad device, record or size.
BOOL EnumDisplaySettingsA(LPCSTR device, DWORD index, DEVMODEA* mode);

// A null mode goes back to the desktop's. Otherwise the display switches to the offered
// mode whose width, height, depth and frequency equal those dmFields names; what it
// does not name is kept as it is now (the frequency: any). CDS_TEST only says whether
// the switch would succeed. DISP_CHANGE_BADMODE when no mode matches,
// DISP_CHANGE_BADPARAM for a record too short, DISP_CHANGE_BADFLAGS for flags beyond
// those above, DISP_CHANGE_FAILED when the display refuses.
LONG ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags);

namespace platform {

// The refresh rate of the display's current mode, in Hz.
int CurrentDisplayFrequency();

} // namespace platform
