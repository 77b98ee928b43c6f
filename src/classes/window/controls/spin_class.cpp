#include <new>
#include <vector>

#include "classes/window/controls/range_controls.h"
#include "platform/controls/up_down.h"
#include "script/runtime/launch_info.h"
#include "script/runtime/run_application.h"

namespace {

enum : uint16_t {
    kSetRange = 38,
    kGetRangeMin,
    kGetRangeMax,
    kSetPos,
    kGetPos,
    kSetBuddy,
    kGetBuddy,
    kAddAccel,
    kRemoveAccel,
    kGetAccel,
    kGetNAccel,
    kSetBase,
    kGetBase,
    kOnScroll,
};

constexpr uint32_t kStyles = CISpin::kMethodCount + 11;

const MethodNameRow kNameTable[] = {
    {CISpin::kClassId, "Spin", 0, 0},
    ZORV_CHAINED_SHARED_ROWS,
    {kSetRange, "SetRange", 0, 0},
    {kGetRangeMin, "GetRangeMin", 0, 0},
    {kGetRangeMax, "GetRangeMax", 0, 0},
    {kSetPos, "SetPos", 0, 0},
    {kGetPos, "GetPos", 0, 0},
    {kSetBuddy, "SetBuddy", 0, 0},
    {kGetBuddy, "GetBuddy", 0, 0},
    {kAddAccel, "AddAccel", 0, 0},
    {kRemoveAccel, "RemoveAccel", 0, 0},
    {kGetAccel, "GetAccel", 0, 0},
    {kGetNAccel, "GetNAccel", 0, 0},
    {kSetBase, "SetBase", 0, 0},
    {kGetBase, "GetBase", 0, 0},
    {kOnScroll, "OnScroll", 0, 0},
    ZORV_CHAINED_CONSTANT_ROWS(CISpin::kMethodCount + 1),
    {kStyles, "WRAP", 0, kRowConstant},
    {kStyles + 1, "ALIGNRIGHT", 0, kRowConstant},
    {kStyles + 2, "ALIGNLEFT", 0, kRowConstant},
    {kStyles + 3, "ARROWKEYS", 0, kRowConstant},
    {kStyles + 4, "HORZ", 0, kRowConstant},
    {kStyles + 5, "NOTHOUSANDS", 0, kRowConstant},
    {0, nullptr, 0, 0},
};

const ClassLevelHandler kConstants[] = {
    ZORV_CHAINED_SHARED_CONSTANTS, &ChainedConstant<0xAAD00000u>, &ChainedConstant<0xAAD00001u>,
    &ChainedConstant<0xAAD00002u>, &ChainedConstant<0xAAD00003u>, &ChainedConstant<0xAAD00004u>,
    &ChainedConstant<0xAAD00005u>,
};

const uint32_t kSpinAttributeTable[] = {UDS_WRAP, UDS_ALIGNRIGHT,  UDS_ALIGNLEFT, UDS_ARROWKEYS,
                                        UDS_HORZ, UDS_NOTHOUSANDS, 0xFFFFFFFFu};

CIBaseClassImpl* NewSpin(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CISpin(&interpreter, record);
}

// The window of a window-like object; 0 for other objects.
HWND WindowOf(CIBaseClassImpl* object) {
    auto* window = dynamic_cast<CIChildWindow*>(object);
    return window != nullptr ? window->hwnd : 0;
}

} // namespace

const ScriptMethod<CISpin> CISpin::kMethods[kMethodCount] = {
    nullptr,
    ZORV_CHAINED_SHARED_METHODS(CISpin),
    &CISpin::SetRange,
    &CISpin::GetRangeMin,
    &CISpin::GetRangeMax,
    &CISpin::SetPos,
    &CISpin::GetPos,
    &CISpin::SetBuddy,
    &CISpin::GetBuddy,
    &CISpin::AddAccel,
    &CISpin::RemoveAccel,
    &CISpin::GetAccel,
    &CISpin::GetNAccel,
    &CISpin::SetBase,
    &CISpin::GetBase,
    &CISpin::OnScroll,
};

CISpin::CISpin(CInterpretor* interpreter, const CClassRecord* record)
    : CIChainedControl(interpreter, record, &Handler) {
    SetCreateParams(10, 10, 100, 30, WS_CHILD | WS_CLIPSIBLINGS, 0);
    AddAttributeTable(kSpinAttributeTable, kOwnTableBase);
}

void CISpin::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CISpin::Create() {
    const CValue* extra[kExtraArgSlots] = {};
    ParseCreateArgs(0x400005AF, extra, 0, uint32_t(interpreter->GetArgCount()));
    for (const CValue* value : extra) {
        if (value == nullptr) break;
        if (value->IsObjectOfClass(kEditClassId)) buddy = value->GetObject();
    }
    style |= WS_VISIBLE | UDS_SETBUDDYINT;
    if ((flagsA & kHidden) != 0) style &= ~WS_VISIBLE;
    HWND made = CreateUpDownControl(style, x, y, width, height, parent->hwnd, 0,
                                    GetInstanceHandle(), WindowOf(buddy), 100, 0, 0);
    if (made == 0) {
        Register();
        return;
    }
    CreateAndRegister("msctls_updown32", made, kCreateChild | kCreateProperty);
}

int CISpin::ReleaseReferencesTo(CIBaseClassImpl* object) {
    if (object != nullptr && object == buddy) {
        buddy = nullptr;
        return 0;
    }
    return CIChildWindow::ReleaseReferencesTo(object);
}

LRESULT CISpin::Handler(BOOL& handled, HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_HSCROLL && message != WM_VSCROLL) return 0;
    CISpin* spin = ChainedControlOf<CISpin>(HWND(lParam));
    if (spin == nullptr) return 0;
    handled = TRUE;
    // Positions are signed 16-bit numbers.
    PostChainedEvent(*spin, spin->onScroll,
                     {int32_t(static_cast<int16_t>(HIWORD(static_cast<DWORD_PTR>(wParam))))});
    return 0;
}

LRESULT CISpin::Send(UINT message, WPARAM wParam, LPARAM lParam) {
    return hwnd != 0 ? SendMessageA(hwnd, message, wParam, lParam) : 0;
}

void CISpin::SetRange() {
    DWORD range = DWORD(Send(UDM_GETRANGE));
    int32_t lower = interpreter->IsArgDefault(0) ? static_cast<int16_t>(HIWORD(range))
                                                 : interpreter->GetArgInt(0);
    int32_t upper = interpreter->IsArgDefault(1) ? static_cast<int16_t>(LOWORD(range))
                                                 : interpreter->GetArgInt(1);
    Send(UDM_SETRANGE, 0, MAKELONG(upper, lower));
}

void CISpin::GetRangeMin() {
    DWORD range = DWORD(Send(UDM_GETRANGE));
    interpreter->GetResultSlot()->SetInt(static_cast<int16_t>(HIWORD(range)));
}

void CISpin::GetRangeMax() {
    DWORD range = DWORD(Send(UDM_GETRANGE));
    interpreter->GetResultSlot()->SetInt(static_cast<int16_t>(LOWORD(range)));
}

void CISpin::SetPos() {
    if (!interpreter->IsArgDefault(0))
        Send(UDM_SETPOS, 0, LPARAM(interpreter->GetArgInt(0) & 0xFFFF));
}

void CISpin::GetPos() {
    interpreter->GetResultSlot()->SetInt(int32_t(Send(UDM_GETPOS)));
}

void CISpin::SetBuddy() {
    if (interpreter->IsArgDefault(0) || !interpreter->GetArg(0)->IsObjectOfClass(kEditClassId))
        return;
    buddy = interpreter->GetArg(0)->GetObject();
    Send(UDM_SETBUDDY, WPARAM(WindowOf(buddy)));
    if ((style & UDS_SETBUDDYINT) == 0) {
        style |= UDS_SETBUDDYINT;
        if (hwnd != 0) SetWindowLongA(hwnd, GWL_STYLE, LONG(style));
    }
}

void CISpin::GetBuddy() {
    HWND window = HWND(Send(UDM_GETBUDDY));
    buddy = window != 0 ? GetWindowObject(window, kWindowObjectProperty) : nullptr;
    CValue* result = interpreter->GetResultSlot();
    if (buddy != nullptr)
        result->SetObject(buddy, 1);
    else
        result->SetInt(0);
}

void CISpin::AddAccel() {
    if (interpreter->IsArgDefault(0)) return;
    UINT increment = UINT(interpreter->GetArgInt(0));
    UINT seconds = interpreter->IsArgDefault(1) ? 0 : UINT(interpreter->GetArgInt(1));
    std::vector<UDACCEL> table(size_t(Send(UDM_GETACCEL)) + 1);
    size_t count = size_t(Send(UDM_GETACCEL, WPARAM(table.size()), LPARAM(table.data())));
    if (count >= table.size()) return;
    size_t at = 0;
    while (at < count && table[at].nSec < seconds)
        ++at;
    for (size_t i = count; i > at; --i)
        table[i] = table[i - 1];
    table[at] = UDACCEL{seconds, increment};
    Send(UDM_SETACCEL, WPARAM(count + 1), LPARAM(table.data()));
}

void CISpin::RemoveAccel() {
    if (interpreter->IsArgDefault(0)) return;
    UINT value = interpreter->IsArgDefault(1) ? 0 : UINT(interpreter->GetArgInt(1));
    std::vector<UDACCEL> table(size_t(Send(UDM_GETACCEL)) + 1);
    size_t count = size_t(Send(UDM_GETACCEL, WPARAM(table.size()), LPARAM(table.data())));
    if (count > table.size()) count = table.size();
    for (size_t i = 0; i < count; ++i) {
        if (table[i].nSec != value && table[i].nInc != value) continue;
        for (size_t j = i; j + 1 < count; ++j)
            table[j] = table[j + 1];
        Send(UDM_SETACCEL, WPARAM(count - 1), LPARAM(table.data()));
        return;
    }
}

void CISpin::GetAccel() {
    std::vector<UDACCEL> table(size_t(Send(UDM_GETACCEL)) + 1);
    size_t count = size_t(Send(UDM_GETACCEL, WPARAM(table.size()), LPARAM(table.data())));
    if (count > table.size()) count = table.size();
    CValue* result = interpreter->GetResultSlot();
    result->MakeArray();
    CValue item(interpreter);
    for (size_t i = 0; i < count; ++i) {
        item.SetInt(int32_t(table[i].nSec));
        result->SetArrayItem(int32_t(2 * i), &item);
        item.SetInt(int32_t(table[i].nInc));
        result->SetArrayItem(int32_t(2 * i + 1), &item);
    }
}

void CISpin::GetNAccel() {
    interpreter->GetResultSlot()->SetInt(int32_t(Send(UDM_GETACCEL)));
}

void CISpin::SetBase() {
    if (!interpreter->IsArgDefault(0)) Send(UDM_SETBASE, WPARAM(interpreter->GetArgInt(0)));
}

void CISpin::GetBase() {
    interpreter->GetResultSlot()->SetInt(int32_t(Send(UDM_GETBASE)));
}

void CISpin::OnScroll() {
    ReadHandler(onScroll);
}

const ScriptClassInfo* GetSpinClassInfo() {
    static const ScriptClassInfo info{kNameTable,
                                      &NewSpin,
                                      CISpin::kMethodCount,
                                      kConstants,
                                      sizeof kConstants / sizeof kConstants[0],
                                      nullptr,
                                      nullptr};
    return &info;
}
