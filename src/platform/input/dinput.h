// DirectInput as a module built into the player: LoadLibraryA("DInput.DLL") and
// GetProcAddress(module, "DirectInputCreateA") give the root interface, whose devices are
// the keyboard (from the key state), the mouse (movement gathered where the display
// reports the pointer; buttons from the key state) and the joysticks (SDL's raw
// joysticks, as the multimedia calls see them). Records keep their documented sizes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/directx/unknown.h"
#include "platform/input/dinput_effect.h"
#include "platform/user/hwnd.h"

inline constexpr DWORD DIRECTINPUT_VERSION_500 = 0x500;

inline constexpr HRESULT DI_OK = 0;
inline constexpr HRESULT DI_NOEFFECT = 1;
inline constexpr HRESULT DI_POLLEDDEVICE = 2;
inline constexpr HRESULT DIERR_INVALIDPARAM = static_cast<HRESULT>(0x80070057u);
inline constexpr HRESULT DIERR_NOTFOUND = static_cast<HRESULT>(0x80070002u);
inline constexpr HRESULT DIERR_NOTACQUIRED = static_cast<HRESULT>(0x8007000Cu);
inline constexpr HRESULT DIERR_INPUTLOST = static_cast<HRESULT>(0x8007001Eu);
inline constexpr HRESULT DIERR_ACQUIRED = static_cast<HRESULT>(0x800700AAu);
inline constexpr HRESULT DIERR_OTHERAPPHASPRIO = static_cast<HRESULT>(0x80070005u);
inline constexpr HRESULT DIERR_UNSUPPORTED = static_cast<HRESULT>(0x80004001u);
inline constexpr HRESULT DIERR_OLDDIRECTINPUTVERSION = static_cast<HRESULT>(0x8007047Eu);
inline constexpr HRESULT DIERR_DEVICENOTREG = static_cast<HRESULT>(0x80040154u);
inline constexpr HRESULT DIERR_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
inline constexpr HRESULT DIERR_GENERIC = static_cast<HRESULT>(0x80004005u);

inline constexpr DWORD DIDEVTYPE_MOUSE = 2;
inline constexpr DWORD DIDEVTYPE_KEYBOARD = 3;
inline constexpr DWORD DIDEVTYPE_JOYSTICK = 4;
inline constexpr DWORD DIDEVTYPEMOUSE_TRADITIONAL = 2;
inline constexpr DWORD DIDEVTYPEKEYBOARD_PCENH = 4;
inline constexpr DWORD DIEDFL_ATTACHEDONLY = 1;
inline constexpr BOOL DIENUM_STOP = 0;
inline constexpr BOOL DIENUM_CONTINUE = 1;

inline constexpr DWORD DISCL_EXCLUSIVE = 0x1;
inline constexpr DWORD DISCL_NONEXCLUSIVE = 0x2;
inline constexpr DWORD DISCL_FOREGROUND = 0x4;
inline constexpr DWORD DISCL_BACKGROUND = 0x8;

inline constexpr DWORD DIDC_ATTACHED = 0x1;
inline constexpr DWORD DIDC_POLLEDDEVICE = 0x2;
inline constexpr DWORD DIDC_FORCEFEEDBACK = 0x100;

// Object types in data formats: the instance number in bits 8..23.
inline constexpr DWORD DIDFT_RELAXIS = 0x1;
inline constexpr DWORD DIDFT_ABSAXIS = 0x2;
inline constexpr DWORD DIDFT_AXIS = 0x3;
inline constexpr DWORD DIDFT_PSHBUTTON = 0x4;
inline constexpr DWORD DIDFT_TGLBUTTON = 0x8;
inline constexpr DWORD DIDFT_BUTTON = 0xC;
inline constexpr DWORD DIDFT_POV = 0x10;
inline constexpr DWORD DIDFT_ANYINSTANCE = 0x00FFFF00;
inline constexpr DWORD DIDFT_OPTIONAL = 0x80000000;
constexpr DWORD DIDFT_MAKEINSTANCE(DWORD n) {
    return (n & 0xFFFF) << 8;
}
constexpr DWORD DIDFT_GETINSTANCE(DWORD type) {
    return (type >> 8) & 0xFFFF;
}
inline constexpr DWORD DIDF_ABSAXIS = 1;
inline constexpr DWORD DIDF_RELAXIS = 2;

// Property identities, passed where a GUID pointer stands in other interfaces.
using DIPROPID = uintptr_t;
inline constexpr DIPROPID DIPROP_BUFFERSIZE = 1;
inline constexpr DIPROPID DIPROP_AXISMODE = 2;
inline constexpr DIPROPID DIPROP_GRANULARITY = 3;
inline constexpr DIPROPID DIPROP_RANGE = 4;
inline constexpr DIPROPID DIPROP_DEADZONE = 5;
inline constexpr DIPROPID DIPROP_SATURATION = 6;
inline constexpr DIPROPID DIPROP_FFGAIN = 7;
inline constexpr DIPROPID DIPROP_FFLOAD = 8;
inline constexpr DIPROPID DIPROP_AUTOCENTER = 9;
inline constexpr DWORD DIPH_DEVICE = 0;
inline constexpr DWORD DIPH_BYOFFSET = 1;
inline constexpr DWORD DIPROPAXISMODE_ABS = 0;
inline constexpr DWORD DIPROPAXISMODE_REL = 1;

struct DIOBJECTDATAFORMAT {
    const GUID* pguid;
    DWORD dwOfs;
    DWORD dwType;
    DWORD dwFlags;
};

struct DIDATAFORMAT {
    DWORD dwSize;
    DWORD dwObjSize;
    DWORD dwFlags;
    DWORD dwDataSize;
    DWORD dwNumObjs;
    const DIOBJECTDATAFORMAT* rgodf;
};

// The three standard formats: the mouse (7 objects, 16 bytes), the keyboard (256
// objects, 256 bytes) and the extended joystick (164 objects, DIJOYSTATE2).
extern const DIDATAFORMAT c_dfDIMouse;
extern const DIDATAFORMAT c_dfDIKeyboard;
extern const DIDATAFORMAT c_dfDIJoystick2;

struct DIMOUSESTATE {
    LONG lX;
    LONG lY;
    LONG lZ;
    BYTE rgbButtons[4];
};
static_assert(sizeof(DIMOUSESTATE) == 16);

struct DIJOYSTATE2 {
    LONG lX, lY, lZ;
    LONG lRx, lRy, lRz;
    LONG rglSlider[2];
    DWORD rgdwPOV[4];
    BYTE rgbButtons[128];
    LONG lVX, lVY, lVZ;
    LONG lVRx, lVRy, lVRz;
    LONG rglVSlider[2];
    LONG lAX, lAY, lAZ;
    LONG lARx, lARy, lARz;
    LONG rglASlider[2];
    LONG lFX, lFY, lFZ;
    LONG lFRx, lFRy, lFRz;
    LONG rglFSlider[2];
};
static_assert(sizeof(DIJOYSTATE2) == 272);

struct DIDEVCAPS {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwDevType;
    DWORD dwAxes;
    DWORD dwButtons;
    DWORD dwPOVs;
    DWORD dwFFSamplePeriod;
    DWORD dwFFMinTimeResolution;
    DWORD dwFirmwareRevision;
    DWORD dwHardwareRevision;
    DWORD dwFFDriverVersion;
};
static_assert(sizeof(DIDEVCAPS) == 44);

struct DIDEVICEINSTANCEA {
    DWORD dwSize;
    GUID guidInstance;
    GUID guidProduct;
    DWORD dwDevType;
    char tszInstanceName[260];
    char tszProductName[260];
    GUID guidFFDriver;
    WORD wUsagePage;
    WORD wUsage;
};
static_assert(sizeof(DIDEVICEINSTANCEA) == 580);

struct DIDEVICEOBJECTINSTANCEA {
    DWORD dwSize;
    GUID guidType;
    DWORD dwOfs;
    DWORD dwType;
    DWORD dwFlags;
    char tszName[260];
    DWORD dwFFMaxForce;
    DWORD dwFFForceResolution;
    WORD wCollectionNumber;
    WORD wDesignatorIndex;
    WORD wUsagePage;
    WORD wUsage;
    DWORD dwDimension;
    WORD wExponent;
    WORD wReserved;
};
static_assert(sizeof(DIDEVICEOBJECTINSTANCEA) == 316);

struct DIPROPHEADER {
    DWORD dwSize;
    DWORD dwHeaderSize;
    DWORD dwObj;
    DWORD dwHow;
};
struct DIPROPDWORD {
    DIPROPHEADER diph;
    DWORD dwData;
};
struct DIPROPRANGE {
    DIPROPHEADER diph;
    LONG lMin;
    LONG lMax;
};

// Object kinds, device instances and interfaces. The values are this layer's own.
extern const GUID GUID_XAxis, GUID_YAxis, GUID_ZAxis, GUID_RxAxis, GUID_RyAxis, GUID_RzAxis,
    GUID_Slider, GUID_Button, GUID_Key, GUID_POV;
extern const GUID GUID_SysMouse, GUID_SysKeyboard;
extern const IID IID_IDirectInputA, IID_IDirectInputDeviceA, IID_IDirectInputDevice2A;

class IDirectInputDeviceA : public IUnknown {
public:
    virtual HRESULT GetCapabilities(DIDEVCAPS* caps) = 0;
    virtual HRESULT GetProperty(DIPROPID property, DIPROPHEADER* header) = 0;
    virtual HRESULT SetProperty(DIPROPID property, const DIPROPHEADER* header) = 0;
    virtual HRESULT Acquire() = 0;
    virtual HRESULT Unacquire() = 0;
    // Fails with DIERR_NOTACQUIRED before Acquire, DIERR_INPUTLOST once a foreground
    // device's window lost the activation.
    virtual HRESULT GetDeviceState(DWORD size, void* data) = 0;
    virtual HRESULT SetDataFormat(const DIDATAFORMAT* format) = 0;
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD flags) = 0;
    // `how` DIPH_BYOFFSET names the object by its offset in the data format.
    virtual HRESULT GetObjectInfo(DIDEVICEOBJECTINSTANCEA* info, DWORD object, DWORD how) = 0;
    virtual HRESULT GetDeviceInfo(DIDEVICEINSTANCEA* info) = 0;
    virtual HRESULT RunControlPanel(HWND window, DWORD flags) = 0;

protected:
    ~IDirectInputDeviceA() = default;
};

class IDirectInputDevice2A : public IDirectInputDeviceA {
public:
    // DI_NOEFFECT for a device that needs no polling.
    virtual HRESULT Poll() = 0;
    // Force feedback: DIERR_UNSUPPORTED on a device without it. A new effect takes
    // `parameters` (DIEP_ALLPARAMS) when given, and goes to the device at once.
    virtual HRESULT CreateEffect(const GUID& kind, const DIEFFECT* parameters,
                                 IDirectInputEffect** effect, IUnknown* outer) = 0;
    virtual HRESULT EnumEffects(LPDIENUMEFFECTSCALLBACKA callback, void* context, DWORD type) = 0;
    virtual HRESULT SendForceFeedbackCommand(DWORD command) = 0;

protected:
    ~IDirectInputDevice2A() = default;
};

using LPDIENUMDEVICESCALLBACKA = BOOL (*)(const DIDEVICEINSTANCEA* instance, void* context);

class IDirectInputA : public IUnknown {
public:
    virtual HRESULT CreateDevice(const GUID& instance, IDirectInputDeviceA** device,
                                 IUnknown* outer) = 0;
    // `type` 0 lists every device; joysticks come first, then the mouse, then the keyboard.
    virtual HRESULT EnumDevices(DWORD type, LPDIENUMDEVICESCALLBACKA callback, void* context,
                                DWORD flags) = 0;
    virtual HRESULT GetDeviceStatus(const GUID& instance) = 0;
    // Fails: there is no control panel of input devices here.
    virtual HRESULT RunControlPanel(HWND window, DWORD flags) = 0;

protected:
    ~IDirectInputA() = default;
};

using DirectInputCreateAFunction = HRESULT (*)(HINSTANCE instance, DWORD version,
                                               IDirectInputA** directInput, IUnknown* outer);

// The DirectInput key code (the scan code, 0x80 added for the extended keys) of a
// virtual key, Shift, Control and Alt without a side standing for the left one; 0 for a
// key without one.
DWORD DirectInputKeyOfVirtualKey(int vKey);

namespace platform {

// Puts "DInput.DLL" among the built-in modules (done once at start by the game-input
// subsystem; harmless again).
void RegisterDirectInputModule();
// The mouse movement and wheel gathered since the last call, in pixels and wheel units.
void TakeMouseMotion(LONG& x, LONG& y, LONG& wheel);

} // namespace platform

namespace platform::test {

// While set, "DInput.DLL" cannot be loaded, as on a machine without it.
void SetDirectInputMissing(bool missing);

// "DInput.DLL" cannot be loaded while one lives, so that discovery takes the system calls
// for the test that holds it, whatever way the test ends.
class DirectInputRefusal {
public:
    DirectInputRefusal() { SetDirectInputMissing(true); }
    ~DirectInputRefusal() { SetDirectInputMissing(false); }
    DirectInputRefusal(const DirectInputRefusal&) = delete;
    DirectInputRefusal& operator=(const DirectInputRefusal&) = delete;
};

} // namespace platform::test
