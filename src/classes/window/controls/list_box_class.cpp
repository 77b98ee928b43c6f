#include "classes/window/controls/list_box_class.h"

#include <new>
#include <utility>
#include <vector>

#include "classes/window/controls/control_table.h"
#include "platform/controls/list_box.h"
#include "platform/gdi/dc_state.h"
#include "script/interpreter/interpretor.h"

namespace {

constexpr uint32_t kListBoxStyle = WS_CHILD | WS_CLIPSIBLINGS | WS_BORDER | LBS_NOTIFY;
// A call takes at most this many arguments.
constexpr uint32_t kMostArguments = 16;

const uint32_t kAttributeTable[] = {
    LBS_DISABLENOSCROLL,
    LBS_EXTENDEDSEL,
    LBS_MULTIPLESEL,
    LBS_NOINTEGRALHEIGHT,
    LBS_NOSEL,
    LBS_SORT,
    0,
    LBS_USETABSTOPS,
    0xFFFFFFFFu,
};

const ListMessages kMessages = {
    LB_RESETCONTENT,  LB_ADDSTRING,           LB_INSERTSTRING,
    LB_DELETESTRING,  LB_GETCURSEL,           LB_GETCOUNT,
    LB_FINDSTRING,    LB_FINDSTRINGEXACT,     LB_SELECTSTRING,
    LB_GETITEMDATA,   LB_SETITEMDATA,         LB_GETTOPINDEX,
    LB_SETTOPINDEX,   LB_GETHORIZONTALEXTENT, LB_SETHORIZONTALEXTENT,
    LB_GETITEMHEIGHT, LB_SETITEMHEIGHT,       LB_GETTEXTLEN,
    LB_GETTEXT,
};

struct ListBoxMethod {
    const char* name;
    ScriptMethod<CIListBox> method;
};
constexpr ListBoxMethod kOwnMethods[] = {
    {"Clear", &CIListBox::Clear},
    {"AddItem", &CIListBox::AddItem},
    {"InsertItem", &CIListBox::InsertItem},
    {"DeleteItem", &CIListBox::DeleteItem},
    {"SelectItem", &CIListBox::SelectItem},
    {"GetSelectedItem", &CIListBox::GetSelectedItem},
    {"GetSelectedCount", &CIListBox::GetSelectedCount},
    {"GetTextAt", &CIListBox::GetTextAt},
    {"GetItemCount", &CIListBox::GetItemCount},
    {"OnDblClick", &CIListBox::OnDblClick},
    {"OnSelChanged", &CIListBox::OnSelChanged},
    {"FindString", &CIListBox::FindString},
    {"FindStringExact", &CIListBox::FindStringExact},
    {"GetCaretIndex", &CIListBox::GetCaretIndex},
    {"SetCaretIndex", &CIListBox::SetCaretIndex},
    {"GetItemData", &CIListBox::GetItemData},
    {"SetItemData", &CIListBox::SetItemData},
    {"GetItemHeight", &CIListBox::GetItemHeight},
    {"SetItemHeight", &CIListBox::SetItemHeight},
    {"GetItemRectLeft", &CIListBox::GetItemRectLeft},
    {"GetItemRectTop", &CIListBox::GetItemRectTop},
    {"GetItemRectWidth", &CIListBox::GetItemRectWidth},
    {"GetItemRectHeight", &CIListBox::GetItemRectHeight},
    {"IsItemSelected", &CIListBox::IsItemSelected},
    {"GetTextLength", &CIListBox::GetTextLength},
    {"GetTopIndex", &CIListBox::GetTopIndex},
    {"SetTopIndex", &CIListBox::SetTopIndex},
    {"GetItemAtXY", &CIListBox::GetItemAtXY},
    {"SelectString", &CIListBox::SelectString},
    {"SelectRange", &CIListBox::SelectRange},
    {"SetHorizontalExtent", &CIListBox::SetHorizontalExtent},
    {"SetTabStops", &CIListBox::SetTabStops},
    {"OnKillFocus", &CIListBox::OnKillFocus},
    {"OnSetFocus", &CIListBox::OnSetFocus},
    {"GetHorizontalExtent", &CIListBox::GetHorizontalExtent},
    {"GetSelectedItems", &CIListBox::GetSelectedItems},
};
constexpr size_t kOwnMethodCount = sizeof kOwnMethods / sizeof kOwnMethods[0];
static_assert(kOwnMethodCount == 73 - kSharedControlMethodCount);

// The constant of index 6 has no name; its id is the one USETABSTOPS would leave.
constexpr const char* kOwnConstants[] = {
    "DISABLENOSCROLL", "EXTENDEDSEL", "MULTIPLESEL", "NOINTEGRALHEIGHT",
    "NOSEL",           "SORT",        "USETABSTOPS",
};
constexpr ClassLevelHandler kOwnConstantValues[] = {
    &ControlConstant<0xAAD00000u>, &ControlConstant<0xAAD00001u>, &ControlConstant<0xAAD00002u>,
    &ControlConstant<0xAAD00003u>, &ControlConstant<0xAAD00004u>, &ControlConstant<0xAAD00005u>,
    &ControlConstant<0xAAD00007u>,
};

constexpr auto kNameTable = ControlNameTable({CIListBox::kClassId, "ListBox", 0, 0}, kOwnMethods,
                                             CIListBox::kFirstClassLevelId + 1, kOwnConstants);
constexpr auto kConstants = ControlConstants(kOwnConstantValues);

CIBaseClassImpl* NewListBox(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIListBox(&interpreter, record);
}

} // namespace

CIListBox::CIListBox(CInterpretor* interpreter, const CClassRecord* record)
    : CIListControl(interpreter, record, kMessages, &CIListBox::Handler) {
    SetCreateParams(10, 10, 100, 30, kListBoxStyle, 0);
    AddAttributeTable(kAttributeTable, kOwnTableBase);
}

void CIListBox::CallMethod(uint16_t methodId) {
    CallControlMethod(*this, kOwnMethods, methodId);
}

void CIListBox::Register() {
    RegisterList("LISTBOX");
}

LRESULT CIListBox::Handler(BOOL& handled, HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* box = static_cast<CIListBox*>(GetControlObject(static_cast<HWND>(lParam), kClassId));
    if (box == nullptr) return 0;
    if (message == WM_COMMAND) {
        const BlockRecord* handler = nullptr;
        switch (HIWORD(wParam)) {
        case LBN_SELCHANGE:
            handler = box->onSelChanged;
            break;
        case LBN_DBLCLK:
            handler = box->onDblClick;
            break;
        case LBN_SETFOCUS:
            handler = box->onSetFocus;
            break;
        case LBN_KILLFOCUS:
            handler = box->onKillFocus;
            break;
        default:
            return 0;
        }
        handled = TRUE;
        PostControlEvent(*box, handler);
        return 0;
    }
    if (message == WM_CTLCOLORLISTBOX) {
        HDC dc = static_cast<HDC>(wParam);
        SetTextColor(dc, box->textColor);
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, box->backColor);
        handled = TRUE;
        return static_cast<LRESULT>(box->backBrush);
    }
    return 0;
}

bool CIListBox::IsMultiSelection() {
    return (uint32_t(GetWindowLongA(hwnd, GWL_STYLE)) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0;
}

void CIListBox::SelectItem() {
    if (IsMultiSelection()) {
        Send(LB_SETSEL, WPARAM(IntArg(1, 1)), LPARAM(IntArg(0, 0)));
        return;
    }
    if (interpreter->IsArgDefault(0)) return;
    Send(LB_SETCURSEL, WPARAM(interpreter->GetArgInt(0)));
    // The control tells nothing of a selection made by message.
    PostControlEvent(*this, onSelChanged);
}

void CIListBox::GetSelectedCount() {
    int32_t count = 0;
    if (IsMultiSelection()) {
        count = int32_t(Send(LB_GETSELCOUNT));
        if (count == -1) count = 0;
    } else {
        count = Send(LB_GETCURSEL) != LB_ERR ? 1 : 0;
    }
    interpreter->GetResultSlot()->SetInt(count);
}

void CIListBox::OnDblClick() {
    ReadHandler(onDblClick);
}

void CIListBox::OnSelChanged() {
    ReadHandler(onSelChanged);
}

void CIListBox::OnKillFocus() {
    ReadHandler(onKillFocus);
}

void CIListBox::OnSetFocus() {
    ReadHandler(onSetFocus);
}

void CIListBox::GetCaretIndex() {
    interpreter->GetResultSlot()->SetInt(int32_t(Send(LB_GETCARETINDEX)));
}

void CIListBox::SetCaretIndex() {
    Send(LB_SETCARETINDEX, WPARAM(IntArg(0, 0)), 0);
}

RECT CIListBox::ItemRect() {
    RECT rect{};
    Send(LB_GETITEMRECT, WPARAM(IntArg(0, 0)), reinterpret_cast<LPARAM>(&rect));
    return rect;
}

void CIListBox::GetItemRectLeft() {
    interpreter->GetResultSlot()->SetInt(int32_t(ItemRect().left));
}

void CIListBox::GetItemRectTop() {
    interpreter->GetResultSlot()->SetInt(int32_t(ItemRect().top));
}

void CIListBox::GetItemRectWidth() {
    RECT rect = ItemRect();
    interpreter->GetResultSlot()->SetInt(int32_t(rect.right - rect.left));
}

void CIListBox::GetItemRectHeight() {
    RECT rect = ItemRect();
    interpreter->GetResultSlot()->SetInt(int32_t(rect.bottom - rect.top));
}

void CIListBox::IsItemSelected() {
    int32_t selected = 0;
    if (IsMultiSelection())
        selected = int32_t(Send(LB_GETSEL, WPARAM(IntArg(0, 0))));
    else if (!interpreter->IsArgDefault(0))
        selected = Send(LB_GETCURSEL) == LRESULT(interpreter->GetArgInt(0)) ? 1 : 0;
    interpreter->GetResultSlot()->SetInt(selected);
}

void CIListBox::GetTextLength() {
    interpreter->GetResultSlot()->SetInt(int32_t(Send(LB_GETTEXTLEN, WPARAM(IntArg(0, 0)))));
}

void CIListBox::GetItemAtXY() {
    uint32_t x = uint32_t(IntArg(0, 0));
    uint32_t y = uint32_t(IntArg(1, 0));
    LRESULT item = Send(LB_ITEMFROMPOINT, 0, LPARAM((y << 16) | (x & 0xFFFF)));
    // The high word tells a point outside the client area.
    interpreter->GetResultSlot()->SetInt(uint32_t(item) > 0xFFFF ? -1 : int32_t(item));
}

void CIListBox::SelectRange() {
    uint32_t first = uint32_t(IntArg(0, 0));
    uint32_t last = uint32_t(IntArg(1, 0));
    if (first > last) std::swap(first, last);
    Send(LB_SELITEMRANGE, WPARAM(IntArg(2, 1)), LPARAM(((last & 0xFFFF) << 16) | (first & 0xFFFF)));
}

void CIListBox::SetTabStops() {
    uint32_t unit = LOWORD(GetDialogBaseUnits());
    if (unit < 4) return;
    int stops[kMostArguments] = {};
    int n = 0;
    for (uint32_t i = 0; i < uint32_t(interpreter->GetArgCount()) && i < kMostArguments; ++i) {
        if (interpreter->IsArgDefault(i)) continue;
        stops[n++] = int(uint32_t(interpreter->GetArgInt(i)) / (unit / 4));
    }
    Send(LB_SETTABSTOPS, WPARAM(n), reinterpret_cast<LPARAM>(stops));
}

void CIListBox::GetSelectedItems() {
    CValue* result = interpreter->GetResultSlot();
    result->MakeArray();
    LRESULT count = Send(LB_GETSELCOUNT);
    if (count <= 0) return;
    std::vector<int> items(size_t(count), 0);
    LRESULT got = Send(LB_GETSELITEMS, WPARAM(count), reinterpret_cast<LPARAM>(items.data()));
    for (LRESULT i = 0; i < got && i < count; ++i) {
        CValue item(interpreter, int32_t(items[size_t(i)]));
        result->SetArrayItem(int32_t(i), &item);
    }
}

const ScriptClassInfo* GetListBoxClassInfo() {
    static const ScriptClassInfo info{kNameTable.data(),
                                      &NewListBox,
                                      CIListBox::kFirstClassLevelId,
                                      kConstants.data(),
                                      uint32_t(kConstants.size()),
                                      nullptr,
                                      nullptr};
    return &info;
}
