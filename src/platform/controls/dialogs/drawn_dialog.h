// The dialogs our layer draws: a modal top-level window of standard controls, run by the
// message box's kind of loop (the owner disabled, other windows painting, timers running)
// with the dialog manager's keyboard. A content object makes the controls and answers them.
#pragma once

#include <functional>
#include <string>

#include "platform/controls/controls.h"
#include "platform/user/dialogs/message_box.h"

namespace platform {

class DialogContent {
public:
    virtual ~DialogContent() = default;
    // Makes the controls in the dialog's client area.
    virtual void Create(HWND dialog) = 0;
    // The control that has the focus when the dialog shows; 0 for the first tab stop.
    virtual HWND InitialFocus(HWND) { return 0; }
    // A control's notification, or IDOK and IDCANCEL from Return and Escape; the content
    // ends the dialog with EndDrawnDialog when it is answered.
    virtual void Command(HWND dialog, int id, WORD code, HWND control) = 0;
    // Any other message to the dialog window; true when answered with `result`.
    virtual bool Message(HWND, UINT, WPARAM, LPARAM, LRESULT&) { return false; }
};

// Ends the dialog whose window is `dialog` with `answer` (IDOK, IDCANCEL); the first
// answer holds.
void EndDrawnDialog(HWND dialog, int answer);

// Shows the dialog with a client area of `width` by `height`, centred on its owner, and
// runs it until it is answered: IDOK or IDCANCEL (a dialog ended from outside is
// cancelled). 0 when its window could not be made.
int RunDrawnDialog(HWND owner, const std::string& title, int width, int height,
                   DialogContent& content);

// Controls in a dialog, in its client coordinates, with the dialog font.
HWND AddControl(HWND dialog, const char* className, const char* text, DWORD style, int id, int x,
                int y, int width, int height, DWORD exStyle = 0);

// Whether dialogs are drawn at all: on a display that shows windows, or while tests ask.
bool DrawsDialogs();

} // namespace platform

namespace platform::test {

// While set, dialogs are drawn whatever the display.
void DrawDialogsAsWindows(bool draw);
// Called on the dialog's thread with its window once it is shown, before its loop takes a
// message: the place to inject what the user does. An empty hook removes it.
void SetDrawnDialogShownHook(std::function<void(HWND)> hook);

} // namespace platform::test
