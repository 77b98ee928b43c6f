// What the statement loop does between statements besides running events: the message
// pump with its idle wait, the script's waits, and the tick that drives animations and
// movements. Times are compared only through signed differences, so the clock's wrap
// every 49.7 days changes nothing.
#include <algorithm>

#include "platform/kernel/clock.h"
#include "platform/user/messages.h"
#include "script/interpreter/interpretor.h"
#include "script/runtime/frame_timer.h"
#include "script/runtime/launch_info.h"
#include "script/runtime/message_filter.h"
#include "script/runtime/neighbour_services.h"
#include "script/runtime/time_driven.h"
#include "script/values/list_snapshot.h"

namespace {

// Messages are taken at most once in this many milliseconds plus one.
constexpr int32_t kPumpInterval = 50;
// A wait with an empty queue gives the processor back for at most this long per round,
// so that ticks, polls and events keep their pace.
constexpr uint32_t kWaitSlice = 1;
// While the network is in use its sockets wake the wait, which then needs no short slice
// for it: an idle server with quiet peers stays asleep. The other pollers keep a pace
// well under a video frame.
constexpr uint32_t kNetworkWaitSlice = 10;

// Whether `interval` has passed from `last` to `now`. A `last` in the future (a refresh
// scheduled ahead) is not due.
bool IsDue(uint32_t now, uint32_t last, uint32_t interval) {
    int32_t passed = int32_t(now - last);
    return passed >= 0 && uint32_t(passed) >= interval;
}

// Adds `entry` at the head of `list` unless it is there already; its handle, 0 when the
// list cannot grow.
template <class T> uint32_t AddOnce(CHandleList& list, T* entry) {
    uint32_t node = list.Find(reinterpret_cast<uintptr_t>(entry));
    return node != 0 ? node : list.AddHead(reinterpret_cast<uintptr_t>(entry));
}

template <class T> void RemoveEntry(CHandleList& list, T* entry) {
    list.Remove(list.Find(reinterpret_cast<uintptr_t>(entry)));
}

} // namespace

void CInterpretor::StartRunClock() {
    uint32_t now = timeGetTime();
    lastRefresh = now - refreshInterval;
    lastTick = now - tickInterval;
    lastPump = now;
    statementCounter_ = 0;
    countHeld_ = false;
}

void CInterpretor::ResetRunLoop() {
    refreshList.RemoveAll();
    for (CIBaseMessages*& filter : filters_)
        filter = nullptr;
    filterCount_ = 0;
    movingLocations_.RemoveAll();
    movements_.RemoveAll();
    animated_.RemoveAll();
    autoRefresh = 1;
    refreshPending = 0;
    refreshing = 0;
    statementsPerCheck = kStatementsPerCheck;
    refreshInterval = kDefaultRefreshInterval;
    tickInterval = kDefaultTickInterval;
}

// ---- Messages --------------------------------------------------------------------------

void CInterpretor::HandleMessage(MSG& message) {
    int answer = CIBaseMessages::kPass;
    // The table is read afresh for every filter: a filter may leave it while it runs.
    for (uint32_t i = 0; i < filterCount_ && answer == CIBaseMessages::kPass; ++i)
        answer = filters_[i]->Filter(&message);
    if (answer == CIBaseMessages::kSwallow) return;
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

void CInterpretor::PollNeighbours() {
    NeighbourServices& services = GetNeighbourServices();
    if (services.refreshVideos != nullptr) services.refreshVideos(*this);
    if (services.idleQuickTime != nullptr) services.idleQuickTime(*this);
    if (services.pollNetwork != nullptr) services.pollNetwork(*this);
    if (services.pollDownloads != nullptr) services.pollDownloads(*this);
}

void CInterpretor::SleepIdle(uint32_t milliseconds, uint32_t networkMilliseconds) {
    NeighbourServices& services = GetNeighbourServices();
    if (services.waitNetwork != nullptr && services.waitNetwork(*this, networkMilliseconds)) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds, QS_ALLINPUT);
}

void CInterpretor::PumpMessages(uint32_t now) {
    if (int32_t(now - lastPump) <= kPumpInterval) return;
    lastPump = now;
    MSG message;
    uint32_t share = std::min<uint32_t>(cpuShare, 100);
    if (share != 100 && !PeekMessageA(&message, 0, 0, 0, PM_NOREMOVE)) {
        uint32_t pause = (5000 - 50 * share) / 100;
        SleepIdle(pause, pause);
    } else {
        while (PeekMessageA(&message, 0, 0, 0, PM_NOREMOVE)) {
            BOOL taken = GetMessageA(&message, 0, 0, 0);
            if (taken == -1) break;
            // A quit message is only reported by Wait; here it goes.
            if (taken != 0) HandleMessage(message);
        }
    }
    PollNeighbours();
}

int CInterpretor::Wait(uint32_t milliseconds) {
    uint32_t deadline = timeGetTime() + milliseconds;
    MSG message;
    for (;;) {
        if (PeekMessageA(&message, 0, 0, 0, PM_NOREMOVE)) {
            BOOL taken = GetMessageA(&message, 0, 0, 0);
            if (taken == 0) return 1;
            if (taken != -1) HandleMessage(message);
        }
        PollNeighbours();
        // A host's stop request ends a long wait as it ends the statement loop.
        if (StopRequestFlag().load(std::memory_order_relaxed) != 0) {
            pendingEndCode = 0;
            HoldStatementCount();
        }
        CheckPendingAndTick();
        int32_t left = int32_t(deadline - timeGetTime());
        if (left < 0) return 0;
        // Waiting events run back to back. The network's wait ends at once while its peers'
        // input flows, so that the script keeps up with peers that send thousands of texts
        // a second; input the script was already told of does not end it again.
        bool eventWaits = handlerDepth_ == 0 && pendingEvent_ != 0;
        if (!eventWaits && !PeekMessageA(&message, 0, 0, 0, PM_NOREMOVE)) {
            // Never less than a slice: the wait is what moves a frozen test clock on.
            uint32_t bound = std::min(uint32_t(left), kNetworkWaitSlice);
            bound = std::max(UntilTickOrRefresh(timeGetTime(), bound), kWaitSlice);
            SleepIdle(kWaitSlice, bound);
        }
    }
}

int CInterpretor::WaitIfIdle(uint32_t milliseconds) {
    return handlerDepth_ == 0 ? Wait(milliseconds) : 0;
}

// ---- Ticks and refreshes -------------------------------------------------------------

void CInterpretor::TickIfDue(uint32_t now) {
    if (GetTimeDrivenCount() == 0 || !IsDue(now, lastTick, tickInterval)) return;
    AdvanceTimeDriven(now);
    lastTick = now;
}

void CInterpretor::RefreshIfDue(uint32_t now) {
    // A participant that waits inside its own refresh must not be refreshed again there.
    if (refreshing != 0 || refreshPending == 0 || autoRefresh == 0 ||
        !IsDue(now, lastRefresh, refreshInterval))
        return;
    RefreshPass();
    // The next pass is due a whole interval after this one ended: a pass slower than the
    // interval slows the frames, never the script's statements between them.
    lastRefresh = timeGetTime();
}

void CInterpretor::RefreshBeforeModal() {
    if (refreshing != 0 || refreshPending == 0 || autoRefresh == 0) return;
    RefreshPass();
    lastRefresh = timeGetTime();
}

uint32_t CInterpretor::UntilTickOrRefresh(uint32_t now, uint32_t bound) const {
    auto sooner = [now, &bound](uint32_t due) {
        int32_t until = int32_t(due - now);
        if (until < int32_t(bound)) bound = uint32_t(std::max(until, 0));
    };
    if (GetTimeDrivenCount() != 0) sooner(lastTick + tickInterval);
    if (refreshing == 0 && refreshPending != 0 && autoRefresh != 0)
        sooner(lastRefresh + refreshInterval);
    return bound;
}

bool CInterpretor::TimedWorkMayBeDue(uint32_t later) const {
    // Each test holds at `later` when it holds at any earlier reading of the clock.
    return int32_t(later - lastPump) > kPumpInterval ||
           (GetTimeDrivenCount() != 0 && IsDue(later, lastTick, tickInterval)) ||
           (refreshing == 0 && refreshPending != 0 && autoRefresh != 0 &&
            IsDue(later, lastRefresh, refreshInterval));
}

bool CInterpretor::TimedWorkDue() {
    // Most checks fall between ticks, refreshes and pumps. Until the alarm rings, the
    // clock is before its moment; after, a bound on the clock that is cheaper to read
    // than the clock tells when none of them can be due.
    if (!clockAlarm_.Rang()) return TimedWorkMayBeDue(clockAlarm_.Moment() - 1);
    if (TimedWorkMayBeDue(platform::LatestClockBound())) return true;
    ArmClockAlarm();
    return false;
}

void CInterpretor::ArmClockAlarm() {
    // A pump is always due in time: the moment is never far ahead.
    uint32_t moment = lastPump + kPumpInterval + 1;
    auto earlier = [&moment](uint32_t other) {
        if (int32_t(other - moment) < 0) moment = other;
    };
    if (GetTimeDrivenCount() != 0) earlier(lastTick + tickInterval);
    if (refreshing == 0 && refreshPending != 0 && autoRefresh != 0)
        earlier(lastRefresh + refreshInterval);
    clockAlarm_.Set(moment);
}

bool CInterpretor::HousekeepingIdle() {
    return creations <= garbageThreshold && !TimedWorkDue();
}

void CInterpretor::Housekeeping() {
    if (!TimedWorkDue()) {
        if (creations > garbageThreshold) CollectGarbage();
        return;
    }
    uint32_t now = timeGetTime();
    TickIfDue(now);
    if (creations > garbageThreshold) CollectGarbage();
    RefreshIfDue(now);
    PumpMessages(now);
    ArmClockAlarm();
}

void CInterpretor::ScheduleRefresh() {
    if (autoRefresh == 0) return;
    refreshPending = 1;
    lastRefresh = timeGetTime() + refreshInterval;
}

// ---- Time-driven lists -----------------------------------------------------------------

uint32_t CInterpretor::GetTimeDrivenCount() const {
    return movingLocations_.GetCount() + movements_.GetCount() + animated_.GetCount();
}

void CInterpretor::AdvanceTimeDriven(uint32_t now) {
    // An entry's step may take others off their lists (an ended animation leaves, an
    // object it stops is destroyed): each walk calls only what is still listed.
    ListSnapshot<CInterrupt> locations(movingLocations_);
    if (!locations.Take()) RaiseError(15);
    for (uint32_t i = 0; i < locations.GetCount(); ++i) {
        CInterrupt* location = locations.Get(i);
        if (location == nullptr) continue;
        location->Tick(now);
        if (locations.Get(i) == location) location->lastTick = now;
    }
    ListSnapshot<CTDMovements> movements(movements_);
    if (!movements.Take()) RaiseError(15);
    for (uint32_t i = 0; i < movements.GetCount(); ++i) {
        if (CTDMovements* movement = movements.Get(i)) movement->Step(now);
    }
    ListSnapshot<CFrameTimer> timers(animated_);
    if (!timers.Take()) RaiseError(15);
    for (uint32_t i = 0; i < timers.GetCount(); ++i) {
        if (CFrameTimer* timer = timers.Get(i)) timer->Advance(now);
    }
}

uint32_t CInterpretor::AddMovingLocation(CInterrupt* location) {
    uint32_t handle = AddOnce(movingLocations_, location);
    if (handle != 0) location->lastTick = timeGetTime();
    return handle;
}

void CInterpretor::RemoveMovingLocation(CInterrupt* location) {
    RemoveEntry(movingLocations_, location);
}

uint32_t CInterpretor::AddMovement(CTDMovements* movement) {
    return AddOnce(movements_, movement);
}

void CInterpretor::RemoveMovement(CTDMovements* movement) {
    RemoveEntry(movements_, movement);
}

void CInterpretor::RemoveMovementsOf(const CIBaseClassImpl* object) {
    ListSnapshot<CTDMovements> movements(movements_);
    if (!movements.Take()) RaiseError(15);
    for (uint32_t i = 0; i < movements.GetCount(); ++i) {
        CTDMovements* movement = movements.Get(i);
        if (movement == nullptr || !movement->Involves(object)) continue;
        // Off the list first: a destructor that removes itself again finds nothing.
        RemoveEntry(movements_, movement);
        delete movement;
    }
}

uint32_t CInterpretor::AddAnimated(CFrameTimer* timer) {
    uint32_t handle = AddOnce(animated_, timer);
    if (handle != 0) timer->timeBase = timeGetTime();
    return handle;
}

void CInterpretor::RemoveAnimated(CFrameTimer* timer) {
    RemoveEntry(animated_, timer);
}
