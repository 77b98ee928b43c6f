#include <new>
#include <utility>

#include "classes/window/controls/range_controls.h"
#include "platform/controls/trackbar.h"

namespace {

enum : uint16_t {
    kGetPos = 38,
    kSetTick,
    kSetPos,
    kSetRange,
    kGetRangeMin,
    kGetRangeMax,
    kGetTick,
    kClearTick,
    kSetSelection,
    kGetTickPos,
    kGetNumTicks,
    kGetSelectionStart,
    kGetSelectionEnd,
    kClearSelection,
    kSetTickFrequency,
    kSetPageSize,
    kGetPageSize,
    kSetLineSize,
    kGetLineSize,
    kSetThumbLength,
    kGetThumbLength,
    kOnScroll,
};

constexpr uint32_t kStyles = CISlider::kMethodCount + 11;
constexpr uint32_t kCodes = kStyles + 13;

const MethodNameRow kNameTable[] = {
    {CISlider::kClassId, "Slider", 0, 0},
    ZORV_CHAINED_SHARED_ROWS,
    {kGetPos, "GetPos", 0, 0},
    {kSetTick, "SetTick", 0, 0},
    {kSetPos, "SetPos", 0, 0},
    {kSetRange, "SetRange", 0, 0},
    {kGetRangeMin, "GetRangeMin", 0, 0},
    {kGetRangeMax, "GetRangeMax", 0, 0},
    {kGetTick, "GetTick", 0, 0},
    {kClearTick, "ClearTick", 0, 0},
    {kSetSelection, "SetSelection", 0, 0},
    {kGetTickPos, "GetTickPos", 0, 0},
    {kGetNumTicks, "GetNumTicks", 0, 0},
    {kGetSelectionStart, "GetSelectionStart", 0, 0},
    {kGetSelectionEnd, "GetSelectionEnd", 0, 0},
    {kClearSelection, "ClearSelection", 0, 0},
    {kSetTickFrequency, "SetTickFrequency", 0, 0},
    {kSetPageSize, "SetPageSize", 0, 0},
    {kGetPageSize, "GetPageSize", 0, 0},
    {kSetLineSize, "SetLineSize", 0, 0},
    {kGetLineSize, "GetLineSize", 0, 0},
    {kSetThumbLength, "SetThumbLength", 0, 0},
    {kGetThumbLength, "GetThumbLength", 0, 0},
    {kOnScroll, "OnScroll", 0, 0},
    ZORV_CHAINED_CONSTANT_ROWS(CISlider::kMethodCount + 1),
    {kStyles, "AUTOTICKS", 0, kRowConstant},
    {kStyles + 1, "VERT", 0, kRowConstant},
    {kStyles + 2, "HORZ", 0, kRowConstant},
    {kStyles + 3, "TOP", 0, kRowConstant},
    {kStyles + 4, "BOTTOM", 0, kRowConstant},
    {kStyles + 5, "LEFT", 0, kRowConstant},
    {kStyles + 6, "RIGHT", 0, kRowConstant},
    {kStyles + 7, "BOTH", 0, kRowConstant},
    {kStyles + 8, "NOTICKS", 0, kRowConstant},
    {kStyles + 9, "ENABLESELRANGE", 0, kRowConstant},
    {kStyles + 10, "FIXEDLENGTH", 0, kRowConstant},
    {kStyles + 11, "NOTHUMB", 0, kRowConstant},
    {kStyles + 12, "TOOLTIPS", 0, kRowConstant},
    {kCodes, "SCRCODE_LINEUP", 0, kRowConstant},
    {kCodes + 1, "SCRCODE_LINEDOWN", 0, kRowConstant},
    {kCodes + 2, "SCRCODE_PAGEUP", 0, kRowConstant},
    {kCodes + 3, "SCRCODE_PAGEDOWN", 0, kRowConstant},
    {kCodes + 4, "SCRCODE_THUMBPOSITION", 0, kRowConstant},
    {kCodes + 5, "SCRCODE_THUMBTRACK", 0, kRowConstant},
    {kCodes + 6, "SCRCODE_TOP", 0, kRowConstant},
    {kCodes + 7, "SCRCODE_BOTTOM", 0, kRowConstant},
    {kCodes + 8, "SCRCODE_ENDTRACK", 0, kRowConstant},
    {0, nullptr, 0, 0},
};

const ClassLevelHandler kConstants[] = {
    ZORV_CHAINED_SHARED_CONSTANTS, &ChainedConstant<0xAAD00000u>, &ChainedConstant<0xAAD00001u>,
    &ChainedConstant<0xAAD00002u>, &ChainedConstant<0xAAD00003u>, &ChainedConstant<0xAAD00004u>,
    &ChainedConstant<0xAAD00005u>, &ChainedConstant<0xAAD00006u>, &ChainedConstant<0xAAD00007u>,
    &ChainedConstant<0xAAD00008u>, &ChainedConstant<0xAAD00009u>, &ChainedConstant<0xAAD0000Au>,
    &ChainedConstant<0xAAD0000Bu>, &ChainedConstant<0xAAD0000Cu>, &ChainedConstant<0>,
    &ChainedConstant<1>,           &ChainedConstant<2>,           &ChainedConstant<3>,
    &ChainedConstant<4>,           &ChainedConstant<5>,           &ChainedConstant<6>,
    &ChainedConstant<7>,           &ChainedConstant<8>,
};

const uint32_t kSliderAttributeTable[] = {
    TBS_AUTOTICKS,   TBS_VERT,    TBS_HORZ,     TBS_TOP,     TBS_BOTTOM,
    TBS_LEFT,        TBS_RIGHT,   TBS_BOTH,     TBS_NOTICKS, TBS_ENABLESELRANGE,
    TBS_FIXEDLENGTH, TBS_NOTHUMB, TBS_TOOLTIPS, 0xFFFFFFFFu,
};

CIBaseClassImpl* NewSlider(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CISlider(&interpreter, record);
}

// Whether a value survives the 16-bit halves of a packed range.
bool FitsInWord(int32_t value) {
    return value >= -32768 && value <= 32767;
}

} // namespace

const ScriptMethod<CISlider> CISlider::kMethods[kMethodCount] = {
    nullptr,
    ZORV_CHAINED_SHARED_METHODS(CISlider),
    &CISlider::GetPos,
    &CISlider::SetTick,
    &CISlider::SetPos,
    &CISlider::SetRange,
    &CISlider::GetRangeMin,
    &CISlider::GetRangeMax,
    &CISlider::GetTick,
    &CISlider::ClearTick,
    &CISlider::SetSelection,
    &CISlider::GetTickPos,
    &CISlider::GetNumTicks,
    &CISlider::GetSelectionStart,
    &CISlider::GetSelectionEnd,
    &CISlider::ClearSelection,
    &CISlider::SetTickFrequency,
    &CISlider::SetPageSize,
    &CISlider::GetPageSize,
    &CISlider::SetLineSize,
    &CISlider::GetLineSize,
    &CISlider::SetThumbLength,
    &CISlider::GetThumbLength,
    &CISlider::OnScroll,
};

CISlider::CISlider(CInterpretor* interpreter, const CClassRecord* record)
    : CIChainedControl(interpreter, record, &Handler) {
    SetCreateParams(10, 10, kNotGiven, kNotGiven, WS_CHILD | WS_CLIPSIBLINGS, 0);
    AddAttributeTable(kSliderAttributeTable, kOwnTableBase);
}

void CISlider::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CISlider::Create() {
    ParseCreateArgs(0x4000058F, nullptr, 0, uint32_t(interpreter->GetArgCount()));
    SizeByOrientation(*this, (style & TBS_VERT) != 0);
    CreateAndRegister("msctls_trackbar32", 0, kCreateChild | kCreateProperty);
}

LRESULT CISlider::Handler(BOOL& handled, HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_HSCROLL && message != WM_VSCROLL) return 0;
    CISlider* slider = ChainedControlOf<CISlider>(HWND(lParam));
    if (slider == nullptr) return 0;
    handled = TRUE;
    if (slider->onScroll != nullptr)
        PostChainedEvent(
            *slider, slider->onScroll,
            {int32_t(slider->Send(TBM_GETPOS)), int32_t(LOWORD(static_cast<DWORD_PTR>(wParam)))});
    return 0;
}

LRESULT CISlider::Send(UINT message, WPARAM wParam, LPARAM lParam) {
    return hwnd != 0 ? SendMessageA(hwnd, message, wParam, lParam) : 0;
}

void CISlider::ResultOf(UINT message) {
    interpreter->GetResultSlot()->SetInt(int32_t(Send(message)));
}

void CISlider::GetPos() {
    ResultOf(TBM_GETPOS);
}

void CISlider::GetRangeMin() {
    ResultOf(TBM_GETRANGEMIN);
}

void CISlider::GetRangeMax() {
    ResultOf(TBM_GETRANGEMAX);
}

void CISlider::GetNumTicks() {
    ResultOf(TBM_GETNUMTICS);
}

void CISlider::GetSelectionStart() {
    ResultOf(TBM_GETSELSTART);
}

void CISlider::GetSelectionEnd() {
    ResultOf(TBM_GETSELEND);
}

void CISlider::GetPageSize() {
    ResultOf(TBM_GETPAGESIZE);
}

void CISlider::GetLineSize() {
    ResultOf(TBM_GETLINESIZE);
}

void CISlider::GetThumbLength() {
    ResultOf(TBM_GETTHUMBLENGTH);
}

void CISlider::SetTick() {
    if (!interpreter->IsArgDefault(0)) Send(TBM_SETTIC, 0, LPARAM(interpreter->GetArgInt(0)));
}

void CISlider::SetPos() {
    if (!interpreter->IsArgDefault(0)) Send(TBM_SETPOS, TRUE, LPARAM(interpreter->GetArgInt(0)));
}

void CISlider::SetRange() {
    int32_t minimum =
        interpreter->IsArgDefault(0) ? int32_t(Send(TBM_GETRANGEMIN)) : interpreter->GetArgInt(0);
    int32_t maximum =
        interpreter->IsArgDefault(1) ? int32_t(Send(TBM_GETRANGEMAX)) : interpreter->GetArgInt(1);
    if (minimum > maximum) std::swap(minimum, maximum);
    // The packed message holds 16-bit ends; wider ones (a rate up to 45000) are set one by
    // one rather than wrapped into a range the script never asked for.
    if (FitsInWord(minimum) && FitsInWord(maximum)) {
        Send(TBM_SETRANGE, TRUE, MAKELONG(minimum, maximum));
        return;
    }
    Send(TBM_SETRANGEMIN, FALSE, LPARAM(minimum));
    Send(TBM_SETRANGEMAX, TRUE, LPARAM(maximum));
}

void CISlider::SetSelection() {
    int32_t start =
        interpreter->IsArgDefault(0) ? int32_t(Send(TBM_GETSELSTART)) : interpreter->GetArgInt(0);
    int32_t end =
        interpreter->IsArgDefault(1) ? int32_t(Send(TBM_GETSELEND)) : interpreter->GetArgInt(1);
    if (start > end) std::swap(start, end);
    if (FitsInWord(start) && FitsInWord(end)) {
        Send(TBM_SETSEL, TRUE, MAKELONG(start, end));
        return;
    }
    Send(TBM_SETSELSTART, FALSE, LPARAM(start));
    Send(TBM_SETSELEND, TRUE, LPARAM(end));
}

void CISlider::ClearTick() {
    Send(TBM_CLEARTICS, TRUE);
}

void CISlider::ClearSelection() {
    Send(TBM_CLEARSEL, TRUE);
}

void CISlider::GetTick() {
    int32_t i = interpreter->IsArgDefault(0) ? 0 : interpreter->GetArgInt(0);
    int32_t ticks = int32_t(Send(TBM_GETNUMTICS));
    int32_t value;
    if (i == 0)
        value = int32_t(Send(TBM_GETRANGEMIN));
    else if (i > 0 && i < ticks - 1)
        value = int32_t(Send(TBM_GETTIC, WPARAM(i - 1)));
    else
        value = int32_t(Send(TBM_GETRANGEMAX));
    interpreter->GetResultSlot()->SetInt(value);
}

void CISlider::GetTickPos() {
    int32_t i = interpreter->IsArgDefault(0) ? 0 : interpreter->GetArgInt(0);
    int32_t ticks = int32_t(Send(TBM_GETNUMTICS));
    int32_t value;
    if (i > 0 && i < ticks - 1) {
        value = int32_t(Send(TBM_GETTICPOS, WPARAM(i - 1)));
    } else {
        RECT channel{};
        Send(TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
        bool vertical = (style & TBS_VERT) != 0;
        if (i == 0)
            value = vertical ? channel.top : channel.left;
        else
            value = vertical ? channel.bottom : channel.right;
    }
    interpreter->GetResultSlot()->SetInt(value);
}

void CISlider::SetTickFrequency() {
    if (!interpreter->IsArgDefault(0)) Send(TBM_SETTICFREQ, WPARAM(interpreter->GetArgInt(0)), 0);
}

void CISlider::SetPageSize() {
    if (!interpreter->IsArgDefault(0)) Send(TBM_SETPAGESIZE, 0, LPARAM(interpreter->GetArgInt(0)));
}

void CISlider::SetLineSize() {
    if (!interpreter->IsArgDefault(0)) Send(TBM_SETLINESIZE, 0, LPARAM(interpreter->GetArgInt(0)));
}

void CISlider::SetThumbLength() {
    if (!interpreter->IsArgDefault(0))
        Send(TBM_SETTHUMBLENGTH, WPARAM(interpreter->GetArgInt(0)), 0);
}

void CISlider::OnScroll() {
    ReadHandler(onScroll);
}

const ScriptClassInfo* GetSliderClassInfo() {
    static const ScriptClassInfo info{kNameTable,
                                      &NewSlider,
                                      CISlider::kMethodCount,
                                      kConstants,
                                      sizeof kConstants / sizeof kConstants[0],
                                      nullptr,
                                      nullptr};
    return &info;
}
