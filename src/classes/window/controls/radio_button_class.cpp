#include <new>

#include "classes/window/controls/button_classes.h"
#include "platform/controls/button.h"

namespace {

enum : uint16_t {
    kIsChecked = 0x26,
    kSetCheck,
    kSetGroupNumber,
    kGetGroupNumber,
    kOnDblClick,
    kOnSetFocus,
    kOnKillFocus,
    kOnClick,
    kOnCheck,
};

const MethodNameRow kNameTable[] = {
    {CIRadioButton::kClassId, "RadioButton", 0, 0},
    ZORV_CHAINED_SHARED_ROWS,
    {kIsChecked, "IsChecked", 0, 0},
    {kSetCheck, "SetCheck", 0, 0},
    {kSetGroupNumber, "SetGroupNumber", 0, 0},
    {kGetGroupNumber, "GetGroupNumber", 0, 0},
    {kOnDblClick, "OnDblClick", 0, 0},
    {kOnSetFocus, "OnSetFocus", 0, 0},
    {kOnKillFocus, "OnKillFocus", 0, 0},
    {kOnClick, "OnClick", 0, 0},
    {kOnCheck, "OnCheck", 0, 0},
    ZORV_CHAINED_CONSTANT_ROWS(CIRadioButton::kMethodCount + 1),
    {CIRadioButton::kMethodCount + 11, "LEFT", 0, kRowConstant},
    {CIRadioButton::kMethodCount + 12, "RIGHT", 0, kRowConstant},
    {CIRadioButton::kMethodCount + 13, "RIGHTBUTTON", 0, kRowConstant},
    {0, nullptr, 0, 0},
};

const ClassLevelHandler kConstants[] = {
    ZORV_CHAINED_SHARED_CONSTANTS, &ChainedConstant<0xAAD00000u>, &ChainedConstant<0xAAD00001u>,
    &ChainedConstant<0xAAD00002u>};

CIBaseClassImpl* NewRadioButton(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIRadioButton(&interpreter, record);
}

} // namespace

const ScriptMethod<CIRadioButton> CIRadioButton::kMethods[kMethodCount] = {
    nullptr,
    ZORV_CHAINED_SHARED_METHODS(CIRadioButton),
    &CIRadioButton::IsChecked,
    &CIRadioButton::SetCheck,
    &CIRadioButton::SetGroupNumber,
    &CIRadioButton::GetGroupNumber,
    &CIRadioButton::OnDblClick,
    &CIRadioButton::OnSetFocus,
    &CIRadioButton::OnKillFocus,
    &CIRadioButton::OnClick,
    &CIRadioButton::OnCheck,
};

CIRadioButton::CIRadioButton(CInterpretor* interpreter, const CClassRecord* record)
    : CIChainedControl(interpreter, record, &Handler) {
    SetCreateParams(10, 10, 100, 30, WS_CHILD | WS_CLIPSIBLINGS | BS_NOTIFY | BS_RADIOBUTTON, 0);
    AddAttributeTable(kCheckAttributeTable, kOwnTableBase);
}

void CIRadioButton::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CIRadioButton::Create() {
    ParseCreateArgs(0x400005AF, nullptr, 0, uint32_t(interpreter->GetArgCount()));
    CreateAndRegister("BUTTON", 0, kCreateChild | kCreateProperty);
}

void CIRadioButton::Report() {
    int32_t state = hwnd != 0 && SendMessageA(hwnd, BM_GETCHECK, 0, 0) == LRESULT(BST_CHECKED);
    PostChainedEvent(*this, onCheck, {state});
    lastChecked = state;
}

void CIRadioButton::UpdateGroup() {
    for (uint32_t position = interpreter->GetFirstObjectPos(kClassId); position != 0;) {
        auto* other = static_cast<CIRadioButton*>(interpreter->GetNextObject(kClassId, position));
        if (other == nullptr || other == this || other->groupNumber != groupNumber ||
            other->parent != parent || other->lastChecked != 1)
            continue;
        if (other->hwnd != 0) SendMessageA(other->hwnd, BM_SETCHECK, BST_UNCHECKED, 0);
        other->Report();
    }
}

LRESULT CIRadioButton::Handler(BOOL& handled, HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    CIRadioButton* button = nullptr;
    switch (message) {
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
        button = ChainedControlOf<CIRadioButton>(HWND(lParam));
        if (button == nullptr) return 0;
        handled = TRUE;
        return ChainedControlColors(*button, wParam);
    case WM_COMMAND:
        button = ChainedControlOf<CIRadioButton>(HWND(lParam));
        if (button == nullptr) return 0;
        switch (HIWORD(static_cast<DWORD_PTR>(wParam))) {
        case BN_CLICKED:
            button->UpdateGroup();
            SendMessageA(button->hwnd, BM_SETCHECK, BST_CHECKED, 0);
            PostChainedEvent(*button, button->onClick);
            button->Report();
            break;
        case BN_DBLCLK:
            button->UpdateGroup();
            SendMessageA(button->hwnd, BM_SETCHECK, BST_CHECKED, 0);
            PostChainedEvent(*button, button->onDblClick);
            break;
        case BN_SETFOCUS:
            PostChainedEvent(*button, button->onSetFocus);
            break;
        case BN_KILLFOCUS:
            PostChainedEvent(*button, button->onKillFocus);
            break;
        default:
            return 0;
        }
        handled = TRUE;
        return 0;
    default:
        return 0;
    }
}

void CIRadioButton::IsChecked() {
    interpreter->GetResultSlot()->SetInt(
        hwnd != 0 && SendMessageA(hwnd, BM_GETCHECK, 0, 0) != 0 ? 1 : 0);
}

void CIRadioButton::SetCheck() {
    bool uncheck = !interpreter->IsArgDefault(0) && interpreter->GetArgInt(0) == 0;
    if (uncheck) {
        if (hwnd != 0) SendMessageA(hwnd, BM_SETCHECK, BST_UNCHECKED, 0);
        Report();
        return;
    }
    UpdateGroup();
    if (hwnd != 0) SendMessageA(hwnd, BM_SETCHECK, BST_CHECKED, 0);
    Report();
}

void CIRadioButton::SetGroupNumber() {
    if (!interpreter->IsArgDefault(0)) groupNumber = interpreter->GetArgInt(0);
}

void CIRadioButton::GetGroupNumber() {
    interpreter->GetResultSlot()->SetInt(groupNumber);
}

void CIRadioButton::OnClick() {
    ReadHandler(onClick);
}

void CIRadioButton::OnDblClick() {
    ReadHandler(onDblClick);
}

void CIRadioButton::OnSetFocus() {
    ReadHandler(onSetFocus);
}

void CIRadioButton::OnKillFocus() {
    ReadHandler(onKillFocus);
}

void CIRadioButton::OnCheck() {
    ReadHandler(onCheck);
}

const ScriptClassInfo* GetRadioButtonClassInfo() {
    static const ScriptClassInfo info{kNameTable,
                                      &NewRadioButton,
                                      CIRadioButton::kMethodCount,
                                      kConstants,
                                      sizeof kConstants / sizeof kConstants[0],
                                      nullptr,
                                      nullptr};
    return &info;
}
