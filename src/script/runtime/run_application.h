// The run function: the whole life of the player on the thread that calls it, from the
// process set-up to the host's end notification, and the process-wide window helpers the
// script window classes share.
#pragma once

#include <new>

#include "platform/user/atoms.h"
#include "platform/user/hwnd.h"
#include "platform/kernel/win_types.h"
#include "script/interpreter/ierror.h"

class CLaunchInfo;
class CInterpretor;
class CIBaseClassImpl;

// Prepares the process, makes the interpreter, opens the project, loads and runs the
// script, shows a message box when the run failed, tears everything down and notifies
// the host. Always 0; the outcome is left in the launch block.
int RunApplication(CLaunchInfo& launch);

// The window class of the top-level windows, the calling thread's 2D graphics set-up,
// and the atom of the window property that holds a window's script object.
void InitGlobalUI();
void ShutdownGlobalUI();

// The name of the window property holding a window's script object.
inline constexpr const char* kWindowObjectProperty = "iobj";
// Its atom while the UI is set up; 0 otherwise.
ATOM GetWindowObjectAtom();

// A window's script object under a property name (kWindowObjectProperty for every script
// window). Attach: 1, or 0 when the window cannot hold the property.
int AttachWindowObject(HWND window, const char* property, CIBaseClassImpl* object);
CIBaseClassImpl* DetachWindowObject(HWND window, const char* property);
CIBaseClassImpl* GetWindowObject(HWND window, const char* property);

// Replaces a heap text buffer (MemAlloc) by a copy of `text`; null empties it. 1, or 0 when
// memory runs out (the buffer is then empty).
int SetBufferString(char*& buffer, const char* text);

// A run-time error raised inside a window procedure must not unwind through the
// platform's dispatch: it is kept by the interpreter as the pending end code (and as the
// error a failed run reports), and the run ends at the next check. Takes the error.
void KeepWindowProcedureError(CInterpretor* interpreter, CIError* error);

// Runs a window procedure's body, a callable returning LRESULT, with that guard; a
// caught error makes the procedure answer `failed`.
template <class Body>
LRESULT GuardWindowProcedure(CInterpretor* interpreter, Body&& body, LRESULT failed = 0) noexcept {
    try {
        return body();
    } catch (CIError* error) {
        KeepWindowProcedureError(interpreter, error);
    } catch (const std::bad_alloc&) {
        KeepWindowProcedureError(interpreter, new (std::nothrow) CIError(15));
    }
    return failed;
}
