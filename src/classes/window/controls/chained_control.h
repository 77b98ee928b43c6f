// What the control classes built on CIChildWindow share: the message handler each class
// adds to its parent Window's chain, creation and registration in one step, the events a
// control posts about itself, its colours, and the rows every control's method table
// starts with.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "classes/window/child_window.h"
#include "classes/window/window_class.h"
#include "script/interpreter/interpretor.h"
#include "script/runtime/run_application.h"

class CIChainedControl : public CIChildWindow {
public:
    // `handler` is the class's part of its parent Window's procedure.
    CIChainedControl(CInterpretor* interpreter, const CClassRecord* record, ControlHandler handler);

    // Takes this control's entry of its handler off the parent's chain, unless the
    // interpreter is clearing everything (a nonzero flag); then the base destroy.
    void Destroy(int flag) override;

protected:
    // CreateControl, then the class handler joins the parent Window's chain and the object
    // registers. A window that could not be made adds no handler.
    HWND CreateAndRegister(const char* className, HWND existingHwnd, uint32_t createFlags);
    // Width and height not given are measured from the caption in the control's font on
    // the parent's device context: text + `extraWidth`, text + `extraHeight` (at least
    // `minHeight`). x and y not given become 10.
    void SizeFromCaption(int32_t extraWidth, int32_t extraHeight, int32_t minHeight);
    // The handler entry this object put on its parent's chain; the Window that holds it.
    ControlHandler handler_;
    CIWindow* handlerOwner_ = nullptr;
};

// The control of a class that a window handle's "iobj" property names; null for none or
// another class.
template <class T> T* ChainedControlOf(HWND window) {
    if (window == 0) return nullptr;
    CIBaseClassImpl* object = GetWindowObject(window, kWindowObjectProperty);
    return object != nullptr && object->classIndex == T::kClassId ? static_cast<T*>(object)
                                                                  : nullptr;
}

// Posts `handler` (when set) coalesced, the control as source and first argument, then the
// numbers.
void PostChainedEvent(CIChildWindow& control, const BlockRecord* handler,
                      std::initializer_list<int32_t> numbers = {});

// The WM_CTLCOLOR* answer of a control with its own colours: its text and background
// colours on the DC, opaque, and its background brush.
LRESULT ChainedControlColors(CIChildWindow& control, WPARAM dc);

// The 37 methods every window class shares, as name-table rows 1-37.
#define ZORV_CHAINED_SHARED_ROWS                                                                   \
    {1, "GetX", 0, 0}, {2, "GetY", 0, 0}, {3, "GetWidth", 0, 0}, {4, "GetHeight", 0, 0},           \
        {5, "Show", 0, 0}, {6, "Hide", 0, 0}, {7, "IsVisible", 0, 0}, {8, "SetPosition", 0, 0},    \
        {9, "SetSize", 0, 0}, {10, "ToBack", 0, 0}, {11, "SetTopMost", 0, 0},                      \
        {12, "Enable", 0, 0}, {13, "Disable", 0, 0}, {14, "IsEnabled", 0, 0},                      \
        {15, "SetText", 0, 0}, {16, "GetText", 0, 0}, {17, "ToFront", 0, 0},                       \
        {18, "GetXMouse", 0, 0}, {19, "GetYMouse", 0, 0}, {20, "SetColor", 0, 0},                  \
        {21, "SetBackColor", 0, 0}, {22, "GetColor", 0, 0}, {23, "GetBackColor", 0, 0},            \
        {24, "SetFont", 0, 0}, {25, "GetFont", 0, 0}, {26, "GetParentWindow", 0, 0},               \
        {27, "HasAttribute", 0, 0}, {28, "SetPrivateData", 0, 0}, {29, "GetPrivateData", 0, 0},    \
        {30, "GetXScreen", 0, 0}, {31, "GetYScreen", 0, 0}, {32, "GetXWindow", 0, 0},              \
        {33, "GetYWindow", 0, 0}, {34, "SetFocus", 0, 0}, {35, "HasFocus", 0, 0},                  \
        {36, "OnKeyDown", 0, 0}, {                                                                 \
        37, "OnKeyUp", 0, 0                                                                        \
    }

// The shared constants' rows, from id `first` on.
#define ZORV_CHAINED_CONSTANT_ROWS(first)                                                          \
    {(first), "NOBORDER", 0, kRowConstant}, {(first) + 1, "TABSTOP", 0, kRowConstant},             \
        {(first) + 2, "STATICEDGE", 0, kRowConstant}, {(first) + 3, "VSCROLL", 0, kRowConstant},   \
        {(first) + 4, "HSCROLL", 0, kRowConstant}, {(first) + 5, "HIDDEN", 0, kRowConstant},       \
        {(first) + 6, "BORDER", 0, kRowConstant}, {(first) + 7, "OKF_SHIFT", 0, kRowConstant},     \
        {(first) + 8, "OKF_CONTROL", 0, kRowConstant}, {                                           \
        (first) + 9, "OKF_ALT", 0, kRowConstant                                                    \
    }

// The method-table entries 1-37 of a class derived from CIChildWindow.
#define ZORV_CHAINED_SHARED_METHODS(T)                                                             \
    &T::GetX, &T::GetY, &T::GetWidth, &T::GetHeight, &T::Show, &T::Hide, &T::IsVisible,            \
        &T::SetPosition, &T::SetSizeMethod, &T::ToBack, &T::SetTopMost, &T::Enable, &T::Disable,   \
        &T::IsEnabled, &T::SetText, &T::GetText, &T::ToFront, &T::GetXMouse, &T::GetYMouse,        \
        &T::SetColorMethod, &T::SetBackColorMethod, &T::GetColor, &T::GetBackColor,                \
        &T::SetFontMethod, &T::GetFont, &T::GetParentWindow, &T::HasAttribute, &T::SetPrivateData, \
        &T::GetPrivateData, &T::GetXScreen, &T::GetYScreen, &T::GetXWindow, &T::GetYWindow,        \
        &T::SetFocusMethod, &T::HasFocus, &T::OnKeyDown, &T::OnKeyUp

// A constant's handler.
template <uint32_t Value> void ChainedConstant(CInterpretor& interpreter) {
    interpreter.GetResultSlot()->SetInt(static_cast<int32_t>(Value));
}

// The shared constants' handlers, in row order.
#define ZORV_CHAINED_SHARED_CONSTANTS                                                              \
    &ChainedConstant<0xDEB20000u>, &ChainedConstant<0xDEB00001u>, &ChainedConstant<0xDEB10002u>,   \
        &ChainedConstant<0xDEB00003u>, &ChainedConstant<0xDEB00004u>,                              \
        &ChainedConstant<0xDEB20005u>, &ChainedConstant<0xDEB00006u>, &ChainedConstant<1>,         \
        &ChainedConstant<2>, &ChainedConstant<4>
