// The drive letters that are mapped (see drives.h), as Windows lists them.
#pragma once

#include "platform/kernel/win_types.h"

// Bit 0 for A: up to bit 25 for Z:, set for every mapped letter.
DWORD GetLogicalDrives();
// Writes "C:\<0>D:\<0><0>" for the mapped letters in order and returns its length
// without the final zero. When the buffer is too small it writes nothing and returns
// the size needed, final zero included.
DWORD GetLogicalDriveStringsA(DWORD bufferLength, LPSTR buffer);
