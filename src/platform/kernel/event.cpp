#include "platform/kernel/errors.h"
#include "platform/kernel/sync.h"
#include "platform/kernel/waitable.h"

namespace {

class Event : public platform::Waitable {
public:
    Event(bool manualReset, bool signalled) : manualReset(manualReset), signalled(signalled) {}

    bool IsSignalledFor(DWORD) const override { return signalled; }
    bool Acquire(DWORD) override {
        if (!manualReset) signalled = false; // releases exactly one waiter
        return false;
    }

    const bool manualReset;
    bool signalled; // guarded by the wait hub
};

BOOL SetState(HANDLE event, bool signalled) {
    auto object = platform::LookupObjectAs<Event>(event);
    if (!object) return FALSE;
    platform::WaitHub& hub = platform::GetWaitHub();
    std::lock_guard guard(hub.lock);
    object->signalled = signalled;
    if (signalled) hub.NotifyAll();
    return TRUE;
}

} // namespace

HANDLE CreateEventA(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState, LPCSTR) {
    return platform::RegisterObject(
        std::make_shared<Event>(manualReset != FALSE, initialState != FALSE));
}

BOOL SetEvent(HANDLE event) {
    return SetState(event, true);
}

BOOL ResetEvent(HANDLE event) {
    return SetState(event, false);
}
