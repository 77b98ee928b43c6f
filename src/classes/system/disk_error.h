// The last system error of disk operations, kept by the Disk singleton and set by Disk
// and File alike.
#pragma once

#include <cstdint>

class CInterpretor;

// Stores `code` in the Disk singleton of the interpreter; nothing without one.
void SetLastDiskError(CInterpretor& interpreter, uint32_t code);
// Stores the thread's last error.
void StoreLastDiskError(CInterpretor& interpreter);
