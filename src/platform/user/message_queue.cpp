#include "platform/user/message_queue.h"

#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/kernel/clock.h"
#include "platform/kernel/errors.h"
#include "platform/user/input/input_routing.h"
#include "platform/user/paint/paint_hooks.h"
#include "platform/kernel/threads.h"
#include "platform/kernel/waitable.h"
#include "platform/user/window_table.h"

namespace platform {
namespace {

// Both outlive static destructors: threads still running at exit keep using them.
std::unordered_map<DWORD, std::unique_ptr<MessageQueue>>& Queues() {
    static auto* queues = new std::unordered_map<DWORD, std::unique_ptr<MessageQueue>>;
    return *queues;
}

std::unordered_map<HWND, WindowBinding>& Windows() {
    static auto* windows = new std::unordered_map<HWND, WindowBinding>;
    return *windows;
}

// Drops the calling thread's queue and windows when the thread ends, so that posts to
// them fail instead of piling up where nobody reads.
struct QueueLifetime {
    DWORD threadId = 0;
    ~QueueLifetime() {
        if (threadId == 0) return;
        ForgetThreadWindows(threadId);
        std::lock_guard lock(GetWaitHub().lock);
        Queues().erase(threadId);
        std::erase_if(Windows(),
                      [this](const auto& entry) { return entry.second.threadId == threadId; });
    }
};

thread_local QueueLifetime currentQueue;

// Needs the hub locked; takes the window lock after it.
bool PassesFilter(const MSG& msg, HWND window, UINT filterMin, UINT filterMax) {
    if (window != 0 && msg.hwnd != window) {
        std::lock_guard lock(WindowLock());
        if (!IsDescendantLocked(window, msg.hwnd)) return false;
    }
    if (filterMin == 0 && filterMax == 0) return true;
    return msg.message >= filterMin && msg.message <= filterMax;
}

} // namespace

MessageQueue& CurrentThreadQueueLocked() {
    DWORD threadId = GetCurrentThreadId();
    auto& slot = Queues()[threadId];
    if (!slot) {
        slot = std::make_unique<MessageQueue>();
        currentQueue.threadId = threadId;
    }
    return *slot;
}

MessageQueue* FindThreadQueueLocked(DWORD threadId) {
    auto it = Queues().find(threadId);
    return it == Queues().end() ? nullptr : it->second.get();
}

const WindowBinding* FindBindingLocked(HWND window) {
    auto it = Windows().find(window);
    return it == Windows().end() ? nullptr : &it->second;
}

bool TakeMessageLocked(MessageQueue& queue, MSG& msg, HWND window, UINT filterMin, UINT filterMax,
                       bool remove) {
    for (auto it = queue.posted.begin(); it != queue.posted.end(); ++it) {
        if (!PassesFilter(*it, window, filterMin, filterMax)) continue;
        msg = *it;
        if (remove) {
            queue.posted.erase(it);
            NoteInputTaken(msg);
        }
        return true;
    }
    MSG quit{0, WM_QUIT, static_cast<WPARAM>(queue.quitCode), 0, timeGetTime(), {0, 0}};
    if (!queue.quitPending || !PassesFilter(quit, window, filterMin, filterMax))
        return TakePaintMessageLocked(msg, window, filterMin, filterMax) ||
               TakeTimerMessageLocked(msg, window, filterMin, filterMax, remove);
    msg = quit;
    if (remove) queue.quitPending = false;
    return true;
}

WNDPROC BoundProcedure(HWND window) {
    std::lock_guard lock(GetWaitHub().lock);
    const WindowBinding* binding = FindBindingLocked(window);
    if (!binding) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (binding->threadId != GetCurrentThreadId()) {
        SetLastError(ERROR_WINDOW_OF_OTHER_THREAD);
        return nullptr;
    }
    return binding->procedure;
}

bool BindWindowProcedure(HWND window, WNDPROC procedure) {
    if (window == 0 || window >= FIRST_WINDOW_HANDLE || !procedure) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    std::lock_guard lock(GetWaitHub().lock);
    CurrentThreadQueueLocked();
    Windows()[window] = WindowBinding{procedure, GetCurrentThreadId()};
    return true;
}

bool UnbindWindowProcedure(HWND window) {
    std::lock_guard lock(GetWaitHub().lock);
    if (Windows().erase(window) == 0) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    return true;
}

} // namespace platform
