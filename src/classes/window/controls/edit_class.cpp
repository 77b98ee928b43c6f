#include "classes/window/controls/edit_class.h"

#include <new>

#include "classes/window/controls/control_table.h"
#include "classes/window/controls/range_controls.h"
#include "classes/window/window_class.h"
#include "platform/controls/edit.h"
#include "platform/gdi/dc_state.h"
#include "platform/user/input/input.h"
#include "script/runtime/run_application.h"

namespace {

constexpr uint32_t kEditStyle = WS_CHILD | WS_CLIPSIBLINGS | WS_BORDER;

const uint32_t kAttributeTable[] = {
    ES_MULTILINE, ES_AUTOHSCROLL, ES_AUTOVSCROLL, ES_READONLY, ES_PASSWORD, ES_UPPERCASE,
    ES_LOWERCASE, ES_NOHIDESEL,   ES_CENTER,      ES_LEFT,     ES_RIGHT,    0xFFFFFFFFu,
};

// Ids 38-80; an event property has no operation.
constexpr int kEventProperty = -1;
struct EditMethod {
    const char* name;
    int operation;
};
constexpr EditMethod kOwnMethods[] = {
    {"Copy", int(EditOperation::Copy)},
    {"Cut", int(EditOperation::Cut)},
    {"Paste", int(EditOperation::Paste)},
    {"Undo", int(EditOperation::Undo)},
    {"SetModified", int(EditOperation::SetModified)},
    {"GetSelection", int(EditOperation::GetSelection)},
    {"SetSelection", int(EditOperation::SetSelection)},
    {"DeleteSelection", int(EditOperation::DeleteSelection)},
    {"ClearUndoBuffer", int(EditOperation::ClearUndoBuffer)},
    {"SetMaxSize", int(EditOperation::SetMaxSize)},
    {"GetMaxSize", int(EditOperation::GetMaxSize)},
    {"OnTextChanged", kEventProperty},
    {"OnSetFocus", kEventProperty},
    {"OnKillFocus", kEventProperty},
    {"OnMaxTextReached", kEventProperty},
    {"OnHorizontalScroll", kEventProperty},
    {"OnVerticalScroll", kEventProperty},
    {"CanUndo", int(EditOperation::CanUndo)},
    {"GetFirstVisibleLine", int(EditOperation::GetFirstVisibleLine)},
    {"GetLineContent", int(EditOperation::GetLineContent)},
    {"GetLineCount", int(EditOperation::GetLineCount)},
    {"IsModified", int(EditOperation::IsModified)},
    {"GetStartSelection", int(EditOperation::GetStartSelection)},
    {"GetLineLength", int(EditOperation::GetLineLength)},
    {"Scroll", int(EditOperation::Scroll)},
    {"ScrollDownOneLine", int(EditOperation::ScrollDownOneLine)},
    {"ScrollUpOneLine", int(EditOperation::ScrollUpOneLine)},
    {"ScrollDownOnePage", int(EditOperation::ScrollDownOnePage)},
    {"ScrollUpOnePage", int(EditOperation::ScrollUpOnePage)},
    {"SetReadOnly", int(EditOperation::SetReadOnly)},
    {"SetTabStops", int(EditOperation::SetTabStops)},
    {"GetEndSelection", int(EditOperation::GetEndSelection)},
    {"ReplaceSelection", int(EditOperation::ReplaceSelection)},
    {"GetLineIndexFromCharIndex", int(EditOperation::GetLineIndexFromCharIndex)},
    {"GetCharIndexFromLineIndex", int(EditOperation::GetCharIndexFromLineIndex)},
    {"GetInt", int(EditOperation::GetInt)},
    {"GetFloat", int(EditOperation::GetFloat)},
    {"OnMouseDown", kEventProperty},
    {"OnMouseUp", kEventProperty},
    {"OnDblClick", kEventProperty},
    {"LoadText", int(EditOperation::LoadText)},
    {"SaveText", int(EditOperation::SaveText)},
    {"InsertText", int(EditOperation::InsertText)},
};
constexpr size_t kOwnMethodCount = sizeof kOwnMethods / sizeof kOwnMethods[0];
static_assert(kOwnMethodCount == CIEdit::kLastMethod - kSharedControlMethodCount);

constexpr const char* kOwnConstants[] = {
    "MULTILINE",  "HAUTOSCROLL", "VAUTOSCROLL",  "READONLY",    "PASSWORD",
    "UPPERCASE",  "LOWERCASE",   "NOHIDESEL",    "ALIGNCENTER", "ALIGNLEFT",
    "ALIGNRIGHT", "LEFTBUTTON",  "MIDDLEBUTTON", "RIGHTBUTTON", "INSERT_CANUNDO",
};
constexpr ClassLevelHandler kOwnConstantValues[] = {
    &ControlConstant<0xAAD00000u>, &ControlConstant<0xAAD00001u>, &ControlConstant<0xAAD00002u>,
    &ControlConstant<0xAAD00003u>, &ControlConstant<0xAAD00004u>, &ControlConstant<0xAAD00005u>,
    &ControlConstant<0xAAD00006u>, &ControlConstant<0xAAD00007u>, &ControlConstant<0xAAD00008u>,
    &ControlConstant<0xAAD00009u>, &ControlConstant<0xAAD0000Au>, &ControlConstant<0x89AF0001u>,
    &ControlConstant<0x89AF0002u>, &ControlConstant<0x89AF0003u>, &ControlConstant<kInsertCanUndo>,
};

constexpr auto kNameTable = ControlNameTable({CIEdit::kClassId, "Edit", 0, 0}, kOwnMethods,
                                             CIEdit::kFirstClassLevelId + 1, kOwnConstants);
constexpr auto kConstants = ControlConstants(kOwnConstantValues);

// The EDIT class's own procedure, for a window whose object has already gone.
WNDPROC classWindowProc = nullptr;

CIBaseClassImpl* NewEdit(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIEdit(&interpreter, record);
}

CIEdit* EditOf(HWND window) {
    return static_cast<CIEdit*>(GetControlObject(window, CIEdit::kClassId));
}

void PostMouseEvent(CIEdit& edit, const BlockRecord* handler, LPARAM lParam, int32_t button) {
    if (handler == nullptr) return;
    CValue source(&edit);
    CValue x(edit.interpreter, int32_t(int16_t(LOWORD(lParam))));
    CValue y(edit.interpreter, int32_t(int16_t(HIWORD(lParam))));
    CValue which(edit.interpreter, button);
    edit.interpreter->PostEvent(handler, &source, &x, &y, &which);
}

} // namespace

CIEdit::CIEdit(CInterpretor* interpreter, const CClassRecord* record)
    : CIChildWindow(interpreter, record) {
    SetCreateParams(10, 10, 100, 30, kEditStyle, 0);
    AddAttributeTable(kAttributeTable, kOwnTableBase);
}

const BlockRecord** CIEdit::EventField(uint16_t methodId) {
    switch (methodId) {
    case 49:
        return &onTextChanged;
    case 50:
        return &onSetFocus;
    case 51:
        return &onKillFocus;
    case 52:
        return &onMaxTextReached;
    case 53:
        return &onHorizontalScroll;
    case 54:
        return &onVerticalScroll;
    case 75:
        return &onMouseDown;
    case 76:
        return &onMouseUp;
    case 77:
        return &onDblClick;
    default:
        return nullptr;
    }
}

void CIEdit::CallMethod(uint16_t methodId) {
    if (methodId >= 1 && methodId <= kSharedControlMethodCount) {
        CallSharedControlMethod(*this, methodId);
        return;
    }
    if (methodId < kFirstOwnControlMethod || methodId > kLastMethod) RaiseNoSuchMethod(*this);
    int operation = kOwnMethods[methodId - kFirstOwnControlMethod].operation;
    if (operation == kEventProperty) {
        ReadHandler(*EventField(methodId));
        return;
    }
    RunEditOperation(*interpreter, hwnd, EditOperation(operation));
}

void CIEdit::Destroy(int flag) {
    if (savedWindowProc != nullptr && hwnd != 0)
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(savedWindowProc));
    savedWindowProc = nullptr;
    RemoveParentHandler(*this, &CIEdit::Handler, flag);
    CIChildWindow::Destroy(flag);
}

void CIEdit::Create() {
    ParseCreateArgs(0x400005AF, nullptr, 0, 100);
    Register();
}

void CIEdit::Register() {
    if (CreateControl("EDIT", 0, this, 0, kCreateChild | kCreateProperty) != 0) {
        savedWindowProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CIEdit::WindowProc)));
        if (classWindowProc == nullptr) classWindowProc = savedWindowProc;
        AddParentHandler(*this, &CIEdit::Handler);
    }
    CIChildWindow::Register();
}

int CIEdit::KeepsTabKey() {
    if ((style & ES_MULTILINE) == 0) return 0;
    return CanTakeFocus() ? 0 : 1;
}

LRESULT CIEdit::Handler(BOOL& handled, HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    CIEdit* edit = EditOf(static_cast<HWND>(lParam));
    if (edit == nullptr) return 0;
    if (message == WM_COMMAND) {
        if (PostEditNotification(*edit, HIWORD(wParam),
                                 {edit->onSetFocus, edit->onKillFocus, edit->onTextChanged,
                                  edit->onMaxTextReached, edit->onHorizontalScroll,
                                  edit->onVerticalScroll}))
            handled = TRUE;
        return 0;
    }
    if (message == WM_CTLCOLOREDIT || message == WM_CTLCOLORSTATIC) {
        HDC dc = static_cast<HDC>(wParam);
        SetTextColor(dc, edit->textColor);
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, edit->backColor);
        handled = TRUE;
        return static_cast<LRESULT>(edit->backBrush);
    }
    return 0;
}

LRESULT CIEdit::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CIEdit* edit = EditOf(window);
    WNDPROC next = edit != nullptr && edit->savedWindowProc != nullptr ? edit->savedWindowProc
                                                                       : classWindowProc;
    if (edit != nullptr) {
        switch (message) {
        case WM_LBUTTONDOWN:
            PostMouseEvent(*edit, edit->onMouseDown, lParam, kLeftButton);
            break;
        case WM_RBUTTONDOWN:
            PostMouseEvent(*edit, edit->onMouseDown, lParam, kRightButton);
            break;
        case WM_MBUTTONDOWN:
            PostMouseEvent(*edit, edit->onMouseDown, lParam, kMiddleButton);
            break;
        case WM_LBUTTONUP:
            PostMouseEvent(*edit, edit->onMouseUp, lParam, kLeftButton);
            break;
        case WM_RBUTTONUP:
            PostMouseEvent(*edit, edit->onMouseUp, lParam, kRightButton);
            break;
        case WM_MBUTTONUP:
            PostMouseEvent(*edit, edit->onMouseUp, lParam, kMiddleButton);
            break;
        case WM_LBUTTONDBLCLK:
            PostMouseEvent(*edit, edit->onDblClick, lParam, kLeftButton);
            break;
        case WM_RBUTTONDBLCLK:
            PostMouseEvent(*edit, edit->onDblClick, lParam, kRightButton);
            break;
        case WM_MBUTTONDBLCLK:
            PostMouseEvent(*edit, edit->onDblClick, lParam, kMiddleButton);
            break;
        default:
            break;
        }
    }
    if (next == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    return CallWindowProcA(next, window, message, wParam, lParam);
}

const ScriptClassInfo* GetEditClassInfo() {
    // A Spin holds the Edit that shows its position.
    static const uint32_t dependents[] = {CISpin::kClassId, 0};
    static const ScriptClassInfo info{kNameTable.data(),
                                      &NewEdit,
                                      CIEdit::kFirstClassLevelId,
                                      kConstants.data(),
                                      uint32_t(kConstants.size()),
                                      dependents,
                                      nullptr};
    return &info;
}
