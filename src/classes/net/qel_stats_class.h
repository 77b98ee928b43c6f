// The QelStats class: the traffic figures of a networking object. One made by a script
// keeps its own record, started at its creation; one returned by GetStats holds a copy of
// the object's record taken then, whose time-based values go on running.
#pragma once

#include <cstdint>

#include "net/qel_stats.h"
#include "script/classes/base_class.h"

class CIQelStats final : public CIBaseClassImpl {
public:
    static constexpr uint32_t kClassId = 0x21;
    static constexpr uint16_t kMethodCount = 36;

    CIQelStats(CInterpretor* interpreter, const CClassRecord* record);

    // Every method answers one integer of the record.
    void CallMethod(uint16_t methodId) override;
    void Destroy(int flag) override;

    QelStats& Record() { return record_; }

private:
    QelStats record_;
};

const ScriptClassInfo* GetQelStatsClassInfo();

// The value method `methodId` (1 to 35) answers for the record; 0 for other ids.
int32_t QelStatsValue(const QelStats& record, uint16_t methodId);

// A new registered QelStats holding a copy of `record`; null when memory runs out.
CIQelStats* MakeQelStats(CInterpretor& interpreter, const QelStats& record);
