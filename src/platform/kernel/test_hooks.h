// Hooks for tests: an injectable clock and fault injection in the kernel calls, so that
// the result codes built on them can be tested for real. Production code never calls these.
#pragma once

#include <string>

#include "platform/kernel/win_types.h"

namespace platform::test {

// While frozen, timeGetTime and GetTickCount return the value set here, and Sleep
// advances it instead of sleeping.
void FreezeClock(DWORD milliseconds);
void AdvanceClock(DWORD milliseconds);
void UnfreezeClock();

enum class Fault {
    HeapAlloc,    // HeapAlloc / HeapReAlloc / GlobalAlloc return null, ERROR_NOT_ENOUGH_MEMORY
    ReadError,    // ReadFile fails with ERROR_READ_FAULT
    ReadEof,      // ReadFile fails with ERROR_HANDLE_EOF
    ShortWrite,   // WriteFile succeeds but writes only half the bytes (rounded down)
    DiskFull,     // WriteFile fails with ERROR_DISK_FULL after writing nothing
    WriteError,   // WriteFile fails with ERROR_WRITE_FAULT
    CreateExists, // CreateFileA fails with ERROR_FILE_EXISTS before touching the disk
    // DirectDrawCreate fails with DDERR_NODIRECTDRAWHW, SetCooperativeLevel with
    // DDERR_EXCLUSIVEMODEALREADYSET, CreateSurface with DDERR_OUTOFVIDEOMEMORY.
    DirectDrawCreate,
    DirectDrawCooperativeLevel,
    DirectDrawCreateSurface,
};

// The next `count` calls affected by `fault` fail, after `skip` calls that succeed.
void InjectFault(Fault fault, DWORD count = 1, DWORD skip = 0);
// How many injected failures of `fault` have not fired yet.
DWORD PendingFaults(Fault fault);
void ClearFaults();

// GetModuleFileNameA reports this Linux file instead of the program; empty restores it.
void SetModuleFilePath(const std::string& linuxPath);

// A 16-bit screen keeps 5-5-5 pixels instead of 5-6-5 while set.
void SetScreenPixels555(bool fiveFiveFive);

} // namespace platform::test
