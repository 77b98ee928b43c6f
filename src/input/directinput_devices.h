// The devices opened when input goes through DirectInput: the mouse (its movement read at
// most every 100 ms, a read in between repeating the last one), the keyboard (the key
// state by DirectInput key code) and the joysticks (the extended joystick state, read on
// every call). Each holds its DirectInput device interface while it lives.
#pragma once

#include <vector>

#include "input/input_device.h"
#include "platform/input/dinput.h"

class DirectInputDevice : public InputDevice {
public:
    explicit DirectInputDevice(int32_t index) : InputDevice(index, kDirectInputFamily) {}
    ~DirectInputDevice() override;

    // From the device's capabilities; 0 when they cannot be read.
    int32_t GetAxisCount() override;
    int32_t GetButtonCount() override;
    int32_t SetRange(int32_t minimum, int32_t maximum) override {
        rangeMinimum = minimum;
        rangeMaximum = maximum;
        rangeSet = 1;
        return minimum;
    }

    int32_t rangeMinimum = -65535;
    int32_t rangeMaximum = 65535;
    int32_t rangeSet = 0;

protected:
    // Makes the device interface of the record and gives it `format`; its objects are
    // sorted into axes, buttons and hats. False (nothing kept) on failure.
    bool Create(const DIDATAFORMAT& format);
    // A device-wide or per-axis (by offset) property.
    DWORD ReadDword(DIPROPID property, DWORD how, DWORD object);
    void WriteDword(DIPROPID property, DWORD how, DWORD object, DWORD value);
    bool ReadRange(DWORD offset, int32_t& minimum, int32_t& maximum);
    void WriteRange(DWORD offset, int32_t minimum, int32_t maximum);

    IDirectInputDevice2A* device_ = nullptr;
    std::vector<DWORD> axes_, buttons_, hats_;
};

class DirectInputMouse final : public DirectInputDevice {
public:
    using DirectInputDevice::DirectInputDevice;

    int Attach(HWND window, int exclusive) override;
    int GetButton(int32_t button) override;
    int32_t GetAxis(int32_t axis) override;
    void GetAxisRange(int32_t axis, int32_t& minimum, int32_t& maximum) override;
    void SetAxisRange(int32_t axis, int32_t minimum, int32_t maximum) override;

private:
    const DIMOUSESTATE& State();

    DWORD lastRead_ = 0;
    bool everRead_ = false;
    DIMOUSESTATE cached_{};
};

class DirectInputKeyboard final : public DirectInputDevice {
public:
    using DirectInputDevice::DirectInputDevice;

    int Attach(HWND window, int exclusive) override;
    int IsToggleButton(int32_t button) override;
    int GetButton(int32_t code) override;
};

class DirectInputJoystick final : public DirectInputDevice {
public:
    static constexpr int32_t kDeadZone = 2000;

    using DirectInputDevice::DirectInputDevice;

    int Attach(HWND window, int exclusive) override;
    int32_t GetPovCount() override;
    int GetButton(int32_t button) override;
    uint32_t GetPov(int32_t hat) override;
    int HasForceFeedback() override;
    int NeedsPoll() override;
    void Poll() override;
    void SetAxisRange(int32_t axis, int32_t minimum, int32_t maximum) override;
    void GetAxisRange(int32_t axis, int32_t& minimum, int32_t& maximum) override;
    void GetRotationRange(int32_t rotation, int32_t& minimum, int32_t& maximum) override;
    int32_t GetAxis(int32_t axis) override;
    int32_t GetRotation(int32_t rotation) override;
    int32_t GetDeadZone() override { return kDeadZone; }

private:
    bool Read(DIJOYSTATE2& state);
    DWORD CapabilityFlags();
};

// The DirectInput key code of a virtual key (the fixed table, then the scan code).
DWORD DirectInputKeyOf(int vKey);
