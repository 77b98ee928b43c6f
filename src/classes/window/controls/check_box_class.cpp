#include <new>

#include "classes/window/controls/button_classes.h"
#include "platform/controls/button.h"

namespace {

enum : uint16_t {
    kIsChecked = 0x26,
    kSetCheck,
    kOnDblClick,
    kOnSetFocus,
    kOnKillFocus,
    kOnClick,
    kOnCheck,
};

const MethodNameRow kNameTable[] = {
    {CICheckBox::kClassId, "CheckBox", 0, 0},
    ZORV_CHAINED_SHARED_ROWS,
    {kIsChecked, "IsChecked", 0, 0},
    {kSetCheck, "SetCheck", 0, 0},
    {kOnDblClick, "OnDblClick", 0, 0},
    {kOnSetFocus, "OnSetFocus", 0, 0},
    {kOnKillFocus, "OnKillFocus", 0, 0},
    {kOnClick, "OnClick", 0, 0},
    {kOnCheck, "OnCheck", 0, 0},
    ZORV_CHAINED_CONSTANT_ROWS(CICheckBox::kMethodCount + 1),
    {CICheckBox::kMethodCount + 11, "LEFT", 0, kRowConstant},
    {CICheckBox::kMethodCount + 12, "RIGHT", 0, kRowConstant},
    {CICheckBox::kMethodCount + 13, "RIGHTBUTTON", 0, kRowConstant},
    {0, nullptr, 0, 0},
};

const ClassLevelHandler kConstants[] = {
    ZORV_CHAINED_SHARED_CONSTANTS, &ChainedConstant<0xAAD00000u>, &ChainedConstant<0xAAD00001u>,
    &ChainedConstant<0xAAD00002u>};

CIBaseClassImpl* NewCheckBox(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CICheckBox(&interpreter, record);
}

} // namespace

// The own attribute table of CheckBox and RadioButton: BS_LEFT, BS_RIGHT, BS_LEFTTEXT.
const uint32_t kCheckAttributeTable[] = {BS_LEFT, BS_RIGHT, BS_LEFTTEXT, 0xFFFFFFFFu};

const ScriptMethod<CICheckBox> CICheckBox::kMethods[kMethodCount] = {
    nullptr,
    ZORV_CHAINED_SHARED_METHODS(CICheckBox),
    &CICheckBox::IsChecked,
    &CICheckBox::SetCheck,
    &CICheckBox::OnDblClick,
    &CICheckBox::OnSetFocus,
    &CICheckBox::OnKillFocus,
    &CICheckBox::OnClick,
    &CICheckBox::OnCheck,
};

CICheckBox::CICheckBox(CInterpretor* interpreter, const CClassRecord* record)
    : CIChainedControl(interpreter, record, &Handler) {
    SetCreateParams(kNotGiven, kNotGiven, kNotGiven, kNotGiven,
                    WS_CHILD | WS_CLIPSIBLINGS | BS_NOTIFY | BS_AUTOCHECKBOX, 0);
    AddAttributeTable(kCheckAttributeTable, kOwnTableBase);
}

void CICheckBox::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CICheckBox::Create() {
    ParseCreateArgs(0x400005AF, nullptr, 0, uint32_t(interpreter->GetArgCount()));
    SizeFromCaption(30, 2, 12);
    CreateAndRegister("BUTTON", 0, kCreateChild | kCreateProperty);
}

void CICheckBox::PostCheck() {
    int32_t state = hwnd != 0 && SendMessageA(hwnd, BM_GETCHECK, 0, 0) != 0 ? 1 : 0;
    PostChainedEvent(*this, onCheck, {state});
}

LRESULT CICheckBox::Handler(BOOL& handled, HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    CICheckBox* box = nullptr;
    switch (message) {
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
        box = ChainedControlOf<CICheckBox>(HWND(lParam));
        if (box == nullptr) return 0;
        handled = TRUE;
        return ChainedControlColors(*box, wParam);
    case WM_COMMAND:
        box = ChainedControlOf<CICheckBox>(HWND(lParam));
        if (box == nullptr) return 0;
        switch (HIWORD(static_cast<DWORD_PTR>(wParam))) {
        case BN_CLICKED:
            PostChainedEvent(*box, box->onClick);
            box->PostCheck();
            break;
        case BN_DBLCLK:
            PostChainedEvent(*box, box->onDblClick);
            box->PostCheck();
            break;
        case BN_SETFOCUS:
            PostChainedEvent(*box, box->onSetFocus);
            break;
        case BN_KILLFOCUS:
            PostChainedEvent(*box, box->onKillFocus);
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

void CICheckBox::IsChecked() {
    interpreter->GetResultSlot()->SetInt(
        hwnd != 0 && SendMessageA(hwnd, BM_GETCHECK, 0, 0) != 0 ? 1 : 0);
}

void CICheckBox::SetCheck() {
    int32_t state = interpreter->IsArgDefault(0) ? 1 : interpreter->GetArgInt(0) != 0 ? 1 : 0;
    if (hwnd == 0) return;
    int32_t current = SendMessageA(hwnd, BM_GETCHECK, 0, 0) != 0 ? 1 : 0;
    if (state == current) return;
    SendMessageA(hwnd, BM_SETCHECK, WPARAM(state), 0);
    PostCheck();
}

void CICheckBox::OnClick() {
    ReadHandler(onClick);
}

void CICheckBox::OnDblClick() {
    ReadHandler(onDblClick);
}

void CICheckBox::OnSetFocus() {
    ReadHandler(onSetFocus);
}

void CICheckBox::OnKillFocus() {
    ReadHandler(onKillFocus);
}

void CICheckBox::OnCheck() {
    ReadHandler(onCheck);
}

const ScriptClassInfo* GetCheckBoxClassInfo() {
    static const ScriptClassInfo info{kNameTable,
                                      &NewCheckBox,
                                      CICheckBox::kMethodCount,
                                      kConstants,
                                      sizeof kConstants / sizeof kConstants[0],
                                      nullptr,
                                      nullptr};
    return &info;
}
