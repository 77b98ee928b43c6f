// The Edit class: a field of text to type in, on the system's "EDIT" control. Its methods
// are the edit operations (edit_operations.h); it posts the field's notifications, and the
// mouse buttons seen by its own window procedure, which it puts in front of the control's.
#pragma once

#include <cstdint>

#include "classes/window/child_window.h"
#include "classes/window/controls/edit_operations.h"
#include "platform/user/messages.h"

class CIEdit : public CIChildWindow {
public:
    static constexpr uint32_t kClassId = 0x10;
    // Own methods 38-80, then the constants from 82 on.
    static constexpr uint16_t kLastMethod = 80;
    static constexpr uint32_t kFirstClassLevelId = 81;

    CIEdit(CInterpretor* interpreter, const CClassRecord* record);

    void CallMethod(uint16_t methodId) override;
    // Gives the control its own procedure back and leaves the parent's handler chain.
    void Destroy(int flag) override;
    // new Edit([parent], [text], [constants...], [x], [y], [width], [height]).
    void Create() override;
    // Makes the control, puts the Edit's procedure in front of it and joins the parent's
    // handler chain.
    void Register() override;
    // A multi-line field that the Tab walk passes by keeps the Tab key for itself.
    int KeepsTabKey() override;

    // The Edit's part of its parent Window's procedure.
    static LRESULT Handler(BOOL& handled, HWND parentHwnd, UINT message, WPARAM wParam,
                           LPARAM lParam);
    // The Edit's window procedure: mouse buttons become events.
    static LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    WNDPROC savedWindowProc = nullptr;
    const BlockRecord* onTextChanged = nullptr;
    const BlockRecord* onSetFocus = nullptr;
    const BlockRecord* onKillFocus = nullptr;
    const BlockRecord* onMaxTextReached = nullptr;
    const BlockRecord* onHorizontalScroll = nullptr;
    const BlockRecord* onVerticalScroll = nullptr;
    const BlockRecord* onMouseDown = nullptr;
    const BlockRecord* onMouseUp = nullptr;
    const BlockRecord* onDblClick = nullptr;

private:
    // Method id -> the handler field an event property sets, or null.
    const BlockRecord** EventField(uint16_t methodId);
};

const ScriptClassInfo* GetEditClassInfo();
