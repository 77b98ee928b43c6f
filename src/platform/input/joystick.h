// The multimedia joystick calls over the machine's joysticks and game pads (SDL2's
// joystick interface: raw axes, buttons and hats in device order, no controller mapping),
// and the keyboard's type. A joystick id is its position among the attached devices.
#pragma once

#include "platform/kernel/win_types.h"
#include "platform/user/hwnd.h"

using MMRESULT = UINT;
inline constexpr MMRESULT JOYERR_NOERROR = 0;
inline constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
inline constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
inline constexpr MMRESULT JOYERR_PARMS = 165;
inline constexpr MMRESULT JOYERR_UNPLUGGED = 167;

inline constexpr DWORD JOY_RETURNX = 0x01;
inline constexpr DWORD JOY_RETURNY = 0x02;
inline constexpr DWORD JOY_RETURNZ = 0x04;
inline constexpr DWORD JOY_RETURNR = 0x08;
inline constexpr DWORD JOY_RETURNU = 0x10;
inline constexpr DWORD JOY_RETURNV = 0x20;
inline constexpr DWORD JOY_RETURNPOV = 0x40;
inline constexpr DWORD JOY_RETURNBUTTONS = 0x80;
inline constexpr DWORD JOY_RETURNALL = 0xFF;
inline constexpr DWORD JOY_RETURNCENTERED = 0x400;
inline constexpr DWORD JOY_POVCENTERED = 0xFFFF;
inline constexpr UINT JOYCAPS_HASZ = 0x01;
inline constexpr UINT JOYCAPS_HASR = 0x02;
inline constexpr UINT JOYCAPS_HASU = 0x04;
inline constexpr UINT JOYCAPS_HASV = 0x08;
inline constexpr UINT JOYCAPS_HASPOV = 0x10;
inline constexpr UINT JOYCAPS_POV4DIR = 0x20;

struct JOYCAPSA {
    WORD wMid;
    WORD wPid;
    char szPname[32];
    UINT wXmin, wXmax, wYmin, wYmax, wZmin, wZmax;
    UINT wNumButtons;
    UINT wPeriodMin, wPeriodMax;
    UINT wRmin, wRmax, wUmin, wUmax, wVmin, wVmax;
    UINT wCaps;
    UINT wMaxAxes;
    UINT wNumAxes;
    UINT wMaxButtons;
    char szRegKey[32];
    char szOEMVxD[260];
};

struct JOYINFO {
    UINT wXpos, wYpos, wZpos;
    UINT wButtons;
};

struct JOYINFOEX {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwXpos, dwYpos, dwZpos, dwRpos, dwUpos, dwVpos;
    DWORD dwButtons;
    DWORD dwButtonNumber;
    DWORD dwPOV;
    DWORD dwReserved1, dwReserved2;
};

// The number of joysticks attached.
UINT joyGetNumDevs();
// Positions run 0..65535 with the centre at 32768; the axes X, Y, Z, R, U, V take the
// device's axes in order; the first hat is the point of view (JOY_POVCENTERED when
// centred); buttons 0..31 are the bits of dwButtons.
MMRESULT joyGetDevCapsA(UINT id, JOYCAPSA* caps, UINT size);
MMRESULT joyGetPos(UINT id, JOYINFO* info);
MMRESULT joyGetPosEx(UINT id, JOYINFOEX* info);
// Joystick messages are never sent; the capture only records the window.
MMRESULT joySetCapture(HWND window, UINT id, UINT period, BOOL changed);
MMRESULT joyReleaseCapture(UINT id);

// 4, 0 and 12 for types 0, 1 and 2 (an enhanced 101- or 102-key keyboard, twelve
// function keys); 0 for any other request.
int GetKeyboardType(int typeFlag);

namespace platform::test {

// A joystick of its own attached beside the machine's; its id, or -1 when it cannot be
// made. Axes start centred, buttons up, hats centred.
int AttachVirtualJoystick(int axes, int buttons, int hats, const char* name);
void SetVirtualJoystickAxis(int id, int axis, int value);
void SetVirtualJoystickButton(int id, int button, bool down);
// `hat` takes the SDL-style bits: 1 up, 2 right, 4 down, 8 left.
void SetVirtualJoystickHat(int id, int hat, int bits);
// Detaches every virtual joystick.
void DetachVirtualJoysticks();

} // namespace platform::test
