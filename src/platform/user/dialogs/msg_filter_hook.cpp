#include "platform/user/dialogs/msg_filter_hook.h"

#include <algorithm>
#include <atomic>
#include <vector>

#include "platform/kernel/errors.h"
#include "platform/kernel/threads.h"

namespace {

struct Hook {
    HHOOK handle;
    HOOKPROC procedure;
};

// The hooks of this thread, the newest last.
std::vector<Hook>& Chain() {
    thread_local std::vector<Hook> chain;
    return chain;
}

// Handles are unique across threads, so that one thread's cannot unhook another's.
HHOOK NewHandle() {
    static std::atomic<HHOOK> next{1};
    HHOOK handle = next++;
    return handle == 0 ? next++ : handle;
}

} // namespace

HHOOK SetWindowsHookExA(int kind, HOOKPROC procedure, HINSTANCE, DWORD threadId) {
    if (kind != WH_MSGFILTER || procedure == nullptr || threadId != GetCurrentThreadId()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    HHOOK handle = NewHandle();
    Chain().push_back(Hook{handle, procedure});
    return handle;
}

BOOL UnhookWindowsHookEx(HHOOK hook) {
    std::vector<Hook>& chain = Chain();
    auto found = std::find_if(chain.begin(), chain.end(),
                              [hook](const Hook& entry) { return entry.handle == hook; });
    if (found == chain.end()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    chain.erase(found);
    return TRUE;
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
    // The chain is looked at afresh each time: the hook just called may have changed it.
    std::vector<Hook>& chain = Chain();
    auto found = std::find_if(chain.begin(), chain.end(),
                              [hook](const Hook& entry) { return entry.handle == hook; });
    if (found == chain.end() || found == chain.begin()) return 0;
    Hook next = *(found - 1);
    return next.procedure(code, wParam, lParam);
}

namespace platform {

bool OfferToMessageFilters(int code, MSG& message) {
    if (Chain().empty()) return false;
    Hook newest = Chain().back();
    return newest.procedure(code, 0, reinterpret_cast<LPARAM>(&message)) != 0;
}

} // namespace platform
