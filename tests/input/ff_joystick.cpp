#include "input/ff_joystick.h"

#include "platform/display/headless_display.h"
#include "platform/input/joystick.h"
#include "platform/user/windows.h"
#include "platform/window_recorder.h"

namespace input_fakes {

ForceFeedbackJoystick::ForceFeedbackJoystick(int axes, bool withForceFeedback) {
    platform::headless::Install();
    window_ = CreateWindowExA(0, window_test::Class("ForceFeedbackTest"), "", WS_OVERLAPPEDWINDOW,
                              10, 10, 200, 150, 0, 0, 0, nullptr);
    ShowWindow(window_, SW_SHOW);
    int pad = platform::test::AttachVirtualJoystick(axes, 16, 1, "Rumble pad");
    if (pad < 0) return;
    if (withForceFeedback) platform::test::AttachForceFeedback(pad, recorder);
    EnumerateInputDevices(0);
    handle_ = OpenInputDevice(pad, window_, 1);
}

void ForceFeedbackJoystick::Close() {
    if (handle_ != nullptr) CloseInputDevice(std::move(handle_));
}

ForceFeedbackJoystick::~ForceFeedbackJoystick() {
    Close();
    ReleaseInputDevices();
    platform::test::DetachForceFeedback();
    platform::test::DetachVirtualJoysticks();
    DestroyWindow(window_);
}

} // namespace input_fakes
