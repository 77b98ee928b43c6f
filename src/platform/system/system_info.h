// The system version and the display metrics the player asks about. The system reports
// itself as Windows XP Service Pack 3 (NT 5.1, build 2600) and the display as a classic
// 96-dpi screen whose size and depth come from the virtual display.
//
// The virtual display is 1024 x 768 at 32 bits per pixel unless the environment variable
// ZORV_SCREEN ("WxHxBPP", or "WxH" for 32 bits) says otherwise; it is read once, at the
// first question. The display back end sets the real size through SetVirtualDisplay.
#pragma once

#include "platform/kernel/win_types.h"

inline constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
inline constexpr DWORD VER_PLATFORM_WIN32_NT = 2;

struct OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    CHAR szCSDVersion[128];
};

// Fails with ERROR_INVALID_PARAMETER unless dwOSVersionInfoSize is sizeof(OSVERSIONINFOA).
BOOL GetVersionExA(OSVERSIONINFOA* versionInfo);
// Major version in the low byte, minor in the next, build in the high word; bit 31 clear
// on the NT family.
DWORD GetVersion();

inline constexpr int SM_CXSCREEN = 0;
inline constexpr int SM_CYSCREEN = 1;
inline constexpr int SM_CXVSCROLL = 2;
inline constexpr int SM_CYHSCROLL = 3;
inline constexpr int SM_CYCAPTION = 4;
inline constexpr int SM_CXBORDER = 5;
inline constexpr int SM_CYBORDER = 6;
inline constexpr int SM_CXDLGFRAME = 7;
inline constexpr int SM_CYDLGFRAME = 8;
inline constexpr int SM_CXICON = 11;
inline constexpr int SM_CYICON = 12;
inline constexpr int SM_CXCURSOR = 13;
inline constexpr int SM_CYCURSOR = 14;
inline constexpr int SM_CYMENU = 15;
inline constexpr int SM_CXFULLSCREEN = 16;
inline constexpr int SM_CYFULLSCREEN = 17;
inline constexpr int SM_CYVSCROLL = 20;
inline constexpr int SM_CXHSCROLL = 21;
inline constexpr int SM_CXMIN = 28;
inline constexpr int SM_CYMIN = 29;
inline constexpr int SM_CXFRAME = 32;
inline constexpr int SM_CYFRAME = 33;
inline constexpr int SM_CXDOUBLECLK = 36;
inline constexpr int SM_CYDOUBLECLK = 37;
inline constexpr int SM_CXEDGE = 45;
inline constexpr int SM_CYEDGE = 46;
inline constexpr int SM_CXSMICON = 49;
inline constexpr int SM_CYSMICON = 50;
inline constexpr int SM_CYSMCAPTION = 51;
inline constexpr int SM_CXMINIMIZED = 57;
inline constexpr int SM_CYMINIMIZED = 58;
inline constexpr int SM_CXDRAG = 68;
inline constexpr int SM_CYDRAG = 69;
inline constexpr int SM_XVIRTUALSCREEN = 76;
inline constexpr int SM_YVIRTUALSCREEN = 77;
inline constexpr int SM_CXVIRTUALSCREEN = 78;
inline constexpr int SM_CYVIRTUALSCREEN = 79;
inline constexpr int SM_CMONITORS = 80;

// 0 for an index it does not know.
int GetSystemMetrics(int index);

namespace platform {

struct VirtualDisplay {
    int width;
    int height;
    int bitsPerPixel;
};

VirtualDisplay GetVirtualDisplay();
// Refuses (false, display unchanged) a size outside 1..32767 or a depth other than
// 8, 16, 24 or 32.
bool SetVirtualDisplay(int width, int height, int bitsPerPixel);
// Forgets the display set so far and reads the default and ZORV_SCREEN again.
void ResetVirtualDisplay();

} // namespace platform
