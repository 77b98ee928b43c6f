#include "classes/window/controls/combo_box_class.h"

#include <new>

#include "classes/window/controls/control_table.h"
#include "platform/controls/combo_box.h"
#include "script/interpreter/interpretor.h"

namespace {

constexpr uint32_t kComboBoxStyle = WS_CHILD | WS_CLIPSIBLINGS;
// The item-height index of the selection field.
constexpr WPARAM kSelectionField = WPARAM(-1);

const uint32_t kAttributeTable[] = {
    CBS_NOINTEGRALHEIGHT, CBS_AUTOHSCROLL,     CBS_SIMPLE, CBS_DROPDOWN,
    CBS_DROPDOWNLIST,     CBS_DISABLENOSCROLL, CBS_SORT,   0xFFFFFFFFu,
};

const ListMessages kMessages = {
    CB_RESETCONTENT,  CB_ADDSTRING,           CB_INSERTSTRING,
    CB_DELETESTRING,  CB_GETCURSEL,           CB_GETCOUNT,
    CB_FINDSTRING,    CB_FINDSTRINGEXACT,     CB_SELECTSTRING,
    CB_GETITEMDATA,   CB_SETITEMDATA,         CB_GETTOPINDEX,
    CB_SETTOPINDEX,   CB_GETHORIZONTALEXTENT, CB_SETHORIZONTALEXTENT,
    CB_GETITEMHEIGHT, CB_SETITEMHEIGHT,       CB_GETLBTEXTLEN,
    CB_GETLBTEXT,
};

struct ComboBoxMethod {
    const char* name;
    ScriptMethod<CIComboBox> method;
};
constexpr ComboBoxMethod kOwnMethods[] = {
    {"Clear", &CIComboBox::Clear},
    {"AddItem", &CIComboBox::AddItem},
    {"InsertItem", &CIComboBox::InsertItem},
    {"DeleteItem", &CIComboBox::DeleteItem},
    {"SelectItem", &CIComboBox::SelectItem},
    {"GetSelectedItem", &CIComboBox::GetSelectedItem},
    {"GetTextAt", &CIComboBox::GetTextAt},
    {"GetItemCount", &CIComboBox::GetItemCount},
    {"OnSelChanged", &CIComboBox::OnSelChanged},
    {"OnDblClick", &CIComboBox::OnDblClick},
    {"OnEditChanged", &CIComboBox::OnEditChanged},
    {"OnSetFocus", &CIComboBox::OnSetFocus},
    {"OnKillFocus", &CIComboBox::OnKillFocus},
    {"FindString", &CIComboBox::FindString},
    {"FindStringExact", &CIComboBox::FindStringExact},
    {"IsDroppedDown", &CIComboBox::IsDroppedDown},
    {"SetEditTextLimit", &CIComboBox::SetEditTextLimit},
    {"GetItemData", &CIComboBox::GetItemData},
    {"SetItemData", &CIComboBox::SetItemData},
    {"GetTextLengthAt", &CIComboBox::GetTextLengthAt},
    {"GetTopIndex", &CIComboBox::GetTopIndex},
    {"SetTopIndex", &CIComboBox::SetTopIndex},
    {"ShowDropDown", &CIComboBox::ShowDropDown},
    {"HideDropDown", &CIComboBox::HideDropDown},
    {"SelectString", &CIComboBox::SelectString},
    {"GetHorizontalExtent", &CIComboBox::GetHorizontalExtent},
    {"SetHorizontalExtent", &CIComboBox::SetHorizontalExtent},
    {"GetItemHeight", &CIComboBox::GetItemHeight},
    {"SetItemHeight", &CIComboBox::SetItemHeight},
    {"GetEditHeight", &CIComboBox::GetEditHeight},
    {"SetEditHeight", &CIComboBox::SetEditHeight},
    {"GetDroppedWidth", &CIComboBox::GetDroppedWidth},
    {"SetDroppedWidth", &CIComboBox::SetDroppedWidth},
};
constexpr size_t kOwnMethodCount = sizeof kOwnMethods / sizeof kOwnMethods[0];
static_assert(kOwnMethodCount == 70 - kSharedControlMethodCount);

constexpr const char* kOwnConstants[] = {
    "NOINTEGRALHEIGHT", "AUTOHSCROLL",     "SIMPLE", "DROPDOWN",
    "DROPDOWNLIST",     "DISABLENOSCROLL", "SORT",
};
constexpr ClassLevelHandler kOwnConstantValues[] = {
    &ControlConstant<0xAAD00000u>, &ControlConstant<0xAAD00001u>, &ControlConstant<0xAAD00002u>,
    &ControlConstant<0xAAD00003u>, &ControlConstant<0xAAD00004u>, &ControlConstant<0xAAD00005u>,
    &ControlConstant<0xAAD00006u>,
};

constexpr auto kNameTable = ControlNameTable({CIComboBox::kClassId, "ComboBox", 0, 0}, kOwnMethods,
                                             CIComboBox::kFirstClassLevelId + 1, kOwnConstants);
constexpr auto kConstants = ControlConstants(kOwnConstantValues);

CIBaseClassImpl* NewComboBox(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIComboBox(&interpreter, record);
}

} // namespace

CIComboBox::CIComboBox(CInterpretor* interpreter, const CClassRecord* record)
    : CIListControl(interpreter, record, kMessages, &CIComboBox::Handler) {
    SetCreateParams(10, 10, 100, 30, kComboBoxStyle, 0);
    AddAttributeTable(kAttributeTable, kOwnTableBase);
}

void CIComboBox::CallMethod(uint16_t methodId) {
    CallControlMethod(*this, kOwnMethods, methodId);
}

void CIComboBox::Register() {
    RegisterList("COMBOBOX");
}

LRESULT CIComboBox::Handler(BOOL& handled, HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_COMMAND) return 0;
    auto* box = static_cast<CIComboBox*>(GetControlObject(static_cast<HWND>(lParam), kClassId));
    if (box == nullptr) return 0;
    const BlockRecord* handler = nullptr;
    switch (HIWORD(wParam)) {
    case CBN_SELCHANGE:
        handler = box->onSelChanged;
        break;
    case CBN_DBLCLK:
        handler = box->onDblClick;
        break;
    case CBN_SETFOCUS:
        handler = box->onSetFocus;
        break;
    case CBN_KILLFOCUS:
        handler = box->onKillFocus;
        break;
    case CBN_EDITCHANGE:
        handler = box->onEditChanged;
        break;
    default:
        return 0;
    }
    handled = TRUE;
    PostControlEvent(*box, handler);
    return 0;
}

void CIComboBox::SelectItem() {
    if (!interpreter->IsArgDefault(0)) Send(CB_SETCURSEL, WPARAM(interpreter->GetArgInt(0)));
}

void CIComboBox::OnSelChanged() {
    ReadHandler(onSelChanged);
}

void CIComboBox::OnDblClick() {
    ReadHandler(onDblClick);
}

void CIComboBox::OnEditChanged() {
    ReadHandler(onEditChanged);
}

void CIComboBox::OnSetFocus() {
    ReadHandler(onSetFocus);
}

void CIComboBox::OnKillFocus() {
    ReadHandler(onKillFocus);
}

void CIComboBox::IsDroppedDown() {
    interpreter->GetResultSlot()->SetInt(int32_t(Send(CB_GETDROPPEDSTATE)));
}

void CIComboBox::SetEditTextLimit() {
    if (!interpreter->IsArgDefault(0)) Send(CB_LIMITTEXT, WPARAM(interpreter->GetArgInt(0)));
}

void CIComboBox::GetTextLengthAt() {
    interpreter->GetResultSlot()->SetInt(int32_t(Send(CB_GETLBTEXTLEN, WPARAM(IntArg(0, 0)))));
}

void CIComboBox::ShowDropDown() {
    Send(CB_SHOWDROPDOWN, TRUE);
}

void CIComboBox::HideDropDown() {
    Send(CB_SHOWDROPDOWN, FALSE);
}

void CIComboBox::GetEditHeight() {
    interpreter->GetResultSlot()->SetInt(int32_t(Send(CB_GETITEMHEIGHT, kSelectionField)));
}

void CIComboBox::SetEditHeight() {
    Send(CB_SETITEMHEIGHT, kSelectionField, LPARAM(IntArg(0, 15) & 0xFFFF));
}

void CIComboBox::GetDroppedWidth() {
    interpreter->GetResultSlot()->SetInt(int32_t(Send(CB_GETDROPPEDWIDTH)));
}

void CIComboBox::SetDroppedWidth() {
    Send(CB_SETDROPPEDWIDTH, WPARAM(IntArg(0, 10)));
}

const ScriptClassInfo* GetComboBoxClassInfo() {
    static const ScriptClassInfo info{kNameTable.data(),
                                      &NewComboBox,
                                      CIComboBox::kFirstClassLevelId,
                                      kConstants.data(),
                                      uint32_t(kConstants.size()),
                                      nullptr,
                                      nullptr};
    return &info;
}
