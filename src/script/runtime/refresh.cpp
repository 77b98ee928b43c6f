#include "script/runtime/refresh.h"

#include "platform/user/input/input.h"
#include "script/interpreter/interpretor.h"
#include "script/values/list_snapshot.h"
#include "script/runtime/neighbour_services.h"

namespace {

// Follow-up rounds for surfaces dirtied by the refresh of other surfaces.
constexpr int kFollowUpRounds = 4;

} // namespace

CIRefresh::CIRefresh(CInterpretor* owner, int atFront) : interpreter(owner) {
    auto value = reinterpret_cast<uintptr_t>(this);
    position =
        atFront ? interpreter->refreshList.AddHead(value) : interpreter->refreshList.AddTail(value);
    interpreter->refreshPending = 1;
}

CIRefresh::~CIRefresh() {
    Detach();
}

void CIRefresh::Detach() {
    // A position left from before the list was emptied may name another participant now.
    if (position != 0 &&
        interpreter->refreshList.GetAt(position) == reinterpret_cast<uintptr_t>(this))
        interpreter->refreshList.Remove(position);
    position = 0;
}

void CIRefresh::Refresh() {
    dirty = 0;
}

int CIRefresh::IsDirty() {
    return int(dirty);
}

int CIRefresh::SetDirty() {
    dirty = 1;
    interpreter->refreshPending = 1;
    return 1;
}

int CIRefresh::IsLate() {
    return 0;
}

int CIRefresh::IsSurface() {
    return 0;
}

void CInterpretor::RefreshPass() {
    struct Refreshing {
        CInterpretor& interpreter;
        uint32_t outer;
        ~Refreshing() { interpreter.refreshing = outer; }
    } scope{*this, refreshing};
    refreshing = 1;
    refreshPending = 0;
    verticalBlankRequest = 1;
    // Each round walks a copy of the list: a participant's refresh may destroy another
    // (which then leaves the list) or make a new one (which waits for the next round).
    ListSnapshot<CIRefresh> participants(refreshList);
    if (!participants.Take()) RaiseError(15);
    for (uint32_t i = 0; i < participants.GetCount(); ++i) {
        CIRefresh* participant = participants.Get(i);
        if (participant != nullptr && !participant->IsLate() && participant->IsDirty() &&
            !participant->IsSurface())
            participant->Refresh();
    }
    // Surfaces; the clean ones wait for a refresh of another surface to draw into them.
    ListSnapshot<CIRefresh> waiting(refreshList);
    if (!waiting.Take()) RaiseError(15);
    waiting.RemoveUnless([](CIRefresh* participant) {
        if (!participant->IsSurface() || participant->IsLate()) return false;
        if (!participant->IsDirty()) return true;
        participant->Refresh();
        return false;
    });
    for (int round = 0; round < kFollowUpRounds && refreshPending != 0 && waiting.GetCount() != 0;
         ++round) {
        refreshPending = 0;
        waiting.RemoveUnless([](CIRefresh* participant) {
            if (!participant->IsDirty()) return true;
            participant->Refresh();
            return false;
        });
    }
    refreshPending = 0;
    if (!participants.Take()) RaiseError(15);
    for (uint32_t i = 0; i < participants.GetCount(); ++i) {
        CIRefresh* participant = participants.Get(i);
        if (participant != nullptr && participant->IsLate() && participant->IsDirty())
            participant->Refresh();
    }
    // A participant dirtied after its round, or one that joined during the pass, keeps
    // the refresh pending; otherwise it would wait for some other change to be shown.
    refreshPending = 0;
    if (!participants.Take()) RaiseError(15);
    for (uint32_t i = 0; i < participants.GetCount() && refreshPending == 0; ++i) {
        CIRefresh* participant = participants.Get(i);
        if (participant != nullptr && participant->IsDirty()) refreshPending = 1;
    }
    NeighbourServices& services = GetNeighbourServices();
    if (services.redrawGroupBoxes != nullptr) services.redrawGroupBoxes(*this);
    if (services.redrawStaticTexts != nullptr) services.redrawStaticTexts(*this);
}

bool CInterpretor::IsApplicationActive() const {
    if (mainWindow == nullptr) return true;
    HWND active = GetActiveWindow();
    if (active == mainWindowHandle) return true;
    if (active == 0 || mainWindowHandle == 0) return false;
    DWORD activeProcess = 0;
    DWORD ownProcess = 0;
    GetWindowThreadProcessId(active, &activeProcess);
    GetWindowThreadProcessId(mainWindowHandle, &ownProcess);
    return activeProcess != 0 && activeProcess == ownProcess;
}
