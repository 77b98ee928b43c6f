#include "classes/window/message_box_class.h"

#include <new>
#include <string>

#include "classes/window/window_class.h"
#include "platform/user/dialogs/message_box.h"
#include "platform/user/window_geometry.h"
#include "script/interpreter/interpretor.h"

namespace {

const MethodNameRow kNameTable[] = {
    {CIMessageBox::kClassId, "MessageBox", 0, 0},
    {CIMessageBox::kAbortRetryIgnoreBox, "AbortRetryIgnoreBox", 0, 0},
    {CIMessageBox::kOkBox, "OkBox", 0, 0},
    {CIMessageBox::kOkCancelBox, "OkCancelBox", 0, 0},
    {CIMessageBox::kRetryCancelBox, "RetryCancelBox", 0, 0},
    {CIMessageBox::kYesNoBox, "YesNoBox", 0, 0},
    {CIMessageBox::kYesNoCancelBox, "YesNoCancelBox", 0, 0},
    {CIMessageBox::kSetIcon, "SetIcon", 0, 0},
    {CIMessageBox::kSetDefaultButton, "SetDefaultButton", 0, 0},
    {CIMessageBox::kFirstClassLevelId + 1, "ICONEXCLAMATION", 0, kRowConstant},
    {CIMessageBox::kFirstClassLevelId + 2, "ICONINFORMATION", 0, kRowConstant},
    {CIMessageBox::kFirstClassLevelId + 3, "ICONQUESTION", 0, kRowConstant},
    {CIMessageBox::kFirstClassLevelId + 4, "ICONSTOP", 0, kRowConstant},
    {CIMessageBox::kFirstClassLevelId + 5, "IDABORT", 0, kRowConstant},
    {CIMessageBox::kFirstClassLevelId + 6, "IDCANCEL", 0, kRowConstant},
    {CIMessageBox::kFirstClassLevelId + 7, "IDIGNORE", 0, kRowConstant},
    {CIMessageBox::kFirstClassLevelId + 8, "IDNO", 0, kRowConstant},
    {CIMessageBox::kFirstClassLevelId + 9, "IDOK", 0, kRowConstant},
    {CIMessageBox::kFirstClassLevelId + 10, "IDRETRY", 0, kRowConstant},
    {CIMessageBox::kFirstClassLevelId + 11, "IDYES", 0, kRowConstant},
    {0, nullptr, 0, 0},
};

template <int32_t Value> void Constant(CInterpretor& interpreter) {
    interpreter.GetResultSlot()->SetInt(Value);
}

const ClassLevelHandler kConstants[] = {
    &Constant<MB_ICONWARNING>,
    &Constant<MB_ICONINFORMATION>,
    &Constant<MB_ICONQUESTION>,
    &Constant<MB_ICONERROR>,
    &Constant<IDABORT>,
    &Constant<IDCANCEL>,
    &Constant<IDIGNORE>,
    &Constant<IDNO>,
    &Constant<IDOK>,
    &Constant<IDRETRY>,
    &Constant<IDYES>,
};

CIBaseClassImpl* NewMessageBox(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIMessageBox(&interpreter, record);
}

bool IsBoxIcon(int32_t value) {
    return value == 0x10 || value == 0x20 || value == 0x30 || value == 0x40;
}

bool IsWindowValue(const CValue* value) {
    return value->IsObjectOfClass(CIWindow::kClassId) != 0;
}

} // namespace

const ScriptMethod<CIMessageBox> CIMessageBox::kMethods[kMethodCount] = {
    nullptr,
    &CIMessageBox::AbortRetryIgnoreBox,
    &CIMessageBox::OkBox,
    &CIMessageBox::OkCancelBox,
    &CIMessageBox::RetryCancelBox,
    &CIMessageBox::YesNoBox,
    &CIMessageBox::YesNoCancelBox,
    &CIMessageBox::SetIcon,
    &CIMessageBox::SetDefaultButton,
};

CIMessageBox::CIMessageBox(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1), owner(interpreter) {}

void CIMessageBox::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CIMessageBox::Destroy(int) {
    owner.SetInt(0);
    delete this;
}

int CIMessageBox::ReleaseReferencesTo(CIBaseClassImpl* object) {
    if (object != nullptr && owner.GetType() == kValueObject && owner.ObjectPayload() == object)
        owner.SetInt(0);
    return 0;
}

void CIMessageBox::Create() {
    const CValue* argument = interpreter->GetArg(0);
    if (IsWindowValue(argument)) owner.Assign(*argument);
    Register();
}

void CIMessageBox::ShowBox(uint32_t type) {
    // Everything is read before the box waits: a window procedure running meanwhile may
    // run an event handler, which reuses the call frame.
    CIBaseClassImpl* boxOwner =
        IsWindowValue(&owner) ? owner.ObjectPayload() : interpreter->currentWindow;
    std::string text;
    std::string caption;
    bool hasText = false;
    bool hasCaption = false;
    uint32_t boxIcon = icon;
    int texts = 0;
    const int32_t count = interpreter->GetArgCount();
    for (int32_t i = 0; i < count; ++i) {
        const CValue* argument = interpreter->GetArg(uint32_t(i));
        if (IsWindowValue(argument)) {
            boxOwner = argument->GetObject();
            continue;
        }
        if (texts < 2) {
            // A text not given stays empty.
            if (!argument->IsDefault()) {
                (texts == 0 ? text : caption) = argument->GetStringSafe();
                (texts == 0 ? hasText : hasCaption) = true;
            }
            ++texts;
            continue;
        }
        if (!argument->IsDefault() && IsBoxIcon(argument->GetInt())) boxIcon = argument->GetInt();
    }
    HWND ownerWindow = 0;
    if (boxOwner != nullptr && boxOwner->classIndex == CIWindow::kClassId) {
        HWND handle = static_cast<CIWindow*>(boxOwner)->hwnd;
        if (handle != 0 && IsWindow(handle)) ownerWindow = handle;
    }
    interpreter->RefreshBeforeModal();
    int answer =
        MessageBoxA(ownerWindow, hasText ? text.c_str() : nullptr,
                    hasCaption ? caption.c_str() : nullptr, defaultButton | boxIcon | type);
    interpreter->GetResultSlot()->SetInt(answer);
}

void CIMessageBox::AbortRetryIgnoreBox() {
    ShowBox(MB_ABORTRETRYIGNORE);
}

void CIMessageBox::OkBox() {
    ShowBox(MB_OK);
}

void CIMessageBox::OkCancelBox() {
    ShowBox(MB_OKCANCEL);
}

void CIMessageBox::RetryCancelBox() {
    ShowBox(MB_RETRYCANCEL);
}

void CIMessageBox::YesNoBox() {
    ShowBox(MB_YESNO);
}

void CIMessageBox::YesNoCancelBox() {
    ShowBox(MB_YESNOCANCEL);
}

void CIMessageBox::SetIcon() {
    int32_t value = interpreter->GetArgInt(0);
    icon = IsBoxIcon(value) ? uint32_t(value) : 0x10u;
}

void CIMessageBox::SetDefaultButton() {
    switch (interpreter->GetArgInt(0)) {
    case 2:
        defaultButton = MB_DEFBUTTON2;
        break;
    case 3:
        defaultButton = MB_DEFBUTTON3;
        break;
    case 4:
        defaultButton = MB_DEFBUTTON4;
        break;
    default:
        defaultButton = MB_DEFBUTTON1;
        break;
    }
}

const ScriptClassInfo* GetMessageBoxClassInfo() {
    static const ScriptClassInfo info{
        kNameTable, &NewMessageBox, CIMessageBox::kFirstClassLevelId, kConstants, 11,
        nullptr,    nullptr,
    };
    return &info;
}
