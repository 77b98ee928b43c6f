#include "platform/user/messages.h"

#include <chrono>
#include <mutex>

#include "platform/kernel/clock.h"
#include "platform/display/display_backend.h"
#include "platform/kernel/errors.h"
#include "platform/user/input/input_routing.h"
#include "platform/user/message_queue.h"
#include "platform/kernel/threads.h"
#include "platform/kernel/waitable.h"
#include "platform/user/window_table.h"
#include "platform/process/child_threads.h"

namespace {

using platform::MessageQueue;

// Needs the hub locked.
BOOL PostLocked(MessageQueue& queue, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (queue.posted.size() >= MAX_POSTED_MESSAGES) {
        SetLastError(ERROR_NOT_ENOUGH_QUOTA);
        return FALSE;
    }
    queue.posted.push_back(MSG{window, message, wParam, lParam, timeGetTime(), {0, 0}});
    platform::GetWaitHub().NotifyAll();
    return TRUE;
}

// A window filter must name a window of the calling thread, whose messages can arrive
// here. Needs the hub locked.
bool WindowFilterValidLocked(HWND window) {
    if (window == 0) return true;
    DWORD self = GetCurrentThreadId();
    if (window >= platform::FIRST_WINDOW_HANDLE) {
        platform::WindowPtr real = platform::LookupWindow(window);
        if (real && real->threadId == self) return true;
    } else if (const platform::WindowBinding* binding = platform::FindBindingLocked(window)) {
        if (binding->threadId == self) return true;
    }
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return false;
}

// The thread whose queue receives a window's messages, 0 when the handle names nothing.
// Needs the hub locked.
DWORD WindowThreadLocked(HWND window) {
    if (window >= platform::FIRST_WINDOW_HANDLE) {
        platform::WindowPtr real = platform::LookupWindow(window);
        return real ? real->threadId : 0;
    }
    const platform::WindowBinding* binding = platform::FindBindingLocked(window);
    return binding ? binding->threadId : 0;
}

} // namespace

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    std::lock_guard lock(platform::GetWaitHub().lock);
    if (window == 0)
        return PostLocked(platform::CurrentThreadQueueLocked(), 0, message, wParam, lParam);
    DWORD threadId = WindowThreadLocked(window);
    MessageQueue* queue = threadId != 0 ? platform::FindThreadQueueLocked(threadId) : nullptr;
    if (!queue) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return PostLocked(*queue, window, message, wParam, lParam);
}

BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
    if (platform::IsChildThreadId(threadId)) return platform::PostToChildThread(threadId, message);
    std::lock_guard lock(platform::GetWaitHub().lock);
    MessageQueue* queue = platform::FindThreadQueueLocked(threadId);
    if (!queue) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    return PostLocked(*queue, 0, message, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
    std::lock_guard lock(platform::GetWaitHub().lock);
    MessageQueue& queue = platform::CurrentThreadQueueLocked();
    queue.quitPending = true;
    queue.quitCode = exitCode;
    platform::GetWaitHub().NotifyAll();
}

BOOL PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    if (!msg) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    platform::PumpDisplay();
    std::lock_guard lock(platform::GetWaitHub().lock);
    if (!WindowFilterValidLocked(window)) return FALSE;
    return platform::TakeMessageLocked(platform::CurrentThreadQueueLocked(), *msg, window,
                                       filterMin, filterMax, (removeFlags & PM_REMOVE) != 0)
               ? TRUE
               : FALSE;
}

BOOL GetMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
    if (!msg) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    platform::PumpDisplay(true);
    const DWORD slice = platform::ActiveDisplay().PumpInterval();
    platform::WaitHub& hub = platform::GetWaitHub();
    std::unique_lock lock(hub.lock);
    if (!WindowFilterValidLocked(window)) return -1;
    MessageQueue& queue = platform::CurrentThreadQueueLocked();
    while (!platform::TakeMessageLocked(queue, *msg, window, filterMin, filterMax, true)) {
        if (slice == INFINITE) {
            platform::WaitForMessageLocked(lock, window, filterMin, filterMax);
            continue;
        }
        // A display that hears of the user by itself is pumped at least every slice.
        DWORD delay = platform::NextTimerDelayLocked(window, filterMin, filterMax);
        if (delay <= slice)
            platform::WaitForMessageLocked(lock, window, filterMin, filterMax);
        else if (delay != INFINITE && platform::IsClockFrozen())
            Sleep(slice); // a frozen clock only moves forward by the wait
        else
            hub.changed.wait_for(lock, std::chrono::milliseconds(slice));
        lock.unlock();
        platform::PumpDisplay(true);
        lock.lock();
    }
    return msg->message == WM_QUIT ? 0 : 1;
}

LRESULT DispatchMessageA(const MSG* msg) {
    if (msg && msg->message == WM_TIMER && msg->lParam != 0)
        return platform::DispatchTimerProcedure(*msg);
    if (!msg || msg->hwnd == 0) return 0;
    if (msg->hwnd >= platform::FIRST_WINDOW_HANDLE) {
        platform::WindowPtr window = platform::LookupWindow(msg->hwnd);
        if (!window || window->threadId != GetCurrentThreadId()) return 0;
        return platform::Send(window, msg->message, msg->wParam, msg->lParam);
    }
    WNDPROC procedure = nullptr;
    {
        std::lock_guard lock(platform::GetWaitHub().lock);
        const platform::WindowBinding* binding = platform::FindBindingLocked(msg->hwnd);
        if (binding) procedure = binding->procedure;
    }
    return procedure ? procedure(msg->hwnd, msg->message, msg->wParam, msg->lParam) : 0;
}
