// The process-wide table of input devices, filled once by discovery and shared (by a use
// count) by every game-input manager, and the handles through which managers and script
// objects reach an open device. A device is named by its index in the table.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "input/input_device.h"
#include "platform/input/dinput.h"
#include "platform/kernel/win_types.h"
#include "platform/user/hwnd.h"

// A device's category in the table.
enum InputDeviceCategory : int32_t {
    kCategoryNone = 0,
    kCategoryMouse = 1,
    kCategoryKeyboard = 2,
    kCategoryJoystick = 3,
};

struct InputDeviceInfo;
// Makes the device object of a record that discovery did not find itself (tests).
using InputDeviceMaker = std::unique_ptr<InputDevice> (*)(const InputDeviceInfo& record,
                                                          int32_t index);

struct InputDeviceInfo {
    static constexpr int32_t kWin32 = 1;
    static constexpr int32_t kDirectInput = 2;

    int32_t kind = kWin32;
    // Win32 records: the category, the sub-type (the keyboard type code; 1 otherwise),
    // the joystick id and the name.
    int32_t category = kCategoryNone;
    int32_t subType = 1;
    uint32_t joystickId = 0;
    std::string name;
    // Records of a device interface: its type word (type in the low byte, sub-type in the
    // second) and its names.
    uint32_t deviceType = 0;
    GUID instanceGuid{};
    std::string instanceName;
    std::string productName;
    // Tests' devices: made by this instead of by category.
    InputDeviceMaker maker = nullptr;
    // The device object while the device is open.
    std::unique_ptr<InputDevice> device;
};

// Fills the table on the first use (later uses only count); 1 on success.
int EnumerateInputDevices(HINSTANCE instance);
// Ends one use; the last one closes every device and empties the table. Returns 1.
int ReleaseInputDevices();
int32_t GetInputDeviceCount();
// Null outside the table.
InputDeviceInfo* GetInputDeviceInfo(int32_t index);
// The DirectInput interface discovery went through; null when it took the system calls.
IDirectInputA* GetDirectInput();

// The device's category (InputDeviceCategory); 0 outside the table.
int32_t GetInputDeviceType(int32_t index);
// Lined up with the script constants of mouse, keyboard and joystick sub-types.
int32_t GetInputDeviceSubType(int32_t index);
std::string GetInputDeviceName(int32_t index);
std::string GetInputDeviceProductName(int32_t index);
// 0: the control panel of the devices does not exist here.
int RunInputControlPanel(HWND window);

class InputDeviceHandle {
public:
    explicit InputDeviceHandle(int32_t index) : deviceIndex(index) {}
    // The open device; null when its record lost it.
    InputDevice* Device() const;
    // The effect-type index of a created effect; 0 without a device.
    int32_t GetEffectType(int32_t effect) const;

    int32_t deviceIndex;
};

// Makes the device of the record by its category, attaches it to `window` and gives a
// handle; null for a record of no known category or whose device does not attach (then
// the record keeps no device).
std::unique_ptr<InputDeviceHandle> OpenInputDevice(int32_t index, HWND window, int cooperation);
// Destroys the record's device.
void CloseInputDevice(std::unique_ptr<InputDeviceHandle> handle);

namespace input_test {

// Discovery lists these records (moved from `records`) instead of the machine's devices,
// until called again with an empty list.
void ReplaceDiscovery(std::unique_ptr<InputDeviceInfo[]> records, size_t count);

} // namespace input_test
