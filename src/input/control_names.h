// The controls a binding can name: every joystick axis direction, hat and button, the
// mouse's axes, wheel and buttons, and the keyboard's keys by virtual-key name.
#pragma once

#include <cstdint>
#include <string_view>

// How a control's value is read from its device.
enum ControlKind : int32_t {
    kControlButton = 1,
    kControlAxisNegative = 2,
    kControlAxisPositive = 3,
    kControlRotationNegative = 4,
    kControlRotationPositive = 5,
    kControlPov = 6,
};

// The device-type codes of the controls and of the manager's device slots.
enum InputDeviceType : int32_t {
    kInputNone = 0,
    kInputMouse = 1,
    kInputJoystick = 2,
    kInputKeyboard = 3,
};

struct ControlNameRow {
    int32_t deviceType;
    const char* name;
    uint32_t controlId;
    int32_t kind;
    // Button number, axis, rotation or hat; the virtual-key code for keys.
    int32_t index;
};

class ControlNameTable {
public:
    static constexpr int32_t kRowCount = 277;
    // Null for a row outside the table.
    static const ControlNameRow* GetRow(int32_t row);
};

// The first row whose name equals `name` without regard to case: its control id, with the
// device type and row through the outputs. An unknown name gives 0 and row -1, leaving
// `deviceType` as it was.
uint32_t LookupControlName(std::string_view name, int32_t& deviceType, int32_t& row);
