// The DirectInput device objects behind IDirectInputA::CreateDevice. Internal to the
// platform layer.
#pragma once

#include "platform/input/dinput.h"
#include "platform/input/joystick_access.h"

namespace platform {

// The enumeration record of the system mouse or keyboard, and of a joystick.
DIDEVICEINSTANCEA SystemInstance(const GUID& instance, DWORD type, DWORD subType, const char* name);
DIDEVICEINSTANCEA JoystickInstance(const JoystickIdentity& joystick);
// A new device for an enumerated record, counted once; null without memory.
IDirectInputDeviceA* MakeDirectInputDevice(const DIDEVICEINSTANCEA& instance);

} // namespace platform
