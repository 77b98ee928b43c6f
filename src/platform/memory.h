// The process heap and movable global memory blocks.
#pragma once

#include "platform/win_types.h"

inline constexpr DWORD HEAP_ZERO_MEMORY = 0x08;
inline constexpr UINT GMEM_FIXED = 0x00;
inline constexpr UINT GMEM_MOVEABLE = 0x02;
inline constexpr UINT GMEM_ZEROINIT = 0x40;
inline constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;

// The process heap is the C library's heap; its handle is a constant.
HANDLE GetProcessHeap();
LPVOID HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes);
// On failure the old block stays valid and null is returned.
LPVOID HeapReAlloc(HANDLE heap, DWORD flags, LPVOID block, SIZE_T bytes);
BOOL HeapFree(HANDLE heap, DWORD flags, LPVOID block);
// Gives unused heap memory back to the system (malloc_trim); returns the largest free
// block size the heap can tell, or 0.
SIZE_T HeapCompact(HANDLE heap, DWORD flags);

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
LPVOID GlobalLock(HGLOBAL memory);
// The handle of the block whose locked address is `pointer`, or 0.
HGLOBAL GlobalHandle(LPCVOID pointer);
BOOL GlobalUnlock(HGLOBAL memory);
// Returns 0 on success, the handle itself on failure.
HGLOBAL GlobalFree(HGLOBAL memory);
SIZE_T GlobalSize(HGLOBAL memory);
