#include "classes/net/qel_stats_class.h"

#include <new>

#include "script/interpreter/interpretor.h"

namespace {

using Getter = int32_t (*)(const QelStats& s);

const Getter kGetters[CIQelStats::kMethodCount] = {
    nullptr,
    [](const QelStats& s) { return s.inPackets; },
    [](const QelStats& s) { return s.outPackets; },
    [](const QelStats& s) { return s.GetPackets(); },
    [](const QelStats& s) { return s.totalBytesIn; },
    [](const QelStats& s) { return s.totalBytesOut; },
    [](const QelStats& s) { return s.GetBytes(); },
    [](const QelStats& s) { return s.lastInSize; },
    [](const QelStats& s) { return s.lastOutSize; },
    [](const QelStats& s) { return s.GetLastPacketSize(); },
    [](const QelStats& s) { return s.biggestIn; },
    [](const QelStats& s) { return s.biggestOut; },
    [](const QelStats& s) { return s.GetBiggestPacket(); },
    [](const QelStats& s) { return s.smallestIn; },
    [](const QelStats& s) { return s.smallestOut; },
    [](const QelStats& s) { return s.GetSmallestPacket(); },
    [](const QelStats& s) { return s.GetAverageIn(); },
    [](const QelStats& s) { return s.GetAverageOut(); },
    [](const QelStats& s) { return s.GetAverage(); },
    [](const QelStats& s) { return s.highestInReading; },
    [](const QelStats& s) { return s.highestOutReading; },
    // The highest and lowest readings of both directions answer the outgoing ones.
    [](const QelStats& s) { return s.highestOutReading; },
    [](const QelStats& s) { return s.lowestInReading; },
    [](const QelStats& s) { return s.lowestOutReading; },
    [](const QelStats& s) { return s.lowestOutReading; },
    [](const QelStats& s) { return s.lastInReading; },
    [](const QelStats& s) { return s.lastOutReading; },
    [](const QelStats& s) { return s.GetLastReading(); },
    [](const QelStats& s) { return s.GetCurrentIn(); },
    [](const QelStats& s) { return s.GetCurrentOut(); },
    [](const QelStats& s) { return s.GetCurrent(); },
    [](const QelStats& s) { return s.GetRuntime(); },
    [](const QelStats& s) { return s.GetAveragePacketIn(); },
    [](const QelStats& s) { return s.GetAveragePacketOut(); },
    [](const QelStats& s) { return s.GetAveragePacket(); },
    [](const QelStats& s) { return s.droppedDatagrams; },
};

const MethodNameRow kNameTable[] = {
    {CIQelStats::kClassId, "QelStats", 0, 0},
    {1, "GetInPacketCount", 0, 0},
    {2, "GetOutPacketCount", 0, 0},
    {3, "GetPacketCount", 0, 0},
    {4, "GetInBytes", 0, 0},
    {5, "GetOutBytes", 0, 0},
    {6, "GetTotalBytes", 0, 0},
    {7, "GetLastInPacketSize", 0, 0},
    {8, "GetLastOutPacketSize", 0, 0},
    {9, "GetLastPacketSize", 0, 0},
    {10, "GetBiggestInPacket", 0, 0},
    {11, "GetBiggestOutPacket", 0, 0},
    {12, "GetBiggestPacket", 0, 0},
    {13, "GetSmallestInPacket", 0, 0},
    {14, "GetSmallestOutPacket", 0, 0},
    {15, "GetSmallestPacket", 0, 0},
    {16, "GetInThroughput", 0, 0},
    {17, "GetOutThroughput", 0, 0},
    {18, "GetThroughput", 0, 0},
    {19, "GetHighestInThroughput", 0, 0},
    {20, "GetHighestOutThroughput", 0, 0},
    {21, "GetHighestThroughput", 0, 0},
    {22, "GetLowestInThroughput", 0, 0},
    {23, "GetLowestOutThroughput", 0, 0},
    {24, "GetLowestThroughput", 0, 0},
    {25, "GetLastInThroughputReading", 0, 0},
    {26, "GetLastOutThroughputReading", 0, 0},
    {27, "GetLastThroughputReading", 0, 0},
    {28, "GetCurrentInThroughputReading", 0, 0},
    {29, "GetCurrentOutThroughputReading", 0, 0},
    {30, "GetCurrentThroughputReading", 0, 0},
    {31, "GetRuntime", 0, 0},
    {32, "GetAverageInPacketSize", 0, 0},
    {33, "GetAverageOutPacketSize", 0, 0},
    {34, "GetAveragePacketSize", 0, 0},
    {35, "GetDroppedCount", 0, 0},
    {0, nullptr, 0, 0},
};

CIBaseClassImpl* NewStats(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIQelStats(&interpreter, record);
}

const ScriptClassInfo kStatsClass = {kNameTable, NewStats, 0, nullptr, 0, nullptr, nullptr};

} // namespace

CIQelStats::CIQelStats(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1) {}

void CIQelStats::CallMethod(uint16_t methodId) {
    if (methodId == 0 || methodId >= kMethodCount) RaiseNoSuchMethod(*this);
    interpreter->GetResultSlot()->SetInt(QelStatsValue(record_, methodId));
}

int32_t QelStatsValue(const QelStats& record, uint16_t methodId) {
    if (methodId == 0 || methodId >= CIQelStats::kMethodCount) return 0;
    return kGetters[methodId](record);
}

void CIQelStats::Destroy(int) {
    delete this;
}

const ScriptClassInfo* GetQelStatsClassInfo() {
    return &kStatsClass;
}

CIQelStats* MakeQelStats(CInterpretor& interpreter, const QelStats& record) {
    auto* stats = new (std::nothrow)
        CIQelStats(&interpreter, interpreter.GetClassRecord(CIQelStats::kClassId));
    if (stats == nullptr) return nullptr;
    stats->Record() = record;
    stats->Register();
    ++interpreter.creations;
    return stats;
}
