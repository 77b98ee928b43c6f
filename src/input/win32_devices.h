// The devices opened when input goes through the plain system calls: the mouse (relative
// movement of a hidden cursor held at the screen centre), the keyboard (the asynchronous
// key state) and the multimedia joysticks. None has force feedback.
#pragma once

#include "input/input_device.h"

class MouseDevice final : public Win32InputDevice {
public:
    using Win32InputDevice::Win32InputDevice;
    ~MouseDevice() override;

    int Attach(HWND window, int exclusive) override;
    int32_t GetAxisCount() override { return 2; }
    int32_t GetButtonCount() override { return 3; }
    int GetButton(int32_t button) override;
    void GetAxisRange(int32_t axis, int32_t& minimum, int32_t& maximum) override;
    // The movement in pixels since the previous read of either axis.
    int32_t GetAxis(int32_t axis) override;

private:
    int exclusive_ = 0;
    bool cursorHidden_ = false;
    int32_t lastX_ = 0;
    int32_t lastY_ = 0;
    int32_t centreX_ = 0;
    int32_t centreY_ = 0;
    int32_t width_ = 0;
    int32_t height_ = 0;
};

class KeyboardDevice final : public Win32InputDevice {
public:
    using Win32InputDevice::Win32InputDevice;

    int32_t GetButtonCount() override { return 256; }
    int IsToggleButton(int32_t code) override;
    int GetButton(int32_t code) override;
};

class JoystickDevice final : public Win32InputDevice {
public:
    static constexpr int32_t kDeadZone = 2000;

    JoystickDevice(int32_t index, uint32_t joystickId)
        : Win32InputDevice(index), joystickId_(joystickId) {}
    ~JoystickDevice() override;

    int Attach(HWND window, int capture) override;
    int32_t GetAxisCount() override;
    int32_t GetButtonCount() override;
    int32_t GetPovCount() override;
    int GetButton(int32_t button) override;
    uint32_t GetPov(int32_t hat) override;
    void GetAxisRange(int32_t axis, int32_t& minimum, int32_t& maximum) override;
    int32_t GetAxis(int32_t axis) override;
    int32_t GetDeadZone() override { return kDeadZone; }

private:
    uint32_t joystickId_;
    int capture_ = 0;
    HWND captureWindow_ = 0;
};
