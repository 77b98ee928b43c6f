// Closing kernel handles. The table knows no kind of object: each object releases what it
// holds (a file its descriptor, say) when its last reference goes, so the
// areas that make objects never have to register with the kernel.
#pragma once

#include "platform/kernel/win_types.h"

// Closes any kernel handle: files, searches, events, mutexes, semaphores, threads.
BOOL CloseHandle(HANDLE object);
