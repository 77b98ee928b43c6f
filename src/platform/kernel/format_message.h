// The texts of the system's error codes, as FormatMessageA gives them, and the local
// heap that hands them out.
#pragma once

#include <cstdarg>
#include <span>

#include "platform/kernel/win_types.h"

inline constexpr DWORD FORMAT_MESSAGE_ALLOCATE_BUFFER = 0x100;
inline constexpr DWORD FORMAT_MESSAGE_IGNORE_INSERTS = 0x200;
inline constexpr DWORD FORMAT_MESSAGE_FROM_SYSTEM = 0x1000;

inline constexpr UINT LMEM_FIXED = 0x00;
inline constexpr UINT LMEM_ZEROINIT = 0x40;

// Only fixed blocks: the result is the block's address. Null with
// ERROR_NOT_ENOUGH_MEMORY when memory runs out.
LPVOID LocalAlloc(UINT flags, SIZE_T bytes);
// Returns null on success (as Windows does).
LPVOID LocalFree(LPVOID memory);

struct SystemMessage {
    DWORD code;
    const char* text; // English, ending in "."; FormatMessageA adds "\r\n"
};

// Adds the texts of an area above the kernel (the Internet calls' codes, say) to those
// FormatMessageA knows. The table must live as long as the process; call it from a
// static initialiser of the area's header so that every user of its codes has them.
// Always true, so that the result can initialise that variable.
bool RegisterMessageTexts(std::span<const SystemMessage> texts);

// Only system messages (FORMAT_MESSAGE_FROM_SYSTEM) are known, in English, each ending
// in ".\r\n"; none has inserts, so `arguments` is never read and the language is not
// consulted. Returns the text's length without its terminating zero, or 0 with:
// ERROR_MR_MID_NOT_FOUND for a code without a text, ERROR_INSUFFICIENT_BUFFER when the
// text and its zero do not fit in `size` bytes, ERROR_INVALID_PARAMETER without
// FORMAT_MESSAGE_FROM_SYSTEM or without a buffer. With FORMAT_MESSAGE_ALLOCATE_BUFFER
// `buffer` is really an LPSTR* that receives a LocalAlloc block of at least `size` bytes,
// which the caller frees with LocalFree.
DWORD FormatMessageA(DWORD flags, LPCVOID source, DWORD messageId, DWORD languageId, LPSTR buffer,
                     DWORD size, va_list* arguments);
