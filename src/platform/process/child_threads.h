// The primary-thread ids of started children, so that PostThreadMessageA can reach them.
// Internal to the platform layer.
#pragma once

#include "platform/kernel/win_types.h"

namespace platform {

// Children's thread ids are 2 modulo 4; the layer's own threads are multiples of 4.
inline bool IsChildThreadId(DWORD threadId) {
    return (threadId & 3) == 2;
}

// WM_QUIT becomes SIGTERM for the child of that thread id.
BOOL PostToChildThread(DWORD threadId, UINT message);

} // namespace platform
