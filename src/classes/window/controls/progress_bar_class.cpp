#include <new>
#include <utility>

#include "classes/window/controls/range_controls.h"
#include "platform/controls/progress_bar.h"

namespace {

enum : uint16_t {
    kSetRange = 38,
    kSetPos,
    kDeltaPos,
    kSetStep,
    kStepIt,
    kGetRangeMin,
    kGetRangeMax,
    kGetPos,
};

const MethodNameRow kNameTable[] = {
    {CIProgressBar::kClassId, "ProgressBar", 0, 0},
    ZORV_CHAINED_SHARED_ROWS,
    {kSetRange, "SetRange", 0, 0},
    {kSetPos, "SetPos", 0, 0},
    {kDeltaPos, "DeltaPos", 0, 0},
    {kSetStep, "SetStep", 0, 0},
    {kStepIt, "StepIt", 0, 0},
    {kGetRangeMin, "GetRangeMin", 0, 0},
    {kGetRangeMax, "GetRangeMax", 0, 0},
    {kGetPos, "GetPos", 0, 0},
    ZORV_CHAINED_CONSTANT_ROWS(CIProgressBar::kMethodCount + 1),
    {CIProgressBar::kMethodCount + 11, "SMOOTH", 0, kRowConstant},
    {CIProgressBar::kMethodCount + 12, "VERTICAL", 0, kRowConstant},
    {0, nullptr, 0, 0},
};

const ClassLevelHandler kConstants[] = {
    ZORV_CHAINED_SHARED_CONSTANTS, &ChainedConstant<0xAAD00000u>, &ChainedConstant<0xAAD00001u>};

const uint32_t kProgressAttributeTable[] = {PBS_SMOOTH, PBS_VERTICAL, 0xFFFFFFFFu};

CIBaseClassImpl* NewProgressBar(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIProgressBar(&interpreter, record);
}

} // namespace

const ScriptMethod<CIProgressBar> CIProgressBar::kMethods[kMethodCount] = {
    nullptr,
    ZORV_CHAINED_SHARED_METHODS(CIProgressBar),
    &CIProgressBar::SetRange,
    &CIProgressBar::SetPos,
    &CIProgressBar::DeltaPos,
    &CIProgressBar::SetStep,
    &CIProgressBar::StepIt,
    &CIProgressBar::GetRangeMin,
    &CIProgressBar::GetRangeMax,
    &CIProgressBar::GetPos,
};

CIProgressBar::CIProgressBar(CInterpretor* interpreter, const CClassRecord* record)
    : CIChainedControl(interpreter, record, &Handler) {
    SetCreateParams(10, 10, 100, 30, WS_CHILD | WS_CLIPSIBLINGS, 0);
    AddAttributeTable(kProgressAttributeTable, kOwnTableBase);
}

void CIProgressBar::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CIProgressBar::Create() {
    ParseCreateArgs(0x400005AF, nullptr, 0, uint32_t(interpreter->GetArgCount()));
    CreateAndRegister("msctls_progress32", 0, kCreateChild | kCreateProperty);
}

LRESULT CIProgressBar::Handler(BOOL&, HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

LRESULT CIProgressBar::Send(UINT message, WPARAM wParam, LPARAM lParam) {
    return hwnd != 0 ? SendMessageA(hwnd, message, wParam, lParam) : 0;
}

void CIProgressBar::SetRange() {
    int32_t minimum = interpreter->IsArgDefault(0) ? -32767 : interpreter->GetArgInt(0);
    int32_t maximum = interpreter->IsArgDefault(1) ? 32767 : interpreter->GetArgInt(1);
    if (minimum > maximum) std::swap(minimum, maximum);
    // The whole numbers: the 16-bit words of the older message cannot hold a negative end.
    Send(PBM_SETRANGE32, WPARAM(minimum), LPARAM(maximum));
}

void CIProgressBar::SetPos() {
    if (!interpreter->IsArgDefault(0)) Send(PBM_SETPOS, WPARAM(interpreter->GetArgInt(0)));
}

void CIProgressBar::DeltaPos() {
    if (!interpreter->IsArgDefault(0)) Send(PBM_DELTAPOS, WPARAM(interpreter->GetArgInt(0)));
}

void CIProgressBar::SetStep() {
    if (!interpreter->IsArgDefault(0)) Send(PBM_SETSTEP, WPARAM(interpreter->GetArgInt(0)));
}

void CIProgressBar::StepIt() {
    Send(PBM_STEPIT);
}

void CIProgressBar::GetRangeMin() {
    interpreter->GetResultSlot()->SetInt(int32_t(Send(PBM_GETRANGE, TRUE)));
}

void CIProgressBar::GetRangeMax() {
    interpreter->GetResultSlot()->SetInt(int32_t(Send(PBM_GETRANGE, FALSE)));
}

void CIProgressBar::GetPos() {
    interpreter->GetResultSlot()->SetInt(int32_t(Send(PBM_GETPOS)));
}

const ScriptClassInfo* GetProgressBarClassInfo() {
    static const ScriptClassInfo info{kNameTable,
                                      &NewProgressBar,
                                      CIProgressBar::kMethodCount,
                                      kConstants,
                                      sizeof kConstants / sizeof kConstants[0],
                                      nullptr,
                                      nullptr};
    return &info;
}
