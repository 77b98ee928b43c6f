// A whole run driven from a text file of steps: what a user would do to the player's
// windows, for end-to-end tests and examples on the headless display. ZORV_INPUT names the
// file; the player takes one step each time the windows' thread, with its queue empty,
// waits for messages.
//
// One step a line; blank lines and lines starting with '#' are skipped. Words are
// separated by blanks or tabs. Coordinates are client coordinates of the chosen window;
// negative ones reach its frame and menu bar. The file is UTF-8.
//
//   window TITLE                  choose the top-level window with this exact title
//   move X Y                      the pointer moves there
//   press [BUTTON] X Y            a mouse button goes down (left, right or middle;
//   release [BUTTON] X Y            left when not named), or up
//   click [BUTTON] X Y            down and up
//   doubleclick [BUTTON] X Y      two clicks
//   key NAME                      a key pressed and released: a letter, a digit, F1-F24,
//   keydown NAME / keyup NAME       Return, Escape, Tab, Space, Backspace, Delete, Insert,
//                                   Home, End, PageUp, PageDown, Left, Right, Up, Down,
//                                   Shift, Control, Alt (any case)
//   type TEXT                     the rest of the line typed, as characters
//   close                         the close button of the chosen window
//   wait MS                       the clock advanced by MS milliseconds
//   joystick attach AXES BUTTONS HATS   a virtual joystick or pad is plugged in; the
//                                   steps below act on the last one plugged in
//   joystick axis N VALUE         axis N (from 0) moves to VALUE, -32768 to 32767
//   joystick button N down|up     button N (from 0) goes down or up
//   joystick hat N DIRECTION      hat N points centre, up, right, down, left, up-right,
//                                   down-right, down-left or up-left
//
// The clock stands still from the moment the script is installed: it moves only by wait
// steps and by the player's own waits and sleeps, so the same script shows the same
// pictures on a fast machine and a slow one.
//
// While steps are left, dialog boxes are shown for them to answer; once the last is taken,
// a dialog box still up is closed and later ones are cancelled at once.
//
// Pointer steps and close act on the chosen window, or on the top one before any is
// chosen; a window not there yet is waited for a while. Joystick steps at the very start
// are taken as the script is installed: those pads are plugged in before the program
// starts, so the program's first look at its devices finds them.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/display/headless_display.h"

namespace platform {

struct InputStep {
    enum class Kind {
        Window,
        Move,
        Press,
        Release,
        Click,
        DoubleClick,
        Key,
        KeyDown,
        KeyUp,
        Type,
        Close,
        Wait,
        Joystick,
    };
    enum class JoystickAction { Attach, Axis, Button, Hat };
    Kind kind = Kind::Wait;
    int line = 0;     // in the file, from 1
    std::string text; // a title or the text typed, Windows-1252
    int x = 0;        // pointer steps
    int y = 0;
    headless::Button button = headless::Button::Left;
    int key = 0; // a VK_ code
    DWORD milliseconds = 0;
    // Joystick steps: attach takes axes, buttons and hats in x, y and key; the others the
    // axis, button or hat in x and the value (a button 1 down, a hat SDL's direction bits)
    // in y.
    JoystickAction joystick = JoystickAction::Attach;
};

// Reads every step of `text`; false at the first line that is not one, with a message
// naming the line in `error`.
bool ParseInputScript(std::string_view text, std::vector<InputStep>& steps, std::string& error);

// Takes the steps in order on the windows' thread.
class InputScriptRunner {
public:
    using Clock = std::chrono::steady_clock;
    // How long a window step waits for its window to appear.
    static constexpr std::chrono::seconds kWindowPatience{10};

    explicit InputScriptRunner(std::vector<InputStep> steps);

    enum class Outcome {
        Taken,    // the step was taken
        NotYet,   // its window is not there yet: ask again later
        Finished, // no step is left
        Failed,   // the step cannot be taken: Failure() says why
    };
    Outcome TakeNext(Clock::time_point now);
    // Takes the joystick steps before the first other step; false when one cannot be taken.
    bool TakeLeadingJoysticks();
    bool Finished() const { return next_ >= steps_.size(); }
    const std::string& Failure() const { return failure_; }

private:
    Outcome Fail(const std::string& why);
    // A joystick step on the last virtual joystick attached; false when there is none.
    bool TakeJoystick(const InputStep& step);
    // The window a step acts on; 0 when it is not there (yet, or any more: `gone`).
    HWND TargetWindow(bool& gone) const;

    std::vector<InputStep> steps_;
    size_t next_ = 0;
    HWND chosen_ = 0;
    std::string chosenTitle_;
    bool waiting_ = false;
    Clock::time_point waitingSince_{};
    std::string failure_;
    int joystick_ = -1;
};

} // namespace platform

namespace platform::headless {

// Makes a fresh headless back end the active display, taking `steps` whenever the calling
// thread waits with its queue empty. A step that cannot be taken writes why on standard error,
// marks the script failed and calls `endRun` (which asks the run to end), then posts WM_QUIT so
// that a modal loop lets go.
void InstallInputScript(std::vector<InputStep> steps, std::function<void()> endRun);
// Whether a step of the script installed last could not be taken.
bool InputScriptFailed();

// The player's start: when ZORV_INPUT names a file, reads it and installs it as above.
// False, with the reason on standard error, when the file cannot be read or has a bad
// line; true otherwise (also without ZORV_INPUT).
bool InstallInputScriptFromEnvironment(std::function<void()> endRun);

} // namespace platform::headless
