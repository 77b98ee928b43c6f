#include "classes/window/controls/control_table.h"

#include "platform/controls/edit.h"
#include "script/runtime/run_application.h"

namespace {

const ScriptMethod<CIChildWindow> kSharedMethods[kSharedControlMethodCount + 1] = {
    nullptr,
    &CIChildWindow::GetX,
    &CIChildWindow::GetY,
    &CIChildWindow::GetWidth,
    &CIChildWindow::GetHeight,
    &CIChildWindow::Show,
    &CIChildWindow::Hide,
    &CIChildWindow::IsVisible,
    &CIChildWindow::SetPosition,
    &CIChildWindow::SetSizeMethod,
    &CIChildWindow::ToBack,
    &CIChildWindow::SetTopMost,
    &CIChildWindow::Enable,
    &CIChildWindow::Disable,
    &CIChildWindow::IsEnabled,
    &CIChildWindow::SetText,
    &CIChildWindow::GetText,
    &CIChildWindow::ToFront,
    &CIChildWindow::GetXMouse,
    &CIChildWindow::GetYMouse,
    &CIChildWindow::SetColorMethod,
    &CIChildWindow::SetBackColorMethod,
    &CIChildWindow::GetColor,
    &CIChildWindow::GetBackColor,
    &CIChildWindow::SetFontMethod,
    &CIChildWindow::GetFont,
    &CIChildWindow::GetParentWindow,
    &CIChildWindow::HasAttribute,
    &CIChildWindow::SetPrivateData,
    &CIChildWindow::GetPrivateData,
    &CIChildWindow::GetXScreen,
    &CIChildWindow::GetYScreen,
    &CIChildWindow::GetXWindow,
    &CIChildWindow::GetYWindow,
    &CIChildWindow::SetFocusMethod,
    &CIChildWindow::HasFocus,
    &CIChildWindow::OnKeyDown,
    &CIChildWindow::OnKeyUp,
};

} // namespace

void CallSharedControlMethod(CIChildWindow& control, uint16_t methodId) {
    CallMethodFromTable(control, kSharedMethods, methodId);
}

CIChildWindow* GetControlObject(HWND window, uint32_t classId) {
    if (window == 0) return nullptr;
    CIBaseClassImpl* object = GetWindowObject(window, kWindowObjectProperty);
    if (object == nullptr || object->classIndex != classId) return nullptr;
    return static_cast<CIChildWindow*>(object);
}

void PostControlEvent(CIChildWindow& control, const BlockRecord* handler) {
    if (handler == nullptr) return;
    CValue source(&control);
    control.interpreter->PostEventCoalesced(handler, &control, &source);
}

bool PostEditNotification(CIChildWindow& control, WORD code,
                          const EditNotificationHandlers& handlers) {
    const BlockRecord* handler = nullptr;
    switch (code) {
    case EN_SETFOCUS:
        handler = handlers.setFocus;
        break;
    case EN_KILLFOCUS:
        handler = handlers.killFocus;
        break;
    case EN_CHANGE:
        handler = handlers.textChanged;
        break;
    case EN_MAXTEXT:
        handler = handlers.maxTextReached;
        break;
    case EN_HSCROLL:
        handler = handlers.horizontalScroll;
        break;
    case EN_VSCROLL:
        handler = handlers.verticalScroll;
        break;
    default:
        return false;
    }
    PostControlEvent(control, handler);
    return true;
}

void AddParentHandler(CIChildWindow& control, ControlHandler handler) {
    if (control.parent != nullptr) control.parent->AddControlHandler(handler);
}

void RemoveParentHandler(CIChildWindow& control, ControlHandler handler, int destroyFlag) {
    if (destroyFlag == 0 && control.parent != nullptr)
        control.parent->RemoveControlHandler(handler);
}
