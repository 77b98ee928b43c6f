#include <string>

#include "platform/display/display_backend.h"
#include "platform/display/input_script.h"
#include "platform/input/joystick.h"
#include "platform/user/window_geometry.h"
#include "platform/user/windows.h"

namespace platform {
namespace {

std::string TitleOf(HWND window) {
    int length = GetWindowTextLengthA(window);
    if (length <= 0) return {};
    std::string title(size_t(length) + 1, '\0');
    title.resize(size_t(GetWindowTextA(window, title.data(), length + 1)));
    return title;
}

// The visible top-level window with that title, the top one first; 0 when none.
HWND FindTitled(const std::string& title) {
    for (const DisplayWindow& shown : VisibleTopLevelWindows())
        if (TitleOf(shown.window) == title) return shown.window;
    return 0;
}

bool NeedsWindow(InputStep::Kind kind) {
    using Kind = InputStep::Kind;
    return kind == Kind::Move || kind == Kind::Press || kind == Kind::Release ||
           kind == Kind::Click || kind == Kind::DoubleClick || kind == Kind::Close;
}

} // namespace

InputScriptRunner::InputScriptRunner(std::vector<InputStep> steps) : steps_(std::move(steps)) {}

InputScriptRunner::Outcome InputScriptRunner::Fail(const std::string& why) {
    const InputStep& step = steps_[next_];
    failure_ = "line " + std::to_string(step.line) + ": " + why;
    // Nothing more is taken after a failure.
    next_ = steps_.size();
    return Outcome::Failed;
}

HWND InputScriptRunner::TargetWindow(bool& gone) const {
    gone = false;
    if (chosen_ != 0) {
        gone = !IsWindow(chosen_);
        return gone ? 0 : chosen_;
    }
    std::vector<DisplayWindow> shown = VisibleTopLevelWindows();
    return shown.empty() ? 0 : shown.front().window;
}

bool InputScriptRunner::TakeJoystick(const InputStep& step) {
    using Action = InputStep::JoystickAction;
    switch (step.joystick) {
    case Action::Attach:
        joystick_ = test::AttachVirtualJoystick(step.x, step.y, step.key, "Virtual pad");
        return joystick_ >= 0;
    case Action::Axis:
        test::SetVirtualJoystickAxis(joystick_, step.x, step.y);
        break;
    case Action::Button:
        test::SetVirtualJoystickButton(joystick_, step.x, step.y != 0);
        break;
    case Action::Hat:
        test::SetVirtualJoystickHat(joystick_, step.x, step.y);
        break;
    }
    return joystick_ >= 0;
}

bool InputScriptRunner::TakeLeadingJoysticks() {
    for (; next_ < steps_.size() && steps_[next_].kind == InputStep::Kind::Joystick; ++next_) {
        if (!TakeJoystick(steps_[next_])) {
            failure_ = "no virtual joystick can be plugged in";
            return false;
        }
    }
    return true;
}

InputScriptRunner::Outcome InputScriptRunner::TakeNext(Clock::time_point now) {
    using Kind = InputStep::Kind;
    if (Finished()) return Outcome::Finished;
    const InputStep& step = steps_[next_];

    HWND window = 0;
    if (step.kind == Kind::Window || NeedsWindow(step.kind)) {
        bool gone = false;
        window = step.kind == Kind::Window ? FindTitled(step.text) : TargetWindow(gone);
        if (gone) return Fail("the window \"" + chosenTitle_ + "\" is gone");
        if (window == 0) {
            if (!waiting_) {
                waiting_ = true;
                waitingSince_ = now;
            }
            if (now - waitingSince_ < kWindowPatience) return Outcome::NotYet;
            waiting_ = false;
            return Fail(step.kind == Kind::Window ? "no window titled \"" + step.text + "\""
                                                  : std::string("no window to act on"));
        }
        waiting_ = false;
    }

    switch (step.kind) {
    case Kind::Window:
        chosen_ = window;
        chosenTitle_ = step.text;
        break;
    case Kind::Move:
        headless::MoveMouse(window, step.x, step.y);
        break;
    case Kind::Press:
        headless::PressMouse(window, step.button, step.x, step.y);
        break;
    case Kind::Release:
        headless::ReleaseMouse(window, step.button, step.x, step.y);
        break;
    case Kind::Click:
        headless::Click(window, step.button, step.x, step.y);
        break;
    case Kind::DoubleClick:
        headless::Click(window, step.button, step.x, step.y);
        headless::Click(window, step.button, step.x, step.y);
        break;
    case Kind::Key:
        headless::PressKey(step.key);
        break;
    case Kind::KeyDown:
        headless::KeyDown(step.key);
        break;
    case Kind::KeyUp:
        headless::KeyUp(step.key);
        break;
    case Kind::Type:
        headless::TypeText(step.text);
        break;
    case Kind::Close:
        headless::RequestClose(window);
        break;
    case Kind::Wait:
        headless::AdvanceTime(step.milliseconds);
        break;
    case Kind::Joystick:
        if (!TakeJoystick(step)) return Fail("no virtual joystick can be plugged in");
        break;
    }
    ++next_;
    return Outcome::Taken;
}

} // namespace platform
