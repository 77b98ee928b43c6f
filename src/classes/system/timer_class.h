// The Timer class: periodic OnTimeElapsed events from a thread timer of the script's
// thread. Expiries come through the interpreter's message pump; the event is coalesced,
// so a handler slower than the interval finds one pending event, not a backlog.
#pragma once

#include <cstdint>

#include "platform/kernel/win_types.h"
#include "platform/user/hwnd.h"
#include "script/classes/base_class.h"
#include "script/values/value.h"

class CITimer final : public CIBaseClassImpl {
public:
    static constexpr uint32_t kClassId = 37;

    enum : uint16_t {
        kStart = 1,
        kStop,
        kIsStarted,
        kSetInterval,
        kGetInterval,
        kOnTimeElapsed,
        kSetPrivateData,
        kGetPrivateData,
        kMethodCount,
    };

    CITimer(CInterpretor* interpreter, const CClassRecord* record);

    void CallMethod(uint16_t methodId) override;
    // A running Timer stops before it goes.
    void Destroy(int flag) override;
    int ReleaseReferencesTo(CIBaseClassImpl* object) override;
    // New Timer() or New Timer(interval); the timer does not start.
    void Create() override;

    // Timers running on the calling thread.
    static uint32_t GetRunningCount();

private:
    void Start();
    void Stop();
    void IsStarted();
    void SetInterval();
    void GetInterval();
    void OnTimeElapsed();
    void SetPrivateData();
    void GetPrivateData();

    // Argument 0 as an interval: error 14 for anything but an integer or a float.
    int32_t IntervalArg();
    void Expired();
    static void TimerProcedure(HWND window, UINT message, UINT_PTR id, DWORD time);

    static const ScriptMethod<CITimer> kMethods[kMethodCount];

    int32_t interval_ = 0;
    int32_t started_ = 0;
    UINT_PTR timerId_ = 0;
    CValue privateData_;
    CValue onTimeElapsed_;
};

const ScriptClassInfo* GetTimerClassInfo();
