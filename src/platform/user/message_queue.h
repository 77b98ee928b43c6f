// The thread message queues behind messages.h. Internal to the platform layer.
//
// Queues, their contents and the window-procedure table are guarded by the wait hub's
// lock (waitable.h), so a post wakes a thread waiting on kernel objects and messages at
// once, and such a wait sees both under one lock.
#pragma once

#include <deque>
#include <vector>

#include "platform/user/messages.h"

struct pollfd;

namespace platform {

// MsgWaitForMultipleObjects with no handles and every message waking it, which also ends
// when one of `descriptors` turns ready: WAIT_OBJECT_0 for a message, WAIT_OBJECT_0 + 1
// with the ready descriptors' revents set, or WAIT_TIMEOUT.
DWORD MsgWaitForDescriptors(std::vector<pollfd>& descriptors, DWORD milliseconds);

struct MessageQueue {
    std::deque<MSG> posted;
    bool quitPending = false;
    int quitCode = 0;
};

// Both need the hub locked. The calling thread's queue is made on first use and dropped
// when the thread ends, together with the windows it made or bound.
MessageQueue& CurrentThreadQueueLocked();
// Null when the thread has no queue.
MessageQueue* FindThreadQueueLocked(DWORD threadId);

// The window-procedure table of the stand-in windows (BindWindowProcedure): which
// procedure handles one and which thread owns it.
struct WindowBinding {
    WNDPROC procedure;
    DWORD threadId;
};
// Null when nothing is bound to the window. Needs the hub locked.
const WindowBinding* FindBindingLocked(HWND window);
// The procedure bound to a stand-in window of the calling thread; null with
// ERROR_INVALID_WINDOW_HANDLE (nothing bound) or ERROR_WINDOW_OF_OTHER_THREAD.
WNDPROC BoundProcedure(HWND window);

// Takes (or, without PM_REMOVE, copies) the first message that passes the filters, WM_QUIT
// last. A window filter passes the window's messages and those of its descendants. Needs
// the hub locked; false when none passes.
bool TakeMessageLocked(MessageQueue& queue, MSG& msg, HWND window, UINT filterMin, UINT filterMax,
                       bool remove);

} // namespace platform
