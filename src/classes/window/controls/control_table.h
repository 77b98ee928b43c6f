// What the method tables of the control classes share: the 37 methods every control takes
// from the child-window base at ids 1-37, their names, and the ten shared constants
// (NOBORDER to OKF_ALT) that each class lists at its own ids, ahead of its own constants.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "classes/window/child_window.h"
#include "classes/window/window_class.h"
#include "script/classes/base_class.h"
#include "script/interpreter/interpretor.h"

inline constexpr uint16_t kSharedControlMethodCount = 37;
inline constexpr uint16_t kFirstOwnControlMethod = kSharedControlMethodCount + 1;
inline constexpr size_t kSharedControlConstantCount = 10;

inline constexpr std::array<const char*, kSharedControlMethodCount> kSharedControlMethodNames = {
    "GetX",           "GetY",
    "GetWidth",       "GetHeight",
    "Show",           "Hide",
    "IsVisible",      "SetPosition",
    "SetSize",        "ToBack",
    "SetTopMost",     "Enable",
    "Disable",        "IsEnabled",
    "SetText",        "GetText",
    "ToFront",        "GetXMouse",
    "GetYMouse",      "SetColor",
    "SetBackColor",   "GetColor",
    "GetBackColor",   "SetFont",
    "GetFont",        "GetParentWindow",
    "HasAttribute",   "SetPrivateData",
    "GetPrivateData", "GetXScreen",
    "GetYScreen",     "GetXWindow",
    "GetYWindow",     "SetFocus",
    "HasFocus",       "OnKeyDown",
    "OnKeyUp",
};

inline constexpr std::array<const char*, kSharedControlConstantCount> kSharedControlConstantNames =
    {
        "NOBORDER", "TABSTOP", "STATICEDGE", "VSCROLL",     "HSCROLL",
        "HIDDEN",   "BORDER",  "OKF_SHIFT",  "OKF_CONTROL", "OKF_ALT",
};

template <uint32_t Value> void ControlConstant(CInterpretor& interpreter) {
    interpreter.GetResultSlot()->SetInt(static_cast<int32_t>(Value));
}

// The values of the shared constants, in their id order.
inline constexpr std::array<ClassLevelHandler, kSharedControlConstantCount>
    kSharedControlConstants = {
        &ControlConstant<0xDEB20000u>, &ControlConstant<0xDEB00001u>, &ControlConstant<0xDEB10002u>,
        &ControlConstant<0xDEB00003u>, &ControlConstant<0xDEB00004u>, &ControlConstant<0xDEB20005u>,
        &ControlConstant<0xDEB00006u>, &ControlConstant<1>,           &ControlConstant<2>,
        &ControlConstant<4>,
};

// Runs shared method `methodId` (1 to 37) of a control; error 11 for another id.
void CallSharedControlMethod(CIChildWindow& control, uint16_t methodId);

// Runs method `methodId` of a control: ids 1-37 the shared ones, the others from the
// class's rows of its own methods ({name, method}), whose first serves id 38.
template <class T, class Row, size_t N>
void CallControlMethod(T& control, const Row (&ownMethods)[N], uint16_t methodId) {
    if (methodId >= 1 && methodId <= kSharedControlMethodCount) {
        CallSharedControlMethod(control, methodId);
        return;
    }
    if (methodId < kFirstOwnControlMethod || methodId >= kFirstOwnControlMethod + N)
        RaiseNoSuchMethod(control);
    const ScriptMethod<T>& method = ownMethods[methodId - kFirstOwnControlMethod].method;
    (control.*method)();
}

// The name of a row of a class's own methods: a plain name, or a record with a name.
constexpr const char* RowName(const char* name) {
    return name;
}
template <class Row> constexpr const char* RowName(const Row& row) {
    return row.name;
}

// A control's name table: the class row, the shared methods, the class's own methods
// (`ownMethods`, ids from 38 on; a null name leaves its id out), the shared constants from
// `firstConstantId` on, the class's own constants (`ownConstants`, their ids following),
// and the end row.
template <class MethodRow, size_t M, size_t C>
constexpr auto ControlNameTable(MethodNameRow classRow, const MethodRow (&ownMethods)[M],
                                uint32_t firstConstantId, const char* const (&ownConstants)[C]) {
    std::array<MethodNameRow,
               1 + kSharedControlMethodCount + M + kSharedControlConstantCount + C + 1>
        rows{};
    size_t n = 0;
    rows[n++] = classRow;
    uint32_t id = 1;
    for (const char* name : kSharedControlMethodNames)
        rows[n++] = {id++, name, 0, 0};
    for (const MethodRow& row : ownMethods) {
        if (RowName(row) != nullptr) rows[n++] = {id, RowName(row), 0, 0};
        ++id;
    }
    id = firstConstantId;
    for (const char* name : kSharedControlConstantNames)
        rows[n++] = {id++, name, 0, kRowConstant};
    for (const char* name : ownConstants) {
        if (name != nullptr) rows[n++] = {id, name, 0, kRowConstant};
        ++id;
    }
    rows[n] = {0, nullptr, 0, 0};
    return rows;
}

// The class-level handlers of a control: the shared constants, then the class's own.
template <size_t C> constexpr auto ControlConstants(const ClassLevelHandler (&ownConstants)[C]) {
    std::array<ClassLevelHandler, kSharedControlConstantCount + C> handlers{};
    size_t n = 0;
    for (ClassLevelHandler handler : kSharedControlConstants)
        handlers[n++] = handler;
    for (ClassLevelHandler handler : ownConstants)
        handlers[n++] = handler;
    return handlers;
}

// The script object of a control window when it belongs to class `classId`, else null.
CIChildWindow* GetControlObject(HWND window, uint32_t classId);

// Posts `handler` (when set) with the control as its only argument, coalesced by the
// control.
void PostControlEvent(CIChildWindow& control, const BlockRecord* handler);

// The handlers of the six notifications an Edit or a RichEdit field sends its parent.
struct EditNotificationHandlers {
    const BlockRecord* setFocus;
    const BlockRecord* killFocus;
    const BlockRecord* textChanged;
    const BlockRecord* maxTextReached;
    const BlockRecord* horizontalScroll;
    const BlockRecord* verticalScroll;
};
// Posts the event of an EN_ notification `code`; false for a code of no such event.
bool PostEditNotification(CIChildWindow& control, WORD code,
                          const EditNotificationHandlers& handlers);

// A control joins its parent's handler chain, and leaves it again unless the interpreter
// is clearing up at its end (`destroyFlag` nonzero).
void AddParentHandler(CIChildWindow& control, ControlHandler handler);
void RemoveParentHandler(CIChildWindow& control, ControlHandler handler, int destroyFlag);
