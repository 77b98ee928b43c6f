// The process heap and global memory blocks.
#pragma once

#include "platform/kernel/win_types.h"

inline constexpr DWORD HEAP_ZERO_MEMORY = 0x08;
inline constexpr UINT GMEM_FIXED = 0x00;
inline constexpr UINT GMEM_MOVEABLE = 0x02;
inline constexpr UINT GMEM_ZEROINIT = 0x40;
inline constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;

// GlobalUnlock of a block that is not locked.

// The process heap is the C library's heap; its handle is a constant that the kernel
// handle table never hands out. Other heap handles are refused with ERROR_INVALID_HANDLE.
// A size of 0 gives a valid, unique block.
HANDLE GetProcessHeap();
LPVOID HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes);
// On failure the old block stays valid and null is returned. With HEAP_ZERO_MEMORY the
// bytes past the old size are zeroed.
LPVOID HeapReAlloc(HANDLE heap, DWORD flags, LPVOID block, SIZE_T bytes);
BOOL HeapFree(HANDLE heap, DWORD flags, LPVOID block);
// Gives unused heap memory back to the system. The C library cannot tell its largest
// free block, so the result is 0 with ERROR_SUCCESS, as Windows reports a full heap.
SIZE_T HeapCompact(HANDLE heap, DWORD flags);

// Global blocks never move, fixed or not, but are always named by a kernel handle
// (handles are 32-bit, so the block address cannot be the handle as with GMEM_FIXED on
// Windows). GlobalLock returns the address; CloseHandle does not take these handles.
HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
LPVOID GlobalLock(HGLOBAL memory);
// The handle of the block at `pointer` (the address GlobalLock gave), or 0.
HGLOBAL GlobalHandle(LPCVOID pointer);
// TRUE while the block is still locked; FALSE with ERROR_SUCCESS when the last lock
// went, with ERROR_NOT_LOCKED when there was none.
BOOL GlobalUnlock(HGLOBAL memory);
// Frees the block even when locked. Returns 0 on success, the handle itself on failure.
HGLOBAL GlobalFree(HGLOBAL memory);
SIZE_T GlobalSize(HGLOBAL memory);
