// A joystick of the tests' own whose force feedback a recording device takes, opened
// through the built-in DirectInput.
#pragma once

#include <memory>

#include "input/device_table.h"
#include "support/recording_force_feedback.h"

namespace input_fakes {

class ForceFeedbackJoystick {
public:
    // A pad with `axes` axes; `withForceFeedback` false gives one without any.
    explicit ForceFeedbackJoystick(int axes = 2, bool withForceFeedback = true);
    ~ForceFeedbackJoystick();

    // The opened device; null when it could not be made.
    InputDevice* Device() const { return handle_ != nullptr ? handle_->Device() : nullptr; }
    void Close();

    std::shared_ptr<test_support::RecordingForceFeedback> recorder =
        std::make_shared<test_support::RecordingForceFeedback>();

private:
    HWND window_ = 0;
    std::unique_ptr<InputDeviceHandle> handle_;
};

} // namespace input_fakes
