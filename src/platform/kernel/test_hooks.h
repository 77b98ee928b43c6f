// Hooks for tests: an injectable clock and fault injection in the kernel calls, so that
// the result codes built on them can be tested for real. Production code never calls these.
#pragma once

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

} // namespace platform::test

#include <string>
#include <vector>

#include "platform/user/hwnd.h"

namespace platform::test {

struct RecordedMessageBox {
    HWND owner;
    std::string caption; // as given, Windows-1252
    std::string text;
    UINT type;
};

// While recording, MessageBoxA writes nothing and keeps every box for the test.
void RecordMessageBoxes(bool record);
std::vector<RecordedMessageBox> RecordedMessageBoxes();
void ClearRecordedMessageBoxes();
// The answer of every following box; 0 goes back to the first button of each box.
void SetMessageBoxAnswer(int answer);

// GetModuleFileNameA reports this Linux file instead of the program; empty restores it.
void SetModuleFilePath(const std::string& linuxPath);

// A 16-bit screen keeps 5-5-5 pixels instead of 5-6-5 while set.
void SetScreenPixels555(bool fiveFiveFive);

} // namespace platform::test

namespace platform::test {

// A window's client area as its top-level window's framebuffer holds it, rows top first,
// 0x00RRGGBB (whatever covers the window included); what lies outside the framebuffer
// reads as 0. False for a window that does not exist.
bool ReadWindowPixels(HWND window, std::vector<uint32_t>& pixels, int& width, int& height);

} // namespace platform::test
