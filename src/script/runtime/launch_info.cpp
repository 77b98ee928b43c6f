#include "script/runtime/launch_info.h"

#include "platform/kernel/threads.h"

namespace {

HINSTANCE g_instance = 0;

} // namespace

CLaunchInfo::CLaunchInfo() : threadId(GetCurrentThreadId()) {}

HINSTANCE GetInstanceHandle() {
    return g_instance;
}

void SetInstanceHandle(HINSTANCE instance) {
    g_instance = instance;
}
