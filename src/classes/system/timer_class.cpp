#include "classes/system/timer_class.h"

#include <algorithm>
#include <new>
#include <vector>

#include "platform/user/input/input.h"
#include "script/interpreter/ierror.h"
#include "script/interpreter/interpretor.h"

namespace {

using T = CITimer;

const MethodNameRow kNameTable[] = {
    {T::kClassId, "Timer", 0, 0},
    {T::kStart, "Start", 0, 0},
    {T::kStop, "Stop", 0, 0},
    {T::kIsStarted, "IsStarted", 0, 0},
    {T::kSetInterval, "SetInterval", 0, 0},
    {T::kGetInterval, "GetInterval", 0, 0},
    {T::kOnTimeElapsed, "OnTimeElapsed", 0, 0},
    {T::kSetPrivateData, "SetPrivateData", 0, 0},
    {T::kGetPrivateData, "GetPrivateData", 0, 0},
    {0, nullptr, 0, 0},
};

CIBaseClassImpl* NewTimer(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CITimer(&interpreter, record);
}

const ScriptClassInfo kTimerClass = {kNameTable, NewTimer, 0, nullptr, 0, nullptr, nullptr};

struct RunningTimer {
    UINT_PTR id;
    CITimer* timer;
};

// The running timers in start order. Thread timers expire on the thread that set them,
// so each script thread keeps its own table.
thread_local std::vector<RunningTimer> runningTimers;

} // namespace

const ScriptMethod<CITimer> CITimer::kMethods[kMethodCount] = {
    nullptr,         &T::Start,         &T::Stop,           &T::IsStarted,      &T::SetInterval,
    &T::GetInterval, &T::OnTimeElapsed, &T::SetPrivateData, &T::GetPrivateData,
};

CITimer::CITimer(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1), privateData_(interpreter, 0),
      onTimeElapsed_(interpreter, 0) {}

void CITimer::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CITimer::Destroy(int) {
    Stop();
    delete this;
}

int CITimer::ReleaseReferencesTo(CIBaseClassImpl* object) {
    bool held = privateData_.GetType() == kValueObject && privateData_.GetObject() == object;
    privateData_.ReleaseReferencesTo(object);
    return held ? 1 : 0;
}

void CITimer::Create() {
    CInterpretor& in = *interpreter;
    if (in.GetArgCount() > 1) in.RaiseError(21);
    if (in.GetArgCount() == 1 && !in.IsArgDefault(0)) interval_ = IntervalArg();
    Register();
}

uint32_t CITimer::GetRunningCount() {
    return uint32_t(runningTimers.size());
}

int32_t CITimer::IntervalArg() {
    const CValue* value = interpreter->GetArg(0);
    if (value->GetType() != kValueInt && value->GetType() != kValueDouble)
        interpreter->RaiseError(14);
    return value->GetInt();
}

void CITimer::Start() {
    if (started_ || interval_ == 0) return;
    // Out of range intervals are the layer's business: it clamps them.
    timerId_ = SetTimer(0, 0, UINT(interval_), &CITimer::TimerProcedure);
    runningTimers.push_back({timerId_, this});
    started_ = 1;
}

void CITimer::Stop() {
    if (!started_) return;
    KillTimer(0, timerId_);
    auto entry =
        std::find_if(runningTimers.begin(), runningTimers.end(),
                     [this](const RunningTimer& running) { return running.timer == this; });
    if (entry != runningTimers.end()) runningTimers.erase(entry);
    if (runningTimers.empty()) runningTimers.shrink_to_fit();
    started_ = 0;
    timerId_ = 0;
}

void CITimer::IsStarted() {
    interpreter->GetResultSlot()->SetInt(started_);
}

void CITimer::SetInterval() {
    if (interpreter->GetArgCount() != 1) interpreter->RaiseError(21);
    interval_ = IntervalArg();
}

void CITimer::GetInterval() {
    interpreter->GetResultSlot()->SetInt(interval_);
}

void CITimer::OnTimeElapsed() {
    const BlockRecord* handler = interpreter->ReadHandlerAssignment();
    if (handler != nullptr)
        onTimeElapsed_.SetFunction(handler);
    else
        onTimeElapsed_.SetInt(0);
}

void CITimer::SetPrivateData() {
    privateData_.Assign(*interpreter->GetArg(0));
}

void CITimer::GetPrivateData() {
    interpreter->GetResultSlot()->Assign(privateData_);
}

void CITimer::Expired() {
    if (onTimeElapsed_.GetType() != kValueFunction) return;
    CValue self(this);
    // The message pump is no place for an error to unwind through: a full event queue
    // ends the run as errors of window procedures do.
    try {
        interpreter->PostEventCoalesced(onTimeElapsed_.GetFunction(), this, &self);
    } catch (CIError* error) {
        interpreter->KeepPendingError(error);
    }
}

void CITimer::TimerProcedure(HWND, UINT, UINT_PTR id, DWORD) {
    for (const RunningTimer& running : runningTimers) {
        if (running.id == id) {
            running.timer->Expired();
            return;
        }
    }
}

const ScriptClassInfo* GetTimerClassInfo() {
    return &kTimerClass;
}
